// "站点.ini" and the addresses in it: any bytes load without a crash, every site root is either
// a well-formed http(s) address without user name, query, fragment or trailing "/" that reads
// as itself again, or empty with a reason; the timeout stays within its bounds.
#include "fuzz_support.h"

#include "download/site_config.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

using namespace lumaro;

namespace {

void CheckRoot(const SiteRoot &root)
{
    if (!root.configured()) {
        LUMARO_FUZZ_CHECK(root.url.isEmpty());
        return;
    }
    LUMARO_FUZZ_CHECK(root.url.startsWith(QLatin1String("http://")) || root.url.startsWith(QLatin1String("https://")));
    LUMARO_FUZZ_CHECK(!root.url.endsWith(QLatin1Char('/')));
    const QUrl url(root.url, QUrl::StrictMode);
    LUMARO_FUZZ_CHECK(url.isValid());
    LUMARO_FUZZ_CHECK(!url.host().isEmpty());
    LUMARO_FUZZ_CHECK(url.userInfo().isEmpty() && !url.hasQuery() && !url.hasFragment());
    // Every character is printable ASCII: the root goes into request lines as it is.
    for (const QChar ch : root.url)
        LUMARO_FUZZ_CHECK(ch.unicode() > 0x20 && ch.unicode() < 0x7F);
    const SiteRoot again = SiteRootFromText(root.url);
    LUMARO_FUZZ_CHECK(again.configured());
    LUMARO_FUZZ_CHECK(again.url == root.url);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    const QByteArray content = fuzz::BytesOf(data + 1, size - 1);
    if ((data[0] & 1) == 0) {
        CheckRoot(SiteRootFromText(QString::fromUtf8(content)));
        return 0;
    }
    // The whole file, read from a folder of the run's own. QSettings keeps a parsed file and
    // reads it again only when its size or time changed, so every input gets a time of its own
    // (a new name each time would grow that cache and slow every run down).
    static QTemporaryDir folder;
    static qint64 serial = 0;
    LUMARO_FUZZ_CHECK(folder.isValid());
    const QString path = folder.filePath(SiteConfig::fileName());
    {
        QFile file(path);
        LUMARO_FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        LUMARO_FUZZ_CHECK(file.write(content) == content.size());
        LUMARO_FUZZ_CHECK(file.setFileTime(
            QDateTime::fromSecsSinceEpoch(1'000'000'000 + ++serial, Qt::UTC), QFileDevice::FileModificationTime));
    }
    const SiteConfig config = SiteConfig::load(path);
    LUMARO_FUZZ_CHECK(config.timeoutMs() >= 1 && config.timeoutMs() <= 600000);
    for (ResultSite site : {ResultSite::Welfare, ResultSite::Nanyue, ResultSite::Portal, ResultSite::Feed}) {
        LUMARO_FUZZ_CHECK(config.host(site) == config.host(site).trimmed());
        CheckRoot(config.root(site));
    }
    return 0;
}
