// The total filter, the wheel and the intersection windows on a two-zone lottery (大乐透): the
// back numbers are chosen in the window, the lists show and save two-zone lines.
#include "shell/dialogs.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"
#include "tickets/total_filter.h"
#include "tickets/u_jiaoqi.h"
#include "tickets/u_juzheng.h"
#include "tickets/u_totalfilt.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;
using lumaro::test::ReadFile;
using lumaro::test::WriteFile;

namespace {

const QString kDlt = QStringLiteral("大乐透");

class TwoZoneWindows : public test::WindowTest {
protected:
    TwoZoneWindows()
        : WindowTest(5)
    { }
    void TearDown() override
    {
        filter.reset();
        wheel.reset();
        intersection.reset();
        WindowTest::TearDown();
    }
    template<class T>
    T *find(QWidget *window, const QString &name) const
    {
        T *control = window->findChild<T *>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }
    QCheckBox *backBox(int v) const
    {
        return find<QCheckBox>(filter.get(), QStringLiteral("chkhouqu%1").arg(v, 2, 10, QLatin1Char('0')));
    }
    void chooseBack(std::initializer_list<int> numbers)
    {
        for (int v = 1; v <= 12; ++v)
            backBox(v)->setChecked(std::find(numbers.begin(), numbers.end(), v) != numbers.end());
    }
    // 和值 15 to 16 on the classic page: two front sets.
    void sumFifteenToSixteen()
    {
        find<QCheckBox>(filter.get(), QStringLiteral("chkhei"))->setChecked(true);
        find<QLineEdit>(filter.get(), QStringLiteral("edthei"))->setText(QStringLiteral("15-16"));
    }
    void runFilter()
    {
        QSignalSpy finished(filter.get(), &Tfrmtotalfilt::runFinished);
        dialogs::testing::Clear();
        filter->btnfiltClick();
        ASSERT_TRUE(filter->isRunning()) << dialogs::testing::LastMessage().toStdString();
        ASSERT_TRUE(finished.wait(60000));
    }
    QString memoLine(int row) const
    {
        const QAbstractItemModel *model = find<QListView>(filter.get(), QStringLiteral("memcode"))->model();
        return model->index(row, 0).data().toString();
    }

    QTemporaryDir dir;
    std::unique_ptr<Tfrmtotalfilt> filter;
    std::unique_ptr<Tfrmjuzheng> wheel;
    std::unique_ptr<Tfrmjiaoqi> intersection;
};

} // namespace

TEST_F(TwoZoneWindows, TotalFilterCombinesTheFrontResultWithTheCheckedBackNumbers)
{
    lottery.open(home.store(), kDlt);
    filter = std::make_unique<Tfrmtotalfilt>(context, nullptr);
    filter->show();
    auto *group = find<QGroupBox>(filter.get(), QStringLiteral("grphouqu"));
    ASSERT_NE(group, nullptr);
    // Every back number is checked at first, and the window holds the whole group.
    EXPECT_EQ(filter->backChoice().numbers.size(), 12u);
    EXPECT_LE(group->geometry().bottom(), filter->height());
    test::Screenshot(filter.get(), QStringLiteral("two_zone_totalfilt_new"));

    chooseBack({3, 5, 9});
    sumFifteenToSixteen();
    runFilter();
    EXPECT_EQ(find<QLabel>(filter.get(), QStringLiteral("lblcode"))->text(),
        QStringLiteral("过滤结果：6注（前区2注 × 后区3注）"));
    EXPECT_EQ(find<QListView>(filter.get(), QStringLiteral("memcode"))->model()->rowCount(), 6);
    EXPECT_EQ(memoLine(0), QStringLiteral("0000001    01 02 03 04 05 + 03 05 "));
    EXPECT_EQ(memoLine(5), QStringLiteral("0000006    01 02 03 04 06 + 05 09 "));
    test::Screenshot(filter.get(), QStringLiteral("two_zone_totalfilt_run"));

    // Saved as two-zone ticket lines, loaded back: the count is that of the lines.
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    dialogs::testing::QueueFile(saved);
    filter->btnsaveClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    const QByteArray tickets = ReadFile(saved);
    EXPECT_TRUE(tickets.startsWith("01 02 03 04 05 + 03 05\r\n01 02 03 04 05 + 03 09\r\n"));
    EXPECT_EQ(tickets.count('\n'), 6);
    dialogs::testing::QueueFile(saved);
    filter->btnloadClick();
    EXPECT_EQ(filter->engine().state(), TotalFilter::State::Loaded);
    EXPECT_EQ(find<QLabel>(filter.get(), QStringLiteral("lblcode"))->text(), QStringLiteral("过滤结果：6注"));

    // A run on the loaded lines keeps those whose back numbers are still checked.
    chooseBack({3, 5, 12});
    sumFifteenToSixteen();
    runFilter();
    EXPECT_EQ(find<QLabel>(filter.get(), QStringLiteral("lblcode"))->text(), QStringLiteral("过滤结果：2注"));
    EXPECT_EQ(memoLine(1), QStringLiteral("0000002    01 02 03 04 06 + 03 05 "));

    // A random pick lists two-zone lines.
    find<QLineEdit>(filter.get(), QStringLiteral("edtsuiji"))->setText(QStringLiteral("1"));
    filter->btnsuijiClick();
    EXPECT_EQ(
        find<QLabel>(filter.get(), QStringLiteral("lblcode"))->text(), QStringLiteral("随机选出1注（过滤结果2注）"));
    EXPECT_TRUE(memoLine(0).endsWith(QStringLiteral(" + 03 05 ")));
}

