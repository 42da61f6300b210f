#include "download/http_client.h"

#include "common/errors.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTimer>

#include <algorithm>

namespace lumaro {

namespace {

QString NetworkErrorText(QNetworkReply::NetworkError error, const QString &fallback)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("连接被拒绝");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("服务器关闭了连接");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到服务器");
    case QNetworkReply::TimeoutError:
        return QStringLiteral("连接超时");
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("重定向次数过多");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("不安全的重定向");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("安全连接失败");
    default:
        return fallback;
    }
}

} // namespace

QString FetchResult::failureText() const
{
    return QStringLiteral("下载失败：%1（%2）").arg(url.toString(), error);
}

HttpClient::HttpClient(int timeoutMs)
    : m_timeoutMs(timeoutMs)
{ }

HttpClient::~HttpClient() = default;

FetchResult HttpClient::get(const QUrl &url, const Headers &headers)
{
    FetchResult result;
    result.url = url;
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        result.error = QStringLiteral("地址无效");
        return result;
    }
    if (m_progress && m_progress->cancelled()) {
        result.error = QStringLiteral("已取消");
        return result;
    }
    if (!m_manager)
        m_manager = std::make_unique<QNetworkAccessManager>();

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setTransferTimeout(m_timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Lumaro/12.0"));
    for (const auto &header : headers)
        request.setRawHeader(header.first, header.second);
    QNetworkReply *reply = m_manager->get(request);

    QEventLoop loop;
    QString abortReason;
    auto abortWith = [&](const QString &reason) {
        if (abortReason.isEmpty()) {
            abortReason = reason;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64 total) {
        if (received > kMaxBodyBytes || total > kMaxBodyBytes)
            abortWith(QStringLiteral("页面太大"));
    });
    // A server that trickles bytes would never hit the transfer timeout: give the whole
    // request a deadline too.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { abortWith(QStringLiteral("连接超时")); });
    deadline.start(std::max(m_timeoutMs * 3, 60000));
    QTimer cancelPoll;
    if (m_progress && m_progress->cancel) {
        QObject::connect(&cancelPoll, &QTimer::timeout, &loop, [&] {
            if (m_progress->cancelled())
                abortWith(QStringLiteral("已取消"));
        });
        cancelPoll.start(100);
    }
    if (!reply->isFinished())
        loop.exec();

    result.finalUrl = reply->url();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    if (!abortReason.isEmpty()) {
        result.error = abortReason;
    } else if (result.status >= 400) {
        const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        result.error = phrase.isEmpty() ? QStringLiteral("HTTP %1").arg(result.status)
                                        : QStringLiteral("HTTP %1 %2").arg(result.status).arg(phrase);
    } else if (reply->error() == QNetworkReply::OperationCanceledError) {
        // The transfer timeout aborts the reply this way.
        result.error = QStringLiteral("连接超时");
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = NetworkErrorText(reply->error(), reply->errorString());
    } else if (result.status >= 300) {
        result.error = QStringLiteral("HTTP %1（重定向没有目标）").arg(result.status);
    } else {
        result.body = reply->readAll();
        if (result.body.size() > kMaxBodyBytes) {
            result.body.clear();
            result.error = QStringLiteral("页面太大");
        }
    }
    reply->deleteLater();
    // Delete the reply now rather than at the next event loop of this thread.
    QCoreApplication::sendPostedEvents(reply, QEvent::DeferredDelete);
    return result;
}

FetchResult HttpClient::getToFile(const QUrl &url, const QString &targetFile)
{
    if (QFile::exists(targetFile) && !QFile::remove(targetFile))
        throw IoError::cannotWrite(targetFile, QStringLiteral("无法删除旧文件"));
    FetchResult result = get(url);
    if (!result.ok())
        return result;
    QSaveFile file(targetFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(result.body) != result.body.size() || !file.commit())
        throw IoError::cannotWrite(targetFile, file.errorString());
    return result;
}

QString DecodePage(const QByteArray &body, const QByteArray &contentType)
{
    if (const auto bom = QStringConverter::encodingForData(body)) {
        QStringDecoder decoder(*bom);
        return decoder.decode(body);
    }
    auto declaredCharset = [](const QByteArray &text) -> QByteArray {
        static const QRegularExpression charset(QStringLiteral("(?:charset|encoding)\\s*=\\s*[\"']?([A-Za-z0-9_.:-]+)"),
            QRegularExpression::CaseInsensitiveOption);
        const auto match = charset.match(QString::fromLatin1(text));
        return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
    };
    QByteArray name = declaredCharset(contentType);
    if (name.isEmpty())
        name = declaredCharset(body.left(2048));
    if (!name.isEmpty()) {
        const QByteArray lower = name.toLower();
        // GB2312 and GBK pages are decoded as their superset.
        if (lower == "gb2312" || lower == "gbk" || lower == "x-gbk")
            name = QByteArrayLiteral("GB18030");
        QStringDecoder decoder(name.constData());
        if (decoder.isValid()) {
            QString text = decoder.decode(body);
            if (!decoder.hasError())
                return text;
        }
    }
    {
        QStringDecoder utf8(QStringConverter::Utf8);
        QString text = utf8.decode(body);
        if (!utf8.hasError())
            return text;
    }
    QStringDecoder gb(QByteArrayLiteral("GB18030").constData());
    if (gb.isValid()) {
        QString text = gb.decode(body);
        if (!gb.hasError())
            return text;
    }
    return QString::fromLatin1(body);
}

} // namespace lumaro
