#include "fixture_server.h"

#include "fixture_pages.h"
#include "support/test_home.h"

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace lumaro::test {

struct FixtureServer::State {
    // Standard primitives, which ThreadSanitizer follows (it cannot see into Qt's own).
    mutable std::mutex mutex;
    QHash<QString, FixtureResponse> routes;
    std::function<std::optional<FixtureResponse>(const QString &)> fallback;
    QStringList requests;

    FixtureResponse respond(const QString &target)
    {
        std::unique_lock<std::mutex> lock(mutex);
        requests << target;
        const auto it = routes.constFind(target);
        if (it != routes.constEnd())
            return *it;
        if (fallback) {
            const auto fallbackFn = fallback;
            lock.unlock();
            if (auto answer = fallbackFn(target))
                return *answer;
        }
        FixtureResponse missing;
        missing.status = 404;
        missing.body = QByteArrayLiteral("<html><body>not found</body></html>");
        return missing;
    }
};

namespace {

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// Lives on the server thread.
class Listener : public QTcpServer {
public:
    explicit Listener(std::shared_ptr<FixtureServer::State> state)
        : m_state(std::move(state))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                handle(socket);
        });
    }

private:
    void handle(QTcpSocket *socket)
    {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QList<QByteArray> requestLine = buffer->left(buffer->indexOf("\r\n")).split(' ');
            buffer->clear();
            const QString target = requestLine.size() >= 2 ? QString::fromUtf8(requestLine[1]) : QString();
            const FixtureResponse response = m_state->respond(target);
            if (response.hang)
                return;
            QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + ReasonPhrase(response.status)
                + "\r\nContent-Type: " + response.contentType
                + "\r\nContent-Length: " + QByteArray::number(response.body.size()) + "\r\nConnection: close\r\n";
            if (!response.location.isEmpty())
                head += "Location: " + response.location + "\r\n";
            socket->write(head + "\r\n" + response.body);
            socket->disconnectFromHost();
        });
    }

    std::shared_ptr<FixtureServer::State> m_state;
};

class ServerThread : public QThread {
public:
    explicit ServerThread(std::shared_ptr<FixtureServer::State> state)
        : m_state(std::move(state))
    { }

    quint16 waitForPort()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_condition.wait(lock, [this] { return m_ready; });
        return m_port;
    }

protected:
    void run() override
    {
        Listener listener(m_state);
        const bool listening = listener.listen(QHostAddress::LocalHost, 0);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_port = listening ? listener.serverPort() : 0;
            m_ready = true;
            m_condition.notify_all();
        }
        if (listening)
            exec();
    }

private:
    std::shared_ptr<FixtureServer::State> m_state;
    std::mutex m_mutex;
    std::condition_variable m_condition;
    bool m_ready = false;
    quint16 m_port = 0;
};

} // namespace

FixtureServer::FixtureServer()
    : m_state(std::make_shared<State>())
{
    auto thread = std::make_unique<ServerThread>(m_state);
    thread->start();
    m_port = thread->waitForPort();
    m_thread = std::move(thread);
    if (m_port == 0) {
        m_thread->wait();
        throw std::runtime_error("the fixture server cannot listen on 127.0.0.1");
    }
}

FixtureServer::~FixtureServer()
{
    m_thread->quit();
    m_thread->wait();
}

QString FixtureServer::root() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void FixtureServer::serve(const QString &target, const FixtureResponse &response)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->routes.insert(target, response);
}

void FixtureServer::serve(const QString &target, const QByteArray &body)
{
    FixtureResponse response;
    response.body = body;
    serve(target, response);
}

void FixtureServer::redirect(const QString &target, const QString &location)
{
    FixtureResponse response;
    response.status = 302;
    response.location = location.toUtf8();
    serve(target, response);
}

void FixtureServer::setFallback(std::function<std::optional<FixtureResponse>(const QString &)> fallback)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->fallback = std::move(fallback);
}

void FixtureServer::serveEmptyPagesUnder(const QString &prefix)
{
    setFallback([prefix](const QString &target) -> std::optional<FixtureResponse> {
        if (!target.startsWith(prefix))
            return std::nullopt;
        FixtureResponse response;
        response.body = pages::EmptyPage();
        return response;
    });
}

QStringList FixtureServer::requests() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->requests;
}

void FixtureServer::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->requests.clear();
}

quint16 ClosedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("cannot find a free port");
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void WriteSites(const ProgramFolder &folder, const SiteHosts &hosts)
{
    const QString text
        = QStringLiteral("[hosts]\nwelfare=%1\nnanyue=%2\nportal=%3\nfeed=%4\n\n[settings]\ntimeout=%5\n")
              .arg(hosts.welfare, hosts.nanyue, hosts.portal, hosts.feed)
              .arg(hosts.timeoutSeconds)
        + QStringLiteral("\n[services]\nwelfare=%1\nsports=%2\n").arg(hosts.welfareService, hosts.sportsService)
        + (hosts.games.isEmpty() ? QString() : QStringLiteral("\n[games]\n") + hosts.games);
    WriteFile(folder.auxiliaryFolder() + QStringLiteral("站点.ini"), text.toUtf8());
}

void WriteSites(const ProgramFolder &folder, const FixtureServer &server, double timeoutSeconds)
{
    WriteSites(folder, SiteHosts {server.root(), server.root(), server.root(), server.root(), timeoutSeconds});
}

} // namespace lumaro::test
