// Investment commands: the three money plans and the investment mode analysis.
#include "cli/cli.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "invest/invest_files.h"
#include "invest/investment_plan.h"
#include "invest/investment_search.h"
#include "invest/money.h"
#include "invest/plan_risk.h"
#include "invest/report_pdf.h"

namespace lumaro::cli {

namespace {

template<std::size_t Width>
void PrintTable(QTextStream &out, const QStringList &headers, const std::vector<std::array<qint64, Width>> &rows)
{
    out << headers.join(QLatin1Char('\t')) << '\n';
    for (const QStringList &cells : PlanCellTexts(rows))
        out << cells.join(QLatin1Char('\t')) << '\n';
}

int Plan(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(
        QStringLiteral("KIND"), QStringLiteral("fixed（固定）、staged（阶段）或 variable（可变）"));
    parser.addOptions({
        {QStringLiteral("loss"), QStringLiteral("前期亏损（默认 0）"), QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("profit"), QStringLiteral("预期利润（默认 10）"), QStringLiteral("N"), QStringLiteral("10")},
        {QStringLiteral("unit"), QStringLiteral("单倍投入（默认 16）"), QStringLiteral("N"), QStringLiteral("16")},
        {QStringLiteral("prize"), QStringLiteral("单注奖金（默认 1000）"), QStringLiteral("N"), QStringLiteral("1000")},
        {QStringLiteral("periods"), QStringLiteral("投注期数（默认 80）"), QStringLiteral("D"), QStringLiteral("80")},
        {QStringLiteral("stages"), QStringLiteral("阶段次数，阶段计划用（默认 10）"), QStringLiteral("K"),
            QStringLiteral("10")},
        {QStringLiteral("tickets"), QStringLiteral("每期注数，可变计划用，每个数添加一期（默认 8）"),
            QStringLiteral("t1,t2,…"), QStringLiteral("8")},
        {QStringLiteral("pdf"), QStringLiteral("把计划表打印到 PDF 文件"), QStringLiteral("FILE")},
        {QStringLiteral("chance"),
            QStringLiteral("中奖概率，小数或百分数：固定和阶段计划为每期，可变计划为每注（默认由彩票得出）"),
            QStringLiteral("P")},
        {QStringLiteral("lottery"), QStringLiteral("由此彩票的头奖得出默认中奖概率（默认三位数字直选，1000 种）"),
            QStringLiteral("NAME")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("plan fixed|staged|variable [--loss N] [--profit N] [--unit N] [--prize N] [--periods D] "
                           "[--stages K] [--tickets t1,t2,…] [--chance P] [--lottery NAME] [--pdf FILE]"),
            1, 1))
        return 0;
    const QString kind = parser.positionalArguments().front();
    if (kind != QLatin1String("fixed") && kind != QLatin1String("staged") && kind != QLatin1String("variable"))
        throw UsageError(QStringLiteral("计划种类只能是 fixed、staged 或 variable"));

    PlanSettings settings;
    // The money boxes of the plan windows: none of them takes a negative amount.
    settings.priorLoss = MoneyOption(parser, QStringLiteral("loss"), QStringLiteral("前期亏损"));
    settings.profit = MoneyOption(parser, QStringLiteral("profit"), QStringLiteral("预期利润"));
    settings.unitStake = MoneyOption(parser, QStringLiteral("unit"), QStringLiteral("单倍投入"));
    settings.unitPrize = MoneyOption(parser, QStringLiteral("prize"), QStringLiteral("单注奖金"));
    settings.periods = IntegerOption(parser, QStringLiteral("periods"));

    QStringList labels {QStringLiteral("前期亏损:"), QStringLiteral("预测利润:"), QStringLiteral("单倍投入:"),
        QStringLiteral("单注奖金:"), QStringLiteral("投注天数:")};
    QStringList values {parser.value(QStringLiteral("loss")), parser.value(QStringLiteral("profit")),
        parser.value(QStringLiteral("unit")), parser.value(QStringLiteral("prize")),
        parser.value(QStringLiteral("periods"))};
    PlanReport report;
    QString separator = QStringLiteral(" ");
    std::optional<qint64> average;
    QTextStream &out = context.out();

    // The chance of a win: typed, or one ticket's share of the lottery's top-prize outcomes.
    qint64 outcomes = kDefaultPlanOutcomes;
    if (parser.isSet(QStringLiteral("lottery"))) {
        OpenLottery lottery;
        lottery.open(context.store(), parser.value(QStringLiteral("lottery")));
        outcomes = PlanOutcomes(lottery.kind, lottery.n, lottery.m);
    }
    const bool variablePlan = kind == QLatin1String("variable");
    const QString chanceCaption = variablePlan ? TicketChanceCaption() : PeriodChanceCaption();
    const double chance = parser.isSet(QStringLiteral("chance"))
        ? ParseChance(parser.value(QStringLiteral("chance")), chanceCaption.chopped(1))
        : TicketsChance(variablePlan ? 1 : settings.unitStake / kTicketPrice, outcomes);
    std::vector<PlanPeriodMoney> money;

    if (kind == QLatin1String("variable")) {
        VariablePlan variable;
        const QStringList counts = parser.value(QStringLiteral("tickets")).split(QLatin1Char(','));
        for (const QString &count : counts) {
            bool ok = false;
            const int tickets = count.trimmed().toInt(&ok);
            if (!ok || tickets < 0)
                throw UsageError(QStringLiteral("--tickets 的值“%1”不是注数").arg(count));
            const VariablePlan::AddOutcome outcome = variable.add(settings, tickets);
            if (outcome == VariablePlan::AddOutcome::Full)
                throw InputError(QStringLiteral("投资期限已满%1天!").arg(settings.periods));
            if (outcome == VariablePlan::AddOutcome::MultipleTooLarge)
                throw InputError(MultipleTooLargeText());
        }
        PrintTable(out, VariablePlanHeaders(), variable.rows());
        money = PlanMoney(variable.rows(), chance);
        average = PlanAverage(variable.rows(), VariableNet, variable.periodCount());
        report = {QStringLiteral("可变投资计划表"), QString(), VariablePlanHeaders(), PlanCellTexts(variable.rows())};
        labels << QStringLiteral("本期注数:");
        values << counts.back().trimmed();
    } else {
        CheckPlanPeriods(settings.periods);
        const bool staged = kind == QLatin1String("staged");
        const PlanResult result
            = staged ? StagedPlan(settings, WholeOption(parser, QStringLiteral("stages"))) : FixedPlan(settings);
        if (!result.ok)
            throw InputError(MultipleTooLargeText());
        PrintTable(out, PlanHeaders(), result.rows);
        money = PlanMoney(result.rows, chance);
        average = PlanAverage(result.rows, PlanNet, settings.periods);
        report = {staged ? QStringLiteral("阶段投资计划表") : QStringLiteral("固定投资计划表"), QString(),
            PlanHeaders(), PlanCellTexts(result.rows)};
        if (staged) {
            labels << QStringLiteral("阶段次数:");
            values << parser.value(QStringLiteral("stages"));
        } else {
            separator = QStringLiteral("  ");
        }
    }
    if (average)
        out << "平均每期净利润为:" << *average << '\n';
    out << chanceCaption << ChanceText(chance) << '\n';
    for (const PlanRiskFigure &figure : PlanRiskFigures(PlanRiskOf(money)))
        out << figure.caption << figure.value << '\n';

    if (parser.isSet(QStringLiteral("pdf"))) {
        report.info = PlanInfoLine(labels, values, separator, QDate::currentDate());
        WriteReportPdf(parser.value(QStringLiteral("pdf")), [&](int width, int height, const TextWidthFn &measure) {
            return PlanReportLayout(report, width, height, measure);
        });
        context.err() << "成功保存！" << parser.value(QStringLiteral("pdf")) << '\n';
    }
    return 0;
}

int Invest(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("三位数字型彩票，例如 福彩3D"));
    parser.addOptions({
        {QStringLiteral("tickets"), QStringLiteral("投资模式投注号码文件"), QStringLiteral("FILE")},
        {QStringLiteral("random"), QStringLiteral("随机生成 N 注号码"), QStringLiteral("N")},
        {QStringLiteral("seed"), QStringLiteral("随机数种子"), QStringLiteral("S"), QStringLiteral("1")},
        {QStringLiteral("play"), QStringLiteral("玩法：0 直选，1 全组选，2 组选3，3 组选6"), QStringLiteral("0..3"),
            QStringLiteral("0")},
        {QStringLiteral("prize"), QStringLiteral("单注奖金（默认 1000）"), QStringLiteral("Z"), QStringLiteral("1000")},
        {QStringLiteral("profit"), QStringLiteral("预期利润(%)（默认 10）"), QStringLiteral("P"), QStringLiteral("10")},
        {QStringLiteral("single-max"), QStringLiteral("单期最大投入（默认 1000000）"), QStringLiteral("S"),
            QStringLiteral("1000000")},
        {QStringLiteral("total-max"), QStringLiteral("累计最大投入（默认 1000000）"), QStringLiteral("T"),
            QStringLiteral("1000000")},
        {QStringLiteral("wait"), QStringLiteral("中出后间隔期数 0..50（默认 0）"), QStringLiteral("W"),
            QStringLiteral("0")},
        {QStringLiteral("bet"), QStringLiteral("连续投入期数 1..50（默认 1）"), QStringLiteral("Q"),
            QStringLiteral("1")},
        {QStringLiteral("gap"), QStringLiteral("观察间隔数 1..100（默认 1）"), QStringLiteral("G"),
            QStringLiteral("1")},
        {QStringLiteral("streak"), QStringLiteral("观察间隔连续次数 1..10（默认 1）"), QStringLiteral("K"),
            QStringLiteral("1")},
        {QStringLiteral("no-interval"), QStringLiteral("不用间隔模式")},
        {QStringLiteral("no-carry"), QStringLiteral("不用预计亏损")},
        {QStringLiteral("search"), QStringLiteral("搜索最好的观察间隔连续次数、中出后间隔期数和连续投入期数")},
        {QStringLiteral("search-part"), QStringLiteral("只在前 P% 的开奖上搜索（10..90），再用最佳设置检验后面的开奖"),
            QStringLiteral("P")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("invest NAME (--tickets FILE | --random N --seed S) [--play 0..3] [--prize Z] [--profit P] "
                           "[--single-max S] [--total-max T] [--wait W] [--bet Q] [--gap G] [--streak K] "
                           "[--no-interval] [--no-carry] [--search [--search-part P]]"),
            1, 1))
        return 0;
    if (parser.isSet(QStringLiteral("tickets")) == parser.isSet(QStringLiteral("random")))
        throw UsageError(QStringLiteral("请给出 --tickets FILE 或 --random N 之一"));

    OpenLottery lottery;
    lottery.open(context.store(), parser.positionalArguments().front());
    CheckInvestLottery(lottery);
    PlayType play = PlayTypeFromIndex(ChoiceOption(parser, QStringLiteral("play"), 0, 3));
    std::vector<BetTicket> tickets;
    if (parser.isSet(QStringLiteral("tickets"))) {
        const InvestTicketsRead read = ParseInvestTickets(ReadTextLines(parser.value(QStringLiteral("tickets"))));
        if (!parser.isSet(QStringLiteral("play")))
            play = read.play;
        tickets = read.tickets;
        if (read.extraLines > 0)
            context.err() << "文件中的号码多于注数" << read.count << "，后" << read.extraLines << "行未载入！\n";
    } else {
        RandomSource random(SeedOption(parser));
        tickets = GenerateBetTickets(play, IntegerOption(parser, QStringLiteral("random")), random);
    }
    if (tickets.empty())
        throw InputError(QStringLiteral("请生成号码！"));

    InvestSettings s;
    s.tickets = static_cast<int>(tickets.size());
    s.prize = MoneyOption(parser, QStringLiteral("prize"), QStringLiteral("单注奖金"));
    s.profitPercent = MoneyOption(parser, QStringLiteral("profit"), QStringLiteral("预期利润"));
    s.singleMax = MoneyOption(parser, QStringLiteral("single-max"), QStringLiteral("单期最大投入"));
    s.totalMax = MoneyOption(parser, QStringLiteral("total-max"), QStringLiteral("累计最大投入"));
    s.wait = ChoiceOption(parser, QStringLiteral("wait"), 0, kWaitItems - 1);
    s.bets = ChoiceOption(parser, QStringLiteral("bet"), 1, kBetItems);
    s.gap = ChoiceOption(parser, QStringLiteral("gap"), 1, kGapItems);
    s.streak = ChoiceOption(parser, QStringLiteral("streak"), 1, kStreakItems);
    s.intervalMode = !parser.isSet(QStringLiteral("no-interval"));
    s.carryLoss = !parser.isSet(QStringLiteral("no-carry"));

    if (parser.isSet(QStringLiteral("search-part")) && !parser.isSet(QStringLiteral("search")))
        throw UsageError(QStringLiteral("--search-part 只与 --search 一起使用"));

    const HitGapTable table = BuildHitGapTable(lottery, play, tickets);
    const HitHistory history(table);
    QTextStream &out = context.out();
    QString searchNote;
    if (parser.isSet(QStringLiteral("search-part"))) {
        const HeldOutSearch held = RunHeldOutSearch(table, s, IntegerOption(parser, QStringLiteral("search-part")));
        s = held.bestSettings;
        searchNote = HeldOutSearchText(held);
    } else if (parser.isSet(QStringLiteral("search"))) {
        const SearchResult best = RunInvestmentSearch(history, s);
        s = SearchTrialSettings(
            s, (best.bestSepNumIndex * kWaitItems + best.bestTozisepIndex) * kBetItems + best.bestTozirepIndex);
        searchNote = SearchInSampleNote();
    }
    if (parser.isSet(QStringLiteral("search"))) {
        out << "观察间隔连续次数：" << (s.intervalMode ? s.streak : 1) << '\n'
            << "中出后间隔期数：" << s.wait << '\n'
            << "连续投入期数：" << s.bets << '\n';
    }
    const AnalysisResult result = RunInvestmentAnalysis(history, s);
    out << CycleResultHeaders().join(QLatin1Char('\t')) << '\n';
    for (const CycleResult &row : result.rows) {
        QStringList cells;
        for (qint64 value : row.values)
            cells << QString::number(value);
        out << cells.join(QLatin1Char('\t')) << '\n';
    }
    out << "总体赢余：" << result.totalGain << '\n';
    if (!searchNote.isEmpty())
        out << searchNote << '\n';
    if (!result.abortMessage().isEmpty())
        context.err() << result.abortMessage() << '\n';
    return 0;
}

[[maybe_unused]] const bool registered
    = RegisterCommand({"plan", "投资计划 / money plans (fixed, staged, variable)", Plan})
    && RegisterCommand({"invest", "投资模式分析 / investment mode analysis of a three-digit game", Invest});

} // namespace

} // namespace lumaro::cli
