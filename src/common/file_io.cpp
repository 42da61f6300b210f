#include "common/file_io.h"

#include "common/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace lumaro {

namespace {

// "1.5 GB", "64 MB", "300 KB": the limit as a reader of the message thinks of it.
QString SizeText(qint64 bytes)
{
    constexpr qint64 kKilo = 1024;
    constexpr qint64 kMega = kKilo * 1024;
    constexpr qint64 kGiga = kMega * 1024;
    auto scaled = [bytes](qint64 unit, const char *name) {
        const double value = static_cast<double>(bytes) / static_cast<double>(unit);
        const int decimals = bytes % unit == 0 ? 0 : 1;
        return QStringLiteral("%1 %2").arg(value, 0, 'f', decimals).arg(QLatin1String(name));
    };
    if (bytes >= kGiga)
        return scaled(kGiga, "GB");
    if (bytes >= kMega)
        return scaled(kMega, "MB");
    if (bytes >= kKilo)
        return scaled(kKilo, "KB");
    return QStringLiteral("%1 字节").arg(bytes);
}

} // namespace

void OpenRegularFile(QFile &file, const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw IoError::fileNotFound(path);
    if (info.isDir())
        throw InputError(QStringLiteral("“%1”是文件夹，不是文件，不能读取！").arg(path));
    // QFileInfo follows links, so a link to a regular file is one too.
    if (!info.isFile())
        throw InputError(
            QStringLiteral("“%1”不是普通文件（是设备、管道或套接字），读取它可能永远不会结束，不能读取！").arg(path));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        throw IoError::cannotRead(path, file.errorString());
}

QString FileTooLargeText(const QString &path, qint64 maxBytes)
{
    return QStringLiteral("文件%1太大（超过%2），不能读取！").arg(path, SizeText(maxBytes));
}

QByteArray ReadWholeFile(const QString &path, qint64 maxBytes)
{
    QFile file;
    OpenRegularFile(file, path);
    if (file.size() > maxBytes)
        throw InputError(FileTooLargeText(path, maxBytes));
    // Read in blocks up to one byte past the limit: a file that grows while it is read (or a
    // file of the system whose size reads 0) is still read no further than that.
    constexpr qint64 kBlock = 16 << 20;
    QByteArray content;
    content.reserve(static_cast<qsizetype>(file.size()));
    while (content.size() <= maxBytes) {
        const QByteArray block = file.read(std::min<qint64>(kBlock, maxBytes + 1 - content.size()));
        if (file.error() != QFileDevice::NoError)
            throw IoError::cannotRead(path, file.errorString());
        if (block.isEmpty())
            break;
        content += block;
    }
    if (content.size() > maxBytes)
        throw InputError(FileTooLargeText(path, maxBytes));
    return content;
}

void WriteWholeFile(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError::cannotWrite(path, file.errorString());
    file.write(content);
    if (!file.commit())
        throw IoError::cannotWrite(path, file.errorString());
}

} // namespace lumaro
