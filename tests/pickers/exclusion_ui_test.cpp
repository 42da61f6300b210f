#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "pickers/exclusion_check.h"
#include "pickers/result_lines_model.h"
#include "pickers/u_allcongma.h"
#include "pickers/u_allgensui.h"
#include "pickers/u_allhei.h"
#include "pickers/u_allpiantai.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <random>

using namespace lumaro;

namespace {

// count draws of m distinct numbers out of 1..n, periods 2020001 on.
QByteArray RandomDraws(int n, int m, int count)
{
    std::mt19937 engine(3);
    QByteArray text;
    std::vector<int> numbers(static_cast<std::size_t>(n));
    for (int t = 0; t < count; ++t) {
        std::iota(numbers.begin(), numbers.end(), 1);
        std::shuffle(numbers.begin(), numbers.end(), engine);
        std::sort(numbers.begin(), numbers.begin() + m);
        text += QByteArray::number(2020001 + t);
        for (int j = 0; j < m; ++j)
            text += ' ' + QByteArray::number(numbers[static_cast<std::size_t>(j)]).rightJustified(2, '0');
        text += '\n';
    }
    return text;
}

class ExclusionWindowTest : public test::WindowTest {
protected:
    ExclusionWindowTest()
        : WindowTest(11)
    { }

    void open(const QString &name, int n, int m, int draws)
    {
        ImportDraws(home.store(), name, RandomDraws(n, m, draws));
        lottery.open(home.store(), name);
    }

    template<class T = QWidget>
    static T *child(QWidget *window, const char *name)
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static bool waitForEnd(ExclusionWindow &window, int ms = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (window.isRunning() && timer.elapsed() < ms)
            QTest::qWait(10);
        return !window.isRunning();
    }
};

} // namespace

TEST_F(ExclusionWindowTest, SumPickerInitialControlsAndHistory)
{
    open(QStringLiteral("南粤风采36选7"), 36, 7, 40);
    Tfrmallhei window(context);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("无穷和值排除选号"));
    EXPECT_TRUE(window.windowFlags() & Qt::Tool);
    EXPECT_EQ(child<QComboBox>(&window, "comhei1")->currentText(), QStringLiteral("210"));
    EXPECT_EQ(child<QComboBox>(&window, "comhei2")->currentText(), QStringLiteral("67"));
    EXPECT_EQ(child<QComboBox>(&window, "comhei1")->count(), 204);
    auto *stage = child<QComboBox>(&window, "comjieduannum");
    EXPECT_FALSE(stage->isEnabled());
    EXPECT_EQ(stage->currentText(), QStringLiteral("全部期"));
    EXPECT_EQ(stage->count(), 41);
    auto *periods = child<QComboBox>(&window, "comcurqi");
    EXPECT_EQ(periods->count(), 41);
    EXPECT_EQ(periods->currentIndex(), 40);
    EXPECT_EQ(periods->currentText(), QStringLiteral("2020041"));
    EXPECT_TRUE(child<QRadioButton>(&window, "optjushu")->isChecked());
    EXPECT_EQ(child<QLineEdit>(&window, "edtjushu")->text(), QStringLiteral("10000"));
    EXPECT_EQ(child<QLineEdit>(&window, "edtcishu")->text(), QStringLiteral("10000"));
    EXPECT_EQ(child<QLabel>(&window, "lblcode")->text(), QStringLiteral("过滤结果："));
    EXPECT_FALSE(child<QProgressBar>(&window, "pb")->isVisible());

    auto *grid = child<QTableView>(&window, "tabhistory");
    ASSERT_EQ(grid->model()->rowCount(), 40);
    EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("和值"));
    EXPECT_TRUE(grid->model()->index(0, 1).data().toString().endsWith(QLatin1Char(' ')));
    // The period and the numbers are never cut short.
    EXPECT_GE(grid->columnWidth(0), std::max(60, grid->fontMetrics().horizontalAdvance(QStringLiteral("2020001"))));
    EXPECT_GE(grid->columnWidth(1),
        std::max(120, grid->fontMetrics().horizontalAdvance(grid->model()->index(0, 1).data().toString())));
    EXPECT_TRUE(window.findChild<QWidget *>(QStringLiteral("mem"))
                    ->property("plainText")
                    .toString()
                    .startsWith(QStringLiteral("和值：理论平均值：129.5 理论最小值：28 理论最大值：231 实际最小值：")));
    BarChart *chart = window.history()->chart();
    EXPECT_EQ(chart->pointCount(), 40);
    EXPECT_EQ(chart->value(0, 3), grid->model()->index(3, 2).data().toString().toDouble());
    child<QCheckBox>(&window, "chkhistorybiao")->setChecked(true);
    EXPECT_TRUE(chart->marksVisible());

    // 变幻统计 shows the same history through a relabelling: ranks 1..N, same row count.
    window.btntongji2Click();
    EXPECT_EQ(grid->model()->rowCount(), 40);
    test::Screenshot(&window, QStringLiteral("allhei"));
}

