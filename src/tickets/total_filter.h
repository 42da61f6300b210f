#pragma once

#include "common/progress.h"
#include "data/ticket_set.h"
#include "tickets/ticket_file.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

// The total filter (总体号码缩水过滤): all C(N, M) tickets of a lotto lottery cut down by ranges
// of indicators, chosen balls and banker numbers, in successive narrowing runs over one table.
namespace lumaro {

class OpenLottery;

// A set of allowed values: the range lower-upper and any further ranges (和值 98-110,120-126),
// all ends inclusive.
struct FilterBounds {
    int lower = 0;
    int upper = 0;
    std::vector<std::pair<int, int>> more;

    FilterBounds() = default;
    FilterBounds(int lo, int hi, std::vector<std::pair<int, int>> further = {})
        : lower(lo)
        , upper(hi)
        , more(std::move(further))
    { }

    bool contains(int value) const
    {
        if (lower <= value && value <= upper)
            return true;
        for (const auto &[a, b] : more) {
            if (a <= value && value <= b)
                return true;
        }
        return false;
    }
    // Every range has its lower end at most its upper end.
    bool ordered() const;
    // "98-110,120-126" ("5" for a single value).
    QString text() const;

    friend bool operator==(const FilterBounds &a, const FilterBounds &b)
    {
        return a.lower == b.lower && a.upper == b.upper && a.more == b.more;
    }
    friend bool operator!=(const FilterBounds &a, const FilterBounds &b) { return !(a == b); }
};

// The kinds of conditions of TotalFilterConditions, in the order the checks list them. The
// first nine are the ones the window sets.
enum class FilterCondition {
    Big,
    Odd,
    Sum,
    Span,
    Dispersion,
    Deviation,
    Ac,
    Chooser,
    Banker,
    Repeat, // 重码: numbers of the latest draw
    RepeatRecent, // 近P期重码: numbers of any of the last P draws
    Consecutive, // 连号个数: pairs of neighbouring numbers
    LongestRun, // 最长连号
    TailCount, // 尾数个数: distinct last digits
    TailSum, // 尾数和
    Road0, // 0路个数 (n mod 3 = 0)
    Road1,
    Road2,
    Primes, // 质数个数
    Zone, // 第k区个数 (index: the zone, 0-based)
    BankerGroup, // 胆码组k (index: the group, 0-based)
};
// The conditions the window sets.
constexpr int kFilterConditionCount = 9;
// Scalar kinds (all but Zone and BankerGroup, which come in numbers).
constexpr int kScalarConditionCount = static_cast<int>(FilterCondition::Zone);

// One active condition: its kind and, for a zone or a banker group, which one.
struct ConditionRef {
    FilterCondition kind = FilterCondition::Big;
    int index = 0;
    ConditionRef() = default;
    ConditionRef(FilterCondition k, int i = 0)
        : kind(k)
        , index(i)
    { }
    friend bool operator==(const ConditionRef &a, const ConditionRef &b)
    {
        return a.kind == b.kind && a.index == b.index;
    }
    friend bool operator!=(const ConditionRef &a, const ConditionRef &b) { return !(a == b); }
};

// A group of banker numbers with the count of them a ticket holds.
struct BankerGroup {
    std::vector<int> numbers;
    FilterBounds hits;
};

// The limits of the conditions that come in numbers.
constexpr int kMaxRepeatPeriods = 100;
constexpr int kMinFilterZones = 2;
constexpr int kMaxFilterZones = 12;
constexpr int kMaxBankerGroups = 16;

// The conditions of one run; an empty optional is a condition that is not active.
struct TotalFilterConditions {
    std::optional<FilterBounds> big; // 大数 (n >= N div 2)
    std::optional<FilterBounds> odd; // 奇数
    std::optional<FilterBounds> sum; // 和值
    std::optional<FilterBounds> span; // 跨度
    std::optional<FilterBounds> dispersion; // 散度
    std::optional<FilterBounds> deviation; // 偏度, against the latest draw
    std::optional<FilterBounds> ac; // AC值
    // 选择球号: how many of the ticket's stored numbers are chosen balls (1..50).
    std::optional<FilterBounds> chooser;
    std::array<bool, 51> balls {};
    // 胆码: how many positions hold one of the banker numbers.
    std::optional<FilterBounds> banker;
    std::vector<int> bankers;
    // The indicators below read the numbers (in the variant trend their variant values) on
    // their own; the repeats compare them with the draws as drawn, as the 偏度 does.
    std::optional<FilterBounds> repeat; // 重码 of the latest draw
    std::optional<FilterBounds> repeatRecent; // 近P期重码: in any of the last repeatPeriods draws
    int repeatPeriods = 2;
    std::optional<FilterBounds> consecutive; // 连号个数 (on the sorted numbers)
    std::optional<FilterBounds> longestRun; // 最长连号 (a lone number is a run of 1)
    std::optional<FilterBounds> tailCount; // 尾数个数 (distinct n mod 10)
    std::optional<FilterBounds> tailSum; // 尾数和
    std::optional<FilterBounds> road0; // 0路个数
    std::optional<FilterBounds> road1; // 1路个数
    std::optional<FilterBounds> road2; // 2路个数
    std::optional<FilterBounds> primes; // 质数个数 (1 is not prime)
    // 分区: zoneCount zones of ZoneWidth(N, zoneCount) numbers; zones[k] the count of zone k+1
    // (entries beyond zones.size() or empty ones are not active).
    int zoneCount = 0;
    std::vector<std::optional<FilterBounds>> zones;
    // Further banker groups, each its own condition.
    std::vector<BankerGroup> bankerGroups;
    // 容错: a ticket survives a run when at most this many active conditions fail.
    int tolerance = 0;

