#include "analysis/u_AC.h"
#include "analysis/u_congma.h"
#include "analysis/u_daxiao.h"
#include "analysis/u_hei.h"
#include "analysis/u_jiou.h"
#include "analysis/u_kuadu.h"
#include "analysis/u_piandu.h"
#include "analysis/u_piantai.h"
#include "analysis/u_qujian.h"
#include "analysis/u_sandu.h"
#include "analysis/u_yilou.h"
#include "data/draw_import.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "support/chart_texts.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"
#include "trend/variant_trend.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QLegend>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace lumaro;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");

// A program folder with the real 七乐彩 history (or none), opened.
class AnalysisWindows : public test::WindowTest {
protected:
    void openQlc(bool withHistory = true)
    {
        if (withHistory)
            ImportDrawFile(home.store(), kQlc, test::HistoryFile(QStringLiteral("qlc.csv")));
        openLottery(kQlc);
    }
    void open3d()
    {
        const QString name = QStringLiteral("福彩3D");
        ImportDrawFile(home.store(), name, test::HistoryFile(QStringLiteral("fc3d.csv")));
        openLottery(name);
    }
    void openLottery(const QString &name) { lottery.open(home.store(), name); }

    template<class T>
    static T *child(QWidget *window, const char *name)
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QAbstractItemModel *gridModel(QWidget *window) { return child<QTableView>(window, "tabhistory")->model(); }
    static QString cell(QWidget *window, int row, int column)
    {
        QAbstractItemModel *model = gridModel(window);
        return model->data(model->index(row, column)).toString();
    }
    static QString header(QWidget *window, int column)
    {
        return gridModel(window)->headerData(column, Qt::Horizontal).toString();
    }
    static void click(QWidget *window, const char *name) { child<QAbstractButton>(window, name)->click(); }

    static void grab(QWidget *window, const QString &name)
    {
        Settle(window);
        test::Screenshot(window, name);
    }
    // Shown and laid out, the charts' texts placed for their size.
    static void Settle(QWidget *window) { test::Settle(window); }
};

struct ViewCase {
    const char *file;
    std::function<IndicatorWindow *(AppContext &)> create;
    const char *caption;
    const char *column;
    const char *firstValue; // 2007001: 04 14 19 22 26 29 30, N = 30
};

} // namespace

