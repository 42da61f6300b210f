#include "common/errors.h"
#include "shell/bar_chart.h"
#include "shell/busy_cursor.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/table_model.h"
#include "shell/window_registry.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <tuple>

using namespace lumaro;

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogs::testing::SetEnabled(true);
        dialogs::testing::Clear();
    }
    void TearDown() override { dialogs::testing::Clear(); }
};

class ToolA : public QWidget {
    Q_OBJECT
};
class ToolB : public QWidget {
    Q_OBJECT
};

} // namespace

TEST_F(DialogTest, GuardShowsTheErrorTextAndKeepsGoing)
{
    EXPECT_TRUE(Guarded(nullptr, [] {}));
    EXPECT_FALSE(Guarded(nullptr, [] { ToInteger(QStringLiteral("abc")); }));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("'abc' 不是一个有效的整形值"));
    EXPECT_FALSE(Guarded(nullptr, [] { throw std::bad_alloc(); }));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("内存不足，操作已取消。"));
    EXPECT_FALSE(Guarded(nullptr, [] { throw 42; }));
    EXPECT_EQ(dialogs::testing::Messages().size(), 3);
    EXPECT_EQ(dialogs::testing::Messages().front().kind, QStringLiteral("error"));
}

TEST_F(DialogTest, TheHourglassGoesWithTheWorkEvenWhenItFails)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Guarded(nullptr, [] {
        const BusyCursor busy;
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ToInteger(QStringLiteral("abc"));
    }));
    // The error is shown with the normal cursor, and nothing is left behind.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // A cursor the caller set before stays set.
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    EXPECT_FALSE(Guarded(nullptr, [] {
        const BusyCursor busy;
        throw std::bad_alloc();
    }));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
}

TEST_F(DialogTest, QueuedAnswersAndFilters)
{
    EXPECT_EQ(dialogs::QtFilter(QStringLiteral("文本文件(*.txt)|*.txt")), QStringLiteral("文本文件(*.txt)"));
    EXPECT_EQ(dialogs::QtFilter(QStringLiteral("数据库(*.db)|*.db|全部|*")), QStringLiteral("数据库(*.db);;全部(*)"));
    dialogs::testing::QueueFile(QStringLiteral("/tmp/x"));
    EXPECT_EQ(dialogs::SaveFile(nullptr, {}, {}, {}, {}, QStringLiteral("txt")), QStringLiteral("/tmp/x.txt"));
    EXPECT_TRUE(dialogs::OpenFile(nullptr, {}, {}, {}).isEmpty()); // nothing queued: cancelled
    dialogs::testing::QueueAnswer(false);
    EXPECT_FALSE(dialogs::Question(nullptr, QStringLiteral("警告"), QStringLiteral("删除？")));
    EXPECT_TRUE(dialogs::Question(nullptr, QStringLiteral("警告"), QStringLiteral("删除？")));
}

TEST(WindowRegistry, CreatesOncePerKeyAndForgetsOnCloseAll)
{
    WindowRegistry registry;
    int created = 0;
    auto makeA = [&] {
        ++created;
        return new ToolA;
    };
    QWidget *a = registry.show(QStringLiteral("ToolA"), makeA);
    EXPECT_EQ(registry.show(QStringLiteral("ToolA"), makeA), a);
    registry.ensure(QStringLiteral("ToolB"), [] { return new ToolB; });
    EXPECT_EQ(created, 1);
    EXPECT_EQ(registry.count(), 2);
    EXPECT_NE(registry.find<ToolB>(QStringLiteral("ToolB")), nullptr);
    EXPECT_EQ(registry.find<ToolA>(QStringLiteral("ToolB")), nullptr);
    registry.closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(registry.find(QStringLiteral("ToolA")), nullptr);
    EXPECT_NE(registry.show(QStringLiteral("ToolA"), makeA), nullptr);
    EXPECT_EQ(created, 2);
    registry.closeAll();
}

TEST(FunctionTableModel, ServesComputedCells)
{
    FunctionTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setHeaders({QStringLiteral("记录期号"), QStringLiteral("和值")});
    model.setContent(
        20000, [](int row, int column) { return column == 0 ? QVariant(2000000 + row) : QVariant(row % 7); });
    EXPECT_EQ(model.rowCount(), 20000);
    EXPECT_EQ(model.data(model.index(19999, 0)).toInt(), 2019999);
    EXPECT_EQ(model.data(model.index(8, 1), FunctionTableModel::RawValueRole).toInt(), 1);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("和值"));
}

