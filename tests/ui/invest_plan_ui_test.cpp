#include "invest/u_gudingjihua.h"
#include "invest/u_jieduanjihua.h"
#include "invest/u_keibianjihua.h"
#include "invest_ui_support.h"
#include "support/pdf_text.h"
#include "support/screenshot.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace lumaro;

namespace {

using PlanWindowTest = test::InvestWindowTest;

int PdfPages(const QByteArray &pdf)
{
    return static_cast<int>(
        pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page>") + pdf.count("/Type /Page/"));
}

} // namespace

TEST_F(PlanWindowTest, FixedPlanGeneratesSavesLoadsAndPrints)
{
    Tfrmgudingjihua window(context, nullptr);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("固定计划投资"));
    EXPECT_TRUE(window.windowFlags() & Qt::Tool);

    click(&window, "btnprint"); // nothing generated yet
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请先生成表格！"));

    click(&window, "btnala");
    ASSERT_EQ(window.gridRows().size(), 80u);
    EXPECT_EQ(window.gridRows()[61][1], QStringLiteral("2"));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("平均每期净利润为:551"));

    const QString path = auxFile(QStringLiteral("plan.txt"));
    dialogs::testing::QueueFile(path);
    click(&window, "btnsave");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    EXPECT_EQ(test::ReadFile(path).count("\r\n"), 5 + 7 * 80);

    Tfrmgudingjihua loaded(context, nullptr);
    type(&loaded, "edtdays", QStringLiteral("3"));
    dialogs::testing::QueueFile(path);
    click(&loaded, "btnload");
    EXPECT_EQ(loaded.findChild<QLineEdit *>(QStringLiteral("edtdays"))->text(), QStringLiteral("80"));
    EXPECT_EQ(loaded.gridHeaders()[0], QStringLiteral("投注时间"));
    EXPECT_EQ(loaded.gridRows(), window.gridRows());
    EXPECT_EQ(loaded.planTable(), window.planTable());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("平均每期中奖金额为:551"));

    // Printing to a PDF goes through the same pages: 80 rows are four pages.
    const QString pdf = home.path(QStringLiteral("plan.pdf"));
    dialogs::testing::QueueChoice(1);
    dialogs::testing::QueueFile(pdf);
    click(&window, "btnprint");
    const QByteArray bytes = test::ReadFile(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(PdfPages(bytes), 4);
    // The PDF is the one the command line writes: its fonts travel with it.
    EXPECT_EQ(test::PdfEmbeddedFonts(bytes).size(), 2);
    const std::vector<QStringList> pages = test::PdfPageTexts(bytes);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("固定投资计划表")));
    EXPECT_TRUE(pages[3].contains(QStringLiteral("共4页\\第4页")));

    // The user chooses printer, PDF or cancel; cancelling writes nothing.
    const QString cancelled = home.path(QStringLiteral("cancelled.pdf"));
    dialogs::testing::Clear();
    dialogs::testing::QueueChoice(2);
    dialogs::testing::QueueFile(cancelled);
    click(&window, "btnprint");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请选择打印方式："));
    EXPECT_FALSE(QFileInfo::exists(cancelled));
}

TEST_F(PlanWindowTest, FixedPlanLoadReportsBadAndSurplusRows)
{
    const QByteArray head = "0\r\n10\r\n16\r\n1000\r\n2\r\n";
    const QByteArray row = "1\r\n1\r\n16\r\n16\r\n1000\r\n984\r\n6150\r\n";
    const QString path = auxFile(QStringLiteral("bad.txt"));
    test::WriteFile(path, head + row + "2\r\nx\r\n");
    Tfrmgudingjihua window(context, nullptr);
    dialogs::testing::QueueFile(path);
    click(&window, "btnload");
    QList<dialogs::testing::Message> messages = dialogs::testing::Messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].text, QStringLiteral("1")); // rows read before the bad one
    EXPECT_EQ(messages[1].text, QStringLiteral("平均每期中奖金额为:492")); // 984 over 2 periods
    ASSERT_EQ(window.gridRows().size(), 2u);
    EXPECT_TRUE(window.gridRows()[1].isEmpty());

    dialogs::testing::Clear();
    test::WriteFile(path, head + row + row + row);
    dialogs::testing::QueueFile(path);
    click(&window, "btnload");
    EXPECT_EQ(window.gridRows().size(), 2u);
    EXPECT_TRUE(dialogs::testing::Messages().front().text.contains(QStringLiteral("后1行未载入")));

    dialogs::testing::Clear();
    test::WriteFile(path, "0\r\n10\r\n16\r\n1000\r\n0\r\n");
    dialogs::testing::QueueFile(path);
    click(&window, "btnload");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("投注期数必须在1到100000之间！"));
}

