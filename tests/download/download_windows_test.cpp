#include "data/open_lottery.h"
#include "download/u_download2.h"
#include "download/u_download3.h"
#include "fixture_pages.h"
#include "fixture_server.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "support/test_home.h"
#include "support/window_test.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace lumaro;
namespace pages = lumaro::test::pages;

namespace {

bool WaitUntil(const std::function<bool()> &condition, int ms = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// Saves a picture of the window when LUMARO_SCREENSHOTS names a folder.
void Screenshot(QWidget *window, const char *name)
{
    const QString folder = qEnvironmentVariable("LUMARO_SCREENSHOTS");
    if (!folder.isEmpty())
        window->grab().save(folder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png"));
}

// The download windows read their sites from the program folder: every one points at the local
// fixture server.
class DownloadWindowTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        test::WriteSites(home.folder(), server, 5);
    }

    test::FixtureServer server;
    DownloadDone downloadDone;
};

const QString kQlcPage = QStringLiteral("/trend/analyseqlc.do?operator=historicalNumbers&page=1");

} // namespace

TEST_F(DownloadWindowTest, DownloadWindowRunsTheChosenLotteryAndReports)
{
    Tfrmdownload2 window(context, downloadDone);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("数据下载"));
    EXPECT_EQ(window.size(), QSize(354, 74));
    auto *comdown = window.findChild<QComboBox *>(QStringLiteral("comdown"));
    auto *btndown = window.findChild<QPushButton *>(QStringLiteral("btndown"));
    auto *lbltitle = window.findChild<QLabel *>(QStringLiteral("lbltitle"));
    ASSERT_TRUE(comdown && btndown && lbltitle);
    EXPECT_EQ(comdown->count(), 14);
    EXPECT_EQ(comdown->itemText(13), QStringLiteral("排列5"));
    EXPECT_EQ(comdown->currentText(), QStringLiteral("所有彩票"));
    EXPECT_EQ(comdown->itemText(5), QStringLiteral("山东体彩11选5"));
    EXPECT_EQ(window.findChild<QPushButton *>(QStringLiteral("btnclose"))->text(), QStringLiteral("退出"));
    EXPECT_TRUE(btndown->isDefault());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(lbltitle->isVisible());
    // A page lottery and a service lottery as the list shows them.
    comdown->setCurrentText(QStringLiteral("中国福彩七乐彩"));
    Screenshot(&window, "download2_choice");
    comdown->setCurrentText(QStringLiteral("双色球"));
    Screenshot(&window, "download2_service_game");
    comdown->setCurrentIndex(0);
    Screenshot(&window, "download2_start");

    // The first page answers only after a while, so the running window can be looked at.
    test::FixtureResponse slow;
    slow.hang = true;
    server.serve(kQlcPage, slow);
    test::WriteSites(home.folder(), test::SiteHosts {server.root(), server.root(), server.root(), server.root(), 1.5});
    comdown->setCurrentIndex(1);
    QTest::mouseClick(btndown, Qt::LeftButton);
    EXPECT_TRUE(window.isDownloading());
    EXPECT_FALSE(btndown->isVisible());
    EXPECT_FALSE(comdown->isVisible());
    EXPECT_TRUE(WaitUntil([&] { return lbltitle->text() == QStringLiteral("正在更新中国福彩七乐透。。。"); }, 5000));
    EXPECT_TRUE(lbltitle->isVisible());
    Screenshot(&window, "download2_running");
    // Nothing closes the window while it works.
    window.close();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());

    ASSERT_TRUE(WaitUntil([&] { return !window.isVisible(); }));
    EXPECT_TRUE(downloadDone.value);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    const QString message = dialogs::testing::LastMessage();
    EXPECT_TRUE(message.startsWith(QStringLiteral("下载完成！\n中国福彩七乐彩：新增0期，下载失败：")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("连接超时"))) << message.toStdString();
}

