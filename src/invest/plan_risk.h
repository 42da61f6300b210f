#pragma once

#include "data/lottery_definition.h"
#include "invest/investment_plan.h"

#include <QString>
#include <QtGlobal>

#include <vector>

// What a money plan risks: the money spent if no win comes, the chance of that, and what the
// plan is worth on average when each period wins with a known chance.
namespace lumaro {

// The figures of one period of a plan that the risk is made from.
struct PlanPeriodMoney {
    qint64 stake = 0; // 当期投注: spent in this period
    qint64 input = 0; // 当期总投入: spent up to and with this period, the prior loss included
    qint64 prize = 0; // 当期中奖: paid when the win falls in this period
    qint64 net = 0; // 当期净利润: prize − input
    double chance = 0; // the chance that this period wins
};

struct PlanRisk {
    // 最大投入: 当期总投入 of the last period, all that is gone when no period wins.
    qint64 capitalAtRisk = 0;
    // 全程不中的概率: the product of (1 − p_t) over every period.
    double noWinChance = 1;
    // 每期期望收益 of period t: p_t × 当期中奖 − 当期投注.
    std::vector<double> periodExpectation;
    double lowestPeriodExpectation = 0;
    double highestPeriodExpectation = 0;
    // 全程期望收益: the plan stops at its first win, so with S_t = (1 − p_1) … (1 − p_t), S_0 = 1,
    //     E = Σ_t S_(t−1) × p_t × 当期净利润_t − S_T × 当期总投入_T.
    // Both the net profits and the final input count the prior loss, as the grid does.
    double expectedResult = 0;
};

// The figures behind the risk of a fixed or staged plan, each period winning with the chance p.
std::vector<PlanPeriodMoney> PlanMoney(const std::vector<PlanRow> &rows, double chance);
// Of a variable plan: a period with t tickets wins with the chance t × ticketChance (at most 1).
std::vector<PlanPeriodMoney> PlanMoney(const std::vector<VariablePlanRow> &rows, double ticketChance);

// The risk of the periods in order; an empty plan risks nothing and wins nothing.
PlanRisk PlanRiskOf(const std::vector<PlanPeriodMoney> &periods);

// The count of equally likely top-prize outcomes of a lottery: 10^M for a digit game's direct
// play, C(N, M) for a lotto.
qint64 PlanOutcomes(LotteryKind kind, int n, int m);
// The outcomes the plans assume when no lottery is named: a three-digit direct play.
constexpr qint64 kDefaultPlanOutcomes = 1000;
// One ticket costs 2 money units, so 单倍投入 buys 单倍投入 ÷ 2 tickets per multiple.
constexpr qint64 kTicketPrice = 2;
// tickets ÷ outcomes, at most 1; 0 for no tickets.
double TicketsChance(qint64 tickets, qint64 outcomes);

// Reads a chance typed as a fraction ("0.008") or as a percentage ("0.8%"); an InputError for
// anything else or for a chance outside 0 … 1. The name is the box's, for the message.
double ParseChance(const QString &text, const QString &name);
// A chance for a box: up to 6 significant digits, no exponent ("0.008").
QString ChanceText(double chance);
// A chance as a percentage with one decimal ("52.6%").
QString PercentText(double chance);
// A money expectation with two decimals ("-8.00").
QString ExpectationText(double value);
// "a ~ b", or one figure when both are the same.
QString ExpectationRangeText(const PlanRisk &risk);

// The captions of the chance box: the fixed and staged plans take a chance per period, the
// variable plan a chance per ticket (its periods have their own ticket counts).
QString PeriodChanceCaption();
QString TicketChanceCaption();

// The risk as the windows and the command line show it, caption and value:
// 最大投入, 全程不中的概率, 每期期望收益 (lowest ~ highest), 全程期望收益.
struct PlanRiskFigure {
    QString caption;
    QString value;
};
std::vector<PlanRiskFigure> PlanRiskFigures(const PlanRisk &risk);

} // namespace lumaro
