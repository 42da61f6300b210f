#pragma once

#include <vector>

// The number indicators: one value describing a draw or a ticket. Each takes the M numbers in
// stored order (never assumed sorted) and N, the count of numbers of the lottery.
namespace lumaro {

// The two ways of counting big numbers (H = N div 2): the analysis windows count d > H, the
// total filter counts d >= H.
enum class BigRule { Analysis, TotalFilter };

int BigCount(const int *d, int m, int n, BigRule rule);
int OddCount(const int *d, int m);
int SumValue(const int *d, int m);
// Largest minus smallest, found by scanning.
int SpanValue(const int *d, int m);
// The largest distance from a value 1..N to its nearest number of the set.
int DispersionValue(const int *d, int m, int n);
// The largest distance from a number of the set to its nearest number of the previous draw.
int DeviationValue(const int *d, const int *previous, int m);
// Without a previous draw: (N - M) / 2.
double DeviationWithoutPrevious(int n, int m);
// The count of distinct absolute differences over all pairs of positions (not reduced by M - 1).
int AcValue(const int *d, int m, int n);
// Positions whose number occurs in the previous draw; 0 without one (previous == nullptr).
int RepeatCount(const int *d, const int *previous, int m);
// Whether v is a prime number (1 is not).
bool IsPrime(int v);
// N / Z rounded up.
int ZoneWidth(int n, int zones);
// 0-based zone of a number.
inline int ZoneOf(int number, int width)
{
    return (number - 1) / width;
}
// Per zone (Z entries) the count of the set's numbers in it. A digit 0 counts in zone 1.
std::vector<int> ZoneCounts(const int *d, int m, int n, int zones);

enum class Indicator { Big, Odd, Sum, Span, Dispersion, Deviation, Ac, Repeat };

// The value of an indicator for the set d with the previous draw (nullptr for the first row).
double IndicatorValue(Indicator indicator, const int *d, const int *previous, int m, int n);

// The value of an indicator for row `row` of a draw table whose rows are M numbers each
// (rows[0..count-1], each pointing at M numbers); the previous draw is the row before.
double IndicatorOfDraw(Indicator indicator, const int *const *rows, int row, int m, int n);

// True for the indicators whose theoretical average is the mean over the loaded history.
bool UsesHistoryMean(Indicator indicator);

// The theoretical values the analysis windows print beside the history.
struct TheoreticalValues {
    double maximum = 0;
    double minimum = 0;
    double average = 0;
    double totalOverK = 0;
};
// historyMean: the mean of the indicator's unrounded values over all loaded draws.
TheoreticalValues TheoreticalValuesOf(Indicator indicator, int n, int m, double historyMean, int k);

} // namespace lumaro
