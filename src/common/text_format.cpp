#include "common/text_format.h"

#include <algorithm>
#include <cmath>

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

QString ShareText(double share)
{
    const double percent = share * 100.0;
    int decimals = 1;
    if (percent > 0.0 && percent < 1.0)
        decimals = std::min(12, static_cast<int>(std::ceil(-std::log10(percent))) + 1);
    return QString::number(percent, 'f', decimals) + QLatin1Char('%');
}

} // namespace lumaro