TEST_F(ExclusionWindowTest, StartStopRunLoadAndSave)
{
    open(QStringLiteral("中国体彩22选5"), 22, 5, 60);
    Tfrmallhei window(context);
    window.show();
    auto *run = child<QPushButton>(&window, "btngen");
    auto *label = child<QLabel>(&window, "lblcode");
    child<QComboBox>(&window, "comhei1")->setEditText(QStringLiteral("1000"));
    child<QComboBox>(&window, "comhei2")->setEditText(QStringLiteral("0"));

    // Bounds that never exclude: the run goes on until 停止.
    run->click();
    ASSERT_TRUE(window.isRunning());
    EXPECT_EQ(run->text(), QStringLiteral("停止"));
    EXPECT_FALSE(child<QPushButton>(&window, "btnload")->isEnabled());
    EXPECT_FALSE(child<QComboBox>(&window, "comhei1")->isEnabled());
    QTest::qWait(300);
    EXPECT_TRUE(window.isRunning());
    EXPECT_TRUE(child<QProgressBar>(&window, "pb")->isVisible());
    test::Screenshot(&window, QStringLiteral("exclusion-running"));
    run->click();
    EXPECT_EQ(run->text(), QStringLiteral("开始过滤"));
    ASSERT_TRUE(waitForEnd(window, 5000 * test::kWaitScale));
    EXPECT_EQ(label->text(), QStringLiteral("过滤结果："));
    EXPECT_EQ(window.resultLines()->lineCount(), 0);
    EXPECT_TRUE(child<QPushButton>(&window, "btnload")->isEnabled());
    EXPECT_FALSE(child<QComboBox>(&window, "comjieduannum")->isEnabled());

    // One cycle with the initial bounds.
    child<QComboBox>(&window, "comhei1")->setCurrentIndex(child<QComboBox>(&window, "comhei1")->count() * 9 / 10 - 1);
    child<QComboBox>(&window, "comhei2")->setCurrentIndex(child<QComboBox>(&window, "comhei2")->count() * 2 / 10 - 1);
    child<QRadioButton>(&window, "optcishu")->setChecked(true);
    child<QLineEdit>(&window, "edtcishu")->setText(QStringLiteral("1"));
    run->click();
    ASSERT_TRUE(waitForEnd(window));
    const int lines = window.resultLines()->lineCount();
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines, 26334);
    EXPECT_EQ(label->text(), QStringLiteral("过滤结果：%1注").arg(lines));
    EXPECT_EQ(window.resultLines()->content(), test::ReadFile(home.path(QStringLiteral("temp.txt"))));
    EXPECT_TRUE(window.resultLines()->line(0).startsWith(QStringLiteral("0000001    ")));
    EXPECT_TRUE(window.tickets().pending()); // the next sum run starts from all tickets again
    EXPECT_GE(window.stageValue(), 1);
    test::Screenshot(&window, QStringLiteral("allhei_result"));

    // A text that is no number stops the run before it starts.
    child<QLineEdit>(&window, "edtjushu")->setText(QStringLiteral("abc"));
    run->click();
    EXPECT_FALSE(window.isRunning());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("'abc' 不是一个有效的整形值"));

    // Save proposes the name and writes the tickets without serials.
    const QString saved = home.path(QStringLiteral("saved.txt"));
    dialogs::testing::QueueFile(saved);
    window.btnsaveClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    const QByteArray savedText = test::ReadFile(saved);
    EXPECT_EQ(savedText.count('\n'), lines);
    EXPECT_EQ(savedText.left(16).count(' '), 4);

    // Load: consecutive repeats collapse in the sum picker.
    const QString file = home.path(QStringLiteral("load.txt"));
    test::WriteFile(file, "01 02 03 04 05\r\n01 02 03 04 05\r\n06 07 08 09 10\r\n");
    dialogs::testing::QueueFile(file);
    QSignalSpy loaded(&window, &ExclusionWindow::loadEnded);
    window.btnloadClick();
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_EQ(label->text(), QStringLiteral("过滤结果：2注"));
    EXPECT_EQ(window.resultLines()->line(1), QStringLiteral("0000002    06 07 08 09 10 "));
    EXPECT_FALSE(window.tickets().pending());

    window.btnclearClick();
    EXPECT_EQ(label->text(), QStringLiteral("过滤结果："));
    EXPECT_EQ(window.resultLines()->lineCount(), 0);
    EXPECT_TRUE(window.tickets().pending());
}

