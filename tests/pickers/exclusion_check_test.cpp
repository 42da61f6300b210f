#include "common/errors.h"
#include "picker_draws.h"
#include "pickers/exclusion_check.h"
#include "pickers/exclusion_run.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <random>

using namespace lumaro;

namespace {

// count random draws of m distinct numbers of 1..n, in drawn (unsorted) order.
ExclusionCheckDraws SmallGame(int n, int m, int count, unsigned seed)
{
    std::mt19937 engine(seed);
    std::vector<std::vector<int>> rows;
    std::vector<int> numbers(static_cast<std::size_t>(n));
    for (int t = 0; t < count; ++t) {
        std::iota(numbers.begin(), numbers.end(), 1);
        std::shuffle(numbers.begin(), numbers.end(), engine);
        rows.emplace_back(numbers.begin(), numbers.begin() + m);
    }
    ExclusionCheckDraws draws;
    draws.n = n;
    draws.m = m;
    draws.draws = test::DrawTableOf(rows);
    for (int t = 0; t < count; ++t)
        draws.periods << QString::number(draws.draws.period(t));
    return draws;
}

PickerSettings Settings(ExclusionKind kind, qint64 target)
{
    PickerSettings settings;
    settings.kind = kind;
    settings.stop.byTarget = true;
    settings.stop.target = target;
    return settings;
}

// The check written out with the picker run the windows make: for each judged draw a run at
// that period over the whole history (cur = the draw's row), then a scan of the survivors.
struct PlainRow {
    bool survived = false;
    qint64 survivors = 0;
};
std::vector<PlainRow> PlainCheck(
    const ExclusionCheckDraws &draws, const PickerSettings &settings, int recent, std::uint64_t seed)
{
    QTemporaryDir dir;
    std::vector<PlainRow> rows;
    PickerHistory history;
    history.n = draws.n;
    history.m = draws.m;
    history.draws = ValueRows::fromDraws(draws.draws);
    for (int d = draws.draws.rowCount() - recent; d < draws.draws.rowCount(); ++d) {
        history.cur = d;
        PickerTickets tickets;
        RandomSource random(ExclusionCheckSeed(seed, draws.draws.period(d)));
        RunPickerSettings(tickets, history, settings, random, dir.filePath(QStringLiteral("temp.txt")));
        std::vector<int> drawn(draws.draws.numbers(d), draws.draws.numbers(d) + draws.m);
        std::sort(drawn.begin(), drawn.end());
        PlainRow row;
        row.survivors = tickets.table().rowCount();
        tickets.table().forEach([&](qint64, const int *values) {
            if (std::equal(drawn.begin(), drawn.end(), values))
                row.survived = true;
        });
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(ExclusionCheck, EveryPickerAgreesWithAPlainRunAndScanAtEachPeriod)
{
    const ExclusionCheckDraws draws = SmallGame(10, 3, 40, 17);
    std::vector<PickerSettings> all;
    PickerSettings sum = Settings(ExclusionKind::Sum, 40);
    sum.sum.upper = 20;
    sum.sum.lower = 8;
    all.push_back(sum);
    PickerSettings repeat = Settings(ExclusionKind::Repeat, 50);
    repeat.repeat.atLeast = 2;
    repeat.repeat.periods = 6;
    all.push_back(repeat);
    PickerSettings skew = Settings(ExclusionKind::Skew, 60);
    skew.skew.high = 2;
    skew.skew.highTo = 2;
    skew.skew.low = 1;
    skew.skew.lowFrom = 1;
    skew.skew.lowTo = 3;
    all.push_back(skew);
    PickerSettings follow = Settings(ExclusionKind::Follow, 45);
    follow.follow.upper = 3;
    follow.follow.lower = 0;
    all.push_back(follow);
    PickerSettings standard = follow;
    standard.follow.variant = false;
    standard.follow.lower = 1;
    standard.stop.byTarget = false;
    standard.stop.cycles = 1;
    all.push_back(standard);

    const int recent = 15;
    int survivedSomewhere = 0;
    for (const PickerSettings &settings : all) {
        SCOPED_TRACE(static_cast<int>(settings.kind));
        const ExclusionCheckResult result = RunExclusionCheck(draws, settings, recent, 42);
        const std::vector<PlainRow> plain = PlainCheck(draws, settings, recent, 42);
        ASSERT_FALSE(result.cancelled);
        ASSERT_EQ(result.periods, recent);
        ASSERT_EQ(result.rows.size(), plain.size());
        EXPECT_EQ(result.tickets, 120);
        int survived = 0;
        double shares = 0;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            SCOPED_TRACE(i);
            const ExclusionCheckRow &row = result.rows[i];
            EXPECT_EQ(row.index, 40 - recent + static_cast<int>(i));
            EXPECT_EQ(row.period, draws.periods[row.index]);
            EXPECT_EQ(row.survived, plain[i].survived);
            EXPECT_EQ(row.survivors, plain[i].survivors);
            survived += plain[i].survived ? 1 : 0;
            shares += double(plain[i].survivors) / 120.0;
        }
        EXPECT_EQ(result.survived, survived);
        EXPECT_DOUBLE_EQ(result.survivalShare, survived / double(recent));
        EXPECT_DOUBLE_EQ(result.meanSurvivorShare, shares / recent);
        EXPECT_DOUBLE_EQ(result.ratio, (survived / double(recent)) / (shares / recent));
        survivedSomewhere += survived;
    }
    // The settings leave the drawn ticket in now and then, so survival is really looked for.
    EXPECT_GT(survivedSomewhere, 0);
}

TEST(ExclusionCheck, SameSeedSameFiguresAndAPeriodKeepsItsRunWhateverTheCount)
{
    const ExclusionCheckDraws draws = SmallGame(12, 4, 36, 5);
    PickerSettings settings = Settings(ExclusionKind::Sum, 100);
    settings.sum.upper = 30;
    settings.sum.lower = 16;
    const ExclusionCheckResult first = RunExclusionCheck(draws, settings, 12, 7);
    const ExclusionCheckResult again = RunExclusionCheck(draws, settings, 12, 7);
    const ExclusionCheckResult fewer = RunExclusionCheck(draws, settings, 5, 7);
    const ExclusionCheckResult other = RunExclusionCheck(draws, settings, 12, 8);
    ASSERT_EQ(first.rows.size(), 12u);
    EXPECT_EQ(ExclusionCheckLine(first), ExclusionCheckLine(again));
    EXPECT_EQ(ExclusionCheckRowLines(draws, first), ExclusionCheckRowLines(draws, again));
    for (std::size_t i = 0; i < fewer.rows.size(); ++i) {
        EXPECT_EQ(fewer.rows[i].index, first.rows[i + 7].index);
        EXPECT_EQ(fewer.rows[i].survived, first.rows[i + 7].survived);
        EXPECT_EQ(fewer.rows[i].cycles, first.rows[i + 7].cycles);
    }
    // Another seed makes other runs: the cycle counts of twelve runs do not all repeat.
    bool differs = false;
    for (std::size_t i = 0; i < first.rows.size(); ++i)
        differs = differs || first.rows[i].cycles != other.rows[i].cycles;
    EXPECT_TRUE(differs);
}

TEST(ExclusionCheck, StoppedCheckHoldsNothingAndProgressCoversEveryPeriod)
{
    const ExclusionCheckDraws draws = SmallGame(12, 4, 30, 9);
    PickerSettings settings = Settings(ExclusionKind::Repeat, 50);
    settings.repeat.atLeast = 2;
    settings.repeat.periods = 5;

    std::vector<std::pair<qint64, qint64>> reports;
    Progress watch;
    watch.report = [&](qint64 done, qint64 total) { reports.emplace_back(done, total); };
    const ExclusionCheckResult whole = RunExclusionCheck(draws, settings, 4, 3, watch);
    ASSERT_FALSE(whole.cancelled);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), std::make_pair(qint64(4000), qint64(4000)));
    // Within a run too, and never backwards.
    EXPECT_GT(reports.size(), 8u);
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_LE(reports[i - 1].first, reports[i].first);

