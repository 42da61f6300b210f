// The infinite exclusion pickers from the command line: one run of the sum, repeat, skew or
// follow picker with a fixed seed, so the same inputs always give the same list, or with
// --backtest the 历史验证 of the settings over the latest draws.
#include "cli/cli.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "pickers/exclusion_check.h"
#include "pickers/exclusion_run.h"

#include <QFile>
#include <QSet>

#include <tuple>

namespace lumaro::cli {

namespace {

const QStringList kCommonOptions = {QStringLiteral("period"), QStringLiteral("seed"), QStringLiteral("target"),
    QStringLiteral("cycles"), QStringLiteral("from"), QStringLiteral("o"), QStringLiteral("backtest"),
    QStringLiteral("h"), QStringLiteral("help")};

QStringList MemberOptions(ExclusionKind kind)
{
    switch (kind) {
    case ExclusionKind::Sum:
        return {QStringLiteral("upper"), QStringLiteral("lower")};
    case ExclusionKind::Repeat:
        return {QStringLiteral("repeat"), QStringLiteral("periods")};
    case ExclusionKind::Skew:
        return {QStringLiteral("odd-even"), QStringLiteral("high"), QStringLiteral("high-range"),
            QStringLiteral("no-high"), QStringLiteral("low"), QStringLiteral("low-range"), QStringLiteral("no-low"),
            QStringLiteral("span")};
    case ExclusionKind::Follow:
        return {QStringLiteral("group"), QStringLiteral("upper"), QStringLiteral("lower"), QStringLiteral("standard"),
            QStringLiteral("label"), QStringLiteral("by-gap"), QStringLiteral("random-stage"),
            QStringLiteral("max-stage")};
    }
    return {};
}

ExclusionKind KindOf(const QString &text)
{
    if (text == QLatin1String("sum"))
        return ExclusionKind::Sum;
    if (text == QLatin1String("repeat"))
        return ExclusionKind::Repeat;
    if (text == QLatin1String("skew"))
        return ExclusionKind::Skew;
    if (text == QLatin1String("follow"))
        return ExclusionKind::Follow;
    throw UsageError(QStringLiteral("选号方法只能是 sum、repeat、skew 或 follow：%1").arg(text));
}

// "a-b" of two counts, each read as the window's edit boxes read them (not negative).
std::pair<int, int> RangeOption(const QCommandLineParser &parser, const QString &name)
{
    const QString text = parser.value(name);
    const int dash = text.indexOf(QLatin1Char('-'), 1);
    if (dash <= 0)
        throw UsageError(QStringLiteral("--%1 应为 a-b 形式的两个整数：%2").arg(name, text));
    try {
        return {ToIntegerAtLeast(text.left(dash), 0), ToIntegerAtLeast(text.mid(dash + 1), 0)};
    } catch (const ConversionError &) {
        throw UsageError(QStringLiteral("--%1 应为 a-b 形式的两个整数：%2").arg(name, text));
    }
}

// A count option of the member's settings: not below lowest, as the window's field.
int CountOr(const QCommandLineParser &parser, const QString &name, int lowest, int fallback)
{
    return parser.isSet(name) ? IntegerOption(parser, name, lowest) : fallback;
}

// The period index: a period number of the history, or "next" (the period after the latest).
int PeriodIndex(const OpenLottery &lottery, const QString &text)
{
    if (text.isEmpty() || text == QLatin1String("next"))
        return lottery.drawTable.rowCount();
    bool ok = false;
    const qint64 period = text.toLongLong(&ok);
    if (ok) {
        for (int i = 0; i < lottery.drawTable.rowCount(); ++i) {
            if (lottery.drawTable.period(i) == period)
                return i;
        }
        if (lottery.drawTable.rowCount() > 0
            && period == qint64(lottery.drawTable.period(lottery.drawTable.rowCount() - 1)) + 1)
            return lottery.drawTable.rowCount();
    }
    throw InputError(QStringLiteral("没有期号为%1的开奖号码。").arg(text));
}

PickerSettings SettingsOf(const QCommandLineParser &parser, ExclusionKind kind, int n, int m)
{
    PickerSettings settings;
    settings.kind = kind;
    switch (kind) {
    case ExclusionKind::Sum: {
        const SumBounds bounds = SumBoundsFor(n, m);
        settings.sum.upper = CountOr(parser, QStringLiteral("upper"), 0, bounds.lowest + bounds.upperIndex);
        settings.sum.lower = CountOr(parser, QStringLiteral("lower"), 0, bounds.lowest + bounds.lowerIndex);
        break;
    }
    case ExclusionKind::Repeat:
        settings.repeat.atLeast = CountOr(parser, QStringLiteral("repeat"), 0, m);
        settings.repeat.periods = CountOr(parser, QStringLiteral("periods"), 1, 10);
        break;
    case ExclusionKind::Skew: {
        SkewRule &skew = settings.skew;
        skew.mode = parser.isSet(QStringLiteral("odd-even")) ? SkewMode::OddEven : SkewMode::BigSmall;
        skew.high = CountOr(parser, QStringLiteral("high"), 0, m - 1);
        skew.highFrom = 0;
        skew.highTo = m - 1;
        if (parser.isSet(QStringLiteral("high-range")))
            std::tie(skew.highFrom, skew.highTo) = RangeOption(parser, QStringLiteral("high-range"));
        skew.highOn = !parser.isSet(QStringLiteral("no-high"));
        skew.low = CountOr(parser, QStringLiteral("low"), 0, 1);
        skew.lowFrom = 1;
        skew.lowTo = m;
        if (parser.isSet(QStringLiteral("low-range")))
            std::tie(skew.lowFrom, skew.lowTo) = RangeOption(parser, QStringLiteral("low-range"));
        skew.lowOn = !parser.isSet(QStringLiteral("no-low"));
        skew.span = OptionalInteger(parser, QStringLiteral("span")).value_or(2);
        break;
    }
    case ExclusionKind::Follow: {
        FollowRule &follow = settings.follow;
        follow.group
            = parser.isSet(QStringLiteral("group")) ? FollowGroupSize(parser.value(QStringLiteral("group"))) : 2;
        follow.upper = CountOr(parser, QStringLiteral("upper"), 0, m);
        follow.lower = CountOr(parser, QStringLiteral("lower"), 0, 0);
        follow.variant = !parser.isSet(QStringLiteral("standard"));
        follow.byLabel = parser.isSet(QStringLiteral("label"));
        follow.byGap = parser.isSet(QStringLiteral("by-gap"));
        follow.randomStage = parser.isSet(QStringLiteral("random-stage"));
        follow.maxStage = parser.isSet(QStringLiteral("max-stage"));
        break;
    }
    }
    const bool follow = kind == ExclusionKind::Follow;
    if (parser.isSet(QStringLiteral("target")) && parser.isSet(QStringLiteral("cycles")))
        throw UsageError(QStringLiteral("--target 与 --cycles 只能选一个"));
    if (follow && !settings.follow.variant && parser.isSet(QStringLiteral("target")))
        throw UsageError(QStringLiteral("常规模式（--standard）只能按次数过滤（--cycles）"));
    settings.stop.byTarget = !parser.isSet(QStringLiteral("cycles")) && !(follow && !settings.follow.variant);
    settings.stop.target = OptionalInteger(parser, QStringLiteral("target")).value_or(follow ? 50 : 10000);
    settings.stop.cycles = OptionalInteger(parser, QStringLiteral("cycles")).value_or(follow ? 1 : 10000);
    CheckStopRule(settings.stop);
    return settings;
}

int Exclude(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addPositionalArgument(
        QStringLiteral("METHOD"), QStringLiteral("sum 和值、repeat 重码、skew 偏态、follow 跟随"));
    parser.addOptions({
        {QStringLiteral("period"), QStringLiteral("目前投注期：历史期号或 next（默认，最新一期的下一期）"),
            QStringLiteral("PERIOD|next")},
        {QStringLiteral("seed"), QStringLiteral("随机数种子（必填）"), QStringLiteral("S")},
        {QStringLiteral("target"), QStringLiteral("过滤到：剩余注数（默认 10000，跟随 50）"), QStringLiteral("T")},
        {QStringLiteral("cycles"), QStringLiteral("过滤到：过滤次数（默认 10000，跟随 1）"), QStringLiteral("R")},
        {QStringLiteral("from"), QStringLiteral("从投注号码文件开始，而不是全部号码"), QStringLiteral("FILE")},
        {QStringLiteral("o"), QStringLiteral("把结果写成投注号码文件"), QStringLiteral("FILE")},
        {QStringLiteral("backtest"),
            QStringLiteral("历史验证：在最近R期开奖之前各过滤一次，统计开奖号码是否留下（不写结果文件）"),
            QStringLiteral("R")},
        {QStringLiteral("upper"), QStringLiteral("sum: 和值>=；follow: 跟随数>=（默认 M）"), QStringLiteral("V")},
        {QStringLiteral("lower"), QStringLiteral("sum: 或<=；follow: 或<=（默认 0）"), QStringLiteral("V")},
        {QStringLiteral("repeat"), QStringLiteral("repeat: 过滤的重码数>=（默认 M）"), QStringLiteral("V")},
        {QStringLiteral("periods"), QStringLiteral("repeat: 重码期数（默认 10）"), QStringLiteral("P")},
        {QStringLiteral("odd-even"), QStringLiteral("skew: 奇偶模式（默认大小模式）")},
        {QStringLiteral("high"), QStringLiteral("skew: 大数（奇数）个数>=（默认 M-1）"), QStringLiteral("A")},
        {QStringLiteral("high-range"), QStringLiteral("skew: 时本期个数范围（默认 0-(M-1)）"), QStringLiteral("a-b")},
        {QStringLiteral("no-high"), QStringLiteral("skew: 不用“>=”条件")},
        {QStringLiteral("low"), QStringLiteral("skew: 大数（奇数）个数<=（默认 1）"), QStringLiteral("B")},
        {QStringLiteral("low-range"), QStringLiteral("skew: 时本期个数范围（默认 1-M）"), QStringLiteral("a-b")},
        {QStringLiteral("no-low"), QStringLiteral("skew: 不用“<=”条件")},
        {QStringLiteral("span"), QStringLiteral("skew: 延续期数（默认 2）"), QStringLiteral("Y")},
        {QStringLiteral("group"), QStringLiteral("follow: 对比号码数 1、2 或 3（默认 2）"), QStringLiteral("K")},
        {QStringLiteral("standard"), QStringLiteral("follow: 常规模式（默认变幻）")},
        {QStringLiteral("label"), QStringLiteral("follow: 排列模式（默认排名模式）")},
        {QStringLiteral("by-gap"), QStringLiteral("follow: 间隔模式（默认次数模式）")},
        {QStringLiteral("random-stage"), QStringLiteral("follow: 随机阶段（默认固定阶段）")},
        {QStringLiteral("max-stage"), QStringLiteral("follow: 最大阶段期数（默认有限阶段期数 100）")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("exclude NAME sum|repeat|skew|follow [options] --seed S [--target T | --cycles R] "
                           "[--from TICKETFILE] [-o TICKETFILE] [--backtest R]"),
            2, 2))
        return 0;
    const QStringList positional = parser.positionalArguments();
    const ExclusionKind kind = KindOf(positional[1]);
    QSet<QString> allowed(kCommonOptions.begin(), kCommonOptions.end());
    for (const QString &name : MemberOptions(kind))
        allowed.insert(name);
    for (const QString &name : parser.optionNames()) {
        if (!allowed.contains(name))
            throw UsageError(QStringLiteral("--%1 不是 %2 的选项").arg(name, positional[1]));
    }
    if (!parser.isSet(QStringLiteral("seed")))
        throw UsageError(QStringLiteral("缺少 --seed"));
    const std::uint64_t seed = SeedOption(parser);

    OpenLottery lottery;
    lottery.open(context.store(), positional[0]);
    if (parser.isSet(QStringLiteral("backtest"))) {
        // Every judged period starts from all tickets before its own draw: a start file, a
        // target period or an output file have no meaning here.
        for (const char *name : {"from", "o", "period"}) {
            if (parser.isSet(QString::fromLatin1(name)))
                throw UsageError(QStringLiteral("--backtest 不能与 --%1 同时使用").arg(QString::fromLatin1(name)));
        }
        const int recent = IntegerOption(parser, QStringLiteral("backtest"));
        const PickerSettings settings = SettingsOf(parser, kind, lottery.n, lottery.m);
        const ExclusionCheckDraws draws = ExclusionCheckDrawsOf(lottery);
        const ExclusionCheckResult result = RunExclusionCheck(draws, settings, recent, seed);
        for (const QString &line : ExclusionCheckRowLines(draws, result))
            context.out() << line << "\n";
        context.out() << ExclusionCheckLine(result) << "\n";
        return 0;
    }
    const PickerHistory history
        = PickerHistoryOf(lottery, PeriodIndex(lottery, parser.value(QStringLiteral("period"))));
    const PickerSettings settings = SettingsOf(parser, kind, lottery.n, lottery.m);

    PickerTickets tickets;
    if (parser.isSet(QStringLiteral("from")))
        tickets.load(LoadPickerTickets(parser.value(QStringLiteral("from")), kind, lottery.n, lottery.m));
    RandomSource random(seed);
    const QString resultList = context.folder().file(QStringLiteral("temp.txt"));
    const PickerRunResult result = RunPickerSettings(tickets, history, settings, random, resultList);
    if (parser.isSet(QStringLiteral("o")))
        WriteTicketFile(parser.value(QStringLiteral("o")), tickets.table());
    context.out() << "过滤次数：" << result.cycles << "次\n";
    context.out() << "过滤结果：" << result.lines << "注\n";
    return 0;
}

[[maybe_unused]] const bool registered
    = RegisterCommand({"exclude", "无穷排除选号（和值、重码、偏态、跟随） / infinite exclusion pickers", Exclude});

} // namespace

} // namespace lumaro::cli
