#include "data/bundled_draws.h"
#include "data/draw_import.h"
#include "data/u_index.h"
#include "shell/dialogs.h"
#include "shell/u_flash.h"
#include "shell/u_main.h"
#include "shell/window_catalog.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"
#include "trend/trend_grid_model.h"
#include "trend/u_code.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

using test::Screenshot;

class MainWindowTest : public test::WindowTest {
protected:
    MainWindowTest()
        : WindowTest(5)
    { }
    void SetUp() override
    {
        WindowTest::SetUp();
        window = std::make_unique<Tfrmmain>(context);
        window->resize(1200, 800);
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        WindowTest::TearDown();
    }

    void addDraws(const QString &name, const QByteArray &text) { ImportDraws(home.store(), name, text); }

    // Opens a lottery the way the manager's 打开彩票 does.
    void openLottery(const QString &name)
    {
        Tfrmindex manager(context, window.get());
        auto *list = manager.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list->setCurrentItem(items.front());
        manager.btnopenClick();
        ASSERT_TRUE(manager.opened());
    }

    bool enabled(const char *name) const { return window->action(QString::fromUtf8(name))->isEnabled(); }
    std::unique_ptr<Tfrmmain> window;
};

// Closes the modal window that is about to run, as a user pressing its close button.
void CloseNextModal()
{
    QTimer::singleShot(0, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
}

} // namespace