TEST_F(ExclusionWindowTest, LoadOfALargeFileKeepsTheWindowResponsiveAndARefusedFileChangesNothing)
{
    open(QStringLiteral("南粤风采36选7"), 36, 7, 40);
    Tfrmallhei window(context);
    window.show();
    // 300,000 distinct tickets: the first combinations in lexicographic order.
    QByteArray big;
    std::vector<int> t {1, 2, 3, 4, 5, 6, 7};
    const int count = 300000;
    for (int row = 0; row < count; ++row) {
        for (int k = 0; k < 7; ++k)
            big += QByteArray::number(t[std::size_t(k)]).rightJustified(2, '0') + (k < 6 ? " " : "\r\n");
        int i = 6;
        while (t[std::size_t(i)] == 30 + i)
            --i;
        ++t[std::size_t(i)];
        for (int j = i + 1; j < 7; ++j)
            t[std::size_t(j)] = t[std::size_t(j) - 1] + 1;
    }
    const QString file = home.path(QStringLiteral("big.txt"));
    test::WriteFile(file, big);

    auto *label = child<QLabel>(&window, "lblcode");
    QSignalSpy loaded(&window, &ExclusionWindow::loadEnded);
    dialogs::testing::Clear();
    dialogs::testing::QueueFile(file);
    window.btnloadClick();
    // The file is read on a worker: the buttons wait, the window goes on painting.
    EXPECT_TRUE(window.isRunning());
    for (const char *name : {"btnload", "btnsave", "btngen"})
        EXPECT_FALSE(child<QPushButton>(&window, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QProgressBar>(&window, "pb")->isVisible());
    int turns = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++turns; });
    ticker.start(1);
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_GT(turns, 0);
    EXPECT_FALSE(window.isRunning());
    EXPECT_EQ(label->text(), QStringLiteral("过滤结果：%1注").arg(count));
    EXPECT_EQ(window.resultLines()->lineCount(), count);
    EXPECT_EQ(window.resultLines()->line(0), QStringLiteral("0000001    01 02 03 04 05 06 07 "));
    EXPECT_FALSE(window.tickets().pending());
    for (const char *name : {"btnload", "btnsave", "btngen"})
        EXPECT_TRUE(child<QPushButton>(&window, name)->isEnabled()) << name;
    EXPECT_FALSE(child<QProgressBar>(&window, "pb")->isVisible());
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << dialogs::testing::LastMessage().toStdString();

    // A file with a number outside 1..36 is refused: the message, and the list stays as it was.
    const QString bad = home.path(QStringLiteral("bad.txt"));
    test::WriteFile(bad, "01 02 03 04 05 06 07\r\n01 02 03 04 05 06 37\r\n");
    dialogs::testing::QueueFile(bad);
    window.btnloadClick();
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_FALSE(dialogs::testing::LastMessage().isEmpty());
    EXPECT_EQ(label->text(), QStringLiteral("过滤结果：%1注").arg(count));
    EXPECT_EQ(window.resultLines()->lineCount(), count);
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(child<QPushButton>(&window, "btnload")->isEnabled());
}