TEST_F(PlanWindowTest, StagedPlanStagesAndRefusals)
{
    Tfrmjieduanjihua window(context, nullptr);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("阶段计划投资"));
    type(&window, "edtdays", QStringLiteral("10"));
    type(&window, "edtjieduan", QStringLiteral("3"));
    click(&window, "btnala");
    EXPECT_EQ(window.gridRows().size(), 10u);
    EXPECT_EQ(window.gridHeaders()[0], QStringLiteral("投注期号"));

    type(&window, "edtjieduan", QStringLiteral("0"));
    click(&window, "btnala");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("阶段次数必须大于0！"));
    EXPECT_EQ(window.gridRows().size(), 10u); // the grid keeps the last plan
    type(&window, "edtjieduan", QStringLiteral("abc"));
    click(&window, "btnala");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("'abc' 不是一个有效的整形值"));

    type(&window, "edtjieduan", QStringLiteral("3"));
    type(&window, "edtoutofsin", QStringLiteral("16"));
    click(&window, "btnala");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("所需倍数太大，无法投注！"));

    const QString path = auxFile(QStringLiteral("staged.txt"));
    dialogs::testing::QueueFile(path);
    click(&window, "btnsave");
    EXPECT_EQ(test::ReadFile(path).count("\r\n"), 6 + 7 * 10);
    test::WriteFile(path, test::ReadFile(path).replace("6150", "6x50"));
    Tfrmjieduanjihua loaded(context, nullptr);
    dialogs::testing::QueueFile(path);
    click(&loaded, "btnload");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("'6x50' 不是一个有效的整形值"));
    EXPECT_EQ(loaded.findChild<QLineEdit *>(QStringLiteral("edtoutofsin"))->text(), QStringLiteral("16"));
}

TEST_F(PlanWindowTest, VariablePlanStatesAdditionsAndContinuation)
{
    Tfrmkeibianjihua window(context, nullptr);
    EXPECT_FALSE(enabled(&window, "btnjisuan"));
    EXPECT_TRUE(window.findChild<QPushButton *>(QStringLiteral("btnload"))->isDefault());

    click(&window, "btnnew");
    EXPECT_TRUE(window.building());
    EXPECT_EQ(window.findChild<QPushButton *>(QStringLiteral("btnnew"))->text(), QStringLiteral("取消保存"));
    EXPECT_FALSE(enabled(&window, "btnload"));
    EXPECT_FALSE(enabled(&window, "btnprint"));
    EXPECT_FALSE(enabled(&window, "btnclose"));

    type(&window, "edtdays", QStringLiteral("3"));
    click(&window, "btnjisuan");
    EXPECT_EQ(window.gridRows().front(),
        (QStringList {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("8"), QStringLiteral("16"),
            QStringLiteral("16"), QStringLiteral("1000"), QStringLiteral("984"), QStringLiteral("6150")}));
    type(&window, "edtjushu", QStringLiteral("600"));
    click(&window, "btnjisuan");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("所需倍数太大，无法投注！"));
    EXPECT_EQ(window.gridRows().size(), 1u); // the failed period left no half row
    type(&window, "edtjushu", QStringLiteral("10"));
    click(&window, "btnjisuan");
    click(&window, "btnjisuan");
    click(&window, "btnjisuan");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("投资期限已满3天!"));
    EXPECT_EQ(window.gridRows().size(), 3u);

    const QString path = auxFile(QStringLiteral("variable.txt"));
    dialogs::testing::QueueFile(path);
    click(&window, "btnsave");
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    EXPECT_EQ(test::ReadFile(path).count("\r\n"), 6 + 8 * 3);
    EXPECT_FALSE(window.building());
    EXPECT_TRUE(enabled(&window, "btnload"));
    EXPECT_TRUE(enabled(&window, "btnjisuan"));

    Tfrmkeibianjihua loaded(context, nullptr);
    type(&loaded, "edtdays", QStringLiteral("9"));
    dialogs::testing::QueueFile(path);
    click(&loaded, "btnload");
    EXPECT_TRUE(loaded.building());
    EXPECT_EQ(loaded.gridRows(), window.gridRows());
    type(&loaded, "edtdays", QStringLiteral("4"));
    click(&loaded, "btnjisuan"); // continues with period 4
    ASSERT_EQ(loaded.gridRows().size(), 4u);
    EXPECT_EQ(loaded.gridRows()[3][0], QStringLiteral("4"));
    EXPECT_EQ(loaded.plan().rows()[3][VariableInput], loaded.plan().rows()[2][VariableInput] + 20);

    click(&loaded, "btnnew"); // 取消保存: the plan is dropped
    EXPECT_FALSE(loaded.building());
    EXPECT_TRUE(loaded.gridRows().empty());
    EXPECT_FALSE(enabled(&loaded, "btnjisuan"));

    // A plan file without rows loads as an empty plan to continue, announcing no average.
    test::WriteFile(path, "0\r\n10\r\n16\r\n1000\r\n80\r\n8\r\n");
    dialogs::testing::Clear();
    dialogs::testing::QueueFile(path);
    click(&loaded, "btnload");
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty());
    EXPECT_TRUE(loaded.building());
}

