#pragma once

#include <QByteArray>
#include <QString>

namespace lumaro {

// The whole content of a file. IoError when it is missing or cannot be read.
QByteArray ReadWholeFile(const QString &path);

// Replaces a file with content, through a temporary file, so that a failed write leaves the
// old file as it was. IoError when it cannot be written.
void WriteWholeFile(const QString &path, const QByteArray &content);

} // namespace lumaro
