#include "pickers/u_sibu.h"

#include "data/open_lottery.h"
#include "pickers/four_step_picker.h"
#include "shell/app_context.h"

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

QComboBox *stepCombo(const QString &name, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setMaxVisibleItems(20);
    return combo;
}

QLineEdit *stepBox(const QString &name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    return box;
}

} // namespace

Tfrmsibu::Tfrmsibu(AppContext &context, QWidget *parent)
    : PickerFrame(context, parent, sibuOptions())
    , com1(stepCombo(QStringLiteral("com1"), this))
    , com2(stepCombo(QStringLiteral("com2"), this))
    , com3(stepCombo(QStringLiteral("com3"), this))
    , com4(stepCombo(QStringLiteral("com4"), this))
    , edtcode1(stepBox(QStringLiteral("edtcode1"), this))
    , edtcode2(stepBox(QStringLiteral("edtcode2"), this))
    , edtcode3(stepBox(QStringLiteral("edtcode3"), this))
    , edtcode4(stepBox(QStringLiteral("edtcode4"), this))
{
    const int draws = lottery().drawTable.rowCount();
    const FourStepSettings defaults;
    fillNumberItems(com1, 1, draws, FourStepPicker::defaultLongWindow(draws));
    fillNumberItems(com2, 1, FourStepPicker::kMaxRest2, defaults.rest2);
    fillNumberItems(com3, 1, FourStepPicker::kMaxRest3, defaults.rest3);
    fillNumberItems(com4, 1, FourStepPicker::kMaxRecent4, defaults.recent4);

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