TEST_F(PlanWindowTest, FreshWindowsShowReadableColumns)
{
    // Before anything is generated, each column takes its share of the grid at the window's
    // default size and every header fits its column on at most two lines.
    Tfrmgudingjihua fixed(context, nullptr);
    Tfrmkeibianjihua variable(context, nullptr);
    for (QWidget *window : {static_cast<QWidget *>(&fixed), static_cast<QWidget *>(&variable)}) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();
        auto *grid = find<QTableView>(window, "grdjihua");
        const int columns = grid->model()->columnCount();
        ASSERT_GT(columns, 0);
        const int share = (grid->viewport()->width() - 20) / columns;
        const QFontMetrics metrics(grid->horizontalHeader()->font());
        for (int c = 0; c < columns; ++c) {
            EXPECT_EQ(grid->columnWidth(c), share) << window->windowTitle().toStdString() << ' ' << c;
            const QString header = grid->model()->headerData(c, Qt::Horizontal).toString();
            const QRect needed = metrics.boundingRect(
                QRect(0, 0, grid->columnWidth(c) - 6, 1000), Qt::AlignCenter | Qt::TextWordWrap, header);
            EXPECT_LE(needed.width(), grid->columnWidth(c)) << header.toStdString();
            EXPECT_LE(needed.height(), grid->horizontalHeader()->height()) << header.toStdString();
        }
        test::Screenshot(window, QStringLiteral("plan-%1").arg(columns));
    }
}