    bool anyActive() const;
    // The active conditions in order: the nine, the scalar new ones, the zones, the groups.
    std::vector<ConditionRef> active() const;
    // The bounds of a scalar condition (empty when it is not active).
    const std::optional<FilterBounds> &bounds(FilterCondition condition) const;
    // The bounds of any active condition.
    const FilterBounds &boundsOf(ConditionRef condition) const;
    int chosenBallCount(int n) const;

    // Two sets that filter alike: the same bounds everywhere, and the values a bound reads only
    // where it is active (the balls with 选择球号, the bankers with 胆码, the periods with 近期重码);
    // bankers and group numbers compare as sets, zones beyond the stored ones are not active.
    friend bool operator==(const TotalFilterConditions &a, const TotalFilterConditions &b);
    friend bool operator!=(const TotalFilterConditions &a, const TotalFilterConditions &b) { return !(a == b); }
};

// The texts of the total filter's messages.
namespace filter_text {
inline QString NoCondition()
{
    return QStringLiteral("请选择过滤条件！");
}
inline QString EmptyList()
{
    return QStringLiteral("请选择组合框中的数值！");
}
inline QString BankerMissing()
{
    return QStringLiteral("请输入胆码以及最少中奖个数和最多中奖个数！");
}
inline QString ListOrder()
{
    return QStringLiteral("请前面组合框中的数值应该小于等于后面组合框中的数值！");
}
inline QString BankerOrder()
{
    return QStringLiteral("胆码前面的中奖个数应该小于等于后面的中奖个数！");
}
inline QString NoBall()
{
    return QStringLiteral("请点击你要选择的球号！");
}
inline QString TooFewBalls(int m)
{
    return QStringLiteral("请至少选择%1个球号！").arg(m);
}
inline QString NoSurvivor()
{
    return QStringLiteral("没有符合条件的投注号码，请重新选择过滤条件！");
}
inline QString ResultCount(qint64 count)
{
    return QStringLiteral("过滤结果：%1注").arg(count);
}
// "过滤结果：N注（前区S注 × 后区B注）" for the front survivors combined with every back set.
inline QString TwoZoneResultCount(qint64 front, qint64 backSets)
{
    return ResultCount(front * backSets) + QStringLiteral("（前区%1注 × 后区%2注）").arg(front).arg(backSets);
}
// The result list holds only the first kMaxListedTickets tickets.
inline QString ListCut(qint64 listed)
{
    return QStringLiteral("结果列表只列出前%1注，保存时保存全部").arg(listed);
}
// "其中不满足0个条件的A注，1个条件的B注" from the survivors by their count of failures.
QString ToleranceCounts(const std::vector<qint64> &byFailures);
} // namespace filter_text

// The banker numbers typed as text: tokens end at a blank; blanks and commas in front of a
// token are skipped ("，1 ,2" style input). A token that is not a whole number raises the
// invalid-integer ConversionError ("1,2" is one token and is refused).
std::vector<int> ParseBankerTokens(const QString &text);

// "a-b" (or a single "a" for a-a), or several of them split by commas ("98-110,120-126"), as
// used on the command line; a part that is not a whole number raises the invalid-integer
// ConversionError.
FilterBounds ParseBoundsText(const QString &text);

// "2:3:2": whole numbers split by colons (the 012路 and zone patterns); a part that is not a
// whole number raises the invalid-integer ConversionError.
std::vector<int> ParsePatternText(const QString &text);

// The back zone of a two-zone lottery in the total filter: the chosen back numbers (后区号码)
// of 1..l, each ticket taking k of them. The front conditions never read it: every surviving
// front set is combined with every k-subset of the chosen numbers.
struct BackChoice {
    int l = 0;
    int k = 0; // 0: a lottery without a back zone
    std::vector<int> numbers {}; // ascending, distinct

