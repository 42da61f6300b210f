#include "invest/u_tozi.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "invest/money.h"
#include "invest/report_printing.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"
#include "shell/table_model.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace lumaro {

namespace {

QString SearchCaption()
{
    return QStringLiteral("搜索");
}

QTableView *MakeGrid(QWidget *parent, const char *name, FunctionTableModel *&model)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QString::fromUtf8(name));
    model = new FunctionTableModel(grid);
    grid->setModel(model);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    grid->horizontalHeader()->setMinimumHeight(2 * grid->fontMetrics().height() + 6);
    return grid;
}

void SetWidths(QTableView *grid, const std::vector<int> &widths)
{
    for (std::size_t c = 0; c < widths.size(); ++c)
        grid->setColumnWidth(static_cast<int>(c), std::max(24, widths[c]));
}

// The running balance after each cycle, one line over the cycles.
QChartView *NewBalanceChart(QWidget *parent)
{
    auto *chart = new QChart;
    // One line: its name stands at the side, so that the money labels keep the height.
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(2, 0, 2, 0));
    auto *series = new QLineSeries(chart);
    series->setName(QStringLiteral("累计赢余"));
    series->setColor(QColor(30, 110, 200));
    chart->addSeries(series);
    auto *cycles = new QValueAxis(chart);
    cycles->setLabelFormat(QStringLiteral("%d"));
    auto *money = new QValueAxis(chart);
    money->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(cycles, Qt::AlignBottom);
    chart->addAxis(money, Qt::AlignLeft);
    series->attachAxis(cycles);
    series->attachAxis(money);
    auto *view = new QChartView(chart, parent);
    view->setObjectName(QStringLiteral("chtyue"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(150);
    return view;
}

void ShowBalance(QChartView *view, const std::vector<qint64> &balance)
{
    auto *series = qobject_cast<QLineSeries *>(view->chart()->series().value(0));
    QList<QPointF> points;
    double low = 0;
    double high = 0;
    for (std::size_t i = 0; i < balance.size(); ++i) {
        const double value = static_cast<double>(balance[i]);
        points << QPointF(static_cast<double>(i + 1), value);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    series->replace(points);
    if (auto *axis = qobject_cast<QValueAxis *>(view->chart()->axes(Qt::Horizontal).value(0))) {
        const double last = std::max<double>(2, static_cast<double>(balance.size()));
        axis->setRange(1, last);
        axis->setTickCount(std::min(6, static_cast<int>(last)));
    }
    if (auto *axis = qobject_cast<QValueAxis *>(view->chart()->axes(Qt::Vertical).value(0))) {
        axis->setRange(low, high > low ? high : low + 1);
        axis->setTickCount(3);
        axis->applyNiceNumbers();
    }
}

QString Filter()
{
    return QStringLiteral("文本文件(*.txt)|*.txt");
}

} // namespace

Tfrmtozi::Tfrmtozi(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
{
    setWindowTitle(QStringLiteral("投资模式分析"));
    // Wider than the classic 720 × 567, so that the result figures and money boxes show whole,
    // and taller, so that the result grid keeps its rows above the balance chart.
    resize(900, 760);
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("历史中奖："), this));
    m_grdsep = MakeGrid(this, "grdsep", m_sepModel);
    left->addWidget(m_grdsep);
    layout->addLayout(left, 2);

    auto *middle = new QVBoxLayout;
    middle->addWidget(new QLabel(QStringLiteral("投注号码："), this));
    m_grdcode = MakeGrid(this, "grdcode", m_codeModel);
    middle->addWidget(m_grdcode, 1);
    m_pb = new QProgressBar(this);
    m_pb->setObjectName(QStringLiteral("pb"));
    m_pb->hide();
    middle->addWidget(m_pb);
    middle->addWidget(new QLabel(QStringLiteral("间隔统计："), this));
    m_grdsepmode = MakeGrid(this, "grdsepmode", m_sepmodeModel);
    middle->addWidget(m_grdsepmode, 1);
    layout->addLayout(middle, 2);

    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("投资和赢亏："), this));
    m_grdtozi = MakeGrid(this, "grdtozi", m_toziModel);
    right->addWidget(m_grdtozi, 2);
    // What the discipline asked of the purse, and the balance cycle by cycle.
    m_lblzongjie = new QLabel(this);
    m_lblzongjie->setObjectName(QStringLiteral("lblzongjie"));
    m_lblzongjie->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblzongjie->setWordWrap(true);
    right->addWidget(m_lblzongjie);
    m_chtyue = NewBalanceChart(this);
    right->addWidget(m_chtyue, 1);

    m_grptozi = new QGroupBox(this);
    m_grptozi->setObjectName(QStringLiteral("grptozi"));
    auto *settings = new QGridLayout(m_grptozi);
    settings->setVerticalSpacing(3);
    m_edtjushu = NewField(m_grptozi, "edtjushu", QStringLiteral("100"));
    m_edtoutofsin = NewField(m_grptozi, "edtoutofsin", QStringLiteral("1000"));
    m_edtlirun = NewField(m_grptozi, "edtlirun", QStringLiteral("10"));
    m_edtsinmax = NewField(m_grptozi, "edtsinmax", QStringLiteral("1000000"));
    m_edtallmax = NewField(m_grptozi, "edtallmax", QStringLiteral("1000000"));
    m_comtozisep = NewNumberCombo(m_grptozi, "comtozisep", 0, kWaitItems - 1, 0);
    m_comtozirep = NewNumberCombo(m_grptozi, "comtozirep", 1, kBetItems, 1);
    m_comsepindex = NewNumberCombo(m_grptozi, "comsepindex", 1, kGapItems, 1);
    m_comsepnum = NewNumberCombo(m_grptozi, "comsepnum", 1, kStreakItems, 1);
    m_chksepmode = NewCheckBox(m_grptozi, "chksepmode", QString(), true);
    m_chkyuji = NewCheckBox(m_grptozi, "chkyuji", QString(), true);
    m_edtallwin = NewField(m_grptozi, "edtallwin");
    // Where the search looks: the whole history, or only its earlier part so that the later
    // draws can tell how the best setting does on draws it was not picked on.
    m_comsousuo = new QComboBox(m_grptozi);
    m_comsousuo->setObjectName(QStringLiteral("comsousuo"));
    m_comsousuo->addItem(QStringLiteral("全部开奖"), 0);
    for (int percent = 50; percent <= 90; percent += 10)
        m_comsousuo->addItem(QStringLiteral("前%1%").arg(percent), percent);
    m_edtallwin->setReadOnly(true);
    // The boxes hold eight digits whole and grow no wider than 110.
    for (QLineEdit *edit : {m_edtjushu, m_edtoutofsin, m_edtlirun, m_edtsinmax, m_edtallmax, m_edtallwin}) {
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 12);
        edit->setMaximumWidth(110);
    }
    const std::vector<std::pair<QString, QWidget *>> rows {
        {QStringLiteral("单倍注数："), m_edtjushu},
        {QStringLiteral("观察间隔数："), m_comsepindex},
        {QStringLiteral("单注奖金："), m_edtoutofsin},
        {QStringLiteral("观察间隔连续次数："), m_comsepnum},
        {QStringLiteral("预期利润(%)："), m_edtlirun},
        {QStringLiteral("中出后间隔期数："), m_comtozisep},
        {QStringLiteral("单期最大投入："), m_edtsinmax},
        {QStringLiteral("连续投入期数："), m_comtozirep},
        {QStringLiteral("累计最大投入："), m_edtallmax},
        {QStringLiteral("间隔模式："), m_chksepmode},
        {QStringLiteral("总体赢余："), m_edtallwin},
        {QStringLiteral("预计亏损："), m_chkyuji},
        {QStringLiteral("搜索范围："), m_comsousuo},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i / 2);
        const int column = static_cast<int>(i % 2) * 2;
        auto *label = new QLabel(rows[i].first, m_grptozi);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        settings->addWidget(label, row, column);
        settings->addWidget(rows[i].second, row, column + 1);
    }
    right->addWidget(m_grptozi);

    m_optzhuzhi = new QGroupBox(this);
    m_optzhuzhi->setObjectName(QStringLiteral("optzhuzhi"));
    auto *plays = new QHBoxLayout(m_optzhuzhi);
    for (const QString &text : PlayTypeTexts()) {
        auto *button = new QRadioButton(text, m_optzhuzhi);
        m_playButtons.push_back(button);
        plays->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                m_result = {};
                showResult();
            }
        });
    }
    m_playButtons.front()->setChecked(true);
    right->addWidget(m_optzhuzhi);

    m_btnfilt = NewButton(this, "btnfilt", QStringLiteral("随机生成"));
    m_btnala = NewButton(this, "btnala", QStringLiteral("分析"));
    m_btnyouhua = NewButton(this, "btnyouhua", SearchCaption());
    m_btnclear = NewButton(this, "btnclear", QStringLiteral("清空"));
    m_tlbtnsave = NewToolButton(this, "tlbtnsave", QStringLiteral("保存"));
    m_tlbtnload = NewToolButton(this, "tlbtnload", QStringLiteral("载入"));
    m_tlbtnprint = NewToolButton(this, "tlbtnprint", QStringLiteral("打印"));
    m_btnclose = NewButton(this, "btnclose", QStringLiteral("关闭"));
    // Buttons on the left, the tool buttons with their menus (as wide as the buttons) on the right.
    auto *buttons = new QGridLayout;
    QWidget *const grid[4][2]
        = {{m_btnfilt, m_tlbtnsave}, {m_btnala, m_tlbtnload}, {m_btnyouhua, m_tlbtnprint}, {m_btnclear, m_btnclose}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 2; ++column)
            buttons->addWidget(grid[row][column], row, column);
    }
    for (QToolButton *tool : {m_tlbtnsave, m_tlbtnload, m_tlbtnprint})
        tool->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    right->addLayout(buttons);
    layout->addLayout(right, 6);

    const auto guard = [this](void (Tfrmtozi::*action)()) {
        return [this, action] { Guarded(this, [this, action] { (this->*action)(); }); };
    };
    const auto menuItem = [&](QMenu *menu, const char *name, const QString &text, void (Tfrmtozi::*action)()) {
        QAction *item = menu->addAction(text);
        item->setObjectName(QString::fromUtf8(name));
        connect(item, &QAction::triggered, this, guard(action));
    };
    m_saveMenu = new QMenu(this);
    menuItem(m_saveMenu, "mnusavecode", QStringLiteral("保存号码(&C)"), &Tfrmtozi::saveTickets);
    menuItem(m_saveMenu, "mnusaveset", QStringLiteral("保存设置(&S)"), &Tfrmtozi::saveSettings);
    menuItem(m_saveMenu, "mnusaveboth", QStringLiteral("保存号码和设置(&B)"), &Tfrmtozi::saveBoth);
    m_loadMenu = new QMenu(this);
    menuItem(m_loadMenu, "mnuloadcode", QStringLiteral("载入号码(&C)"), &Tfrmtozi::loadTickets);
    menuItem(m_loadMenu, "mnuloadset", QStringLiteral("载入设置(&S)"), &Tfrmtozi::loadSettings);
    menuItem(m_loadMenu, "mnuloadboth", QStringLiteral("载入号码和设置(&B)"), &Tfrmtozi::loadBoth);
    m_printMenu = new QMenu(this);
    menuItem(m_printMenu, "mnuprintcode", QStringLiteral("打印号码(&C)"), &Tfrmtozi::printTickets);
    menuItem(m_printMenu, "mnuprintset", QStringLiteral("打印设置(&S)"), &Tfrmtozi::printSettings);
    for (auto [tool, menu] : {std::pair {m_tlbtnsave, m_saveMenu}, std::pair {m_tlbtnload, m_loadMenu},
             std::pair {m_tlbtnprint, m_printMenu}}) {
        QMenu *popup = menu;
        connect(tool, &QToolButton::pressed, this, [popup] { popup->popup(QCursor::pos()); });
    }

    connect(m_btnfilt, &QPushButton::clicked, this, guard(&Tfrmtozi::btnfiltClick));
    connect(m_btnala, &QPushButton::clicked, this, guard(&Tfrmtozi::btnalaClick));
    connect(m_btnyouhua, &QPushButton::clicked, this, guard(&Tfrmtozi::btnyouhuaClick));
    connect(m_btnclear, &QPushButton::clicked, this, guard(&Tfrmtozi::btnclearClick));
    connect(m_btnclose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_chksepmode, &QCheckBox::toggled, this, &Tfrmtozi::updateIntervalMode);
    m_search.lockWhileRunning(
        {m_btnala, m_btnfilt, m_btnclear, m_btnclose, m_tlbtnsave, m_tlbtnload, m_tlbtnprint, m_grptozi});
    m_search.setProgressBar(m_pb);
    connect(&m_search, &BackgroundRun::finished, this, [this] {
        m_btnyouhua->setText(SearchCaption());
        Q_EMIT searchFinished();
    });

    m_sepModel->setHeaders({QStringLiteral("记录期号"), QStringLiteral("中奖间隔")});
    QStringList codeHeaders {QStringLiteral("序号")};
    for (int c = 1; c <= 3; ++c)
        codeHeaders << QStringLiteral("号码%1").arg(c);
    m_codeModel->setHeaders(codeHeaders);
    m_sepmodeModel->setHeaders({QStringLiteral("间隔"), QStringLiteral("连续"), QStringLiteral("次数")});
    m_toziModel->setHeaders(CycleResultHeaders());
    setTickets(PlayType::Direct, {});
    showResult();
}

