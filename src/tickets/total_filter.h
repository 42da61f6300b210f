#pragma once

#include "common/progress.h"
#include "data/ticket_set.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <exception>
#include <optional>
#include <vector>

// The total filter (总体号码缩水过滤): all C(N, M) tickets of a lotto lottery cut down by ranges
// of indicators, chosen balls and banker numbers, in successive narrowing runs over one table.
namespace lumaro {

class OpenLottery;

// Both ends inclusive.
struct FilterBounds {
    int lower = 0;
    int upper = 0;
    bool contains(int value) const { return lower <= value && value <= upper; }
};

// The conditions of TotalFilterConditions, in the window's order (bit positions of the history
// check's failure masks).
enum class FilterCondition { Big, Odd, Sum, Span, Dispersion, Deviation, Ac, Chooser, Banker };
constexpr int kFilterConditionCount = 9;

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

    bool anyActive() const;
    // The bounds of a condition (empty when it is not active).
    const std::optional<FilterBounds> &bounds(FilterCondition condition) const;
    int chosenBallCount(int n) const;
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
} // namespace filter_text

// The banker numbers typed as text: tokens end at a blank; blanks and commas in front of a
// token are skipped ("，1 ,2" style input). A token that is not a whole number raises the
// invalid-integer ConversionError ("1,2" is one token and is refused).
std::vector<int> ParseBankerTokens(const QString &text);

// "a-b" (or a single "a" for a-a) as used on the command line; a part that is not a whole
// number raises the invalid-integer ConversionError.
FilterBounds ParseBoundsText(const QString &text);

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
    std::vector<int> variantValue; // index 1..N; empty in the standard trend

    static FilterInputs fromLottery(const OpenLottery &lottery);
};

// Marks every alive row of the table that fails an active condition rejected and returns the
// alive count after it. Rows are split over the cores. On a cancel the states of the table are
// left partly marked and nullopt comes back; the caller throws such a table away.
std::optional<qint64> ApplyConditions(
    TicketSet &tickets, const FilterInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress);

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
        bool enumerated = false;
        // Filled by execute().
        qint64 survivors = 0;
        bool cancelled = false;
        std::exception_ptr error;
    };

    explicit TotalFilter(OpenLottery &lottery);

    State state() const { return m_state; }
    bool enumerationPending() const { return m_state == State::Pending; }
    OpenLottery &lottery() { return m_lottery; }

    // Sets TransformReferencePeriod to the draw count and copies the table the run starts
    // from (every ticket when Pending). Throws an InputError for a lottery the filter does not
    // serve and a CapacityError for one with too many tickets.
    Job prepare(const TotalFilterConditions &conditions, const QString &resultListPath);
    // Tests the tickets and, when some survive, writes the result list ("temp.txt") afresh.
    // Never throws: failures land in job.error.
    static void execute(Job &job, const Progress &progress = {});
    // Takes over the tested table and moves to the next state. A cancelled or failed run
    // changes nothing (and rethrows the failure).
    void finish(Job &job);
    // prepare, execute, finish. Returns the survivors (0: none, the no-ticket case).
    qint64 run(const TotalFilterConditions &conditions, const QString &resultListPath, const Progress &progress = {});

    // 清空: the next run enumerates again.
    void reset() { m_state = State::Pending; }

    struct LoadResult {
        QByteArray content; // the whole file, as the result list shows it
        qint64 lines = 0; // its lines as a memo counts them
        qint64 tickets = 0; // tickets stored (consecutive repeats collapsed)
        std::array<bool, 51> balls {};
    };
    // Replaces the table by the tickets of a ticket file (reading stops at the first blank
    // line; consecutive repeats collapse). A file with too many tickets or a bad slot is
    // refused and nothing changes.
    LoadResult load(const QString &path);

private:
    OpenLottery &m_lottery;
    State m_state = State::Pending;
};

} // namespace lumaro
