#include "common/file_io.h"

#include "common/errors.h"

#include <QFile>
#include <QSaveFile>

namespace lumaro {

QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        throw IoError::fileNotFound(path);
    if (!file.open(QIODevice::ReadOnly))
        throw IoError::cannotRead(path, file.errorString());
    return file.readAll();
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
