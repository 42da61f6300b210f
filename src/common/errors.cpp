#include "common/errors.h"

namespace lumaro {

Error::Error(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{ }

ConversionError ConversionError::notInteger(const QString &text)
{
    return ConversionError(QStringLiteral("'%1' 不是一个有效的整形值").arg(text));
}

ConversionError ConversionError::notDate(const QString &text)
{
    return ConversionError(QStringLiteral("'%1' 不是一个有效的日期").arg(text));
}

IoError::IoError(const QString &message, int code)
    : Error(message)
    , m_code(code)
{ }

IoError IoError::fileNotFound(const QString &path)
{
    return IoError(QStringLiteral("文件没找到：%1").arg(path), 2);
}

IoError IoError::cannotWrite(const QString &path, const QString &reason)
{
    return IoError(QStringLiteral("I/O 错误 %1：无法写入 %2（%3）").arg(5).arg(path, reason), 5);
}

IoError IoError::cannotRead(const QString &path, const QString &reason)
{
    return IoError(QStringLiteral("I/O 错误 %1：无法读取 %2（%3）").arg(5).arg(path, reason), 5);
}

int ToInteger(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ConversionError::notInteger(text);
    return value;
}

int ToIntegerAtLeast(const QString &text, int lowest, const QString &message)
{
    const int value = ToInteger(text);
    if (value < lowest)
        throw InputError(message.isEmpty() ? QStringLiteral("请输入不小于%1的整数！").arg(lowest) : message);
    return value;
}

} // namespace lumaro