TEST_F(TwoZoneWindows, AResultLargerThanItsListIsSavedWhole)
{
    lottery.open(home.store(), kDlt);
    filter = std::make_unique<Tfrmtotalfilt>(context, nullptr);
    filter->show();
    filter->setListLimit(100);
    sumFifteenToSixteen(); // 2 front sets × 66 back pairs
    runFilter();
    EXPECT_EQ(find<QLabel>(filter.get(), QStringLiteral("lblcode"))->text(),
        QStringLiteral("过滤结果：132注（前区2注 × 后区66注），结果列表只列出前100注，保存时保存全部"));
    EXPECT_EQ(find<QListView>(filter.get(), QStringLiteral("memcode"))->model()->rowCount(), 100);
    test::Screenshot(filter.get(), QStringLiteral("two_zone_totalfilt_cut"));

    const QString saved = dir.filePath(QStringLiteral("all.txt"));
    dialogs::testing::Clear();
    dialogs::testing::QueueFile(saved);
    filter->btnsaveClick();
    filter->waitForSave();
    QApplication::processEvents();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    const QByteArray tickets = ReadFile(saved);
    EXPECT_EQ(tickets.count('\n'), 132);
    EXPECT_TRUE(tickets.endsWith("01 02 03 04 06 + 11 12\r\n"));
    EXPECT_FALSE(filter->isRunning());
}

