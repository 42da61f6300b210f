// Ticket list commands: the big-base intersection and the compound search.
#include "cli/cli.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "tickets/compound_search.h"
#include "tickets/intersection.h"
#include "tickets/ticket_file.h"
#include "tickets/total_filter.h"

#include <QFile>

#include <optional>

namespace lumaro::cli {

namespace {

int Intersect(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addPositionalArgument(QStringLiteral("FILE…"), QStringLiteral("大底文件（每行一注）"));
    parser.addOptions({
        {QStringLiteral("tolerance"),
            QStringLiteral("交集容错 t1-t2：列出出现在 F-t2 到 F-t1 个大底中的号码（默认 0-0）"),
            QStringLiteral("t1-t2"), QStringLiteral("0-0")},
        {QStringList {QStringLiteral("o"), QStringLiteral("output")},
            QStringLiteral("把交集写成投注号码文件，不写则输出到标准输出"), QStringLiteral("FILE")},
    });
    if (!ParseArguments(
            context, parser, args, QStringLiteral("intersect NAME FILE… [--tolerance t1-t2] [-o FILE]"), 2, -1))
        return 0;
    QStringList positional = parser.positionalArguments();
    const QString name = positional.takeFirst();
    IntersectionSettings settings;
    settings.files = positional;
    const FilterBounds tolerance = ParseBoundsText(parser.value(QStringLiteral("tolerance")));
    if (!tolerance.more.empty())
        throw InputError(QStringLiteral("容错范围只能是一段“t1-t2”！"));
    settings.lowerTolerance = tolerance.lower;
    settings.upperTolerance = tolerance.upper;
    CheckIntersectionSettings(settings);

    const LotteryDefinition definition = context.store().readDefinition(name);
    int n = definition.n;
    int m = definition.m;
    if (const auto builtin = FindBuiltinLottery(name)) {
        n = builtin->n;
        m = builtin->m;
    }
    // A two-zone lottery intersects its tickets as pairs of a front and a back set.
    const int backN = definition.hasBackZone() ? definition.backN : 0;
    const int backM = definition.hasBackZone() ? definition.backM : 0;
    CombinationTable table(definition.kind, n, m, backN, backM);
    const IntersectionResult result = RunIntersection(table, settings);
    const QString skipped = SkippedLinesMessage(result.skipped, n, m, backN, backM);
    if (!skipped.isEmpty())
        context.err() << skipped << '\n';
    const TwoZoneRows rows {m, backM, {}};
    // As the window does, the result list also goes to "temp.txt" in the program folder.
    const QString resultList = context.folder().file(QStringLiteral("temp.txt"));
    if (backM > 0)
        WriteTwoZoneResultList(resultList, result.tickets, rows);
    else
        WriteResultList(resultList, result.tickets);
    if (parser.isSet(QStringLiteral("o"))) {
        if (backM > 0)
            WriteTwoZoneTicketFile(parser.value(QStringLiteral("o")), result.tickets, rows);
        else
            WriteTicketFile(parser.value(QStringLiteral("o")), result.tickets);
    } else {
        context.out().flush();
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            throw IoError::cannotWrite(QStringLiteral("stdout"), out.errorString());
        if (backM > 0)
            WriteTwoZoneTicketFile(out, result.tickets, rows);
        else
            WriteTicketFile(out, result.tickets);
        out.flush();
    }
    context.out() << "最终交集：" << result.tickets.rowCount() << "注\n";
    return 0;
}

int Compound(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addOptions({
        {QStringLiteral("count"), QStringLiteral("号码个数 K（默认 N-5）"), QStringLiteral("K")},
        {QStringLiteral("threshold"), QStringLiteral("遗漏期数>=T 时才去掉号码（默认 50）"), QStringLiteral("T"),
            QStringLiteral("50")},
        {QStringLiteral("no-threshold"), QStringLiteral("不看遗漏期数，每次都去掉最冷的号码")},
        {QStringLiteral("seed"), QStringLiteral("随机种子（默认取时钟）"), QStringLiteral("S")},
        {QStringLiteral("max-repetitions"), QStringLiteral("最多搜索次数（默认 100000，0 为不限）"),
            QStringLiteral("R"), QStringLiteral("100000")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("compound NAME --count K [--threshold T | --no-threshold] --seed S [--max-repetitions R]"),
            1, 1))
        return 0;
    if (parser.isSet(QStringLiteral("threshold")) && parser.isSet(QStringLiteral("no-threshold")))
        throw UsageError(QStringLiteral("--threshold 和 --no-threshold 只能用一个"));
    OpenLottery lottery;
    lottery.open(context.store(), parser.positionalArguments().front());
    CompoundSettings settings;
    settings.count
        = parser.isSet(QStringLiteral("count")) ? IntegerOption(parser, QStringLiteral("count")) : lottery.n - 5;
    settings.useThreshold = !parser.isSet(QStringLiteral("no-threshold"));
    settings.threshold = IntegerOption(parser, QStringLiteral("threshold"));
    CheckCompoundSettings(settings, lottery);
    // No column can stay empty for more draws than there are, and here nobody presses 停止.
    if (settings.useThreshold && settings.threshold > lottery.drawCount)
        throw InputError(
            QStringLiteral("遗漏期数%1大于开奖期数%2，搜索不会结束！").arg(settings.threshold).arg(lottery.drawCount));
    const qint64 limit
        = IntegerOption(parser, QStringLiteral("max-repetitions"), 0, QStringLiteral("最多搜索次数不能小于0！"));
    RandomSource random
        = parser.isSet(QStringLiteral("seed")) ? RandomSource(SeedOption(parser)) : RandomSource::fromClock();
    const CompoundResult result = RunCompoundSearch(lottery, settings, random, {}, limit);
    context.out() << "搜索次数：" << result.repetitions << '\n';
    if (!result.finished)
        throw InputError(QStringLiteral("搜索%1次后还有号码没有去掉，搜索已停止。").arg(result.repetitions));
    context.out() << "复式号码：" << CompoundText(result.numbers) << '\n';
    return 0;
}

[[maybe_unused]] const bool registered = RegisterCommand({"intersect", "大底交集 / intersect ticket files", Intersect})
    && RegisterCommand({"compound", "最优复式搜索 / search a compound ticket", Compound});

} // namespace

} // namespace lumaro::cli
