#include "data/draw_import.h"
#include "invest/u_tozi.h"
#include "invest_ui_support.h"
#include "support/screenshot.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

class ToziTest : public test::InvestWindowTest {
protected:
    void openReal3D()
    {
        ImportDrawFile(home.store(), QStringLiteral("福彩3D"), test::HistoryFile(QStringLiteral("fc3d.csv")));
        lottery.open(home.store(), QStringLiteral("福彩3D"));
    }
};

} // namespace

TEST_F(ToziTest, RefusesWithoutAThreeDigitLotteryAndWithoutTickets)
{
    Tfrmtozi window(context, nullptr);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("投资模式分析"));
    click(&window, "btnfilt");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请先打开一个三位数字型彩票（如福彩3D）！"));
    click(&window, "btnala");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请生成号码！"));
    click(&window, "btnyouhua");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请生成号码！"));
    EXPECT_FALSE(window.searching());
    trigger(&window, "mnusavecode");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请生成号码！"));
    trigger(&window, "mnuprintcode");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请先生成表格！"));

    find<QCheckBox>(&window, "chksepmode")->setChecked(false);
    EXPECT_FALSE(find<QComboBox>(&window, "comsepnum")->isEnabled());
    EXPECT_EQ(find<QComboBox>(&window, "comsepindex")->currentIndex(), 0);
    find<QLineEdit>(&window, "edtsinmax")->setText(QStringLiteral("5"));
    click(&window, "btnclear");
    EXPECT_EQ(find<QLineEdit>(&window, "edtsinmax")->text(), QStringLiteral("10000"));
    EXPECT_EQ(find<QLineEdit>(&window, "edtallmax")->text(), QStringLiteral("100000"));
    EXPECT_TRUE(find<QCheckBox>(&window, "chksepmode")->isChecked());
    EXPECT_TRUE(find<QComboBox>(&window, "comsepnum")->isEnabled());
}

TEST_F(ToziTest, GeneratesAnalysesSavesAndLoads)
{
    openReal3D();
    Tfrmtozi window(context, nullptr);
    ASSERT_EQ(find<QGroupBox>(&window, "optzhuzhi")->findChildren<QRadioButton *>().size(), 4);
    window.findChildren<QRadioButton *>()[2]->setChecked(true); // 组选3
    find<QLineEdit>(&window, "edtjushu")->setText(QStringLiteral("91"));
    click(&window, "btnfilt");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请请输入1到90的组选3注数！"));
    EXPECT_TRUE(window.tickets().empty());

    window.findChildren<QRadioButton *>()[0]->setChecked(true);
    find<QLineEdit>(&window, "edtjushu")->setText(QStringLiteral("100"));
    click(&window, "btnfilt");
    ASSERT_EQ(window.tickets().size(), 100u);
    ASSERT_EQ(window.hitGapTable().size(), 8374u);
    EXPECT_FALSE(window.intervalStatistics().empty());
    EXPECT_TRUE(window.analysis().rows.empty()); // generation does not analyse

    dialogs::testing::Clear();
    find<QComboBox>(&window, "comtozirep")->setCurrentIndex(4);
    find<QCheckBox>(&window, "chkyuji")->setChecked(false);
    click(&window, "btnala");
    EXPECT_FALSE(window.analysis().rows.empty());
    EXPECT_EQ(find<QLineEdit>(&window, "edtallwin")->text(), QString::number(window.analysis().totalGain));

    const QString both = home.path(QStringLiteral("附属/both.txt"));
    dialogs::testing::QueueFile(both);
    trigger(&window, "mnusaveboth");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    EXPECT_EQ(test::ReadFile(both).count("\r\n"), 13 + 1 + 100);
    const QString codes = home.path(QStringLiteral("附属/codes.txt"));
    dialogs::testing::QueueFile(codes);
    trigger(&window, "mnusavecode");
    EXPECT_EQ(test::ReadFile(codes).count("\r\n"), 2 + 100);

    Tfrmtozi loaded(context, nullptr);
    dialogs::testing::QueueFile(both);
    trigger(&loaded, "mnuloadboth");
    EXPECT_EQ(loaded.tickets(), window.tickets());
    EXPECT_EQ(find<QComboBox>(&loaded, "comtozirep")->currentIndex(), 4);
    EXPECT_FALSE(find<QCheckBox>(&loaded, "chkyuji")->isChecked());
    EXPECT_EQ(loaded.analysis().totalGain, window.analysis().totalGain); // loaded and analysed

    // A ticket file with more lines than its count: the count is read and the rest reported.
    test::WriteFile(codes, test::ReadFile(codes).replace("0\r\n100\r\n", "0\r\n99\r\n"));
    dialogs::testing::QueueFile(codes);
    trigger(&loaded, "mnuloadcode");
    EXPECT_EQ(loaded.tickets().size(), 99u);
    EXPECT_EQ(find<QLineEdit>(&loaded, "edtjushu")->text(), QStringLiteral("99"));
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("后1行未载入")));

    // A play-type change empties the result grid.
    loaded.findChildren<QRadioButton *>()[1]->setChecked(true);
    EXPECT_TRUE(loaded.analysis().rows.empty());

    // 100 tickets print on two pages.
    const QString pdf = home.path(QStringLiteral("codes.pdf"));
    dialogs::testing::QueueChoice(1);
    dialogs::testing::QueueFile(pdf);
    trigger(&window, "mnuprintcode");
    const QByteArray bytes = test::ReadFile(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 2);

    // Limits that forbid even the first stake: no row, a gain of 0, and the reason.
    dialogs::testing::Clear();
    find<QLineEdit>(&window, "edtsinmax")->setText(QStringLiteral("199"));
    click(&window, "btnala");
    EXPECT_TRUE(window.analysis().rows.empty());
    EXPECT_EQ(find<QLineEdit>(&window, "edtallwin")->text(), QStringLiteral("0"));
    ASSERT_EQ(dialogs::testing::Messages().size(), 1);
    EXPECT_EQ(dialogs::testing::Messages()[0].kind, QStringLiteral("warning"));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("第一期投入200已超出单期最大投入199，无法投注！"));
}

