// Ticket commands: the total filter.
#include "cli/cli.h"

#include "common/errors.h"
#include "common/random_source.h"
#include "data/open_lottery.h"
#include "tickets/filter_history_check.h"
#include "tickets/filter_set.h"
#include "tickets/survivor_look.h"
#include "tickets/ticket_file.h"
#include "tickets/total_filter.h"
#include "trend/variant_trend.h"

#include <QFile>

#include <algorithm>

namespace lumaro::cli {

namespace {

// Writes tickets straight to standard output, after what the command printed so far.
template<class WriteFn>
void WriteToStdout(Context &context, WriteFn write)
{
    context.out().flush();
    QFile out;
    out.setObjectName(QStringLiteral("stdout"));
    if (!out.open(stdout, QIODevice::WriteOnly))
        throw IoError::cannotWrite(QStringLiteral("stdout"), out.errorString());
    write(static_cast<QIODevice &>(out));
    out.flush();
}

struct BoundsOption {
    const char *name;
    const char *description;
    std::optional<FilterBounds> TotalFilterConditions::*member;
};

const BoundsOption kIndicatorOptions[] = {
    {"big", "大数个数（号码 >= N/2）", &TotalFilterConditions::big},
    {"odd", "奇数个数", &TotalFilterConditions::odd},
    {"sum", "和值", &TotalFilterConditions::sum},
    {"span", "跨度", &TotalFilterConditions::span},
    {"dispersion", "散度", &TotalFilterConditions::dispersion},
    {"deviation", "偏度（对最近一期）", &TotalFilterConditions::deviation},
    {"ac", "AC值", &TotalFilterConditions::ac},
    {"repeat", "重码：与最近一期相同的号码个数", &TotalFilterConditions::repeat},
    {"repeat-recent", "近P期重码：在最近P期任一期出现过的号码个数（P 见 --repeat-periods）",
        &TotalFilterConditions::repeatRecent},
    {"consecutive", "连号个数：相邻号码对数", &TotalFilterConditions::consecutive},
    {"longest-run", "最长连号：最长一串连续号码的个数", &TotalFilterConditions::longestRun},
    {"tail-count", "尾数个数：不同尾数的个数", &TotalFilterConditions::tailCount},
    {"tail-sum", "尾数和", &TotalFilterConditions::tailSum},
    {"road0", "0路个数（除3余0）", &TotalFilterConditions::road0},
    {"road1", "1路个数（除3余1）", &TotalFilterConditions::road1},
    {"road2", "2路个数（除3余2）", &TotalFilterConditions::road2},
    {"primes", "质数个数（1不是质数）", &TotalFilterConditions::primes},
};

// "n n …:a-b": the numbers of one banker group and the count of them a ticket holds.
BankerGroup ParseBankerGroup(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        throw InputError(QStringLiteral("胆码组“%1”应写成“号码 号码 …:最少-最多”！").arg(text));
    return {ParseBankerTokens(text.left(colon)), ParseBoundsText(text.mid(colon + 1))};
}

// A pattern "a:b:…" of exact counts, one for each of `parts` groups whose counts add up to M.
std::vector<int> ParseCountPattern(const QString &text, int parts, int m, const QString &what)
{
    const std::vector<int> counts = ParsePatternText(text);
    int total = 0;
    for (int count : counts)
        total += count;
    if (static_cast<int>(counts.size()) != parts || total != m
        || std::any_of(counts.begin(), counts.end(), [](int count) { return count < 0; }))
        throw InputError(QStringLiteral("%1“%2”应为%3个不小于0的个数，其和等于%4！").arg(what, text).arg(parts).arg(m));
    return counts;
}

// The output of a run on a two-zone lottery: two-zone ticket lines (every survivor with every
// back set, or a random pick of those tickets), the count with its split, the look at the
// front zone.
int WriteTwoZoneResult(
    Context &context, const QCommandLineParser &parser, const TotalFilter &engine, const TotalFilter::Job &job)
{
    const TwoZoneRows rows = engine.twoZoneRows();
    const bool pick = parser.isSet(QStringLiteral("pick"));
    const bool look = parser.isSet(QStringLiteral("look"));
    TicketSet picked;
    std::uint64_t pickSeed = 0;
    if (pick) {
        pickSeed = parser.isSet(QStringLiteral("seed")) ? SeedOption(parser) : RandomSource::fromClock().next();
        RandomSource random(pickSeed);
        picked = PickTwoZoneTickets(
            engine.lottery().ticketSet(), rows, ToInteger(parser.value(QStringLiteral("pick"))), random);
    }
    const TicketSet &tickets = pick ? picked : engine.lottery().ticketSet();
    const TwoZoneRows listedRows = pick ? TwoZoneRows {rows.m, rows.k, {}} : rows;
    if (parser.isSet(QStringLiteral("o"))) {
        WriteTwoZoneTicketFile(parser.value(QStringLiteral("o")), tickets, listedRows);
    } else if (pick || !look) {
        WriteToStdout(context, [&](QIODevice &out) { WriteTwoZoneTicketFile(out, tickets, listedRows); });
    }
    context.out() << (rows.backSets.empty() ? filter_text::ResultCount(job.ticketCount)
                                            : filter_text::TwoZoneResultCount(job.survivors, rows.setCount()))
                  << '\n';
    if (job.conditions.tolerance > 0)
        context.out() << filter_text::ToleranceCounts(job.byFailures) << QStringLiteral("（前区）") << '\n';
    if (pick)
        context.out() << QStringLiteral("随机选出%1注（种子%2）").arg(picked.rowCount()).arg(pickSeed) << '\n';
    if (look) {
        const std::optional<SurvivorLook> counts = LookAtSurvivors(engine.lottery().ticketSet(), job.inputs);
        context.out() << QStringLiteral("前区：") << '\n';
        for (const QString &line : SurvivorLookLines(*counts))
            context.out() << line << '\n';
    }
    return 0;
}

int Filter(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    for (const BoundsOption &option : kIndicatorOptions)
        parser.addOption(
            {QString::fromUtf8(option.name), QString::fromUtf8(option.description), QStringLiteral("a-b[,c-d…]")});
    parser.addOptions({
        {QStringLiteral("repeat-periods"), QStringLiteral("近P期重码的期数P（1到100，默认2）"), QStringLiteral("P")},
        {QStringLiteral("road"), QStringLiteral("012路比例：0路、1路、2路各几个，如 2:3:2"), QStringLiteral("a:b:c")},
        {QStringLiteral("zones"), QStringLiteral("分区数Z（2到12），每区 N/Z 向上取整个号码"), QStringLiteral("Z")},
        {QStringLiteral("zone-counts"), QStringLiteral("各区个数，如 2:2:3（Z个数，和为M）"), QStringLiteral("a:b:…")},
        {QStringLiteral("zone-range"), QStringLiteral("第k区个数的范围，可重复"), QStringLiteral("k:a-b")},
        {QStringLiteral("banker-group"), QStringLiteral("又一组胆码及中几个，可重复"), QStringLiteral("\"n n …:a-b\"")},
        {QStringLiteral("tolerance"), QStringLiteral("容错：最多有k个条件不满足（默认0）"), QStringLiteral("k")},
        {QStringLiteral("balls"), QStringLiteral("选择球号，空格分开"), QStringLiteral("\"n n …\"")},
        {QStringLiteral("ball-hits"), QStringLiteral("中选择球号的个数（默认 M-M）"), QStringLiteral("a-b")},
        {QStringLiteral("bankers"), QStringLiteral("胆码，空格分开"), QStringLiteral("\"n n …\"")},
        {QStringLiteral("banker-hits"), QStringLiteral("中胆码的个数（默认 1-1）"), QStringLiteral("a-b")},
        {QStringLiteral("from"), QStringLiteral("从投注号码文件开始（如同“载入”）"), QStringLiteral("TICKETFILE")},
        {QStringLiteral("back"),
            QStringLiteral("双区型彩票的后区号码，空格分开（默认全部）：每注前区号码与其中每K个的组合各成一注"),
            QStringLiteral("\"n n …\"")},
        {QStringLiteral("variant"), QStringLiteral("在变幻走势下过滤")},
        {QStringLiteral("backtest"),
            QStringLiteral("历史验证：不列出投注号码，统计历史开奖号码与全部投注号码各有多少通过这些条件")},
        {QStringLiteral("seed"), QStringLiteral("变幻走势和 --pick 的随机种子"), QStringLiteral("S")},
        {QStringLiteral("set"), QStringLiteral("从过滤条件文件读入条件（命令行给出的条件替换文件中的同一条件）"),
            QStringLiteral("SETFILE")},
        {QStringLiteral("save-set"), QStringLiteral("把条件写入过滤条件文件，不过滤"), QStringLiteral("SETFILE")},
        {QStringLiteral("look"), QStringLiteral("列出过滤结果各指标的值各有多少注（不再列出投注号码）")},
        {QStringLiteral("pick"), QStringLiteral("从过滤结果中随机选出n注列出（代替全部）"), QStringLiteral("n")},
        {QStringList {QStringLiteral("o"), QStringLiteral("output")},
            QStringLiteral("写入投注号码文件，不写则输出到标准输出"), QStringLiteral("TICKETFILE")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("filter NAME [--big a-b] [--odd a-b] [--sum a-b] [--span a-b] [--dispersion a-b] "
                           "[--deviation a-b] [--ac a-b] [--balls \"n n …\" --ball-hits a-b] "
                           "[--bankers \"n n …\" --banker-hits a-b] [--repeat a-b] [--repeat-recent a-b "
                           "--repeat-periods P] [--consecutive a-b] [--longest-run a-b] [--tail-count a-b] "
                           "[--tail-sum a-b] [--road0 a-b] [--road1 a-b] [--road2 a-b | --road a:b:c] [--primes a-b] "
                           "[--zones Z (--zone-counts a:b:… | --zone-range k:a-b …)] [--banker-group \"n n …:a-b\" …] "
                           "[--tolerance k] [--set SETFILE] [--from TICKETFILE] [--variant --seed S] "
                           "[--back \"n n …\"] [-o TICKETFILE] [--look] [--pick n --seed S] [--backtest] "
                           "[--save-set SETFILE]"),
            1, 1))
        return 0;
    // The history check judges the stored draws and the complete set of tickets: a ticket file
    // to start from or to write, a look at survivors or a pick from them has no place in it.
    const bool backtest = parser.isSet(QStringLiteral("backtest"));
    const bool look = parser.isSet(QStringLiteral("look"));
    const bool pick = parser.isSet(QStringLiteral("pick"));
    if (backtest && (parser.isSet(QStringLiteral("from")) || parser.isSet(QStringLiteral("o")) || look || pick))
        throw UsageError(QStringLiteral("--backtest 不能与 --from、-o、--look 或 --pick 一起使用"));
    // Saving a set only writes the conditions.
    const bool saveSet = parser.isSet(QStringLiteral("save-set"));
    if (saveSet
        && (backtest || look || pick || parser.isSet(QStringLiteral("from")) || parser.isSet(QStringLiteral("o"))))
        throw UsageError(
            QStringLiteral("--save-set 只保存条件，不能与 --backtest、--from、-o、--look 或 --pick 一起使用"));

    OpenLottery lottery;
    lottery.open(context.store(), parser.positionalArguments().front());
    const QString unsupported = TotalFilterUnsupportedReason(lottery);
    if (!unsupported.isEmpty())
        throw InputError(unsupported);

    // A saved set is the starting point; a condition given on the command line replaces the
    // set's same condition (--zones all zones, --banker-group all groups).
    FilterSet fromFile;
    if (parser.isSet(QStringLiteral("set")))
        fromFile
            = ReadFilterSet(parser.value(QStringLiteral("set")), lottery.n, lottery.m, lottery.backN, lottery.backM);
    // The back numbers of a two-zone lottery: the option, else the set's, else all of them.
    std::optional<BackChoice> back;
    if (parser.isSet(QStringLiteral("back"))) {
        if (!lottery.twoZone())
            throw InputError(QStringLiteral("《%1》没有后区号码，不能使用 --back！").arg(lottery.name));
        back = ParseBackChoice(parser.value(QStringLiteral("back")), lottery.backN, lottery.backM);
    } else if (!fromFile.backNumbers.empty()) {
        back = BackChoice {lottery.backN, lottery.backM, fromFile.backNumbers};
    }
    const bool variant = parser.isSet(QStringLiteral("variant")) || fromFile.variant;
    if (parser.isSet(QStringLiteral("seed")) && !variant && !pick && !saveSet)
        throw UsageError(QStringLiteral("--seed 只与 --variant 或 --pick 一起使用"));
    TotalFilterConditions conditions = fromFile.conditions;
    for (const BoundsOption &option : kIndicatorOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (parser.isSet(name))
            conditions.*(option.member) = ParseBoundsText(parser.value(name));
    }
    const QString m = QString::number(lottery.m);
    if (parser.isSet(QStringLiteral("balls"))) {
        conditions.balls = {};
        for (int ball : ParseBankerTokens(parser.value(QStringLiteral("balls")))) {
            if (ball < 1 || ball > std::min(lottery.n, 50))
                throw InputError(QStringLiteral("球号%1不在1到%2之间！").arg(ball).arg(std::min(lottery.n, 50)));
            conditions.balls[static_cast<std::size_t>(ball)] = true;
        }
        conditions.chooser = ParseBoundsText(
            parser.isSet(QStringLiteral("ball-hits")) ? parser.value(QStringLiteral("ball-hits")) : m + '-' + m);
    } else if (parser.isSet(QStringLiteral("ball-hits"))) {
        // The hits alone change those of the set's balls; without balls they would be ignored.
        if (!conditions.chooser)
            throw UsageError(QStringLiteral("--ball-hits 只与 --balls 或含选择球号的 --set 一起使用"));
        conditions.chooser = ParseBoundsText(parser.value(QStringLiteral("ball-hits")));
    }
    if (parser.isSet(QStringLiteral("bankers"))) {
        conditions.bankers = ParseBankerTokens(parser.value(QStringLiteral("bankers")));
        conditions.banker
            = ParseBoundsText(parser.isSet(QStringLiteral("banker-hits")) ? parser.value(QStringLiteral("banker-hits"))
                                                                          : QStringLiteral("1-1"));
    } else if (parser.isSet(QStringLiteral("banker-hits"))) {
        if (!conditions.banker)
            throw UsageError(QStringLiteral("--banker-hits 只与 --bankers 或含胆码的 --set 一起使用"));
        conditions.banker = ParseBoundsText(parser.value(QStringLiteral("banker-hits")));
    }
    if (parser.isSet(QStringLiteral("repeat-periods"))) {
        if (!conditions.repeatRecent)
            throw UsageError(QStringLiteral("--repeat-periods 只与 --repeat-recent 或含近期重码的 --set 一起使用"));
        conditions.repeatPeriods = ToInteger(parser.value(QStringLiteral("repeat-periods")));
    }
    if (parser.isSet(QStringLiteral("road"))) {
        if (parser.isSet(QStringLiteral("road0")) || parser.isSet(QStringLiteral("road1"))
            || parser.isSet(QStringLiteral("road2")))
            throw UsageError(QStringLiteral("--road 不能与 --road0、--road1、--road2 一起使用"));
        const std::vector<int> roads
            = ParseCountPattern(parser.value(QStringLiteral("road")), 3, lottery.m, QStringLiteral("012路比例"));
        conditions.road0 = FilterBounds {roads[0], roads[0]};
        conditions.road1 = FilterBounds {roads[1], roads[1]};
        conditions.road2 = FilterBounds {roads[2], roads[2]};
    }
    const bool zoneCounts = parser.isSet(QStringLiteral("zone-counts"));
    const bool zoneRanges = parser.isSet(QStringLiteral("zone-range"));
    if (parser.isSet(QStringLiteral("zones")) != (zoneCounts || zoneRanges))
        throw UsageError(QStringLiteral("--zones 要与 --zone-counts 或 --zone-range 一起使用"));
    if (zoneCounts && zoneRanges)
        throw UsageError(QStringLiteral("--zone-counts 不能与 --zone-range 一起使用"));
    if (parser.isSet(QStringLiteral("zones"))) {
        conditions.zones.clear();
        conditions.zoneCount = ToInteger(parser.value(QStringLiteral("zones")));
        if (conditions.zoneCount < kMinFilterZones || conditions.zoneCount > std::min(kMaxFilterZones, lottery.n))
            throw InputError(QStringLiteral("分区数应在%1到%2之间！")
                                 .arg(kMinFilterZones)
                                 .arg(std::min(kMaxFilterZones, lottery.n)));
        conditions.zones.assign(static_cast<std::size_t>(conditions.zoneCount), std::nullopt);
        if (zoneCounts) {
            const std::vector<int> counts = ParseCountPattern(parser.value(QStringLiteral("zone-counts")),
                conditions.zoneCount, lottery.m, QStringLiteral("各区个数"));
            for (std::size_t z = 0; z < counts.size(); ++z)
                conditions.zones[z] = FilterBounds {counts[z], counts[z]};
        }
        for (const QString &text : parser.values(QStringLiteral("zone-range"))) {
            const qsizetype colon = text.indexOf(QLatin1Char(':'));
            const int zone = colon < 0 ? 0 : ToInteger(text.left(colon).trimmed());
            if (colon < 0 || zone < 1 || zone > conditions.zoneCount)
                throw InputError(
                    QStringLiteral("分区范围“%1”应写成“k:a-b”，k在1到%2之间！").arg(text).arg(conditions.zoneCount));
            conditions.zones[static_cast<std::size_t>(zone - 1)] = ParseBoundsText(text.mid(colon + 1));
        }
    }
    if (parser.isSet(QStringLiteral("banker-group")))
        conditions.bankerGroups.clear();
    for (const QString &text : parser.values(QStringLiteral("banker-group")))
        conditions.bankerGroups.push_back(ParseBankerGroup(text));
    if (parser.isSet(QStringLiteral("tolerance")))
        conditions.tolerance = ToInteger(parser.value(QStringLiteral("tolerance")));
    if (variant && conditions.chooser)
        throw InputError(QStringLiteral("变幻走势下不能按选择球号过滤！"));
    const QString problem = CheckConditions(conditions, lottery.n, lottery.m);
    if (!problem.isEmpty())
        throw InputError(problem);

    if (saveSet) {
        const FilterSet set {conditions, variant, back ? back->numbers : std::vector<int> {}};
        // What is written must read back: numbers outside 1..N, say, are refused here rather
        // than in a file that would not load.
        ParseFilterSet(FilterSetText(set), lottery.n, lottery.m, lottery.backN, lottery.backM);
        const QString path = parser.value(QStringLiteral("save-set"));
        WriteFilterSet(path, set);
        context.out() << QStringLiteral("过滤条件已保存：%1（%2个条件）").arg(path).arg(conditions.active().size())
                      << '\n';
        return 0;
    }

    if (variant) {
        RandomSource random
            = parser.isSet(QStringLiteral("seed")) ? RandomSource(SeedOption(parser)) : RandomSource::fromClock();
        lottery.variantMode = true;
        BuildVariantTrend(lottery, random);
    }

    if (backtest) {
        const std::optional<HistoryCheckResult> result
            = RunHistoryCheck(HistoryCheckInputs::fromLottery(lottery), conditions);
        for (const QString &line : HistoryCheckLines(*result, conditions))
            context.out() << line << '\n';
        return 0;
    }

    TotalFilter engine(lottery);
    if (parser.isSet(QStringLiteral("from")))
        engine.load(parser.value(QStringLiteral("from")));
    TotalFilter::Job job = engine.prepare(conditions, context.folder().file(QStringLiteral("temp.txt")), back);
    TotalFilter::execute(job);
    engine.finish(job);
    const qint64 survivors = job.survivors;
    if (survivors == 0)
        throw InputError(filter_text::NoSurvivor());

    if (lottery.twoZone())
        return WriteTwoZoneResult(context, parser, engine, job);

    // The tickets listed: every survivor, or the random pick of them.
    TicketSet listed;
    std::uint64_t pickSeed = 0;
    if (pick) {
        pickSeed = parser.isSet(QStringLiteral("seed")) ? SeedOption(parser) : RandomSource::fromClock().next();
        RandomSource random(pickSeed);
        const TicketSet &all = lottery.ticketSet();
        const std::vector<qint64> rows = PickSurvivors(all, ToInteger(parser.value(QStringLiteral("pick"))), random);
        std::vector<qint16> numbers;
        std::vector<int> one(static_cast<std::size_t>(lottery.m));
        for (qint64 row : rows) {
            all.numbers(row, one.data());
            numbers.insert(numbers.end(), one.begin(), one.end());
        }
        listed = TicketSet::fromRows(lottery.m, std::move(numbers));
    }
    const TicketSet &tickets = pick ? listed : lottery.ticketSet();
    if (parser.isSet(QStringLiteral("o"))) {
        WriteTicketFile(parser.value(QStringLiteral("o")), tickets);
    } else if (pick || !look) {
        WriteToStdout(context, [&](QIODevice &out) { WriteTicketFile(out, tickets); });
    }
    context.out() << filter_text::ResultCount(survivors) << '\n';
    if (conditions.tolerance > 0)
        context.out() << filter_text::ToleranceCounts(job.byFailures) << '\n';
    if (pick)
        context.out() << QStringLiteral("随机选出%1注（种子%2）").arg(listed.rowCount()).arg(pickSeed) << '\n';
    if (look) {
        const std::optional<SurvivorLook> counts = LookAtSurvivors(lottery.ticketSet(), job.inputs);
        for (const QString &line : SurvivorLookLines(*counts))
            context.out() << line << '\n';
    }
    return 0;
}

[[maybe_unused]] const bool registered
    = RegisterCommand({"filter", "总体过滤 / filter all tickets by indicators, balls and bankers", Filter});

} // namespace

} // namespace lumaro::cli
