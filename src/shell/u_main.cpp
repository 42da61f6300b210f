#include "shell/u_main.h"

#include "common/errors.h"
#include "data/backup.h"
#include "data/bundled_draws.h"
#include "data/u_index.h"
#include "download/draw_download.h"
#include "shell/busy_cursor.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/site_links.h"
#include "shell/toolbar_icons.h"
#include "shell/u_about.h"
#include "shell/window_catalog.h"
#include "trend/u_code.h"
#include "trend/variant_trend.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumaro {

// The client area: the background picture stretched over it, and at most one view.
class ClientArea : public QWidget {
public:
    ClientArea(const QString &picture, QWidget *parent)
        : QWidget(parent)
        , m_picture(picture)
        , m_layout(new QVBoxLayout(this))
    {
        setObjectName(QStringLiteral("imageback"));
        m_layout->setContentsMargins(0, 0, 0, 0);
        setAutoFillBackground(false);
    }
    void setView(QWidget *view)
    {
        if (view)
            m_layout->addWidget(view);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (m_picture.isNull())
            p.fillRect(rect(), QColor(192, 192, 192));
        else
            p.drawPixmap(rect(), m_picture);
    }

private:
    QPixmap m_picture;
    QVBoxLayout *m_layout;
};

namespace {

// The advert picture opens the advertiser's page on a click.
class ClickableLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> clicked;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && clicked)
            clicked();
    }
};

class TabHolder : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return QSize(200, QWidget::sizeHint().height()); }
    QSize minimumSizeHint() const override { return QSize(100, QWidget::minimumSizeHint().height()); }
};

struct MenuItem {
    const char *name;
    const char *caption;
    const char *window; // tool window key, or nullptr
};

const MenuItem kAnalysisItems[] = {
    {"mnucode", "开奖号码走势(&C)", nullptr},
    {"mnudaxiao", "号码大小分析(&Z)", nullptr},
    {"mnujiou", "号码奇偶分析(&J)", nullptr},
    {"mnuhei", "号码和值分析(&H)", nullptr},
    {"mnukuadu", "号码跨度分析(&k)", nullptr},
    {"mnusandu", "号码散度分析(&S)", nullptr},
    {"mnupiandu", "号码偏度分析(&P)", nullptr},
    {"mnuac", "号码AC值分析(&A)", nullptr},
    {"mnucongma", "号码重码分析(&C)", nullptr},
    {"mnuqujian", "号码区间分析(&Q)", nullptr},
};

const MenuItem kPickItems[] = {
    {"mnutotalfilt", "总体号码缩水过滤(&T)", "Tfrmtotalfilt"},
    {"mnujuzheng", "旋转矩阵组号缩水(&X)", "Tfrmjuzheng"},
    {"mnupiantai", "中奖偏态分析选号(&P)", "Tfrmpiantai"},
    {"mnuyilou", "中奖回补分析选号(&H)", "Tfrmyilou"},
    {"mnusep", "最优间隔回补选号(&L)", "Tfrmsep"},
    {"mnuqingmi", "最优亲密数字选号(&Q)", "Tfrmqingmi"},
    {"mnuallcongma", "无穷重码排除选号(&C)", "Tfrmallcongma"},
    {"mnuallhei", "无穷和值排除选号(&T)", "Tfrmallhei"},
    {"mnuallpiantai", "无穷偏态排除选号(&P)", "Tfrmallpiantai"},
    {"mnuallgensui", "无穷跟随排除选号(&W)", "Tfrmallgensui"},
    {"mnuganzhi", "最优开奖干支选号(&G)", "Tfrmganzhi"},
    {"mnusibu", "最优四步综合选号(&Z)", "Tfrmsibu"},
    {"mnufushi", "最优复式搜索选号(&F)", "Tfrmfushi"},
    {"mnujiaoqi", "    大底交集(&A)", "Tfrmjiaoqi"},
    {"mnuzhongjiang", "    中奖查询(&Y)", "Tfrmzhongjiang"},
};

const MenuItem kInvestItems[] = {
    {"mnugudingjihua", "固定投资计划(&D)", "Tfrmgudingjihua"},
    {"mnujieduanjihua", "阶段投资计划(&J)", "Tfrmjieduanjihua"},
    {"mnukeibianjihua", "可变投资计划(&S)", "Tfrmkeibianjihua"},
    {"mnutozi", "投资模式分析(&Z)", "Tfrmtozi"},
};

