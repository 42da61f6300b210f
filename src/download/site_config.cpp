#include "download/site_config.h"

#include "common/shipped_files.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
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

QString SiteConfig::shippedFile()
{
    return ShippedPath(QStringLiteral("home/附属/站点.ini"));
}

QString SiteConfig::key(ResultService which)
{
    return which == ResultService::Welfare ? QStringLiteral("welfare") : QStringLiteral("sports");
}

void SiteConfig::setService(ResultService which, const ServiceRequest &request)
{
    m_services[static_cast<int>(which)] = request;
}

namespace {

// A key of the program folder's file, else of the shipped one.
class LayeredSettings {
public:
    explicit LayeredSettings(const QString &iniPath)
        : m_own(iniPath, QSettings::IniFormat)
        , m_shipped(SiteConfig::shippedFile(), QSettings::IniFormat)
    { }

    QString text(const QString &key) const
    {
        const QSettings &from = m_own.contains(key) ? m_own : m_shipped;
        return from.value(key).toString().trimmed();
    }
    QStringList keys(const QString &group)
    {
        QStringList result;
        for (QSettings *settings : {&m_shipped, &m_own}) {
            settings->beginGroup(group);
            for (const QString &key : settings->childKeys()) {
                if (!result.contains(key))
                    result << key;
            }
            settings->endGroup();
        }
        return result;
    }
    // The program folder's file alone.
    const QSettings &own() const { return m_own; }

private:
    QSettings m_own;
    QSettings m_shipped;
};

// A whole number in [lowest, highest], else fallback.
int Bounded(const QString &text, int lowest, int highest, int fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= lowest && value <= highest ? value : fallback;
}

} // namespace

SiteConfig SiteConfig::load(const QString &iniPath)
{
    SiteConfig config;
    if (!QFileInfo::exists(iniPath))
        return config;
    LayeredSettings layered(iniPath);
    for (ResultService which : {ResultService::Welfare, ResultService::Sports}) {
        const QString prefix = QStringLiteral("services/") + key(which);
        ServiceRequest request;
        request.host = layered.text(prefix);
        request.path = layered.text(prefix + QStringLiteral("_path"));
        request.fixedQuery = layered.text(prefix + QStringLiteral("_query"));
        request.gameKey = layered.text(prefix + QStringLiteral("_game_key"));
        request.pageKey = layered.text(prefix + QStringLiteral("_page_key"));
        request.sizeKey = layered.text(prefix + QStringLiteral("_size_key"));
        request.pageSize = Bounded(layered.text(prefix + QStringLiteral("_page_size")), 1, 200, 30);
        request.referer = layered.text(prefix + QStringLiteral("_referer"));
        request.cookiePage = layered.text(prefix + QStringLiteral("_cookie_page"));
        config.setService(which, request);
    }
    config.m_servicePages = Bounded(layered.text(QStringLiteral("services/max_pages")), 1, 1000, 100);
    for (const QString &game : layered.keys(QStringLiteral("games")))
        config.setServiceGame(game, layered.text(QStringLiteral("games/") + game));
    const QSettings &settings = layered.own();
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
