#include "common/text_format.h"

namespace lumaro {

QString Pad2(int value)
{
    return QString::asprintf("%.2d", value);
}

QString Pad7(qint64 value)
{
    return QString::asprintf("%.7lld", static_cast<long long>(value));
}

QString Fixed0(double value)
{
    return QString::asprintf("%.0f", value);
}

QString Fixed1(double value)
{
    return QString::asprintf("%.1f", value);
}

QString JoinPadded(const int *values, int count)
{
    QString text;
    text.reserve(count * 3);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        text += Pad2(values[i]);
    }
    return text;
}

} // namespace lumaro