// The toolbar buttons that need an open lottery.
const char *const kLotteryButtons[] = {"tlbpiantai", "tlbyilou", "tlbala", "tlbbiaozhun", "tlbbianwan"};

} // namespace

Tfrmmain::Tfrmmain(AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Lumaro"));
    setWindowIcon(ProgramIcon());
    context.shell = this;

    m_client = new ClientArea(context.folder.picturesFolder() + QStringLiteral("back.bmp"), this);
    setCentralWidget(m_client);
    buildMenus();
    buildToolbar();
    statusBar()->setObjectName(QStringLiteral("stbmain"));
    m_trendLabel = new QLabel(statusBar());
    m_trendLabel->setObjectName(QStringLiteral("lbltrend"));
    statusBar()->addWidget(m_trendLabel);

    // The advert panel stays hidden until its picture has arrived.
    m_pan = new QWidget(m_client);
    m_pan->setObjectName(QStringLiteral("pan"));
    m_pan->setFixedSize(900, 120);
    m_imggif = new ClickableLabel(m_pan);
    m_imggif->setObjectName(QStringLiteral("imggif"));
    m_imggif->setGeometry(0, 0, 900, 120);
    m_imggif->setScaledContents(true);
    m_imggif->setCursor(Qt::PointingHandCursor);
    static_cast<ClickableLabel *>(m_imggif)->clicked = [this] {
        if (m_advertTarget.isValid())
            dialogs::OpenUrl(m_advertTarget);
    };
    auto *panclose = new QPushButton(QStringLiteral("×"), m_pan);
    panclose->setObjectName(QStringLiteral("panclose"));
    panclose->setGeometry(840, 10, 25, 25);
    panclose->setCursor(Qt::PointingHandCursor);
    panclose->setStyleSheet(QStringLiteral("QPushButton { color: white; background: rgb(64, 64, 64); font-size: 24px;"
                                           " border: none; padding: 0; }"));
    connect(panclose, &QPushButton::clicked, this, [this] {
        m_panClosed = true;
        m_pan->hide();
    });
    m_pan->hide();

    resize(1024, 720);
    UpdateMenuState();
    startAdvert();
}

Tfrmmain::~Tfrmmain()
{
    m_registry.closeAll();
    if (m_context.shell == this)
        m_context.shell = nullptr;
}

QAction *Tfrmmain::addAction(QMenu *menu, const char *name, const QString &caption, const std::function<void()> &slot)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf8(name));
    connect(action, &QAction::triggered, this, [this, slot] { Guarded(this, slot); });
    m_actions.insert(action->objectName(), action);
    return action;
}

