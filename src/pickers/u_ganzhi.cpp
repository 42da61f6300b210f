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

PickerFrame::Options ganzhiOptions()
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
    : PickerFrame(context, parent, ganzhiOptions())
    , edtdate(NewField(this, "edtdate"))
    , edttiangan(NewField(this, "edttiangan"))
    , edtdizhi(NewField(this, "edtdizhi"))
    , optadd(
          new RadioGroup(QStringLiteral("optadd"), {QStringLiteral("标准"), QStringLiteral("附加")}, kStandard, this))
{
    // The date and its stem and branch are shown, never typed.
    for (QLineEdit *box : {edtdate, edttiangan, edtdizhi})
        box->setReadOnly(true);
    edtdate->setFixedWidth(110);
    edttiangan->setFixedWidth(40);
    edtdizhi->setFixedWidth(40);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("开奖日期："), this));
    row->addWidget(edtdate);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("天干："), this));
    row->addWidget(edttiangan);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("地支："), this));
    row->addWidget(edtdizhi);
    row->addSpacing(12);
    row->addWidget(optadd);
    row->addStretch(1);
    settingsLayout()->addLayout(row);

    connect(comcurqi, &QComboBox::currentIndexChanged, this, &Tfrmganzhi::comcurqiChange);
    comcurqiChange();
    runTongji();
}

bool Tfrmganzhi::extra() const
{
    return optadd->itemIndex() == kExtra;
}

void Tfrmganzhi::comcurqiChange()
{
    const std::optional<QDate> date = targetDate(lottery().name, lottery().drawDates, target());
    m_date = date.value_or(QDate());
    if (!date) {
        edtdate->clear();
        edttiangan->clear();
        edtdizhi->clear();
        return;
    }
    const StemBranch day = stemBranchOf(*date);
    // The short date of the program's own language (2026/4/17), whatever the system locale.
    edtdate->setText(QLocale(QLocale::Chinese, QLocale::China).toString(*date, QLocale::ShortFormat));
    edttiangan->setText(stemName(day.stem));
    edtdizhi->setText(branchName(day.branch));
}

void Tfrmganzhi::generate(int /*target*/, const QString &targetText)
{
    if (edtdate->text().isEmpty() || !m_date.isValid()) {
        dialogs::warning(this, windowTitle(), QStringLiteral("请输入正确的开奖日期！"));
        return;
    }
    int stem = stemIndex(edttiangan->text());
    int branch = branchIndex(edtdizhi->text());
    if (stem < 0 || branch < 0) {
        const StemBranch day = stemBranchOf(m_date);
        stem = day.stem;
        branch = day.branch;
    }
    const DigitFlags digits = selectDigits(stem, branch, extra());
    showProposal(targetText, plainNumbers(stemBranchProposal(digits, numberRangeOf(lottery()))));
}

PickerFrame::BacktestJob Tfrmganzhi::backtestJob()
{
    return
        [draws = lottery().drawTable, dates = lottery().drawDates, range = numberRangeOf(lottery()), extra = extra()](
            const Progress &progress) { return stemBranchBacktest(draws, dates, range, extra, progress); };
}

} // namespace lumaro