Tfrmtozi::~Tfrmtozi() = default;

bool Tfrmtozi::searching() const
{
    return m_search.isRunning();
}

PlayType Tfrmtozi::playType() const
{
    for (std::size_t i = 0; i < m_playButtons.size(); ++i)
        if (m_playButtons[i]->isChecked())
            return static_cast<PlayType>(i);
    return PlayType::Direct;
}

void Tfrmtozi::setPlayType(PlayType play)
{
    m_playButtons[static_cast<std::size_t>(play)]->setChecked(true);
}

InvestFileSettings Tfrmtozi::controlSettings() const
{
    InvestFileSettings s;
    s.play = static_cast<int>(playType());
    s.waitIndex = m_comtozisep->currentIndex();
    s.betIndex = m_comtozirep->currentIndex();
    s.gapIndex = m_comsepindex->currentIndex();
    s.streakIndex = m_comsepnum->currentIndex();
    s.singleMax = m_edtsinmax->text();
    s.totalMax = m_edtallmax->text();
    s.tickets = m_edtjushu->text();
    s.prize = m_edtoutofsin->text();
    s.profit = m_edtlirun->text();
    s.carryLoss = m_chkyuji->isChecked();
    s.intervalMode = m_chksepmode->isChecked();
    return s;
}

void Tfrmtozi::setControlSettings(const InvestFileSettings &s)
{
    setPlayType(static_cast<PlayType>(s.play));
    m_comtozisep->setCurrentIndex(s.waitIndex);
    m_comtozirep->setCurrentIndex(s.betIndex);
    m_comsepindex->setCurrentIndex(s.gapIndex);
    m_comsepnum->setCurrentIndex(s.streakIndex);
    m_edtsinmax->setText(s.singleMax);
    m_edtallmax->setText(s.totalMax);
    m_edtjushu->setText(s.tickets);
    m_edtoutofsin->setText(s.prize);
    m_edtlirun->setText(s.profit);
    m_chkyuji->setChecked(s.carryLoss);
    m_chksepmode->setChecked(s.intervalMode);
    updateIntervalMode();
}