TEST_F(TwoZoneWindows, TotalFilterRefusesTooFewBackNumbersAndKeepsThemInSavedSets)
{
    lottery.open(home.store(), kDlt);
    filter = std::make_unique<Tfrmtotalfilt>(context, nullptr);
    chooseBack({4});
    sumFifteenToSixteen();
    dialogs::testing::Clear();
    filter->btnfiltClick();
    EXPECT_FALSE(filter->isRunning());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请至少选择2个后区号码（现在选了1个）！"));
    EXPECT_TRUE(filter->engine().enumerationPending());

    // The back choice goes into the set file and comes back from it.
    chooseBack({2, 4, 6});
    const QString set = dir.filePath(QStringLiteral("set.txt"));
    dialogs::testing::QueueFile(set);
    filter->btnsavetiaojianClick();
    EXPECT_TRUE(ReadFile(set).contains(QStringLiteral("后区号码 = 02 04 06").toUtf8()));
    chooseBack({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    dialogs::testing::QueueFile(set);
    filter->btnloadtiaojianClick();
    EXPECT_EQ(filter->backChoice().numbers, (std::vector<int> {2, 4, 6}));

    // 双色球: sixteen back numbers in two rows, one a ticket.
    filter.reset();
    lottery.open(home.store(), QStringLiteral("双色球"));
    filter = std::make_unique<Tfrmtotalfilt>(context, nullptr);
    filter->show();
    EXPECT_EQ(filter->backChoice().numbers.size(), 16u);
    EXPECT_EQ(filter->backChoice().k, 1);
    EXPECT_LE(find<QGroupBox>(filter.get(), QStringLiteral("grphouqu"))->geometry().bottom(), filter->height());
    test::Screenshot(filter.get(), QStringLiteral("two_zone_totalfilt_ssq"));

    // A one-zone lottery has no back group and its window keeps its size.
    filter.reset();
    lottery.open(home.store(), QStringLiteral("山东体彩11选5"));
    filter = std::make_unique<Tfrmtotalfilt>(context, nullptr);
    EXPECT_EQ(filter->findChild<QGroupBox *>(QStringLiteral("grphouqu")), nullptr);
    EXPECT_EQ(filter->size(), QSize(776, 533));
}

TEST_F(TwoZoneWindows, WheelWritesEveryTicketWithEveryBackPair)
{
    lottery.open(home.store(), kDlt);
    test::WriteFile(home.folder().wheelsFolder() + QStringLiteral("选三型05码中3保2.txt"), "1 2 3\r\n3 4 5\r\n");
    wheel = std::make_unique<Tfrmjuzheng>(context, nullptr);
    wheel->show();
    auto *back = find<QLineEdit>(wheel.get(), QStringLiteral("edthouqu"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->text(), QStringLiteral("01 02 03 04 05 06 07 08 09 10 11 12"));
    // Every back number shows at the window's own size.
    EXPECT_GE(back->width(), back->fontMetrics().horizontalAdvance(back->text()));
    test::Screenshot(wheel.get(), QStringLiteral("two_zone_juzheng_new"));
    find<QComboBox>(wheel.get(), QStringLiteral("commainnum"))->setCurrentIndex(4); // 5 numbers
    find<QComboBox>(wheel.get(), QStringLiteral("comoknum"))->setCurrentIndex(2); // 3
    find<QComboBox>(wheel.get(), QStringLiteral("combaonum"))->setCurrentIndex(1); // 2
    find<QComboBox>(wheel.get(), QStringLiteral("comcainum"))->setCurrentIndex(2); // 选3型
    for (int i = 1; i <= 5; ++i)
        find<QLineEdit>(wheel.get(), QStringLiteral("edtnum%1").arg(i))->setText(QString::number(i * 2));
    back->setText(QStringLiteral("11 03 07"));
    find<QPushButton>(wheel.get(), QStringLiteral("btngen"))->click();
    ASSERT_EQ(wheel->tickets().size(), 6u) << dialogs::testing::LastMessage().toStdString();
    EXPECT_EQ(wheel->tickets()[1], (std::vector<int> {2, 4, 6, 3, 11}));
    EXPECT_EQ(find<QLabel>(wheel.get(), QStringLiteral("lblcode"))->text(),
        QStringLiteral("投注号码：共6 注（矩阵2注 × 后区3注）"));
    const QAbstractItemModel *grid = find<QTableView>(wheel.get(), QStringLiteral("tabcode"))->model();
    EXPECT_EQ(grid->headerData(5, Qt::Horizontal).toString(), QStringLiteral("后区2"));
    EXPECT_EQ(grid->index(0, 5).data().toString(), QStringLiteral("07"));
    test::Screenshot(wheel.get(), QStringLiteral("two_zone_juzheng"));

    const QString saved = dir.filePath(QStringLiteral("wheel.txt"));
    dialogs::testing::QueueFile(saved);
    find<QPushButton>(wheel.get(), QStringLiteral("btnsave"))->click();
    EXPECT_EQ(ReadFile(saved),
        QByteArray("02 04 06 + 03 07\r\n02 04 06 + 03 11\r\n02 04 06 + 07 11\r\n06 08 10 + 03 07\r\n"
                   "06 08 10 + 03 11\r\n06 08 10 + 07 11\r\n"));

    // A back number beyond 12 is refused and the grid stays.
    back->setText(QStringLiteral("03 13"));
    dialogs::testing::Clear();
    find<QPushButton>(wheel.get(), QStringLiteral("btngen"))->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("后区号码13不在1到12之间！"));
    EXPECT_EQ(wheel->tickets().size(), 6u);
}

TEST_F(TwoZoneWindows, IntersectionCountsPairsAndSavesTwoZoneLines)
{
    lottery.open(home.store(), kDlt);
    intersection = std::make_unique<Tfrmjiaoqi>(context, nullptr);
    intersection->show();
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    WriteFile(a, "01 02 03 04 05 + 03 05\r\n01 02 03 04 05 + 03 09\r\n01 02 03 04 06 + 11 12\r\n");
    WriteFile(b, "01 02 03 04 05 + 05 03\r\n01 02 03 04 06 + 11 12\r\n01 02 03 04 07\r\n");
    dialogs::testing::QueueFiles({a, b});
    find<QPushButton>(intersection.get(), QStringLiteral("btndaoru"))->click();
    dialogs::testing::Clear();
    find<QPushButton>(intersection.get(), QStringLiteral("btnjiaoqi"))->click();
    intersection->waitForResult();
    QApplication::processEvents();
    EXPECT_EQ(find<QLabel>(intersection.get(), QStringLiteral("lbldadi"))->text(), QStringLiteral("最终交集：2注"));
    ASSERT_EQ(intersection->memoLineCount(), 2);
    EXPECT_EQ(intersection->memoLine(0), QStringLiteral("0000001    01 02 03 04 05 + 03 05 "));
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("b.txt：1行，第一处在第3行")));
    test::Screenshot(intersection.get(), QStringLiteral("two_zone_jiaoqi"));

    const QString saved = dir.filePath(QStringLiteral("both.txt"));
    dialogs::testing::QueueFile(saved);
    find<QPushButton>(intersection.get(), QStringLiteral("btnsave"))->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    EXPECT_EQ(ReadFile(saved), QByteArray("01 02 03 04 05 + 03 05\r\n01 02 03 04 06 + 11 12\r\n"));
}