// The "过滤到：" fields: zero is allowed in both, whichever rule is chosen; a negative count is
// refused before the run (a negative target would never be reached).
TEST_F(ExclusionWindowTest, StopFieldsTakeZeroAndRefuseNegativeCounts)
{
    open(QStringLiteral("中国体彩22选5"), 22, 5, 30);
    Tfrmallhei window(context);
    window.show();
    auto *run = child<QPushButton>(&window, "btngen");
    auto *label = child<QLabel>(&window, "lblcode");
    auto *cycles = child<QLineEdit>(&window, "edtcishu");
    auto *target = child<QLineEdit>(&window, "edtjushu");

    // 0 cycles: no cycle is made and every ticket is listed.
    child<QRadioButton>(&window, "optcishu")->setChecked(true);
    cycles->setText(QStringLiteral("0"));
    run->click();
    ASSERT_TRUE(waitForEnd(window));
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << dialogs::testing::LastMessage().toStdString();
    EXPECT_EQ(label->text(), QStringLiteral("过滤结果：26334注"));
    EXPECT_EQ(window.resultLines()->lineCount(), 26334);
    test::Screenshot(&window, QStringLiteral("allhei_zero_cycles"));

    // Stopping at a count of tickets, the cycle field is not in use: its 0 is no reason to refuse.
    child<QRadioButton>(&window, "optjushu")->setChecked(true);
    target->setText(QStringLiteral("20000"));
    run->click();
    ASSERT_TRUE(waitForEnd(window));
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << dialogs::testing::LastMessage().toStdString();
    EXPECT_LE(window.resultLines()->lineCount(), 20000);

    target->setText(QStringLiteral("-1"));
    run->click();
    EXPECT_FALSE(window.isRunning());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("过滤到的注数不能小于0！"));
    target->setText(QStringLiteral("0"));
    cycles->setText(QStringLiteral("-1"));
    run->click();
    EXPECT_FALSE(window.isRunning());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("过滤次数不能小于0！"));

    // A device that never ends is no ticket file: refused at once, the list stays.
    const int before = window.resultLines()->lineCount();
    QSignalSpy loaded(&window, &ExclusionWindow::loadEnded);
    dialogs::testing::QueueFile(QStringLiteral("/dev/zero"));
    window.btnloadClick();
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("不是普通文件")))
        << dialogs::testing::LastMessage().toStdString();
    EXPECT_EQ(window.resultLines()->lineCount(), before);
}