TEST_F(ToziTest, SearchDisablesTheWindowAndLeavesItOnTheBest)
{
    openReal3D();
    Tfrmtozi window(context, nullptr);
    click(&window, "btnfilt");
    find<QCheckBox>(&window, "chksepmode")->setChecked(false);
    dialogs::testing::Clear();

    click(&window, "btnyouhua");
    EXPECT_TRUE(window.searching());
    EXPECT_EQ(find<QPushButton>(&window, "btnyouhua")->text(), QStringLiteral("停止搜索"));
    for (const char *name : {"btnala", "btnfilt", "btnclear", "btnclose", "grptozi"})
        EXPECT_FALSE(find(&window, name)->isEnabled()) << name;
    EXPECT_FALSE(find<QToolButton>(&window, "tlbtnsave")->isEnabled());
    EXPECT_TRUE(find(&window, "optzhuzhi")->isEnabled());
    EXPECT_EQ(find<QProgressBar>(&window, "pb")->maximum(), 2550);
    window.waitForSearch();

    EXPECT_FALSE(window.searching());
    EXPECT_TRUE(find(&window, "btnala")->isEnabled());
    EXPECT_TRUE(find(&window, "grptozi")->isEnabled());
    EXPECT_EQ(find<QPushButton>(&window, "btnyouhua")->text(), QStringLiteral("搜索"));
    const SearchResult &best = window.lastSearch();
    EXPECT_EQ(best.trialsDone, 2550);
    EXPECT_EQ(find<QComboBox>(&window, "comsepnum")->currentIndex(), 0);
    EXPECT_EQ(find<QComboBox>(&window, "comtozisep")->currentIndex(), best.bestTozisepIndex);
    EXPECT_EQ(find<QComboBox>(&window, "comtozirep")->currentIndex(), best.bestTozirepIndex);
    EXPECT_EQ(find<QLineEdit>(&window, "edtallwin")->text(), QString::number(best.bestTotal));
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()); // the search names no aborts
    // The summary warns that the best gain was picked on the draws it is scored on, until the
    // next analysis.
    auto *summary = find<QLabel>(&window, "lblzongjie");
    EXPECT_TRUE(summary->text().contains(SearchInSampleNote())) << summary->text().toStdString();

    // Searched on the first 70 % of the 8374 draws: the summary scores the best setting on the
    // 2513 later ones too, and the window keeps that setting for the whole history.
    auto *part = find<QComboBox>(&window, "comsousuo");
    part->setCurrentIndex(part->findText(QStringLiteral("前70%")));
    click(&window, "btnyouhua");
    window.waitForSearch();
    EXPECT_TRUE(summary->text().contains(
        QStringLiteral("在前5861期中搜索，最佳设置赢余%1；").arg(window.lastSearch().bestTotal)))
        << summary->text().toStdString();
    EXPECT_TRUE(summary->text().contains(QStringLiteral("用它投注后2513期")));
    EXPECT_EQ(find<QComboBox>(&window, "comtozirep")->currentIndex(), window.lastSearch().bestTozirepIndex);
    test::Screenshot(&window, "tozi-held-out-search");
    click(&window, "btnala");
    EXPECT_FALSE(summary->text().contains(QStringLiteral("搜索"))) << summary->text().toStdString();
    part->setCurrentIndex(0);

    // Stopped at once: the window comes back on the best of what ran.
    find<QCheckBox>(&window, "chksepmode")->setChecked(true);
    click(&window, "btnyouhua");
    click(&window, "btnyouhua");
    window.waitForSearch();
    EXPECT_FALSE(window.searching());
    EXPECT_TRUE(window.lastSearch().stopped);
    EXPECT_TRUE(find(&window, "btnclose")->isEnabled());

    // Figures beyond 64 bits stop the search with a message, and the window is usable again.
    type(&window, "edtjushu", QStringLiteral("1"));
    type(&window, "edtoutofsin", QStringLiteral("9200000000000000000"));
    dialogs::testing::Clear();
    click(&window, "btnyouhua");
    window.waitForSearch();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("金额太大，超出计算范围！"));
    EXPECT_FALSE(window.searching());
    EXPECT_TRUE(find(&window, "btnala")->isEnabled());
}