void Tfrmtozi::updateIntervalMode()
{
    const bool on = m_chksepmode->isChecked();
    if (!on) {
        m_comsepindex->setCurrentIndex(0);
        m_comsepnum->setCurrentIndex(0);
    }
    m_comsepindex->setEnabled(on);
    m_comsepnum->setEnabled(on);
}

bool Tfrmtozi::hasTickets() const
{
    return !m_tickets.empty() && !m_hitTable.empty();
}

void Tfrmtozi::setTickets(PlayType play, std::vector<BetTicket> tickets)
{
    if (!tickets.empty()) {
        m_hitTable = BuildHitGapTable(*m_context.lottery, play, tickets);
        m_stats = IntervalStatistics(m_hitTable);
    } else {
        m_hitTable.clear();
        m_stats.clear();
    }
    m_tickets = std::move(tickets);
    m_history = HitHistory(m_hitTable);
    m_searchNote.clear();

    m_sepModel->setContent(static_cast<int>(m_hitTable.size()), [this](int row, int column) -> QVariant {
        const HitGapRow &r = m_hitTable[static_cast<std::size_t>(row)];
        if (column == 0)
            return QString::number(r.period);
        return r.hit() ? QStringLiteral("●") : QString::number(r.gap);
    });
    m_codeModel->setContent(static_cast<int>(m_tickets.size()), [this](int row, int column) -> QVariant {
        return column == 0 ? row + 1 : m_tickets[static_cast<std::size_t>(row)][static_cast<std::size_t>(column - 1)];
    });
    m_sepmodeModel->setContent(static_cast<int>(m_stats.size()), [this](int row, int column) -> QVariant {
        const IntervalStat &s = m_stats[static_cast<std::size_t>(row)];
        return column == 0 ? s.gap : column == 1 ? s.run : s.count;
    });
    const int sepWidth = m_grdsep->viewport()->width() > 100 ? m_grdsep->viewport()->width() : 150;
    SetWidths(m_grdsep, {(sepWidth - 30) * 2 / 3 + 5, (sepWidth - 30) / 3 - 5});
    const int codeWidth = std::max(120, m_grdcode->viewport()->width());
    SetWidths(m_grdcode, std::vector<int>(4, (codeWidth - 30) / 4));
    const int modeWidth = std::max(120, m_grdsepmode->viewport()->width());
    SetWidths(m_grdsepmode, std::vector<int>(3, (modeWidth - 20) / 3));
}

