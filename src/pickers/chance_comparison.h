#pragma once

#include "data/lottery_definition.h"

#include <QString>
#include <QtGlobal>

#include <vector>

// A picker's back-test told against chance: how many numbers a proposal of the same size would
// hit on average if it had been picked at random, and how far the picker's hits stand from that.
namespace lumaro {

// The hits of a random proposal of k numbers on one draw of M numbers out of N.
//  - Lotto: M distinct numbers of N are drawn and the proposal is k distinct numbers, so the
//    hits are hypergeometric: mean M·k/N, variance M·(k/N)·(1 − k/N)·(N − M)/(N − 1).
//  - Digit: each of the M cells is a digit of N drawn on its own (repeats allowed) and a cell
//    hits when its digit is one of the k proposed (a digit drawn twice hits twice), so the hits
//    are binomial with M trials of chance k/N: mean M·k/N, variance M·(k/N)·(1 − k/N).
class ChanceModel {
public:
    ChanceModel() = default;
    ChanceModel(LotteryKind kind, int n, int m);

    int numbers() const { return m_n; }
    int drawn() const { return m_m; }
    // Sizes outside 0 … N are taken as the nearest end.
    double mean(int size) const;
    double variance(int size) const;
    // P(hits = h) for h = 0 … M.
    const std::vector<double> &distribution(int size) const;

private:
    int clamp(int size) const;

    LotteryKind m_kind = LotteryKind::Lotto;
    int m_n = 0;
    int m_m = 0;
    std::vector<std::vector<double>> m_distributions; // by size 0 … N
};

// Where a back-test stands against chance, to be told in words.
enum class ChanceVerdict { NoClearDifference, Better, Worse };

// The judged draws of a back-test, summed up: each draw adds its proposal's size and its hits.
struct ChanceComparison {
    int judged = 0;
    qint64 hits = 0;
    double chanceHits = 0; // the sum of the random proposals' means
    double variance = 0; // the sum of their variances
    std::vector<double> expected; // expected[h]: judged draws a random pick would hit h times

    void add(const ChanceModel &model, int size, int drawHits);

    double observedMean() const;
    double chanceMean() const;
    // (observed mean − chance mean) in standard errors of the mean; 0 when nothing could vary.
    double standardErrors() const;
    ChanceVerdict verdict() const;
};

// The draws a rolling mean of hits spans over a chart of `points` draws: 50, or a quarter of
// fewer than 200 draws (at least 1).
int RollingMeanWindow(int points);
// means[i] is the mean of values[i .. i + window - 1]: the rolling mean at value i + window - 1.
// Empty when there are fewer values than the window.
std::vector<double> RollingMean(const std::vector<double> &values, int window);

// Two standard errors or more either way counts as a clear difference.
ChanceVerdict VerdictOf(double standardErrors);
QString VerdictText(ChanceVerdict verdict);

// "随机对照：判断n期，平均每期中a个，随机选同样多号码平均中b个，相差z个标准误；<verdict>", or empty
// when no draw was judged.
QString ChanceLine(const ChanceComparison &comparison);

// What buying every ticket of a proposal of k numbers costs at 2 yuan a ticket:
// " 全包需C(k,M)=T注，P元" for a lotto (nothing when k < M), " 全包需k^M=T注，P元" for a digit
// lottery (every digit sequence of the proposed digits).
QString CoverageText(LotteryKind kind, int size, int m);

} // namespace lumaro
