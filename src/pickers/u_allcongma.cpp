#include "pickers/u_allcongma.h"

#include "common/errors.h"
#include "common/text_format.h"
#include "data/open_lottery.h"
#include "pickers/exclusion_history.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/error_display.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace lumaro {

Tfrmallcongma::Tfrmallcongma(AppContext &context, QWidget *parent)
    : HistoryExclusionWindow(context, ExclusionKind::Repeat, QStringLiteral("frmallcongma"),
        QStringLiteral("无穷重码排除选号"), QStringLiteral("历史重码图表"), QStringLiteral("重码数"), parent)
    , m_comAC(new QComboBox(this))
    , m_comqishu(new QComboBox(this))
    , m_edtcurcode(new QLineEdit(this))
{
    const OpenLottery &lottery = *context.lottery;
    m_comAC->setObjectName(QStringLiteral("comAC"));
    m_comqishu->setObjectName(QStringLiteral("comqishu"));
    for (int v = 1; v <= lottery.m; ++v)
        m_comAC->addItem(QString::number(v));
    m_comAC->setCurrentIndex(m_comAC->count() - 1);
    QStringList periods;
    for (int v = 1; v <= lottery.drawTable.rowCount(); ++v)
        periods << QString::number(v);
    m_comqishu->addItems(periods);
    m_comqishu->setCurrentIndex(std::min(9, m_comqishu->count() - 1));
    for (QComboBox *list : {m_comAC, m_comqishu}) {
        list->setEditable(true);
        list->setMaxVisibleItems(20);
    }
    lockWhileRunning({m_comAC, m_comqishu});
    m_edtcurcode->setObjectName(QStringLiteral("edtcurcode"));
    m_edtcurcode->setReadOnly(true);

    auto *settings = new QGroupBox(this);
    auto *grid = new QGridLayout(settings);
    grid->addWidget(new QLabel(QStringLiteral("过滤的重码数>="), settings), 0, 0);
    grid->addWidget(m_comAC, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("重码期数："), settings), 0, 2);
    grid->addWidget(m_comqishu, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("阶段期数："), settings), 1, 0);
    grid->addWidget(stageList(QStringLiteral("comjieduannum")), 1, 1);
    grid->addWidget(periodRow(), 2, 0, 1, 4);
    grid->setColumnStretch(4, 1);
    arrange(m_edtcurcode, settings, 640, QSize(1060, 700));
}

PickerSettings Tfrmallcongma::readSettings() const
{
    PickerSettings settings;
    settings.kind = ExclusionKind::Repeat;
    settings.stop = readStopRule();
    settings.repeat.atLeast = ToIntegerAtLeast(m_comAC->currentText(), 0);
    settings.repeat.periods = repeatPeriods();
    return settings;
}

int Tfrmallcongma::repeatPeriods() const
{
    // At least one period; more than the draws before the target is refused by the run.
    return ToIntegerAtLeast(m_comqishu->currentText(), 1);
}

void Tfrmallcongma::showHistory(const ValueRows &rows)
{
    const int m = m_context.lottery->m;
    auto repeats = std::make_shared<std::vector<int>>(RepeatHistory(rows, repeatPeriods()));
    const QStringList periods = periodTexts();
    const QStringList fixed {QStringLiteral("0"), QString::number(m), Fixed1(m / 2.0)};
    m_history->setGrid(periods, rows,
        {QStringLiteral("理论最小重码数"), QStringLiteral("理论最大重码数"), QStringLiteral("理论平均重码数"),
            QStringLiteral("实际重码数")},
        [repeats, fixed](int row, int column) {
            if (column < 3)
                return fixed[column];
            const int value = (*repeats)[static_cast<std::size_t>(row)];
            return value < 0 ? QString() : QString::number(value);
        });
    m_history->setBars(periods, *repeats, m_stage);
    m_edtcurcode->setText(RepeatSummary(*repeats));
}

} // namespace lumaro
