// Indicator analysis commands: the indicators of every draw and the rebound and skew tables.
#include "cli/cli.h"

#include "analysis/indicator_history.h"
#include "analysis/indicator_shares.h"
#include "analysis/omission_table.h"
#include "common/random_source.h"
#include "data/open_lottery.h"
#include "trend/variant_trend.h"

#include <optional>

namespace lumaro::cli {

namespace {

// The indicator named on the command line, as the filter's options name them.
Indicator IndicatorOption(const QString &name)
{
    static const std::pair<const char *, Indicator> names[] = {{"big", Indicator::Big}, {"odd", Indicator::Odd},
        {"sum", Indicator::Sum}, {"span", Indicator::Span}, {"dispersion", Indicator::Dispersion},
        {"deviation", Indicator::Deviation}, {"ac", Indicator::Ac}, {"repeat", Indicator::Repeat}};
    for (const auto &[text, indicator] : names) {
        if (name == QLatin1String(text))
            return indicator;
    }
    throw UsageError(QStringLiteral("--shares 只能是 big、odd、sum、span、dispersion、deviation、ac 或 repeat"));
}

// What each value of one indicator is worth: all tickets beside the draws.
void PrintShares(QTextStream &out, const IndicatorHistory &history, const TicketSpace &space)
{
    const IndicatorShares shares = *ComputeIndicatorShares(history, space);
    out << QString::fromUtf8(TextsOf(history.indicator()).columnLabel)
        << QStringLiteral("\t全部投注号码\t投注占比\t开奖号码\t开奖占比\n");
    for (const IndicatorShare &row : shares.rows) {
        out << row.value << '\t' << row.tickets << '\t' << SharePercentText(row.ticketPercent) << '\t' << row.draws
            << '\t' << SharePercentText(row.drawPercent) << '\n';
    }
    out << QStringLiteral("全部投注号码：%1注，开奖号码：%2期\n").arg(shares.ticketTotal).arg(shares.drawTotal);
}

int Indicators(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addOptions({
        {QStringLiteral("variant"), QStringLiteral("按变幻走势统计")},
        {QStringLiteral("seed"), QStringLiteral("变幻走势的随机种子（不写则取时钟）"), QStringLiteral("S")},
        {QStringLiteral("shares"), QStringLiteral("只列出一个指标各值占全部投注号码和开奖号码的比例"),
            QStringLiteral("big|odd|sum|span|dispersion|deviation|ac|repeat")},
    });
    if (!ParseArguments(
            context, parser, args, QStringLiteral("indicators NAME [--variant --seed S] [--shares INDICATOR]"), 1, 1))
        return 0;
    std::optional<Indicator> sharesOf;
    if (parser.isSet(QStringLiteral("shares")))
        sharesOf = IndicatorOption(parser.value(QStringLiteral("shares")));
    OpenLottery lottery;
    lottery.open(context.store(), parser.positionalArguments().front());
    if (parser.isSet(QStringLiteral("variant"))) {
        RandomSource random
            = parser.isSet(QStringLiteral("seed")) ? RandomSource(SeedOption(parser)) : RandomSource::fromClock();
        lottery.variantMode = true;
        BuildVariantTrend(lottery, random);
    }

    const DrawTable &table = ActiveDrawTable(lottery);
    if (sharesOf) {
        PrintShares(context.out(), IndicatorHistory(*sharesOf, table, lottery.n), TicketSpace::ofLottery(lottery));
        return 0;
    }
    std::vector<IndicatorHistory> columns;
    QStringList header {QStringLiteral("记录期号"), QStringLiteral("开奖号码")};
    for (Indicator indicator : kAnalysisIndicators) {
        columns.emplace_back(indicator, table, lottery.n);
        header << QString::fromUtf8(TextsOf(indicator).columnLabel);
    }
    QTextStream &out = context.out();
    out << header.join(QLatin1Char('\t')) << '\n';
    const IndicatorHistory &first = columns.front();
    for (int row = 0; row < first.rowCount(); ++row) {
        out << first.periodText(row) << '\t' << first.numbersText(row);
        for (const IndicatorHistory &column : columns)
            out << '\t' << column.valueText(row);
        out << '\n';
    }
    return 0;
}

int Omission(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addOptions({
        {QStringLiteral("mode"), QStringLiteral("rebound 中奖回补分析，skew 中奖偏态分析"),
            QStringLiteral("rebound|skew")},
        {QStringLiteral("sort"), QStringLiteral("0 号码顺序，1 追号价值排序，2 前次（目前）遗漏排序，3 总次数排序"),
            QStringLiteral("0|1|2|3"), QStringLiteral("0")},
        {QStringLiteral("zone"), QStringLiteral("front 前区（默认），back 后区（双区型彩票）"),
            QStringLiteral("front|back"), QStringLiteral("front")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("omission NAME --mode rebound|skew [--sort 0|1|2|3] [--zone front|back]"), 1, 1))
        return 0;
    const QString mode = parser.value(QStringLiteral("mode"));
    if (mode != QLatin1String("rebound") && mode != QLatin1String("skew"))
        throw UsageError(QStringLiteral("--mode 只能是 rebound 或 skew"));
    const int sort = ChoiceOption(parser, QStringLiteral("sort"), 0, 3);
    const QString zone = parser.value(QStringLiteral("zone"));
    if (zone != QLatin1String("front") && zone != QLatin1String("back"))
        throw UsageError(QStringLiteral("--zone 只能是 front 或 back"));

    OpenLottery lottery;
    lottery.open(context.store(), parser.positionalArguments().front());
    const OmissionTable table
        = BuildOmissionTable(lottery, mode == QLatin1String("rebound") ? OmissionMode::Rebound : OmissionMode::Skew,
            static_cast<OmissionSort>(sort), zone == QLatin1String("back") ? OmissionZone::Back : OmissionZone::Front);
    QTextStream &out = context.out();
    out << table.headers().join(QLatin1Char('\t')) << '\n';
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < OmissionTable::kColumns; ++column)
            out << (column > 0 ? "\t" : "") << table.cellText(row, column);
        out << '\n';
    }
    return 0;
}

[[maybe_unused]] const bool registered
    = RegisterCommand({"indicators", "各期号码指标 / the indicators of every draw", Indicators})
    && RegisterCommand({"omission", "中奖回补、偏态分析表 / the rebound and skew tables", Omission});

} // namespace

} // namespace lumaro::cli