TEST_F(ExclusionWindowTest, RepeatPickerRefusesALookBackBeforeTheFirstDrawAndNarrows)
{
    open(QStringLiteral("中国体彩22选5"), 22, 5, 30);
    Tfrmallcongma window(context);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("无穷重码排除选号"));
    EXPECT_EQ(child<QComboBox>(&window, "comAC")->currentText(), QStringLiteral("5"));
    EXPECT_EQ(child<QComboBox>(&window, "comqishu")->currentText(), QStringLiteral("10"));
    auto *grid = child<QTableView>(&window, "tabhistory");
    ASSERT_EQ(grid->model()->columnCount(), 6);
    EXPECT_EQ(grid->model()->index(9, 5).data().toString(), QString()); // before P draws
    EXPECT_FALSE(grid->model()->index(10, 5).data().toString().isEmpty());
    EXPECT_EQ(grid->model()->index(0, 4).data().toString(), QStringLiteral("2.5"));
    EXPECT_TRUE(child<QLineEdit>(&window, "edtcurcode")->text().startsWith(QStringLiteral("最大重码个数：")));

    child<QComboBox>(&window, "comcurqi")->setCurrentIndex(5);
    window.btngenClick();
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("重码期数")))
        << dialogs::testing::LastMessage().toStdString();

    child<QComboBox>(&window, "comcurqi")->setCurrentIndex(30);
    child<QComboBox>(&window, "comAC")->setCurrentIndex(1); // 2 or more repeats
    child<QLineEdit>(&window, "edtjushu")->setText(QStringLiteral("5000"));
    window.btngenClick();
    ASSERT_TRUE(waitForEnd(window));
    EXPECT_EQ(child<QLabel>(&window, "lblcode")->text(), QStringLiteral("过滤结果：5000注"));
    EXPECT_FALSE(window.tickets().pending());
    child<QLineEdit>(&window, "edtjushu")->setText(QStringLiteral("1000"));
    window.btngenClick();
    ASSERT_TRUE(waitForEnd(window));
    EXPECT_EQ(child<QLabel>(&window, "lblcode")->text(), QStringLiteral("过滤结果：1000注"));
    EXPECT_EQ(window.tickets().table().rowCount(), 1000);
    test::Screenshot(&window, QStringLiteral("allcongma"));
}

TEST_F(ExclusionWindowTest, SkewPickerCaptionsFollowTheMode)
{
    open(QStringLiteral("中国体彩22选5"), 22, 5, 30);
    Tfrmallpiantai window(context);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("无穷偏态排除选号"));
    EXPECT_EQ(child<QLineEdit>(&window, "edtdanum")->text(), QStringLiteral("4"));
    EXPECT_EQ(child<QLineEdit>(&window, "edtdanum2")->text(), QStringLiteral("4"));
    EXPECT_EQ(child<QLineEdit>(&window, "edtxiaonum2")->text(), QStringLiteral("5"));
    EXPECT_EQ(child<QLineEdit>(&window, "edtyanxunum")->text(), QStringLiteral("2"));
    EXPECT_TRUE(child<QCheckBox>(&window, "chkda")->isChecked());
    test::Screenshot(&window, QStringLiteral("allpiantai"));
    child<QRadioButton>(&window, "optmode_1")->click();
    EXPECT_EQ(child<QCheckBox>(&window, "chkda")->text(), QStringLiteral("奇数个数>="));
    EXPECT_EQ(child<QCheckBox>(&window, "chkxiao")->text(), QStringLiteral("奇数个数<="));
    EXPECT_EQ(child<QLabel>(&window, "lblda")->text(), QStringLiteral("时本期奇数个数"));
    child<QRadioButton>(&window, "optmode_0")->click();
    EXPECT_EQ(child<QLabel>(&window, "lblxiao")->text(), QStringLiteral("时本期大数个数"));

    child<QRadioButton>(&window, "optcishu")->setChecked(true);
    child<QLineEdit>(&window, "edtcishu")->setText(QStringLiteral("3"));
    window.btngenClick();
    ASSERT_TRUE(waitForEnd(window));
    EXPECT_TRUE(child<QLabel>(&window, "lblcode")->text().endsWith(QStringLiteral("注")));
}

