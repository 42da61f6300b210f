#include "pickers/u_allhei.h"

#include "common/errors.h"
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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

namespace lumaro {

Tfrmallhei::Tfrmallhei(AppContext &context, QWidget *parent)
    : HistoryExclusionWindow(context, ExclusionKind::Sum, QStringLiteral("frmallhei"),
        QStringLiteral("无穷和值排除选号"), QStringLiteral("历史和值图表"), QStringLiteral("和值"), parent)
    , m_comhei1(new QComboBox(this))
    , m_comhei2(new QComboBox(this))
    , m_mem(new QPlainTextEdit(this))
{
    const OpenLottery &lottery = *context.lottery;
    m_comhei1->setObjectName(QStringLiteral("comhei1"));
    m_comhei2->setObjectName(QStringLiteral("comhei2"));
    const SumBounds bounds = SumBoundsFor(lottery.n, lottery.m);
    QStringList sums;
    for (int v = bounds.lowest; v <= bounds.highest; ++v)
        sums << QString::number(v);
    for (QComboBox *list : {m_comhei1, m_comhei2}) {
        list->setEditable(true);
        list->addItems(sums);
        list->setMaxVisibleItems(20);
    }
    m_comhei1->setCurrentIndex(bounds.upperIndex);
    m_comhei2->setCurrentIndex(bounds.lowerIndex);
    lockWhileRunning({m_comhei1, m_comhei2});
    m_mem->setObjectName(QStringLiteral("mem"));
    m_mem->setReadOnly(true);
    m_mem->setFixedHeight(m_mem->fontMetrics().lineSpacing() * 2 + 12);

    auto *settings = new QGroupBox(QStringLiteral("以下和值范围将被过滤："), this);
    auto *grid = new QGridLayout(settings);
    grid->addWidget(new QLabel(QStringLiteral("和值>="), settings), 0, 0);
    grid->addWidget(m_comhei1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("或<="), settings), 0, 2);
    grid->addWidget(m_comhei2, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("阶段统计期："), settings), 1, 0);
    grid->addWidget(stageList(QStringLiteral("comjieduannum")), 1, 1);
    grid->addWidget(periodRow(), 2, 0, 1, 4);
    grid->setColumnStretch(4, 1);
    arrange(m_mem, settings, 340, QSize(920, 700));
}

PickerSettings Tfrmallhei::readSettings() const
{
    PickerSettings settings;
    settings.kind = ExclusionKind::Sum;
    settings.stop = readStopRule();
    // A bound beyond the lists' sums never excludes; a negative sum is refused.
    settings.sum.upper = ToIntegerAtLeast(m_comhei1->currentText(), 0);
    settings.sum.lower = ToIntegerAtLeast(m_comhei2->currentText(), 0);
    return settings;
}

void Tfrmallhei::showHistory(const ValueRows &rows)
{
    const OpenLottery &lottery = *m_context.lottery;
    auto sums = std::make_shared<std::vector<int>>(SumHistory(rows));
    const QStringList periods = periodTexts();
    m_history->setGrid(periods, rows, {QStringLiteral("和值")},
        [sums](int row, int) { return QString::number((*sums)[static_cast<std::size_t>(row)]); });
    m_history->setBars(periods, *sums);
    m_mem->setPlainText(SumSummary(lottery.n, lottery.m, *sums));
}

} // namespace lumaro
