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
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumaro {

namespace {

QString searchCaption()
{
    return QStringLiteral("搜索");
}

QTableView *makeGrid(QWidget *parent, const char *name, FunctionTableModel *&model)
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

void setWidths(QTableView *grid, const std::vector<int> &widths)
{
    for (std::size_t c = 0; c < widths.size(); ++c)
        grid->setColumnWidth(static_cast<int>(c), std::max(24, widths[c]));
}

QString filter()
{
    return QStringLiteral("文本文件(*.txt)|*.txt");
}

} // namespace

Tfrmtozi::Tfrmtozi(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
{
    setWindowTitle(QStringLiteral("投资模式分析"));
    // Wider than the classic 720 × 567, so that the result figures and money boxes show whole.
    resize(900, 600);
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("历史中奖："), this));
    grdsep = makeGrid(this, "grdsep", m_sepModel);
    left->addWidget(grdsep);
    layout->addLayout(left, 2);

    auto *middle = new QVBoxLayout;
    middle->addWidget(new QLabel(QStringLiteral("投注号码："), this));
    grdcode = makeGrid(this, "grdcode", m_codeModel);
    middle->addWidget(grdcode, 1);
    pb = new QProgressBar(this);
    pb->setObjectName(QStringLiteral("pb"));
    pb->hide();
    middle->addWidget(pb);
    middle->addWidget(new QLabel(QStringLiteral("间隔统计："), this));
    grdsepmode = makeGrid(this, "grdsepmode", m_sepmodeModel);
    middle->addWidget(grdsepmode, 1);
    layout->addLayout(middle, 2);

    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("投资和赢亏："), this));
    grdtozi = makeGrid(this, "grdtozi", m_toziModel);
    right->addWidget(grdtozi, 2);

    grptozi = new QGroupBox(this);
    grptozi->setObjectName(QStringLiteral("grptozi"));
    auto *settings = new QGridLayout(grptozi);
    settings->setVerticalSpacing(3);
    edtjushu = NewField(grptozi, "edtjushu", QStringLiteral("100"));
    edtoutofsin = NewField(grptozi, "edtoutofsin", QStringLiteral("1000"));
    edtlirun = NewField(grptozi, "edtlirun", QStringLiteral("10"));
    edtsinmax = NewField(grptozi, "edtsinmax", QStringLiteral("1000000"));
    edtallmax = NewField(grptozi, "edtallmax", QStringLiteral("1000000"));
    comtozisep = NewNumberCombo(grptozi, "comtozisep", 0, kWaitItems - 1, 0);
    comtozirep = NewNumberCombo(grptozi, "comtozirep", 1, kBetItems, 1);
    comsepindex = NewNumberCombo(grptozi, "comsepindex", 1, kGapItems, 1);
    comsepnum = NewNumberCombo(grptozi, "comsepnum", 1, kStreakItems, 1);
    chksepmode = NewCheckBox(grptozi, "chksepmode", QString(), true);
    chkyuji = NewCheckBox(grptozi, "chkyuji", QString(), true);
    edtallwin = NewField(grptozi, "edtallwin");
    edtallwin->setReadOnly(true);
    // The boxes hold eight digits whole and grow no wider than 110.
    for (QLineEdit *edit : {edtjushu, edtoutofsin, edtlirun, edtsinmax, edtallmax, edtallwin}) {
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 12);
        edit->setMaximumWidth(110);
    }
    const std::vector<std::pair<QString, QWidget *>> rows {
        {QStringLiteral("单倍注数："), edtjushu},
        {QStringLiteral("观察间隔数："), comsepindex},
        {QStringLiteral("单注奖金："), edtoutofsin},
        {QStringLiteral("观察间隔连续次数："), comsepnum},
        {QStringLiteral("预期利润(%)："), edtlirun},
        {QStringLiteral("中出后间隔期数："), comtozisep},
        {QStringLiteral("单期最大投入："), edtsinmax},
        {QStringLiteral("连续投入期数："), comtozirep},
        {QStringLiteral("累计最大投入："), edtallmax},
        {QStringLiteral("间隔模式："), chksepmode},
        {QStringLiteral("总体赢余："), edtallwin},
        {QStringLiteral("预计亏损："), chkyuji},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i / 2);
        const int column = static_cast<int>(i % 2) * 2;
        auto *label = new QLabel(rows[i].first, grptozi);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        settings->addWidget(label, row, column);
        settings->addWidget(rows[i].second, row, column + 1);
    }
    right->addWidget(grptozi);

    optzhuzhi = new QGroupBox(this);
    optzhuzhi->setObjectName(QStringLiteral("optzhuzhi"));
    auto *plays = new QHBoxLayout(optzhuzhi);
    for (const QString &text : PlayTypeTexts()) {
        auto *button = new QRadioButton(text, optzhuzhi);
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
    right->addWidget(optzhuzhi);

    btnfilt = NewButton(this, "btnfilt", QStringLiteral("随机生成"));
    btnala = NewButton(this, "btnala", QStringLiteral("分析"));
    btnyouhua = NewButton(this, "btnyouhua", searchCaption());
    btnclear = NewButton(this, "btnclear", QStringLiteral("清空"));
    tlbtnsave = NewToolButton(this, "tlbtnsave", QStringLiteral("保存"));
    tlbtnload = NewToolButton(this, "tlbtnload", QStringLiteral("载入"));
    tlbtnprint = NewToolButton(this, "tlbtnprint", QStringLiteral("打印"));
    btnclose = NewButton(this, "btnclose", QStringLiteral("关闭"));
    // Buttons on the left, the tool buttons with their menus (as wide as the buttons) on the right.
    auto *buttons = new QGridLayout;
    QWidget *const grid[4][2]
        = {{btnfilt, tlbtnsave}, {btnala, tlbtnload}, {btnyouhua, tlbtnprint}, {btnclear, btnclose}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 2; ++column)
            buttons->addWidget(grid[row][column], row, column);
    }
    for (QToolButton *tool : {tlbtnsave, tlbtnload, tlbtnprint})
        tool->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    right->addLayout(buttons);
    layout->addLayout(right, 6);

    const auto guard = [this](void (Tfrmtozi::*action)()) {
        return [this, action] { guarded(this, [this, action] { (this->*action)(); }); };
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
    for (auto [tool, menu] :
        {std::pair {tlbtnsave, m_saveMenu}, std::pair {tlbtnload, m_loadMenu}, std::pair {tlbtnprint, m_printMenu}}) {
        QMenu *popup = menu;
        connect(tool, &QToolButton::pressed, this, [popup] { popup->popup(QCursor::pos()); });
    }

    connect(btnfilt, &QPushButton::clicked, this, guard(&Tfrmtozi::btnfiltClick));
    connect(btnala, &QPushButton::clicked, this, guard(&Tfrmtozi::btnalaClick));
    connect(btnyouhua, &QPushButton::clicked, this, guard(&Tfrmtozi::btnyouhuaClick));
    connect(btnclear, &QPushButton::clicked, this, guard(&Tfrmtozi::btnclearClick));
    connect(btnclose, &QPushButton::clicked, this, &QWidget::close);
    connect(chksepmode, &QCheckBox::toggled, this, &Tfrmtozi::updateIntervalMode);
    m_search.lockWhileRunning({btnala, btnfilt, btnclear, btnclose, tlbtnsave, tlbtnload, tlbtnprint, grptozi});
    m_search.setProgressBar(pb);
    connect(&m_search, &BackgroundRun::finished, this, [this] {
        btnyouhua->setText(searchCaption());
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
    s.waitIndex = comtozisep->currentIndex();
    s.betIndex = comtozirep->currentIndex();
    s.gapIndex = comsepindex->currentIndex();
    s.streakIndex = comsepnum->currentIndex();
    s.singleMax = edtsinmax->text();
    s.totalMax = edtallmax->text();
    s.tickets = edtjushu->text();
    s.prize = edtoutofsin->text();
    s.profit = edtlirun->text();
    s.carryLoss = chkyuji->isChecked();
    s.intervalMode = chksepmode->isChecked();
    return s;
}

void Tfrmtozi::setControlSettings(const InvestFileSettings &s)
{
    setPlayType(static_cast<PlayType>(s.play));
    comtozisep->setCurrentIndex(s.waitIndex);
    comtozirep->setCurrentIndex(s.betIndex);
    comsepindex->setCurrentIndex(s.gapIndex);
    comsepnum->setCurrentIndex(s.streakIndex);
    edtsinmax->setText(s.singleMax);
    edtallmax->setText(s.totalMax);
    edtjushu->setText(s.tickets);
    edtoutofsin->setText(s.prize);
    edtlirun->setText(s.profit);
    chkyuji->setChecked(s.carryLoss);
    chksepmode->setChecked(s.intervalMode);
    updateIntervalMode();
}

void Tfrmtozi::updateIntervalMode()
{
    const bool on = chksepmode->isChecked();
    if (!on) {
        comsepindex->setCurrentIndex(0);
        comsepnum->setCurrentIndex(0);
    }
    comsepindex->setEnabled(on);
    comsepnum->setEnabled(on);
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
    const int sepWidth = grdsep->viewport()->width() > 100 ? grdsep->viewport()->width() : 150;
    setWidths(grdsep, {(sepWidth - 30) * 2 / 3 + 5, (sepWidth - 30) / 3 - 5});
    const int codeWidth = std::max(120, grdcode->viewport()->width());
    setWidths(grdcode, std::vector<int>(4, (codeWidth - 30) / 4));
    const int modeWidth = std::max(120, grdsepmode->viewport()->width());
    setWidths(grdsepmode, std::vector<int>(3, (modeWidth - 20) / 3));
}

void Tfrmtozi::showResult()
{
    m_toziModel->setContent(static_cast<int>(m_result.rows.size()), [this](int row, int column) -> QVariant {
        return QString::number(m_result.rows[static_cast<std::size_t>(row)].values[static_cast<std::size_t>(column)]);
    });
    if (!searching()) {
        const int width = std::max(280, grdtozi->viewport()->width());
        setWidths(grdtozi, std::vector<int>(7, (width - 20) / 7));
    }
}

void Tfrmtozi::btnfiltClick()
{
    checkInvestLottery(*m_context.lottery);
    const PlayType play = playType();
    const int count = toInteger(edtjushu->text());
    if (count > PlayTypeMaxTickets(play) || count < 1) {
        dialogs::error(this, windowTitle(), PlayTypeLimitMessage(play));
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
            dialogs::warning(this, windowTitle(), QStringLiteral("请生成号码！"));
        return;
    }
    m_result = RunInvestmentAnalysis(m_history, ToInvestSettings(controlSettings()));
    edtallwin->setText(QString::number(m_result.totalGain));
    showResult();
    if (messages && !m_result.abortMessage().isEmpty())
        dialogs::warning(this, windowTitle(), m_result.abortMessage());
}

void Tfrmtozi::btnalaClick()
{
    runAnalysis();
}

void Tfrmtozi::btnclearClick()
{
    comtozisep->setCurrentIndex(0);
    comtozirep->setCurrentIndex(0);
    comsepindex->setCurrentIndex(0);
    comsepnum->setCurrentIndex(0);
    edtsinmax->setText(QStringLiteral("10000"));
    edtallmax->setText(QStringLiteral("100000"));
    edtjushu->setText(QStringLiteral("100"));
    edtoutofsin->setText(QStringLiteral("1000"));
    edtlirun->setText(QStringLiteral("10"));
    chkyuji->setChecked(true);
    chksepmode->setChecked(true);
}

void Tfrmtozi::btnyouhuaClick()
{
    if (searching()) {
        m_search.stop();
        return;
    }
    if (!hasTickets()) {
        dialogs::warning(this, windowTitle(), QStringLiteral("请生成号码！"));
        return;
    }
    const InvestSettings settings = ToInvestSettings(controlSettings());
    if (settings.tickets <= 0)
        throw InputError(QStringLiteral("单倍注数必须大于0！"));
    pb->setRange(0, SearchTrialCount(settings.intervalMode));
    btnyouhua->setText(QStringLiteral("停止搜索"));
    // The worker runs on a private copy of the history and settings; only the progress comes back.
    m_search.start([history = m_history, settings](
                       const Progress &progress) { return RunInvestmentSearch(history, settings, progress); },
        [this](const SearchResult &result) { finishSearch(result); }, [this] { m_lastSearch = {}; });
}

void Tfrmtozi::finishSearch(const SearchResult &result)
{
    m_lastSearch = result;
    if (chksepmode->isChecked())
        comsepnum->setCurrentIndex(m_lastSearch.bestSepNumIndex);
    comtozisep->setCurrentIndex(m_lastSearch.bestTozisepIndex);
    comtozirep->setCurrentIndex(m_lastSearch.bestTozirepIndex);
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
    return dialogs::saveFile(this, QStringLiteral("保存"), m_context.folder.auxiliaryFolder(), proposedFile(suffix),
        filter(), QStringLiteral("txt"));
}

QString Tfrmtozi::askOpen()
{
    return dialogs::openFile(this, QStringLiteral("载入"), m_context.folder.auxiliaryFolder(), filter());
}

void Tfrmtozi::saveLines(bool needsTickets, const QString &suffix, const std::function<QStringList()> &lines)
{
    if (needsTickets && !hasTickets()) {
        dialogs::warning(this, windowTitle(), QStringLiteral("请生成号码！"));
        return;
    }
    const QString path = askSave(suffix);
    if (path.isEmpty())
        return;
    WriteTextLines(path, lines());
    dialogs::information(this, windowTitle(), QStringLiteral("成功保存！"));
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
    checkInvestLottery(*m_context.lottery);
    const QString path = askOpen();
    if (path.isEmpty())
        return;
    const InvestTicketsRead read = ParseInvestTickets(ReadTextLines(path));
    setPlayType(read.play);
    edtjushu->setText(QString::number(read.tickets.size()));
    setTickets(read.play, read.tickets);
    if (read.extraLines > 0)
        dialogs::warning(this, windowTitle(),
            QStringLiteral("文件中的号码多于注数%1，后%2行未载入！").arg(read.count).arg(read.extraLines));
    else if (static_cast<int>(read.tickets.size()) < read.count)
        dialogs::warning(this, windowTitle(),
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
    checkInvestLottery(*m_context.lottery);
    const QString path = askOpen();
    if (path.isEmpty())
        return;
    const QStringList lines = ReadTextLines(path);
    const InvestFileSettings settings = ParseInvestSettings(lines);
    QStringList ticketLines = lines.mid(kInvestSettingsLines);
    ticketLines.prepend(QString::number(settings.play));
    const InvestTicketsRead read = ParseInvestTickets(ticketLines);
    setControlSettings(settings);
    edtjushu->setText(QString::number(read.tickets.size()));
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
        dialogs::warning(this, windowTitle(), QStringLiteral("请先生成表格！"));
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
            {QStringLiteral("观察间隔数：") + comsepindex->currentText(),
                QStringLiteral("单期最大投入：") + s.singleMax},
            {QStringLiteral("观察间隔连续次数：") + comsepnum->currentText(),
                QStringLiteral("累计最大投入：") + s.totalMax},
            {QStringLiteral("中出后间隔数：") + comtozisep->currentText(), QStringLiteral("单倍注数：") + s.tickets},
            {QStringLiteral("连续投入期数：") + comtozirep->currentText(), QStringLiteral("单注奖金：") + s.prize},
            {QStringLiteral("总体赢余：") + edtallwin->text(), QStringLiteral("预期利润：") + s.profit},
            {s.carryLoss ? QStringLiteral("选中预计亏损") : QStringLiteral("取消预计亏损"),
                s.intervalMode ? QStringLiteral("选中间隔模式") : QStringLiteral("取消间隔模式")},
        }};
    PrintReport(this, QStringLiteral("投资模式设置.pdf"), [report](int width, int height, const TextWidthFn &measure) {
        return SettingsReportLayout(report, width, height, measure);
    });
}

} // namespace lumaro
