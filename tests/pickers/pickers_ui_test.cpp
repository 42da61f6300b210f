#include "data/combination.h"
#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "pickers/four_step_picker.h"
#include "pickers/interval_picker.h"
#include "pickers/radio_group.h"
#include "pickers/stem_branch_picker.h"
#include "pickers/u_ganzhi.h"
#include "pickers/u_qingmi.h"
#include "pickers/u_sep.h"
#include "pickers/u_sibu.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "support/chart_texts.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>

#include <gtest/gtest.h>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");

template<class T>
T *Child(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void WaitForTongji(PickerFrame &window)
{
    QElapsedTimer timer;
    timer.start();
    while (window.isBusy() && timer.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_FALSE(window.isBusy());
}

QString Cell(QWidget &window, const char *grid, int row, int column)
{
    QTableView *view = Child<QTableView>(window, grid);
    return view->model()->index(row, column).data().toString();
}

class PickerWindows : public test::WindowTest {
protected:
    // Twelve 七乐彩 draws on Mondays, Wednesdays and Fridays from 2026-03-02 (a Monday).
    void openSmallHistory()
    {
        std::vector<DrawRow> rows;
        QDate date(2026, 3, 2);
        for (int i = 0; i < 12; ++i) {
            DrawRow row;
            row.period = QString::number(2026001 + i);
            for (int k = 0; k < 7; ++k)
                row.numbers.push_back((i * 3 + k * 4) % 30 + 1);
            row.date = date.toString(QStringLiteral("yyyy-MM-dd"));
            date = date.addDays(date.dayOfWeek() == 5 ? 3 : 2);
            rows.push_back(row);
        }
        home.store().appendDraws(kQlc, rows);
        lottery.open(home.store(), kQlc);
    }

    void openRealHistory()
    {
        ImportDrawFile(home.store(), kQlc, lumaro::test::HistoryFile(QStringLiteral("qlc.csv")));
        lottery.open(home.store(), kQlc);
    }
};

} // namespace

TEST_F(PickerWindows, IntervalWindowDefaultsProposalAndBacktest)
{
    openSmallHistory();
    Tfrmsep window(context, nullptr);
    WaitForTongji(window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("最优间隔回补选号"));
    EXPECT_TRUE(window.windowFlags() & Qt::Tool);
    auto *comqishu = Child<QComboBox>(window, "comqishu");
    EXPECT_EQ(comqishu->count(), 20);
    EXPECT_EQ(comqishu->currentText(), QStringLiteral("5"));
    EXPECT_EQ(Child<QComboBox>(window, "comcodenum")->count(), 30);
    EXPECT_EQ(Child<QComboBox>(window, "comcodenum")->currentText(), QStringLiteral("14"));
    auto *comcurqi = Child<QComboBox>(window, "comcurqi");
    EXPECT_EQ(comcurqi->count(), 13);
    EXPECT_EQ(comcurqi->currentText(), QStringLiteral("2026013"));

    // The back-test ran at opening: every draw in the grid, the memo, both charts.
    EXPECT_EQ(Child<QTableView>(window, "tabhistory")->model()->rowCount(), 12);
    EXPECT_EQ(Cell(window, "tabhistory", 0, 0), QStringLiteral("2026001"));
    EXPECT_EQ(Cell(window, "tabhistory", 0, 3), QStringLiteral("0"));
    EXPECT_TRUE(Child<QPlainTextEdit>(window, "mem")->toPlainText().startsWith(QStringLiteral("最大中奖号码数为")));
    EXPECT_EQ(Child<BarChart>(window, "chthistory")->pointCount(), 12);
    EXPECT_EQ(Child<BarChart>(window, "chtcishu")->pointCount(), 8);
    const IntervalPicker picker(lottery.drawTable, NumberRange {1, 30});
    EXPECT_EQ(Cell(window, "tabhistory", 11, 2), PaddedNumbers(picker.propose(11, IntervalSettings {5, 14})));

    comcurqi->setCurrentIndex(0);
    Child<QPushButton>(window, "btngen")->click();
    EXPECT_EQ(Child<QLineEdit>(window, "edtcurcode")->text(),
        QStringLiteral(
            "2026001期推荐投注号码：01 02 03 04 05 06 07 08 09 10 11 12 13 14  全包需C(14,7)=3432注，6864元"));

    // New settings count at the next 历史统计.
    comqishu->setCurrentIndex(0);
    Child<QComboBox>(window, "comcodenum")->setCurrentIndex(2);
    Child<QPushButton>(window, "btntongji")->click();
    WaitForTongji(window);
    EXPECT_EQ(Cell(window, "tabhistory", 11, 2), PaddedNumbers(picker.propose(11, IntervalSettings {1, 3})));

    auto *marks = Child<QCheckBox>(window, "chkhistorybiao");
    marks->setChecked(true);
    EXPECT_TRUE(Child<BarChart>(window, "chthistory")->marksVisible());
}

TEST_F(PickerWindows, IntimateWindowSwitchesModesAndFillsTabcode)
{
    openSmallHistory();
    Tfrmqingmi window(context, nullptr);
    WaitForTongji(window);
    auto *optsel = Child<RadioGroup>(window, "optsel");
    auto *comselnum = Child<QComboBox>(window, "comselnum");
    auto *comjieduanqi = Child<QComboBox>(window, "comjieduanqi");
    EXPECT_EQ(optsel->itemIndex(), 1);
    EXPECT_EQ(comselnum->currentText(), QStringLiteral("15"));
    EXPECT_EQ(comjieduanqi->count(), 13);
    EXPECT_EQ(comjieduanqi->itemText(0), QStringLiteral("全部期数"));
    EXPECT_EQ(comjieduanqi->currentText(), QStringLiteral("7"));
    EXPECT_EQ(Child<BarChart>(window, "chthistory")->pointCount(), 12 - 8); // draws S + 1 …
    EXPECT_EQ(Cell(window, "tabhistory", 0, 2), QString());

    Child<QPushButton>(window, "btngen")->click();
    EXPECT_TRUE(Cell(window, "tabcode", 0, 0).startsWith(QStringLiteral("各亲密数字总次数")));
    EXPECT_TRUE(Child<QLineEdit>(window, "edtcurcode")->text().startsWith(QStringLiteral("2026013期推荐投注号码：")));

    window.findChild<QRadioButton *>(QStringLiteral("optsel_0"))->click();
    EXPECT_EQ(optsel->itemIndex(), 0);
    EXPECT_EQ(comselnum->currentIndex(), 0);
    EXPECT_EQ(Child<QLabel>(window, "lblselnum")->text(), QStringLiteral("各位号码数："));
    Child<QPushButton>(window, "btngen")->click();
    QTableView *tabcode = Child<QTableView>(window, "tabcode");
    EXPECT_EQ(tabcode->model()->rowCount(), 31);
    EXPECT_EQ(tabcode->model()->columnCount(), 8);
    EXPECT_EQ(Cell(window, "tabcode", 0, 0), QStringLiteral("参照号码"));
    EXPECT_EQ(Cell(window, "tabcode", 0, 1), QString::number(lottery.drawTable.numbers(11)[0]));
    EXPECT_EQ(Cell(window, "tabcode", 30, 0), QStringLiteral("排名30"));
    EXPECT_TRUE(Cell(window, "tabcode", 1, 1).contains(QStringLiteral("次")));
    window.findChild<QRadioButton *>(QStringLiteral("optsel_1"))->click();
    EXPECT_EQ(Child<QLabel>(window, "lblselnum")->text(), QStringLiteral("总体号码数："));

    // The first period has no reference draw.
    Child<QComboBox>(window, "comcurqi")->setCurrentIndex(0);
    Child<QPushButton>(window, "btngen")->click();
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("没有可作参照的开奖号码")));
}

