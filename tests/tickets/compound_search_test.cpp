#include "common/errors.h"
#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "support/test_home.h"
#include "tickets/compound_search.h"
#include "trend/variant_trend.h"

#include <gtest/gtest.h>

#include <set>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

OpenLottery LotteryWith(TestHome &home, const QString &name, const QByteArray &draws)
{
    ImportDraws(home.store(), name, draws);
    OpenLottery lottery;
    lottery.open(home.store(), name);
    return lottery;
}

OpenLottery Qlc(TestHome &home, const QString &csv)
{
    ImportDrawFile(home.store(), QStringLiteral("中国福彩七乐彩"), csv);
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("中国福彩七乐彩"));
    return lottery;
}

bool IsStandardTrend(const OpenLottery &lottery)
{
    if (lottery.variantMode)
        return false;
    for (int row = 0; row < lottery.drawTable.rowCount(); ++row) {
        for (int k = 0; k < lottery.m; ++k) {
            if (lottery.trendText.values(row)[k] != lottery.drawTable.numbers(row)[k])
                return false;
        }
    }
    return true;
}

} // namespace

TEST(CompoundSearchTest, AbsencesCountTheNewestUnmarkedDraws)
{
    TestHome home;
    const OpenLottery lottery = LotteryWith(home, QStringLiteral("中国体彩22选5"),
        "2020001 01 02 03 04 05\n2020002 01 06 07 08 09\n2020003 02 06 10 11 12\n");
    const std::vector<int> absences = ColumnAbsences(lottery);
    ASSERT_EQ(absences.size(), 23u);
    EXPECT_EQ(absences[2], 0); // in the newest draw
    EXPECT_EQ(absences[1], 1);
    EXPECT_EQ(absences[3], 2);
    EXPECT_EQ(absences[22], 3); // never drawn: the whole history

    TestHome empty;
    const OpenLottery none = LotteryWith(empty, QStringLiteral("中国体彩22选5"), "");
    EXPECT_EQ(ColumnAbsences(none), std::vector<int>(23, 0));
}

TEST(CompoundSearchTest, ColdestColumnFollowsTheExchangeSortOnTies)
{
    // Neither the first nor the last of the equal largest absences wins every time: the
    // exchanges decide.
    EXPECT_EQ(ColdestColumn({0, 9, 1, 9}), 3);
    EXPECT_EQ(ColdestColumn({0, 9, 9, 1}), 1);
    EXPECT_EQ(ColdestColumn({0, 5, 9, 9, 1}), 2);
    EXPECT_EQ(ColdestColumn({0, 3, 1, 2}), 1);
    EXPECT_EQ(ColdestColumn({0, 4}), 1);
}

TEST(CompoundSearchTest, RefusedSettings)
{
    TestHome home;
    OpenLottery lottery = LotteryWith(home, QStringLiteral("中国体彩22选5"), "2020001 01 02 03 04 05\n");
    EXPECT_THROW(CheckCompoundSettings({0, true, 50}, lottery), InputError);
    EXPECT_NO_THROW(CheckCompoundSettings({30, true, 50}, lottery)); // K >= N is a legal search
    // A negative absence threshold is refused while it is used, ignored while it is not.
    EXPECT_THROW(CheckCompoundSettings({10, true, -5}, lottery), InputError);
    EXPECT_NO_THROW(CheckCompoundSettings({10, false, -5}, lottery));
    lottery.close();
    EXPECT_THROW(CheckCompoundSettings({10, true, 50}, lottery), InputError);

    TestHome digits;
    ImportDraws(digits.store(), QStringLiteral("福彩3D"), "2020001 1 2 3\n");
    OpenLottery fc3d;
    fc3d.open(digits.store(), QStringLiteral("福彩3D"));
    EXPECT_THROW(CheckCompoundSettings({5, false, 0}, fc3d), InputError);
}

TEST(CompoundSearchTest, ClearedThresholdRemovesAtEveryRepetition)
{
    LUMARO_HISTORY_FILE(csv, "qlc.csv");
    TestHome home;
    OpenLottery lottery = Qlc(home, csv);
    const int n = lottery.n;
    const CompoundSettings settings {n - 5, false, 50};

    // Step by step: every repetition removes the number whose variant value is the coldest
    // column, or meets one removed already.
    RandomSource random(11);
    CompoundSearch search(n, settings);
    std::set<int> removed;
    CompoundSearch::Step step;
    do {
        lottery.variantMode = true;
        BuildVariantTrend(lottery, random);
        step = search.step(lottery);
        ASSERT_NE(step, CompoundSearch::Step::BelowThreshold);
        ASSERT_GT(search.lastNumber(), 0);
        EXPECT_EQ(VariantValue(lottery, search.lastNumber()), search.lastColumn());
        EXPECT_EQ(ColumnAbsences(lottery)[static_cast<std::size_t>(search.lastColumn())], search.lastAbsence());
        removed.insert(search.lastNumber());
        EXPECT_EQ(search.remaining(), n - static_cast<int>(removed.size()));
    } while (step != CompoundSearch::Step::Finished);
    EXPECT_GE(search.repetitions(), n - settings.count);
    const std::vector<int> proposal = search.proposal();
    EXPECT_EQ(static_cast<int>(proposal.size()), settings.count);
    for (int number : proposal)
        EXPECT_EQ(removed.count(number), 0u) << number;

    // The whole search with the same seed gives the same proposal and ends in the standard
    // trend.
    RandomSource again(11);
    const CompoundResult result = RunCompoundSearch(lottery, settings, again);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.numbers, proposal);
    EXPECT_EQ(result.repetitions, search.repetitions());
    EXPECT_TRUE(IsStandardTrend(lottery));
    EXPECT_TRUE(std::is_sorted(result.numbers.begin(), result.numbers.end()));
}

TEST(CompoundSearchTest, CountAtLeastNEndsAtTheFirstRemoval)
{
    LUMARO_HISTORY_FILE(csv, "qlc.csv");
    TestHome home;
    OpenLottery lottery = Qlc(home, csv);
    const int n = lottery.n;
    for (const CompoundSettings &settings :
        {CompoundSettings {n, false, 0}, CompoundSettings {n + 3, true, 10}, CompoundSettings {n, true, 15}}) {
        RandomSource random(3);
        const CompoundResult result = RunCompoundSearch(lottery, settings, random, {}, 5000);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(static_cast<int>(result.numbers.size()), n - 1);
        if (!settings.useThreshold) {
            EXPECT_EQ(result.repetitions, 1);
        }
        EXPECT_TRUE(IsStandardTrend(lottery));
    }
}

TEST(CompoundSearchTest, AThresholdBeyondTheHistoryNeverRemoves)
{
    TestHome home;
    OpenLottery lottery
        = LotteryWith(home, QStringLiteral("中国体彩22选5"), "2020001 01 02 03 04 05\n2020002 06 07 08 09 10\n");
    RandomSource random(1);
    std::atomic_bool cancel {false};
    Progress progress;
    progress.cancel = &cancel;
    qint64 reports = 0;
    progress.report = [&](qint64 done, qint64 total) {
        EXPECT_EQ(done, 0);
        EXPECT_EQ(total, 5);
        if (++reports == 40)
            cancel = true; // 停止
    };
    const CompoundResult result = RunCompoundSearch(lottery, {17, true, 3}, random, progress);
    EXPECT_FALSE(result.finished);
    EXPECT_EQ(result.repetitions, 40);
    EXPECT_TRUE(result.numbers.empty());
    EXPECT_TRUE(IsStandardTrend(lottery));
}
