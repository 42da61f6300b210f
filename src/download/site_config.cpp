#include "download/site_config.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace lumaro {

QString SiteConfig::fileName()
{
    return QStringLiteral("站点.ini");
}

QString SiteConfig::key(ResultSite site)
{
    switch (site) {
    case ResultSite::Welfare:
        return QStringLiteral("welfare");
    case ResultSite::Nanyue:
        return QStringLiteral("nanyue");
    case ResultSite::Portal:
        return QStringLiteral("portal");
    case ResultSite::Feed:
        return QStringLiteral("feed");
    }
    return QString();
}

SiteConfig SiteConfig::load(const QString &iniPath)
{
    SiteConfig config;
    if (!QFileInfo::exists(iniPath))
        return config;
    QSettings settings(iniPath, QSettings::IniFormat);
    for (ResultSite site : {ResultSite::Welfare, ResultSite::Nanyue, ResultSite::Portal, ResultSite::Feed})
        config.setHost(site, settings.value(QStringLiteral("hosts/") + key(site)).toString());
    bool ok = false;
    const double seconds = settings.value(QStringLiteral("settings/timeout")).toString().trimmed().toDouble(&ok);
    // Out-of-range values fall back to the default rather than disabling the timeout.
    if (ok && std::isfinite(seconds) && seconds > 0 && seconds <= 600)
        config.m_timeoutMs = std::max(1, static_cast<int>(seconds * 1000));
    return config;
}

void SiteConfig::setHost(ResultSite site, const QString &host)
{
    m_hosts[static_cast<int>(site)] = host.trimmed();
}

QString SiteConfig::host(ResultSite site) const
{
    return m_hosts[static_cast<int>(site)];
}

SiteRoot SiteConfig::root(ResultSite site) const
{
    return SiteRootFromText(host(site));
}

SiteRoot SiteRootFromText(const QString &input)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return {QString(), QStringLiteral("站点未配置")};
    const QString withScheme = text.contains(QStringLiteral("://")) ? text : QStringLiteral("http://") + text;
    const QUrl url(withScheme, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const bool refused = !url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) || !url.userInfo().isEmpty()
        || url.hasQuery() || url.hasFragment();
    if (refused)
        return {QString(), QStringLiteral("站点地址“%1”无效").arg(text)};
    QString root = url.toString(QUrl::FullyEncoded);
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return {root, QString()};
}

} // namespace lumaro