TEST_F(PickerWindows, WindowsWithATallyReadAtTheirDefaultSize)
{
    openRealHistory();
    Tfrmsep interval(context, nullptr);
    Tfrmqingmi intimate(context, nullptr);
    for (PickerFrame *window : {static_cast<PickerFrame *>(&interval), static_cast<PickerFrame *>(&intimate)}) {
        SCOPED_TRACE(window->objectName().toStdString());
        WaitForTongji(*window);
        Child<QPushButton>(*window, "btngen")->click();
        test::Settle(window);
        test::Screenshot(window, window->objectName());

        // A dozen history rows or more in view.
        auto *history = Child<QTableView>(*window, "tabhistory");
        EXPECT_GE(history->viewport()->height() / history->rowHeight(0), 12)
            << history->viewport()->height() << " " << Child<QPlainTextEdit>(*window, "mem")->height();
        // The tally's values stand apart and inside the chart; the period labels of the hit
        // chart do not run together.
        const test::ChartTexts tally = test::ChartTextsOf(Child<BarChart>(*window, "chtcishu"));
        ASSERT_EQ(tally.marks.size(), 8u);
        test::ExpectApart(tally.marks, "tally values");
        test::ExpectMarksInside(tally);
        test::ExpectApart(tally.labels, "hit counts");
        test::ExpectApart(test::ChartTextsOf(Child<BarChart>(*window, "chthistory")).labels, "periods");

        // The memo: the picker's summary, then the comparison with chance, all in view.
        const BacktestResult &result = window->backtestResult();
        auto *memo = Child<QPlainTextEdit>(*window, "mem");
        EXPECT_EQ(memo->toPlainText(), result.memo + QStringLiteral("\n") + ChanceLine(result.chance));
        EXPECT_TRUE(ChanceLine(result.chance).startsWith(QStringLiteral("随机对照：判断2920期，")));
        EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0);
        // Beside each observed count, what a random pick of the same size would give.
        auto *cishu = Child<BarChart>(*window, "chtcishu");
        ASSERT_EQ(cishu->seriesCount(), 2);
        double observed = 0;
        double expected = 0;
        for (int k = 0; k < cishu->pointCount(); ++k) {
            EXPECT_EQ(cishu->value(0, k), result.tally[static_cast<std::size_t>(k)]);
            EXPECT_NEAR(cishu->value(1, k), result.chance.expected[static_cast<std::size_t>(k)], 0.05);
            observed += cishu->value(0, k);
            expected += cishu->value(1, k);
        }
        EXPECT_EQ(observed, 2920);
        EXPECT_NEAR(expected, 2920, 0.4);
    }
    // The tally of positions fills the pane above the history.
    intimate.findChild<QRadioButton *>(QStringLiteral("optsel_0"))->click();
    Child<QPushButton>(intimate, "btngen")->click();
    test::Settle(&intimate);
    test::Screenshot(&intimate, QStringLiteral("frmqingmi_positions"));
    EXPECT_GE(Child<QTableView>(intimate, "tabcode")->viewport()->height(), 3 * 20);
}

