#include "common/errors.h"
#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"
#include "tickets/filter_history_check.h"
#include "tickets/filter_set.h"
#include "tickets/survivor_look.h"
#include "tickets/text_lines_model.h"
#include "tickets/ticket_file.h"
#include "tickets/u_totalfilt.h"
#include "trend/variant_trend.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>

using namespace lumaro;
using lumaro::test::ReadFile;
using lumaro::test::TestHome;
using lumaro::test::WriteFile;

namespace {

class Shell : public ShellServices {
public:
    explicit Shell(OpenLottery &lottery)
        : m_lottery(lottery)
    { }
    void switchToStandardTrend() override
    {
        ++standardSwitches;
        m_lottery.variantMode = false;
        m_lottery.BuildStandardTrend();
    }
    void switchToVariantTrend() override { }
    void showOpenedLottery() override { }
    int standardSwitches = 0;

private:
    OpenLottery &m_lottery;
};

class TotalFilterWindow : public test::WindowTest {
protected:
    TotalFilterWindow()
        : WindowTest(5)
    { }
    void open(const QString &name, int draws = 0)
    {
        if (draws > 0) {
            std::vector<DrawRow> rows;
            for (int i = 0; i < draws; ++i) {
                DrawRow row;
                row.period = QString::number(2006001 + i);
                row.date = QStringLiteral("2006-01-01");
                for (int k = 0; k < 7; ++k)
                    row.numbers.push_back((i * 5 + k * 4) % 36 + 1);
                rows.push_back(row);
            }
            home.store().appendDraws(name, rows);
        }
        lottery.open(home.store(), name);
        window = std::make_unique<Tfrmtotalfilt>(context, nullptr);
    }
    void TearDown() override
    {
        window.reset();
        WindowTest::TearDown();
    }

    template<class T>
    T *find(const char *name) const
    {
        T *control = window->findChild<T *>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString clickFilter()
    {
        dialogs::testing::Clear();
        window->btnfiltClick();
        return dialogs::testing::LastMessage();
    }
    void runAndWait()
    {
        QSignalSpy finished(window.get(), &Tfrmtotalfilt::runFinished);
        dialogs::testing::Clear();
        window->btnfiltClick();
        ASSERT_TRUE(window->isRunning()) << dialogs::testing::LastMessage().toStdString();
        ASSERT_TRUE(finished.wait(60000));
    }
    void shot(const char *name)
    {
        const QString folder = qEnvironmentVariable("LUMARO_SHOTS");
        if (!folder.isEmpty())
            window->grab().save(folder + QLatin1Char('/') + QString::fromUtf8(name));
    }
    std::unique_ptr<Tfrmtotalfilt> window;
};

} // namespace

TEST_F(TotalFilterWindow, ChecksComeInTheirOrder)
{
    open(QStringLiteral("山东体彩11选5"));
    auto *chooser = find<QCheckBox>("chkhongqiu");
    // Choosing balls alone is no condition.
    chooser->setChecked(true);
    window->ballClick(3);
    chooser->setChecked(false);
    EXPECT_EQ(clickFilter(), QStringLiteral("请选择过滤条件！"));

    auto *big = find<QCheckBox>("chkdashu");
    auto *bigLow = find<QComboBox>("comdaxiao1");
    auto *bigHigh = find<QComboBox>("comdaxiao2");
    EXPECT_EQ(bigLow->count(), 6);
    EXPECT_EQ(bigLow->currentIndex(), -1);
    big->setChecked(true);
    EXPECT_EQ(clickFilter(), QStringLiteral("请选择组合框中的数值！"));
    bigLow->setCurrentIndex(1);
    bigHigh->setCurrentIndex(1);

    auto *banker = find<QCheckBox>("chkdanma");
    banker->setChecked(true);
    EXPECT_EQ(clickFilter(), QStringLiteral("请输入胆码以及最少中奖个数和最多中奖个数！"));
    banker->setChecked(false);

    // A lower entry with no upper entry fails even when its row is not checked.
    find<QComboBox>("comhei1")->setCurrentIndex(3);
    EXPECT_EQ(clickFilter(), QStringLiteral("请前面组合框中的数值应该小于等于后面组合框中的数值！"));
    find<QComboBox>("comhei1")->setCurrentIndex(-1);

    // The banker counts are compared even when 胆码 is not checked.
    find<QLineEdit>("edtnum1")->setText(QStringLiteral("2"));
    EXPECT_EQ(clickFilter(), QStringLiteral("胆码前面的中奖个数应该小于等于后面的中奖个数！"));
    find<QLineEdit>("edtnum1")->setText(QStringLiteral("1"));

    chooser->setChecked(true);
    window->ballClick(3); // off again
    EXPECT_EQ(clickFilter(), QStringLiteral("请点击你要选择的球号！"));
    for (int v : {1, 2, 4, 9})
        window->ballClick(v);
    EXPECT_EQ(find<QLineEdit>("edtsuiji1")->text(), QStringLiteral("4"));
    EXPECT_EQ(clickFilter(), QStringLiteral("请至少选择5个球号！"));

    // Typed bounds that are no numbers stop with the invalid-integer text and change nothing.
    window->ballClick(10);
    bigLow->setEditText(QStringLiteral("x"));
    EXPECT_EQ(clickFilter(), QStringLiteral("'x' 不是一个有效的整形值"));
    EXPECT_FALSE(window->isRunning());
    EXPECT_TRUE(window->engine().enumerationPending());
}

TEST_F(TotalFilterWindow, BallGridAndRandomChoice)
{
    open(QStringLiteral("山东体彩11选5"));
    auto *ball11 = find<QPushButton>("ball11");
    auto *ball12 = find<QPushButton>("ball12");
    EXPECT_EQ(ball11->text(), QStringLiteral("11"));
    EXPECT_TRUE(ball12->text().isEmpty());
    EXPECT_FALSE(ball12->isEnabled());
    EXPECT_EQ(ball11->geometry(), QRect(5, 48, 28, 28));
    EXPECT_EQ(find<QPushButton>("ball10")->geometry(), QRect(302, 15, 28, 28));
    EXPECT_EQ(find<QPushButton>("ball50")->geometry(), QRect(302, 148, 28, 28));

    dialogs::testing::Clear();
    window->ballClick(2);
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请先在《选择球号》框上打勾！"));
    EXPECT_FALSE(window->isBallChosen(2));

    auto *random = find<QPushButton>("btnsuiji1");
    EXPECT_FALSE(random->isEnabled());
    find<QCheckBox>("chkhongqiu")->setChecked(true);
    EXPECT_TRUE(random->isEnabled());
    window->btnsuiji1Click();
    int chosen = 0;
    for (int v = 1; v <= 50; ++v)
        chosen += window->isBallChosen(v) ? 1 : 0;
    EXPECT_EQ(chosen, 5);
    EXPECT_EQ(find<QLineEdit>("edtsuiji1")->text(), QStringLiteral("5"));

    // More balls than numbers is refused instead of drawing forever.
    find<QLineEdit>("edtsuiji1")->setText(QStringLiteral("12"));
    dialogs::testing::Clear();
    window->btnsuiji1Click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("随机选择的球号个数应在0到11之间！"));
    find<QLineEdit>("edtsuiji1")->setText(QStringLiteral("11"));
    window->btnsuiji1Click();
    for (int v = 1; v <= 11; ++v)
        EXPECT_TRUE(window->isBallChosen(v));
    find<QLineEdit>("edtsuiji1")->setText(QStringLiteral("a"));
    window->btnsuiji1Click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("'a' 不是一个有效的整形值"));

    // The variant trend switches the chooser off.
    window->applyTrendMode(true);
    EXPECT_FALSE(find<QCheckBox>("chkhongqiu")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("chkhongqiu")->isEnabled());
    EXPECT_FALSE(find<QGroupBox>("GroupBox2")->isEnabled());
    EXPECT_FALSE(random->isEnabled());
    window->applyTrendMode(false);
    EXPECT_TRUE(find<QCheckBox>("chkhongqiu")->isEnabled());
    EXPECT_TRUE(find<QGroupBox>("GroupBox2")->isEnabled());
}

