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
    : ExclusionWindow(context, ExclusionKind::Sum, QStringLiteral("frmallhei"), QStringLiteral("无穷和值排除选号"),
        {QStringLiteral("btngen"), QStringLiteral("保存"), QStringLiteral("清除"), 10000, 10000}, parent)
    , m_comhei1(new QComboBox(this))
    , m_comhei2(new QComboBox(this))
    , m_history(new PickerHistoryView(this, QStringLiteral("历史和值图表"), QStringLiteral("和值")))
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
    QComboBox *stage = stageList(QStringLiteral("comjieduannum"));

    m_mem->setObjectName(QStringLiteral("mem"));
    m_mem->setReadOnly(true);
    m_mem->setFixedHeight(m_mem->fontMetrics().lineSpacing() * 2 + 12);
    auto *tongji = new QPushButton(QStringLiteral("常规统计"), this);
    tongji->setObjectName(QStringLiteral("btntongji"));
    auto *tongji2 = new QPushButton(QStringLiteral("变幻统计"), this);
    tongji2->setObjectName(QStringLiteral("btntongji2"));
    lockWhileRunning({m_comhei1, m_comhei2, tongji, tongji2});
    connect(tongji, &QPushButton::clicked, this, [this] { guarded(this, [this] { btntongjiClick(); }); });
    connect(tongji2, &QPushButton::clicked, this, [this] { guarded(this, [this] { btntongji2Click(); }); });

    // History above, the settings and the result list below.
    auto *charts = new QSplitter(Qt::Horizontal, this);
    charts->addWidget(m_history->grid());
    charts->addWidget(m_history->chart());
    charts->setStretchFactor(1, 1);
    charts->setSizes({340, 560});
    auto *historyButtons = new QHBoxLayout;
    historyButtons->addWidget(m_mem, 1);
    historyButtons->addWidget(tongji);
    historyButtons->addWidget(tongji2);
    historyButtons->addWidget(m_history->marks());

    auto *settings = new QGroupBox(QStringLiteral("以下和值范围将被过滤："), this);
    auto *grid = new QGridLayout(settings);
    grid->addWidget(new QLabel(QStringLiteral("和值>="), settings), 0, 0);
    grid->addWidget(m_comhei1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("或<="), settings), 0, 2);
    grid->addWidget(m_comhei2, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("阶段统计期："), settings), 1, 0);
    grid->addWidget(stage, 1, 1);
    grid->addWidget(periodRow(), 2, 0, 1, 4);
    grid->setColumnStretch(4, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(settings);
    left->addWidget(stopBox());
    left->addStretch();
    left->addWidget(buttonRow());
    auto *bottom = new QHBoxLayout;
    bottom->addLayout(left);
    bottom->addWidget(resultPanel(), 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(charts, 1);
    layout->addLayout(historyButtons);
    layout->addLayout(bottom, 1);
    resize(920, 700);

    guarded(this, [this] { btntongjiClick(); });
}

PickerSettings Tfrmallhei::readSettings() const
{
    PickerSettings settings;
    settings.kind = ExclusionKind::Sum;
    settings.stop = readStopRule();
    settings.sum.upper = toInteger(m_comhei1->currentText());
    settings.sum.lower = toInteger(m_comhei2->currentText());
    return settings;
}

void Tfrmallhei::showSums(const ValueRows &rows)
{
    const OpenLottery &lottery = *m_context.lottery;
    auto sums = std::make_shared<std::vector<int>>(SumHistory(rows));
    const QStringList periods = periodTexts();
    m_history->setGrid(periods, rows, {QStringLiteral("和值")},
        [sums](int row, int) { return QString::number((*sums)[static_cast<std::size_t>(row)]); });
    m_history->setBars(periods, *sums);
    m_mem->setPlainText(SumSummary(lottery.n, lottery.m, *sums));
}

void Tfrmallhei::btntongjiClick()
{
    showSums(drawRows());
}

void Tfrmallhei::btntongji2Click()
{
    showSums(variantStatisticsRows());
}

} // namespace lumaro