TEST_F(ExclusionWindowTest, FollowPickerModesPagesAndRefusedGroups)
{
    open(QStringLiteral("中国体彩22选5"), 22, 5, 80);
    Tfrmallgensui window(context);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("无穷历史跟随排除选号"));
    auto *statistics = child<QPushButton>(&window, "btntongji");
    EXPECT_EQ(statistics->text(), QStringLiteral("变幻统计"));
    EXPECT_TRUE(child<QRadioButton>(&window, "optmode_1")->isChecked());
    EXPECT_EQ(child<QLineEdit>(&window, "edthuishu")->text(), QStringLiteral("2"));
    EXPECT_EQ(child<QComboBox>(&window, "comhei1")->currentText(), QStringLiteral("5"));
    EXPECT_EQ(child<QComboBox>(&window, "comhei2")->currentText(), QStringLiteral("0"));
    EXPECT_EQ(child<QComboBox>(&window, "comjieduannum")->currentText(), QStringLiteral("100"));
    EXPECT_EQ(child<QLineEdit>(&window, "edtjushu")->text(), QStringLiteral("50"));
    EXPECT_EQ(child<QLineEdit>(&window, "edtcishu")->text(), QStringLiteral("1"));
    auto *grid = child<QTableView>(&window, "tabhistory");
    ASSERT_EQ(grid->model()->rowCount(), 80);
    EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("跟随数"));
    EXPECT_EQ(grid->model()->index(0, 2).data().toString(), QStringLiteral("0"));
    EXPECT_EQ(grid->model()->index(1, 2).data().toString(), QStringLiteral("0"));
    auto *page = child<QTabWidget>(&window, "page");
    EXPECT_EQ(page->tabText(0), QStringLiteral("历史统计"));
    EXPECT_EQ(page->tabText(1), QStringLiteral("投注号码"));
    test::Screenshot(&window, QStringLiteral("allgensui"));

    child<QRadioButton>(&window, "optmode_0")->click();
    auto *target = child<QRadioButton>(&window, "optjushu");
    EXPECT_FALSE(target->isEnabled());
    EXPECT_FALSE(target->isChecked());
    EXPECT_TRUE(child<QRadioButton>(&window, "optcishu")->isChecked());
    EXPECT_EQ(statistics->text(), QStringLiteral("常规统计"));

    window.btngenClick();
    ASSERT_TRUE(waitForEnd(window));
    EXPECT_EQ(page->currentIndex(), 1);
    const QByteArray first = window.resultLines()->content();
    EXPECT_FALSE(first.isEmpty());
    EXPECT_FALSE(target->isEnabled()); // still 常规 after the run
    window.btngenClick();
    ASSERT_TRUE(waitForEnd(window));
    EXPECT_EQ(window.resultLines()->content(), first); // every run starts from all tickets

    statistics->click();
    EXPECT_EQ(page->currentIndex(), 0);

    child<QRadioButton>(&window, "optmode_1")->click();
    EXPECT_TRUE(target->isEnabled());
    EXPECT_TRUE(target->isChecked());
    EXPECT_EQ(child<QLineEdit>(&window, "edtcishu")->text(), QStringLiteral("100"));
    statistics->click();
    EXPECT_EQ(grid->model()->rowCount(), 80);
    child<QComboBox>(&window, "comhei2")->setCurrentIndex(1); // follow counts 0 and 1 go
    window.btngenClick();
    ASSERT_TRUE(waitForEnd(window));
    EXPECT_EQ(child<QLabel>(&window, "lblcode")->text(), QStringLiteral("过滤结果：50注"));
    test::Screenshot(&window, QStringLiteral("allgensui_result"));

    child<QLineEdit>(&window, "edthuishu")->setText(QStringLiteral("4"));
    window.btngenClick();
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("对比号码数")));
}

TEST_F(ExclusionWindowTest, DigitLotteriesAndLotteriesWithoutDrawsAreRefused)
{
    ImportDraws(home.store(), QStringLiteral("福彩3D"), "2020001 1 2 3\n2020002 4 5 6\n");
    lottery.open(home.store(), QStringLiteral("福彩3D"));
    {
        Tfrmallpiantai window(context);
        window.btngenClick();
        EXPECT_FALSE(window.isRunning());
        EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("数字型")));
    }
    lottery.open(home.store(), QStringLiteral("中国福彩七乐彩"));
    Tfrmallhei window(context);
    EXPECT_EQ(child<QComboBox>(&window, "comcurqi")->count(), 0);
    window.btngenClick();
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("没有开奖号码")));
    const QString saved = home.path(QStringLiteral("empty.txt"));
    dialogs::testing::QueueFile(saved);
    window.btnsaveClick();
    EXPECT_EQ(test::ReadFile(saved), QByteArray());
}

