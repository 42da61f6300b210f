#include "shell/u_main.h"
#include "shell/window_registry.h"
#include "support/screenshot.h"
#include "tickets/tool_window_test.h"
#include "tickets/u_zhongjiang.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

class ZhongjiangWindowTest : public test::ToolWindowTest<Tfrmzhongjiang> {
protected:
    QString file(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("投注号码.txt"));
        test::WriteFile(path, content);
        return path;
    }
    void choose(const QString &path)
    {
        dialogs::testing::QueueFile(path);
        control<QPushButton>("btndaoru")->click();
    }
    void check()
    {
        control<QPushButton>("btnjiancha")->click();
        window->waitForResult();
    }
    QString cell(const char *grid, int row, int column) const
    {
        const QAbstractItemModel *model = control<QTableView>(grid)->model();
        return model->index(row, column).data().toString();
    }
    QStringList headers(const char *grid) const
    {
        const QAbstractItemModel *model = control<QTableView>(grid)->model();
        QStringList all;
        for (int c = 0; c < model->columnCount(); ++c)
            all << model->headerData(c, Qt::Horizontal).toString();
        return all;
    }
    int rows(const char *grid) const { return control<QTableView>(grid)->model()->rowCount(); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(ZhongjiangWindowTest, ChecksATwoZoneTicketFileAgainstAllDrawsOrOne)
{
    WindowTest::SetUp();
    const QString name = QStringLiteral("双色球");
    home.store().appendDraws(name,
        {{QStringLiteral("2024001"), {3, 8, 15, 21, 27, 33}, QStringLiteral("2024-01-02"), {9}},
            {QStringLiteral("2024002"), {1, 2, 3, 4, 5, 6}, QStringLiteral("2024-01-04"), {16}},
            {QStringLiteral("2024003"), {7, 9, 12, 20, 28, 31}, QStringLiteral("2024-01-07"), {2}}});
    lottery.open(home.store(), name);
    window = std::make_unique<Tfrmzhongjiang>(context);
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("中奖查询"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));

    auto *periods = control<QComboBox>("comqishu");
    ASSERT_EQ(periods->count(), 4);
    EXPECT_EQ(periods->itemText(0), QStringLiteral("全部开奖"));
    EXPECT_EQ(periods->itemText(1), QStringLiteral("2024003"));
    EXPECT_EQ(periods->itemText(3), QStringLiteral("2024001"));

    control<QPushButton>("btnjiancha")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请先选择投注号码文件！"));

    // 2024001: 6+0 (二等奖), 1+0, 0+0; 2024002: 1+1 (六等奖), 3+1 (五等奖), 5+0 (四等奖);
    // 2024003: 0+0, 0+0, 1+1 (六等奖).
    choose(file("03 08 15 21 27 33 + 16\r\n01 02 03 10 11 14 + 16\r\n01 02 04 05 06 07 + 02\r\n"));
    EXPECT_TRUE(control<QLineEdit>("edtfile")->text().endsWith(QStringLiteral("投注号码.txt")));
    check();
    EXPECT_FALSE(control<QProgressBar>("pb")->isVisible());
    EXPECT_EQ(control<QPushButton>("btnjiancha")->text(), QStringLiteral("检查"));
    EXPECT_EQ(headers("grdzhongjiang").join(QLatin1Char('|')),
        QStringLiteral("期号|开奖号码|一等奖|二等奖|三等奖|四等奖|五等奖|六等奖|奖金"));
    ASSERT_EQ(rows("grdzhongjiang"), 4);
    // The totals first, then the draws latest first.
    EXPECT_EQ(cell("grdzhongjiang", 0, 0), QStringLiteral("合计"));
    EXPECT_EQ(cell("grdzhongjiang", 0, 8), QStringLiteral("220+浮动"));
    EXPECT_EQ(cell("grdzhongjiang", 1, 0), QStringLiteral("2024003"));
    EXPECT_EQ(cell("grdzhongjiang", 1, 1), QStringLiteral("07 09 12 20 28 31 + 02"));
    EXPECT_EQ(cell("grdzhongjiang", 1, 7), QStringLiteral("1"));
    EXPECT_EQ(cell("grdzhongjiang", 1, 8), QStringLiteral("5"));
    EXPECT_EQ((QStringList {cell("grdzhongjiang", 2, 2), cell("grdzhongjiang", 2, 5), cell("grdzhongjiang", 2, 6),
                  cell("grdzhongjiang", 2, 7), cell("grdzhongjiang", 2, 8)}),
        (QStringList {"0", "1", "1", "1", "215"}));
    EXPECT_EQ(cell("grdzhongjiang", 3, 3), QStringLiteral("1"));
    EXPECT_EQ(cell("grdzhongjiang", 3, 8), QStringLiteral("0+浮动"));
    EXPECT_EQ(
        control<QLabel>("lblsum")->text(), QStringLiteral("检查3期，每期3注；固定奖金合计220元；中浮动奖级的有1期。"));

    // The pairs of the selected row: the totals, then a draw.
    EXPECT_EQ(control<QLabel>("lblzuhe")->text(), QStringLiteral("中奖组合（3期合计）："));
    ASSERT_EQ(rows("grdzuhe"), 14);
    EXPECT_EQ(cell("grdzuhe", 0, 0), QStringLiteral("6+1"));
    EXPECT_EQ(cell("grdzuhe", 0, 1), QStringLiteral("一等奖"));
    EXPECT_EQ(cell("grdzuhe", 0, 2), QStringLiteral("0"));
    EXPECT_EQ(cell("grdzuhe", 1, 1), QStringLiteral("二等奖"));
    EXPECT_EQ(cell("grdzuhe", 1, 2), QStringLiteral("1"));
    test::Screenshot(window.get(), QStringLiteral("zhongjiang_all"));
    control<QTableView>("grdzhongjiang")->selectRow(3);
    EXPECT_EQ(control<QLabel>("lblzuhe")->text(), QStringLiteral("中奖组合（第2024001期）："));
    EXPECT_EQ(cell("grdzuhe", 1, 0), QStringLiteral("6+0"));
    EXPECT_EQ(cell("grdzuhe", 1, 2), QStringLiteral("1"));
    EXPECT_EQ(cell("grdzuhe", 1, 3), QStringLiteral("1"));

    periods->setCurrentIndex(2);
    check();
    ASSERT_EQ(rows("grdzhongjiang"), 2);
    EXPECT_EQ(cell("grdzhongjiang", 1, 0), QStringLiteral("2024002"));
    EXPECT_EQ(
        control<QLabel>("lblsum")->text(), QStringLiteral("检查1期，每期3注；固定奖金合计215元；中浮动奖级的有0期。"));

    // A ticket out of range is refused with its line; the grid keeps the last result.
    choose(file("03 08 15 21 27 33 + 16\r\n01 02 03 10 11 34 + 16\r\n"));
    check();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("文件投注号码.txt第2行：前区号码34不在1到33之间"));
    EXPECT_EQ(rows("grdzhongjiang"), 2);
    EXPECT_TRUE(control<QPushButton>("btndaoru")->isEnabled());
}