    bool twoZone() const { return k > 0; }
    // Every number of 1..l (the default of a two-zone lottery).
    static BackChoice all(int l, int k);
    // C(chosen, k): the back sets each front set is combined with.
    qint64 setCount() const;
    // The k-subsets in ascending (lexicographic) order, one after the other.
    std::vector<int> sets() const;
    // Whether the k ascending numbers at back are one of the sets.
    bool holds(const int *back) const;
    friend bool operator==(const BackChoice &a, const BackChoice &b)
    {
        return a.l == b.l && a.k == b.k && a.numbers == b.numbers;
    }
};

// The back numbers typed as text ("01 05 12", blanks or commas between them) for a back zone
// of 1..l with k numbers a ticket: refused with an InputError (a number outside 1..l, one named
// twice, fewer than k numbers); a token that is not a whole number raises the invalid-integer
// ConversionError.
BackChoice ParseBackChoice(const QString &text, int l, int k);
// Why a choice cannot serve (fewer than k numbers, one outside 1..l or named twice), or an
// empty text.
QString CheckBackChoice(const BackChoice &choice);

// The most lines a result list ("temp.txt") holds: its serials have seven digits. A two-zone
// result beyond it is listed up to there; saving writes every ticket.
constexpr qint64 kMaxListedTickets = 9'999'999;

// Checks on the values of the conditions (the command line's form of the window's checks):
// the message of the first that fails, or an empty text.
QString CheckConditions(const TotalFilterConditions &conditions, int n, int m);

// Why the total filter cannot serve this lottery, or an empty text: it enumerates lotto
// combinations of 3 to 7 numbers.
QString TotalFilterUnsupportedReason(const OpenLottery &lottery);

// The name a save dialog proposes: the lottery's name, the latest period + 1 (1 without a
// draw) and "期总体过滤投注号码.txt".
QString ProposedSaveName(const OpenLottery &lottery);

// What the tests of a run read besides the conditions, copied from the open lottery so a run
// on a worker never touches the lottery: N and M, the latest draw as drawn, and in the variant
// trend the variant value of every number.
struct FilterInputs {
    int n = 0;
    int m = 0;
    std::vector<int> latestDraw; // empty without a draw
    // The last draws as drawn, oldest first, at most kMaxRepeatPeriods, the latest last (the
    // repeats read them; when empty the latest draw alone serves).
    std::vector<int> recentDraws;
    std::vector<int> variantValue; // index 1..N; empty in the standard trend
    // The back zone of a two-zone lottery (0 otherwise): rows of m + backM numbers (a loaded
    // two-zone file) are judged on their first m.
    int backN = 0;
    int backM = 0;

    static FilterInputs fromLottery(const OpenLottery &lottery);
};

// Marks every alive row of the table that fails more active conditions than the tolerance
// rejected and returns the alive count after it; byFailures (when given) receives the
// survivors by their count of failed conditions (tolerance + 1 entries). Rows are split over
// the cores. On a cancel the states of the table are left partly marked and nullopt comes
// back; the caller throws such a table away.
std::optional<qint64> ApplyConditions(TicketSet &tickets, const FilterInputs &inputs,
    const TotalFilterConditions &conditions, const Progress &progress, std::vector<qint64> *byFailures = nullptr);

// The engine state of one total filter window: which table the next run starts from, and the
// runs, saves and loads.
class TotalFilter {
public:
    enum class State {
        Pending, // the next run enumerates every ticket afresh
        Narrowed, // the next run tests the survivors of the earlier runs
        Loaded, // the next run tests the tickets of a loaded file
        Exhausted, // every ticket is rejected; runs find nothing until a reset or a load
    };

