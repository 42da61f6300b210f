#include "pickers/u_allgensui.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "pickers/radio_group.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/busy_cursor.h"
#include "shell/error_display.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

namespace lumaro {

Tfrmallgensui::Tfrmallgensui(AppContext &context, QWidget *parent)
    : ExclusionWindow(context, ExclusionKind::Follow, QStringLiteral("frmallgensui"),
        QStringLiteral("无穷历史跟随排除选号"),
        {QStringLiteral("btnfilt"), QStringLiteral("保存号码"), QStringLiteral("清空"), 50, 1}, parent)
    , m_edthuishu(new QLineEdit(QStringLiteral("2"), this))
    , m_comhei1(new QComboBox(this))
    , m_comhei2(new QComboBox(this))
    , m_optmode(new RadioGroup(
          QStringLiteral("optmode"), QString(), {QStringLiteral("常规"), QStringLiteral("变幻")}, this, true))
    , m_opttype1(new RadioGroup(
          QStringLiteral("opttype1"), QString(), {QStringLiteral("排名模式"), QStringLiteral("排列模式")}, this))
    , m_opttype2(new RadioGroup(
          QStringLiteral("opttype2"), QString(), {QStringLiteral("次数模式"), QStringLiteral("间隔模式")}, this))
    , m_opttype3(new RadioGroup(
          QStringLiteral("opttype3"), QString(), {QStringLiteral("固定阶段"), QStringLiteral("随机阶段")}, this))
    , m_opttype4(new RadioGroup(QStringLiteral("opttype4"), QString(),
          {QStringLiteral("有限阶段期数"), QStringLiteral("最大阶段期数")}, this))
    , m_comjieduannum(new QComboBox(this))
    , m_btntongji(new QPushButton(QStringLiteral("变幻统计"), this))
    , m_page(new QTabWidget(this))
    , m_history(new PickerHistoryView(this, QStringLiteral("历史跟随图表"), QStringLiteral("跟随数")))
{
    const int m = context.lottery->m;
    m_edthuishu->setObjectName(QStringLiteral("edthuishu"));
    m_edthuishu->setMaximumWidth(48);
    m_comhei1->setObjectName(QStringLiteral("comhei1"));
    m_comhei2->setObjectName(QStringLiteral("comhei2"));
    for (QComboBox *list : {m_comhei1, m_comhei2}) {
        list->setEditable(true);
        for (int v = 0; v <= m; ++v)
            list->addItem(QString::number(v));
    }
    m_comhei1->setCurrentIndex(m);
    m_comhei2->setCurrentIndex(0);
    m_optmode->setItemIndex(1);
    m_comjieduannum->setObjectName(QStringLiteral("comjieduannum"));
    for (int v = 1; v <= 1000; ++v)
        m_comjieduannum->addItem(QString::number(v));
    m_comjieduannum->setCurrentIndex(99);
    m_comjieduannum->setEnabled(false);
    m_btntongji->setObjectName(QStringLiteral("btntongji"));
    m_page->setObjectName(QStringLiteral("page"));

    lockWhileRunning(
        {m_edthuishu, m_comhei1, m_comhei2, m_optmode, m_opttype1, m_opttype2, m_opttype3, m_opttype4, m_btntongji});
    connect(m_optmode, &RadioGroup::itemIndexChanged, this, [this] { optmodeClick(); });
    connect(m_btntongji, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btntongjiClick(); }); });

    auto *historyPage = new QWidget(m_page);
    auto *historyLayout = new QVBoxLayout(historyPage);
    historyLayout->setContentsMargins(2, 2, 2, 2);
    historyLayout->addWidget(m_history->grid());
    auto *ticketsPage = new QWidget(m_page);
    auto *ticketsLayout = new QVBoxLayout(ticketsPage);
    ticketsLayout->setContentsMargins(2, 2, 2, 2);
    ticketsLayout->addWidget(m_lblcode);
    ticketsLayout->addWidget(m_memcode, 1);
    auto *checkPage = new QWidget(m_page);
    auto *checkLayout = new QVBoxLayout(checkPage);
    checkLayout->setContentsMargins(2, 2, 2, 2);
    // The whole page is the 历史验证's: the memo takes every line of it.
    m_memyanzheng->setMinimumHeight(0);
    m_memyanzheng->setMaximumHeight(QWIDGETSIZE_MAX);
    checkLayout->addWidget(m_memyanzheng);
    m_page->addTab(historyPage, QStringLiteral("历史统计"));
    m_page->addTab(ticketsPage, QStringLiteral("投注号码"));
    m_page->addTab(checkPage, QStringLiteral("历史验证"));

    auto *bounds = new QGroupBox(QStringLiteral("以下跟随数将被过滤："), this);
    auto *boundsLayout = new QHBoxLayout(bounds);
    boundsLayout->addWidget(new QLabel(QStringLiteral(">="), bounds));
    boundsLayout->addWidget(m_comhei1);
    boundsLayout->addWidget(new QLabel(QStringLiteral("或<="), bounds));
    boundsLayout->addWidget(m_comhei2);
    boundsLayout->addStretch();

    auto *groupRow = new QHBoxLayout;
    groupRow->addWidget(new QLabel(QStringLiteral("对比号码数："), this));
    groupRow->addWidget(m_edthuishu);
    groupRow->addStretch();
    auto *types = new QGridLayout;
    types->addWidget(m_opttype1, 0, 0);
    types->addWidget(m_opttype2, 0, 1);
    types->addWidget(m_opttype3, 1, 0);
    types->addWidget(m_opttype4, 1, 1);
    auto *stageRow = new QHBoxLayout;
    stageRow->addWidget(new QLabel(QStringLiteral("阶段统计期："), this));
    stageRow->addWidget(m_comjieduannum);
    stageRow->addStretch();
    auto *buttons = new QGridLayout;
    buttons->addWidget(m_run, 0, 0);
    buttons->addWidget(m_btntongji, 0, 1);
    buttons->addWidget(m_save, 0, 2);
    buttons->addWidget(m_load, 1, 0);
    buttons->addWidget(m_clear, 1, 1);
    buttons->addWidget(m_close, 1, 2);

    auto *side = new QVBoxLayout;
    side->addWidget(periodRow());
    side->addLayout(groupRow);
    side->addWidget(bounds);
    side->addWidget(m_optmode);
    side->addLayout(types);
    side->addLayout(stageRow);
    side->addWidget(stopBox());
    side->addWidget(checkRow());
    side->addStretch();
    side->addLayout(buttons);

    auto *marksRow = new QHBoxLayout;
    marksRow->addStretch();
    marksRow->addWidget(m_history->marks());
    auto *main = new QVBoxLayout;
    main->addWidget(m_history->chartPane(), 2);
    main->addLayout(marksRow);
    main->addWidget(m_page, 3);
    main->addWidget(m_pb);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(main, 1);
    layout->addLayout(side);
    resize(960, 680);

    // The standard follow history, whatever the mode.
    Guarded(this, [this] { showFollow(drawRows(), FollowGroupSize(m_edthuishu->text())); });
}