TEST_F(ZhongjiangWindowTest, ChecksADigitGameByPositions)
{
    openWindow(QStringLiteral("福彩3D"), "2024001,2024-01-01,1,2,3\n2024002,2024-01-02,3,2,1\n");
    choose(file("01 02 03\r\n03 02 01\r\n01 09 09\r\n"));
    check();
    EXPECT_EQ(headers("grdzhongjiang").join(QLatin1Char('|')),
        QStringLiteral("期号|开奖号码|中3位|中2位|中1位|中0位|直选|奖金"));
    EXPECT_EQ(cell("grdzhongjiang", 0, 2), QStringLiteral("2"));
    EXPECT_EQ(cell("grdzhongjiang", 0, 7), QStringLiteral("2080"));
    EXPECT_EQ(cell("grdzhongjiang", 2, 1), QStringLiteral("01 02 03"));
    EXPECT_EQ(cell("grdzhongjiang", 2, 4), QStringLiteral("2"));
    test::Screenshot(window.get(), QStringLiteral("zhongjiang_digit"));
}

TEST_F(ZhongjiangWindowTest, ShowsTheNineTiersOfDlt)
{
    WindowTest::SetUp();
    home.store().appendDraws(QStringLiteral("大乐透"),
        {{QStringLiteral("24001"), {2, 11, 19, 23, 35}, QStringLiteral("2024-01-01"), {4, 12}},
            {QStringLiteral("24002"), {1, 5, 9, 13, 17}, QStringLiteral("2024-01-03"), {1, 2}}});
    lottery.open(home.store(), QStringLiteral("大乐透"));
    window = std::make_unique<Tfrmzhongjiang>(context);
    window->show();
    // 24001: 5+2 (一等奖), 2+2 (八等奖); 24002: 0+0, 1+0.
    choose(file("02 11 19 23 35 + 04 12\r\n02 11 01 03 05 + 04 12\r\n"));
    check();
    EXPECT_EQ(headers("grdzhongjiang").join(QLatin1Char('|')),
        QStringLiteral("期号|开奖号码|一等奖|二等奖|三等奖|四等奖|五等奖|六等奖|七等奖|八等奖|九等奖|奖金"));
    EXPECT_EQ(cell("grdzhongjiang", 2, 1), QStringLiteral("02 11 19 23 35 + 04 12"));
    EXPECT_EQ(cell("grdzhongjiang", 2, 2), QStringLiteral("1"));
    EXPECT_EQ(cell("grdzhongjiang", 2, 9), QStringLiteral("1"));
    EXPECT_EQ(cell("grdzhongjiang", 2, 11), QStringLiteral("15+浮动"));
    EXPECT_EQ(rows("grdzuhe"), 18);
    test::Screenshot(window.get(), QStringLiteral("zhongjiang_dlt"));
}