TEST_F(MainWindowTest, ClosedStateEnablesOnlyWhatNeedsNoLottery)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumaro"));
    for (const char *name : {"mnucode", "mnuqujian", "mnutotalfilt", "mnujiaoqi", "mnusibu", "tlbpiantai", "tlbyilou",
             "tlbala", "tlbbiaozhun", "tlbbianwan"})
        EXPECT_FALSE(enabled(name)) << name;
    for (const char *name :
        {"mnuopen", "mnuclose", "mnuexit", "mnuadddata", "mnudownload", "mnubackupdata", "mnustoredata",
            "mnugudingjihua", "mnutozi", "mnuhelp", "mnuabout", "tlbopen", "tlbdata", "tlbyansi", "tlbexit"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(window->tabmain()->isVisible());
    EXPECT_EQ(window->action(QStringLiteral("mnujiaoqi"))->text(), QStringLiteral("    大底交集(&A)"));
    EXPECT_EQ(window->action(QStringLiteral("mnukuadu"))->text(), QStringLiteral("号码跨度分析(&k)"));
    EXPECT_FALSE(window->advertPanel()->isVisible()); // no advert server configured
    Screenshot(window.get(), QStringLiteral("main_closed"));
}

TEST_F(MainWindowTest, OpeningShowsTheLotteryAndClosingForgetsTheToolWindows)
{
    addDraws(QStringLiteral("中国体彩22选5"), "2020001 05 09 13 20 22\n2020002 01 02 03 04 05\n");
    openLottery(QStringLiteral("中国体彩22选5"));
    QApplication::processEvents(); // the toolbar lays out its widgets
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumaro《中国体彩22选5》"));
    EXPECT_TRUE(window->tabmain()->isVisible());
    EXPECT_EQ(window->tabmain()->count(), 10);
    EXPECT_EQ(window->tabmain()->currentIndex(), 0);
    EXPECT_EQ(window->tabmain()->tabText(7), QStringLiteral("号码AC值分析"));
    EXPECT_NE(qobject_cast<Tfrmcode *>(window->currentView()), nullptr);
    EXPECT_EQ(window->action(QStringLiteral("tlbdata"))->text(), QStringLiteral("数据管理"));
    EXPECT_TRUE(enabled("mnutotalfilt"));
    EXPECT_TRUE(enabled("tlbbianwan"));

    QWidget *first = window->showToolWindow(QStringLiteral("Tfrmsep"));
    EXPECT_EQ(window->showToolWindow(QStringLiteral("Tfrmsep")), first);
    EXPECT_EQ(window->registry().count(), 1);

    window->mnucloseClick();
    QApplication::processEvents();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumaro"));
    EXPECT_FALSE(window->tabmain()->isVisible());
    EXPECT_EQ(window->currentView(), nullptr);
    EXPECT_EQ(window->registry().count(), 0);
    EXPECT_FALSE(enabled("mnucode"));
    EXPECT_EQ(window->action(QStringLiteral("tlbdata"))->text(), QStringLiteral("数据管理")); // kept after closing
    EXPECT_EQ(lottery.name, QStringLiteral("中国体彩22选5"));
}

TEST_F(MainWindowTest, TabsAndAnalysisMenuRebuildTheView)
{
    addDraws(QStringLiteral("南粤风采26选5"), "2020001 05 09 13 20 22\n");
    openLottery(QStringLiteral("南粤风采26选5"));
    window->tabmain()->setCurrentIndex(3);
    QWidget *sum = window->currentView();
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(qobject_cast<Tfrmcode *>(sum), nullptr);
    window->action(QStringLiteral("mnuhei"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->tabmain()->currentIndex(), 3);
    window->action(QStringLiteral("mnucode"))->trigger();
    EXPECT_NE(qobject_cast<Tfrmcode *>(window->currentView()), nullptr);
}

TEST_F(MainWindowTest, ALotteryWithoutDrawsSaysHowToGetThem)
{
    openLottery(QStringLiteral("南粤风采36选7"));
    QApplication::processEvents();
    // Every tab shows the hint instead of an empty grid or chart.
    for (int tab : {0, 3, 9}) {
        window->tabmain()->setCurrentIndex(tab);
        ASSERT_NE(window->currentView(), nullptr) << tab;
        auto *hint = qobject_cast<QLabel *>(window->currentView());
        ASSERT_NE(hint, nullptr) << window->currentView()->metaObject()->className();
        ASSERT_NE(hint, nullptr) << tab;
        EXPECT_EQ(hint->objectName(), QStringLiteral("lblnodraws"));
        EXPECT_TRUE(hint->text().startsWith(QStringLiteral("“南粤风采36选7”还没有开奖号码。")));
        for (const char *way : {"导入", "数据下载", "附属/站点.ini", "逐期输入"})
            EXPECT_TRUE(hint->text().contains(QString::fromUtf8(way))) << way;
        EXPECT_TRUE(hint->isVisible());
    }
    window->tabmain()->setCurrentIndex(0);
    Screenshot(window.get(), QStringLiteral("main_no_draws"));

    // A picker that works on the history says the same and stays closed; a window that needs no
    // history opens as before.
    EXPECT_EQ(window->showToolWindow(QStringLiteral("Tfrmsep")), nullptr);
    EXPECT_EQ(dialogs::testing::LastMessage(), NoDrawsHint(QStringLiteral("南粤风采36选7")));
    EXPECT_EQ(window->registry().count(), 0);
    EXPECT_NE(window->showToolWindow(QStringLiteral("Tfrmtotalfilt")), nullptr);

    // Once draws are there the grid is back.
    window->mnucloseClick();
    addDraws(QStringLiteral("南粤风采36选7"), "2020001 01 05 09 13 20 22 36\n");
    openLottery(QStringLiteral("南粤风采36选7"));
    EXPECT_NE(qobject_cast<Tfrmcode *>(window->currentView()), nullptr);
    EXPECT_NE(window->showToolWindow(QStringLiteral("Tfrmsep")), nullptr);
}

TEST_F(MainWindowTest, DataButtonFollowsTheLotteryGroup)
{
    addDraws(QStringLiteral("广东体彩11选5"), "26040101 01 02 03 04 05\n");
    openLottery(QStringLiteral("广东体彩11选5"));
    EXPECT_EQ(window->action(QStringLiteral("tlbdata"))->text(), QStringLiteral("快速开奖"));
    // The quick update closes the lottery, runs its window and opens the same lottery again.
    CloseNextModal();
    window->tlbdataClick();
    EXPECT_TRUE(lottery.lotteryOpen);
    EXPECT_FALSE(lottery.variantMode);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumaro《广东体彩11选5》"));

    openLottery(QStringLiteral("中国体彩22选5"));
    EXPECT_EQ(window->action(QStringLiteral("tlbdata"))->text(), QStringLiteral("数据管理"));
    CloseNextModal();
    window->tlbdataClick(); // the draw editor; nothing is reopened afterwards
    EXPECT_FALSE(lottery.lotteryOpen);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumaro"));
}

TEST_F(MainWindowTest, VariantTrendRebuildsTheGridAndDisablesTheBallChooser)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    ImportDrawFile(home.store(), QStringLiteral("中国福彩七乐彩"), qlc);
    openLottery(QStringLiteral("中国福彩七乐彩"));
    auto *grid = qobject_cast<Tfrmcode *>(window->currentView());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->rowCount(), 2921);
    EXPECT_EQ(grid->model()->data(grid->model()->index(0, 1)).toString(), QStringLiteral("02 06 11 16 17 29 30"));
    Screenshot(window.get(), QStringLiteral("main_qlc_standard"));

    window->tlbbianwanClick();
    EXPECT_TRUE(lottery.variantMode);
    QWidget *filter = window->registry().find(QStringLiteral("Tfrmtotalfilt"));
    ASSERT_NE(filter, nullptr); // created hidden although never shown
    EXPECT_FALSE(filter->isVisible());
    EXPECT_FALSE(filter->findChild<QCheckBox *>(QStringLiteral("chkhongqiu"))->isEnabled());
    EXPECT_FALSE(filter->findChild<QGroupBox *>(QStringLiteral("GroupBox2"))->isEnabled());
    // The grid shows ranks in ascending order with one mark per rank.
    const QStringList ranks = grid->model()->data(grid->model()->index(0, 1)).toString().split(QLatin1Char(' '));
    ASSERT_EQ(ranks.size(), 7);
    for (int i = 1; i < 7; ++i)
        EXPECT_LT(ranks[i - 1].toInt(), ranks[i].toInt());
    int marks = 0;
    for (int c = 3; c <= 32; ++c)
        marks += grid->model()->data(grid->model()->index(0, c)).toString() == QStringLiteral("●") ? 1 : 0;
    EXPECT_EQ(marks, 7);
    Screenshot(window.get(), QStringLiteral("main_qlc_variant"));

    window->tlbbiaozhunClick();
    EXPECT_FALSE(lottery.variantMode);
    EXPECT_TRUE(filter->findChild<QCheckBox *>(QStringLiteral("chkhongqiu"))->isEnabled());
    EXPECT_EQ(grid->model()->data(grid->model()->index(0, 1)).toString(), QStringLiteral("02 06 11 16 17 29 30"));

    // Every opening returns to the standard trend.
    window->tlbbianwanClick();
    openLottery(QStringLiteral("中国福彩七乐彩"));
    EXPECT_FALSE(lottery.variantMode);
}