TEST_F(TotalFilterWindow, RunSaveLoadPrintAndClear)
{
    open(QStringLiteral("山东体彩11选5"));
    shot("totalfilt_new.png");
    find<QCheckBox>("chkdanma")->setChecked(true);
    find<QLineEdit>("edtdanma")->setText(QStringLiteral("1 2"));
    find<QLineEdit>("edtnum1")->setText(QStringLiteral("2"));
    find<QLineEdit>("edtnum2")->setText(QStringLiteral("2"));
    runAndWait();
    EXPECT_EQ(dialogs::testing::Messages().size(), 0) << dialogs::testing::LastMessage().toStdString();
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果：84注"));
    auto *memo = find<QListView>("memcode");
    ASSERT_EQ(memo->model()->rowCount(), 84);
    EXPECT_EQ(memo->model()->index(0, 0).data().toString(), QStringLiteral("0000001    01 02 03 04 05 "));
    EXPECT_FALSE(find<QCheckBox>("chkdanma")->isChecked());
    EXPECT_EQ(find<QLineEdit>("edtdanma")->text(), QStringLiteral("1 2"));
    EXPECT_FALSE(find<QProgressBar>("pb")->isVisible());
    EXPECT_TRUE(find<QPushButton>("btnfilt")->isEnabled());
    shot("totalfilt_run.png");

    // Saving through the dialog writes the tickets without serials, with the proposed name.
    const QString saved = home.path(QStringLiteral("saved.txt"));
    dialogs::testing::QueueFile(saved);
    window->btnsaveClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    const QByteArray tickets = ReadFile(saved);
    EXPECT_EQ(tickets.count("\r\n"), 84);
    EXPECT_TRUE(tickets.startsWith("01 02 03 04 05\r\n01 02 03 04 06\r\n"));

    // The list prints to a PDF file.
    const QString pdf = home.path(QStringLiteral("list.pdf"));
    dialogs::testing::QueueFile(pdf);
    find<QAction>("actpdf")->trigger();
    EXPECT_TRUE(ReadFile(pdf).startsWith("%PDF"));
    if (!qEnvironmentVariable("LUMARO_SHOTS").isEmpty())
        QFile::copy(pdf, qEnvironmentVariable("LUMARO_SHOTS") + QStringLiteral("/totalfilt_list.pdf"));

    // Loading shows the file, chooses its balls and checks the chooser; the count is that of
    // the tickets kept (the repeated line collapses, reading stops at the blank line).
    const QString file = home.path(QStringLiteral("load.txt"));
    WriteFile(file, "01 02 03 04 05\r\n01 02 03 04 05\r\n03 05 07 09 11\r\n\r\n02 04 06 08 10\r\n");
    find<QComboBox>("comhei1")->setCurrentIndex(2);
    dialogs::testing::QueueFile(file);
    window->btnloadClick();
    EXPECT_EQ(window->engine().state(), TotalFilter::State::Loaded);
    EXPECT_EQ(memo->model()->rowCount(), 5);
    EXPECT_EQ(memo->model()->index(2, 0).data().toString(), QStringLiteral("03 05 07 09 11"));
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果：2注"));
    EXPECT_TRUE(find<QCheckBox>("chkhongqiu")->isChecked());
    EXPECT_TRUE(window->isBallChosen(11));
    EXPECT_FALSE(window->isBallChosen(10));
    EXPECT_EQ(find<QComboBox>("comhei1")->currentIndex(), -1);
    // A run with the chooser at M to M keeps every loaded ticket (the repeat collapsed).
    runAndWait();
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果：2注"));

    // A narrowing run that leaves nothing shows the message and empties the list.
    find<QCheckBox>("chkhei")->setChecked(true);
    find<QComboBox>("comhei1")->setCurrentIndex(1); // 和值 16 to 16
    find<QComboBox>("comhei2")->setCurrentIndex(1);
    runAndWait();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("没有符合条件的投注号码，请重新选择过滤条件！"));
    EXPECT_EQ(memo->model()->rowCount(), 0);
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果：0注"));
    EXPECT_EQ(window->engine().state(), TotalFilter::State::Exhausted);

    // 清空 resets the window and goes back to the standard trend.
    Shell shell(lottery);
    context.shell = &shell;
    std::vector<int> codes(11);
    std::iota(codes.begin(), codes.end(), 1);
    BuildVariantTrend(lottery, 3, codes);
    lottery.variantMode = true;
    window->applyTrendMode(true);
    window->btnclearClick();
    EXPECT_EQ(shell.standardSwitches, 1);
    EXPECT_FALSE(lottery.variantMode);
    EXPECT_TRUE(find<QCheckBox>("chkhongqiu")->isEnabled());
    EXPECT_FALSE(find<QCheckBox>("chkhongqiu")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("chkhei")->isChecked());
    EXPECT_EQ(find<QComboBox>("comhei2")->currentIndex(), -1);
    EXPECT_EQ(find<QLineEdit>("edtnum1")->text(), QStringLiteral("1"));
    EXPECT_EQ(find<QLineEdit>("edtzhong1")->text(), QStringLiteral("5"));
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果："));
    EXPECT_FALSE(window->isBallChosen(11));
    EXPECT_TRUE(window->engine().enumerationPending());
}

