#pragma once

#include "common/progress.h"
#include "data/draw_table.h"
#include "data/lottery_definition.h"
#include "pickers/exclusion_run.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// 历史验证 of the infinite exclusion pickers: does the drawn ticket tend to survive? For each of
// the latest stored draws the picker runs as it would have run just before that draw (only the
// earlier draws known, every ticket of the lottery alive at the start), and the draw is looked
// for among the survivors. A picker worth using keeps the drawn ticket more often than its
// share of survivors would by chance.
namespace lumaro {

class OpenLottery;

// The draws a check reads, copied from the open lottery so a check on a worker does not depend
// on the lottery staying open.
struct ExclusionCheckDraws {
    LotteryKind kind = LotteryKind::Lotto;
    int n = 0;
    int m = 0;
    DrawTable draws;
    QStringList periods; // 记录期号 of each row
};
ExclusionCheckDraws ExclusionCheckDrawsOf(const OpenLottery &lottery);

// One judged draw.
struct ExclusionCheckRow {
    int index = 0; // row of the draw in the history
    QString period;
    bool survived = false; // the draw's numbers were among the survivors
    qint64 survivors = 0;
    qint64 cycles = 0;
};

struct ExclusionCheckResult {
    // A stopped check holds no figures and no rows: nothing of it may pass for a result.
    bool cancelled = false;
    int periods = 0; // draws judged
    int survived = 0; // of which the drawn ticket survived
    qint64 tickets = 0; // all tickets of the lottery
    double survivalShare = 0; // survived / periods
    double meanSurvivorShare = 0; // mean over the periods of survivors / tickets
    // survivalShare / meanSurvivorShare; 0 when no ticket ever survived (see hasRatio()).
    double ratio = 0;
    std::vector<ExclusionCheckRow> rows; // oldest first

    bool hasRatio() const { return meanSurvivorShare > 0; }
};

// Refuses what a check cannot do (Chinese InputError): the lotteries and settings every picker
// refuses, fewer than 1 period, or so many periods that the first judged draw has no earlier
// draws for the picker's own look-back (重码期数, 延续期数; at least one draw for every picker).
void CheckExclusionCheck(const ExclusionCheckDraws &draws, const PickerSettings &settings, int recent);

// The largest number of periods a check of the settings can judge (0 when none).
int ExclusionCheckLimit(const ExclusionCheckDraws &draws, const PickerSettings &settings);

// The seed of the run judging the draw of a period: the check's seed mixed with the period
// number, so a period gets the same run whatever else is judged with it.
std::uint64_t ExclusionCheckSeed(std::uint64_t seed, qint64 period);

// Judges the latest `recent` draws, oldest first, with the settings' member and stop rule.
// Nothing is written to disk. Progress runs over recent * 1000 steps (a share of each run);
// a stop ends the check at the next look at the flag and returns it cancelled and empty.
ExclusionCheckResult RunExclusionCheck(const ExclusionCheckDraws &draws, const PickerSettings &settings, int recent,
    std::uint64_t seed, const Progress &progress = {});

// A share (0..1) as a percentage text without the sign: one decimal, more below 1% so that a
// small share does not read as 0 ("0.012"), "0" for nothing at all.
QString ExclusionCheckPercent(double share);

// "历史验证：判断20期，开奖号码留下3期，占15.0%；留下的投注号码平均占全部的12.3%；两者之比1.22";
// when no ticket survived any run the ratio is replaced by a plain sentence. A stopped check
// gives "历史验证：已停止，没有结果。".
QString ExclusionCheckLine(const ExclusionCheckResult &result);

// One line per judged draw, oldest first: "2024010期 开奖号码03 07 09 留下，剩余12注（10.0%）"
// ("被排除" when the drawn ticket was excluded).
QStringList ExclusionCheckRowLines(const ExclusionCheckDraws &draws, const ExclusionCheckResult &result);

} // namespace lumaro