TEST_F(AnalysisWindows, EachIndicatorViewShowsTheHistoryChartAndSummary)
{
    openQlc();
    const ViewCase cases[] = {
        {"daxiao", [](AppContext &c) { return new Tfrmdaxiao(c); }, "大小分析", "大数个数", "5"},
        {"jiou", [](AppContext &c) { return new Tfrmjiou(c); }, "奇数分析", "奇数个数", "2"},
        {"hei", [](AppContext &c) { return new Tfrmhei(c); }, "和值分析", "和值", "144"},
        {"kuadu", [](AppContext &c) { return new Tfrmkuadu(c); }, "跨度分析", "跨度", "26"},
        {"sandu", [](AppContext &c) { return new Tfrmsandu(c); }, "散度分析", "散度", "5"},
        {"piandu", [](AppContext &c) { return new Tfrmpiandu(c); }, "偏度分析", "偏度", "12"},
        {"AC", [](AppContext &c) { return new Tfrmac(c); }, "AC值分析", "AC值", "15"},
        {"congma", [](AppContext &c) { return new Tfrmcongma(c); }, "重码分析", "重码个数", "0"},
    };
    for (const ViewCase &v : cases) {
        SCOPED_TRACE(v.file);
        std::unique_ptr<IndicatorWindow> window(v.create(context));
        window->resize(970, 512);
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(v.caption));
        EXPECT_EQ(gridModel(window.get())->rowCount(), 2921);
        EXPECT_EQ(header(window.get(), 0), QStringLiteral("记录期号"));
        EXPECT_EQ(header(window.get(), 2), QString::fromUtf8(v.column));
        EXPECT_EQ(cell(window.get(), 0, 0), QStringLiteral("2007001"));
        EXPECT_EQ(cell(window.get(), 0, 1), QStringLiteral("04 14 19 22 26 29 30 "));
        EXPECT_EQ(cell(window.get(), 0, 2), QString::fromUtf8(v.firstValue));

        auto *chart = child<BarChart>(window.get(), "chthistory");
        EXPECT_EQ(chart->pointCount(), 3);
        EXPECT_EQ(chart->labels().back(), QStringLiteral("2026041"));
        EXPECT_EQ(chart->chart()->title(), QStringLiteral("最近各期开奖号码") + QString::fromUtf8(v.column));
        const QStringList memo = child<QPlainTextEdit>(window.get(), "mem")->toPlainText().split(QLatin1Char('\n'));
        ASSERT_GE(memo.size(), 5);
        EXPECT_TRUE(memo[3].startsWith(QStringLiteral("最近3期"))) << memo[3].toStdString();
        // The recent total is the sum of the last three shown values.
        double last3 = 0;
        for (int row = 2918; row < 2921; ++row)
            last3 += cell(window.get(), row, 2).toInt();
        EXPECT_TRUE(memo[3].endsWith(QString::asprintf("%.1f", last3))) << memo[3].toStdString();

        // The marks switch only redraws the chart; "全部期" takes effect at "重新统计".
        EXPECT_FALSE(chart->marksVisible());
        click(window.get(), "chkhistorybiao");
        EXPECT_TRUE(chart->marksVisible());
        EXPECT_EQ(memo, child<QPlainTextEdit>(window.get(), "mem")->toPlainText().split(QLatin1Char('\n')));
        grab(window.get(), QString::fromLatin1(v.file));
        click(window.get(), "chkhistorybiao");
        auto *recent = child<QComboBox>(window.get(), "comzuijingqishu");
        EXPECT_EQ(recent->count(), 2922);
        EXPECT_EQ(recent->currentText(), QStringLiteral("3"));
        recent->setCurrentIndex(0);
        EXPECT_EQ(chart->pointCount(), 3);
        click(window.get(), "btntongji");
        EXPECT_EQ(chart->pointCount(), 2921);
        EXPECT_TRUE(child<QPlainTextEdit>(window.get(), "mem")->toPlainText().contains(QStringLiteral("最近2921期")));
    }
}

TEST_F(AnalysisWindows, ChartTextsStayApartAndInsideThePlot)
{
    openQlc();
    Tfrmhei sum(context);
    auto *recent = child<QComboBox>(&sum, "comzuijingqishu");
    auto *marks = child<QCheckBox>(&sum, "chkhistorybiao");
    auto *chart = child<BarChart>(&sum, "chthistory");
    struct Case {
        QSize size;
        int item; // of the K list; 0 is 全部期
        bool marks;
        const char *name;
    };
    const Case cases[] = {
        {{970, 512}, 30, true, "hei_30"},
        {{970, 512}, 100, false, "hei_100"},
        {{1280, 720}, 60, true, "hei_60_wide"},
        {{1280, 720}, 100, false, "hei_100_wide"},
        {{1280, 720}, 0, false, "hei_all_wide"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sum.resize(c.size);
        recent->setCurrentIndex(c.item);
        marks->setChecked(c.marks);
        click(&sum, "btntongji");
        grab(&sum, QString::fromLatin1(c.name));
        const test::ChartTexts texts = test::ChartTextsOf(chart);
        EXPECT_GE(texts.labels.size(), 3u);
        test::ExpectApart(texts.labels, "period labels");
        EXPECT_EQ(texts.marks.size(), c.marks ? std::size_t(chart->pointCount()) : 0u);
        test::ExpectApart(texts.marks, "value marks");
        test::ExpectMarksInside(texts);
    }
}

TEST_F(AnalysisWindows, SummaryShowsEveryLineAtTheDefaultSize)
{
    openQlc();
    // The repeat window advises on the last draw's repeats: 0 of them are far below the
    // theoretical count, which gives the summary its sixth line.
    Tfrmcongma repeats(context);
    repeats.resize(970, 512);
    child<QComboBox>(&repeats, "comzuijingqishu")->setCurrentIndex(1);
    click(&repeats, "btntongji");
    Settle(&repeats);
    auto *memo = child<QPlainTextEdit>(&repeats, "mem");
    ASSERT_EQ(memo->blockCount(), 6) << memo->toPlainText().toStdString();
    grab(&repeats, QStringLiteral("congma_advice"));
    QTextCursor end(memo->document());
    end.movePosition(QTextCursor::End);
    EXPECT_LE(memo->cursorRect(end).bottom(), memo->viewport()->height());
    EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0);
}

