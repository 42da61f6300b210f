#include "analysis/u_AC.h"
#include "analysis/u_congma.h"
#include "analysis/u_daxiao.h"
#include "analysis/u_hei.h"
#include "analysis/u_piandu.h"
#include "analysis/u_sandu.h"
#include "common/errors.h"
#include "data/combination.h"
#include "data/draw_import.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "shell/u_main.h"
#include "support/chart_texts.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"
#include "tickets/total_filter.h"
#include "tickets/u_totalfilt.h"
#include "trend/variant_trend.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

using namespace lumaro;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");

class IndicatorSharesView : public test::WindowTest {
protected:
    void openQlc()
    {
        ImportDrawFile(home.store(), kQlc, test::HistoryFile(QStringLiteral("qlc.csv")));
        lottery.open(home.store(), kQlc);
    }

    template<class T>
    static T *child(QWidget *window, const char *name)
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QString cell(QWidget *window, int row, int column)
    {
        QAbstractItemModel *model = child<QTableView>(window, "tabfenbu")->model();
        return model->data(model->index(row, column)).toString();
    }
    static void grab(QWidget *window, const QString &name)
    {
        test::Settle(window);
        test::Screenshot(window, name);
    }
    // The tickets a run of the total filter keeps with one condition, on this lottery.
    qint64 filterKeeps(std::optional<FilterBounds> TotalFilterConditions::*member, FilterBounds bounds) const
    {
        TotalFilterConditions conditions;
        conditions.*member = bounds;
        TicketSet tickets = TicketSet::lexicographic(lottery.n, lottery.m);
        return *ApplyConditions(tickets, FilterInputs::fromLottery(lottery), conditions, {});
    }
};

} // namespace

