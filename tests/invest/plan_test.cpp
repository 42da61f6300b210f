#include "common/errors.h"
#include "common/random_source.h"
#include "invest/investment_plan.h"
#include "invest/money.h"

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

// The plans as a player would work them out by hand: for every period (or stage) try the
// multiples 1, 2, … 10000 in turn and keep the first whose win pays back everything.
std::optional<std::vector<PlanRow>> ReferenceStaged(const PlanSettings &s, qint64 length)
{
    std::vector<PlanRow> rows;
    qint64 c = s.priorLoss;
    for (qint64 first = 1; first <= s.periods; first += length) {
        bool settled = false;
        for (qint64 m = 1; m <= kMaxPlanMultiple && !settled; ++m) {
            std::vector<PlanRow> stage;
            qint64 cm = c;
            bool pass = true;
            for (qint64 p = first; p < first + length && p <= s.periods; ++p) {
                const qint64 stake = m * s.unitStake;
                const qint64 input = cm + stake;
                const qint64 prize = m * s.unitPrize;
                const qint64 net = prize - input;
                if (net < s.profit) {
                    pass = false;
                    break;
                }
                stage.push_back({p, m, stake, input, prize, net, input == 0 ? 0 : net * 100 / input});
                cm = input;
            }
            if (pass) {
                rows.insert(rows.end(), stage.begin(), stage.end());
                c = cm;
                settled = true;
            }
        }
        if (!settled)
            return std::nullopt;
    }
    return rows;
}

} // namespace

TEST(FixedPlan, DefaultsRiseToTwoMultiplesAtPeriod62)
{
    const PlanResult plan = FixedPlan(PlanSettings {});
    ASSERT_TRUE(plan.ok);
    ASSERT_EQ(plan.rows.size(), 80u);
    EXPECT_EQ(plan.rows[0], (PlanRow {1, 1, 16, 16, 1000, 984, 6150}));
    EXPECT_EQ(plan.rows[60][PlanMultiple], 1); // period 61: 1000 − 976 = 24 ≥ 10
    EXPECT_EQ(plan.rows[61], (PlanRow {62, 2, 32, 1008, 2000, 992, 98}));
    EXPECT_EQ(*PlanAverage(plan.rows, PlanNet, 80), 551);
}

TEST(FixedPlan, ProfitBoundaryAndImpossiblePlans)
{
    PlanSettings s;
    s.periods = 1;
    s.profit = 984; // exactly the net profit of one multiple: accepted
    EXPECT_EQ(FixedPlan(s).rows.at(0)[PlanMultiple], 1);
    s.profit = 985;
    EXPECT_EQ(FixedPlan(s).rows.at(0)[PlanMultiple], 2);

    s = PlanSettings {};
    s.unitPrize = 16; // a win never pays more than its stake
    EXPECT_FALSE(FixedPlan(s).ok);
    EXPECT_TRUE(FixedPlan(s).rows.empty());

    s = PlanSettings {};
    s.priorLoss = 984 * 10000; // needs multiple 10001 in the first period
    EXPECT_FALSE(FixedPlan(s).ok);
    s.periods = 1;
    s.priorLoss = 984 * 10000 - 10; // 10000 is still tried
    EXPECT_EQ(FixedPlan(s).rows.at(0)[PlanMultiple], 10000);
}