TEST_F(MainWindowTest, TheStatusBarSaysWhichTrendIsInForce)
{
    QLabel *trend = window->trendIndicator();
    EXPECT_TRUE(trend->text().isEmpty());
    addDraws(QStringLiteral("中国体彩22选5"), "2020001 05 09 13 20 22\n2020002 01 02 03 04 05\n");
    openLottery(QStringLiteral("中国体彩22选5"));
    QApplication::processEvents();
    EXPECT_TRUE(trend->isVisible());
    EXPECT_EQ(trend->text(), QStringLiteral("当前走势：标准走势"));
    window->action(QStringLiteral("tlbbianwan"))->trigger();
    EXPECT_EQ(trend->text(), QStringLiteral("当前走势：变幻走势"));
    Screenshot(window.get(), QStringLiteral("main_variant_status"));
    // A window that switches the trend through the shell is shown the same way.
    context.shell->switchToStandardTrend();
    EXPECT_EQ(trend->text(), QStringLiteral("当前走势：标准走势"));
    window->tlbbianwanClick();
    openLottery(QStringLiteral("中国体彩22选5")); // every opening is standard again
    EXPECT_EQ(trend->text(), QStringLiteral("当前走势：标准走势"));
    window->mnucloseClick();
    EXPECT_TRUE(trend->text().isEmpty());
}

