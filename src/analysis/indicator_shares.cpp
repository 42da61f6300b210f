#include "analysis/indicator_shares.h"

#include "analysis/indicator_history.h"
#include "common/errors.h"
#include "common/parallel_blocks.h"
#include "common/text_format.h"
#include "data/combination.h"
#include "data/open_lottery.h"
#include "data/ticket_set.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <thread>

namespace lumaro {

namespace {

// Tickets of lotto combinations and digit tuples have at most this many numbers here; the
// counting refuses wider ones.
constexpr int kMaxWidth = 64;

void CheckSpace(const TicketSpace &space)
{
    if (space.n <= 0 || space.m <= 0 || space.m > kMaxWidth || (space.kind == LotteryKind::Lotto && space.m > space.n))
        throw InputError(
            QStringLiteral("彩票的号码总数%1和选择号码数%2无法统计投注号码的分布！").arg(space.n).arg(space.m));
}

TicketSet TicketsOf(const TicketSpace &space)
{
    return space.kind == LotteryKind::Lotto ? TicketSet::lexicographic(space.n, space.m)
                                            : TicketSet::digitTuples(space.n, space.m);
}

void RefuseLongEnumeration(const TicketSpace &space)
{
    const qint64 count = space.ticketCount();
    if (count > kMaxEnumeratedTickets)
        throw InputError(QStringLiteral("全部投注号码共%1注，太多，无法逐注统计这个指标的分布！").arg(count));
}

// Each thread takes blocks of rows, stepping the numbers with TicketSet::forRange, and counts
// the values value(numbers) returns (whole numbers >= 0) in a histogram of its own.
template<class ValueOf>
std::optional<ValueCounts> CountByEnumeration(const TicketSet &tickets, ValueOf valueOf, const Progress &progress)
{
    const qint64 rows = tickets.rowCount();
    constexpr qint64 kBlock = 1 << 16;
    std::vector<std::vector<qint64>> histograms(
        static_cast<std::size_t>(BlockThreadCount(rows, kBlock)), std::vector<qint64>(64, 0));
    const bool finished = ForEachBlock(rows, kBlock, progress, [&](int thread, qint64 begin, qint64 end) {
        std::vector<qint64> &histogram = histograms[static_cast<std::size_t>(thread)];
        tickets.forRange(begin, end, [&](qint64, const int *numbers) {
            const auto value = static_cast<std::size_t>(valueOf(numbers));
            if (value >= histogram.size())
                histogram.resize(value + 1, 0);
            ++histogram[value];
        });
    });
    if (!finished)
        return std::nullopt;
    ValueCounts counts;
    for (const std::vector<qint64> &histogram : histograms) {
        for (std::size_t v = 0; v < histogram.size(); ++v) {
            if (histogram[v] != 0)
                counts[static_cast<int>(v)] += histogram[v];
        }
    }
    return counts;
}

// Hypergeometric: tickets with k of the `marked` numbers of 1..N, k = 0..M.
ValueCounts MarkedCounts(int n, int m, int marked)
{
    ValueCounts counts;
    for (int k = 0; k <= m; ++k) {
        const qint64 count = Choose(marked, k) * Choose(n - marked, m - k);
        if (count != 0)
            counts[k] = count;
    }
    return counts;
}

// Subsets of size M of 1..N by their sum: ways[j][s] over the numbers seen so far.
ValueCounts SumCounts(int n, int m)
{
    // Every partial count is at most C(N, j) for some j <= M: refuse what would overflow.
    (void)Choose(n, std::min(m, n / 2));
    const int maxSum = m * n;
    std::vector<std::vector<qint64>> ways(
        static_cast<std::size_t>(m) + 1, std::vector<qint64>(static_cast<std::size_t>(maxSum) + 1, 0));
    ways[0][0] = 1;
    for (int x = 1; x <= n; ++x) {
        for (int j = std::min(m, x); j >= 1; --j) {
            std::vector<qint64> &to = ways[static_cast<std::size_t>(j)];
            const std::vector<qint64> &from = ways[static_cast<std::size_t>(j) - 1];
            for (int s = maxSum; s >= x; --s)
                to[static_cast<std::size_t>(s)] += from[static_cast<std::size_t>(s - x)];
        }
    }
    ValueCounts counts;
    for (int s = 0; s <= maxSum; ++s) {
        if (const qint64 count = ways[static_cast<std::size_t>(m)][static_cast<std::size_t>(s)])
            counts[s] = count;
    }
    return counts;
}

// Combinations with smallest a and largest a + s: N - s places, C(s - 1, M - 2) fillings.
ValueCounts SpanCounts(int n, int m)
{
    ValueCounts counts;
    if (m == 1) {
        counts[0] = n;
        return counts;
    }
    for (int s = m - 1; s <= n - 1; ++s)
        counts[s] = qint64(n - s) * Choose(s - 1, m - 2);
    return counts;
}

// The deviation of a ticket is the largest distance of its numbers to the latest draw: the
// tickets with deviation at most d are the combinations of the numbers within d of the draw.
ValueCounts DeviationCounts(int n, int m, const int *latest)
{
    std::vector<int> nearest(static_cast<std::size_t>(n) + 1, 0);
    int widest = 0;
    for (int x = 1; x <= n; ++x) {
        int best = -1;
        for (int k = 0; k < m; ++k) {
            const int gap = std::abs(x - latest[k]);
            if (best < 0 || gap < best)
                best = gap;
        }
        nearest[static_cast<std::size_t>(x)] = best;
        widest = std::max(widest, best);
    }
    ValueCounts counts;
    qint64 below = 0;
    for (int d = 0; d <= widest; ++d) {
        const auto within
            = static_cast<int>(std::count_if(nearest.begin() + 1, nearest.end(), [d](int g) { return g <= d; }));
        const qint64 upTo = Choose(within, m);
        if (upTo != below)
            counts[d] = upTo - below;
        below = upTo;
    }
    return counts;
}

// The repeats of a ticket are its numbers in the latest draw.
ValueCounts RepeatCounts(int n, int m, const int *latest)
{
    std::vector<bool> drawn(static_cast<std::size_t>(n) + 1, false);
    int marked = 0;
    for (int k = 0; k < m; ++k) {
        const int x = latest[k];
        if (x >= 1 && x <= n && !drawn[static_cast<std::size_t>(x)]) {
            drawn[static_cast<std::size_t>(x)] = true;
            ++marked;
        }
    }
    return MarkedCounts(n, m, marked);
}

// DispersionValue of an ascending combination: the distance of 1 to the smallest number, of N
// to the largest, and half of each gap between neighbours, rounded down.
int AscendingDispersion(const int *c, int m, int n)
{
    int widest = std::max(c[0] - 1, n - c[m - 1]);
    for (int j = 1; j < m; ++j)
        widest = std::max(widest, (c[j] - c[j - 1]) / 2);
    return widest;
}

// AcValue of a combination of 1..N (N <= 64): the distinct differences as bits.
int SmallAc(const int *c, int m)
{
    std::uint64_t seen = 0;
    for (int j = 0; j < m; ++j) {
        const int a = c[j];
        for (int k = j + 1; k < m; ++k)
            seen |= std::uint64_t(1) << (c[k] - a);
    }
    return std::popcount(seen);
}

// The enumeration of all combinations of 1..N (N <= 63, M >= 3) for the indicators that
// follow from a summary of the numbers so far: a State is extended by each number in turn and
// gives the value at the last one, so a ticket costs a few operations instead of a pass over
// its numbers. The work is split by the first two numbers over the cores.
template<class State>
class AscendingWalk {
public:
    AscendingWalk(int n, int m)
        : m_n(n)
        , m_m(m)
    { }