void Tfrmmain::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mnumain"));

    QMenu *file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("mnufile"));
    addAction(file, "mnuopen", QStringLiteral("打开彩票(&O)"), [this] { mnuopenClick(); });
    addAction(file, "mnuclose", QStringLiteral("关闭彩票(&G)"), [this] { mnucloseClick(); });
    file->addSeparator();
    addAction(file, "mnuexit", QStringLiteral("退出(&X)"), [this] { close(); });

    QMenu *data = bar->addMenu(QStringLiteral("彩票数据(&D)"));
    data->setObjectName(QStringLiteral("mnudata"));
    addAction(data, "mnuadddata", QStringLiteral("数据添加(&M)"), [this] { mnuadddataClick(); });
    addAction(data, "mnudownload", QStringLiteral("数据下载(&D)"), [this] { mnudownloadClick(); });
    data->addSeparator();
    addAction(data, "mnubackupdata", QStringLiteral("数据备份(&B)"), [this] { mnubackupdataClick(); });
    addAction(data, "mnustoredata", QStringLiteral("数据恢复(&C)"), [this] { mnustoredataClick(); });

    QMenu *analysis = bar->addMenu(QStringLiteral("数据分析(&A)"));
    analysis->setObjectName(QStringLiteral("mnuanalysis"));
    int tab = 0;
    for (const MenuItem &item : kAnalysisItems) {
        const int index = tab++;
        addAction(analysis, item.name, QString::fromUtf8(item.caption), [this, index] {
            // Selecting the current tab again rebuilds its view.
            const QSignalBlocker blocker(m_tabs);
            m_tabs->setCurrentIndex(index);
            tabmainChange(index);
        });
    }

    QMenu *pick = bar->addMenu(QStringLiteral("选号过滤(&S)"));
    pick->setObjectName(QStringLiteral("mnupick"));
    for (const MenuItem &item : kPickItems) {
        const QString key = QString::fromUtf8(item.window);
        addAction(pick, item.name, QString::fromUtf8(item.caption), [this, key] { showToolWindow(key); });
    }

    QMenu *invest = bar->addMenu(QStringLiteral("投资管理(&M)"));
    invest->setObjectName(QStringLiteral("mnuinvest"));
    for (const MenuItem &item : kInvestItems) {
        const QString key = QString::fromUtf8(item.window);
        addAction(invest, item.name, QString::fromUtf8(item.caption), [this, key] { showToolWindow(key); });
    }

    QMenu *sites = bar->addMenu(QStringLiteral("彩票网站(&W)"));
    sites->setObjectName(QStringLiteral("mnusites"));
    addAction(sites, "mnuvelmora", QStringLiteral("Velmora彩票信息网"),
        [this] { openSite(QStringLiteral("web/velmora"), QStringLiteral("/")); });
    addAction(sites, "mnusports", QStringLiteral("中国体育彩票网"), [this] {
        openSite(
            QStringLiteral("web/sports"), QStringLiteral("/"), QUrl(QStringLiteral("https://www.lottery.gov.cn/")));
    });
    addAction(sites, "mnuwelfare", QStringLiteral("中国福利彩票网"), [this] {
        openSite(QStringLiteral("web/welfare"), QStringLiteral("/"), QUrl(QStringLiteral("https://www.cwl.gov.cn/")));
    });
    addAction(sites, "mnushishicai", QStringLiteral("中国时时彩官网"),
        [this] { openSite(QStringLiteral("web/shishicai"), QStringLiteral("/assist/bonusvideo.aspx?lt=4")); });

    QMenu *help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("mnuhelpmenu"));
    addAction(help, "mnuhelp", QStringLiteral("使用帮助(&C)"), [this] { openHelp(); });
    addAction(help, "mnuhomepage", QStringLiteral("官方网站(&G)"),
        [this] { openSite(QStringLiteral("web/homepage"), QStringLiteral("/index.asp")); });
    addAction(help, "mnuabout", QStringLiteral("关于(&A)..."), [this] { mnuaboutClick(); });
}

QAction *Tfrmmain::addToolButton(const char *name, const QString &caption, const QString &tip, const QString &glyph,
    const QColor &colour, const std::function<void()> &slot)
{
    QAction *action = m_toolbar->addAction(GlyphIcon(glyph, colour), caption);
    action->setObjectName(QString::fromUtf8(name));
    action->setToolTip(tip);
    connect(action, &QAction::triggered, this, [this, slot] { Guarded(this, slot); });
    if (QWidget *button = m_toolbar->widgetForAction(action)) {
        button->setObjectName(QString::fromUtf8(name));
        button->setMinimumSize(55, 36);
    }
    m_actions.insert(action->objectName(), action);
    return action;
}