    // Stopped in the middle of the third run.
    std::atomic_bool cancel {false};
    Progress stop;
    stop.cancel = &cancel;
    stop.report = [&](qint64 done, qint64) {
        if (done > 2000)
            cancel = true;
    };
    const ExclusionCheckResult stopped = RunExclusionCheck(draws, settings, 4, 3, stop);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.periods, 0);
    EXPECT_EQ(stopped.survived, 0);
    EXPECT_TRUE(stopped.rows.empty());
    EXPECT_EQ(ExclusionCheckLine(stopped), QStringLiteral("历史验证：已停止，没有结果。"));
    EXPECT_TRUE(ExclusionCheckRowLines(draws, stopped).isEmpty());
}

TEST(ExclusionCheck, RefusedCountsAndSettings)
{
    const ExclusionCheckDraws draws = SmallGame(10, 3, 20, 1);
    const PickerSettings sum = Settings(ExclusionKind::Sum, 40);
    auto message = [&](const PickerSettings &settings, int recent) {
        try {
            CheckExclusionCheck(draws, settings, recent);
        } catch (const InputError &error) {
            return error.message();
        }
        return QString();
    };
    EXPECT_EQ(message(sum, 19), QString());
    EXPECT_EQ(ExclusionCheckLimit(draws, sum), 19);
    EXPECT_EQ(message(sum, 0), QStringLiteral("验证期数至少为1期。"));
    EXPECT_TRUE(message(sum, 20).contains(QStringLiteral("最多可验证19期"))) << message(sum, 20).toStdString();
    EXPECT_THROW(RunExclusionCheck(draws, sum, 20, 1), InputError);
    EXPECT_THROW(RunExclusionCheck(draws, sum, -3, 1), InputError);

    PickerSettings repeat = Settings(ExclusionKind::Repeat, 40);
    repeat.repeat.periods = 8;
    EXPECT_EQ(ExclusionCheckLimit(draws, repeat), 12);
    EXPECT_EQ(message(repeat, 12), QString());
    EXPECT_TRUE(message(repeat, 13).contains(QStringLiteral("重码期数")));
    repeat.repeat.periods = 0;
    EXPECT_TRUE(message(repeat, 1).contains(QStringLiteral("重码期数至少为1期")));
    repeat.repeat.periods = 25;
    EXPECT_TRUE(message(repeat, 1).contains(QStringLiteral("无法验证")));

    PickerSettings skew = Settings(ExclusionKind::Skew, 40);
    skew.skew.span = 18;
    EXPECT_TRUE(message(skew, 3).contains(QStringLiteral("延续期数"))) << message(skew, 3).toStdString();
    PickerSettings follow = Settings(ExclusionKind::Follow, 40);
    follow.follow.group = 4;
    EXPECT_THROW(CheckExclusionCheck(draws, follow, 3), InputError);
    PickerSettings negative = sum;
    negative.stop.target = -1;
    EXPECT_THROW(CheckExclusionCheck(draws, negative, 3), InputError);

    ExclusionCheckDraws digits = draws;
    digits.kind = LotteryKind::Digit;
    EXPECT_THROW(CheckExclusionCheck(digits, sum, 3), InputError);
    ExclusionCheckDraws none = draws;
    none.draws = DrawTable(0, 3);
    none.periods.clear();
    EXPECT_THROW(CheckExclusionCheck(none, sum, 1), InputError);
}

