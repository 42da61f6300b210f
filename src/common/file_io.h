#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace lumaro {

// The most a whole-file read holds unless the reader gives its own limit.
constexpr qint64 kMaxWholeFileBytes = 1LL << 30;

// Opens path for reading. IoError when it is missing or cannot be opened; InputError when it
// is a folder, a device (/dev/zero, a terminal), a pipe or a socket: only a regular file has an
// end that reading is sure to reach.
void OpenRegularFile(QFile &file, const QString &path);

// The whole content of a regular file of at most maxBytes. IoError when it is missing or cannot
// be read; InputError when it is not a regular file or is larger than maxBytes.
QByteArray ReadWholeFile(const QString &path, qint64 maxBytes = kMaxWholeFileBytes);

// The InputError text for a file larger than maxBytes.
QString FileTooLargeText(const QString &path, qint64 maxBytes);

// Replaces a file with content, through a temporary file, so that a failed write leaves the
// old file as it was. IoError when it cannot be written.
void WriteWholeFile(const QString &path, const QByteArray &content);

} // namespace lumaro
