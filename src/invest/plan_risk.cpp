#include "invest/plan_risk.h"

#include "common/errors.h"
#include "data/combination.h"

#include <algorithm>
#include <cmath>

namespace lumaro {

std::vector<PlanPeriodMoney> PlanMoney(const std::vector<PlanRow> &rows, double chance)
{
    std::vector<PlanPeriodMoney> periods;
    periods.reserve(rows.size());
    for (const PlanRow &row : rows)
        periods.push_back({row[PlanStake], row[PlanInput], row[PlanPrize], row[PlanNet], chance});
    return periods;
}

std::vector<PlanPeriodMoney> PlanMoney(const std::vector<VariablePlanRow> &rows, double ticketChance)
{
    std::vector<PlanPeriodMoney> periods;
    periods.reserve(rows.size());
    for (const VariablePlanRow &row : rows) {
        const double chance = std::clamp(static_cast<double>(row[VariableTickets]) * ticketChance, 0.0, 1.0);
        periods.push_back({row[VariableStake], row[VariableInput], row[VariablePrize], row[VariableNet], chance});
    }
    return periods;
}

PlanRisk PlanRiskOf(const std::vector<PlanPeriodMoney> &periods)
{
    PlanRisk risk;
    if (periods.empty())
        return risk;
    risk.capitalAtRisk = periods.back().input;
    risk.periodExpectation.reserve(periods.size());
    // survival: the chance that no period before this one has won.
    double survival = 1;
    for (const PlanPeriodMoney &period : periods) {
        const double p = period.chance;
        risk.periodExpectation.push_back(p * static_cast<double>(period.prize) - static_cast<double>(period.stake));
        risk.expectedResult += survival * p * static_cast<double>(period.net);
        survival *= 1 - p;
    }
    risk.noWinChance = survival;
    risk.expectedResult -= survival * static_cast<double>(risk.capitalAtRisk);
    const auto [lowest, highest] = std::minmax_element(risk.periodExpectation.begin(), risk.periodExpectation.end());
    risk.lowestPeriodExpectation = *lowest;
    risk.highestPeriodExpectation = *highest;
    return risk;
}

qint64 PlanOutcomes(LotteryKind kind, int n, int m)
{
    return TicketCount(m, n, kind);
}

double TicketsChance(qint64 tickets, qint64 outcomes)
{
    if (tickets <= 0 || outcomes <= 0)
        return 0;
    return std::min(1.0, static_cast<double>(tickets) / static_cast<double>(outcomes));
}

double ParseChance(const QString &text, const QString &name)
{
    QString number = text.trimmed();
    double scale = 1;
    if (number.endsWith(QLatin1Char('%'))) {
        number.chop(1);
        scale = 100;
    }
    bool ok = false;
    const double value = number.trimmed().toDouble(&ok) / scale;
    if (!ok || !std::isfinite(value) || value < 0 || value > 1)
        throw InputError(QStringLiteral("%1必须是0到1之间的小数或0%到100%之间的百分数！").arg(name));
    return value;
}

QString ChanceText(double chance)
{
    if (chance <= 0)
        return QStringLiteral("0");
    const int decimals = std::clamp(5 - static_cast<int>(std::floor(std::log10(chance))), 0, 15);
    QString text = QString::number(chance, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString PercentText(double chance)
{
    return QString::number(chance * 100, 'f', 1) + QLatin1Char('%');
}

QString ExpectationText(double value)
{
    // A tiny negative value would otherwise read "-0.00".
    if (std::abs(value) < 0.005)
        value = 0;
    return QString::number(value, 'f', 2);
}

QString ExpectationRangeText(const PlanRisk &risk)
{
    const QString lowest = ExpectationText(risk.lowestPeriodExpectation);
    const QString highest = ExpectationText(risk.highestPeriodExpectation);
    return lowest == highest ? lowest : lowest + QStringLiteral(" ~ ") + highest;
}

QString PeriodChanceCaption()
{
    return QStringLiteral("每期中奖概率：");
}

QString TicketChanceCaption()
{
    return QStringLiteral("每注中奖概率：");
}

std::vector<PlanRiskFigure> PlanRiskFigures(const PlanRisk &risk)
{
    return {{QStringLiteral("最大投入："), QString::number(risk.capitalAtRisk)},
        {QStringLiteral("全程不中的概率："), PercentText(risk.noWinChance)},
        {QStringLiteral("每期期望收益："), ExpectationRangeText(risk)},
        {QStringLiteral("全程期望收益："), ExpectationText(risk.expectedResult)}};
}

} // namespace lumaro