TEST_F(PickerWindows, StemBranchWindowDatesAndProposal)
{
    openSmallHistory();
    Tfrmganzhi window(context, nullptr);
    WaitForTongji(window);
    EXPECT_EQ(window.findChild<BarChart *>(QStringLiteral("chtcishu")), nullptr);
    // The last draw (2026-03-27) is a Friday: the coming period is drawn on Monday 2026-03-30.
    const QDate coming(2026, 3, 30);
    EXPECT_EQ(Child<QLineEdit>(window, "edtdate")->text(), coming.toString(QStringLiteral("yyyy/M/d")));
    const StemBranch day = StemBranchOf(coming);
    EXPECT_EQ(Child<QLineEdit>(window, "edttiangan")->text(), StemName(day.stem));
    EXPECT_EQ(Child<QLineEdit>(window, "edtdizhi")->text(), BranchName(day.branch));
    Child<QPushButton>(window, "btngen")->click();
    const std::vector<int> proposal
        = StemBranchProposal(SelectDigits(day.stem, day.branch, false), NumberRange {1, 30});
    EXPECT_EQ(Child<QLineEdit>(window, "edtcurcode")->text(),
        ProposalLine(QStringLiteral("2026013"), PlainNumbers(proposal))
            + QStringLiteral(" 全包需C(%1,7)=%2注，%3元")
                  .arg(proposal.size())
                  .arg(Choose(static_cast<int>(proposal.size()), 7))
                  .arg(2 * Choose(static_cast<int>(proposal.size()), 7)));

    Child<QComboBox>(window, "comcurqi")->setCurrentIndex(0);
    EXPECT_EQ(Child<QLineEdit>(window, "edttiangan")->text(), StemName(StemBranchOf(QDate(2026, 3, 2)).stem));
    window.findChild<QRadioButton *>(QStringLiteral("optadd_1"))->click();
    Child<QPushButton>(window, "btntongji")->click();
    WaitForTongji(window);
    EXPECT_EQ(Child<QTableView>(window, "tabhistory")->model()->rowCount(), 12);
    EXPECT_EQ(Cell(window, "tabhistory", 0, 1), PlainNumbers(lottery.drawTable.numbers(0), 7));
    const StemBranch first = StemBranchOf(QDate(2026, 3, 2));
    EXPECT_EQ(Cell(window, "tabhistory", 0, 2),
        PlainNumbers(StemBranchProposal(SelectDigits(first.stem, first.branch, true), NumberRange {1, 30})));
}