TEST_F(AnalysisWindows, ViewsFollowTheTrendSwitch)
{
    openQlc();
    Tfrmhei sum(context);
    Tfrmqujian zones(context);
    const QString standard = cell(&sum, 2920, 1);
    EXPECT_EQ(standard, QStringLiteral("02 06 11 16 17 29 30 "));

    RandomSource random(3);
    lottery.variantMode = true;
    BuildVariantTrend(lottery, random);
    // The main window refreshes the active view by name.
    ASSERT_TRUE(QMetaObject::invokeMethod(&sum, "Recompute"));
    ASSERT_TRUE(QMetaObject::invokeMethod(&sum, "RefreshChart"));
    ASSERT_TRUE(QMetaObject::invokeMethod(&zones, "Recompute"));
    const DrawTable &variant = lottery.variantDrawTable;
    const QString expected = DrawNumbersText(variant.numbers(2920), 7);
    EXPECT_EQ(cell(&sum, 2920, 1), expected);
    EXPECT_EQ(cell(&zones, 2920, 1), expected);
    EXPECT_EQ(cell(&sum, 2920, 2), QString::number(SumValue(variant.numbers(2920), 7)));
    EXPECT_EQ(child<BarChart>(&sum, "chthistory")->value(0, 2), SumValue(variant.numbers(2920), 7));

    // A new view starts on the table of the current trend.
    Tfrmpiandu deviation(context);
    EXPECT_EQ(cell(&deviation, 2920, 1), expected);
    lottery.variantMode = false;
    sum.Recompute();
    EXPECT_EQ(cell(&sum, 2920, 1), standard);
}