    // A loaded file holds at most this many tickets.
    static constexpr qint64 kMaxLoadedTickets = 1'200'000;

    // One run, prepared on the thread that owns the lottery, executed anywhere, then finished
    // on the owning thread again. The job owns its copy of the table.
    struct Job {
        TicketSet tickets;
        FilterInputs inputs;
        TotalFilterConditions conditions;
        QString resultListPath;
        // The most lines of a two-zone result list.
        qint64 listLimit = kMaxListedTickets;
        // The back choice of a two-zone lottery (k 0 otherwise). A table of front sets is
        // combined with its sets; a loaded table (rows of front and back numbers) keeps the
        // rows whose back numbers are one of them.
        BackChoice back;
        bool enumerated = false;
        // Filled by execute().
        qint64 survivors = 0;
        // The survivors by their count of failed conditions, 0 … tolerance.
        std::vector<qint64> byFailures;
        // Two-zone: the tickets of the result (survivors × back sets, or the surviving loaded
        // rows) and those listed in the result list (at most kMaxListedTickets).
        qint64 ticketCount = 0;
        qint64 listed = 0;
        bool cancelled = false;
        std::exception_ptr error;
    };

    explicit TotalFilter(OpenLottery &lottery);

    State state() const { return m_state; }
    bool enumerationPending() const { return m_state == State::Pending; }
    OpenLottery &lottery() { return m_lottery; }
    const OpenLottery &lottery() const { return m_lottery; }

    // Sets TransformReferencePeriod to the draw count and copies the table the run starts
    // from (every ticket when Pending). Throws an InputError for a lottery the filter does not
    // serve and a CapacityError for one with too many tickets.
    // A two-zone lottery takes the back choice (all back numbers when it is not given); it is
    // refused with CheckBackChoice's message.
    Job prepare(const TotalFilterConditions &conditions, const QString &resultListPath,
        const std::optional<BackChoice> &back = std::nullopt);
    // Tests the tickets and, when some survive, writes the result list ("temp.txt") afresh.
    // Never throws: failures land in job.error.
    static void execute(Job &job, const Progress &progress = {});
    // Takes over the tested table and moves to the next state. A cancelled or failed run
    // changes nothing (and rethrows the failure).
    void finish(Job &job);
    // prepare, execute, finish. Returns the survivors (0: none, the no-ticket case).
    qint64 run(const TotalFilterConditions &conditions, const QString &resultListPath, const Progress &progress = {},
        const std::optional<BackChoice> &back = std::nullopt);
    // The most lines a two-zone run lists (kMaxListedTickets; smaller in tests).
    void setListLimit(qint64 limit) { m_listLimit = limit; }
    // The back choice of the last run that finished (k 0 for a one-zone lottery).
    const BackChoice &back() const { return m_back; }
    // How the table of the state becomes two-zone tickets (the last run's back sets combined
    // with front sets, or the rows' own back numbers after a load).
    TwoZoneRows twoZoneRows() const;
    // Every ticket of the result written as a two-zone ticket file; returns the tickets.
    qint64 writeTwoZoneTickets(const QString &path, const Progress &progress = {}) const;

    // 清空: the next run enumerates again.
    void reset() { m_state = State::Pending; }

    struct LoadResult {
        QByteArray content; // the whole file, as the result list shows it
        qint64 lines = 0; // its lines as a memo counts them
        qint64 tickets = 0; // tickets stored (consecutive repeats collapsed)
        // A two-zone lottery reads two-zone lines: a line of another shape refuses the file
        // with the reader's message naming the line, as a one-zone line does; balls marks
        // the front numbers.
        std::array<bool, 51> balls {};
    };
    // Replaces the table by the tickets of a ticket file (reading stops at the first blank
    // line; consecutive repeats collapse). A file with too many tickets or a bad slot is
    // refused and nothing changes.
    LoadResult load(const QString &path);

private:
    OpenLottery &m_lottery;
    State m_state = State::Pending;
    BackChoice m_back;
    qint64 m_listLimit = kMaxListedTickets;
};

} // namespace lumaro
