#include "support/screenshot.h"
#include "tickets/tool_window_test.h"
#include "tickets/u_jiaoqi.h"
#include "tickets/u_totalfilt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

class JiaoqiWindowTest : public test::ToolWindowTest<Tfrmjiaoqi> {
protected:
    void SetUp() override { openWindow(QStringLiteral("广东体彩11选5")); }

    QString caption() const { return control<QLabel>("lbldadi")->text(); }
    QString file(const QString &name, const QByteArray &content)
    {
        const QString path = dir.filePath(name);
        test::WriteFile(path, content);
        return path;
    }
    void importFiles(const QStringList &paths)
    {
        dialogs::testing::QueueFiles(paths);
        control<QPushButton>("btndaoru")->click();
    }
    void intersect()
    {
        control<QPushButton>("btnjiaoqi")->click();
        window->waitForResult();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(JiaoqiWindowTest, ImportIntersectViewSaveAndClear)
{
    ASSERT_TRUE(lottery.lotteryOpen);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("多重大底交集"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
    control<QPushButton>("btnjiaoqi")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请先导入大底文件！"));

    const QString a = file(QStringLiteral("甲.txt"), "01 02 03 04 05\r\n01 02 03 04 06\r\n02 03 04 05 06\r\n");
    const QString b = file(QStringLiteral("乙.txt"), "01,02,03,04,05+06\r\n02 03 04 05 06\r\n02 03 04 05 06\r\n");
    importFiles({a, b});
    auto *list = control<QListWidget>("lstdadi");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("甲.txt"));
    EXPECT_EQ(list->selectedItems().size(), 2);
    EXPECT_EQ(window->files(), (QStringList {a, b}));

    intersect();
    EXPECT_EQ(caption(), QStringLiteral("最终交集：2注"));
    ASSERT_EQ(window->memoLineCount(), 2);
    EXPECT_EQ(window->memoLine(0), QStringLiteral("0000001    01 02 03 04 05 "));
    EXPECT_EQ(test::ReadFile(home.path(QStringLiteral("temp.txt"))),
        QByteArray("0000001    01 02 03 04 05 \r\n0000002    02 03 04 05 06 \r\n"));
    EXPECT_FALSE(control<QProgressBar>("pb")->isVisible());
    EXPECT_TRUE(control<QPushButton>("btnjiaoqi")->isEnabled());
    test::Screenshot(window.get(), QStringLiteral("jiaoqi_result"));

    // The list is saved as a ticket file: no serials, no trailing blank.
    const QString saved = dir.filePath(QStringLiteral("保存"));
    dialogs::testing::QueueFile(saved);
    control<QPushButton>("btnsave")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    EXPECT_EQ(test::ReadFile(saved + QStringLiteral(".txt")), QByteArray("01 02 03 04 05\r\n02 03 04 05 06\r\n"));

    // A saved list intersects like the files it came from.
    importFiles({saved + QStringLiteral(".txt"), a});
    intersect();
    EXPECT_EQ(caption(), QStringLiteral("最终交集：2注"));
    EXPECT_EQ(dialogs::testing::Messages().size(), 2); // no skipped-lines warning

    // Double-click shows a file with its line count.
    window->lstdadiDblClick(1);
    EXPECT_EQ(caption(), QStringLiteral("最终交集：3注"));
    EXPECT_EQ(window->memoLine(2), QStringLiteral("02 03 04 05 06"));

    // A viewed base is saved as a ticket file too: "+" and "," become blanks, extra numbers and
    // lines that hold no ticket are left out and counted.
    const QString odd = file(QStringLiteral("odd.txt"),
        "0000007    1 2 3 4 5 \r\n01,02,03,04,06+09\r\n\r\n号码\r\n05 04 03 02 01\r\n02 03 04 05 06\r\n");
    importFiles({odd});
    window->lstdadiDblClick(0);
    dialogs::testing::QueueFile(saved + QStringLiteral("2.txt"));
    control<QPushButton>("btnsave")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(),
        QStringLiteral("成功保存！\n有2行不是5个从小到大排列的有效号码，没有保存（第一处在第4行）。"));
    EXPECT_EQ(test::ReadFile(saved + QStringLiteral("2.txt")),
        QByteArray("01 02 03 04 05\r\n01 02 03 04 06\r\n02 03 04 05 06\r\n"));
    importFiles({a, b});

    // Tolerances 0 to 1 admit the tickets missing from one of the two files.
    control<QLineEdit>("edtnum2")->setText(QStringLiteral("1"));
    intersect();
    EXPECT_EQ(caption(), QStringLiteral("最终交集：3注"));

    control<QPushButton>("btncls")->click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(window->memoLineCount(), 0);
    EXPECT_EQ(caption(), QStringLiteral("最终交集："));
    EXPECT_EQ(control<QLineEdit>("edtnum2")->text(), QStringLiteral("0"));
    control<QPushButton>("btnjiaoqi")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请先导入大底文件！"));
}

TEST_F(JiaoqiWindowTest, SavedIntersectionLoadsIntoTheTotalFilter)
{
    // Two bases of 11选5 that share three tickets.
    const QString a
        = file(QStringLiteral("a.txt"), "01 02 03 04 05\r\n01 02 03 04 06\r\n01 02 03 04 07\r\n03 05 07 09 11\r\n");
    const QString b = file(QStringLiteral("b.txt"), "01 02 03 04 06\r\n01 02 03 04 07\r\n03 05 07 09 11\r\n");
    importFiles({a, b});
    intersect();
    ASSERT_EQ(caption(), QStringLiteral("最终交集：3注"));
    const QString saved = dir.filePath(QStringLiteral("交集.txt"));
    dialogs::testing::QueueFile(saved);
    control<QPushButton>("btnsave")->click();
    ASSERT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));

    // The total filter loads the file and filters it further.
    Tfrmtotalfilt filter(context);
    dialogs::testing::Clear();
    dialogs::testing::QueueFile(saved);
    filter.btnloadClick();
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << dialogs::testing::LastMessage().toStdString();
    ASSERT_EQ(filter.engine().state(), TotalFilter::State::Loaded);
    EXPECT_EQ(lottery.ticketSet().rowCount(), 3);
    EXPECT_EQ(filter.findChild<QLabel *>(QStringLiteral("lblcode"))->text(), QStringLiteral("过滤结果：3注"));
    QSignalSpy finished(&filter, &Tfrmtotalfilt::runFinished);
    filter.findChild<QCheckBox *>(QStringLiteral("chkjishu"))->setChecked(true);
    filter.findChild<QComboBox *>(QStringLiteral("comjiou1"))->setCurrentText(QStringLiteral("5"));
    filter.findChild<QComboBox *>(QStringLiteral("comjiou2"))->setCurrentText(QStringLiteral("5"));
    filter.btnfiltClick();
    ASSERT_TRUE(filter.isRunning()) << dialogs::testing::LastMessage().toStdString();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(filter.findChild<QLabel *>(QStringLiteral("lblcode"))->text(), QStringLiteral("过滤结果：1注"));
    EXPECT_EQ(test::ReadFile(home.path(QStringLiteral("temp.txt"))), QByteArray("0000001    03 05 07 09 11 \r\n"));
}

