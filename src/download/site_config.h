#pragma once

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

private:
    QString m_hosts[4];
    int m_timeoutMs = kDefaultTimeoutMs;
};

// Checks one configured address and turns it into a site root. A bare host gets "http://";
// only http and https are accepted, without user name, query or fragment.
SiteRoot SiteRootFromText(const QString &text);

} // namespace lumaro
