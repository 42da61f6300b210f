#include "data/draw_edit_model.h"
#include "data/draw_import.h"
#include "data/u_data.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/u_main.h"
#include "support/screenshot.h"
#include "support/test_home.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

class DrawEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogs::testing::setEnabled(true);
        dialogs::testing::clear();
        context.folder = home.folder();
        context.store = &home.store();
        context.lottery = &lottery;
    }
    void select(Tfrmdata &editor, const QString &name)
    {
        auto *list = editor.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
        const auto items = list->findItems(name, Qt::MatchExactly);
        list->setCurrentItem(items.front());
        editor.lstcaipiaoClick();
    }
    test::TestHome home;
    OpenLottery lottery;
    AppContext context;
};

} // namespace

TEST_F(DrawEditorTest, ModesNavigatorAndTheCloseRefusal)
{
    importDraws(home.store(), QStringLiteral("中国体彩22选5"), "2020001 01 02 03 04 05\n2020002 06 07 08 09 10\n");
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
    test::screenshot(&editor, QStringLiteral("draw_editor"));

    editor.btneditClick();
    EXPECT_EQ(edit->text(), QStringLiteral("完成添加"));
    EXPECT_FALSE(exit->isEnabled());
    EXPECT_TRUE(editor.navigatorButton(0)->isEnabled());
    test::screenshot(&editor, QStringLiteral("draw_editor_entering"));
    editor.close();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(dialogs::testing::lastMessage(), QStringLiteral("请单击《完成添加》按钮保存添加"));

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
    EXPECT_EQ(dialogs::testing::lastMessage(), QStringLiteral("第4行“记录期号”列不能为空！"));
    editor.navigatorButton(8)->click(); // cancel drops it
    editor.btneditClick();
    EXPECT_EQ(edit->text(), QStringLiteral("开始添加"));
    EXPECT_TRUE(exit->isEnabled());

    // Deleting asks first.
    dialogs::testing::queueAnswer(false);
    editor.btneditClick();
    editor.navigatorButton(5)->click();
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 3);
    dialogs::testing::queueAnswer(true);
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
    EXPECT_EQ(dialogs::testing::lastMessage(), QStringLiteral("请选择要导出的彩票！"));
    select(editor, QStringLiteral("南粤风采26选5"));

    const QString empty = home.path(QStringLiteral("附属/空.txt"));
    dialogs::testing::queueFile(empty);
    editor.btnsaveClick();
    EXPECT_EQ(dialogs::testing::lastMessage(), QStringLiteral("成功保存！"));
    EXPECT_TRUE(test::readFile(empty).isEmpty());

    const QString csv = home.path(QStringLiteral("draws.csv"));
    test::writeFile(csv, "period,date,a,b,c,d,e\n2020001,2020-01-01,7,10,1,2,3\n");
    dialogs::testing::queueFile(csv);
    editor.btnimportClick();
    EXPECT_EQ(dialogs::testing::lastMessage(), QStringLiteral("新增开奖号码1期，已有的0期不再导入。"));
    EXPECT_EQ(editor.model()->rowCount(), 1);
    const QString out = home.path(QStringLiteral("附属/南粤风采26选5历史号码.txt"));
    dialogs::testing::queueFile(out);
    editor.btnsaveClick();
    EXPECT_EQ(test::readFile(out), QByteArray("2020001 07 10 01 02 03 \r\n"));
}

TEST_F(DrawEditorTest, BackupAndRestoreFromTheMainWindow)
{
    importDraws(home.store(), QStringLiteral("中国体彩22选5"), "2020001 01 02 03 04 05\n");
    Tfrmmain window(context);
    const QString copy = home.path(QStringLiteral("彩票数据备份.db"));
    dialogs::testing::queueFile(QString()); // cancelled: nothing happens
    window.action(QStringLiteral("mnubackupdata"))->trigger();
    EXPECT_TRUE(dialogs::testing::messages().isEmpty());
    dialogs::testing::queueFile(copy);
    window.action(QStringLiteral("mnubackupdata"))->trigger();
    EXPECT_EQ(dialogs::testing::lastMessage(), QStringLiteral("成功备份！"));

    importDraws(home.store(), QStringLiteral("中国体彩22选5"), "2020002 01 02 03 04 06\n");
    const QString text = home.path(QStringLiteral("x.txt"));
    test::writeFile(text, "not a database");
    dialogs::testing::queueFile(text);
    window.action(QStringLiteral("mnustoredata"))->trigger();
    EXPECT_TRUE(dialogs::testing::lastMessage().contains(QStringLiteral("不是本程序的彩票数据库")));
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 2);
    dialogs::testing::queueFile(copy);
    window.action(QStringLiteral("mnustoredata"))->trigger();
    EXPECT_TRUE(dialogs::testing::lastMessage().startsWith(QStringLiteral("成功恢复！")));
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 1);
}
