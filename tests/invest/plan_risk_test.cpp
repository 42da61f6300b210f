#include "common/errors.h"
#include "common/random_source.h"
#include "invest/investment_plan.h"
#include "invest/plan_risk.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumaro;

namespace {

PlanSettings ThreePeriods()
{
    PlanSettings s;
    s.periods = 3;
    return s;
}

} // namespace

TEST(PlanRisk, ThreePeriodsAtEvenChanceMatchWorkingByHand)
{
    // Every period is bet with one multiple: 16 spent a period, 1000 won.
    const PlanResult plan = FixedPlan(ThreePeriods());
    ASSERT_TRUE(plan.ok);
    const PlanRisk risk = PlanRiskOf(PlanMoney(plan.rows, 0.5));
    EXPECT_EQ(risk.capitalAtRisk, 48);
    EXPECT_DOUBLE_EQ(risk.noWinChance, 0.125);
    ASSERT_EQ(risk.periodExpectation.size(), 3U);
    for (double e : risk.periodExpectation)
        EXPECT_DOUBLE_EQ(e, 0.5 * 1000 - 16);
    // 0.5 × 984 + 0.25 × 968 + 0.125 × 952 − 0.125 × 48
    EXPECT_DOUBLE_EQ(risk.expectedResult, 492 + 242 + 119 - 6);
    EXPECT_EQ(ExpectationRangeText(risk), QStringLiteral("484.00"));
}

TEST(PlanRisk, DefaultFixedPlanForEightDigitTickets)
{
    const PlanResult plan = FixedPlan(PlanSettings {});
    ASSERT_TRUE(plan.ok);
    ASSERT_EQ(plan.rows.size(), 80U);
    EXPECT_EQ(plan.rows.back()[PlanInput], 1584);
    EXPECT_EQ(plan.rows.back()[PlanNet], 416);

    const double p = TicketsChance(PlanSettings {}.unitStake / kTicketPrice, PlanOutcomes(LotteryKind::Digit, 10, 3));
    EXPECT_DOUBLE_EQ(p, 0.008);
    const PlanRisk risk = PlanRiskOf(PlanMoney(plan.rows, p));
    EXPECT_EQ(risk.capitalAtRisk, 1584);
    EXPECT_NEAR(risk.noWinChance, 0.526, 0.0005);
    EXPECT_EQ(PercentText(risk.noWinChance), QStringLiteral("52.6%"));
    // A multiple costs 16 and is worth 0.008 × 1000 = 8 on average: −8 a multiple, and the
    // plan bets one multiple at first and two at the end.
    EXPECT_DOUBLE_EQ(risk.highestPeriodExpectation, -8);
    EXPECT_DOUBLE_EQ(risk.lowestPeriodExpectation, -16);
    EXPECT_EQ(ExpectationRangeText(risk), QStringLiteral("-16.00 ~ -8.00"));
    EXPECT_LT(risk.expectedResult, 0);
}

TEST(PlanRisk, ExpectedResultIsExpectedPrizeLessExpectedSpending)
{
    // The same expectation worked the other way: every period is reached with the chance that
    // nothing won before it, pays its prize with p and costs its stake; the prior loss is spent
    // whatever happens.
    RandomSource random(7);
    for (int trial = 0; trial < 200; ++trial) {
        PlanSettings s;
        s.priorLoss = random.below(500);
        s.profit = random.below(100);
        s.unitStake = 2 + 2 * random.below(20);
        s.unitPrize = 500 + random.below(5000);
        s.periods = 1 + random.below(60);
        const PlanResult plan = trial % 2 == 0 ? FixedPlan(s) : StagedPlan(s, 1 + random.below(8));
        if (!plan.ok)
            continue;
        const double p = static_cast<double>(random.below(1001)) / 1000;
        const PlanRisk risk = PlanRiskOf(PlanMoney(plan.rows, p));
        double other = -static_cast<double>(s.priorLoss);
        double survival = 1;
        for (const PlanRow &row : plan.rows) {
            other += survival * (p * static_cast<double>(row[PlanPrize]) - static_cast<double>(row[PlanStake]));
            survival *= 1 - p;
        }
        EXPECT_NEAR(risk.expectedResult, other, 1e-6 * (1 + std::abs(other))) << "trial " << trial;
        EXPECT_NEAR(risk.noWinChance, std::pow(1 - p, static_cast<double>(plan.rows.size())), 1e-12);
        EXPECT_EQ(risk.capitalAtRisk, plan.rows.back()[PlanInput]);
    }
}