TEST_F(DownloadWindowTest, DownloadWindowAddsDrawsWithoutFreezing)
{
    server.serve(kQlcPage,
        pages::QlcHistoryPage({{QStringLiteral("2024002"), {1, 2, 3, 4, 5, 6, 7}, {}},
            {QStringLiteral("2024001"), {8, 9, 10, 11, 12, 13, 14}, {}}}));
    Tfrmdownload2 window(context, downloadDone);
    window.show();
    window.findChild<QComboBox *>(QStringLiteral("comdown"))->setCurrentText(QStringLiteral("中国福彩七乐彩"));
    window.btndownClick();
    ASSERT_TRUE(WaitUntil([&] { return !window.isVisible(); }));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("下载完成！\n中国福彩七乐彩：新增2期"));
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国福彩七乐彩")), 2);
    ASSERT_EQ(window.reports().size(), 1u);
}

TEST_F(DownloadWindowTest, QuickUpdateUsesDayPagesFirstAndTheFeedSecond)
{
    const QString name = QStringLiteral("广东体彩11选5");
    lottery.name = name; // the shell closed the lottery; the record keeps its name
    const QDate today = QDate::currentDate();
    const QString todayText = today.toString(QStringLiteral("yyMMdd"));
    server.serveEmptyPagesUnder(QStringLiteral("/lottery/draw/list/23?d="));
    server.serve(QStringLiteral("/lottery/draw/list/23?d=") + today.toString(QStringLiteral("yyyy-MM-dd")),
        pages::ElevenFiveDayPage({{todayText + QStringLiteral("01"), {1, 2, 3, 4, 5}, {}}}, false));
    server.serve(QStringLiteral("/static/gd11x5/newlyopenlist.xml"),
        pages::Feed(
            {{todayText + QStringLiteral("02"), {6, 7, 8, 9, 10}, today.toString(QStringLiteral("yyyy-MM-dd"))},
                {todayText + QStringLiteral("01"), {1, 2, 3, 4, 5}, today.toString(QStringLiteral("yyyy-MM-dd"))}},
            false));

    {
        Tfrmdownload3 first(context, downloadDone);
        EXPECT_EQ(first.windowTitle(), QStringLiteral("数据下载"));
        EXPECT_TRUE(first.windowFlags() & Qt::WindowStaysOnTopHint);
        auto *lbltitle = first.findChild<QLabel *>(QStringLiteral("lbltitle"));
        ASSERT_NE(lbltitle, nullptr);
        EXPECT_EQ(lbltitle->text(), QStringLiteral("正在更新广东体彩11选5。。。"));
        first.show();
        EXPECT_FALSE(first.isDownloading()); // the timer starts it about a second later
        ASSERT_TRUE(WaitUntil([&] { return first.isDownloading() || !first.isVisible(); }, 5000));
        EXPECT_TRUE(lbltitle->isVisible() || !first.isVisible());
        Screenshot(&first, "download3_running");
        ASSERT_TRUE(WaitUntil([&] { return !first.isVisible(); }));
        EXPECT_TRUE(first.result().dayPages);
    }
    EXPECT_TRUE(downloadDone.value);
    EXPECT_EQ(server.requests().size(), 50);
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("下载完成！\n广东体彩11选5：新增1期"));

    server.clearRequests();
    {
        Tfrmdownload3 second(context, downloadDone);
        second.show();
        ASSERT_TRUE(WaitUntil([&] { return !second.isVisible(); }));
        EXPECT_FALSE(second.result().dayPages);
    }
    EXPECT_EQ(server.requests(), QStringList {QStringLiteral("/static/gd11x5/newlyopenlist.xml")});
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("下载完成！\n广东体彩11选5：新增1期"));
    EXPECT_EQ(home.store().drawCount(name), 2);
}

TEST_F(DownloadWindowTest, QuickUpdateOfAnotherLotteryShowsAnErrorAndCloses)
{
    lottery.name = QStringLiteral("中国福彩七乐彩");
    Tfrmdownload3 window(context, downloadDone);
    window.show();
    ASSERT_TRUE(WaitUntil([&] { return !window.isVisible(); }, 5000));
    ASSERT_FALSE(dialogs::testing::Messages().isEmpty());
    EXPECT_EQ(dialogs::testing::Messages().back().kind, QStringLiteral("error"));
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("没有快速开奖")));
    EXPECT_FALSE(downloadDone.value);
    EXPECT_TRUE(server.requests().isEmpty());
}