TEST_F(AnalysisWindows, ZoneViewHeadersSeriesAndZoneChoice)
{
    openQlc();
    Tfrmqujian window(context);
    window.resize(1213, 512);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("区间分析"));
    EXPECT_EQ(child<QComboBox>(&window, "comqujian")->currentText(), QStringLiteral("7"));
    ASSERT_EQ(gridModel(&window)->columnCount(), 9);
    EXPECT_EQ(header(&window, 2), QStringLiteral("01-05号码总数"));
    EXPECT_EQ(header(&window, 7), QStringLiteral("26-30号码总数"));
    EXPECT_EQ(header(&window, 8), QStringLiteral("31-30号码总数"));
    EXPECT_EQ(cell(&window, 0, 2), QStringLiteral("1")); // 04
    EXPECT_EQ(cell(&window, 0, 8), QStringLiteral("0"));

    auto *chart = child<BarChart>(&window, "chthistory");
    EXPECT_EQ(chart->seriesCount(), 7);
    EXPECT_TRUE(chart->isSeriesVisible(0));
    for (int s = 1; s < 7; ++s)
        EXPECT_FALSE(chart->isSeriesVisible(s));
    EXPECT_EQ(chart->pointCount(), 3);
    click(&window, "chkqu3");
    EXPECT_TRUE(chart->isSeriesVisible(2));
    click(&window, "chkqu1");
    click(&window, "chkqu3");
    for (int s = 0; s < 7; ++s)
        EXPECT_FALSE(chart->isSeriesVisible(s)); // an empty chart
    click(&window, "chkqu1");
    click(&window, "chkqu7");
    grab(&window, QStringLiteral("qujian"));

    // Every zone's bars and legend swatch stand out from the white legend, white ones too.
    for (int zone = 2; zone <= 7; ++zone)
        child<QCheckBox>(&window, QStringLiteral("chkqu%1").arg(zone).toLatin1().constData())->setChecked(true);
    click(&window, "chkhistorybiao");
    click(&window, "chkhistorybiao");
    auto *series = qobject_cast<QBarSeries *>(chart->chart()->series().value(0));
    ASSERT_NE(series, nullptr);
    ASSERT_EQ(series->count(), 7);
    const QColor legend = chart->chart()->legend()->brush().style() == Qt::NoBrush
        ? chart->chart()->backgroundBrush().color()
        : chart->chart()->legend()->brush().color();
    for (QBarSet *set : series->barSets()) {
        const QColor outline = set->borderColor();
        const int contrast = std::max({std::abs(outline.red() - legend.red()),
            std::abs(outline.green() - legend.green()), std::abs(outline.blue() - legend.blue())});
        EXPECT_GE(contrast, 60) << set->label().toStdString();
    }
    grab(&window, QStringLiteral("qujian_all_zones"));
    // Thirty draws of seven zones with their marks at the window's size.
    child<QComboBox>(&window, "comzuijingqishu")->setCurrentIndex(30);
    click(&window, "btntongji");
    click(&window, "chkhistorybiao");
    grab(&window, QStringLiteral("qujian_30_marks"));
    test::ExpectApart(test::ChartTextsOf(chart).labels, "period labels");
    click(&window, "chkhistorybiao");
    child<QComboBox>(&window, "comzuijingqishu")->setCurrentIndex(3);
    click(&window, "btntongji");
    for (int zone = 2; zone <= 7; ++zone)
        child<QCheckBox>(&window, QStringLiteral("chkqu%1").arg(zone).toLatin1().constData())->setChecked(zone == 7);
    click(&window, "chkhistorybiao");
    click(&window, "chkhistorybiao");

    // The zone choice takes effect at "开始统计"; until then the chart keeps seven zones.
    child<QComboBox>(&window, "comqujian")->setCurrentIndex(0);
    click(&window, "chkhistorybiao");
    EXPECT_TRUE(chart->isSeriesVisible(6));
    EXPECT_EQ(gridModel(&window)->columnCount(), 9);
    click(&window, "btntongji");
    ASSERT_EQ(gridModel(&window)->columnCount(), 3);
    EXPECT_EQ(header(&window, 2), QStringLiteral("01-30号码总数"));
    EXPECT_EQ(cell(&window, 1000, 2), QStringLiteral("7"));
    EXPECT_FALSE(chart->isSeriesVisible(6));
    EXPECT_EQ(chart->value(0, 0), 7);
}

TEST_F(AnalysisWindows, ZoneViewCountsEveryDigitOfADigitLottery)
{
    open3d();
    Tfrmqujian window(context);
    window.resize(1213, 512);
    QAbstractItemModel *model = gridModel(&window);
    ASSERT_EQ(model->columnCount(), 5);
    EXPECT_EQ(header(&window, 2), QStringLiteral("00-04号码总数"));
    EXPECT_EQ(header(&window, 4), QStringLiteral("09-09号码总数"));
    const int rows = model->rowCount();
    ASSERT_EQ(rows, 8374);
    int withZero = 0;
    for (int row = 0; row < rows; ++row) {
        int total = 0;
        for (int column = 2; column < 5; ++column)
            total += cell(&window, row, column).toInt();
        ASSERT_EQ(total, 3) << cell(&window, row, 1).toStdString();
        withZero += cell(&window, row, 1).contains(QStringLiteral("00 ")) ? 1 : 0;
    }
    EXPECT_GT(withZero, 2000);
    grab(&window, QStringLiteral("qujian_3d"));

    // With one zone every count is M.
    child<QComboBox>(&window, "comqujian")->setCurrentIndex(0);
    click(&window, "btntongji");
    ASSERT_EQ(model->columnCount(), 3);
    EXPECT_EQ(header(&window, 2), QStringLiteral("00-09号码总数"));
    for (int row = 0; row < rows; ++row)
        ASSERT_EQ(cell(&window, row, 2), QStringLiteral("3")) << row;
}

