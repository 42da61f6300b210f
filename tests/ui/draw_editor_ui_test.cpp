#include "data/draw_edit_model.h"
#include "data/draw_import.h"
#include "data/u_data.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/u_main.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

class DrawEditorTest : public test::WindowTest {
protected:
    void select(Tfrmdata &editor, const QString &name)
    {
        auto *list = editor.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
        const auto items = list->findItems(name, Qt::MatchExactly);
        list->setCurrentItem(items.front());
        editor.lstcaipiaoClick();
    }
};

} // namespace

TEST_F(DrawEditorTest, ModesNavigatorAndTheCloseRefusal)
{
    ImportDraws(home.store(), QStringLiteral("中国体彩22选5"), "2020001 01 02 03 04 05\n2020002 06 07 08 09 10\n");
    Tfrmdata editor(context);
    editor.show();
    auto *edit = editor.findChild<QPushButton *>(QStringLiteral("btnedit"));
    auto *exit = editor.findChild<QPushButton *>(QStringLiteral("btnext"));
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(editor.navigatorButton(4)->toolTip(), QStringLiteral("添加记录"));
    EXPECT_EQ(editor.navigatorButton(9)->toolTip(), QStringLiteral("刷新记录"));

    select(editor, QStringLiteral("中国体彩22选5"));
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(editor.grid()->currentIndex().row(), 1); // the newest draw
    test::Screenshot(&editor, QStringLiteral("draw_editor"));

    editor.btneditClick();
    EXPECT_EQ(edit->text(), QStringLiteral("完成添加"));
    EXPECT_FALSE(exit->isEnabled());
    EXPECT_TRUE(editor.navigatorButton(0)->isEnabled());
    test::Screenshot(&editor, QStringLiteral("draw_editor_entering"));
    editor.close();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请单击《完成添加》按钮保存添加"));

    // "+" on a row being typed posts it and starts another one at the end.
    editor.btnaddClick();
    DrawEditModel *model = editor.model();
    const int row = model->rowCount() - 1;
    const QStringList cells {QStringLiteral("2020003"), QStringLiteral("11"), QStringLiteral("12"),
        QStringLiteral("13"), QStringLiteral("14"), QStringLiteral("15"), QStringLiteral("2020-01-03")};
    for (int c = 0; c < cells.size(); ++c)
        model->setData(model->index(row, c), cells[c]);
    editor.btnaddClick();
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 3);
    EXPECT_EQ(model->rowCount(), 4);

    // An empty new row cannot be left by 完成添加: it stays in editing with a message.
    editor.btneditClick();
    EXPECT_EQ(edit->text(), QStringLiteral("完成添加"));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("第4行“记录期号”列不能为空！"));
    editor.navigatorButton(8)->click(); // cancel drops it
    editor.btneditClick();
    EXPECT_EQ(edit->text(), QStringLiteral("开始添加"));
    EXPECT_TRUE(exit->isEnabled());

    // Deleting asks first.
    dialogs::testing::QueueAnswer(false);
    editor.btneditClick();
    editor.navigatorButton(5)->click();
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 3);
    dialogs::testing::QueueAnswer(true);
    editor.navigatorButton(5)->click();
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 2);
    editor.btneditClick();
    editor.close();
    EXPECT_FALSE(editor.isVisible());
}

TEST_F(DrawEditorTest, ExportAndImportThroughTheDialogs)
{
    Tfrmdata editor(context);
    editor.btnsaveClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请选择要导出的彩票！"));
    select(editor, QStringLiteral("南粤风采26选5"));

    const QString empty = home.path(QStringLiteral("附属/空.txt"));
    dialogs::testing::QueueFile(empty);
    editor.btnsaveClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    EXPECT_TRUE(test::ReadFile(empty).isEmpty());

    const QString csv = home.path(QStringLiteral("draws.csv"));
    test::WriteFile(csv, "period,date,a,b,c,d,e\n2020001,2020-01-01,7,10,1,2,3\n");
    dialogs::testing::QueueFile(csv);
    editor.btnimportClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("新增开奖号码1期，已有的0期不再导入。"));
    EXPECT_EQ(editor.model()->rowCount(), 1);
    const QString out = home.path(QStringLiteral("附属/南粤风采26选5历史号码.txt"));
    dialogs::testing::QueueFile(out);
    editor.btnsaveClick();
    EXPECT_EQ(test::ReadFile(out), QByteArray("2020001 07 10 01 02 03 \r\n"));
}

TEST_F(DrawEditorTest, BackupAndRestoreFromTheMainWindow)
{
    ImportDraws(home.store(), QStringLiteral("中国体彩22选5"), "2020001 01 02 03 04 05\n");
    Tfrmmain window(context);
    const QString copy = home.path(QStringLiteral("彩票数据备份.db"));
    dialogs::testing::QueueFile(QString()); // cancelled: nothing happens
    window.action(QStringLiteral("mnubackupdata"))->trigger();
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty());
    dialogs::testing::QueueFile(copy);
    window.action(QStringLiteral("mnubackupdata"))->trigger();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功备份！"));

    ImportDraws(home.store(), QStringLiteral("中国体彩22选5"), "2020002 01 02 03 04 06\n");
    const QString text = home.path(QStringLiteral("x.txt"));
    test::WriteFile(text, "not a database");
    dialogs::testing::QueueFile(text);
    window.action(QStringLiteral("mnustoredata"))->trigger();
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("不是本程序的彩票数据库")));
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 2);
    dialogs::testing::QueueFile(copy);
    window.action(QStringLiteral("mnustoredata"))->trigger();
    EXPECT_TRUE(dialogs::testing::LastMessage().startsWith(QStringLiteral("成功恢复！")));
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 1);
}