void Tfrmtozi::showResult()
{
    m_summary = SummariseAnalysis(m_result, m_resultSettings);
    QString summary = AnalysisSummaryText(m_summary);
    if (!m_searchNote.isEmpty())
        summary += QLatin1Char('\n') + m_searchNote;
    m_lblzongjie->setText(summary);
    ShowBalance(m_chtyue, m_summary.balance);
    m_toziModel->setContent(static_cast<int>(m_result.rows.size()), [this](int row, int column) -> QVariant {
        return QString::number(m_result.rows[static_cast<std::size_t>(row)].values[static_cast<std::size_t>(column)]);
    });
    if (!searching()) {
        const int width = std::max(280, m_grdtozi->viewport()->width());
        SetWidths(m_grdtozi, std::vector<int>(7, (width - 20) / 7));
    }
}

void Tfrmtozi::btnfiltClick()
{
    CheckInvestLottery(*m_context.lottery);
    const PlayType play = playType();
    const int count = ToInteger(m_edtjushu->text());
    if (count > PlayTypeMaxTickets(play) || count < 1) {
        dialogs::Critical(this, windowTitle(), PlayTypeLimitMessage(play));
        return;
    }
    RandomSource random = m_context.newRandom();
    setTickets(play, GenerateBetTickets(play, count, random));
}

