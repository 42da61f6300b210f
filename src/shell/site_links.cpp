#include "shell/site_links.h"

#include "data/program_folder.h"

#include <QSettings>

namespace lumaro {

QString ConfiguredHost(const ProgramFolder &folder, const QString &key)
{
    QSettings settings(folder.auxiliaryFolder() + QStringLiteral("站点.ini"), QSettings::IniFormat);
    QString host = settings.value(key).toString().trimmed();
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return host;
}

QUrl SiteUrl(const ProgramFolder &folder, const QString &key, const QString &path)
{
    QString host = ConfiguredHost(folder, key);
    if (host.isEmpty())
        return QUrl();
    if (!host.contains(QStringLiteral("://")))
        host.prepend(QStringLiteral("https://"));
    return QUrl(host + path);
}

} // namespace lumaro