TEST_F(PlanWindowTest, FixedPlanShowsItsRiskAndMoneyCurve)
{
    Tfrmgudingjihua window(context, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // No lottery open: 8 tickets a multiple of a three-digit direct play.
    auto *chance = find<QLineEdit>(&window, "edtgailv");
    EXPECT_EQ(chance->text(), QStringLiteral("0.008"));
    EXPECT_FALSE(window.planRisk());
    EXPECT_EQ(find<QLabel>(&window, "lblzuidatouru")->text(), QStringLiteral("—"));

    click(&window, "btnala");
    ASSERT_TRUE(window.planRisk());
    EXPECT_EQ(find<QLabel>(&window, "lblzuidatouru")->text(), QStringLiteral("1584"));
    EXPECT_EQ(find<QLabel>(&window, "lblbuzhong")->text(), QStringLiteral("52.6%"));
    EXPECT_EQ(find<QLabel>(&window, "lblmeiqiqiwang")->text(), QStringLiteral("-16.00 ~ -8.00"));
    EXPECT_EQ(find<QLabel>(&window, "lblquanchengqiwang")->text(), QStringLiteral("-560.78"));
    // The curve: what is spent up to each period against what its win pays.
    ASSERT_EQ(window.inputSeries()->count(), 80);
    ASSERT_EQ(window.prizeSeries()->count(), 80);
    EXPECT_EQ(window.inputSeries()->at(79), QPointF(80, 1584));
    EXPECT_EQ(window.prizeSeries()->at(79), QPointF(80, 2000));
    EXPECT_EQ(window.prizeSeries()->at(0), QPointF(1, 1000));
    QApplication::processEvents();
    test::Screenshot(&window, QStringLiteral("plan-risk-fixed"));

    // A chance of one's own stays when 单倍投入 changes; the risk follows it at once.
    chance->setText(QStringLiteral("50%"));
    chance->editingFinished();
    EXPECT_DOUBLE_EQ(window.planRisk()->noWinChance, std::pow(0.5, 80));
    type(&window, "edtinofsin", QStringLiteral("20"));
    EXPECT_EQ(chance->text(), QStringLiteral("50%"));
    // Emptied, the box takes the default again, now for 10 tickets a multiple.
    chance->clear();
    chance->editingFinished();
    EXPECT_EQ(chance->text(), QStringLiteral("0.01"));

    // A chance that is none is refused with the box's name and leaves the figures blank.
    dialogs::testing::Clear();
    chance->setText(QStringLiteral("1.5"));
    chance->editingFinished();
    EXPECT_TRUE(dialogs::testing::LastMessage().startsWith(QStringLiteral("每期中奖概率必须是")))
        << dialogs::testing::LastMessage().toStdString();
    EXPECT_FALSE(window.planRisk());
    EXPECT_EQ(find<QLabel>(&window, "lblbuzhong")->text(), QStringLiteral("—"));
}

TEST_F(PlanWindowTest, RiskChanceComesFromTheOpenLottery)
{
    // A lotto's top prize: 8 tickets out of C(11, 5) = 462.
    lottery.open(home.store(), QStringLiteral("广东体彩11选5"));
    Tfrmjieduanjihua staged(context, nullptr);
    EXPECT_EQ(find<QLineEdit>(&staged, "edtgailv")->text(), QStringLiteral("0.017316"));
    type(&staged, "edtdays", QStringLiteral("10"));
    click(&staged, "btnala");
    ASSERT_TRUE(staged.planRisk());
    EXPECT_EQ(staged.planRisk()->capitalAtRisk, staged.planTable().back()[PlanInput]);
    EXPECT_NEAR(staged.planRisk()->noWinChance, std::pow(1 - 8.0 / 462, 10), 1e-9);

    // The staged plan loaded from a file shorter than 投注期数 risks what its rows spend.
    const QString path = auxFile(QStringLiteral("staged.txt"));
    dialogs::testing::QueueFile(path);
    click(&staged, "btnsave");
    QByteArray text = test::ReadFile(path);
    text.replace("\r\n10\r\n10\r\n", "\r\n20\r\n10\r\n"); // 投注期数 20, ten rows
    test::WriteFile(path, text);
    Tfrmjieduanjihua loaded(context, nullptr);
    dialogs::testing::QueueFile(path);
    click(&loaded, "btnload");
    ASSERT_EQ(loaded.planTable().size(), 20U);
    ASSERT_TRUE(loaded.planRisk());
    EXPECT_EQ(loaded.planRisk()->capitalAtRisk, staged.planRisk()->capitalAtRisk);
    EXPECT_EQ(loaded.inputSeries()->count(), 10);
    loaded.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&loaded));
    test::Screenshot(&loaded, QStringLiteral("plan-risk-staged"));
}

TEST_F(PlanWindowTest, VariablePlanWeighsEachTicket)
{
    lottery.open(home.store(), QStringLiteral("福彩3D"));
    Tfrmkeibianjihua window(context, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(find<QLineEdit>(&window, "edtgailv")->text(), QStringLiteral("0.001"));
    click(&window, "btnnew");
    for (const char *tickets : {"8", "10", "20"}) {
        type(&window, "edtjushu", QString::fromUtf8(tickets));
        click(&window, "btnjisuan");
    }
    ASSERT_TRUE(window.planRisk());
    EXPECT_NEAR(window.planRisk()->noWinChance, 0.992 * 0.99 * 0.98, 1e-12);
    EXPECT_EQ(
        find<QLabel>(&window, "lblzuidatouru")->text(), QString::number(window.plan().rows().back()[VariableInput]));
    EXPECT_EQ(window.inputSeries()->count(), 3);
    QApplication::processEvents();
    test::Screenshot(&window, QStringLiteral("plan-risk-variable"));

    click(&window, "btnnew"); // 取消保存: nothing left to weigh
    EXPECT_FALSE(window.planRisk());
    EXPECT_EQ(window.inputSeries()->count(), 0);
}