void Tfrmtozi::runAnalysis()
{
    const bool messages = !searching();
    if (!hasTickets()) {
        if (messages)
            dialogs::Warning(this, windowTitle(), QStringLiteral("请生成号码！"));
        return;
    }
    m_resultSettings = ToInvestSettings(controlSettings());
    m_result = RunInvestmentAnalysis(m_history, m_resultSettings);
    m_edtallwin->setText(QString::number(m_result.totalGain));
    showResult();
    if (messages && !m_result.abortMessage().isEmpty())
        dialogs::Warning(this, windowTitle(), m_result.abortMessage());
}

void Tfrmtozi::btnalaClick()
{
    m_searchNote.clear();
    runAnalysis();
}

void Tfrmtozi::btnclearClick()
{
    m_comtozisep->setCurrentIndex(0);
    m_comtozirep->setCurrentIndex(0);
    m_comsepindex->setCurrentIndex(0);
    m_comsepnum->setCurrentIndex(0);
    m_edtsinmax->setText(QStringLiteral("10000"));
    m_edtallmax->setText(QStringLiteral("100000"));
    m_edtjushu->setText(QStringLiteral("100"));
    m_edtoutofsin->setText(QStringLiteral("1000"));
    m_edtlirun->setText(QStringLiteral("10"));
    m_chkyuji->setChecked(true);
    m_chksepmode->setChecked(true);
}