TEST_F(AnalysisWindows, OmissionAndSkewTablesSortAndChart)
{
    openQlc();
    Tfrmyilou rebound(context);
    EXPECT_TRUE(rebound.windowFlags() & Qt::Tool);
    EXPECT_EQ(rebound.windowTitle(), QStringLiteral("中奖回补分析选号"));
    ASSERT_EQ(gridModel(&rebound)->rowCount(), 30);
    EXPECT_EQ(header(&rebound, 5), QStringLiteral("前次遗漏"));
    EXPECT_EQ(cell(&rebound, 0, 0), QStringLiteral("01"));
    EXPECT_EQ(cell(&rebound, 0, 1), QStringLiteral("4.3"));
    EXPECT_EQ(cell(&rebound, 0, 2), QStringLiteral("681.6")); // 2921 × 7 / 30
    EXPECT_EQ(child<QPushButton>(&rebound, "Button2")->text(), QStringLiteral("前次遗漏排序"));

    click(&rebound, "Button3");
    for (int row = 1; row < 30; ++row)
        EXPECT_LE(cell(&rebound, row - 1, 3).toInt(), cell(&rebound, row, 3).toInt());
    auto *chart = child<BarChart>(&rebound, "chthistory");
    EXPECT_EQ(chart->pointCount(), 30);
    EXPECT_EQ(chart->labels().front(), cell(&rebound, 0, 0));
    EXPECT_EQ(chart->value(2, 0), cell(&rebound, 0, 3).toInt());
    click(&rebound, "btnala");
    for (int row = 0; row < 30; ++row)
        EXPECT_EQ(cell(&rebound, row, 0), QString::asprintf("%.2d", row + 1));
    click(&rebound, "chk2");
    EXPECT_FALSE(chart->isSeriesVisible(2));
    EXPECT_TRUE(chart->isSeriesVisible(0));
    grab(&rebound, QStringLiteral("yilou"));

    Tfrmpiantai skew(context);
    EXPECT_EQ(skew.windowTitle(), QStringLiteral("中奖偏态分析选号"));
    EXPECT_EQ(header(&skew, 5), QStringLiteral("目前遗漏"));
    EXPECT_EQ(child<QCheckBox>(&skew, "chk1")->text(), QStringLiteral("目前遗漏"));
    // The latest draw 02 06 11 16 17 29 30: those numbers have no current omission.
    EXPECT_EQ(cell(&skew, 1, 5), QStringLiteral("0"));
    EXPECT_EQ(cell(&skew, 1, 7), QStringLiteral("0%"));
    click(&skew, "Button2");
    for (int row = 1; row < 30; ++row)
        EXPECT_GE(cell(&skew, row - 1, 5).toInt(), cell(&skew, row, 5).toInt());
    EXPECT_EQ(cell(&skew, 29, 5), QStringLiteral("0"));
    grab(&skew, QStringLiteral("piantai"));
    click(&skew, "Button4");
    EXPECT_FALSE(skew.isVisible());
}

TEST_F(AnalysisWindows, WindowsOpenOnAnEmptyHistory)
{
    openQlc(false);
    Tfrmsandu dispersion(context);
    EXPECT_EQ(gridModel(&dispersion)->rowCount(), 0);
    EXPECT_EQ(child<QComboBox>(&dispersion, "comzuijingqishu")->count(), 1);
    EXPECT_TRUE(
        child<QPlainTextEdit>(&dispersion, "mem")->toPlainText().endsWith(QStringLiteral("没有开奖数据，无法统计。")));
    click(&dispersion, "btntongji");
    EXPECT_EQ(child<BarChart>(&dispersion, "chthistory")->pointCount(), 0);

    Tfrmqujian zones(context);
    click(&zones, "btntongji");
    EXPECT_EQ(gridModel(&zones)->rowCount(), 0);

    Tfrmpiantai skew(context);
    ASSERT_EQ(gridModel(&skew)->rowCount(), 30);
    EXPECT_EQ(cell(&skew, 0, 3), QStringLiteral("0"));
    EXPECT_EQ(cell(&skew, 0, 7), QStringLiteral("0%"));
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty());
}
