#include "pickers/u_sep.h"

#include "data/open_lottery.h"
#include "pickers/interval_picker.h"
#include "shell/app_context.h"
#include "shell/form_controls.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>

namespace lumaro {

namespace {

PickerFrame::Options SepOptions()
{
    PickerFrame::Options options;
    options.objectName = QStringLiteral("frmsep");
    options.caption = QStringLiteral("最优间隔回补选号");
    options.hitCountChart = true;
    options.columnWidths = {60, 100, 130, -320};
    return options;
}

} // namespace

Tfrmsep::Tfrmsep(AppContext &context, QWidget *parent)
    : PickerFrame(context, parent, SepOptions())
    , m_comqishu(NewNumberCombo(this, "comqishu", 1, IntervalPicker::kMaxInterval, 5))
    , m_comcodenum(NewNumberCombo(this, "comcodenum", 1, NumberRangeOf(lottery()).count(), 2 * lottery().m))
{
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("间隔期数："), this));
    row->addWidget(m_comqishu);
    row->addSpacing(16);
    row->addWidget(new QLabel(QStringLiteral("选号个数："), this));
    row->addWidget(m_comcodenum);
    row->addStretch(1);
    settingsLayout()->addLayout(row);

    runTongji();
}

IntervalSettings Tfrmsep::settings() const
{
    return IntervalSettings {NumberItem(m_comqishu), NumberItem(m_comcodenum)};
}

void Tfrmsep::generate(int target, const QString &targetText)
{
    const IntervalPicker picker(lottery().drawTable, NumberRangeOf(lottery()));
    const std::vector<int> proposal = picker.propose(target, settings());
    showProposal(targetText, PaddedNumbers(proposal), static_cast<int>(proposal.size()));
}

PickerFrame::BacktestJob Tfrmsep::backtestJob()
{
    return [draws = lottery().drawTable, range = NumberRangeOf(lottery()), settings = settings()](
               const Progress &progress) { return IntervalPicker(draws, range).backtest(settings, progress); };
}

} // namespace lumaro
