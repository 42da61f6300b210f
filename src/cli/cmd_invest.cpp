// Investment commands: the three money plans.
#include "cli/cli.h"

#include "common/errors.h"
#include "invest/investment_plan.h"
#include "invest/money.h"
#include "invest/report_pdf.h"

namespace lumaro::cli {

namespace {

qint64 moneyOption(const QCommandLineParser &parser, const QString &name)
{
    try {
        return toMoney(parser.value(name));
    } catch (const ConversionError &) {
        throw UsageError(QStringLiteral("--%1 的值“%2”不是整数").arg(name, parser.value(name)));
    }
}

template<std::size_t Width>
void printTable(QTextStream &out, const QStringList &headers, const std::vector<std::array<qint64, Width>> &rows)
{
    out << headers.join(QLatin1Char('\t')) << '\n';
    for (const QStringList &cells : PlanCellTexts(rows))
        out << cells.join(QLatin1Char('\t')) << '\n';
}

int plan(Context &context, const QStringList &args)
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
    });
    if (!parseArguments(context, parser, args,
            QStringLiteral("plan fixed|staged|variable [--loss N] [--profit N] [--unit N] [--prize N] [--periods D] "
                           "[--stages K] [--tickets t1,t2,…] [--pdf FILE]"),
            1, 1))
        return 0;
    const QString kind = parser.positionalArguments().front();
    if (kind != QLatin1String("fixed") && kind != QLatin1String("staged") && kind != QLatin1String("variable"))
        throw UsageError(QStringLiteral("计划种类只能是 fixed、staged 或 variable"));

    PlanSettings settings;
    settings.priorLoss = moneyOption(parser, QStringLiteral("loss"));
    settings.profit = moneyOption(parser, QStringLiteral("profit"));
    settings.unitStake = moneyOption(parser, QStringLiteral("unit"));
    settings.unitPrize = moneyOption(parser, QStringLiteral("prize"));
    settings.periods = integerOption(parser, QStringLiteral("periods"));

    QStringList labels {QStringLiteral("前期亏损:"), QStringLiteral("预测利润:"), QStringLiteral("单倍投入:"),
        QStringLiteral("单注奖金:"), QStringLiteral("投注天数:")};
    QStringList values {parser.value(QStringLiteral("loss")), parser.value(QStringLiteral("profit")),
        parser.value(QStringLiteral("unit")), parser.value(QStringLiteral("prize")),
        parser.value(QStringLiteral("periods"))};
    PlanReport report;
    QString separator = QStringLiteral(" ");
    std::optional<qint64> average;
    QTextStream &out = context.out();

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
        printTable(out, VariablePlanHeaders(), variable.rows());
        average = PlanAverage(variable.rows(), VariableNet, variable.periodCount());
        report = {QStringLiteral("可变投资计划表"), QString(), VariablePlanHeaders(), PlanCellTexts(variable.rows())};
        labels << QStringLiteral("本期注数:");
        values << counts.back().trimmed();
    } else {
        checkPlanPeriods(settings.periods);
        const bool staged = kind == QLatin1String("staged");
        const PlanResult result
            = staged ? StagedPlan(settings, moneyOption(parser, QStringLiteral("stages"))) : FixedPlan(settings);
        if (!result.ok)
            throw InputError(MultipleTooLargeText());
        printTable(out, PlanHeaders(), result.rows);
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

    if (parser.isSet(QStringLiteral("pdf"))) {
        report.info = PlanInfoLine(labels, values, separator, QDate::currentDate());
        WriteReportPdf(parser.value(QStringLiteral("pdf")), [&](int width, int height, const TextWidthFn &measure) {
            return PlanReportLayout(report, width, height, measure);
        });
        context.err() << "成功保存！" << parser.value(QStringLiteral("pdf")) << '\n';
    }
    return 0;
}

[[maybe_unused]] const bool registered
    = registerCommand({"plan", "投资计划 / money plans (fixed, staged, variable)", plan});

} // namespace

} // namespace lumaro::cli