void Tfrmmain::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("tlbmain"));
    m_toolbar->setObjectName(QStringLiteral("tlbmain"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(18, 18));
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);

    addToolButton("tlbopen", QStringLiteral("打开彩票"), QStringLiteral("打开彩票"), QStringLiteral("开"),
        QColor(40, 120, 200), [this] { mnuopenClick(); });
    addToolButton("tlbdata", QStringLiteral("彩票数据"), QStringLiteral("彩票数据"), QStringLiteral("数"),
        QColor(60, 150, 90), [this] { tlbdataClick(); });
    addToolButton("tlbpiantai", QStringLiteral("干支选号"), QStringLiteral("最优开奖干支选号"), QStringLiteral("干"),
        QColor(180, 110, 40), [this] { showToolWindow(QStringLiteral("Tfrmganzhi")); });
    addToolButton("tlbyilou", QStringLiteral("四步选号"), QStringLiteral("最优四步综合选号"), QStringLiteral("四"),
        QColor(150, 80, 170), [this] { showToolWindow(QStringLiteral("Tfrmsibu")); });
    addToolButton("tlbala", QStringLiteral("总体过滤"), QStringLiteral("总体过滤"), QStringLiteral("滤"),
        QColor(200, 60, 60), [this] { showToolWindow(QStringLiteral("Tfrmtotalfilt")); });
    addToolButton("tlbbiaozhun", QStringLiteral("标准走势"), QStringLiteral("标准走势"), QStringLiteral("标"),
        QColor(90, 100, 120), [this] { tlbbiaozhunClick(); });
    addToolButton("tlbbianwan", QStringLiteral("变幻走势"), QStringLiteral("变幻走势"), QStringLiteral("变"),
        QColor(200, 120, 30), [this] { tlbbianwanClick(); });
    addToolButton("tlbyansi", QStringLiteral("软件演示"), QStringLiteral("软件演示"), QStringLiteral("演"),
        QColor(40, 150, 160), [this] { openHelp(QStringLiteral("getting-started")); });
    auto *gap = new QWidget(m_toolbar);
    gap->setFixedWidth(8);
    m_toolbar->addWidget(gap);
    addToolButton("tlbexit", QStringLiteral("退出"), QStringLiteral("退出系统"), QStringLiteral("退"),
        QColor(120, 120, 120), [this] { close(); });

    // The tab strip fills the rest of the toolbar; its holder asks for little width so the
    // toolbar never moves it into the overflow menu, and the tabs scroll when they do not fit.
    auto *holder = new TabHolder(m_toolbar);
    m_tabs = new QTabBar(holder);
    m_tabs->setObjectName(QStringLiteral("tabmain"));
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setDrawBase(false);
    m_tabs->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    holder->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    for (int i = 0; i < kTabCount; ++i)
        m_tabs->addTab(TabCaption(i));
    auto *holderLayout = new QHBoxLayout(holder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    holderLayout->addWidget(m_tabs, 0, Qt::AlignBottom);
    m_tabsAction = m_toolbar->addWidget(holder);
    auto *margin = new QWidget(m_toolbar);
    margin->setFixedWidth(10);
    m_toolbar->addWidget(margin);
    m_tabsAction->setVisible(false);
    connect(
        m_tabs, &QTabBar::currentChanged, this, [this](int index) { Guarded(this, [&] { tabmainChange(index); }); });
}

QAction *Tfrmmain::action(const QString &objectName) const
{
    return m_actions.value(objectName);
}

Tfrmindex *Tfrmmain::manager() const
{
    return m_manager.data();
}

QWidget *Tfrmmain::advertPanel() const
{
    return m_pan;
}

void Tfrmmain::UpdateMenuState()
{
    const bool open = m_context.lottery->lotteryOpen;
    for (const MenuItem &item : kAnalysisItems)
        m_actions.value(QString::fromUtf8(item.name))->setEnabled(open);
    for (const MenuItem &item : kPickItems)
        m_actions.value(QString::fromUtf8(item.name))->setEnabled(open);
    for (const char *name : kLotteryButtons)
        m_actions.value(QString::fromUtf8(name))->setEnabled(open);
    showTrendMode();
}

void Tfrmmain::showTrendMode()
{
    if (!m_context.lottery->lotteryOpen) {
        m_trendLabel->clear();
        return;
    }
    m_trendLabel->setText(
        m_context.lottery->variantMode ? QStringLiteral("当前走势：变幻走势") : QStringLiteral("当前走势：标准走势"));
}

void Tfrmmain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        UpdateMenuState();
}

void Tfrmmain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_pan->isHidden())
        m_pan->move((m_client->width() - m_pan->width()) / 2, 200);
}

void Tfrmmain::closeViews()
{
    if (m_view) {
        m_view->close();
        delete m_view.data();
    }
    m_view = nullptr;
}

void Tfrmmain::showView(int index)
{
    closeViews();
    QWidget *view = CreateTabView(index, m_context, m_client);
    m_view = view;
    m_client->setView(view);
    view->show();
}

void Tfrmmain::tabmainChange(int index)
{
    if (!m_context.lottery->lotteryOpen)
        return;
    showView(index);
}

