// Ticket commands: the total filter.
#include "cli/cli.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "tickets/filter_history_check.h"
#include "tickets/ticket_file.h"
#include "tickets/total_filter.h"
#include "trend/variant_trend.h"

#include <QFile>

namespace lumaro::cli {

namespace {

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
};

int Filter(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    for (const BoundsOption &option : kIndicatorOptions)
        parser.addOption(
            {QString::fromUtf8(option.name), QString::fromUtf8(option.description), QStringLiteral("a-b")});
    parser.addOptions({
        {QStringLiteral("balls"), QStringLiteral("选择球号，空格分开"), QStringLiteral("\"n n …\"")},
        {QStringLiteral("ball-hits"), QStringLiteral("中选择球号的个数（默认 M-M）"), QStringLiteral("a-b")},
        {QStringLiteral("bankers"), QStringLiteral("胆码，空格分开"), QStringLiteral("\"n n …\"")},
        {QStringLiteral("banker-hits"), QStringLiteral("中胆码的个数（默认 1-1）"), QStringLiteral("a-b")},
        {QStringLiteral("from"), QStringLiteral("从投注号码文件开始（如同“载入”）"), QStringLiteral("TICKETFILE")},
        {QStringLiteral("variant"), QStringLiteral("在变幻走势下过滤")},
        {QStringLiteral("backtest"),
            QStringLiteral("历史验证：不列出投注号码，统计历史开奖号码与全部投注号码各有多少通过这些条件")},
        {QStringLiteral("seed"), QStringLiteral("变幻走势的随机种子"), QStringLiteral("S")},
        {QStringList {QStringLiteral("o"), QStringLiteral("output")},
            QStringLiteral("写入投注号码文件，不写则输出到标准输出"), QStringLiteral("TICKETFILE")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("filter NAME [--big a-b] [--odd a-b] [--sum a-b] [--span a-b] [--dispersion a-b] "
                           "[--deviation a-b] [--ac a-b] [--balls \"n n …\" --ball-hits a-b] "
                           "[--bankers \"n n …\" --banker-hits a-b] [--from TICKETFILE] [--variant --seed S] "
                           "[-o TICKETFILE | --backtest]"),
            1, 1))
        return 0;
    if (parser.isSet(QStringLiteral("seed")) && !parser.isSet(QStringLiteral("variant")))
        throw UsageError(QStringLiteral("--seed 只与 --variant 一起使用"));
    // The history check judges the stored draws and the complete set of tickets: a ticket file
    // to start from or to write has no place in it.
    const bool backtest = parser.isSet(QStringLiteral("backtest"));
    if (backtest && (parser.isSet(QStringLiteral("from")) || parser.isSet(QStringLiteral("o"))))
        throw UsageError(QStringLiteral("--backtest 不能与 --from 或 -o 一起使用"));

    OpenLottery lottery;
    lottery.open(context.store(), parser.positionalArguments().front());
    const QString unsupported = TotalFilterUnsupportedReason(lottery);
    if (!unsupported.isEmpty())
        throw InputError(unsupported);

    TotalFilterConditions conditions;
    for (const BoundsOption &option : kIndicatorOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (parser.isSet(name))
            conditions.*(option.member) = ParseBoundsText(parser.value(name));
    }
    const QString m = QString::number(lottery.m);
    if (parser.isSet(QStringLiteral("balls"))) {
        if (parser.isSet(QStringLiteral("variant")))
            throw InputError(QStringLiteral("变幻走势下不能按选择球号过滤！"));
        for (int ball : ParseBankerTokens(parser.value(QStringLiteral("balls")))) {
            if (ball < 1 || ball > std::min(lottery.n, 50))
                throw InputError(QStringLiteral("球号%1不在1到%2之间！").arg(ball).arg(std::min(lottery.n, 50)));
            conditions.balls[static_cast<std::size_t>(ball)] = true;
        }
        conditions.chooser = ParseBoundsText(
            parser.isSet(QStringLiteral("ball-hits")) ? parser.value(QStringLiteral("ball-hits")) : m + '-' + m);
    }
    if (parser.isSet(QStringLiteral("bankers"))) {
        conditions.bankers = ParseBankerTokens(parser.value(QStringLiteral("bankers")));
        conditions.banker
            = ParseBoundsText(parser.isSet(QStringLiteral("banker-hits")) ? parser.value(QStringLiteral("banker-hits"))
                                                                          : QStringLiteral("1-1"));
    }
    const QString problem = CheckConditions(conditions, lottery.n, lottery.m);
    if (!problem.isEmpty())
        throw InputError(problem);

    if (parser.isSet(QStringLiteral("variant"))) {
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
    const qint64 survivors = engine.run(conditions, context.folder().file(QStringLiteral("temp.txt")));
    if (survivors == 0)
        throw InputError(filter_text::NoSurvivor());

    if (parser.isSet(QStringLiteral("o"))) {
        WriteTicketFile(parser.value(QStringLiteral("o")), lottery.ticketSet());
    } else {
        context.out().flush();
        QFile out;
        out.setObjectName(QStringLiteral("stdout"));
        if (!out.open(stdout, QIODevice::WriteOnly))
            throw IoError::cannotWrite(QStringLiteral("stdout"), out.errorString());
        WriteTicketFile(out, lottery.ticketSet());
        out.flush();
    }
    context.out() << filter_text::ResultCount(survivors) << '\n';
    return 0;
}

[[maybe_unused]] const bool registered
    = RegisterCommand({"filter", "总体过滤 / filter all tickets by indicators, balls and bankers", Filter});

} // namespace

} // namespace lumaro::cli