TEST_F(ExclusionWindowTest, RealHistoryAllTicketsAndAQuickStop)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    const QString name = QStringLiteral("中国福彩七乐彩");
    ImportDrawFile(home.store(), name, qlc);
    lottery.open(home.store(), name);
    ASSERT_EQ(lottery.drawCount, 2921);
    // How long making these takes, and how soon 停止 ends a run, the responsiveness benchmark
    // measures.
    Tfrmallgensui follow(context);
    Tfrmallcongma repeat(context);
    Tfrmallhei window(context);
    EXPECT_EQ(window.history()->grid()->model()->rowCount(), 2921);
    window.show();

    // All 2,035,800 tickets down to the default target of 10000.
    window.btngenClick();
    ASSERT_TRUE(waitForEnd(window, 60000 * test::kWaitScale));
    EXPECT_EQ(child<QLabel>(&window, "lblcode")->text(), QStringLiteral("过滤结果：10000注"));
    EXPECT_EQ(window.resultLines()->lineCount(), 10000);

    // A repeat run whose test never excludes ends when stopped, even while the relabelled history
    // of 2921 draws is rebuilt every cycle.
    repeat.show();
    child<QComboBox>(&repeat, "comAC")->setEditText(QStringLiteral("8"));
    repeat.btngenClick();
    ASSERT_TRUE(repeat.isRunning());
    QTest::qWait(500);
    repeat.btngenClick();
    ASSERT_TRUE(waitForEnd(repeat, 5000 * test::kWaitScale));
    EXPECT_EQ(child<QLabel>(&repeat, "lblcode")->text(), QStringLiteral("过滤结果："));
}

TEST_F(ExclusionWindowTest, ExclusionCheckShowsItsLineWithTheWindowSeedLocksAndStops)
{
    open(QStringLiteral("中国体彩22选5"), 22, 5, 40);
    Tfrmallhei window(context);
    window.show();
    auto *count = child<QComboBox>(&window, "comyanzheng");
    auto *check = child<QPushButton>(&window, "btnyanzheng");
    auto *memo = child<QPlainTextEdit>(&window, "memyanzheng");
    auto *run = child<QPushButton>(&window, "btngen");
    EXPECT_EQ(count->currentText(), QStringLiteral("20"));
    EXPECT_EQ(check->text(), QStringLiteral("历史验证"));

    child<QLineEdit>(&window, "edtjushu")->setText(QStringLiteral("3000"));
    count->setEditText(QStringLiteral("6"));
    QSignalSpy ended(&window, &ExclusionWindow::checkEnded);
    check->click();
    ASSERT_TRUE(window.isRunning());
    EXPECT_EQ(check->text(), QStringLiteral("停止"));
    EXPECT_TRUE(check->isEnabled());
    EXPECT_FALSE(run->isEnabled());
    EXPECT_FALSE(count->isEnabled());
    EXPECT_FALSE(child<QComboBox>(&window, "comhei1")->isEnabled());
    ASSERT_TRUE(ended.wait(60000 * test::kWaitScale));
    EXPECT_EQ(check->text(), QStringLiteral("历史验证"));
    EXPECT_TRUE(run->isEnabled());
    EXPECT_TRUE(count->isEnabled());
    EXPECT_FALSE(child<QProgressBar>(&window, "pb")->isVisible());

    // The window's seed: the same figures as the engine with the first number of the window's
    // generator, the summary first and one line per judged draw below it.
    PickerSettings settings;
    settings.kind = ExclusionKind::Sum;
    settings.stop.target = 3000;
    settings.sum.upper = child<QComboBox>(&window, "comhei1")->currentText().toInt();
    settings.sum.lower = child<QComboBox>(&window, "comhei2")->currentText().toInt();
    const ExclusionCheckDraws draws = ExclusionCheckDrawsOf(lottery);
    const ExclusionCheckResult expected = RunExclusionCheck(draws, settings, 6, context.newRandom().next());
    const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], ExclusionCheckLine(expected));
    EXPECT_EQ(lines.mid(1), ExclusionCheckRowLines(draws, expected));
    // Nothing of the result list is touched.
    EXPECT_EQ(child<QLabel>(&window, "lblcode")->text(), QStringLiteral("过滤结果："));
    EXPECT_FALSE(QFile::exists(home.path(QStringLiteral("temp.txt"))));
    test::Screenshot(&window, QStringLiteral("allhei_check"));

    // Refused counts leave the memo as it was.
    count->setEditText(QStringLiteral("40"));
    check->click();
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("最多可验证39期")))
        << dialogs::testing::LastMessage().toStdString();
    count->setEditText(QStringLiteral("x"));
    check->click();
    EXPECT_FALSE(window.isRunning());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("'x' 不是一个有效的整形值"));
    EXPECT_EQ(memo->toPlainText().split(QLatin1Char('\n')).first(), ExclusionCheckLine(expected));

    // Bounds that never exclude: every run goes on until 停止, and a stopped check says so.
    child<QComboBox>(&window, "comhei1")->setEditText(QStringLiteral("1000"));
    child<QComboBox>(&window, "comhei2")->setEditText(QStringLiteral("0"));
    count->setEditText(QStringLiteral("3"));
    check->click();
    ASSERT_TRUE(window.isRunning());
    QTest::qWait(200);
    EXPECT_TRUE(window.isRunning());
    check->click();
    ASSERT_TRUE(waitForEnd(window, 5000 * test::kWaitScale));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("历史验证：已停止，没有结果。"));
    EXPECT_TRUE(run->isEnabled());

    // A run locks the check out.
    run->click();
    ASSERT_TRUE(window.isRunning());
    EXPECT_FALSE(check->isEnabled());
    EXPECT_FALSE(count->isEnabled());
    run->click();
    ASSERT_TRUE(waitForEnd(window, 5000 * test::kWaitScale));
    EXPECT_TRUE(check->isEnabled());
}

