#pragma once

#include <QString>

// The fixed-width number texts of the program in one place: ticket files, trend cells, result
// lists and history files all build on these.
namespace lumaro {

// "%.2d": at least two digits, leading zero (7 -> "07", 10 -> "10", -5 -> "-05").
QString Pad2(int value);
// "%.7d": the serial of a result list line.
QString Pad7(qint64 value);
// "%.0f" and "%.1f" of indicator and summary values.
QString Fixed0(double value);
QString Fixed1(double value);
// A share (0..1) as a percentage: one decimal, two significant digits below 1% so that a share
// that is not zero never reads 0.0% ("0.0012%").
QString ShareText(double share);
// The numbers "%.2d" joined by one blank, no blank at the end ("01 02 03 04 05").
QString JoinPadded(const int *values, int count);

} // namespace lumaro
