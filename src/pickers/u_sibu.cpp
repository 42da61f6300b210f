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

PickerFrame::Options SibuOptions()
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
    : PickerFrame(context, parent, SibuOptions())
{
    const int draws = lottery().drawTable.rowCount();
    const FourStepSettings defaults;
    m_com1 = NewNumberCombo(this, "com1", 1, draws, FourStepPicker::defaultLongWindow(draws));
    m_com2 = NewNumberCombo(this, "com2", 1, FourStepPicker::kMaxRest2, defaults.rest2);
    m_com3 = NewNumberCombo(this, "com3", 1, FourStepPicker::kMaxRest3, defaults.rest3);
    m_com4 = NewNumberCombo(this, "com4", 1, FourStepPicker::kMaxRecent4, defaults.recent4);
    m_edtcode1 = NewField(this, "edtcode1");
    m_edtcode2 = NewField(this, "edtcode2");
    m_edtcode3 = NewField(this, "edtcode3");
    m_edtcode4 = NewField(this, "edtcode4");
    for (QComboBox *combo : {m_com1, m_com2, m_com3, m_com4})
        combo->setMaxVisibleItems(20);
    for (QLineEdit *box : {m_edtcode1, m_edtcode2, m_edtcode3, m_edtcode4})
        box->setReadOnly(true);

    auto *grid = new QGridLayout;
    const struct {
        const char *before;
        QComboBox *combo;
        const char *after;
        QLineEdit *box;
    } steps[] = {
        {"第一步：选出最近", m_com1, "期中出次数最多号码", m_edtcode1},
        {"第二步：第一步选号当中", m_com2, "期以上未出号", m_edtcode2},
        {"第三步：选出最近", m_com3, "期未出3连号", m_edtcode3},
        {"第四步：选出最近", m_com4, "期相对活跃冷码", m_edtcode4},
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
    s.longWindow = NumberItem(m_com1);
    s.rest2 = NumberItem(m_com2);
    s.rest3 = NumberItem(m_com3);
    s.recent4 = NumberItem(m_com4);
    return s;
}

void Tfrmsibu::generate(int target, const QString &targetText)
{
    const FourStepPicker picker(lottery().drawTable, NumberRangeOf(lottery()));
    const FourStepProposal proposal = picker.propose(target, settings());
    m_edtcode1->setText(proposal.step1Text());
    m_edtcode2->setText(proposal.step2Text());
    m_edtcode3->setText(proposal.step3Text());
    m_edtcode4->setText(proposal.step4Text());
    showProposal(targetText, proposal.finalText(), static_cast<int>(proposal.numbers.size()));
}

PickerFrame::BacktestJob Tfrmsibu::backtestJob()
{
    return [draws = lottery().drawTable, range = NumberRangeOf(lottery()), settings = settings()](
               const Progress &progress) { return FourStepPicker(draws, range).backtest(settings, progress); };
}

} // namespace lumaro
