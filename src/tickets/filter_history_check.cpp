#include "tickets/filter_history_check.h"

#include "common/errors.h"
#include "common/parallel_blocks.h"
#include "data/combination.h"
#include "data/open_lottery.h"
#include "data/ticket_set.h"
#include "tickets/ticket_tester.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace lumaro {

namespace {

// The counts of one thread: each row's failure mask tallied as it comes.
struct Tally {
    qint64 judged = 0;
    qint64 passingAll = 0;
    qint64 passingTolerant = 0;
    std::vector<qint64> failing;
    int tolerance = 0;

    Tally(std::size_t conditions, int k)
        : failing(conditions, 0)
        , tolerance(k)
    { }

    void add(std::uint64_t mask)
    {
        ++judged;
        passingAll += mask == 0 ? 1 : 0;
        passingTolerant += std::popcount(mask) <= tolerance ? 1 : 0;
        for (std::uint64_t bits = mask; bits != 0; bits &= bits - 1)
            ++failing[static_cast<std::size_t>(std::countr_zero(bits))];
    }
};

PassCounts CountsFromTallies(const std::vector<Tally> &tallies, std::size_t conditions)
{
    PassCounts counts;
    std::vector<qint64> failing(conditions, 0);
    for (const Tally &tally : tallies) {
        counts.judged += tally.judged;
        counts.passingAll += tally.passingAll;
        counts.passingTolerant += tally.passingTolerant;
        for (std::size_t c = 0; c < conditions; ++c)
            failing[c] += tally.failing[c];
    }
    counts.passing.resize(conditions);
    for (std::size_t c = 0; c < conditions; ++c)
        counts.passing[c] = counts.judged - failing[c];
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
    const std::size_t active = conditions.active().size();
    std::vector<Tally> tally(1, Tally(active, std::max(conditions.tolerance, 0)));
    const bool references = conditions.deviation || conditions.repeat || conditions.repeatRecent;
    for (int d = 0; d < draws; ++d) {
        if (d % 4096 == 0) {
            if (progress.cancelled())
                return std::nullopt;
            progress.step(d, draws);
        }
        const int *draw = inputs.draws.data() + static_cast<std::ptrdiff_t>(d) * m;
        // The deviation and the repeats read the draws before; the tester's tables are only
        // rebuilt when one of them is active.
        if (references)
            tester.setReferences(inputs.draws.data(), d);
        tally[0].add(tester.failures(draw));
    }
    progress.step(draws, draws);
    return CountsFromTallies(tally, active);
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

    // The same split over the cores as a filter run, each thread tallying in its own slot.
    constexpr qint64 kBlock = 1 << 15;
    const std::size_t active = conditions.active().size();
    std::vector<Tally> byThread(
        static_cast<std::size_t>(BlockThreadCount(rows, kBlock)), Tally(active, std::max(conditions.tolerance, 0)));
    const bool finished = ForEachBlock(rows, kBlock, progress, [&](int thread, qint64 begin, qint64 end) {
        Tally &own = byThread[static_cast<std::size_t>(thread)];
        if (prefixed) {
            // In lexicographic order the first M - 1 numbers change exactly after a ticket
            // ending in N.
            TicketTester::Prefix prefix;
            int last = inputs.n;
            tickets.forRange(begin, end, [&](qint64, const int *numbers) {
                if (last == inputs.n)
                    prefix = tester.prefix(numbers);
                own.add(tester.failuresAfter(prefix, numbers));
                last = numbers[inputs.m - 1];
            });
        } else {
            tickets.forRange(begin, end, [&](qint64, const int *numbers) { own.add(tester.failures(numbers)); });
        }
    });
    if (!finished)
        return std::nullopt;
    return CountsFromTallies(byThread, active);
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
    result.tolerance = std::max(conditions.tolerance, 0);
    if (result.tolerance > 0)
        result.tolerant = figures(judged->passingTolerant, counted->passingTolerant);
    const std::vector<ConditionRef> active = conditions.active();
    for (std::size_t i = 0; i < active.size(); ++i)
        result.conditions.emplace_back(active[i], figures(judged->passing[i], counted->passing[i]));
    return result;
}

QString ConditionLabel(ConditionRef condition, const TotalFilterConditions &c)
{
    static const char *const kNames[kScalarConditionCount]
        = {"大数", "奇数", "和值", "跨度", "散度", "偏度", "AC值", "选择球号", "胆码", "重码", "近期重码", "连号个数",
            "最长连号", "尾数个数", "尾数和", "0路个数", "1路个数", "2路个数", "质数个数"};
    const FilterBounds &bounds = c.boundsOf(condition);
    // The ranges as set; the nine keep their "a-b" even for a single value.
    const QString range
        = bounds.more.empty() ? QStringLiteral("%1-%2").arg(bounds.lower).arg(bounds.upper) : bounds.text();
    if (condition.kind == FilterCondition::Zone)
        return QStringLiteral("第%1区个数（共%2区）%3").arg(condition.index + 1).arg(c.zoneCount).arg(range);
    if (condition.kind == FilterCondition::BankerGroup) {
        QStringList numbers;
        for (int b : c.bankerGroups[static_cast<std::size_t>(condition.index)].numbers)
            numbers << QString::number(b);
        return QStringLiteral("胆码组%1 %2 中%3").arg(condition.index + 1).arg(numbers.join(QLatin1Char(' ')), range);
    }
    const QString name = condition.kind == FilterCondition::RepeatRecent
        ? QStringLiteral("近%1期重码").arg(c.repeatPeriods)
        : QString::fromUtf8(kNames[static_cast<int>(condition.kind)]);
    if (condition.kind == FilterCondition::Chooser) {
        int chosen = 0;
        for (bool ball : c.balls)
            chosen += ball ? 1 : 0;
        return QStringLiteral("%1（%2个）中%3").arg(name).arg(chosen).arg(range);
    }
    if (condition.kind == FilterCondition::Banker) {
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
    const auto share = [](const HistoryFigures &f, const QString &label) -> QString {
        QString line = QStringLiteral("  %1：开奖号码通过%2期（%3），投注号码通过%4，")
                           .arg(label)
                           .arg(f.drawsPassing)
                           .arg(ShareText(f.drawShare()), ShareText(f.ticketShare()));
        return line
            + (f.ratio() ? QStringLiteral("之比") + RatioText(f) : QStringLiteral("没有投注号码通过，无从比较"));
    };
    if (result.tolerant)
        lines << share(*result.tolerant, QStringLiteral("容错%1个（最多%1个条件不满足）").arg(result.tolerance));
    for (const auto &[condition, f] : result.conditions)
        lines << share(f, ConditionLabel(condition, conditions));
    return lines;
}

} // namespace lumaro