TEST_F(PickerWindows, FourStepWindowOnTheRealHistory)
{
    openRealHistory();
    Tfrmsibu window(context, nullptr);
    WaitForTongji(window);
    EXPECT_EQ(Child<QComboBox>(window, "com1")->count(), 2921);
    EXPECT_EQ(Child<QComboBox>(window, "com1")->currentText(), QStringLiteral("40"));
    EXPECT_EQ(Child<QComboBox>(window, "com2")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(Child<QComboBox>(window, "com3")->currentText(), QStringLiteral("10"));
    EXPECT_EQ(Child<QComboBox>(window, "com4")->currentText(), QStringLiteral("10"));
    EXPECT_EQ(Child<QTableView>(window, "tabhistory")->model()->rowCount(), 2921 - 60);
    EXPECT_EQ(Child<BarChart>(window, "chthistory")->pointCount(), 2921 - 60);
    EXPECT_EQ(Cell(window, "tabhistory", 0, 0), QString::number(lottery.drawTable.period(60)));
    EXPECT_TRUE(Child<QPlainTextEdit>(window, "mem")->toPlainText().startsWith(QStringLiteral("最大中奖个数：")));

    Child<QPushButton>(window, "btngen")->click();
    const FourStepProposal proposal
        = FourStepPicker(lottery.drawTable, NumberRange {1, 30}).propose(2921, FourStepSettings {});
    EXPECT_EQ(Child<QLineEdit>(window, "edtcode1")->text(), proposal.step1Text());
    EXPECT_EQ(Child<QLineEdit>(window, "edtcode3")->text(), proposal.step3Text());
    EXPECT_EQ(Child<QLineEdit>(window, "edtcode4")->text(), proposal.step4Text());
    EXPECT_EQ(Child<QLineEdit>(window, "edtcurcode")->text(),
        ProposalLine(QStringLiteral("2026042"), proposal.finalText())
            + QStringLiteral(" 全包需C(15,7)=6435注，12870元"));
}

TEST_F(PickerWindows, EmptyAndShortHistories)
{
    lottery.open(home.store(), kQlc); // no draws
    Tfrmsep sep(context, nullptr);
    Tfrmqingmi qingmi(context, nullptr);
    Tfrmganzhi ganzhi(context, nullptr);
    Tfrmsibu sibu(context, nullptr);
    for (PickerFrame *window : std::initializer_list<PickerFrame *> {&sep, &qingmi, &ganzhi, &sibu}) {
        WaitForTongji(*window);
        EXPECT_EQ(Child<QComboBox>(*window, "comcurqi")->count(), 0);
        EXPECT_EQ(Child<QTableView>(*window, "tabhistory")->model()->rowCount(), 0);
        EXPECT_EQ(Child<QPlainTextEdit>(*window, "mem")->toPlainText(), NoJudgedDrawsMemo());
        dialogs::testing::Clear();
        Child<QPushButton>(*window, "btngen")->click();
        EXPECT_EQ(dialogs::testing::LastMessage(), NoDrawsMessage());
    }
    EXPECT_TRUE(Child<QLineEdit>(ganzhi, "edtdate")->text().isEmpty());
}

TEST_F(PickerWindows, FourStepWindowWithFewDraws)
{
    openSmallHistory();
    Tfrmsibu window(context, nullptr);
    WaitForTongji(window);
    // Twelve draws: the long window defaults to all of them; the grid has no rows.
    EXPECT_EQ(Child<QComboBox>(window, "com1")->currentText(), QStringLiteral("12"));
    EXPECT_EQ(Child<QTableView>(window, "tabhistory")->model()->rowCount(), 0);
    EXPECT_EQ(Child<QPlainTextEdit>(window, "mem")->toPlainText(), NoJudgedDrawsMemo());
    Child<QPushButton>(window, "btngen")->click();
    EXPECT_TRUE(Child<QLineEdit>(window, "edtcurcode")->text().startsWith(QStringLiteral("2026013期推荐投注号码：")));
}