TEST(FixedPlan, RefusesEmptyPlansAndFiguresBeyond64Bits)
{
    PlanSettings s;
    for (qint64 periods : {qint64(0), qint64(-3), kMaxPlanPeriods + 1}) {
        s.periods = periods;
        EXPECT_THROW(FixedPlan(s), InputError) << periods;
    }
    s.periods = 1;
    s.unitPrize = std::numeric_limits<qint64>::max();
    s.unitStake = -1;
    EXPECT_THROW(FixedPlan(s), InputError);
    // A plan with nothing staked has a cumulative input of 0 and a rate of 0, not a fault.
    s = PlanSettings {};
    s.periods = 3;
    s.unitStake = 0;
    s.profit = 0;
    const PlanResult plan = FixedPlan(s);
    ASSERT_TRUE(plan.ok);
    EXPECT_EQ(plan.rows[2], (PlanRow {3, 1, 0, 0, 1000, 1000, 0}));

    // Every row fits, but the sum of the net profits that the average divides does not: refused
    // like any other figure beyond 64 bits, never announced wrapped around.
    s.periods = 2;
    s.unitPrize = 9000000000000000000;
    try {
        FixedPlan(s);
        FAIL();
    } catch (const InputError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("金额太大，超出计算范围！"));
    }
    EXPECT_THROW(StagedPlan(s, 1), InputError);
    s.periods = 1;
    EXPECT_EQ(*PlanAverage(FixedPlan(s).rows, PlanNet, 1), 9000000000000000000);
    const std::vector<PlanRow> loaded(2, PlanRow {1, 1, 0, 0, 0, std::numeric_limits<qint64>::max(), 0});
    EXPECT_THROW(PlanAverage(loaded, PlanNet, 2), InputError);
    const std::vector<PlanRow> negative(2, PlanRow {1, 1, 0, 0, 0, -4, 0});
    EXPECT_EQ(PlanAverage(negative, PlanNet, 3), -2); // truncated toward zero

    VariablePlan variable;
    s.periods = 3;
    ASSERT_EQ(variable.add(s, 0), VariablePlan::AddOutcome::Added);
    EXPECT_THROW(variable.add(s, 0), InputError);
    EXPECT_EQ(variable.periodCount(), 1); // the refused row is not added
    variable.clear();
    ASSERT_EQ(variable.add(s, 0), VariablePlan::AddOutcome::Added);
    EXPECT_THROW(variable.add(s, 0), InputError);
}

TEST(StagedPlan, StageLengthsAndEarlyEnd)
{
    EXPECT_EQ(StageLength(80, 10), 8);
    EXPECT_EQ(StageLength(10, 3), 4);
    EXPECT_EQ(StageLength(5, 10), 1);
    EXPECT_THROW(StageLength(10, 0), InputError);
    EXPECT_THROW(StageLength(10, -2), InputError);

    PlanSettings s;
    s.periods = 10;
    PlanResult plan = StagedPlan(s, 3);
    ASSERT_TRUE(plan.ok);
    EXPECT_EQ(plan.rows.size(), 10u);
    s.periods = 5;
    plan = StagedPlan(s, 10);
    ASSERT_TRUE(plan.ok);
    EXPECT_EQ(plan.rows.size(), 5u);
    EXPECT_EQ(plan.rows.back()[PlanPeriod], 5);
}

TEST(StagedPlan, DefaultsSettleTheStageOfPeriod62WithTwoMultiples)
{
    const PlanResult plan = StagedPlan(PlanSettings {}, 10);
    ASSERT_TRUE(plan.ok);
    ASSERT_EQ(plan.rows.size(), 80u);
    for (int p = 1; p <= 80; ++p)
        EXPECT_EQ(plan.rows[p - 1][PlanMultiple], p <= 56 ? 1 : 2) << p;
    // Each stage shares one multiple and every period of it reaches the profit.
    for (const PlanRow &row : plan.rows)
        EXPECT_GE(row[PlanNet], 10);

    PlanSettings s;
    s.periods = 20;
    const PlanResult single = StagedPlan(s, 1); // one multiple for the whole plan, set by period 20
    ASSERT_TRUE(single.ok);
    EXPECT_EQ(single.rows.front()[PlanMultiple], single.rows.back()[PlanMultiple]);
}