TEST_F(MainWindowTest, HelpAndSitesGoThroughTheDesktop)
{
    window->action(QStringLiteral("mnuhelp"))->trigger();
    ASSERT_EQ(dialogs::testing::OpenedUrls().size(), 1);
    EXPECT_TRUE(dialogs::testing::OpenedUrls().front().toLocalFile().endsWith(QStringLiteral("帮助/Lumaro帮助.html")));
    window->action(QStringLiteral("tlbyansi"))->trigger();
    EXPECT_EQ(dialogs::testing::OpenedUrls().back().fragment(), QStringLiteral("getting-started"));
    window->action(QStringLiteral("mnusports"))->trigger();
    EXPECT_EQ(dialogs::testing::OpenedUrls().back().host(), QStringLiteral("www.lottery.gov.cn"));
    window->action(QStringLiteral("mnuvelmora"))->trigger(); // not configured: says so
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("站点.ini")));
    window->action(QStringLiteral("mnuabout"))->trigger();
    auto *about = window->findChild<QDialog *>(QStringLiteral("frmabout"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于本程序"));
    Screenshot(about, QStringLiteral("about"));
}

TEST(Splash, ClosesAtTheFifthTickOrOnAClick)
{
    test::TestHome home;
    Tfrmflash splash(home.folder());
    EXPECT_EQ(splash.size(), QSize(551, 337));
    Screenshot(&splash, QStringLiteral("splash"));
    QTimer::singleShot(50, &splash, [&] { QTest::mouseClick(&splash, Qt::LeftButton); });
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_EQ(splash.ticks(), 0); // closed by the click, before its first tick
}

TEST(MainWindowAdvert, UnreachableServerLeavesThePanelHidden)
{
    test::TestHome home;
    test::WriteFile(home.path(QStringLiteral("附属/站点.ini")), "[advert]\nhost=http://127.0.0.1:9\n");
    OpenLottery lottery;
    AppContext context;
    context.folder = home.folder();
    context.store = &home.store();
    context.lottery = &lottery;
    Tfrmmain window(context); // how long this takes is measured by the responsiveness benchmark
    window.show();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(window.advertPanel()->isVisible());
}

TEST(TrendGridModel, ColumnsHeadersAndMarksOf22Choose5)
{
    test::TestHome home;
    ImportDraws(home.store(), QStringLiteral("中国体彩22选5"), "2020001 01 02 03 04 05\n2020002 05 09 13 20 22\n");
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("中国体彩22选5"));
    TrendGridModel model(lottery);
    EXPECT_EQ(model.columnCount(), 26);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("记录期号"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("开奖号码"));
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("1"));
    EXPECT_EQ(model.headerData(24, Qt::Horizontal).toString(), QStringLiteral("22"));
    // Row 0 is the newest draw.
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("2020002"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("05 09 13 20 22"));
    QList<int> marked;
    for (int c = 0; c < 26; ++c) {
        if (model.data(model.index(0, c)).toString() == QStringLiteral("●"))
            marked << c;
    }
    EXPECT_EQ(marked, (QList<int> {7, 11, 15, 22, 24}));
    EXPECT_EQ(model.data(model.index(0, 3), Qt::BackgroundRole).value<QColor>(), QColor(150, 150, 100));
    EXPECT_EQ(model.data(model.index(0, 25), Qt::BackgroundRole).value<QColor>(), QColor(100, 100, 100));
}

TEST(TrendGridModel, DigitLotteryColumnsAreTheDigits)
{
    test::TestHome home;
    ImportDraws(home.store(), QStringLiteral("福彩3D"), "2002001 00 07 00\n");
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("福彩3D"));
    TrendGridModel model(lottery);
    EXPECT_EQ(model.columnCount(), 14);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("0"));
    EXPECT_EQ(model.headerData(12, Qt::Horizontal).toString(), QStringLiteral("9"));
    EXPECT_EQ(model.data(model.index(0, 3)).toString(), QStringLiteral("●"));
    EXPECT_EQ(model.data(model.index(0, 10)).toString(), QStringLiteral("●"));
}

class ManagerTest : public test::WindowTest { };