TEST_F(ToziTest, ShowsTheMoneyAskedAndTheRunningBalance)
{
    openReal3D();
    Tfrmtozi window(context, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(find<QLabel>(&window, "lblzongjie")->text(),
        QStringLiteral("最大单期投注：0  单轮最大投入：0  中出轮数：0  未中轮数：0"));
    click(&window, "btnfilt");
    find<QComboBox>(&window, "comtozirep")->setCurrentIndex(4); // 5 periods a cycle
    find<QCheckBox>(&window, "chkyuji")->setChecked(false); // no loss carried
    click(&window, "btnala");
    const AnalysisResult &result = window.analysis();
    ASSERT_FALSE(result.rows.empty());
    const AnalysisSummary &summary = window.summary();
    EXPECT_EQ(summary.cyclesWon + summary.cyclesLost, static_cast<int>(result.rows.size()));
    EXPECT_GT(summary.cyclesWon, 0);
    // Without carried losses every cycle's losses count at once: the balance ends at 总体赢余.
    ASSERT_EQ(summary.balance.size(), result.rows.size());
    EXPECT_EQ(summary.balance.back(), result.totalGain);
    // 100 tickets cost 200 a multiple, and no cycle spends more than five periods' stakes.
    EXPECT_EQ(summary.largestStake % 200, 0);
    EXPECT_LE(summary.largestCycleOutlay, 5 * summary.largestStake);
    EXPECT_EQ(find<QLabel>(&window, "lblzongjie")->text(), AnalysisSummaryText(summary));
    const auto *series = qobject_cast<QLineSeries *>(find<QChartView>(&window, "chtyue")->chart()->series().value(0));
    ASSERT_NE(series, nullptr);
    ASSERT_EQ(series->count(), static_cast<int>(result.rows.size()));
    EXPECT_EQ(series->at(series->count() - 1).y(), static_cast<double>(result.totalGain));
    QApplication::processEvents();
    test::Screenshot(&window, QStringLiteral("tozi-balance"));

    // Another play type drops the analysis, and its summary with it.
    window.findChildren<QRadioButton *>()[1]->setChecked(true);
    EXPECT_EQ(series->count(), 0);
    EXPECT_EQ(window.summary().cyclesWon, 0);
}