    std::optional<ValueCounts> count(const Progress &progress) const
    {
        std::vector<std::pair<int, int>> tasks;
        for (int a = 1; a <= m_n - m_m + 1; ++a) {
            for (int b = a + 1; b <= m_n - m_m + 2; ++b)
                tasks.emplace_back(a, b);
        }
        const qint64 total = Choose(m_n, m_m);
        std::atomic<std::size_t> next {0};
        std::atomic<qint64> done {0};
        std::atomic_bool stop {false};
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t helpers = std::min<std::size_t>(std::min(cores, 8u) - 1, tasks.size() - 1);
        std::vector<std::vector<qint64>> histograms(helpers + 1, std::vector<qint64>(State::kValues, 0));
        auto work = [&](std::size_t slot) {
            qint64 *histogram = histograms[slot].data();
            for (;;) {
                if (stop.load(std::memory_order_relaxed))
                    break;
                const std::size_t task = next.fetch_add(1);
                if (task >= tasks.size())
                    break;
                const auto [a, b] = tasks[task];
                const State first = State::start(a, m_n);
                walk(2, b + 1, first.extend(b, a, m_n), b, histogram);
                const qint64 now = done.fetch_add(Choose(m_n - b, m_m - 2)) + Choose(m_n - b, m_m - 2);
                if (progress.cancelled())
                    stop = true;
                else if (slot == 0)
                    progress.step(now, total);
            }
        };
        std::vector<std::thread> threads;
        for (std::size_t i = 1; i <= helpers; ++i)
            threads.emplace_back(work, i);
        work(0);
        for (std::thread &t : threads)
            t.join();
        if (stop.load())
            return std::nullopt;
        progress.step(total, total);
        ValueCounts counts;
        for (int v = 0; v < State::kValues; ++v) {
            qint64 sum = 0;
            for (const std::vector<qint64> &histogram : histograms)
                sum += histogram[static_cast<std::size_t>(v)];
            if (sum != 0)
                counts[v] = sum;
        }
        return counts;
    }

private:
    // Numbers `depth` .. M-1 still to choose, from `from` on; `previous` is the last chosen.
    void walk(int depth, int from, const State &state, int previous, qint64 *histogram) const
    {
        const int last = m_n - (m_m - 1 - depth);
        if (depth == m_m - 1) {
            for (int x = from; x <= last; ++x)
                ++histogram[state.value(x, previous, m_n)];
            return;
        }
        for (int x = from; x <= last; ++x)
            walk(depth + 1, x + 1, state.extend(x, previous, m_n), x, histogram);
    }