TEST_F(ManagerTest, ListsTheLotteriesAndShowsDefinitions)
{
    Tfrmindex manager(context);
    auto *list = manager.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
    EXPECT_EQ(list->count(), 13);
    EXPECT_EQ(manager.windowTitle(), QStringLiteral("彩票操作"));
    EXPECT_EQ(manager.findChild<QLineEdit *>(QStringLiteral("edtcaisum"))->text(), QStringLiteral("10"));
    EXPECT_FALSE(manager.findChild<QLineEdit *>(QStringLiteral("edtcainame"))->isEnabled());

    manager.btnopenClick();
    EXPECT_EQ(dialogs::testing::Messages().back().title, QStringLiteral("错误"));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请选择彩票！"));
    EXPECT_FALSE(manager.opened());

    LotteryDefinition a;
    a.name = QStringLiteral("甲");
    a.n = 30;
    a.m = 5;
    a.weekdays = QStringLiteral("135");
    home.store().createLottery(a);
    LotteryDefinition b = a;
    b.name = QStringLiteral("乙");
    b.weekdays = QStringLiteral("26");
    home.store().createLottery(b);
    Tfrmindex fresh(context);
    auto *freshList = fresh.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
    freshList->setCurrentRow(13);
    EXPECT_TRUE(fresh.weekdayBox(1)->isChecked());
    freshList->setCurrentRow(14);
    QList<int> checked;
    for (int k = 1; k <= 7; ++k) {
        if (fresh.weekdayBox(k)->isChecked())
            checked << k;
    }
    EXPECT_EQ(checked, (QList<int> {2, 6}));
    EXPECT_EQ(fresh.findChild<QLineEdit *>(QStringLiteral("edtcainame"))->text(), QStringLiteral("乙"));
    Screenshot(&fresh, QStringLiteral("manager"));
}

TEST_F(ManagerTest, AddAndDeleteWithTheirChecks)
{
    Tfrmindex manager(context);
    auto *add = manager.findChild<QPushButton *>(QStringLiteral("btnadd"));
    auto *name = manager.findChild<QLineEdit *>(QStringLiteral("edtcainame"));
    auto *sum = manager.findChild<QLineEdit *>(QStringLiteral("edtcaisum"));
    auto *sel = manager.findChild<QLineEdit *>(QStringLiteral("edtcaisel"));
    auto *list = manager.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
    manager.btnaddClick();
    EXPECT_EQ(add->text(), QStringLiteral("确定添加"));
    EXPECT_TRUE(name->isEnabled());
    EXPECT_TRUE(sum->isEnabled());
    EXPECT_FALSE(manager.findChild<QPushButton *>(QStringLiteral("btnopen"))->isEnabled());

    manager.btnaddClick(); // empty name
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请输入彩票名称！"));
    name->setText(QStringLiteral("中国福彩七乐彩"));
    manager.btnaddClick();
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("已经存在")));
    name->setText(QStringLiteral("自选35选5"));
    sum->setText(QStringLiteral("x"));
    manager.btnaddClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("号码总数和选择号码数必须是整数！"));
    manager.findChild<QWidget *>(QStringLiteral("optcaitype0"))->setProperty("checked", true);
    sum->setText(QStringLiteral("5"));
    sel->setText(QStringLiteral("6"));
    manager.btnaddClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("选择号码数不能大于号码总数！"));
    sum->setText(QStringLiteral("35"));
    sel->setText(QStringLiteral("5"));
    manager.btnaddClick();
    EXPECT_EQ(add->text(), QStringLiteral("添加彩票"));
    EXPECT_EQ(list->count(), 14);
    EXPECT_EQ(home.store().readDefinition(QStringLiteral("自选35选5")).n, 35);

    dialogs::testing::QueueAnswer(false);
    manager.btndelClick();
    EXPECT_EQ(list->count(), 14);
    dialogs::testing::QueueAnswer(true);
    manager.btndelClick();
    EXPECT_EQ(list->count(), 13);
    EXPECT_EQ(name->text(), QStringLiteral("自选35选5")); // the fields keep showing the deleted lottery
}