TEST(StagedPlan, AgreesWithTryingEveryMultiple)
{
    RandomSource random(7);
    for (int trial = 0; trial < 400; ++trial) {
        PlanSettings s;
        s.priorLoss = random.between(-500, 5000);
        s.profit = random.between(-50, 300);
        s.unitStake = random.between(-20, 60);
        s.unitPrize = random.between(0, 400);
        s.periods = random.between(1, 40);
        const qint64 stages = random.between(1, 45);
        const auto expected = ReferenceStaged(s, StageLength(s.periods, stages));
        const PlanResult staged = StagedPlan(s, stages);
        ASSERT_EQ(staged.ok, expected.has_value()) << trial;
        if (expected) {
            EXPECT_EQ(staged.rows, *expected) << trial;
        }
        const auto fixedExpected = ReferenceStaged(s, 1);
        const PlanResult fixed = FixedPlan(s);
        ASSERT_EQ(fixed.ok, fixedExpected.has_value()) << trial;
        if (fixedExpected) {
            EXPECT_EQ(fixed.rows, *fixedExpected) << trial;
        }
    }
}

TEST(VariablePlan, FirstRowsTicketChangesAndFullPlan)
{
    PlanSettings s;
    VariablePlan plan;
    ASSERT_EQ(plan.add(s, 8), VariablePlan::AddOutcome::Added);
    EXPECT_EQ(plan.rows()[0], (VariablePlanRow {1, 1, 8, 16, 16, 1000, 984, 6150}));
    s.unitStake = 999; // takes no part in the variable plan
    ASSERT_EQ(plan.add(s, 20), VariablePlan::AddOutcome::Added);
    EXPECT_EQ(plan.rows()[1], (VariablePlanRow {2, 1, 20, 40, 56, 1000, 944, 1685}));
    EXPECT_EQ(plan.rows()[0][VariableTickets], 8); // earlier rows keep their count
    for (int i = 2; i < 80; ++i)
        ASSERT_EQ(plan.add(s, 8), VariablePlan::AddOutcome::Added) << i;
    EXPECT_EQ(plan.add(s, 8), VariablePlan::AddOutcome::Full);
    EXPECT_EQ(plan.periodCount(), 80);
}

TEST(VariablePlan, FailedAdditionLeavesNoHalfRow)
{
    PlanSettings s;
    VariablePlan plan;
    ASSERT_EQ(plan.add(s, 8), VariablePlan::AddOutcome::Added);
    EXPECT_EQ(plan.add(s, 500), VariablePlan::AddOutcome::MultipleTooLarge); // 1000 per ticket multiple
    EXPECT_EQ(plan.periodCount(), 1);
    ASSERT_EQ(plan.add(s, 8), VariablePlan::AddOutcome::Added);
    EXPECT_EQ(plan.rows()[1][VariablePeriod], 2);
    EXPECT_EQ(plan.rows()[1][VariableInput], 32);
    EXPECT_FALSE(PlanAverage(std::vector<VariablePlanRow> {}, VariableNet, 0).has_value());
}

TEST(Money, MultiplesAndRates)
{
    EXPECT_EQ(ProfitRate(-1, 200), 0); // truncates toward zero
    EXPECT_EQ(ProfitRate(-250, 100), -250);
    EXPECT_EQ(ProfitRate(5, 0), 0);
    EXPECT_EQ(FirstMultiple(3, 10, 100), 4);
    EXPECT_EQ(FirstMultiple(3, -10, 100), 1);
    EXPECT_EQ(FirstMultiple(0, 1, 100), std::nullopt);
    EXPECT_EQ(FirstMultiple(-2, -5, 100), 1); // −2m ≥ −5 for m ≤ 2
    EXPECT_EQ(MultiplesReaching(-2, -5, 100).hi, 2);
    EXPECT_EQ(FirstMultiple(-2, -1, 100), std::nullopt);
    EXPECT_EQ(FirstMultiple(1, 101, 100), std::nullopt);
    EXPECT_EQ(ToMoney(QStringLiteral(" 9000000000 ")), 9000000000LL);
    EXPECT_THROW(ToMoney(QStringLiteral("1.5")), ConversionError);
}