    int m_n;
    int m_m;
};

// DispersionValue of an ascending combination: the widest of the distance from 1 to the
// smallest number, half of each gap (rounded down) and the distance from the largest to N.
struct DispersionState {
    static constexpr int kValues = 64;
    int widest = 0;
    static DispersionState start(int first, int) { return {first - 1}; }
    DispersionState extend(int x, int previous, int) const { return {std::max(widest, (x - previous) / 2)}; }
    int value(int x, int previous, int n) const { return std::max({widest, (x - previous) / 2, n - x}); }
};

// AcValue: the distinct differences as bits. `reversed` holds bit 63 - p for each number p so
// far, so reversed >> (63 - x) holds the differences x - p of a new number x at once.
struct AcState {
    static constexpr int kValues = 65;
    std::uint64_t differences = 0;
    std::uint64_t reversed = 0;
    static AcState start(int first, int) { return {0, std::uint64_t(1) << (63 - first)}; }
    AcState extend(int x, int, int) const
    {
        return {differences | reversed >> (63 - x), reversed | std::uint64_t(1) << (63 - x)};
    }
    int value(int x, int, int) const { return std::popcount(differences | reversed >> (63 - x)); }
};

} // namespace

qint64 TicketSpace::ticketCount() const
{
    return TicketCount(m, n, kind);
}

TicketSpace TicketSpace::ofLottery(const OpenLottery &lottery)
{
    TicketSpace space;
    space.kind = lottery.kind;
    space.n = lottery.n;
    space.m = lottery.m;
    space.lowest = lottery.kind == LotteryKind::Digit && !lottery.variantMode ? 0 : 1;
    return space;
}

bool IsLongShareCount(Indicator indicator, const TicketSpace &space)
{
    if (space.n <= 0 || space.m <= 0 || (space.kind == LotteryKind::Lotto && space.m > space.n))
        return false;
    qint64 count = 0;
    try {
        count = space.ticketCount();
    } catch (const CapacityError &) {
        return false; // refused at once by the counting
    }
    if (space.kind == LotteryKind::Digit)
        return count > 2'000'000; // IndicatorValue on every tuple: some 30 ns a ticket
    const bool enumerated = indicator == Indicator::Dispersion || indicator == Indicator::Ac;
    return enumerated && count > 30'000'000; // the walk: some 4 ns a ticket
}

int ShownIndicatorValue(double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e9)
        return static_cast<int>(value);
    return Fixed0(value).toInt();
}