void Tfrmallgensui::optmodeClick()
{
    const bool standard = m_optmode->itemIndex() == 0;
    if (standard) {
        m_optcishu->setChecked(true);
        m_optjushu->setEnabled(false);
        m_edtcishu->setText(QStringLiteral("1"));
        m_btntongji->setText(QStringLiteral("常规统计"));
    } else {
        m_optjushu->setEnabled(true);
        m_optjushu->setChecked(true);
        m_edtcishu->setText(QStringLiteral("100"));
        m_btntongji->setText(QStringLiteral("变幻统计"));
    }
}

FollowRule Tfrmallgensui::readRule() const
{
    FollowRule rule;
    rule.group = FollowGroupSize(m_edthuishu->text());
    // Follow counts are counts of a ticket's numbers: never negative.
    rule.upper = ToIntegerAtLeast(m_comhei1->currentText(), 0);
    rule.lower = ToIntegerAtLeast(m_comhei2->currentText(), 0);
    rule.variant = m_optmode->itemIndex() == 1;
    rule.byLabel = m_opttype1->itemIndex() == 1;
    rule.byGap = m_opttype2->itemIndex() == 1;
    rule.randomStage = m_opttype3->itemIndex() == 1;
    rule.maxStage = m_opttype4->itemIndex() == 1;
    rule.stageLimit = ToInteger(m_comjieduannum->currentText());
    return rule;
}

PickerSettings Tfrmallgensui::readSettings() const
{
    PickerSettings settings;
    settings.kind = ExclusionKind::Follow;
    settings.follow = readRule();
    settings.stop = readStopRule();
    return settings;
}

void Tfrmallgensui::checkStarted()
{
    m_page->setCurrentIndex(2);
}

void Tfrmallgensui::runFinished()
{
    m_page->setCurrentIndex(1);
}

void Tfrmallgensui::showFollow(const ValueRows &rows, int group)
{
    const BusyCursor busy;
    auto counts = std::make_shared<std::vector<int>>(FollowHistory(rows, group));
    const QStringList periods = periodTexts();
    m_history->setGrid(periods, rows, {QStringLiteral("跟随数")},
        [counts](int row, int) { return QString::number((*counts)[static_cast<std::size_t>(row)]); });
    m_history->setBars(periods, *counts);
}

void Tfrmallgensui::btntongjiClick()
{
    const FollowRule rule = readRule();
    if (!rule.variant) {
        showFollow(drawRows(), rule.group);
    } else {
        const OpenLottery &lottery = *m_context.lottery;
        CheckPickerKind(lottery.kind, lottery.n, lottery.m);
        PickerHistory history;
        history.n = lottery.n;
        history.m = lottery.m;
        history.draws = drawRows();
        history.cur = cur();
        RandomSource random = m_context.newRandom();
        showFollow(BuildFollowRelabelling(history, rule, random, history.draws.rowCount()).rows, rule.group);
    }
    m_page->setCurrentIndex(0);
}

} // namespace lumaro