void Tfrmtozi::btnyouhuaClick()
{
    if (searching()) {
        m_search.stop();
        return;
    }
    if (!hasTickets()) {
        dialogs::Warning(this, windowTitle(), QStringLiteral("请生成号码！"));
        return;
    }
    const InvestSettings settings = ToInvestSettings(controlSettings());
    if (settings.tickets <= 0)
        throw InputError(QStringLiteral("单倍注数必须大于0！"));
    const int percent = m_comsousuo->currentData().toInt();
    if (percent > 0)
        HeldOutSplit(static_cast<int>(m_hitTable.size()), percent); // refuses a history too short to split
    m_pb->setRange(0, SearchTrialCount(settings.intervalMode));
    m_btnyouhua->setText(QStringLiteral("停止搜索"));
    // The worker runs on a private copy of the history and settings; only the progress comes back.
    m_search.start(
        [table = m_hitTable, history = m_history, settings, percent](const Progress &progress) {
            if (percent > 0)
                return RunHeldOutSearch(table, settings, percent, progress);
            HeldOutSearch whole;
            whole.best = RunInvestmentSearch(history, settings, progress);
            return whole;
        },
        [this](const HeldOutSearch &result) { finishSearch(result); }, [this] { m_lastSearch = {}; });
}

void Tfrmtozi::finishSearch(const HeldOutSearch &search)
{
    m_lastSearch = search.best;
    m_searchNote = search.searchedDraws > 0 ? HeldOutSearchText(search) : SearchInSampleNote();
    if (m_chksepmode->isChecked())
        m_comsepnum->setCurrentIndex(m_lastSearch.bestSepNumIndex);
    m_comtozisep->setCurrentIndex(m_lastSearch.bestTozisepIndex);
    m_comtozirep->setCurrentIndex(m_lastSearch.bestTozirepIndex);
    runAnalysis();
}

void Tfrmtozi::waitForSearch()
{
    if (!searching())
        return;
    QEventLoop loop;
    connect(this, &Tfrmtozi::searchFinished, &loop, &QEventLoop::quit);
    if (searching())
        loop.exec();
}

void Tfrmtozi::closeEvent(QCloseEvent *event)
{
    m_search.stop();
    m_search.waitUntilDone();
    event->accept();
}

QString Tfrmtozi::proposedFile(const QString &suffix) const
{
    return m_context.folder.auxiliaryFolder() + m_context.lottery->name + PlayTypeText(playType()) + suffix;
}

QString Tfrmtozi::askSave(const QString &suffix)
{
    QDir().mkpath(m_context.folder.auxiliaryFolder());
    return dialogs::SaveFile(this, QStringLiteral("保存"), m_context.folder.auxiliaryFolder(), proposedFile(suffix),
        Filter(), QStringLiteral("txt"));
}

QString Tfrmtozi::askOpen()
{
    return dialogs::OpenFile(this, QStringLiteral("载入"), m_context.folder.auxiliaryFolder(), Filter());
}

void Tfrmtozi::saveLines(bool needsTickets, const QString &suffix, const std::function<QStringList()> &lines)
{
    if (needsTickets && !hasTickets()) {
        dialogs::Warning(this, windowTitle(), QStringLiteral("请生成号码！"));
        return;
    }
    const QString path = askSave(suffix);
    if (path.isEmpty())
        return;
    WriteTextLines(path, lines());
    dialogs::Information(this, windowTitle(), QStringLiteral("成功保存！"));
}

void Tfrmtozi::saveTickets()
{
    saveLines(
        true, QStringLiteral("投资模式投注号码.txt"), [this] { return InvestTicketLines(playType(), m_tickets); });
}

void Tfrmtozi::saveSettings()
{
    saveLines(false, QStringLiteral("投资模式设置.txt"), [this] { return InvestSettingsLines(controlSettings()); });
}

void Tfrmtozi::saveBoth()
{
    saveLines(true, QStringLiteral("投资模式投注号码和设置.txt"), [this] {
        // The settings, then the count and the tickets (the play type is the settings' first line).
        return InvestSettingsLines(controlSettings()) + InvestTicketLines(playType(), m_tickets).mid(1);
    });
}