ValueCounts CountTicketValuesPlainly(Indicator indicator, const TicketSpace &space, const int *latest)
{
    CheckSpace(space);
    ValueCounts counts;
    std::vector<int> shifted(static_cast<std::size_t>(space.m));
    TicketsOf(space).forEach([&](qint64, const int *numbers) {
        for (int j = 0; j < space.m; ++j)
            shifted[static_cast<std::size_t>(j)] = numbers[j] + (space.kind == LotteryKind::Digit ? space.lowest : 0);
        ++counts[ShownIndicatorValue(IndicatorValue(indicator, shifted.data(), latest, space.m, space.n))];
    });
    return counts;
}

std::optional<ValueCounts> CountTicketValues(
    Indicator indicator, const TicketSpace &space, const int *latest, const Progress &progress)
{
    CheckSpace(space);
    const int n = space.n;
    const int m = space.m;
    if (space.kind == LotteryKind::Lotto) {
        switch (indicator) {
        case Indicator::Big: {
            // The views' rule: a number is big above N div 2.
            int big = 0;
            for (int x = 1; x <= n; ++x) {
                const int d[1] = {x};
                big += BigCount(d, 1, n, BigRule::Analysis);
            }
            return MarkedCounts(n, m, big);
        }
        case Indicator::Odd:
            return MarkedCounts(n, m, (n + 1) / 2);
        case Indicator::Sum:
            return SumCounts(n, m);
        case Indicator::Span:
            return SpanCounts(n, m);
        case Indicator::Deviation:
            if (latest)
                return DeviationCounts(n, m, latest);
            return ValueCounts {{ShownIndicatorValue(DeviationWithoutPrevious(n, m)), space.ticketCount()}};
        case Indicator::Repeat:
            if (latest)
                return RepeatCounts(n, m, latest);
            return ValueCounts {{0, space.ticketCount()}};
        case Indicator::Dispersion:
            RefuseLongEnumeration(space);
            if (m >= 3 && n <= 63)
                return AscendingWalk<DispersionState>(n, m).count(progress);
            return CountByEnumeration(
                TicketsOf(space), [n, m](const int *c) { return AscendingDispersion(c, m, n); }, progress);
        case Indicator::Ac:
            RefuseLongEnumeration(space);
            if (m >= 3 && n <= 63)
                return AscendingWalk<AcState>(n, m).count(progress);
            if (n <= 64)
                return CountByEnumeration(
                    TicketsOf(space), [m](const int *c) { return SmallAc(c, m); }, progress);
            return CountByEnumeration(
                TicketsOf(space), [m, n](const int *c) { return AcValue(c, m, n); }, progress);
        }
    }
    // Digit tuples: every indicator by its own function, the ranks of the variant trend being
    // the digits plus one.
    RefuseLongEnumeration(space);
    const int shift = space.lowest;
    return CountByEnumeration(
        TicketsOf(space),
        [indicator, latest, n, m, shift](const int *numbers) {
            int shifted[kMaxWidth];
            for (int j = 0; j < m; ++j)
                shifted[j] = numbers[j] + shift;
            return ShownIndicatorValue(IndicatorValue(indicator, shifted, latest, m, n));
        },
        progress);
}

ValueCounts CountDrawValues(const IndicatorHistory &history)
{
    ValueCounts counts;
    for (int row = 0; row < history.rowCount(); ++row)
        ++counts[history.shownValue(row)];
    return counts;
}

qint64 IndicatorShares::ticketsBetween(int lower, int upper) const
{
    qint64 total = 0;
    for (const IndicatorShare &row : rows)
        total += lower <= row.value && row.value <= upper ? row.tickets : 0;
    return total;
}