TEST_F(TotalFilterWindow, LongRunsRunOnAWorkerWithTheButtonsLocked)
{
    open(QStringLiteral("南粤风采36选7"), 30);
    find<QCheckBox>("chksandu")->setChecked(true);
    find<QComboBox>("comsandu1")->setCurrentIndex(0);
    find<QComboBox>("comsandu2")->setCurrentIndex(5);
    QSignalSpy finished(window.get(), &Tfrmtotalfilt::runFinished);
    window->show();
    window->btnfiltClick();
    ASSERT_TRUE(window->isRunning()) << dialogs::testing::LastMessage().toStdString();
    for (const char *name : {"btnfilt", "btnclear", "btnload", "btnsave"})
        EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(find<QProgressBar>("pb")->isVisible());
    // A second click while running does nothing.
    window->btnfiltClick();
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_EQ(finished.count(), 1);
    const int rows = find<QListView>("memcode")->model()->rowCount();
    EXPECT_GT(rows, 100000);
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果：%1注").arg(rows));
    EXPECT_EQ(lottery.transformReferencePeriod, 30);
    shot("totalfilt_36.png");

    // Lists of the window hold the theoretical ranges.
    auto *sum = find<QComboBox>("comhei1");
    EXPECT_EQ(sum->itemText(0), QStringLiteral("28"));
    EXPECT_EQ(sum->itemText(sum->count() - 1), QStringLiteral("231"));
    EXPECT_EQ(find<QComboBox>("comsandu2")->itemText(0), QStringLiteral("3"));
    EXPECT_EQ(find<QComboBox>("comac1")->count(), 16);

    // The window may be destroyed in the middle of a run.
    find<QCheckBox>("chkjishu")->setChecked(true);
    find<QComboBox>("comjiou1")->setCurrentIndex(0);
    find<QComboBox>("comjiou2")->setCurrentIndex(7);
    window->btnclearClick();
    find<QCheckBox>("chkjishu")->setChecked(true);
    find<QComboBox>("comjiou1")->setCurrentIndex(0);
    find<QComboBox>("comjiou2")->setCurrentIndex(7);
    window->btnfiltClick();
    EXPECT_TRUE(window->isRunning());
    window.reset();
}

TEST_F(TotalFilterWindow, HistoryCheckShowsItsFiguresAndStops)
{
    open(QStringLiteral("南粤风采36选7"), 30);
    auto *check = find<QPushButton>("btnlishi");
    EXPECT_EQ(check->text(), QStringLiteral("历史验证"));
    // The window's checks come first.
    dialogs::testing::Clear();
    check->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请选择过滤条件！"));
    EXPECT_FALSE(window->isRunning());

    find<QCheckBox>("chkhei")->setChecked(true);
    find<QComboBox>("comhei1")->setCurrentText(QStringLiteral("100"));
    find<QComboBox>("comhei2")->setCurrentText(QStringLiteral("150"));
    find<QCheckBox>("chkpiandu")->setChecked(true);
    find<QComboBox>("compiandu1")->setCurrentText(QStringLiteral("2"));
    find<QComboBox>("compiandu2")->setCurrentText(QStringLiteral("7"));
    find<QCheckBox>("chkdanma")->setChecked(true);
    find<QLineEdit>("edtdanma")->setText(QStringLiteral("3 12 25"));
    find<QLineEdit>("edtnum2")->setText(QStringLiteral("2"));
    TotalFilterConditions expected;
    expected.sum = FilterBounds {100, 150};
    expected.deviation = FilterBounds {2, 7};
    expected.bankers = {3, 12, 25};
    expected.banker = FilterBounds {1, 2};
    const HistoryCheckResult result = *RunHistoryCheck(HistoryCheckInputs::fromLottery(lottery), expected);
    ASSERT_EQ(result.all.drawsJudged, 30);
    ASSERT_EQ(result.conditions.size(), 3u);

    window->show();
    QSignalSpy finished(window.get(), &Tfrmtotalfilt::historyCheckFinished);
    dialogs::testing::Clear();
    check->click();
    ASSERT_TRUE(window->isRunning()) << dialogs::testing::LastMessage().toStdString();
    for (const char *name : {"btnfilt", "btnclear", "btnload", "btnsave"})
        EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(check->isEnabled());
    EXPECT_EQ(check->text(), QStringLiteral("停止"));
    EXPECT_TRUE(find<QProgressBar>("pb")->isVisible());
    // No filter run while the check goes.
    window->btnfiltClick();
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果："));
    ASSERT_TRUE(finished.wait(120000));
    ASSERT_EQ(dialogs::testing::Messages().size(), 1);
    EXPECT_EQ(dialogs::testing::Messages().front().title, QStringLiteral("历史验证"));
    // The figures of the engine for the conditions as set, each condition alone in a table row.
    const QString shown = dialogs::testing::LastMessage();
    EXPECT_TRUE(shown.contains(QStringLiteral("历史验证：") + HistoryDrawsText(result.all))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(HistoryTicketsText(result.all))) << shown.toStdString();
    for (const char *row : {">和值 100-150</td>", ">偏度 2-7</td>", ">胆码 3 12 25 中1-2</td>"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(row))) << row;
    for (const auto &[condition, f] : result.conditions) {
        EXPECT_TRUE(shown.contains(QStringLiteral("%1期（%2）").arg(f.drawsPassing).arg(ShareText(f.drawShare()))));
        EXPECT_TRUE(shown.contains(ShareText(f.ticketShare())));
    }
    EXPECT_EQ(check->text(), QStringLiteral("历史验证"));
    EXPECT_TRUE(find<QPushButton>("btnfilt")->isEnabled());
    // The conditions stay as set, and the table is untouched.
    EXPECT_TRUE(find<QCheckBox>("chkhei")->isChecked());
    EXPECT_TRUE(window->engine().enumerationPending());

    // A second click stops the check: nothing is shown.
    dialogs::testing::Clear();
    check->click();
    ASSERT_TRUE(window->isRunning());
    check->click();
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_FALSE(window->isRunning());
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << dialogs::testing::LastMessage().toStdString();
    EXPECT_EQ(check->text(), QStringLiteral("历史验证"));

    // A filter run locks the check.
    QSignalSpy ran(window.get(), &Tfrmtotalfilt::runFinished);
    window->btnfiltClick();
    ASSERT_TRUE(window->isRunning());
    EXPECT_FALSE(check->isEnabled());
    ASSERT_TRUE(ran.wait(120000));
    EXPECT_TRUE(check->isEnabled());

    // The button sits beside the others, clear of every control of the window.
    const QRect place = check->geometry();
    EXPECT_TRUE(window->rect().contains(place));
    for (QWidget *other : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (other != check && other->isVisible()) {
            EXPECT_FALSE(other->geometry().intersects(place)) << other->objectName().toStdString();
        }
    }
    test::Screenshot(window.get(), QStringLiteral("totalfilt_lishi"));
}

TEST_F(TotalFilterWindow, HistoryCheckNeedsDraws)
{
    open(QStringLiteral("南粤风采36选7"));
    find<QCheckBox>("chkjishu")->setChecked(true);
    find<QComboBox>("comjiou1")->setCurrentText(QStringLiteral("2"));
    find<QComboBox>("comjiou2")->setCurrentText(QStringLiteral("4"));
    dialogs::testing::Clear();
    window->btnlishiClick();
    EXPECT_FALSE(window->isRunning());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("《南粤风采36选7》还没有开奖号码，无法进行历史验证！"));
}