TEST_F(ExclusionWindowTest, EveryExclusionWindowHasTheExclusionCheck)
{
    open(QStringLiteral("中国体彩22选5"), 22, 5, 40);
    Tfrmallcongma repeat(context);
    Tfrmallpiantai skew(context);
    Tfrmallgensui follow(context);
    const std::vector<std::pair<ExclusionWindow *, QString>> windows {{&repeat, QStringLiteral("allcongma_check")},
        {&skew, QStringLiteral("allpiantai_check")}, {&follow, QStringLiteral("allgensui_check")}};
    for (const auto &[window, shot] : windows) {
        SCOPED_TRACE(shot.toStdString());
        window->show();
        child<QRadioButton>(window, "optcishu")->setChecked(true);
        child<QLineEdit>(window, "edtcishu")->setText(QStringLiteral("2"));
        auto *count = child<QComboBox>(window, "comyanzheng");
        EXPECT_EQ(count->currentText(), QStringLiteral("20"));
        count->setEditText(QStringLiteral("8"));
        QSignalSpy ended(window, &ExclusionWindow::checkEnded);
        child<QPushButton>(window, "btnyanzheng")->click();
        ASSERT_TRUE(ended.wait(60000 * test::kWaitScale));
        auto *memo = child<QPlainTextEdit>(window, "memyanzheng");
        const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 9) << memo->toPlainText().toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("历史验证：判断8期，开奖号码留下"))) << lines[0].toStdString();
        EXPECT_TRUE(memo->isVisible());
        test::Screenshot(window, shot);
    }
    // The follow window shows the check on its own page.
    EXPECT_EQ(child<QTabWidget>(&follow, "page")->tabText(2), QStringLiteral("历史验证"));
    EXPECT_EQ(child<QTabWidget>(&follow, "page")->currentIndex(), 2);

    // The repeat picker's own look-back bounds the count.
    child<QComboBox>(&repeat, "comyanzheng")->setEditText(QStringLiteral("31"));
    child<QPushButton>(&repeat, "btnyanzheng")->click();
    EXPECT_FALSE(repeat.isRunning());
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("重码期数")))
        << dialogs::testing::LastMessage().toStdString();
}