TEST(PlanRisk, CertainAndImpossibleWinsAndEmptyPlans)
{
    const PlanResult plan = FixedPlan(ThreePeriods());
    // A sure win comes in the first period: its net profit, nothing at risk of being lost.
    const PlanRisk sure = PlanRiskOf(PlanMoney(plan.rows, 1));
    EXPECT_DOUBLE_EQ(sure.noWinChance, 0);
    EXPECT_DOUBLE_EQ(sure.expectedResult, 984);
    // A win that never comes loses everything spent.
    const PlanRisk never = PlanRiskOf(PlanMoney(plan.rows, 0));
    EXPECT_DOUBLE_EQ(never.noWinChance, 1);
    EXPECT_DOUBLE_EQ(never.expectedResult, -48);
    EXPECT_EQ(ExpectationRangeText(never), QStringLiteral("-16.00"));

    const PlanRisk empty = PlanRiskOf({});
    EXPECT_EQ(empty.capitalAtRisk, 0);
    EXPECT_DOUBLE_EQ(empty.noWinChance, 1);
    EXPECT_DOUBLE_EQ(empty.expectedResult, 0);
}

TEST(PlanRisk, VariablePlanChanceFollowsEachPeriodsTickets)
{
    PlanSettings s;
    s.periods = 3;
    s.unitPrize = 100000;
    VariablePlan plan;
    ASSERT_EQ(plan.add(s, 8), VariablePlan::AddOutcome::Added);
    ASSERT_EQ(plan.add(s, 0), VariablePlan::AddOutcome::Added);
    ASSERT_EQ(plan.add(s, 500), VariablePlan::AddOutcome::Added);
    const std::vector<PlanPeriodMoney> money = PlanMoney(plan.rows(), 0.001);
    ASSERT_EQ(money.size(), 3U);
    EXPECT_DOUBLE_EQ(money[0].chance, 0.008);
    EXPECT_DOUBLE_EQ(money[1].chance, 0);
    EXPECT_DOUBLE_EQ(money[2].chance, 0.5);
    // More tickets than outcomes still win at most surely.
    EXPECT_DOUBLE_EQ(PlanMoney(plan.rows(), 0.01)[2].chance, 1);

    const PlanRisk risk = PlanRiskOf(money);
    EXPECT_DOUBLE_EQ(risk.noWinChance, 0.992 * 1 * 0.5);
    EXPECT_EQ(risk.capitalAtRisk, plan.rows().back()[VariableInput]);
    EXPECT_DOUBLE_EQ(risk.periodExpectation[1], -static_cast<double>(plan.rows()[1][VariableStake]));
}

TEST(PlanRisk, OutcomesOfDigitGamesAndLottos)
{
    EXPECT_EQ(PlanOutcomes(LotteryKind::Digit, 10, 3), kDefaultPlanOutcomes);
    EXPECT_EQ(PlanOutcomes(LotteryKind::Digit, 10, 5), 100000);
    EXPECT_EQ(PlanOutcomes(LotteryKind::Lotto, 33, 6), 1107568);
    EXPECT_EQ(PlanOutcomes(LotteryKind::Lotto, 11, 5), 462);
    EXPECT_DOUBLE_EQ(TicketsChance(8, 1000), 0.008);
    EXPECT_DOUBLE_EQ(TicketsChance(2000, 1000), 1);
    EXPECT_DOUBLE_EQ(TicketsChance(0, 1000), 0);
    EXPECT_DOUBLE_EQ(TicketsChance(8, 0), 0);
}

TEST(PlanRisk, ChanceTextsReadBackAndRefuseNonsense)
{
    const QString name = QStringLiteral("每期中奖概率");
    EXPECT_DOUBLE_EQ(ParseChance(QStringLiteral("0.008"), name), 0.008);
    EXPECT_DOUBLE_EQ(ParseChance(QStringLiteral(" 0.8% "), name), 0.008);
    EXPECT_DOUBLE_EQ(ParseChance(QStringLiteral("100%"), name), 1);
    EXPECT_DOUBLE_EQ(ParseChance(QStringLiteral("0"), name), 0);
    for (const char *bad : {"", "-0.1", "1.5", "150%", "abc", "nan", "inf", "%", "0.5%%"})
        EXPECT_THROW(ParseChance(QString::fromUtf8(bad), name), InputError) << bad;

    EXPECT_EQ(ChanceText(0.008), QStringLiteral("0.008"));
    EXPECT_EQ(ChanceText(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(ChanceText(1), QStringLiteral("1"));
    EXPECT_EQ(ChanceText(0), QStringLiteral("0"));
    // A lotto's top prize is far below one in a thousand and still reads without an exponent.
    const double lotto = TicketsChance(1, 1107568);
    const QString text = ChanceText(lotto);
    EXPECT_FALSE(text.contains(QLatin1Char('e'))) << text.toStdString();
    EXPECT_NEAR(ParseChance(text, name), lotto, lotto * 1e-5);

    EXPECT_EQ(ExpectationText(-0.001), QStringLiteral("0.00"));
    EXPECT_EQ(PercentText(0.5259), QStringLiteral("52.6%"));
}