TEST_F(JiaoqiWindowTest, BadInputIsReportedAndChangesNothing)
{
    const QString a = file(QStringLiteral("a.txt"), "01 02 03 04 05\r\n");
    const QString mixed = file(QStringLiteral("mixed.txt"), "01 02 03 04 05\r\n05 04 03 02 01\r\n01 02 03 04 99\r\n");
    importFiles({a, mixed});
    intersect();
    EXPECT_EQ(caption(), QStringLiteral("最终交集：1注"));
    const QString warning = dialogs::testing::LastMessage();
    EXPECT_TRUE(warning.contains(QStringLiteral("mixed.txt：2行，第一处在第2行"))) << warning.toStdString();

    dialogs::testing::Clear();
    dialogs::testing::SetEnabled(true);
    control<QLineEdit>("edtnum1")->setText(QStringLiteral("3"));
    control<QLineEdit>("edtnum2")->setText(QStringLiteral("3"));
    control<QPushButton>("btnjiaoqi")->click();
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("0到2")))
        << dialogs::testing::LastMessage().toStdString();
    control<QLineEdit>("edtnum1")->setText(QStringLiteral("x"));
    control<QPushButton>("btnjiaoqi")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("'x' 不是一个有效的整形值"));
    EXPECT_EQ(caption(), QStringLiteral("最终交集：1注"));

    // A token that is not a number stops the computation with the file and line.
    control<QLineEdit>("edtnum1")->setText(QStringLiteral("0"));
    control<QLineEdit>("edtnum2")->setText(QStringLiteral("0"));
    const QString text = file(QStringLiteral("text.txt"), "01 02 03 04 05\r\n号码 02 03 04 05\r\n");
    importFiles({a, text});
    EXPECT_EQ(caption(), QStringLiteral("最终交集："));
    intersect();
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("text.txt第2行")));
    EXPECT_EQ(caption(), QStringLiteral("最终交集："));
    EXPECT_TRUE(control<QPushButton>("btnjiaoqi")->isEnabled());

    // A cancelled import keeps the list.
    control<QPushButton>("btndaoru")->click();
    EXPECT_EQ(window->files().size(), 2);
}

using JiaoqiDigitTest = test::ToolWindowTest<Tfrmjiaoqi>;

TEST_F(JiaoqiDigitTest, DigitLotteryIsRefused)
{
    openWindow(QStringLiteral("福彩3D"));
    QTemporaryDir dir;
    test::WriteFile(dir.filePath(QStringLiteral("a.txt")), "1 2 3\r\n");
    dialogs::testing::QueueFiles({dir.filePath(QStringLiteral("a.txt"))});
    window->btndaoruClick();
    control<QPushButton>("btnjiaoqi")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("大底交集只适用于乐透型彩票！"));
}
