// The optimal pickers: pick NAME interval|intimate|stembranch|fourstep. Prints the proposal line
// as 目前投注号码 shows it (with what covering it costs), or with --backtest the history grid,
// its memo line and the line of the comparison with chance.
#include "cli/cli.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "pickers/four_step_picker.h"
#include "pickers/interval_picker.h"
#include "pickers/intimate_picker.h"
#include "pickers/stem_branch_picker.h"

#include <optional>

namespace lumaro::cli {

namespace {

const QString kUsage
    = QStringLiteral("pick NAME interval|intimate|stembranch|fourstep [--target PERIOD|next] [--backtest]\n"
                     "  interval:   [--interval L] [--count K]\n"
                     "  intimate:   [--per-position] [--count K] [--stop S|all]\n"
                     "  stembranch: [--extra]\n"
                     "  fourstep:   [--l1 N] [--l2 N] [--l3 N] [--l4 N]");

// Which options belong to which method; any other method refuses them.
struct MethodOption {
    const char *option;
    const char *method;
};
constexpr MethodOption kMethodOptions[] = {
    {"interval", "interval"},
    {"per-position", "intimate"},
    {"stop", "intimate"},
    {"extra", "stembranch"},
    {"l1", "fourstep"},
    {"l2", "fourstep"},
    {"l3", "fourstep"},
    {"l4", "fourstep"},
};

// The index of the target period among the combo items (the draws and the coming period).
int TargetIndex(const OpenLottery &lottery, const QString &text)
{
    const QStringList periods = TargetPeriods(lottery.drawTable);
    if (periods.isEmpty())
        throw InputError(NoDrawsMessage());
    if (text.isEmpty() || text == QLatin1String("next"))
        return static_cast<int>(periods.size()) - 1;
    bool ok = false;
    const qint64 wanted = text.trimmed().toLongLong(&ok);
    if (ok) {
        for (int i = 0; i < periods.size(); ++i) {
            if (periods[i].toLongLong() == wanted)
                return i;
        }
    }
    throw InputError(QStringLiteral("没有第%1期！").arg(text));
}

void PrintBacktest(QTextStream &out, const BacktestResult &result)
{
    out << "记录期号\t开奖号码\t投注号码\t中奖个数\n";
    for (const BacktestRow &row : result.rows)
        out << row.period << '\t' << row.drawn << '\t' << row.proposed << '\t' << row.hits << '\n';
    out << result.memo << '\n';
    const QString chance = ChanceLine(result.chance);
    if (!chance.isEmpty())
        out << chance << '\n';
}

int Pick(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addPositionalArgument(QStringLiteral("METHOD"), QStringLiteral("interval|intimate|stembranch|fourstep"));
    parser.addOptions({
        {QStringLiteral("target"), QStringLiteral("目前投注期：期号，或 next（下一期，默认）"),
            QStringLiteral("PERIOD")},
        {QStringLiteral("backtest"), QStringLiteral("历史统计：输出历史中奖表、统计结果和随机对照")},
        {QStringLiteral("interval"), QStringLiteral("间隔期数（1-20，默认 5）"), QStringLiteral("L")},
        {QStringLiteral("count"),
            QStringLiteral("选号个数（interval，默认 2M）；总体号码数或各位号码数（intimate，默认 N div 2，"
                           "--per-position 时默认 1）"),
            QStringLiteral("K")},
        {QStringLiteral("per-position"), QStringLiteral("各个位置（默认总体位置）")},
        {QStringLiteral("stop"), QStringLiteral("阶段次数（默认 7；0 或 all 为全部期数）"), QStringLiteral("S")},
        {QStringLiteral("extra"), QStringLiteral("附加（默认标准）")},
        {QStringLiteral("l1"), QStringLiteral("第一步：最近期数（默认 40，历史不足 40 期时为全部期数）"),
            QStringLiteral("N")},
        {QStringLiteral("l2"), QStringLiteral("第二步：期以上未出号（1-5，默认 1）"), QStringLiteral("N")},
        {QStringLiteral("l3"), QStringLiteral("第三步：最近期数未出3连号（1-10，默认 10）"), QStringLiteral("N")},
        {QStringLiteral("l4"), QStringLiteral("第四步：最近期数相对活跃冷码（1-10，默认 10）"), QStringLiteral("N")},
    });
    if (!ParseArguments(context, parser, args, kUsage, 2, 2))
        return 0;
    const QStringList positional = parser.positionalArguments();
    const QString method = positional[1];
    if (method != QLatin1String("interval") && method != QLatin1String("intimate")
        && method != QLatin1String("stembranch") && method != QLatin1String("fourstep"))
        throw UsageError(QStringLiteral("未知的选号方法：%1。用法：lumaro-cli %2").arg(method, kUsage));
    for (const MethodOption &entry : kMethodOptions) {
        if (parser.isSet(QString::fromUtf8(entry.option)) && method != QLatin1String(entry.method))
            throw UsageError(
                QStringLiteral("--%1 只用于 %2").arg(QString::fromUtf8(entry.option), QString::fromUtf8(entry.method)));
    }
    if (parser.isSet(QStringLiteral("count")) && method != QLatin1String("interval")
        && method != QLatin1String("intimate"))
        throw UsageError(QStringLiteral("--count 只用于 interval 和 intimate"));

    OpenLottery lottery;
    lottery.open(context.store(), positional[0]);
    const DrawTable &draws = lottery.drawTable;
    const NumberRange range = NumberRangeOf(lottery);
    const bool backtest = parser.isSet(QStringLiteral("backtest"));
    QTextStream &out = context.out();
    // The target is needed for a proposal only; a back-test covers the whole history.
    auto target = [&] { return TargetIndex(lottery, parser.value(QStringLiteral("target"))); };
    auto targetText = [&](int index) { return TargetPeriods(draws)[index]; };
    auto proposalLine = [&](int index, const QString &numbersText, std::size_t size) -> QString {
        return ProposalLine(targetText(index), numbersText)
            + RangeCoverageText(range, static_cast<int>(size), lottery.m);
    };

    if (method == QLatin1String("interval")) {
        IntervalSettings settings;
        settings.interval = OptionalInteger(parser, QStringLiteral("interval")).value_or(5);
        settings.count
            = OptionalInteger(parser, QStringLiteral("count")).value_or(std::min(2 * lottery.m, range.count()));
        const IntervalPicker picker(draws, range);
        if (backtest) {
            PrintBacktest(out, picker.backtest(settings));
        } else {
            const int t = target();
            const std::vector<int> proposal = picker.propose(t, settings);
            out << proposalLine(t, PaddedNumbers(proposal), proposal.size()) << '\n';
        }
    } else if (method == QLatin1String("intimate")) {
        IntimateSettings settings;
        settings.perPosition = parser.isSet(QStringLiteral("per-position"));
        settings.count
            = OptionalInteger(parser, QStringLiteral("count")).value_or(settings.perPosition ? 1 : range.count() / 2);
        const QString stop = parser.value(QStringLiteral("stop"));
        if (stop == QLatin1String("all") || stop == QStringLiteral("全部期数"))
            settings.stop = 0;
        else
            settings.stop = OptionalInteger(parser, QStringLiteral("stop")).value_or(7);
        const IntimatePicker picker(draws, range);
        if (backtest) {
            PrintBacktest(out, picker.backtest(settings));
        } else {
            const int t = target();
            const std::vector<int> proposal = picker.propose(t, settings).numbers;
            out << proposalLine(t, PlainNumbers(proposal), proposal.size()) << '\n';
        }
    } else if (method == QLatin1String("stembranch")) {
        const bool extra = parser.isSet(QStringLiteral("extra"));
        if (backtest) {
            PrintBacktest(out, StemBranchBacktest(draws, lottery.drawDates, range, extra));
        } else {
            const int t = target();
            const std::optional<QDate> date = TargetDate(lottery.name, lottery.drawDates, t);
            if (!date)
                throw InputError(QStringLiteral("请输入正确的开奖日期！"));
            const StemBranch day = StemBranchOf(*date);
            const DigitFlags digits = SelectDigits(day.stem, day.branch, extra);
            const std::vector<int> proposal = StemBranchProposal(digits, range);
            out << proposalLine(t, PlainNumbers(proposal), proposal.size()) << '\n';
        }
    } else {
        FourStepSettings settings;
        settings.longWindow = OptionalInteger(parser, QStringLiteral("l1"))
                                  .value_or(FourStepPicker::defaultLongWindow(draws.rowCount()));
        settings.rest2 = OptionalInteger(parser, QStringLiteral("l2")).value_or(settings.rest2);
        settings.rest3 = OptionalInteger(parser, QStringLiteral("l3")).value_or(settings.rest3);
        settings.recent4 = OptionalInteger(parser, QStringLiteral("l4")).value_or(settings.recent4);
        const FourStepPicker picker(draws, range);
        if (backtest) {
            PrintBacktest(out, picker.backtest(settings));
        } else {
            const int t = target();
            const FourStepProposal proposal = picker.propose(t, settings);
            out << "第一步：" << proposal.step1Text() << '\n'
                << "第二步：" << proposal.step2Text() << '\n'
                << "第三步：" << proposal.step3Text() << '\n'
                << "第四步：" << proposal.step4Text() << '\n'
                << proposalLine(t, proposal.finalText(), proposal.numbers.size()) << '\n';
        }
    }
    return 0;
}

[[maybe_unused]] const bool registered = RegisterCommand({"pick", "最优选号与历史统计 / optimal pickers", Pick});

} // namespace

} // namespace lumaro::cli