TEST_F(ZhongjiangWindowTest, OpensFromTheTicketToolsMenuOnAnOpenLottery)
{
    WindowTest::SetUp();
    ImportDraws(home.store(), QStringLiteral("福彩3D"), "2024001,2024-01-01,1,2,3\n");
    Tfrmmain main(context);
    main.show();
    QAction *item = main.action(QStringLiteral("mnuzhongjiang"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("    中奖查询(&Y)"));
    EXPECT_FALSE(item->isEnabled());
    lottery.open(home.store(), QStringLiteral("福彩3D"));
    main.ShowOpenedLottery();
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    auto *opened = qobject_cast<Tfrmzhongjiang *>(main.registry().find(QStringLiteral("Tfrmzhongjiang")));
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->findChild<QComboBox *>(QStringLiteral("comqishu"))->count(), 2);
}

TEST_F(ZhongjiangWindowTest, StopEndsALongCheck)
{
    LUMARO_HISTORY_FILE(fc3d, "fc3d.csv");
    openWindow(QStringLiteral("福彩3D"), test::ReadFile(fc3d));
    // Enough tickets that every stored draw takes a while: the stop comes long before the end.
    QByteArray lines;
    for (int t = 0; t < 200000; ++t)
        lines += QStringLiteral("%1 %2 %3\r\n")
                     .arg(t % 10, 2, 10, QLatin1Char('0'))
                     .arg(t / 10 % 10, 2, 10, QLatin1Char('0'))
                     .arg(t / 100 % 10, 2, 10, QLatin1Char('0'))
                     .toLatin1();
    choose(file(lines));
    auto *button = control<QPushButton>("btnjiancha");
    button->click();
    ASSERT_TRUE(window->running());
    EXPECT_EQ(button->text(), QStringLiteral("停止"));
    EXPECT_FALSE(control<QPushButton>("btndaoru")->isEnabled());
    EXPECT_FALSE(control<QComboBox>("comqishu")->isEnabled());
    button->click();
    window->waitForResult();
    EXPECT_FALSE(window->running());
    EXPECT_EQ(control<QLabel>("lblsum")->text(), QStringLiteral("检查已停止。"));
    EXPECT_EQ(button->text(), QStringLiteral("检查"));
    EXPECT_TRUE(control<QPushButton>("btndaoru")->isEnabled());
    EXPECT_EQ(rows("grdzhongjiang"), 0);
}