TEST_F(DrawEditorTest, ClosingWithAnUnpostedChangeAsksFirst)
{
    const QString name = QStringLiteral("中国体彩22选5");
    ImportDraws(home.store(), name, "2020001 01 02 03 04 05\n2020002 06 07 08 09 10\n");
    Tfrmdata editor(context);
    editor.show();
    select(editor, name);
    DrawEditModel *model = editor.model();
    auto storedFirst = [&] { return home.store().readDraws(name).front().numbers.front(); };

    // Browsing, a changed cell not yet posted: 取消 keeps the window and the change.
    model->setData(model->index(0, 1), QStringLiteral("11"));
    dialogs::testing::QueueChoice(2);
    editor.close();
    EXPECT_TRUE(editor.isVisible());
    ASSERT_FALSE(dialogs::testing::Messages().isEmpty());
    EXPECT_EQ(dialogs::testing::Messages().back().kind, QStringLiteral("question"));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("第1行的修改还没有保存，要保存吗？"));
    EXPECT_TRUE(model->isPending(0));
    EXPECT_EQ(editor.grid()->currentIndex().row(), 0); // the row in question is shown

    // A change that cannot be written keeps the window open with the reason.
    model->setData(model->index(0, 2), QStringLiteral("11"));
    dialogs::testing::QueueChoice(0);
    editor.close();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("第1行“2”列的号码11与第1个号码重复！"));
    EXPECT_EQ(storedFirst(), 1);

    // 保存 writes it and closes.
    model->setData(model->index(0, 2), QStringLiteral("2"));
    dialogs::testing::QueueChoice(0);
    editor.close();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(storedFirst(), 11);

    // 不保存 drops the change and closes; text still in an open cell editor counts as typed.
    Tfrmdata again(context);
    again.show();
    select(again, name);
    const QModelIndex cell = again.model()->index(1, 1);
    again.grid()->setCurrentIndex(cell);
    again.grid()->edit(cell);
    auto *editorWidget = qobject_cast<QLineEdit *>(again.grid()->indexWidget(cell));
    ASSERT_NE(editorWidget, nullptr);
    editorWidget->setText(QStringLiteral("12"));
    dialogs::testing::Clear();
    dialogs::testing::QueueChoice(1);
    again.close();
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("第2行的修改还没有保存，要保存吗？"));
    EXPECT_EQ(home.store().readDraws(name).back().numbers.front(), 6);

    // Nothing changed: it closes without a question.
    Tfrmdata quiet(context);
    quiet.show();
    select(quiet, name);
    dialogs::testing::Clear();
    quiet.close();
    EXPECT_FALSE(quiet.isVisible());
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty());
}

TEST_F(DrawEditorTest, CancellingARowThatCannotBePostedForgetsIt)
{
    const QString name = QStringLiteral("中国体彩22选5");
    ImportDraws(home.store(), name, "0026139 01 02 03 04 05\n");
    Tfrmdata editor(context);
    editor.show();
    select(editor, name);
    editor.btneditClick();
    editor.btnaddClick();
    DrawEditModel *model = editor.model();
    const QStringList cells {QStringLiteral("26139"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
        QStringLiteral("9"), QStringLiteral("10")};
    for (int c = 0; c < cells.size(); ++c)
        model->setData(model->index(1, c), cells[c]);
    editor.navigatorButton(7)->click(); // 保存修改: the period is stored already
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("同一期不能存两次")));

    // 取消修改 drops the row without showing its error once more.
    dialogs::testing::Clear();
    editor.navigatorButton(8)->click();
    QApplication::processEvents();
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_TRUE(dialogs::testing::Messages().isEmpty());
    EXPECT_EQ(editor.grid()->currentIndex().row(), 0);
}