TEST_F(TotalFilterWindow, EnterStartsARun)
{
    open(QStringLiteral("山东体彩11选5"));
    find<QCheckBox>("chkhei")->setChecked(true);
    auto *low = find<QComboBox>("comhei1");
    low->setCurrentIndex(0);
    find<QComboBox>("comhei2")->setCurrentIndex(0);
    QSignalSpy finished(window.get(), &Tfrmtotalfilt::runFinished);
    QTest::keyClick(low->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(finished.count() == 1 || finished.wait(20000));
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果：1注"));
    QTest::keyClick(find<QLineEdit>("edtdanma"), Qt::Key_Enter);
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请选择过滤条件！"));
}

TEST_F(TotalFilterWindow, DigitLotteriesAreToldTheFilterDoesNotServeThem)
{
    LotteryDefinition digit;
    digit.name = QStringLiteral("排列三");
    digit.kind = LotteryKind::Digit;
    digit.n = 10;
    digit.m = 3;
    home.store().createLottery(digit);
    open(digit.name);
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("总体过滤只适用于3到7个号码的乐透型彩票"));
    find<QCheckBox>("chkdanma")->setChecked(true);
    EXPECT_TRUE(clickFilter().contains(QStringLiteral("3到7个号码的乐透型彩票")));
    EXPECT_FALSE(window->isRunning());
}

TEST(TextLinesModel, InMemoryAndOnDiskLinesReadAlike)
{
    TestHome home;
    TextLinesModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setContent("01 02\r\n\r\n03 04");
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.line(1), QString());
    EXPECT_EQ(model.index(2, 0).data().toString(), QStringLiteral("03 04"));
    model.setContent("01 02\n");
    EXPECT_EQ(model.rowCount(), 1);

    // A result list of equal lines stays on disk; what the view shows survives a replacement
    // of the file.
    QByteArray list;
    for (int i = 1; i <= 3000; ++i)
        list += QByteArray::number(i).rightJustified(7, '0') + "    01 02 03 \r\n";
    const QString path = home.path(QStringLiteral("temp.txt"));
    WriteFile(path, list);
    model.setFile(path);
    ASSERT_EQ(model.lineCount(), 3000);
    EXPECT_EQ(model.line(2999), QStringLiteral("0003000    01 02 03 "));
    EXPECT_EQ(model.line(600), QStringLiteral("0000601    01 02 03 "));
    QFile::remove(path);
    WriteFile(path, "x\r\n");
    EXPECT_EQ(model.line(0), QStringLiteral("0000001    01 02 03 "));
    const QString saved = home.path(QStringLiteral("saved.txt"));
    EXPECT_EQ(WriteTicketFileFromMemo(saved, model.device(), true), 3000);
    EXPECT_EQ(ReadFile(saved).left(10), QByteArray("01 02 03\r\n"));

    // Lines of unequal length are read into memory.
    WriteFile(path, "0000001    01 02 03 \r\n0000002    01 02 03 04 \r\n0000003    01 02 \r\n");
    model.setFile(path);
    EXPECT_EQ(model.lineCount(), 3);
    EXPECT_EQ(model.line(1), QStringLiteral("0000002    01 02 03 04 "));
    EXPECT_EQ(WriteTicketFileFromMemo(saved, model.device(), true), 3);
    EXPECT_EQ(ReadFile(saved), QByteArray("01 02 03\r\n01 02 03 04\r\n01 02\r\n"));
    EXPECT_THROW(model.setFile(home.path(QStringLiteral("none.txt"))), IoError);
}

TEST_F(TotalFilterWindow, TypedBoundsAreReadAsNumbers)
{
    open(QStringLiteral("山东体彩11选5"));
    find<QCheckBox>("chkhei")->setChecked(true);
    auto *low = find<QComboBox>("comhei1");
    auto *high = find<QComboBox>("comhei2");

    // A typed bound beyond the list is a number, not a wrong order: 和值 15 … 1000 keeps all.
    low->setCurrentIndex(0);
    high->setEditText(QStringLiteral("1000"));
    runAndWait();
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果：462注"));

    // Typed bounds in the wrong order, garbage and negative counts are refused before a run.
    find<QCheckBox>("chkhei")->setChecked(true);
    low->setEditText(QStringLiteral("1000"));
    high->setEditText(QStringLiteral("999"));
    EXPECT_EQ(clickFilter(), QStringLiteral("请前面组合框中的数值应该小于等于后面组合框中的数值！"));
    high->setEditText(QStringLiteral("1 2"));
    EXPECT_EQ(clickFilter(), QStringLiteral("'1 2' 不是一个有效的整形值"));
    low->setEditText(QStringLiteral("-5"));
    high->setEditText(QStringLiteral("40"));
    EXPECT_EQ(clickFilter(), QStringLiteral("请输入不小于0的整数！"));
    low->setCurrentIndex(0);
    find<QCheckBox>("chkdanma")->setChecked(true);
    find<QLineEdit>("edtdanma")->setText(QStringLiteral("3 -5"));
    EXPECT_EQ(clickFilter(), QStringLiteral("胆码号码必须是正整数！"));
    EXPECT_FALSE(window->isRunning());
    EXPECT_EQ(find<QLabel>("lblcode")->text(), QStringLiteral("过滤结果：462注"));
}

namespace {

// 11选5 with twelve draws of five running numbers, so the repeats have draws to compare with:
// the last one is 01-05, the last two hold six numbers, the last three seven.
void AppendElevenDraws(TestHome &home, const QString &name)
{
    std::vector<DrawRow> rows;
    for (int i = 0; i < 12; ++i) {
        DrawRow row;
        row.period = QString::number(2006001 + i);
        row.date = QStringLiteral("2006-01-01");
        for (int k = 0; k < 5; ++k)
            row.numbers.push_back((i + k) % 11 + 1);
        std::sort(row.numbers.begin(), row.numbers.end());
        rows.push_back(row);
    }
    home.store().appendDraws(name, rows);
}

} // namespace