void Tfrmmain::ShowOpenedLottery()
{
    {
        const QSignalBlocker blocker(m_tabs);
        m_tabs->setCurrentIndex(0);
    }
    m_tabsAction->setVisible(true);
    setWindowTitle(QStringLiteral("Lumaro《") + m_context.lottery->name + QStringLiteral("》"));
    m_actions.value(QStringLiteral("tlbdata"))
        ->setText(IsElevenFiveGame(m_context.lottery->name) ? QStringLiteral("快速开奖") : QStringLiteral("数据管理"));
    UpdateMenuState();
    showView(0);
}

void Tfrmmain::mnucloseClick()
{
    m_context.store->close();
    closeViews();
    m_registry.closeAll();
    m_context.lottery->close();
    m_tabsAction->setVisible(false);
    setWindowTitle(QStringLiteral("Lumaro"));
    UpdateMenuState();
}

void Tfrmmain::mnuopenClick()
{
    mnucloseClick();
    if (!m_manager)
        m_manager = new Tfrmindex(m_context, this);
    m_manager->exec();
    // After an opening the next 打开彩票 starts with a freshly read list.
    if (m_manager && m_manager->opened()) {
        m_manager->deleteLater();
        m_manager = nullptr;
    }
}

void Tfrmmain::tlbdataClick()
{
    mnucloseClick();
    const QString name = m_context.lottery->name;
    if (!IsElevenFiveGame(name)) {
        std::unique_ptr<QWidget> editor(CreateDrawEditor(m_context, this));
        if (auto *dialog = qobject_cast<QDialog *>(editor.get())) {
            dialog->setAttribute(Qt::WA_DeleteOnClose, false);
            dialog->exec();
        }
        return;
    }
    {
        std::unique_ptr<QWidget> update(CreateQuickUpdateWindow(m_context, m_downloadDone, this));
        if (auto *dialog = qobject_cast<QDialog *>(update.get())) {
            dialog->setAttribute(Qt::WA_DeleteOnClose, false);
            dialog->exec();
        }
    }
    const BusyCursor busy;
    m_context.lottery->reopen(*m_context.store);
    ShowOpenedLottery();
}

void Tfrmmain::mnuadddataClick()
{
    mnucloseClick();
    std::unique_ptr<QWidget> editor(CreateDrawEditor(m_context, this));
    if (auto *dialog = qobject_cast<QDialog *>(editor.get())) {
        dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        dialog->exec();
    }
}

void Tfrmmain::mnudownloadClick()
{
    mnucloseClick();
    std::unique_ptr<QWidget> download(CreateDownloadWindow(m_context, m_downloadDone, this));
    if (auto *dialog = qobject_cast<QDialog *>(download.get())) {
        dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        dialog->exec();
    }
}

void Tfrmmain::mnubackupdataClick()
{
    const QString path = dialogs::SaveFile(this, QStringLiteral("数据备份"), DesktopFolder(),
        QStringLiteral("彩票数据"), QStringLiteral("数据库(*.db)|*.db"), QStringLiteral("db"));
    if (path.isEmpty())
        return;
    {
        const BusyCursor busy;
        BackupDatabase(*m_context.store, path);
    }
    dialogs::Information(this, QStringLiteral("数据备份"), QStringLiteral("成功备份！"));
}

void Tfrmmain::mnustoredataClick()
{
    mnucloseClick();
    const QString path
        = dialogs::OpenFile(this, QStringLiteral("数据恢复"), DesktopFolder(), QStringLiteral("数据库(*.db)|*.db"));
    if (path.isEmpty())
        return;
    const QString kept = RestoreDatabase(*m_context.store, path);
    dialogs::Information(this, QStringLiteral("数据恢复"),
        QStringLiteral("成功恢复！\n原来的数据库保留为：%1").arg(QDir::toNativeSeparators(kept)));
}

