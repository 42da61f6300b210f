#include "pickers/exclusion_check.h"

#include "common/errors.h"
#include "common/random_source.h"
#include "common/text_format.h"
#include "data/combination.h"
#include "data/open_lottery.h"

#include <algorithm>
#include <cmath>

namespace lumaro {

namespace {

// Progress steps of one judged draw.
constexpr qint64 kStepsPerPeriod = 1000;

// The look-back a member needs before the period it bets on, and its name for messages (empty
// for the pickers that only need one earlier draw).
std::pair<int, QString> LookBackOf(const PickerSettings &settings)
{
    switch (settings.kind) {
    case ExclusionKind::Repeat:
        return {settings.repeat.periods, QStringLiteral("重码期数")};
    case ExclusionKind::Skew:
        return {settings.skew.span, QStringLiteral("延续期数")};
    case ExclusionKind::Sum:
    case ExclusionKind::Follow:
        break;
    }
    return {1, QString()};
}

// The first `count` draws, as a picker at that period sees them.
ValueRows FirstRows(const ValueRows &all, int count)
{
    ValueRows rows(count, all.width());
    for (int r = 0; r < count; ++r)
        std::copy(all.row(r), all.row(r) + all.width(), rows.row(r));
    return rows;
}

// The row of the draw's ticket in the lexicographic set, -1 when its numbers are no ticket of
// the lottery (a repeated or out-of-range number).
qint64 TicketRowOf(const qint32 *numbers, int n, int m)
{
    std::vector<int> sorted(numbers, numbers + m);
    std::sort(sorted.begin(), sorted.end());
    if (!IsAscendingCombination(sorted.data(), n, m))
        return -1;
    return CombinationRank(sorted.data(), n, m) - 1;
}

} // namespace

ExclusionCheckDraws ExclusionCheckDrawsOf(const OpenLottery &lottery)
{
    ExclusionCheckDraws draws;
    draws.kind = lottery.kind;
    draws.n = lottery.n;
    draws.m = lottery.m;
    draws.draws = lottery.drawTable;
    draws.periods = lottery.drawPeriods;
    if (draws.periods.size() != draws.draws.rowCount()) {
        draws.periods.clear();
        for (int i = 0; i < draws.draws.rowCount(); ++i)
            draws.periods << QString::number(draws.draws.period(i));
    }
    return draws;
}

int ExclusionCheckLimit(const ExclusionCheckDraws &draws, const PickerSettings &settings)
{
    return std::max(0, draws.draws.rowCount() - std::max(1, LookBackOf(settings).first));
}

void CheckExclusionCheck(const ExclusionCheckDraws &draws, const PickerSettings &settings, int recent)
{
    const int count = draws.draws.rowCount();
    CheckPickerLottery(draws.kind, draws.n, draws.m, count, count);
    CheckStopRule(settings.stop);
    if (settings.kind == ExclusionKind::Follow)
        CheckFollowGroup(settings.follow.group);
    const auto [lookBack, what] = LookBackOf(settings);
    if (lookBack < 1)
        CheckLookBack(lookBack, count, what);
    if (recent < 1)
        throw InputError(QStringLiteral("验证期数至少为1期。"));
    const int limit = ExclusionCheckLimit(draws, settings);
    const QString need = what.isEmpty()
        ? QStringLiteral("每一期验证之前至少要有1期开奖号码")
        : QStringLiteral("每一期验证之前至少要有%1期开奖号码（%2）").arg(lookBack).arg(what);
    if (limit == 0)
        throw InputError(QStringLiteral("当前彩票只有%1期开奖号码，无法验证：%2。").arg(count).arg(need));
    if (recent > limit)
        throw InputError(QStringLiteral("验证期数（%1期）太多：%2，当前彩票共%3期开奖号码，最多可验证%4期。")
                             .arg(recent)
                             .arg(need)
                             .arg(count)
                             .arg(limit));
}

std::uint64_t ExclusionCheckSeed(std::uint64_t seed, qint64 period)
{
    // splitmix64 of the pair: nearby periods get unrelated generators.
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL * (static_cast<std::uint64_t>(period) + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

ExclusionCheckResult RunExclusionCheck(const ExclusionCheckDraws &draws, const PickerSettings &settings, int recent,
    std::uint64_t seed, const Progress &progress)
{
    CheckExclusionCheck(draws, settings, recent);
    const int count = draws.draws.rowCount();
    const ValueRows all = ValueRows::fromDraws(draws.draws);
    const qint64 total = static_cast<qint64>(recent) * kStepsPerPeriod;
    ExclusionCheckResult result;
    result.tickets = Choose(draws.n, draws.m);
    double shareSum = 0;
    auto stopped = [] {
        ExclusionCheckResult empty;
        empty.cancelled = true;
        return empty;
    };
    for (int k = 0; k < recent; ++k) {
        const int d = count - recent + k;
        progress.step(k * kStepsPerPeriod, total);
        if (progress.cancelled())
            return stopped();
        // The picker as it stood before draw d: draws 0 .. d - 1 known, d the period bet on.
        PickerHistory history;
        history.n = draws.n;
        history.m = draws.m;
        history.draws = FirstRows(all, d);
        history.cur = d;
        const std::unique_ptr<ExclusionMember> member = MakeMember(history, settings);
        TicketSet tickets = TicketSet::lexicographic(draws.n, draws.m);
        RandomSource random(ExclusionCheckSeed(seed, draws.draws.period(d)));
        Progress inner;
        inner.cancel = progress.cancel;
        if (progress.report) {
            inner.report = [&progress, k, total](qint64 done, qint64 of) {
                const qint64 part = of > 0 ? std::clamp(done, qint64(0), of) * kStepsPerPeriod / of : 0;
                progress.step(k * kStepsPerPeriod + part, total);
            };
        }
        const CycleOutcome outcome = RunExclusionCycles(tickets, *member, settings.stop, random, inner);
        if (outcome.cancelled || progress.cancelled())
            return stopped();

        ExclusionCheckRow row;
        row.index = d;
        row.period = d < draws.periods.size() ? draws.periods[d] : QString::number(draws.draws.period(d));
        row.survivors = outcome.alive;
        row.cycles = outcome.cycles;
        const qint64 ticketRow = TicketRowOf(draws.draws.numbers(d), draws.n, draws.m);
        row.survived = ticketRow >= 0 && tickets.state(ticketRow) == 0;
        result.survived += row.survived ? 1 : 0;
        shareSum += result.tickets > 0 ? double(row.survivors) / double(result.tickets) : 0.0;
        result.rows.push_back(row);
    }
    progress.step(total, total);
    result.periods = recent;
    result.survivalShare = double(result.survived) / double(recent);
    result.meanSurvivorShare = shareSum / double(recent);
    result.ratio = result.hasRatio() ? result.survivalShare / result.meanSurvivorShare : 0.0;
    return result;
}

QString ExclusionCheckPercent(double share)
{
    return share <= 0 ? QStringLiteral("0") : ShareText(share).chopped(1);
}

QString ExclusionCheckLine(const ExclusionCheckResult &result)
{
    if (result.cancelled)
        return QStringLiteral("历史验证：已停止，没有结果。");
    QString line = QStringLiteral("历史验证：判断%1期，开奖号码留下%2期，占%3%；")
                       .arg(result.periods)
                       .arg(result.survived)
                       .arg(ExclusionCheckPercent(result.survivalShare));
    if (!result.hasRatio())
        return line + QStringLiteral("每一期都没有留下任何投注号码（留下的投注号码平均占全部的0%），无法计算两者之比");
    return line
        + QStringLiteral("留下的投注号码平均占全部的%1%；两者之比%2")
              .arg(ExclusionCheckPercent(result.meanSurvivorShare))
              .arg(QString::number(result.ratio, 'f', 2));
}

QStringList ExclusionCheckRowLines(const ExclusionCheckDraws &draws, const ExclusionCheckResult &result)
{
    QStringList lines;
    for (const ExclusionCheckRow &row : result.rows) {
        QString numbers;
        for (int j = 0; j < draws.m; ++j)
            numbers += (j > 0 ? QStringLiteral(" ") : QString()) + Pad2(draws.draws.numbers(row.index)[j]);
        const double share = result.tickets > 0 ? double(row.survivors) / double(result.tickets) : 0.0;
        lines << QStringLiteral("%1期 开奖号码%2 %3，剩余%4注（%5%）")
                     .arg(row.period, numbers, row.survived ? QStringLiteral("留下") : QStringLiteral("被排除"))
                     .arg(row.survivors)
                     .arg(ExclusionCheckPercent(share));
    }
    return lines;
}

} // namespace lumaro
