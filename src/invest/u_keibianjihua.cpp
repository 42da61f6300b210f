#include "invest/u_keibianjihua.h"

#include "common/errors.h"
#include "invest/money.h"
#include "invest/plan_file.h"
#include "shell/error_display.h"

#include <QLineEdit>
#include <QPushButton>

namespace lumaro {

namespace {

QString NewCaption()
{
    return QStringLiteral("新建");
}

} // namespace

Tfrmkeibianjihua::Tfrmkeibianjihua(AppContext &context, QWidget *parent)
    : PlanWindow(context, parent, QStringLiteral("可变投资计划"), QStringLiteral("可变投资计划表.txt"))
{
    m_edtprekui = addField("edtprekui", QStringLiteral("前期亏损："), QStringLiteral("0"));
    m_edtlirun = addField("edtlirun", QStringLiteral("预期利润："), QStringLiteral("10"));
    m_edtinofsin = addField("edtinofsin", QStringLiteral("单倍投入："), QStringLiteral("16"));
    m_edtoutofsin = addField("edtoutofsin", QStringLiteral("单注奖金："), QStringLiteral("1000"));
    m_edtdays = addField("edtdays", QStringLiteral("投注期数："), QStringLiteral("80"));
    m_edtjushu = addField("edtjushu", QStringLiteral("本期注数："), QStringLiteral("8"));
    m_btnjisuan = addButton("btnjisuan", QStringLiteral("添加本期计划"));
    m_btnjisuan->setEnabled(false);
    m_btnnew = addButton("btnnew", NewCaption());
    m_btnsave = addButton("btnsave", QStringLiteral("保存"));
    m_btnload = addButton("btnload", QStringLiteral("载入"));
    m_btnload->setDefault(true);
    m_btnprint = addButton("btnprint", QStringLiteral("打印"));
    m_btnclose = addButton("btnclose", QStringLiteral("关闭"));
    finishColumn();
    setGrid(VariablePlanHeaders(), {});
    setChancePerTicket();

    connect(m_btnjisuan, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnjisuanClick(); }); });
    connect(m_btnnew, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnnewClick(); }); });
    connect(m_btnsave, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnsaveClick(); }); });
    connect(m_btnload, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnloadClick(); }); });
    connect(m_btnprint, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnprintClick(); }); });
    connect(m_btnclose, &QPushButton::clicked, this, &QWidget::close);
}

std::vector<PlanPeriodMoney> Tfrmkeibianjihua::planMoney(double chance) const
{
    return PlanMoney(m_plan.rows(), chance);
}

bool Tfrmkeibianjihua::building() const
{
    return m_btnnew->text() != NewCaption();
}

void Tfrmkeibianjihua::showPlan()
{
    setGrid(VariablePlanHeaders(), PlanCellTexts(m_plan.rows()));
}

void Tfrmkeibianjihua::announceAverage()
{
    if (const auto average = PlanAverage(m_plan.rows(), VariableNet, m_plan.periodCount()))
        announce(QStringLiteral("平均每期净利润为:%1").arg(*average));
}

void Tfrmkeibianjihua::btnnewClick()
{
    const bool start = !building();
    m_btnnew->setText(start ? QStringLiteral("取消保存") : NewCaption());
    m_plan.clear();
    showPlan();
    m_btnjisuan->setEnabled(start);
    m_btnload->setEnabled(!start);
    m_btnprint->setEnabled(!start);
    m_btnclose->setEnabled(!start);
    if (!start)
        m_btnsave->setEnabled(true);
}

void Tfrmkeibianjihua::btnjisuanClick()
{
    checkChance();
    PlanSettings settings;
    settings.periods = ToInteger(m_edtdays->text());
    CheckPlanPeriods(settings.periods);
    if (m_plan.periodCount() >= settings.periods) {
        announce(QStringLiteral("投资期限已满%1天!").arg(settings.periods));
        return;
    }
    settings.priorLoss = ToMoneyNotNegative(m_edtprekui->text(), QStringLiteral("前期亏损"));
    settings.profit = ToMoneyNotNegative(m_edtlirun->text(), QStringLiteral("预期利润"));
    settings.unitPrize = ToMoneyNotNegative(m_edtoutofsin->text(), QStringLiteral("单注奖金"));
    const int tickets = ToInteger(m_edtjushu->text());
    if (tickets < 0)
        throw InputError(QStringLiteral("本期注数不能为负数！"));
    // A failed addition adds no row, so the next addition starts from the same period again.
    if (m_plan.add(settings, tickets) == VariablePlan::AddOutcome::MultipleTooLarge) {
        warn(MultipleTooLargeText());
        return;
    }
    showPlan();
    announceAverage();
}

void Tfrmkeibianjihua::btnsaveClick()
{
    if (!savePlan())
        return;
    m_btnnew->setText(NewCaption());
    m_btnload->setEnabled(true);
    m_btnprint->setEnabled(true);
    m_btnclose->setEnabled(true);
    announce(QStringLiteral("成功保存！"));
}

void Tfrmkeibianjihua::btnloadClick()
{
    const QString path = askOpenFile();
    if (path.isEmpty())
        return;
    const PlanFileContent content = ReadPlanFile(path, 6, 8, 4);
    setFieldTexts(content.fields);
    std::vector<VariablePlanRow> rows;
    for (const std::vector<qint64> &values : content.rows) {
        VariablePlanRow row {};
        std::copy_n(values.begin(), row.size(), row.begin());
        rows.push_back(row);
    }
    m_plan.setRows(std::move(rows));
    setGrid(VariablePlanHeaders(), content.rowTexts);
    m_btnnew->setText(QStringLiteral("取消保存"));
    m_btnjisuan->setEnabled(true);
    if (content.extraRows > 0)
        warn(QStringLiteral("文件中的计划多于投注期数，后%1行未载入！").arg(content.extraRows));
    if (content.failed)
        throw ConversionError::notInteger(content.failedText);
    announceAverage();
}

void Tfrmkeibianjihua::btnprintClick()
{
    printPlan(QStringLiteral("可变投资计划表"),
        {QStringLiteral("前期亏损:"), QStringLiteral("预测利润:"), QStringLiteral("单倍投入:"),
            QStringLiteral("单注奖金:"), QStringLiteral("投注天数:"), QStringLiteral("本期注数:")},
        QStringLiteral(" "));
}

} // namespace lumaro
