#pragma once

#include "data/program_folder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QThread;

namespace lumaro::test {

struct FixtureResponse {
    int status = 200;
    QByteArray body;
    QByteArray contentType = QByteArrayLiteral("text/html; charset=utf-8");
    QByteArray location; // sent as Location (for redirects)
    bool hang = false; // accept the request and never answer
};

// A small HTTP server on 127.0.0.1 serving fixture pages, on a thread of its own so that it
// answers while the test thread waits (for a worker, a child process or a nested event loop).
// Requests are matched on path and query exactly; unknown ones go to the fallback, else 404.
class FixtureServer {
public:
    FixtureServer();
    ~FixtureServer();
    FixtureServer(const FixtureServer &) = delete;
    FixtureServer &operator=(const FixtureServer &) = delete;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:PORT"
    QString root() const;

    void serve(const QString &target, const FixtureResponse &response);
    void serve(const QString &target, const QByteArray &body);
    void redirect(const QString &target, const QString &location);
    void setFallback(std::function<std::optional<FixtureResponse>(const QString &target)> fallback);
    // Every request whose target starts with prefix and that has no page of its own gets an
    // empty result page.
    void serveEmptyPagesUnder(const QString &prefix);

    // Path and query of every request so far, in arrival order.
    QStringList requests() const;
    void clearRequests();

    struct State;

private:
    std::shared_ptr<State> m_state;
    std::unique_ptr<QThread> m_thread;
    quint16 m_port = 0;
};

// A port on 127.0.0.1 where nothing listens (connections are refused).
quint16 ClosedPort();

// Writes the program folder's 附属/站点.ini.
struct SiteHosts {
    QString welfare;
    QString nanyue;
    QString portal;
    QString feed;
    double timeoutSeconds = 5;
    // The JSON result services ([services] welfare / sports); empty: not used. Their other
    // keys are left to the shipped file.
    QString welfareService {};
    QString sportsService {};
    QString games {}; // lines of [games] ("qlc=\n" keeps 七乐彩 on its history page)
};
void WriteSites(const ProgramFolder &folder, const SiteHosts &hosts);
// Every site on the one server.
void WriteSites(const ProgramFolder &folder, const FixtureServer &server, double timeoutSeconds = 5);

} // namespace lumaro::test