void Tfrmmain::mnuaboutClick()
{
    if (!m_about)
        m_about = new Tfrmabout(m_context.folder, this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

QWidget *Tfrmmain::showToolWindow(const QString &key)
{
    const ToolWindowEntry *entry = FindToolWindow(key);
    if (!entry)
        return nullptr;
    if (entry->needsDraws && m_context.lottery->lotteryOpen && m_context.lottery->drawCount == 0) {
        dialogs::Information(
            this, entry->caption, NoDrawsHint(m_context.lottery->name, DownloadsFromService(m_context.lottery->name)));
        return nullptr;
    }
    return m_registry.show(key, [this, entry] { return entry->create(m_context, this); });
}

void Tfrmmain::setBallChooserEnabled(bool enabled)
{
    const ToolWindowEntry *entry = FindToolWindow(QStringLiteral("Tfrmtotalfilt"));
    QWidget *filter = m_registry.ensure(entry->key, [this, entry] { return entry->create(m_context, this); });
    if (auto *chooser = filter->findChild<QCheckBox *>(QStringLiteral("chkhongqiu"))) {
        if (!enabled)
            chooser->setChecked(false);
        chooser->setEnabled(enabled);
    }
    if (auto *balls = filter->findChild<QGroupBox *>(QStringLiteral("GroupBox2")))
        balls->setEnabled(enabled);
}

void Tfrmmain::refreshActiveView()
{
    if (!m_view)
        return;
    if (auto *grid = qobject_cast<Tfrmcode *>(m_view.data())) {
        grid->refresh();
        return;
    }
    QMetaObject::invokeMethod(m_view.data(), "Recompute");
    QMetaObject::invokeMethod(m_view.data(), "RefreshChart");
}

void Tfrmmain::tlbbiaozhunClick()
{
    if (!m_context.lottery->lotteryOpen)
        return;
    m_context.lottery->variantMode = false;
    m_context.lottery->BuildStandardTrend();
    showTrendMode();
    setBallChooserEnabled(true);
    refreshActiveView();
}

void Tfrmmain::tlbbianwanClick()
{
    if (!m_context.lottery->lotteryOpen)
        return;
    m_context.lottery->variantMode = true;
    RandomSource random = m_context.newRandom();
    BuildVariantTrend(*m_context.lottery, random);
    showTrendMode();
    setBallChooserEnabled(false);
    refreshActiveView();
}

void Tfrmmain::openSite(const QString &key, const QString &path, const QUrl &fallback)
{
    QUrl url = SiteUrl(m_context.folder, key, path);
    if (url.isEmpty() && fallback.isValid())
        url = fallback;
    if (url.isEmpty()) {
        dialogs::Information(this, QStringLiteral("Lumaro"),
            QStringLiteral("没有设置这个网站的地址。请在程序文件夹的“附属/站点.ini”中填写 %1。").arg(key));
        return;
    }
    dialogs::OpenUrl(url);
}

void Tfrmmain::openHelp(const QString &section)
{
    const QString path = m_context.folder.helpFolder() + QStringLiteral("Lumaro帮助.html");
    if (!QFile::exists(path))
        throw IoError::fileNotFound(path);
    QUrl url = QUrl::fromLocalFile(path);
    if (!section.isEmpty())
        url.setFragment(section);
    dialogs::OpenUrl(url);
}

void Tfrmmain::startAdvert()
{
    const QUrl picture = SiteUrl(m_context.folder, QStringLiteral("advert/host"), QStringLiteral("/guanggao.gif"));
    const QString gif = m_context.folder.file(QStringLiteral("guanggao.gif"));
    QFile::remove(gif);
    if (picture.isEmpty())
        return; // no advert server configured: no request, no panel
    m_network = new QNetworkAccessManager(this);
    m_network->setTransferTimeout(8000);
    QNetworkRequest request(picture);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, gif] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError)
            return;
        QFile file(gif);
        if (!file.open(QIODevice::WriteOnly) || file.write(reply->readAll()) < 0)
            return;
        file.close();
        QNetworkRequest linkRequest(
            SiteUrl(m_context.folder, QStringLiteral("advert/host"), QStringLiteral("/ggurl.txt")));
        linkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkReply *link = m_network->get(linkRequest);
        connect(link, &QNetworkReply::finished, this, [this, link, gif] {
            link->deleteLater();
            if (link->error() != QNetworkReply::NoError)
                return;
            m_advertTarget = QUrl(QString::fromUtf8(link->readAll()).trimmed());
            m_movie = new QMovie(gif, QByteArray(), this);
            if (!m_movie->isValid() || m_panClosed)
                return;
            m_imggif->setMovie(m_movie);
            m_movie->start();
            m_pan->move((m_client->width() - m_pan->width()) / 2, 200);
            m_pan->show();
            m_pan->raise();
        });
    });
}

} // namespace lumaro
