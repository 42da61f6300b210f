#include "invest/investment_plan.h"

#include "common/errors.h"
#include "invest/money.h"

namespace lumaro {

QStringList PlanHeaders()
{
    return {QStringLiteral("投注期号"), QStringLiteral("投注倍数"), QStringLiteral("当期投注"),
        QStringLiteral("当期总投入"), QStringLiteral("当期中奖"), QStringLiteral("当期净利润"),
        QStringLiteral("当期利润率(%)")};
}

QStringList VariablePlanHeaders()
{
    return {QStringLiteral("投注期号"), QStringLiteral("投注倍数"), QStringLiteral("当期注数"),
        QStringLiteral("当期投注"), QStringLiteral("当期总投入"), QStringLiteral("当期中奖"),
        QStringLiteral("当期净利润"), QStringLiteral("当期利润率(%)")};
}

void CheckPlanPeriods(qint64 periods)
{
    if (periods <= 0 || periods > kMaxPlanPeriods)
        throw InputError(QStringLiteral("投注期数必须在1到%1之间！").arg(kMaxPlanPeriods));
}

PlanRow PlanRowFor(qint64 period, qint64 multiple, qint64 unitStake, qint64 unitPrize, qint64 previousInput)
{
    const qint64 stake = NarrowMoney(WideMoney(multiple) * unitStake);
    const qint64 input = NarrowMoney(WideMoney(previousInput) + stake);
    const qint64 prize = NarrowMoney(WideMoney(multiple) * unitPrize);
    const qint64 net = NarrowMoney(WideMoney(prize) - input);
    return {period, multiple, stake, input, prize, net, ProfitRate(net, input)};
}

qint64 StageLength(qint64 periods, qint64 stages)
{
    if (stages <= 0)
        throw InputError(QStringLiteral("阶段次数必须大于0！"));
    return periods / stages + (periods % stages != 0 ? 1 : 0);
}

namespace {

// The multiples with which the j-th period of a stage (1-based) reaches the profit, the stage
// starting after the cumulative input c0: m × 单注奖金 − (c0 + j × m × 单倍投入) ≥ 预期利润.
MultipleRange StagePeriodMultiples(const PlanSettings &s, qint64 c0, qint64 j)
{
    const WideMoney coefficient = WideMoney(s.unitPrize) - WideMoney(j) * s.unitStake;
    return MultiplesReaching(coefficient, WideMoney(s.profit) + c0, kMaxPlanMultiple);
}

// Stages of the given length; the fixed plan is the staged plan with stages of one period.
PlanResult PlanByStages(const PlanSettings &s, qint64 length)
{
    CheckPlanPeriods(s.periods);
    PlanResult result;
    result.rows.reserve(static_cast<std::size_t>(s.periods));
    qint64 cumulative = s.priorLoss;
    for (qint64 first = 1; first <= s.periods; first += length) {
        const qint64 last = std::min(first + length - 1, s.periods);
        // The net profit of a period is linear in its place in the stage, so a multiple that
        // passes the first and the last period passes every period between them.
        const MultipleRange range
            = StagePeriodMultiples(s, cumulative, 1).intersected(StagePeriodMultiples(s, cumulative, last - first + 1));
        if (range.isEmpty())
            return {};
        for (qint64 p = first; p <= last; ++p) {
            result.rows.push_back(PlanRowFor(p, range.lo, s.unitStake, s.unitPrize, cumulative));
            cumulative = result.rows.back()[PlanInput];
        }
    }
    // The average the plan is announced with must be a figure too.
    PlanAverage(result.rows, PlanNet, s.periods);
    result.ok = true;
    return result;
}

} // namespace

PlanResult FixedPlan(const PlanSettings &settings)
{
    return PlanByStages(settings, 1);
}

PlanResult StagedPlan(const PlanSettings &settings, qint64 stages)
{
    CheckPlanPeriods(settings.periods);
    return PlanByStages(settings, StageLength(settings.periods, stages));
}

VariablePlan::AddOutcome VariablePlan::add(const PlanSettings &s, int tickets)
{
    const qint64 n = periodCount();
    if (n >= s.periods)
        return AddOutcome::Full;
    const qint64 previous = n == 0 ? s.priorLoss : m_rows.back()[VariableInput];
    const qint64 unit = NarrowMoney(WideMoney(2) * tickets);
    const std::optional<qint64> m
        = FirstMultiple(WideMoney(s.unitPrize) - unit, WideMoney(s.profit) + previous, kMaxPlanMultiple);
    if (!m)
        return AddOutcome::MultipleTooLarge;
    const PlanRow row = PlanRowFor(n + 1, *m, unit, s.unitPrize, previous);
    // The sum the average is made from must be a figure too.
    const WideMoney netSum = m_netSum + row[PlanNet];
    NarrowMoney(netSum);
    m_rows.push_back({row[PlanPeriod], row[PlanMultiple], tickets, row[PlanStake], row[PlanInput], row[PlanPrize],
        row[PlanNet], row[PlanRate]});
    m_netSum = netSum;
    return AddOutcome::Added;
}

void VariablePlan::clear()
{
    m_rows.clear();
    m_netSum = 0;
}

void VariablePlan::setRows(std::vector<VariablePlanRow> rows)
{
    m_rows = std::move(rows);
    m_netSum = 0;
    for (const VariablePlanRow &row : m_rows)
        m_netSum += row[VariableNet];
}

} // namespace lumaro