TEST_F(ManagerTest, AddingCanBeCancelledByItsButtonOrByClosing)
{
    Tfrmindex manager(context);
    manager.show();
    auto *add = manager.findChild<QPushButton *>(QStringLiteral("btnadd"));
    auto *cancel = manager.findChild<QPushButton *>(QStringLiteral("btncancel"));
    auto *name = manager.findChild<QLineEdit *>(QStringLiteral("edtcainame"));
    auto *list = manager.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
    auto *open = manager.findChild<QPushButton *>(QStringLiteral("btnopen"));
    auto *exit = manager.findChild<QPushButton *>(QStringLiteral("btnext"));
    auto *del = manager.findChild<QPushButton *>(QStringLiteral("btndel"));
    EXPECT_FALSE(cancel->isVisible());
    list->setCurrentRow(3);
    const QString shown = name->text();
    EXPECT_EQ(shown, QStringLiteral("中国体彩22选5"));
    auto expectBrowsing = [&](const char *how) {
        EXPECT_EQ(add->text(), QStringLiteral("添加彩票")) << how;
        EXPECT_TRUE(list->isEnabled()) << how;
        EXPECT_TRUE(open->isEnabled()) << how;
        EXPECT_TRUE(exit->isEnabled()) << how;
        EXPECT_TRUE(del->isEnabled()) << how;
        EXPECT_FALSE(name->isEnabled()) << how;
        EXPECT_EQ(name->text(), shown) << how; // the selected lottery is shown again
        EXPECT_TRUE(manager.weekdayBox(7)->isChecked()) << how;
    };

    manager.btnaddClick();
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_FALSE(del->isVisible());
    name->setText(QStringLiteral("不要了"));
    Screenshot(&manager, QStringLiteral("manager_adding"));
    cancel->click();
    expectBrowsing("取消添加");
    EXPECT_FALSE(cancel->isVisible());

    // Closing the window in the middle of an adding cancels it; the kept instance opens as a list.
    manager.btnaddClick();
    manager.close();
    EXPECT_FALSE(manager.isVisible());
    expectBrowsing("close");
    EXPECT_EQ(list->count(), 13);
    EXPECT_EQ(home.store().listLotteries().size(), 13);
    manager.btnopenClick();
    EXPECT_TRUE(manager.opened());
    EXPECT_EQ(lottery.name, QStringLiteral("中国体彩22选5"));
}

namespace {

// The controls placed on the window itself that show: none may lie over another (the cancel
// button takes the place of the delete button, one of them hidden at a time). A label's box is
// a little taller than its text; it may touch the control under it by a pixel or two.
QStringList OverlappingControls(QWidget *window)
{
    QList<QWidget *> shown;
    for (QWidget *w : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisibleTo(window) && !w->objectName().isEmpty())
            shown << w;
    }
    QStringList overlaps;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            const QRect common = shown[i]->geometry().intersected(shown[j]->geometry());
            const bool label = qobject_cast<QLabel *>(shown[i]) || qobject_cast<QLabel *>(shown[j]);
            if (!common.isEmpty() && !(label && common.height() <= 2))
                overlaps << QStringLiteral("%1/%2 (%3×%4)")
                                .arg(shown[i]->objectName(), shown[j]->objectName())
                                .arg(common.width())
                                .arg(common.height());
        }
    }
    return overlaps;
}

} // namespace

