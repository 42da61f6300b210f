#include "pickers/u_sibu.h"

#include "data/open_lottery.h"
#include "pickers/four_step_picker.h"
#include "shell/app_context.h"
#include "shell/form_controls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace lumaro {

namespace {

PickerFrame::Options sibuOptions()
{
    PickerFrame::Options options;
    options.objectName = QStringLiteral("frmsibu");
    options.caption = QStringLiteral("最优四步综合选号");
    options.columnWidths = {60, 100, -240, 50};
    options.proposalLabel = QStringLiteral("最终投注号码：");
    return options;
}

} // namespace

Tfrmsibu::Tfrmsibu(AppContext &context, QWidget *parent)
    : PickerFrame(context, parent, sibuOptions())
{
    const int draws = lottery().drawTable.rowCount();
    const FourStepSettings defaults;
    com1 = NewNumberCombo(this, "com1", 1, draws, FourStepPicker::defaultLongWindow(draws));
    com2 = NewNumberCombo(this, "com2", 1, FourStepPicker::kMaxRest2, defaults.rest2);
    com3 = NewNumberCombo(this, "com3", 1, FourStepPicker::kMaxRest3, defaults.rest3);
    com4 = NewNumberCombo(this, "com4", 1, FourStepPicker::kMaxRecent4, defaults.recent4);
    edtcode1 = NewField(this, "edtcode1");
    edtcode2 = NewField(this, "edtcode2");
    edtcode3 = NewField(this, "edtcode3");
    edtcode4 = NewField(this, "edtcode4");
    for (QComboBox *combo : {com1, com2, com3, com4})
        combo->setMaxVisibleItems(20);
    for (QLineEdit *box : {edtcode1, edtcode2, edtcode3, edtcode4})
        box->setReadOnly(true);

    auto *grid = new QGridLayout;
    const struct {
        const char *before;
        QComboBox *combo;
        const char *after;
        QLineEdit *box;
    } steps[] = {
        {"第一步：选出最近", com1, "期中出次数最多号码", edtcode1},
        {"第二步：第一步选号当中", com2, "期以上未出号", edtcode2},
        {"第三步：选出最近", com3, "期未出3连号", edtcode3},
        {"第四步：选出最近", com4, "期相对活跃冷码", edtcode4},
    };
    int row = 0;
    for (const auto &step : steps) {
        grid->addWidget(new QLabel(QString::fromUtf8(step.before), this), row, 0, Qt::AlignRight);
        grid->addWidget(step.combo, row, 1);
        grid->addWidget(new QLabel(QString::fromUtf8(step.after), this), row, 2);
        grid->addWidget(step.box, row, 3);
        ++row;
    }
    grid->setColumnStretch(3, 1);
    settingsLayout()->addLayout(grid);

    runTongji();
}

FourStepSettings Tfrmsibu::settings() const
{
    FourStepSettings s;
    s.longWindow = numberItem(com1);
    s.rest2 = numberItem(com2);
    s.rest3 = numberItem(com3);
    s.recent4 = numberItem(com4);
    return s;
}

void Tfrmsibu::generate(int target, const QString &targetText)
{
    const FourStepPicker picker(lottery().drawTable, numberRangeOf(lottery()));
    const FourStepProposal proposal = picker.propose(target, settings());
    edtcode1->setText(proposal.step1Text());
    edtcode2->setText(proposal.step2Text());
    edtcode3->setText(proposal.step3Text());
    edtcode4->setText(proposal.step4Text());
    showProposal(targetText, proposal.finalText());
}

PickerFrame::BacktestJob Tfrmsibu::backtestJob()
{
    return [draws = lottery().drawTable, range = numberRangeOf(lottery()), settings = settings()](
               const Progress &progress) { return FourStepPicker(draws, range).backtest(settings, progress); };
}

} // namespace lumaro