qint64 IndicatorShares::drawsBetween(int lower, int upper) const
{
    qint64 total = 0;
    for (const IndicatorShare &row : rows)
        total += lower <= row.value && row.value <= upper ? row.draws : 0;
    return total;
}

std::optional<IndicatorShares> ComputeIndicatorShares(
    const IndicatorHistory &history, const TicketSpace &space, const Progress &progress)
{
    const int draws = history.rowCount();
    const int *latest = draws > 0 ? history.numbers(draws - 1) : nullptr;
    const std::optional<ValueCounts> tickets = CountTicketValues(history.indicator(), space, latest, progress);
    if (!tickets)
        return std::nullopt;
    const ValueCounts drawn = CountDrawValues(history);

    IndicatorShares shares;
    shares.indicator = history.indicator();
    shares.drawTotal = draws;
    for (const auto &[value, count] : *tickets)
        shares.ticketTotal += count;
    std::map<int, IndicatorShare> rows;
    for (const auto &[value, count] : *tickets) {
        rows[value].value = value;
        rows[value].tickets = count;
    }
    for (const auto &[value, count] : drawn) {
        rows[value].value = value;
        rows[value].draws = count;
    }
    for (auto &[value, row] : rows) {
        row.ticketPercent = shares.ticketTotal > 0 ? 100.0 * row.tickets / shares.ticketTotal : 0;
        row.drawPercent = draws > 0 ? 100.0 * row.draws / draws : 0;
        shares.rows.push_back(row);
    }
    return shares;
}

QString SharePercentText(double percent)
{
    return QString::asprintf("%.2f%%", percent);
}

QString FilterRefusal(Indicator indicator, LotteryKind kind, int n, int m, bool variant)
{
    if (kind != LotteryKind::Lotto || m < 3 || m > 7 || n < m)
        return QStringLiteral("总体过滤只适用于选择3到7个号码的乐透型彩票。");
    if (indicator == Indicator::Big)
        return QStringLiteral("本分析把大于%1的号码算作大数，总体过滤把大于等于%1的号码算作大数，"
                              "两者的大数个数含义不同，无法送到总体过滤。")
            .arg(n / 2);
    if (indicator == Indicator::Repeat && variant)
        return QStringLiteral("变幻走势下，本分析的重码以上一期的变幻号码计算，总体过滤的重码以最近一期的开奖号码计算，"
                              "两者含义不同，无法送到总体过滤。");
    if (indicator == Indicator::Deviation && variant)
        return QStringLiteral("变幻走势下，本分析的偏度以上一期的变幻号码计算，总体过滤的偏度以最近一期的开奖号码计算，"
                              "两者含义不同，无法送到总体过滤。");
    return {};
}

std::pair<int, int> FilterListRange(Indicator indicator, int n, int m)
{
    if (indicator == Indicator::Big || indicator == Indicator::Odd || indicator == Indicator::Repeat)
        return {0, m};
    const TheoreticalValues t = TheoreticalValuesOf(indicator, n, m, 0, 0);
    return {static_cast<int>(t.minimum), static_cast<int>(t.maximum)};
}

FilterRangePlan PlanFilterRange(Indicator indicator, LotteryKind kind, int n, int m, bool variant, int lower, int upper)
{
    FilterRangePlan plan;
    plan.refusal = FilterRefusal(indicator, kind, n, m, variant);
    if (!plan.refusal.isEmpty())
        return plan;
    if (upper < lower)
        std::swap(lower, upper);
    const auto [first, last] = FilterListRange(indicator, n, m);
    if (upper < first || lower > last) {
        plan.refusal = QStringLiteral("所选范围%1到%2不在总体过滤可选的数值%3到%4之内，无法送到总体过滤。")
                           .arg(lower)
                           .arg(upper)
                           .arg(first)
                           .arg(last);
        return plan;
    }
    plan.lower = std::max(lower, first);
    plan.upper = std::min(upper, last);
    plan.clamped = plan.lower != lower || plan.upper != upper;
    return plan;
}

} // namespace lumaro