// A two-zone lottery shows its kind and its back zone; the back fields show for 双区型 only,
// and what sits under them moves so nothing overlaps. Adding one checks the back zone as the
// store does; cancelling puts the kind shown before back.
TEST_F(ManagerTest, TwoZoneLotteriesAreShownAddedAndDeleted)
{
    Tfrmindex manager(context);
    manager.show();
    auto *list = manager.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
    auto *name = manager.findChild<QLineEdit *>(QStringLiteral("edtcainame"));
    auto *sum = manager.findChild<QLineEdit *>(QStringLiteral("edtcaisum"));
    auto *sel = manager.findChild<QLineEdit *>(QStringLiteral("edtcaisel"));
    auto *backSum = manager.findChild<QLineEdit *>(QStringLiteral("edthouqusum"));
    auto *backSel = manager.findChild<QLineEdit *>(QStringLiteral("edthouqusel"));
    auto *twoZone = manager.findChild<QAbstractButton *>(QStringLiteral("optcaitype2"));
    auto *lotto = manager.findChild<QAbstractButton *>(QStringLiteral("optcaitype0"));
    ASSERT_TRUE(backSum && backSel && twoZone && lotto);
    EXPECT_EQ(twoZone->text(), QStringLiteral("双区型"));
    auto select = [&](const char *lottery) {
        list->setCurrentItem(list->findItems(QString::fromUtf8(lottery), Qt::MatchExactly).front());
    };

    select("双色球");
    EXPECT_EQ(name->text(), QStringLiteral("双色球"));
    EXPECT_TRUE(twoZone->isChecked());
    EXPECT_EQ((QStringList {sum->text(), sel->text(), backSum->text(), backSel->text()}),
        (QStringList {QStringLiteral("33"), QStringLiteral("6"), QStringLiteral("16"), QStringLiteral("1")}));
    EXPECT_TRUE(backSum->isVisible());
    EXPECT_FALSE(backSum->isEnabled()); // browsing
    EXPECT_EQ(manager.findChild<QLabel *>(QStringLiteral("Label7"))->text(), QStringLiteral("后区号码总数："));
    EXPECT_EQ(manager.findChild<QLabel *>(QStringLiteral("Label8"))->text(), QStringLiteral("后区选择号码数："));
    EXPECT_EQ(OverlappingControls(&manager).join(QLatin1Char(' ')), QString());
    Screenshot(&manager, QStringLiteral("manager_two_zone"));
    select("大乐透");
    EXPECT_EQ(backSum->text(), QStringLiteral("12"));
    EXPECT_EQ(backSel->text(), QStringLiteral("2"));
    select("排列5");
    EXPECT_FALSE(twoZone->isChecked());
    EXPECT_FALSE(backSum->isVisible());
    EXPECT_EQ(sel->text(), QStringLiteral("5"));
    EXPECT_EQ(OverlappingControls(&manager).join(QLatin1Char(' ')), QString());

    // Adding: the back fields come with 双区型 and go with the other kinds.
    manager.btnaddClick();
    twoZone->click();
    EXPECT_TRUE(backSum->isVisible());
    EXPECT_TRUE(backSum->isEnabled());
    EXPECT_EQ(OverlappingControls(&manager).join(QLatin1Char(' ')), QString());
    Screenshot(&manager, QStringLiteral("manager_two_zone_adding"));
    name->setText(QStringLiteral("自选双区"));
    sum->setText(QStringLiteral("35"));
    sel->setText(QStringLiteral("5"));
    const struct {
        const char *backSum;
        const char *backSel;
        const char *message;
    } refusals[] = {
        {"x", "2", "后区号码总数和后区选择号码数必须是整数！"},
        {"12", "", "后区号码总数和后区选择号码数必须是整数！"},
        {"12", "13", "后区选择号码数不能大于后区号码总数！"},
        {"100", "1", "后区号码总数应在1到99之间！"},
        {"12", "0", "后区选择号码数至少为1！"},
    };
    for (const auto &c : refusals) {
        backSum->setText(QString::fromUtf8(c.backSum));
        backSel->setText(QString::fromUtf8(c.backSel));
        manager.btnaddClick();
        EXPECT_EQ(dialogs::testing::LastMessage(), QString::fromUtf8(c.message)) << c.backSum << '/' << c.backSel;
        EXPECT_TRUE(manager.adding());
    }
    EXPECT_FALSE(home.store().hasLottery(QStringLiteral("自选双区")));
    backSum->setText(QStringLiteral("12"));
    backSel->setText(QStringLiteral("2"));
    manager.btnaddClick();
    EXPECT_FALSE(manager.adding());
    ASSERT_TRUE(home.store().hasLottery(QStringLiteral("自选双区")));
    const LotteryDefinition made = home.store().readDefinition(QStringLiteral("自选双区"));
    EXPECT_EQ(made.kind, LotteryKind::TwoZone);
    EXPECT_EQ((std::vector<int> {made.n, made.m, made.backN, made.backM}), (std::vector<int> {35, 5, 12, 2}));
    EXPECT_EQ(list->count(), 14);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("自选双区"));

    // A lotto made while the back fields still hold numbers has no back zone.
    manager.btnaddClick();
    lotto->click();
    EXPECT_FALSE(backSum->isVisible());
    name->setText(QStringLiteral("自选乐透"));
    manager.btnaddClick();
    EXPECT_EQ(home.store().readDefinition(QStringLiteral("自选乐透")).kind, LotteryKind::Lotto);
    EXPECT_EQ(home.store().readDefinition(QStringLiteral("自选乐透")).backM, 0);

    // Cancelling an adding shows the two-zone lottery as it was.
    select("自选双区");
    manager.btnaddClick();
    lotto->click();
    manager.btncancelClick();
    EXPECT_TRUE(twoZone->isChecked());
    EXPECT_TRUE(backSum->isVisible());
    EXPECT_EQ(backSel->text(), QStringLiteral("2"));

    // Deleting asks, then drops both of its tables.
    dialogs::testing::QueueAnswer(true);
    manager.btndelClick();
    EXPECT_FALSE(home.store().hasLottery(QStringLiteral("自选双区")));
    EXPECT_EQ(list->count(), 14);
    EXPECT_TRUE(home.store().hasLottery(QStringLiteral("双色球")));
}