TEST(ExclusionCheck, LineSharesAndAPickerThatLeavesNothing)
{
    EXPECT_EQ(ExclusionCheckPercent(0), QStringLiteral("0"));
    EXPECT_EQ(ExclusionCheckPercent(0.123), QStringLiteral("12.3"));
    EXPECT_EQ(ExclusionCheckPercent(1), QStringLiteral("100.0"));
    EXPECT_EQ(ExclusionCheckPercent(0.0050), QStringLiteral("0.50"));
    EXPECT_EQ(ExclusionCheckPercent(0.00012), QStringLiteral("0.012"));
    EXPECT_NE(ExclusionCheckPercent(1e-7), QStringLiteral("0"));

    ExclusionCheckResult result;
    result.periods = 20;
    result.survived = 3;
    result.survivalShare = 0.15;
    result.meanSurvivorShare = 0.123;
    result.ratio = 0.15 / 0.123;
    EXPECT_EQ(ExclusionCheckLine(result),
        QStringLiteral("历史验证：判断20期，开奖号码留下3期，占15.0%；留下的投注号码平均占全部的12.3%；两者之比1.22"));

    // 和值>=0 excludes every ticket in one cycle: no survivors, so no ratio either.
    const ExclusionCheckDraws draws = SmallGame(10, 3, 12, 2);
    PickerSettings all = Settings(ExclusionKind::Sum, 0);
    all.sum.upper = 0;
    all.stop.byTarget = false;
    all.stop.cycles = 1;
    const ExclusionCheckResult nothing = RunExclusionCheck(draws, all, 3, 1);
    EXPECT_EQ(nothing.survived, 0);
    EXPECT_FALSE(nothing.hasRatio());
    const QString line = ExclusionCheckLine(nothing);
    EXPECT_TRUE(line.startsWith(QStringLiteral("历史验证：判断3期，开奖号码留下0期，占0%；"))) << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("无法计算两者之比"))) << line.toStdString();
    const QStringList rows = ExclusionCheckRowLines(draws, nothing);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("2020010期 开奖号码"))) << rows[0].toStdString();
    EXPECT_TRUE(rows[0].endsWith(QStringLiteral("被排除，剩余0注（0%）"))) << rows[0].toStdString();
}
