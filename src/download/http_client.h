#pragma once

#include "common/progress.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;

namespace lumaro {

// What one GET gave: the body of a successful response, or why there is none.
struct FetchResult {
    QUrl url; // the address asked for
    QUrl finalUrl; // where the redirects ended
    int status = 0; // HTTP status, 0 when no response came
    QByteArray body;
    QByteArray contentType;
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }
    // "下载失败：URL（reason）"
    QString failureText() const;
};

// The one download manager of the program: a plain HTTP GET into memory or into a file, with
// redirects followed, a timeout and a size limit. Each call waits for its answer, so an
// instance belongs to the thread that uses it (the download windows run it on a worker).
class HttpClient {
public:
    static constexpr qint64 kMaxBodyBytes = 32 * 1024 * 1024;
    static constexpr int kMaxRedirects = 8;

    // timeoutMs: how long a request may go without receiving anything.
    explicit HttpClient(int timeoutMs);
    ~HttpClient();
    HttpClient(const HttpClient &) = delete;
    HttpClient &operator=(const HttpClient &) = delete;

    // Cancelled requests fail with "已取消".
    void setProgress(const Progress *progress) { m_progress = progress; }

    // Extra request headers (name, value), such as a Referer. Cookies a server sets are kept
    // for the life of the client and sent back to it.
    using Headers = QList<QPair<QByteArray, QByteArray>>;
    FetchResult get(const QUrl &url, const Headers &headers = {});
    // Deletes targetFile first; writes the body there only when the request succeeded, so a
    // failed request leaves no file.
    FetchResult getToFile(const QUrl &url, const QString &targetFile);

private:
    int m_timeoutMs;
    const Progress *m_progress = nullptr;
    std::unique_ptr<QNetworkAccessManager> m_manager;
};

// Decodes a page for reading line by line: the charset of the Content-Type header or of the
// page itself when given and known, else UTF-8 when the bytes are valid UTF-8, else GB18030 (the
// result sites are Chinese and may serve GBK).
QString DecodePage(const QByteArray &body, const QByteArray &contentType = QByteArray());

} // namespace lumaro
