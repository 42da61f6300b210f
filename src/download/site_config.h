#pragma once

#include <QMap>
#include <QString>

namespace lumaro {

// The four sites the downloads read from, named by their role.
enum class ResultSite {
    Welfare, // welfare-lottery result site: 中国福彩七乐彩 history page
    Nanyue, // provincial welfare result site: 南粤风采 list and detail pages
    Portal, // lottery result portal: 中国体彩22选5 and the 11选5 day pages
    Feed, // feed portal: the short 11选5 feeds of the quick update
};

// The root of one site: scheme, host, port and an optional path prefix, without a trailing
// "/". Empty with a reason when the site cannot be used.
struct SiteRoot {
    QString url;
    QString problem; // "站点未配置" or why the configured address was refused

    bool configured() const { return problem.isEmpty(); }
};

// The operators' JSON result services (result_services.h reads their answers).
enum class ResultService {
    Welfare, // welfare lottery's draw notices: 七乐彩, 福彩3D, 双色球
    Sports, // sports lottery's draw history: 大乐透, 排列3, 排列5
};

// How one service is asked for a page of draws, all of it from "附属/站点.ini" [services]:
// host + path + "?" + gameKey=<game code> & fixedQuery & pageKey=<page> & sizeKey=<pageSize>.
struct ServiceRequest {
    QString host; // empty: the service is not used
    QString path;
    QString fixedQuery; // query items sent unchanged ("systemType=PC")
    QString gameKey;
    QString pageKey;
    QString sizeKey;
    int pageSize = 30;
    QString referer; // sent as Referer when not empty
    QString cookiePage; // a page on the host read once before the service, for its session cookie
};

// The hosts of the result sites, read from "附属/站点.ini" in the program folder. The paths and
// query keys of the pages are the program's own; only the hosts are configuration.
class SiteConfig {
public:
    static constexpr int kDefaultTimeoutMs = 20000;

    // A missing or unreadable file leaves every site unconfigured.
    static SiteConfig load(const QString &iniPath);
    // "站点.ini"
    static QString fileName();

    void setHost(ResultSite site, const QString &host);
    QString host(ResultSite site) const;
    SiteRoot root(ResultSite site) const;

    int timeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // The ini key of a site ("welfare", "nanyue", "portal", "feed").
    static QString key(ResultSite site);

    // The result services. A key the program folder's file lacks is taken from the file the
    // program ships ("home/附属/站点.ini"), so an older folder gets the services too; a key
    // present but empty stays empty.
    const ServiceRequest &service(ResultService which) const { return m_services[static_cast<int>(which)]; }
    void setService(ResultService which, const ServiceRequest &request);
    // The code of a game ("ssq", "85") by its key in [games]; empty when not set.
    QString serviceGame(const QString &key) const { return m_games.value(key); }
    void setServiceGame(const QString &key, const QString &code) { m_games.insert(key, code.trimmed()); }
    // The most pages a service is asked for in one download.
    int servicePages() const { return m_servicePages; }
    void setServicePages(int pages) { m_servicePages = pages; }
    // The shipped copy the missing keys come from.
    static QString shippedFile();
    // The ini prefix of a service ("welfare", "sports").
    static QString key(ResultService which);

private:
    QString m_hosts[4];
    ServiceRequest m_services[2];
    QMap<QString, QString> m_games;
    int m_servicePages = 100;
    int m_timeoutMs = kDefaultTimeoutMs;
};

// Checks one configured address and turns it into a site root. A bare host gets "http://";
// only http and https are accepted, without user name, query or fragment.
SiteRoot SiteRootFromText(const QString &text);

} // namespace lumaro
