#include "pickers/u_ganzhi.h"

#include "data/open_lottery.h"
#include "pickers/radio_group.h"
#include "pickers/stem_branch_picker.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/form_controls.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

namespace lumaro {

namespace {

constexpr int kStandard = 0;
constexpr int kExtra = 1;

PickerFrame::Options GanzhiOptions()
{
    PickerFrame::Options options;
    options.objectName = QStringLiteral("frmganzhi");
    options.caption = QStringLiteral("最优开奖干支选号");
    options.columnWidths = {55, 100, 130, 50};
    options.memoLabel = QStringLiteral("统计结果：");
    return options;
}

} // namespace

Tfrmganzhi::Tfrmganzhi(AppContext &context, QWidget *parent)
    : PickerFrame(context, parent, GanzhiOptions())
    , m_edtdate(NewField(this, "edtdate"))
    , m_edttiangan(NewField(this, "edttiangan"))
    , m_edtdizhi(NewField(this, "edtdizhi"))
    , m_optadd(
          new RadioGroup(QStringLiteral("optadd"), {QStringLiteral("标准"), QStringLiteral("附加")}, kStandard, this))
{
    // The date and its stem and branch are shown, never typed.
    for (QLineEdit *box : {m_edtdate, m_edttiangan, m_edtdizhi})
        box->setReadOnly(true);
    m_edtdate->setFixedWidth(110);
    m_edttiangan->setFixedWidth(40);
    m_edtdizhi->setFixedWidth(40);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("开奖日期："), this));
    row->addWidget(m_edtdate);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("天干："), this));
    row->addWidget(m_edttiangan);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("地支："), this));
    row->addWidget(m_edtdizhi);
    row->addSpacing(12);
    row->addWidget(m_optadd);
    row->addStretch(1);
    settingsLayout()->addLayout(row);

    connect(m_comcurqi, &QComboBox::currentIndexChanged, this, &Tfrmganzhi::comcurqiChange);
    comcurqiChange();
    runTongji();
}

bool Tfrmganzhi::extra() const
{
    return m_optadd->itemIndex() == kExtra;
}

void Tfrmganzhi::comcurqiChange()
{
    const std::optional<QDate> date = TargetDate(lottery().name, lottery().drawDates, target());
    m_date = date.value_or(QDate());
    if (!date) {
        m_edtdate->clear();
        m_edttiangan->clear();
        m_edtdizhi->clear();
        return;
    }
    const StemBranch day = StemBranchOf(*date);
    // The short date of the program's own language (2026/4/17), whatever the system locale.
    m_edtdate->setText(QLocale(QLocale::Chinese, QLocale::China).toString(*date, QLocale::ShortFormat));
    m_edttiangan->setText(StemName(day.stem));
    m_edtdizhi->setText(BranchName(day.branch));
}

void Tfrmganzhi::generate(int /*target*/, const QString &targetText)
{
    if (m_edtdate->text().isEmpty() || !m_date.isValid()) {
        dialogs::Warning(this, windowTitle(), QStringLiteral("请输入正确的开奖日期！"));
        return;
    }
    int stem = StemIndex(m_edttiangan->text());
    int branch = BranchIndex(m_edtdizhi->text());
    if (stem < 0 || branch < 0) {
        const StemBranch day = StemBranchOf(m_date);
        stem = day.stem;
        branch = day.branch;
    }
    const DigitFlags digits = SelectDigits(stem, branch, extra());
    const std::vector<int> proposal = StemBranchProposal(digits, NumberRangeOf(lottery()));
    showProposal(targetText, PlainNumbers(proposal), static_cast<int>(proposal.size()));
}

PickerFrame::BacktestJob Tfrmganzhi::backtestJob()
{
    return
        [draws = lottery().drawTable, dates = lottery().drawDates, range = NumberRangeOf(lottery()), extra = extra()](
            const Progress &progress) { return StemBranchBacktest(draws, dates, range, extra, progress); };
}

} // namespace lumaro
