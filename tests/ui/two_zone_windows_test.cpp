#include "analysis/u_piantai.h"
#include "analysis/u_yilou.h"
#include "data/draw_import.h"
#include "pickers/radio_group.h"
#include "shell/bar_chart.h"
#include "shell/u_main.h"
#include "support/chart_texts.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"
#include "trend/trend_grid_model.h"
#include "trend/two_zone_game.h"
#include "trend/u_code.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QTableView>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

const QString kSsq = QStringLiteral("双色球");

class TwoZoneWindows : public test::WindowTest {
protected:
    // 双色球 with its real history, opened.
    void openSsq()
    {
        draws = test::SsqDraws();
        home.store().appendDraws(kSsq, draws);
        lottery.open(home.store(), kSsq);
    }

    static QString cell(QWidget *window, int row, int column)
    {
        QAbstractItemModel *model = window->findChild<QTableView *>(QStringLiteral("tabhistory"))->model();
        return model->data(model->index(row, column)).toString();
    }
    static int rows(QWidget *window)
    {
        return window->findChild<QTableView *>(QStringLiteral("tabhistory"))->model()->rowCount();
    }
    static void grab(QWidget *window, const QString &name)
    {
        test::Settle(window);
        test::Screenshot(window, name);
    }

    std::vector<DrawRow> draws;
};

} // namespace

TEST_F(TwoZoneWindows, MainWindowShowsTheBackZoneInTheTrendGrid)
{
    openSsq();
    ASSERT_EQ(draws.size(), 2513u);
    Tfrmmain window(context);
    window.resize(1280, 800);
    window.show();
    window.ShowOpenedLottery();
    auto *grid = qobject_cast<Tfrmcode *>(window.currentView());
    ASSERT_NE(grid, nullptr);
    TrendGridModel *model = grid->model();
    ASSERT_EQ(model->rowCount(), 2513);
    ASSERT_EQ(model->columnCount(), 33 + 4 + 16 + 1);
    // The newest draw, 2020003: 09 17 26 29 30 32 + 03.
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), QStringLiteral("2020003"));
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), QStringLiteral("09 17 26 29 30 32 + 03"));
    EXPECT_EQ(model->headerData(37, Qt::Horizontal).toString(), QStringLiteral("后01"));
    EXPECT_EQ(model->headerData(52, Qt::Horizontal).toString(), QStringLiteral("后16"));
    for (int c = 37; c <= 52; ++c)
        EXPECT_EQ(model->data(model->index(0, c)).toString().isEmpty(), c != 39) << c;

    // Every column shows on a 1280 pixels wide screen: the back block fits beside the front, and
    // the draw text is not cut.
    QApplication::processEvents();
    QTableView *view = grid->grid();
    int width = 0;
    for (int c = 0; c < model->columnCount(); ++c)
        width += view->columnWidth(c);
    EXPECT_LE(width, view->viewport()->width());
    EXPECT_GE(view->columnWidth(1), view->fontMetrics().horizontalAdvance(QStringLiteral("09 17 26 29 30 32 + 03")));
    EXPECT_GE(view->columnWidth(37), 18);
    EXPECT_GT(view->horizontalHeader()->height(), 24); // room for 后 above the number
    test::Screenshot(&window, QStringLiteral("main_ssq_trend"));

    // The variant trend relabels the front; the back block stays as drawn.
    window.tlbbianwanClick();
    EXPECT_EQ(model->columnCount(), 54);
    EXPECT_TRUE(model->data(model->index(0, 1)).toString().endsWith(QStringLiteral(" + 03")));
    EXPECT_FALSE(model->data(model->index(0, 39)).toString().isEmpty());
    test::Screenshot(&window, QStringLiteral("main_ssq_variant"));
    window.tlbbiaozhunClick();
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), QStringLiteral("09 17 26 29 30 32 + 03"));
    // At the main window's first size the grid scrolls sideways under the period column.
    window.resize(1024, 720);
    test::Screenshot(&window, QStringLiteral("main_ssq_trend_1024"));
}

TEST_F(TwoZoneWindows, OmissionWindowsChooseTheZone)
{
    openSsq();
    Tfrmyilou rebound(context);
    RadioGroup *zone = rebound.zoneChoice();
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone, rebound.findChild<RadioGroup *>(QStringLiteral("optqu")));
    ASSERT_EQ(zone->count(), 2);
    EXPECT_EQ(zone->button(0)->text(), QStringLiteral("前区"));
    EXPECT_EQ(zone->button(1)->text(), QStringLiteral("后区"));
    EXPECT_TRUE(zone->button(0)->isChecked());
    ASSERT_EQ(rows(&rebound), 33);
    EXPECT_EQ(cell(&rebound, 0, 1), QStringLiteral("5.5")); // 33 / 6
    grab(&rebound, QStringLiteral("yilou_ssq_front"));

    rebound.findChild<QRadioButton *>(QStringLiteral("optqu_1"))->click();
    EXPECT_EQ(rebound.zone(), OmissionZone::Back);
    ASSERT_EQ(rows(&rebound), 16);
    EXPECT_EQ(cell(&rebound, 15, 0), QStringLiteral("16"));
    EXPECT_EQ(cell(&rebound, 0, 1), QStringLiteral("16.0"));
    EXPECT_EQ(cell(&rebound, 0, 2), QStringLiteral("157.1"));
    auto *chart = rebound.findChild<BarChart *>(QStringLiteral("chthistory"));
    EXPECT_EQ(chart->pointCount(), 16);
    int hits = 0;
    for (int row = 0; row < 16; ++row)
        hits += cell(&rebound, row, 3).toInt();
    EXPECT_EQ(hits, 2513);
    // The sort buttons keep the zone.
    rebound.findChild<QAbstractButton *>(QStringLiteral("Button3"))->click();
    ASSERT_EQ(rows(&rebound), 16);
    for (int row = 1; row < 16; ++row)
        EXPECT_LE(cell(&rebound, row - 1, 3).toInt(), cell(&rebound, row, 3).toInt());
    grab(&rebound, QStringLiteral("yilou_ssq_back"));

    // The skew table has the same choice; its back zone's current omissions hold one 0, the
    // latest back number.
    Tfrmpiantai skew(context);
    ASSERT_NE(skew.zoneChoice(), nullptr);
    skew.zoneChoice()->setItemIndex(1);
    ASSERT_EQ(rows(&skew), 16);
    EXPECT_EQ(cell(&skew, 2, 5), QStringLiteral("0")); // 03
    int zeros = 0;
    for (int row = 0; row < 16; ++row)
        zeros += cell(&skew, row, 5) == QStringLiteral("0") ? 1 : 0;
    EXPECT_EQ(zeros, 1);
    grab(&skew, QStringLiteral("piantai_ssq_back"));
    skew.zoneChoice()->setItemIndex(0);
    EXPECT_EQ(rows(&skew), 33);
}

TEST_F(TwoZoneWindows, OneZoneOmissionWindowsHaveNoZoneChoice)
{
    ImportDraws(home.store(), QStringLiteral("中国福彩七乐彩"), "2020001 02 06 11 16 17 29 30\n");
    lottery.open(home.store(), QStringLiteral("中国福彩七乐彩"));
    Tfrmyilou rebound(context);
    EXPECT_EQ(rebound.zoneChoice(), nullptr);
    EXPECT_EQ(rebound.findChild<QWidget *>(QStringLiteral("optqu")), nullptr);
    EXPECT_EQ(rebound.zone(), OmissionZone::Front);
    EXPECT_EQ(rows(&rebound), 30);
}