TEST_F(TotalFilterWindow, EveryNewerConditionReachesTheEngine)
{
    const QString name = QStringLiteral("山东体彩11选5");
    AppendElevenDraws(home, name);
    open(name);
    // The engine's count of the complete set for the same conditions.
    const auto engineRun = [&](const TotalFilterConditions &conditions) {
        TotalFilter engine(lottery);
        TotalFilter::Job job = engine.prepare(conditions, home.path(QStringLiteral("reference.txt")));
        TotalFilter::execute(job);
        return job;
    };
    const auto edit = [&](const char *control, const QString &text) { find<QLineEdit>(control)->setText(text); };
    const auto check = [&](const char *control) { find<QCheckBox>(control)->setChecked(true); };
    struct Case {
        const char *label;
        std::function<void()> set;
        std::function<void(TotalFilterConditions &)> expect;
    };
    const std::vector<Case> cases {
        {"重码", [&] { check("chkchonghao"), edit("edtchonghao", QStringLiteral("2-3")); },
            [](TotalFilterConditions &c) {
                c.repeat = FilterBounds {2, 3};
            }},
        {"近P期重码",
            [&] {
                check("chkjinqi");
                edit("edtjinqi", QStringLiteral("5"));
                find<QSpinBox>("edtqishu")->setValue(3);
            },
            [](TotalFilterConditions &c) {
                c.repeatRecent = FilterBounds {5, 5};
                c.repeatPeriods = 3;
            }},
        {"连号个数", [&] { check("chklianhao"), edit("edtlianhao", QStringLiteral("0,2")); },
            [](TotalFilterConditions &c) {
                c.consecutive = FilterBounds {0, 0, {{2, 2}}};
            }},
        {"最长连号", [&] { check("chkzuichang"), edit("edtzuichang", QStringLiteral("3-5")); },
            [](TotalFilterConditions &c) {
                c.longestRun = FilterBounds {3, 5};
            }},
        {"尾数个数", [&] { check("chkweishu"), edit("edtweishu", QStringLiteral("4")); },
            [](TotalFilterConditions &c) {
                c.tailCount = FilterBounds {4, 4};
            }},
        {"尾数和", [&] { check("chkweihe"), edit("edtweihe", QStringLiteral("10-20, 25")); },
            [](TotalFilterConditions &c) {
                c.tailSum = FilterBounds {10, 20, {{25, 25}}};
            }},
        {"0路", [&] { check("chklu0"), edit("edtlu0", QStringLiteral("1")); },
            [](TotalFilterConditions &c) {
                c.road0 = FilterBounds {1, 1};
            }},
        {"1路", [&] { check("chklu1"), edit("edtlu1", QStringLiteral("2-3")); },
            [](TotalFilterConditions &c) {
                c.road1 = FilterBounds {2, 3};
            }},
        {"2路", [&] { check("chklu2"), edit("edtlu2", QStringLiteral("0")); },
            [](TotalFilterConditions &c) {
                c.road2 = FilterBounds {0, 0};
            }},
        {"质数个数", [&] { check("chkzhishu"), edit("edtzhishu", QStringLiteral("3")); },
            [](TotalFilterConditions &c) {
                c.primes = FilterBounds {3, 3};
            }},
        {"分区",
            [&] {
                check("chkfenqu");
                find<QComboBox>("comfenqu")->setCurrentText(QStringLiteral("3"));
                edit("edtfenqu", QStringLiteral("2::1-2"));
            },
            [](TotalFilterConditions &c) {
                c.zoneCount = 3;
                c.zones = {FilterBounds {2, 2}, std::nullopt, FilterBounds {1, 2}};
            }},
        {"胆码组",
            [&] {
                check("chkdanmazu1");
                edit("edtdanmazu1", QStringLiteral("1 2 3"));
                edit("edtzuzhong1", QStringLiteral("2"));
                check("chkdanmazu3");
                edit("edtdanmazu3", QStringLiteral("9 10 11"));
                edit("edtzuzhong3", QStringLiteral("0-1"));
            },
            [](TotalFilterConditions &c) {
                c.bankerGroups = {{{1, 2, 3}, FilterBounds {2, 2}}, {{9, 10, 11}, FilterBounds {0, 1}}};
            }},
        // A value set beside a classic row takes the place of its lists.
        {"和值的数值",
            [&] {
                check("chkhei");
                find<QComboBox>("comhei1")->setCurrentIndex(0);
                find<QComboBox>("comhei2")->setCurrentIndex(0);
                edit("edthei", QStringLiteral("20-25,35-40"));
            },
            [](TotalFilterConditions &c) {
                c.sum = FilterBounds {20, 25, {{35, 40}}};
            }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        window->btnclearClick();
        c.set();
        TotalFilterConditions expected;
        c.expect(expected);
        const qint64 survivors = engineRun(expected).survivors;
        // Each condition cuts, so a control read into the wrong condition shows.
        ASSERT_GT(survivors, 0);
        ASSERT_LT(survivors, 462);
        runAndWait();
        EXPECT_EQ(find<QLabel>("lblcode")->text(), filter_text::ResultCount(survivors));
        EXPECT_EQ(window->engine().state(), TotalFilter::State::Narrowed);
    }
    // The run unchecked its conditions: the survivors are the next run's table.
    EXPECT_FALSE(find<QCheckBox>("chkhei")->isChecked());

    // A tolerance of one: the label tells the survivors by their failed conditions, and fits.
    window->btnclearClick();
    check("chkchonghao"), edit("edtchonghao", QStringLiteral("2-3"));
    check("chklianhao"), edit("edtlianhao", QStringLiteral("0"));
    check("chkzhishu"), edit("edtzhishu", QStringLiteral("3"));
    find<QSpinBox>("edtrongcuo")->setValue(2);
    TotalFilterConditions expected;
    expected.repeat = FilterBounds {2, 3};
    expected.consecutive = FilterBounds {0, 0};
    expected.primes = FilterBounds {3, 3};
    expected.tolerance = 2;
    const TotalFilter::Job reference = engineRun(expected);
    ASSERT_EQ(reference.byFailures.size(), 3u);
    runAndWait();
    auto *label = find<QLabel>("lblcode");
    EXPECT_EQ(label->text(),
        QStringLiteral("过滤结果：%1注（其中不满足0个条件的%2注，1个条件的%3注，2个条件的%4注）")
            .arg(reference.survivors)
            .arg(reference.byFailures[0])
            .arg(reference.byFailures[1])
            .arg(reference.byFailures[2]));
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_GT(label->height(), 26); // two lines at least
    EXPECT_GE(find<QListView>("memcode")->y(), label->geometry().bottom());
    EXPECT_EQ(find<QSpinBox>("edtrongcuo")->value(), 0);
    window->show();
    test::Screenshot(window.get(), QStringLiteral("totalfilt_rongcuo"));
    // 清空 gives the label its one line back.
    window->btnclearClick();
    EXPECT_EQ(find<QListView>("memcode")->geometry(), QRect(406, 36, 361, 249));
}

TEST_F(TotalFilterWindow, NewerConditionsAreRefusedWithAMessageAndChangeNothing)
{
    const QString name = QStringLiteral("山东体彩11选5");
    AppendElevenDraws(home, name);
    open(name);
    find<QCheckBox>("chkdanma")->setChecked(true);
    find<QLineEdit>("edtdanma")->setText(QStringLiteral("1"));
    runAndWait();
    const QString shown = find<QLabel>("lblcode")->text();
    ASSERT_EQ(shown, QStringLiteral("过滤结果：210注"));

    const auto refused = [&](const QString &message) {
        EXPECT_EQ(clickFilter(), message);
        EXPECT_FALSE(window->isRunning());
        EXPECT_EQ(find<QLabel>("lblcode")->text(), shown);
        EXPECT_EQ(window->engine().state(), TotalFilter::State::Narrowed);
    };
    auto *repeat = find<QLineEdit>("edtchonghao");
    find<QCheckBox>("chkchonghao")->setChecked(true);
    refused(QStringLiteral("请输入重码的数值，例如 2-3 或 0-1,3！"));
    repeat->setText(QStringLiteral("1-x"));
    refused(QStringLiteral("'x' 不是一个有效的整形值"));
    repeat->setText(QStringLiteral("0,-1"));
    refused(QStringLiteral("重码的数值不能小于0！"));
    repeat->setText(QStringLiteral("3-1"));
    refused(filter_text::ListOrder());
    repeat->setText(QStringLiteral("1 2"));
    refused(QStringLiteral("'1 2' 不是一个有效的整形值"));
    repeat->setText(QStringLiteral("0-2"));
    // One condition takes no tolerance: the engine's message.
    find<QSpinBox>("edtrongcuo")->setValue(1);
    refused(QStringLiteral("容错个数1太大：所选的1个条件最多只能容错0个！"));
    find<QSpinBox>("edtrongcuo")->setValue(0);

    // The zones: one part for each zone, exact counts adding up to M.
    find<QCheckBox>("chkfenqu")->setChecked(true);
    find<QComboBox>("comfenqu")->setCurrentText(QStringLiteral("3"));
    auto *zones = find<QLineEdit>("edtfenqu");
    zones->setText(QStringLiteral("2:3"));
    refused(QStringLiteral("分成3区时，请输入3个区的个数，用冒号分开，例如 1:1:1（空着的区不限）！"));
    zones->setText(QStringLiteral("2:2:2"));
    refused(QStringLiteral("各区个数之和是6，应等于5！"));
    zones->setText(QStringLiteral("::"));
    refused(QStringLiteral("请至少输入一个区的个数！"));
    zones->setText(QStringLiteral("2:a:1"));
    refused(QStringLiteral("'a' 不是一个有效的整形值"));
    zones->setText(QStringLiteral("2:2:1"));

    // A banker group needs its numbers, positive, and a count.
    find<QCheckBox>("chkdanmazu2")->setChecked(true);
    refused(QStringLiteral("请输入胆码组2的胆码！"));
    find<QLineEdit>("edtdanmazu2")->setText(QStringLiteral("4 0"));
    refused(QStringLiteral("胆码号码必须是正整数！"));
    find<QLineEdit>("edtdanmazu2")->setText(QStringLiteral("4 5"));
    find<QLineEdit>("edtzuzhong2")->setText(QStringLiteral("2-1"));
    refused(filter_text::BankerOrder());

    // A classic row's value set is read like the others; an empty one leaves the lists.
    find<QLineEdit>("edtzuzhong2")->setText(QStringLiteral("1"));
    find<QCheckBox>("chkjishu")->setChecked(true);
    refused(filter_text::EmptyList());
    find<QLineEdit>("edtjiou")->setText(QStringLiteral("-2"));
    refused(QStringLiteral("奇数的数值不能小于0！"));
    find<QLineEdit>("edtjiou")->setText(QStringLiteral("1,3"));
    // Everything is accepted now, and the history check shows the newer conditions.
    QSignalSpy finished(window.get(), &Tfrmtotalfilt::historyCheckFinished);
    dialogs::testing::Clear();
    find<QPushButton>("btnlishi")->click();
    ASSERT_TRUE(window->isRunning()) << dialogs::testing::LastMessage().toStdString();
    ASSERT_TRUE(finished.wait(60000));
    const QString history = dialogs::testing::LastMessage();
    for (const char *row : {">重码 0-2</td>", ">奇数 1,3</td>", ">第1区个数（共3区）2-2</td>"})
        EXPECT_TRUE(history.contains(QString::fromUtf8(row))) << row << " in " << history.toStdString();
    EXPECT_TRUE(history.contains(QStringLiteral("胆码组"))) << history.toStdString();
}

TEST_F(TotalFilterWindow, IndicatorViewsSendRangesIntoTheLists)
{
    open(QStringLiteral("山东体彩11选5"));
    // A range sent to a row with a value set is what the row reads afterwards.
    find<QLineEdit>("edthei")->setText(QStringLiteral("20-25"));
    window->presetRange(Indicator::Sum, 30, 35);
    EXPECT_TRUE(find<QCheckBox>("chkhei")->isChecked());
    EXPECT_EQ(find<QLineEdit>("edthei")->text(), QString());
    EXPECT_EQ(find<QComboBox>("comhei1")->currentText(), QStringLiteral("30"));
    // Repeats fill the 重码 row; a count beyond M is refused and changes nothing.
    window->presetRange(Indicator::Repeat, 2, 1);
    EXPECT_TRUE(find<QCheckBox>("chkchonghao")->isChecked());
    EXPECT_EQ(find<QLineEdit>("edtchonghao")->text(), QStringLiteral("1-2"));
    EXPECT_THROW(window->presetRange(Indicator::Repeat, 0, 6), InputError);
    EXPECT_EQ(find<QLineEdit>("edtchonghao")->text(), QStringLiteral("1-2"));

    // The pages at the window's default size.
    window->show();
    auto *tabs = find<QTabWidget>("tabtiaojian");
    tabs->setCurrentIndex(1);
    test::Screenshot(window.get(), QStringLiteral("totalfilt_gengduo"));
    tabs->setCurrentIndex(2);
    find<QCheckBox>("chkfenqu")->setChecked(true);
    find<QLineEdit>("edtdanmazu1")->setText(QStringLiteral("1 3 5 7 9 11"));
    test::Screenshot(window.get(), QStringLiteral("totalfilt_fenqu"));
    auto *zoneHint = find<QLabel>("lblfenqu");
    EXPECT_EQ(zoneHint->text(), QStringLiteral("每区4个号码：01-04 05-08 09-11"));
    // Eleven zones of one number do not fit on the line: the tip holds them all.
    find<QComboBox>("comfenqu")->setCurrentText(QStringLiteral("11"));
    EXPECT_LE(zoneHint->fontMetrics().horizontalAdvance(zoneHint->text()), zoneHint->width());
    EXPECT_TRUE(zoneHint->toolTip().endsWith(QStringLiteral("10-10 11-11"))) << zoneHint->toolTip().toStdString();
    // Every control of the pages lies inside its page.
    for (int page = 0; page < tabs->count(); ++page) {
        for (QWidget *control : tabs->widget(page)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(QRect(QPoint(0, 0), tabs->widget(page)->size()).contains(control->geometry()))
                << control->objectName().toStdString();
    }
}

namespace {

// A set with a condition of every kind for 11选5, the classic rows partly in their lists and
// partly as value sets (a range the lists do not offer, several ranges).
TotalFilterConditions EverySortOfCondition(const QComboBox *dispersion, const QComboBox *ac)
{
    TotalFilterConditions c;
    c.big = FilterBounds {1, 3};
    c.odd = FilterBounds {1, 1, {{3, 4}}};
    c.sum = FilterBounds {20, 40};
    c.span = FilterBounds {5, 10};
    const int low = dispersion->itemText(0).toInt();
    c.dispersion = FilterBounds {low, dispersion->itemText(dispersion->count() - 1).toInt()};
    c.deviation = FilterBounds {0, 1, {{3, 5}}};
    c.ac = FilterBounds {ac->itemText(0).toInt(), ac->itemText(0).toInt(),
        {{ac->itemText(2).toInt(), ac->itemText(ac->count() - 1).toInt()}}};
    c.chooser = FilterBounds {4, 5};
    for (int v = 1; v <= 8; ++v)
        c.balls[static_cast<std::size_t>(v)] = true;
    c.banker = FilterBounds {1, 2};
    c.bankers = {3, 7};
    c.repeat = FilterBounds {0, 2};
    c.repeatRecent = FilterBounds {1, 3};
    c.repeatPeriods = 3;
    c.consecutive = FilterBounds {0, 1};
    c.longestRun = FilterBounds {1, 3};
    c.tailCount = FilterBounds {3, 5};
    c.tailSum = FilterBounds {10, 30, {{35, 40}}};
    c.road0 = FilterBounds {0, 2};
    c.road1 = FilterBounds {1, 2};
    c.road2 = FilterBounds {0, 3};
    c.primes = FilterBounds {1, 3};
    c.zoneCount = 3;
    c.zones = {FilterBounds {1, 2}, std::nullopt, FilterBounds {1, 1, {{3, 3}}}};
    c.bankerGroups = {BankerGroup {{2, 5, 9}, FilterBounds {0, 1}}, BankerGroup {{4, 6}, FilterBounds {1, 1}}};
    c.tolerance = 2;
    return c;
}

} // namespace

TEST_F(TotalFilterWindow, SavedConditionsComeBackIntoEveryControl)
{
    const QString name = QStringLiteral("山东体彩11选5");
    AppendElevenDraws(home, name);
    open(name);
    const TotalFilterConditions c = EverySortOfCondition(find<QComboBox>("comsandu1"), find<QComboBox>("comac1"));
    // Something set before the load that the set does not hold goes.
    find<QCheckBox>("chkdanmazu3")->setChecked(true);
    find<QLineEdit>("edtdanmazu3")->setText(QStringLiteral("1 2"));
    find<QLineEdit>("edthei")->setText(QStringLiteral("1-99"));

    const QString file = home.path(QStringLiteral("every.txt"));
    WriteFilterSet(file, FilterSet {c, false});
    dialogs::testing::Clear();
    dialogs::testing::QueueFile(file);
    window->btnloadtiaojianClick();
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << dialogs::testing::LastMessage().toStdString();
    EXPECT_TRUE(window->readConditions() == c);
    // A single range of the lists lands in the lists, anything else in the value set.
    EXPECT_EQ(find<QComboBox>("comdaxiao1")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(find<QComboBox>("comdaxiao2")->currentText(), QStringLiteral("3"));
    EXPECT_TRUE(find<QLineEdit>("edtdaxiao")->text().isEmpty());
    EXPECT_TRUE(find<QLineEdit>("edthei")->text().isEmpty());
    EXPECT_EQ(find<QLineEdit>("edtjiou")->text(), QStringLiteral("1,3-4"));
    EXPECT_EQ(find<QLineEdit>("edtpiandu")->text(), QStringLiteral("0-1,3-5"));
    EXPECT_EQ(find<QLineEdit>("edtfenqu")->text(), QStringLiteral("1-2::1,3"));
    EXPECT_EQ(find<QSpinBox>("edtqishu")->value(), 3);
    EXPECT_EQ(find<QSpinBox>("edtrongcuo")->value(), 2);
    EXPECT_FALSE(find<QCheckBox>("chkdanmazu3")->isChecked());
    EXPECT_TRUE(window->isBallChosen(8));
    EXPECT_FALSE(window->isBallChosen(9));
    EXPECT_EQ(find<QLineEdit>("edtsuiji1")->text(), QStringLiteral("8"));

    // Saved again, the file holds the same set, with the trend it was set in.
    const QString saved = home.path(QStringLiteral("saved-set.txt"));
    dialogs::testing::Clear();
    dialogs::testing::QueueFile(saved);
    window->btnsavetiaojianClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("过滤条件已保存！"));
    EXPECT_TRUE(ReadFilterSet(saved, 11, 5) == (FilterSet {c, false}));

    // The loaded set filters as the engine does with it.
    TotalFilter engine(lottery);
    TotalFilter::Job job = engine.prepare(c, home.path(QStringLiteral("reference.txt")));
    TotalFilter::execute(job);
    runAndWait();
    EXPECT_EQ(window->engine().state() == TotalFilter::State::Narrowed, job.survivors > 0);
    if (job.survivors > 0) {
        EXPECT_EQ(find<QLabel>("lblcode")->text().left(filter_text::ResultCount(job.survivors).size()),
            filter_text::ResultCount(job.survivors));
    }

    // Conditions the window refuses are not saved.
    find<QCheckBox>("chkhei")->setChecked(true);
    find<QLineEdit>("edthei")->setText(QStringLiteral("40-20"));
    dialogs::testing::Clear();
    dialogs::testing::QueueFile(home.path(QStringLiteral("refused.txt")));
    window->btnsavetiaojianClick();
    EXPECT_FALSE(dialogs::testing::LastMessage().isEmpty());
    EXPECT_FALSE(QFile::exists(home.path(QStringLiteral("refused.txt"))));
}

TEST_F(TotalFilterWindow, RefusedSetsChangeNothingAndTheTrendIsTold)
{
    const QString name = QStringLiteral("山东体彩11选5");
    AppendElevenDraws(home, name);
    open(name);
    find<QCheckBox>("chkhei")->setChecked(true);
    find<QLineEdit>("edthei")->setText(QStringLiteral("20-30,33"));
    find<QCheckBox>("chklu0")->setChecked(true);
    find<QLineEdit>("edtlu0")->setText(QStringLiteral("1"));
    const TotalFilterConditions before = window->readConditions();
    const auto load = [&](const QString &file) {
        dialogs::testing::Clear();
        dialogs::testing::QueueFile(file);
        window->btnloadtiaojianClick();
        return dialogs::testing::LastMessage();
    };

    // A malformed file: the reader's message with its line, nothing changed.
    const QString bad = home.path(QStringLiteral("bad.txt"));
    WriteFile(bad, "# Lumaro 总体过滤条件\n和值 = 20-30\n跨度 = 9-x\n");
    EXPECT_TRUE(load(bad).startsWith(QStringLiteral("第3行"))) << dialogs::testing::LastMessage().toStdString();
    EXPECT_TRUE(window->readConditions() == before);

    // More banker groups than the window has rows.
    TotalFilterConditions groups;
    for (int g = 0; g < 4; ++g)
        groups.bankerGroups.push_back(BankerGroup {{g + 1, g + 5}, FilterBounds {1, 1}});
    const QString many = home.path(QStringLiteral("groups.txt"));
    WriteFilterSet(many, FilterSet {groups, false});
    EXPECT_TRUE(load(many).contains(QStringLiteral("胆码组")));
    EXPECT_TRUE(window->readConditions() == before);

    // A hit count of several ranges for the banker numbers has no place in its two boxes.
    TotalFilterConditions banker;
    banker.banker = FilterBounds {0, 0, {{2, 2}}};
    banker.bankers = {1, 2, 3};
    const QString bankers = home.path(QStringLiteral("banker.txt"));
    WriteFilterSet(bankers, FilterSet {banker, false});
    EXPECT_FALSE(load(bankers).isEmpty());
    EXPECT_TRUE(window->readConditions() == before);

    // A set of the variant trend loads into the standard one, and the player is told.
    TotalFilterConditions sum;
    sum.sum = FilterBounds {18, 22};
    const QString variantSet = home.path(QStringLiteral("variant.txt"));
    WriteFilterSet(variantSet, FilterSet {sum, true});
    EXPECT_TRUE(load(variantSet).contains(QStringLiteral("变幻走势")));
    EXPECT_TRUE(window->readConditions() == sum);

    // In the variant trend: a standard set loads with the message, a chooser is refused.
    std::vector<int> codes(11);
    std::iota(codes.begin(), codes.end(), 1);
    BuildVariantTrend(lottery, 3, codes);
    lottery.variantMode = true;
    window->applyTrendMode(true);
    const QString standardSet = home.path(QStringLiteral("standard.txt"));
    WriteFilterSet(standardSet, FilterSet {before, false});
    EXPECT_TRUE(load(standardSet).contains(QStringLiteral("标准走势")));
    EXPECT_TRUE(window->readConditions() == before);
    TotalFilterConditions chooser;
    chooser.chooser = FilterBounds {5, 5};
    for (int v = 1; v <= 6; ++v)
        chooser.balls[static_cast<std::size_t>(v)] = true;
    const QString chooserSet = home.path(QStringLiteral("chooser.txt"));
    WriteFilterSet(chooserSet, FilterSet {chooser, false});
    EXPECT_TRUE(load(chooserSet).contains(QStringLiteral("选择球号")));
    EXPECT_TRUE(window->readConditions() == before);
    EXPECT_FALSE(find<QCheckBox>("chkhongqiu")->isChecked());
}

TEST_F(TotalFilterWindow, SurvivorsAreLookedAtAndPickedFrom)
{
    open(QStringLiteral("山东体彩11选5"));
    const auto click = [&](void (Tfrmtotalfilt::*action)()) {
        dialogs::testing::Clear();
        (window.get()->*action)();
        window->waitForLook();
        QCoreApplication::processEvents();
        return dialogs::testing::LastMessage();
    };
    // Nothing to look at or pick from before a run.
    EXPECT_TRUE(click(&Tfrmtotalfilt::btnfenbuClick).contains(QStringLiteral("还没有过滤结果")));
    find<QLineEdit>("edtsuiji")->setText(QStringLiteral("3"));
    EXPECT_TRUE(click(&Tfrmtotalfilt::btnsuijiClick).contains(QStringLiteral("还没有过滤结果")));

    find<QCheckBox>("chkhei")->setChecked(true);
    find<QComboBox>("comhei1")->setCurrentText(QStringLiteral("25"));
    find<QComboBox>("comhei2")->setCurrentText(QStringLiteral("35"));
    runAndWait();
    const qint64 survivors = lottery.ticketSet().aliveCount();
    ASSERT_GT(survivors, 10);

    // The spread of the survivors, as the engine counts it.
    const QString spread = click(&Tfrmtotalfilt::btnfenbuClick);
    const std::optional<SurvivorLook> look = LookAtSurvivors(lottery.ticketSet(), FilterInputs::fromLottery(lottery));
    ASSERT_TRUE(look);
    EXPECT_TRUE(spread.startsWith(filter_text::ResultCount(survivors))) << spread.toStdString();
    for (const QString &line : SurvivorLookLines(*look))
        EXPECT_TRUE(spread.contains(line)) << line.toStdString();
    EXPECT_FALSE(spread.contains(QStringLiteral("和值：24:")));
    EXPECT_TRUE(find<QPushButton>("btnfilt")->isEnabled());

    // Counts that are no whole number, not positive or beyond the survivors change nothing.
    auto *memo = find<QListView>("memcode");
    const QString first = memo->model()->index(0, 0).data().toString();
    for (const QString &bad :
        {QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("-2"), QString::number(survivors + 1), QString()}) {
        find<QLineEdit>("edtsuiji")->setText(bad);
        EXPECT_FALSE(click(&Tfrmtotalfilt::btnsuijiClick).isEmpty()) << bad.toStdString();
        EXPECT_EQ(memo->model()->rowCount(), survivors) << bad.toStdString();
        EXPECT_EQ(memo->model()->index(0, 0).data().toString(), first);
    }

    // Three distinct survivors in the list; 保存 saves those three.
    find<QLineEdit>("edtsuiji")->setText(QStringLiteral("3"));
    EXPECT_TRUE(click(&Tfrmtotalfilt::btnsuijiClick).isEmpty());
    ASSERT_EQ(memo->model()->rowCount(), 3);
    QStringList picked;
    for (int r = 0; r < 3; ++r) {
        const QString line = memo->model()->index(r, 0).data().toString();
        EXPECT_TRUE(line.startsWith(QStringLiteral("000000%1    ").arg(r + 1))) << line.toStdString();
        picked << line.mid(11).trimmed();
        int sum = 0;
        for (const QString &number : picked.back().split(QLatin1Char(' ')))
            sum += number.toInt();
        EXPECT_TRUE(sum >= 25 && sum <= 35) << line.toStdString();
    }
    EXPECT_EQ(QSet<QString>(picked.begin(), picked.end()).size(), 3);
    EXPECT_TRUE(find<QLabel>("lblcode")->text().startsWith(QStringLiteral("随机选出3注")));
    const QString saved = home.path(QStringLiteral("picked.txt"));
    dialogs::testing::QueueFile(saved);
    window->btnsaveClick();
    EXPECT_EQ(ReadFile(saved), (picked.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    // Every survivor at once is a pick too.
    find<QLineEdit>("edtsuiji")->setText(QString::number(survivors));
    EXPECT_TRUE(click(&Tfrmtotalfilt::btnsuijiClick).isEmpty());
    EXPECT_EQ(memo->model()->rowCount(), survivors);
    test::Screenshot(window.get(), QStringLiteral("totalfilt_suiji"));
}
