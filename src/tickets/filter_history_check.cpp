#include "tickets/filter_history_check.h"

#include "common/errors.h"
#include "common/parallel_blocks.h"
#include "data/combination.h"
#include "data/open_lottery.h"
#include "data/ticket_set.h"
#include "tickets/ticket_tester.h"

#include <algorithm>
#include <cmath>

namespace lumaro {

namespace {

constexpr unsigned kMaskCount = 1u << kFilterConditionCount;

// Counts by failure mask turned into the all-pass and each-alone counts.
PassCounts CountsFromMasks(const std::array<qint64, kMaskCount> &byMask)
{
    PassCounts counts;
    for (unsigned mask = 0; mask < kMaskCount; ++mask) {
        const qint64 rows = byMask[mask];
        if (rows == 0)
            continue;
        counts.judged += rows;
        if (mask == 0)
            counts.passingAll += rows;
        for (int c = 0; c < kFilterConditionCount; ++c) {
            if (!(mask >> c & 1))
                counts.passing[static_cast<std::size_t>(c)] += rows;
        }
    }
    return counts;
}

double Share(qint64 part, qint64 whole)
{
    return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

QString RatioText(const HistoryFigures &f)
{
    return QString::number(*f.ratio(), 'f', 2);
}

} // namespace

HistoryCheckInputs HistoryCheckInputs::fromLottery(const OpenLottery &lottery)
{
    const QString reason = TotalFilterUnsupportedReason(lottery);
    if (!reason.isEmpty())
        throw InputError(reason);
    const int rows = lottery.drawTable.rowCount();
    if (rows == 0)
        throw InputError(QStringLiteral("《%1》还没有开奖号码，无法进行历史验证！").arg(lottery.name));
    HistoryCheckInputs inputs;
    inputs.filter = FilterInputs::fromLottery(lottery);
    inputs.draws.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(lottery.m));
    for (int r = 0; r < rows; ++r) {
        const qint32 *numbers = lottery.drawTable.numbers(r);
        inputs.draws.insert(inputs.draws.end(), numbers, numbers + lottery.m);
    }
    return inputs;
}

std::optional<PassCounts> JudgeDraws(
    const HistoryCheckInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress)
{
    const int m = inputs.filter.m;
    if (m < 1 || m > kTesterMaxWidth)
        throw InputError(QStringLiteral("选择号码数%1不在1到%2之间！").arg(m).arg(kTesterMaxWidth));
    const int draws = inputs.drawCount();
    TicketTester tester(inputs.filter, conditions, false);
    std::array<qint64, kMaskCount> byMask {};
    for (int d = 0; d < draws; ++d) {
        if (d % 4096 == 0) {
            if (progress.cancelled())
                return std::nullopt;
            progress.step(d, draws);
        }
        const int *draw = inputs.draws.data() + static_cast<std::ptrdiff_t>(d) * m;
        // The deviation reads the draw before; the tester's table is only rebuilt when the
        // condition is active.
        if (conditions.deviation)
            tester.setReference(d > 0 ? draw - m : draw, d > 0 ? m : 0);
        ++byMask[tester.failures(draw)];
    }
    progress.step(draws, draws);
    return CountsFromMasks(byMask);
}

std::optional<PassCounts> CountPassingTickets(
    const FilterInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress)
{
    if (inputs.m < 1 || inputs.m > kTesterMaxWidth)
        throw InputError(QStringLiteral("选择号码数%1不在1到%2之间！").arg(inputs.m).arg(kTesterMaxWidth));
    const TicketSet tickets = TicketSet::lexicographic(inputs.n, inputs.m);
    const qint64 rows = tickets.rowCount();
    const TicketTester tester(inputs, conditions, true);
    const bool prefixed = tester.prefixServes();

    // The same split over the cores as a filter run, each thread counting by failure mask in
    // its own slot.
    constexpr qint64 kBlock = 1 << 15;
    std::vector<std::array<qint64, kMaskCount>> byThread(static_cast<std::size_t>(BlockThreadCount(rows, kBlock)));
    const bool finished = ForEachBlock(rows, kBlock, progress, [&](int thread, qint64 begin, qint64 end) {
        std::array<qint64, kMaskCount> &own = byThread[static_cast<std::size_t>(thread)];
        if (prefixed) {
            // In lexicographic order the first M - 1 numbers change exactly after a ticket
            // ending in N.
            TicketTester::Prefix prefix;
            int last = inputs.n;
            tickets.forRange(begin, end, [&](qint64, const int *numbers) {
                if (last == inputs.n)
                    prefix = tester.prefix(numbers);
                ++own[tester.failuresAfter(prefix, numbers)];
                last = numbers[inputs.m - 1];
            });
        } else {
            tickets.forRange(begin, end, [&](qint64, const int *numbers) { ++own[tester.failures(numbers)]; });
        }
    });
    if (!finished)
        return std::nullopt;
    std::array<qint64, kMaskCount> byMask {};
    for (const auto &own : byThread) {
        for (unsigned mask = 0; mask < kMaskCount; ++mask)
            byMask[mask] += own[mask];
    }
    return CountsFromMasks(byMask);
}

double HistoryFigures::drawShare() const
{
    return Share(drawsPassing, drawsJudged);
}

double HistoryFigures::ticketShare() const
{
    return Share(ticketsPassing, tickets);
}

std::optional<double> HistoryFigures::ratio() const
{
    if (ticketsPassing == 0 || drawsJudged == 0)
        return std::nullopt;
    return drawShare() / ticketShare();
}

std::optional<HistoryCheckResult> RunHistoryCheck(
    const HistoryCheckInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress)
{
    // One progress scale over both passes: the draws first, then the tickets.
    const qint64 draws = inputs.drawCount();
    const qint64 total = draws + Choose(inputs.filter.n, inputs.filter.m);
    Progress drawPart {nullptr, progress.cancel};
    Progress ticketPart {nullptr, progress.cancel};
    if (progress.report) {
        drawPart.report = [&](qint64 done, qint64) { progress.step(done, total); };
        ticketPart.report = [&](qint64 done, qint64) { progress.step(draws + done, total); };
    }
    const std::optional<PassCounts> judged = JudgeDraws(inputs, conditions, drawPart);
    if (!judged)
        return std::nullopt;
    const std::optional<PassCounts> counted = CountPassingTickets(inputs.filter, conditions, ticketPart);
    if (!counted)
        return std::nullopt;

    HistoryCheckResult result;
    const auto figures = [&](qint64 drawsPassing, qint64 ticketsPassing) {
        return HistoryFigures {judged->judged, drawsPassing, counted->judged, ticketsPassing};
    };
    result.all = figures(judged->passingAll, counted->passingAll);
    for (int c = 0; c < kFilterConditionCount; ++c) {
        const auto condition = static_cast<FilterCondition>(c);
        if (conditions.bounds(condition)) {
            const auto i = static_cast<std::size_t>(c);
            result.conditions.emplace_back(condition, figures(judged->passing[i], counted->passing[i]));
        }
    }
    return result;
}

QString ConditionLabel(FilterCondition condition, const TotalFilterConditions &c)
{
    static const char *const kNames[kFilterConditionCount]
        = {"大数", "奇数", "和值", "跨度", "散度", "偏度", "AC值", "选择球号", "胆码"};
    const FilterBounds bounds = *c.bounds(condition);
    const QString range = QStringLiteral("%1-%2").arg(bounds.lower).arg(bounds.upper);
    const QString name = QString::fromUtf8(kNames[static_cast<int>(condition)]);
    if (condition == FilterCondition::Chooser) {
        int chosen = 0;
        for (bool ball : c.balls)
            chosen += ball ? 1 : 0;
        return QStringLiteral("%1（%2个）中%3").arg(name).arg(chosen).arg(range);
    }
    if (condition == FilterCondition::Banker) {
        QStringList numbers;
        for (int b : c.bankers)
            numbers << QString::number(b);
        return QStringLiteral("%1 %2 中%3").arg(name, numbers.join(QLatin1Char(' ')), range);
    }
    return name + QLatin1Char(' ') + range;
}

QString HistoryDrawsText(const HistoryFigures &all)
{
    return QStringLiteral("判断%1期开奖号码，全部条件都通过的有%2期，占%3")
        .arg(all.drawsJudged)
        .arg(all.drawsPassing)
        .arg(ShareText(all.drawShare()));
}

QString HistoryTicketsText(const HistoryFigures &all)
{
    return QStringLiteral("全部投注号码中通过的占%1；").arg(ShareText(all.ticketShare()))
        + (all.ratio() ? QStringLiteral("两者之比") + RatioText(all)
                       : QStringLiteral("没有投注号码通过全部条件，两者之比无从计算"));
}

QStringList HistoryCheckLines(const HistoryCheckResult &result, const TotalFilterConditions &conditions)
{
    QStringList lines;
    lines << QStringLiteral("历史验证：") + HistoryDrawsText(result.all) + QStringLiteral("；")
            + HistoryTicketsText(result.all);
    for (const auto &[condition, f] : result.conditions) {
        QString line = QStringLiteral("  %1：开奖号码通过%2期（%3），投注号码通过%4，")
                           .arg(ConditionLabel(condition, conditions))
                           .arg(f.drawsPassing)
                           .arg(ShareText(f.drawShare()), ShareText(f.ticketShare()));
        line += f.ratio() ? QStringLiteral("之比") + RatioText(f) : QStringLiteral("没有投注号码通过，无从比较");
        lines << line;
    }
    return lines;
}

} // namespace lumaro