TEST_F(IndicatorSharesView, EachValueShowsItsShareOfAllTicketsBesideTheDraws)
{
    openQlc();
    Tfrmhei sum(context);
    sum.resize(970, 512);
    // The history page stays the first; the shares are counted when their page shows.
    EXPECT_FALSE(sum.shares().has_value());
    sum.showSharesPage();
    ASSERT_TRUE(sum.shares().has_value());
    const IndicatorShares &shares = *sum.shares();
    EXPECT_EQ(shares.ticketTotal, Choose(30, 7));
    EXPECT_EQ(shares.drawTotal, 2921);
    // 七乐彩 sums run from 28 to 189, every one of them possible.
    ASSERT_EQ(shares.rows.size(), 162u);
    EXPECT_EQ(cell(&sum, 0, 0), QStringLiteral("28"));
    EXPECT_EQ(cell(&sum, 0, 1), QStringLiteral("0.00% (1)"));
    EXPECT_EQ(child<QTableView>(&sum, "tabfenbu")->model()->headerData(2, Qt::Horizontal).toString(),
        QStringLiteral("开奖号码"));
    // The first draw of the history (sum 144) is counted among the draws of its value.
    qint64 drawn = 0;
    for (const IndicatorShare &row : shares.rows)
        drawn += row.draws;
    EXPECT_EQ(drawn, 2921);
    EXPECT_GE(shares.drawsBetween(144, 144), 1);

    auto *chart = child<BarChart>(&sum, "chtfenbu");
    ASSERT_EQ(chart->seriesCount(), 2);
    EXPECT_EQ(chart->pointCount(), 162);
    EXPECT_DOUBLE_EQ(chart->value(0, 0), 100.0 / Choose(30, 7));
    EXPECT_TRUE(child<QPushButton>(&sum, "btnsong")->isEnabled());
    // The whole range at first: every ticket and every draw.
    EXPECT_EQ(child<QLabel>(&sum, "lblfanwei")->text(), QStringLiteral("投注号码100.00%，开奖号码100.00%"));
    grab(&sum, QStringLiteral("hei_fenbu"));

    // Selecting rows in the grid chooses the range from the smallest to the largest value.
    auto *grid = child<QTableView>(&sum, "tabfenbu");
    grid->selectionModel()->select(
        grid->model()->index(72, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->selectionModel()->select(
        grid->model()->index(82, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(child<QComboBox>(&sum, "comfenbu1")->currentText(), QStringLiteral("100"));
    EXPECT_EQ(child<QComboBox>(&sum, "comfenbu2")->currentText(), QStringLiteral("110"));

    // A new draw in the table takes effect at the next computation of a shown page.
    Tfrmpiandu deviation(context);
    deviation.resize(970, 512);
    deviation.showSharesPage();
    EXPECT_TRUE(child<QLabel>(&deviation, "lblfenbu")->text().contains(QStringLiteral("02 06 11 16 17 29 30")));
    EXPECT_EQ(deviation.shares()->ticketTotal, Choose(30, 7));
    grab(&deviation, QStringLiteral("piandu_fenbu"));

    Tfrmac ac(context);
    ac.resize(970, 512);
    ac.showSharesPage();
    grab(&ac, QStringLiteral("AC_fenbu"));
}

TEST_F(IndicatorSharesView, RangesTheFilterCannotTakeAreNotSent)
{
    openQlc();
    // Repeats go in the standard trend (the filter's 重码 row), not in the variant trend.
    Tfrmcongma repeats(context);
    repeats.showSharesPage();
    auto *send = child<QPushButton>(&repeats, "btnsong");
    EXPECT_TRUE(send->isEnabled()) << send->toolTip().toStdString();
    repeats.resize(970, 512);
    grab(&repeats, QStringLiteral("congma_fenbu"));

    // The views count big numbers above N div 2, the filter from N div 2 on.
    Tfrmdaxiao big(context);
    big.showSharesPage();
    EXPECT_FALSE(child<QPushButton>(&big, "btnsong")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(&big, "btnsong")->toolTip().contains(QStringLiteral("大于等于15")));

    // The filter itself refuses what it has no list value for, and changes nothing.
    Tfrmtotalfilt filter(context);
    EXPECT_THROW(filter.presetRange(Indicator::Repeat, 0, 8), InputError);
    EXPECT_FALSE(child<QCheckBox>(&filter, "chkchonghao")->isChecked());
    try {
        filter.presetRange(Indicator::Sum, 20, 100);
        ADD_FAILURE() << "a sum of 20 is no list value of 30选7";
    } catch (const InputError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("和值的范围20到100超出了可选的数值28到189！"));
    }
    EXPECT_FALSE(child<QCheckBox>(&filter, "chkhei")->isChecked());
    EXPECT_EQ(child<QComboBox>(&filter, "comhei1")->currentIndex(), -1);
}

TEST_F(IndicatorSharesView, SendingARangeSwitchesOnTheFilterConditionWithIt)
{
    openQlc();
    Tfrmmain main(context);
    main.ShowOpenedLottery();
    main.tabmain()->setCurrentIndex(5); // 号码散度分析
    auto *dispersion = qobject_cast<IndicatorWindow *>(main.currentView());
    ASSERT_NE(dispersion, nullptr);
    ASSERT_EQ(dispersion->indicator(), Indicator::Dispersion);
    dispersion->showSharesPage();
    dispersion->setSendRange(4, 6);
    child<QPushButton>(dispersion, "btnsong")->click();
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << dialogs::testing::LastMessage().toStdString();

    auto *filter = main.registry().find<Tfrmtotalfilt>(QStringLiteral("Tfrmtotalfilt"));
    ASSERT_NE(filter, nullptr);
    EXPECT_TRUE(filter->isVisible());
    EXPECT_TRUE(child<QCheckBox>(filter, "chksandu")->isChecked());
    EXPECT_EQ(child<QComboBox>(filter, "comsandu1")->currentText(), QStringLiteral("4"));
    EXPECT_EQ(child<QComboBox>(filter, "comsandu2")->currentText(), QStringLiteral("6"));
    EXPECT_FALSE(child<QCheckBox>(filter, "chkhei")->isChecked());
    // What the filter keeps is what the view counted for the range.
    EXPECT_EQ(filterKeeps(&TotalFilterConditions::dispersion, {4, 6}), dispersion->shares()->ticketsBetween(4, 6));

    // A second range, from the other end, reaches the window that is already open.
    main.tabmain()->setCurrentIndex(6); // 号码偏度分析
    auto *deviation = qobject_cast<IndicatorWindow *>(main.currentView());
    ASSERT_NE(deviation, nullptr);
    deviation->showSharesPage();
    deviation->setSendRange(9, 2);
    child<QPushButton>(deviation, "btnsong")->click();
    EXPECT_EQ(main.registry().find<Tfrmtotalfilt>(QStringLiteral("Tfrmtotalfilt")), filter);
    EXPECT_TRUE(child<QCheckBox>(filter, "chkpiandu")->isChecked());
    EXPECT_EQ(child<QComboBox>(filter, "compiandu1")->currentText(), QStringLiteral("2"));
    EXPECT_EQ(child<QComboBox>(filter, "compiandu2")->currentText(), QStringLiteral("9"));
    EXPECT_TRUE(child<QCheckBox>(filter, "chksandu")->isChecked());
    EXPECT_EQ(filterKeeps(&TotalFilterConditions::deviation, {2, 9}), deviation->shares()->ticketsBetween(2, 9));

    // Repeats fill the 重码 row of the newer conditions.
    Tfrmcongma repeats(context);
    repeats.showSharesPage();
    repeats.setSendRange(1, 2);
    child<QPushButton>(&repeats, "btnsong")->click();
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << dialogs::testing::LastMessage().toStdString();
    EXPECT_TRUE(child<QCheckBox>(filter, "chkchonghao")->isChecked());
    EXPECT_EQ(child<QLineEdit>(filter, "edtchonghao")->text(), QStringLiteral("1-2"));
    EXPECT_EQ(filterKeeps(&TotalFilterConditions::repeat, {1, 2}), repeats.shares()->ticketsBetween(1, 2));
}

TEST_F(IndicatorSharesView, TheVariantTrendSendsVariantValuesAndRefusesTheDeviationAndRepeats)
{
    openQlc();
    RandomSource random(3);
    lottery.variantMode = true;
    BuildVariantTrend(lottery, random);
    Tfrmhei sum(context);
    sum.showSharesPage();
    // The variant values of all tickets are again every 7 of 1..30.
    EXPECT_EQ(sum.shares()->ticketTotal, Choose(30, 7));
    EXPECT_EQ(sum.shares()->rows.front().value, 28);
    EXPECT_TRUE(child<QPushButton>(&sum, "btnsong")->isEnabled());
    // The filter sums the variant values of a ticket: the range keeps the tickets counted.
    EXPECT_EQ(filterKeeps(&TotalFilterConditions::sum, {90, 120}), sum.shares()->ticketsBetween(90, 120));

    Tfrmsandu dispersion(context);
    dispersion.showSharesPage();
    EXPECT_EQ(filterKeeps(&TotalFilterConditions::dispersion, {3, 5}), dispersion.shares()->ticketsBetween(3, 5));

    Tfrmpiandu deviation(context);
    deviation.showSharesPage();
    auto *send = child<QPushButton>(&deviation, "btnsong");
    EXPECT_FALSE(send->isEnabled());
    EXPECT_TRUE(send->toolTip().contains(QStringLiteral("变幻走势"))) << send->toolTip().toStdString();

    // So are the repeats, which the filter counts against the latest draw as drawn.
    Tfrmcongma repeats(context);
    repeats.showSharesPage();
    auto *sendRepeats = child<QPushButton>(&repeats, "btnsong");
    EXPECT_FALSE(sendRepeats->isEnabled());
    EXPECT_TRUE(sendRepeats->toolTip().contains(QStringLiteral("重码"))) << sendRepeats->toolTip().toStdString();
}

TEST_F(IndicatorSharesView, DigitLotteriesCountEveryTupleAndSendNothing)
{
    const QString name = QStringLiteral("福彩3D");
    ImportDrawFile(home.store(), name, test::HistoryFile(QStringLiteral("fc3d.csv")));
    lottery.open(home.store(), name);
    Tfrmhei sum(context);
    sum.showSharesPage();
    ASSERT_TRUE(sum.shares().has_value());
    EXPECT_EQ(sum.shares()->ticketTotal, 1000);
    EXPECT_EQ(sum.shares()->rows.front().value, 0);
    EXPECT_EQ(sum.shares()->rows.back().value, 27);
    EXPECT_FALSE(child<QPushButton>(&sum, "btnsong")->isEnabled());
}

TEST_F(IndicatorSharesView, LongCountsRunOnAWorkerAndCanBeStopped)
{
    // Seven digits: ten million tuples, counted by IndicatorValue one by one.
    LotteryDefinition definition;
    definition.name = QStringLiteral("七位数字");
    definition.kind = LotteryKind::Digit;
    definition.n = 10;
    definition.m = 7;
    definition.weekdays = QStringLiteral("1");
    home.store().createLottery(definition);
    home.store().appendDraws(definition.name,
        {{QStringLiteral("2020001"), {1, 2, 3, 4, 5, 6, 7}, QStringLiteral("2020-01-01")},
            {QStringLiteral("2020002"), {0, 0, 9, 9, 4, 4, 2}, QStringLiteral("2020-01-02")}});
    lottery.open(home.store(), definition.name);

    Tfrmac ac(context);
    ac.resize(970, 512);
    ac.show();
    ac.showSharesPage();
    ASSERT_TRUE(ac.isCounting());
    auto *count = child<QPushButton>(&ac, "btnfenbu");
    EXPECT_EQ(count->text(), QStringLiteral("停止"));
    EXPECT_FALSE(child<QPushButton>(&ac, "btntongji")->isEnabled());
    ac.waitUntilCounted();
    QApplication::processEvents();
    ASSERT_TRUE(ac.shares().has_value());
    EXPECT_EQ(ac.shares()->ticketTotal, 10'000'000);
    EXPECT_EQ(ac.shares()->drawTotal, 2);
    EXPECT_EQ(count->text(), QStringLiteral("统计分布"));
    EXPECT_TRUE(child<QPushButton>(&ac, "btntongji")->isEnabled());
    // A digit lottery has no total filter.
    EXPECT_FALSE(child<QPushButton>(&ac, "btnsong")->isEnabled());

    // 停止 ends the count; the page says so and counts afresh on the next press.
    count->click();
    ASSERT_TRUE(ac.isCounting());
    count->click();
    ac.waitUntilCounted();
    QApplication::processEvents();
    EXPECT_FALSE(ac.shares().has_value());
    EXPECT_EQ(child<QLabel>(&ac, "lblfenbu")->text(), QStringLiteral("统计已停止。"));
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty());

    // 重新统计 while a count runs stops it first.
    count->click();
    ASSERT_TRUE(ac.isCounting());
    ac.Recompute();
    EXPECT_TRUE(ac.isCounting()); // counting again for the recomputed history, the page being shown
    ac.waitUntilCounted();
    QApplication::processEvents();
    EXPECT_EQ(ac.shares()->ticketTotal, 10'000'000);
}
