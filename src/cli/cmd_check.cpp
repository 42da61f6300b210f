// 中奖查询: a ticket file checked against one stored draw or every stored draw.
#include "cli/cli.h"

#include "data/open_lottery.h"
#include "tickets/prize_check.h"
#include "tickets/prize_table.h"

namespace lumaro::cli {

namespace {

int Check(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addPositionalArgument(
        QStringLiteral("FILE"), QStringLiteral("投注号码文件（每行一注；双区型彩票写成“01 02 03 04 05 06 + 07”）"));
    parser.addOption({QStringLiteral("period"), QStringLiteral("只查这一期（默认查全部开奖）"), QStringLiteral("P")});
    if (!ParseArguments(context, parser, args, QStringLiteral("check NAME FILE [--period P]"), 2, 2))
        return 0;
    const QStringList positional = parser.positionalArguments();
    OpenLottery lottery;
    lottery.open(context.store(), positional[0]);
    const PrizeTable table = ReadPrizeTable(PrizeTableFile(context.folder()));
    PrizeCheckInputs inputs = PrizeCheckInputs::fromLottery(lottery, table);
    if (parser.isSet(QStringLiteral("period")))
        inputs.keepPeriod(parser.value(QStringLiteral("period")));
    const CheckTickets tickets = ReadCheckTickets(positional[1], inputs.game);
    const PrizeCheckResult result = RunPrizeCheck(inputs, tickets);

    QTextStream &out = context.out();
    out << PrizeTableHeaders(inputs).join(QLatin1Char('\t')) << '\n';
    for (const DrawPrizes &draw : result.draws)
        out << PrizeTableRow(inputs, draw).join(QLatin1Char('\t')) << '\n';
    out << PrizeTotalsRow(inputs, result).join(QLatin1Char('\t')) << '\n';
    // A two-zone game's rows show its tiers; the pairs behind them are totalled here.
    if (inputs.game.twoZone() && !inputs.tiers.empty()) {
        QStringList pairs;
        for (const HitPair &pair : PairsBestFirst(inputs.game))
            pairs << QStringLiteral("%1:%2")
                         .arg(HitPairText(pair, true))
                         .arg(
                             result.totalPairs[static_cast<std::size_t>(inputs.game.pairIndex(pair.front, pair.back))]);
        out << QStringLiteral("中奖组合合计：") << pairs.join(QLatin1Char(' ')) << '\n';
    }
    out << PrizeSummaryLine(inputs, result) << '\n';
    return 0;
}

[[maybe_unused]] const bool registered
    = RegisterCommand({"check", "中奖查询 / check a ticket file against the draws", Check});

} // namespace

} // namespace lumaro::cli
