#include "invest/u_gudingjihua.h"

#include "common/errors.h"
#include "invest/money.h"
#include "shell/error_display.h"

#include <QLineEdit>
#include <QPushButton>

namespace lumaro {

namespace {

PlanSettings ReadPlanSettings(const QLineEdit *prekui, const QLineEdit *lirun, const QLineEdit *inofsin,
    const QLineEdit *outofsin, const QLineEdit *days)
{
    PlanSettings s;
    s.priorLoss = ToMoneyNotNegative(prekui->text(), QStringLiteral("前期亏损"));
    s.profit = ToMoneyNotNegative(lirun->text(), QStringLiteral("预期利润"));
    s.unitStake = ToMoneyNotNegative(inofsin->text(), QStringLiteral("单倍投入"));
    s.unitPrize = ToMoneyNotNegative(outofsin->text(), QStringLiteral("单注奖金"));
    s.periods = ToInteger(days->text());
    CheckPlanPeriods(s.periods);
    return s;
}

} // namespace

LoadedPlan LoadedPlanRows(const PlanFileContent &content, qint64 periods)
{
    LoadedPlan plan;
    plan.table.assign(static_cast<std::size_t>(periods), PlanRow {});
    plan.grid.assign(static_cast<std::size_t>(periods), QStringList());
    for (std::size_t r = 0; r < content.rows.size() && r < plan.table.size(); ++r) {
        for (std::size_t c = 0; c < plan.table[r].size() && c < content.rows[r].size(); ++c)
            plan.table[r][c] = content.rows[r][c];
        plan.grid[r] = content.rowTexts[r];
    }
    return plan;
}

StakePlanWindow::StakePlanWindow(AppContext &context, QWidget *parent, bool staged)
    : PlanWindow(context, parent, staged ? QStringLiteral("阶段计划投资") : QStringLiteral("固定计划投资"),
        staged ? QStringLiteral("阶段投资计划表.txt") : QStringLiteral("固定投资计划表.txt"))
    , m_staged(staged)
{
    m_edtprekui = addField("edtprekui", QStringLiteral("前期亏损："), QStringLiteral("0"));
    m_edtlirun = addField("edtlirun", QStringLiteral("预期利润："), QStringLiteral("10"));
    m_edtinofsin = addField("edtinofsin", QStringLiteral("单倍投入："), QStringLiteral("16"));
    m_edtoutofsin = addField("edtoutofsin", QStringLiteral("单注奖金："), QStringLiteral("1000"));
    m_edtdays = addField("edtdays", QStringLiteral("投注期数："), QStringLiteral("80"));
    if (staged)
        m_edtjieduan = addField("edtjieduan", QStringLiteral("阶段次数："), QStringLiteral("10"));
    auto *btnala = addButton("btnala", QStringLiteral("生成计划"));
    btnala->setDefault(true);
    auto *btnsave = addButton("btnsave", QStringLiteral("保存"));
    auto *btnload = addButton("btnload", QStringLiteral("载入"));
    auto *btnprint = addButton("btnprint", QStringLiteral("打印"));
    auto *btnclose = addButton("btnclose", QStringLiteral("关闭"));
    finishColumn();
    setGrid(PlanHeaders(), {});

    connect(btnala, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnalaClick(); }); });
    connect(btnsave, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnsaveClick(); }); });
    connect(btnload, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnloadClick(); }); });
    connect(btnprint, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnprintClick(); }); });
    connect(btnclose, &QPushButton::clicked, this, &QWidget::close);
    // 单倍投入 buys the tickets the default chance counts.
    connect(m_edtinofsin, &QLineEdit::textChanged, this, [this] { refreshRisk(); });
}

std::vector<PlanPeriodMoney> StakePlanWindow::planMoney(double chance) const
{
    // A load pads a short file with empty rows up to 投注期数; the plan ends where its rows do.
    std::vector<PlanRow> rows;
    for (std::size_t r = 0; r < m_table.size() && r < gridRows().size() && !gridRows()[r].isEmpty(); ++r)
        rows.push_back(m_table[r]);
    return PlanMoney(rows, chance);
}

qint64 StakePlanWindow::chanceTickets() const
{
    bool ok = false;
    const qint64 unit = m_edtinofsin->text().trimmed().toLongLong(&ok);
    return ok && unit > 0 ? unit / kTicketPrice : 0;
}

void StakePlanWindow::btnalaClick()
{
    checkChance();
    const PlanSettings settings = ReadPlanSettings(m_edtprekui, m_edtlirun, m_edtinofsin, m_edtoutofsin, m_edtdays);
    PlanResult result = m_staged ? StagedPlan(settings, ToMoney(m_edtjieduan->text())) : FixedPlan(settings);
    if (!result.ok) {
        warn(MultipleTooLargeText());
        return;
    }
    m_table = std::move(result.rows);
    setGrid(PlanHeaders(), PlanCellTexts(m_table));
    announce(QStringLiteral("平均每期净利润为:%1").arg(*PlanAverage(m_table, PlanNet, settings.periods)));
}

void StakePlanWindow::btnsaveClick()
{
    if (savePlan())
        announce(QStringLiteral("成功保存！"));
}

void StakePlanWindow::btnloadClick()
{
    const QString path = askOpenFile();
    if (path.isEmpty())
        return;
    const PlanFileContent content = ReadPlanFile(path, m_staged ? 6 : 5, 7, 4);
    setFieldTexts(content.fields);
    const qint64 periods = ToInteger(content.fields[4]);
    CheckPlanPeriods(periods);
    LoadedPlan plan = LoadedPlanRows(content, periods);
    m_table = std::move(plan.table);
    QStringList headers = PlanHeaders();
    if (!m_staged)
        headers[0] = QStringLiteral("投注时间");
    setGrid(headers, std::move(plan.grid));
    if (content.extraRows > 0)
        warn(QStringLiteral("文件中的计划多于投注期数，后%1行未载入！").arg(content.extraRows));
    if (content.failed) {
        // The fixed plan names the count of rows read; the staged plan ends with the conversion
        // error. In both the rows read so far stay.
        if (m_staged)
            throw ConversionError::notInteger(content.failedText);
        announce(QString::number(content.rows.size()));
    }
    // The mean of 当期净利润, the figure generation announced for the same plan; the load keeps
    // its own wording.
    announce(QStringLiteral("平均每期中奖金额为:%1").arg(*PlanAverage(m_table, PlanNet, periods)));
}

void StakePlanWindow::btnprintClick()
{
    QStringList labels {QStringLiteral("前期亏损:"), QStringLiteral("预测利润:"), QStringLiteral("单倍投入:"),
        QStringLiteral("单注奖金:"), QStringLiteral("投注天数:")};
    if (m_staged)
        labels << QStringLiteral("阶段次数:");
    printPlan(m_staged ? QStringLiteral("阶段投资计划表") : QStringLiteral("固定投资计划表"), labels,
        m_staged ? QStringLiteral(" ") : QStringLiteral("  "));
}

} // namespace lumaro