TEST(BarChart, LongSeriesGetSparseLabelsAndSeriesCanHide)
{
    BarChart chart;
    chart.resize(800, 300);
    chart.addSeries(QStringLiteral("和值"), Qt::red);
    chart.addSeries(QStringLiteral("理论"), Qt::blue);
    QStringList labels;
    std::vector<std::vector<double>> values(2);
    for (int i = 0; i < 20000; ++i) {
        labels << QString::number(2000000 + i);
        values[0].push_back(i % 50);
        values[1].push_back(25);
    }
    chart.setPoints(labels, values);
    EXPECT_EQ(chart.pointCount(), 20000);
    auto *axis = qobject_cast<QCategoryAxis *>(chart.chart()->axes(Qt::Horizontal).front());
    ASSERT_NE(axis, nullptr);
    EXPECT_LE(axis->count(), 24);
    chart.setSeriesVisible(1, false);
    EXPECT_FALSE(chart.isSeriesVisible(1));
    chart.setSeriesVisible(1, true);
    EXPECT_EQ(chart.value(1, 100), 25);
    chart.setPoints({QStringLiteral("1"), QStringLiteral("1")}, std::vector<double> {3, 4}); // repeated labels are fine
    EXPECT_EQ(chart.value(0, 1), 4);
    EXPECT_EQ(chart.value(1, 1), 0);
    chart.setMarksVisible(true);
    EXPECT_TRUE(chart.marksVisible());
    chart.clearPoints();
    EXPECT_EQ(chart.pointCount(), 0);
}

TEST(BarChart, AZoomableChartShowsTheLatestBarsThatFitAndZoomsAroundThePointer)
{
    BarChart chart;
    chart.resize(940, 260);
    chart.addSeries(QStringLiteral("中奖个数"), Qt::red);
    const int mean = chart.addLine(QStringLiteral("近50期平均"), Qt::black);
    chart.setZoomable(true);
    std::vector<std::tuple<int, int, int>> views;
    QObject::connect(&chart, &BarChart::viewChanged,
        [&](int first, int count, int total) { views.emplace_back(first, count, total); });
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    QStringList labels;
    std::vector<double> values;
    for (int i = 0; i < 2900; ++i) {
        labels << QString::number(2007001 + i);
        values.push_back(i % 7);
    }
    chart.setPoints(labels, values);
    chart.setLineValues(mean, std::vector<double>(2851, 3.0), 49);
    chart.setMarksVisible(true);
    QCoreApplication::processEvents();

    // The latest bars at three pixels or more each, not 2900 bars in 900 pixels.
    const int shown = chart.viewCount();
    EXPECT_LE(shown, static_cast<int>(chart.chart()->plotArea().width() / 3) + 1);
    EXPECT_GE(shown, 200);
    EXPECT_EQ(chart.viewFirst() + shown, 2900);
    ASSERT_FALSE(views.empty());
    EXPECT_EQ(views.back(), std::make_tuple(2900 - shown, shown, 2900));
    // Upright marks would run together at three pixels a bar: none until zoomed in.
    EXPECT_TRUE(chart.marksVisible());
    EXPECT_FALSE(chart.marksShown());
    EXPECT_EQ(chart.linePoints(mean).size(), 2851);
    EXPECT_EQ(chart.linePoints(mean).front(), QPointF(49, 3));

    // A notch of the wheel over the middle of the plot shows fewer bars around the same place.
    const QRectF plot = chart.chart()->plotArea();
    const QPointF middle = chart.mapFromScene(chart.chart()->mapToScene(plot.center()));
    const double centre = chart.viewFirst() + shown / 2.0;
    QWheelEvent in(middle, chart.mapToGlobal(middle.toPoint()), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart.viewport(), &in);
    QCoreApplication::processEvents();
    EXPECT_NEAR(chart.viewCount(), shown / 1.5, 1);
    EXPECT_NEAR(chart.viewFirst() + chart.viewCount() / 2.0, centre, 2);

    // Zoomed in to a few dozen bars the marks fit again; the view never leaves the points.
    chart.setView(100, 30);
    QCoreApplication::processEvents();
    EXPECT_EQ(chart.viewFirst(), 100);
    EXPECT_EQ(chart.viewCount(), 30);
    EXPECT_TRUE(chart.marksShown());
    chart.setView(5000, 1);
    EXPECT_EQ(chart.viewCount(), 10);
    EXPECT_EQ(chart.viewFirst(), 2890);
    chart.setView(-20, 99999);
    EXPECT_EQ(chart.viewFirst(), 0);
    EXPECT_EQ(chart.viewCount(), 2900);

    // New points start again from the latest that fit; a short series shows whole.
    chart.setPoints(labels.mid(0, 40), std::vector<double>(40, 2.0));
    QCoreApplication::processEvents();
    EXPECT_EQ(chart.viewFirst(), 0);
    EXPECT_EQ(chart.viewCount(), 40);
    EXPECT_TRUE(chart.linePoints(mean).isEmpty());
}

#include "shell_infra_test.moc"