TEST_F(DrawEditorTest, EveryColumnFitsAtTheDefaultSize)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    ImportDrawFile(home.store(), QStringLiteral("中国福彩七乐彩"), qlc);
    ImportDraws(
        home.store(), QStringLiteral("广东体彩11选5"), "period,date,a,b,c,d,e\n26040101,2026-04-01,1,2,3,4,5\n");
    // The two-zone lotteries have the wider back columns ("后区1" …) after the front ones.
    LUMARO_HISTORY_FILE(ssq, "ssq.csv");
    ImportDrawFile(home.store(), QStringLiteral("双色球"), ssq);
    ImportDraws(home.store(), QStringLiteral("大乐透"), "2007001 06 15 22 29 34 + 12 02\n");
    Tfrmdata editor(context);
    editor.show();
    QApplication::processEvents();
    for (const char *lottery : {"中国福彩七乐彩", "广东体彩11选5", "双色球", "大乐透"}) {
        select(editor, QString::fromUtf8(lottery));
        QApplication::processEvents();
        QTableView *grid = editor.grid();
        const QFontMetrics metrics = grid->fontMetrics();
        const int columns = editor.model()->columnCount();
        int total = 0;
        for (int c = 0; c < columns; ++c) {
            const int width = grid->columnWidth(c);
            total += width;
            // Every cell and header text fits its column.
            const QString header = editor.model()->headerData(c, Qt::Horizontal).toString();
            EXPECT_GE(width, grid->horizontalHeader()->fontMetrics().horizontalAdvance(header) + 8) << lottery << c;
            const QString last
                = editor.model()->data(editor.model()->index(editor.model()->rowCount() - 1, c)).toString();
            EXPECT_GE(width, metrics.horizontalAdvance(last) + 8) << lottery << c;
        }
        QApplication::processEvents();
        EXPECT_LE(total, grid->viewport()->width()) << lottery;
        EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0) << lottery;
        test::Screenshot(&editor, QStringLiteral("draw_editor_%1").arg(QString::fromUtf8(lottery)));
    }
}

// A two-zone lottery in the editor: the back columns after the front ones, rows typed, posted and
// refused per zone (a back number may equal a front one), and the import and export through the
// dialogs in the "+" form.
TEST_F(DrawEditorTest, TwoZoneLotteryIsEditedImportedAndExportedPerZone)
{
    const QString ssq = QStringLiteral("双色球");
    ImportDraws(home.store(), ssq, "2003001 10 11 12 13 26 28 + 11\n");
    Tfrmdata editor(context);
    editor.show();
    select(editor, ssq);
    DrawEditModel *model = editor.model();
    ASSERT_EQ(model->columnCount(), 9);
    EXPECT_EQ(model->headerData(7, Qt::Horizontal).toString(), QStringLiteral("后区1"));
    EXPECT_EQ(model->data(model->index(0, 7)).toString(), QStringLiteral("11"));

    editor.btneditClick();
    editor.btnaddClick();
    int row = model->rowCount() - 1;
    const QStringList cells {QStringLiteral("2003002"), QStringLiteral("4"), QStringLiteral("7"), QStringLiteral("19"),
        QStringLiteral("20"), QStringLiteral("21"), QStringLiteral("26"), QStringLiteral("7"),
        QStringLiteral("2003-02-27")};
    for (int c = 0; c < cells.size(); ++c)
        model->setData(model->index(row, c), cells[c]);
    editor.btnaddClick(); // posts the row, starts another
    auto draws = home.store().readDraws(ssq);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[1].numbers, (std::vector<int> {4, 7, 19, 20, 21, 26}));
    EXPECT_EQ(draws[1].back, (std::vector<int> {7}));

    row = model->rowCount() - 1;
    for (int c = 0; c < cells.size(); ++c)
        model->setData(model->index(row, c), cells[c]);
    model->setData(model->index(row, 0), QStringLiteral("2003003"));
    model->setData(model->index(row, 7), QStringLiteral("17"));
    editor.grid()->setCurrentIndex(model->index(row, 7));
    editor.navigatorButton(7)->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("第3行“后区1”列的号码17不在1到16之间！"));
    EXPECT_TRUE(model->isPending(row));
    EXPECT_EQ(home.store().drawCount(ssq), 2);
    model->setData(model->index(row, 7), QStringLiteral("16"));
    editor.navigatorButton(7)->click();
    EXPECT_EQ(home.store().readDraws(ssq).back().back, (std::vector<int> {16}));
    test::Screenshot(&editor, QStringLiteral("draw_editor_two_zone_entering"));
    editor.btneditClick();

    // The import and the export of the "+" form.
    const QString dlt = QStringLiteral("大乐透");
    select(editor, dlt);
    const QString text = home.path(QStringLiteral("大乐透.txt"));
    test::WriteFile(text, "2007001 06 15 22 29 34 + 12 02\n2007002 01 02 03 04 05 + 05 01\n");
    dialogs::testing::QueueFile(text);
    editor.btnimportClick();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("新增开奖号码2期，已有的0期不再导入。"));
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->data(model->index(1, 7)).toString(), QStringLiteral("1"));
    test::WriteFile(text, "2007003 01 02 03 04 05 + 05 05\n");
    dialogs::testing::QueueFile(text);
    editor.findChild<QPushButton *>(QStringLiteral("btnimport"))->click(); // refused inside the window's guard
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("第1行：第2007003期后区的号码5重复！"));
    EXPECT_EQ(home.store().drawCount(dlt), 2);
    const QString out = home.path(QStringLiteral("附属/大乐透历史号码.txt"));
    dialogs::testing::QueueFile(out);
    editor.btnsaveClick();
    EXPECT_EQ(
        test::ReadFile(out), QByteArray("2007001 06 15 22 29 34 + 12 02 \r\n2007002 01 02 03 04 05 + 05 01 \r\n"));
}