void Tfrmtozi::loadTickets()
{
    CheckInvestLottery(*m_context.lottery);
    const QString path = askOpen();
    if (path.isEmpty())
        return;
    const InvestTicketsRead read = ParseInvestTickets(ReadTextLines(path));
    setPlayType(read.play);
    m_edtjushu->setText(QString::number(read.tickets.size()));
    setTickets(read.play, read.tickets);
    if (read.extraLines > 0)
        dialogs::Warning(this, windowTitle(),
            QStringLiteral("文件中的号码多于注数%1，后%2行未载入！").arg(read.count).arg(read.extraLines));
    else if (static_cast<int>(read.tickets.size()) < read.count)
        dialogs::Warning(this, windowTitle(),
            QStringLiteral("文件中只有%1注号码，少于注数%2！").arg(read.tickets.size()).arg(read.count));
}

void Tfrmtozi::loadSettings()
{
    const QString path = askOpen();
    if (path.isEmpty())
        return;
    setControlSettings(ParseInvestSettings(ReadTextLines(path)));
}

void Tfrmtozi::loadBoth()
{
    CheckInvestLottery(*m_context.lottery);
    const QString path = askOpen();
    if (path.isEmpty())
        return;
    const QStringList lines = ReadTextLines(path);
    const InvestFileSettings settings = ParseInvestSettings(lines);
    QStringList ticketLines = lines.mid(kInvestSettingsLines);
    ticketLines.prepend(QString::number(settings.play));
    const InvestTicketsRead read = ParseInvestTickets(ticketLines);
    setControlSettings(settings);
    m_edtjushu->setText(QString::number(read.tickets.size()));
    setTickets(read.play, read.tickets);
    runAnalysis();
}

QString Tfrmtozi::pageTitle(const QString &what) const
{
    const OpenLottery &lottery = *m_context.lottery;
    const QString period = lottery.drawPeriods.isEmpty() ? QString() : lottery.drawPeriods.back();
    return lottery.name + QStringLiteral("  ") + period + QStringLiteral("期") + PlayTypeText(playType()) + what;
}

void Tfrmtozi::printTickets()
{
    if (!hasTickets()) {
        dialogs::Warning(this, windowTitle(), QStringLiteral("请先生成表格！"));
        return;
    }
    TicketReport report {pageTitle(QStringLiteral("投注号码")), ReportDate(QDate::currentDate()), {}};
    for (const BetTicket &t : m_tickets)
        report.tickets << BetTicketText(t);
    PrintReport(this, QStringLiteral("投注号码.pdf"), [report](int width, int height, const TextWidthFn &measure) {
        return TicketReportLayout(report, width, height, measure);
    });
}

void Tfrmtozi::printSettings()
{
    const InvestFileSettings s = controlSettings();
    SettingsReport report {pageTitle(QStringLiteral("投资模式设置")), ReportDate(QDate::currentDate()),
        {
            {QStringLiteral("观察间隔数：") + m_comsepindex->currentText(),
                QStringLiteral("单期最大投入：") + s.singleMax},
            {QStringLiteral("观察间隔连续次数：") + m_comsepnum->currentText(),
                QStringLiteral("累计最大投入：") + s.totalMax},
            {QStringLiteral("中出后间隔数：") + m_comtozisep->currentText(), QStringLiteral("单倍注数：") + s.tickets},
            {QStringLiteral("连续投入期数：") + m_comtozirep->currentText(), QStringLiteral("单注奖金：") + s.prize},
            {QStringLiteral("总体赢余：") + m_edtallwin->text(), QStringLiteral("预期利润：") + s.profit},
            {s.carryLoss ? QStringLiteral("选中预计亏损") : QStringLiteral("取消预计亏损"),
                s.intervalMode ? QStringLiteral("选中间隔模式") : QStringLiteral("取消间隔模式")},
        }};
    PrintReport(this, QStringLiteral("投资模式设置.pdf"), [report](int width, int height, const TextWidthFn &measure) {
        return SettingsReportLayout(report, width, height, measure);
    });
}

} // namespace lumaro
