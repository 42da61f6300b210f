#pragma once

#include "analysis/indicators.h"
#include "common/progress.h"
#include "data/lottery_definition.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

// What each value of an indicator is worth: how many of all possible tickets have it, beside
// how many of the stored draws had it.
namespace lumaro {

class IndicatorHistory;
class OpenLottery;

// The tickets the values of an analysis view range over: every lotto combination of 1..N, or
// every digit tuple of 0..N-1 (1..N for the ranks of the variant trend of a digit lottery).
struct TicketSpace {
    LotteryKind kind = LotteryKind::Lotto;
    int n = 0;
    int m = 0;
    // The smallest number: 0 for the digits of the standard trend, 1 otherwise.
    int lowest = 1;

    // C(N, M) or N^M; a CapacityError when it does not fit.
    qint64 ticketCount() const;
    // The space of the table the views compute on (the variant table in the variant trend).
    static TicketSpace ofLottery(const OpenLottery &lottery);
};

// Value -> count, ascending.
using ValueCounts = std::map<int, qint64>;

// The whole number a view shows for an indicator value ("%.0f" read back).
int ShownIndicatorValue(double value);

// The most tickets the counting enumerates one by one (indicators without a closed form);
// more is refused with an InputError rather than freezing the program for seconds.
inline constexpr qint64 kMaxEnumeratedTickets = 60'000'000;

// True when counting the tickets of the indicator takes long enough (a tenth of a second and
// more on two cores) that a window runs it on a worker with progress and stop.
bool IsLongShareCount(Indicator indicator, const TicketSpace &space);

// The exact count of all tickets of the space having each value, each ticket judged against
// `latest` (the latest stored draw, M numbers; nullptr without one) as the views judge a draw
// against the draw before it. Big and odd counts, repeats, sums, spans and deviations come
// from closed forms; dispersion, AC values and digit tuples are enumerated over the cores.
// nullopt when cancelled.
std::optional<ValueCounts> CountTicketValues(
    Indicator indicator, const TicketSpace &space, const int *latest, const Progress &progress = {});
// The same by calling IndicatorValue on every ticket in turn, on one core.
ValueCounts CountTicketValuesPlainly(Indicator indicator, const TicketSpace &space, const int *latest);
// The stored draws of a history by the value the view shows.
ValueCounts CountDrawValues(const IndicatorHistory &history);

struct IndicatorShare {
    int value = 0;
    qint64 tickets = 0;
    qint64 draws = 0;
    double ticketPercent = 0;
    double drawPercent = 0;
};

struct IndicatorShares {
    Indicator indicator = Indicator::Sum;
    qint64 ticketTotal = 0;
    qint64 drawTotal = 0;
    // Every value some ticket or some draw has, ascending.
    std::vector<IndicatorShare> rows;

    // The tickets and draws with a value in [lower, upper].
    qint64 ticketsBetween(int lower, int upper) const;
    qint64 drawsBetween(int lower, int upper) const;
};

// The shares of the indicator of the history: all tickets of the space judged against the
// history's latest row, beside the history's rows. nullopt when cancelled.
std::optional<IndicatorShares> ComputeIndicatorShares(
    const IndicatorHistory &history, const TicketSpace &space, const Progress &progress = {});

// "12.34%": a share in percent with two decimals.
QString SharePercentText(double percent);

// What the total filter can take of a range of values chosen in a view.
struct FilterRangePlan {
    // Empty when the range can be sent; otherwise why not, in Chinese.
    QString refusal;
    int lower = 0;
    int upper = 0;
    // The range was narrowed to the values the filter's lists offer.
    bool clamped = false;
};

// Why the total filter cannot take a range of this indicator of this lottery at all (empty
// when it can): the big count of the views (d > N div 2) is not the filter's (d >= N div 2),
// the filter serves lotto lotteries of 3 to 7 numbers only, and in the variant trend it judges
// the deviation and the repeats of a ticket's variant values against the latest draw as
// drawn, not against the variant draw the view uses.
QString FilterRefusal(Indicator indicator, LotteryKind kind, int n, int m, bool variant);
// The values the filter's lists offer for the indicator.
std::pair<int, int> FilterListRange(Indicator indicator, int n, int m);
// The range to send for [lower, upper] chosen in a view (either order), clamped to the lists.
FilterRangePlan PlanFilterRange(
    Indicator indicator, LotteryKind kind, int n, int m, bool variant, int lower, int upper);

} // namespace lumaro
