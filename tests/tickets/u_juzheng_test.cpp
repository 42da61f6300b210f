#include "shell/dialogs.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"
#include "tickets/u_juzheng.h"
#include "tickets/wheel_matrix.h"

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

class JuzhengTest : public test::WindowTest {
protected:
    JuzhengTest()
        : WindowTest(5)
    { }
    void SetUp() override
    {
        WindowTest::SetUp();
        window = std::make_unique<Tfrmjuzheng>(context, nullptr);
        window->resize(640, 480);
        window->show();
    }

    template<class T>
    T *find(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit *edit(int i) const { return find<QLineEdit>(QStringLiteral("edtnum%1").arg(i)); }
    void typeNumbers(int count, int first = 1)
    {
        for (int i = 1; i <= count; ++i)
            edit(i)->setText(QString::number(first + i - 1));
    }
    void writeMatrix(const QString &name, const QByteArray &content)
    {
        test::WriteFile(home.folder().wheelsFolder() + name, content);
    }
    void generate() { find<QPushButton>(QStringLiteral("btngen"))->click(); }
    QString cell(int row, int column) const
    {
        const QAbstractItemModel *m = find<QTableView>(QStringLiteral("tabcode"))->model();
        return m->data(m->index(row, column)).toString();
    }
    int rows() const { return find<QTableView>(QStringLiteral("tabcode"))->model()->rowCount(); }
    void choose(const char *combo, int index) { find<QComboBox>(QString::fromLatin1(combo))->setCurrentIndex(index); }
    std::unique_ptr<Tfrmjuzheng> window;
};

} // namespace

TEST_F(JuzhengTest, EditsFollowTheBaseAndBankerCounts)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("旋转矩阵组号缩水"));
    EXPECT_TRUE(window->windowFlags() & Qt::Tool);
    EXPECT_FALSE(find<QComboBox>(QStringLiteral("comdannum"))->isEnabled());
    EXPECT_TRUE(edit(10)->isVisible());
    EXPECT_FALSE(edit(11)->isVisible());
    // Edit 7r + c + 1 sits at column c of row r inside the 217 × 105 group.
    EXPECT_EQ(edit(9)->geometry(), QRect(36, 45, 24, 25));
    EXPECT_EQ(edit(21)->geometry(), QRect(182, 75, 24, 25));

    find<QRadioButton>(QStringLiteral("optjutype1"))->click();
    EXPECT_EQ(window->settings().base, 9);
    EXPECT_EQ(window->settings().bankers, 1);
    EXPECT_TRUE(find<QComboBox>(QStringLiteral("comdannum"))->isEnabled());
    EXPECT_TRUE(edit(10)->isVisible());
    EXPECT_EQ(edit(10)->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_NE(edit(9)->palette().color(QPalette::Base), QColor(255, 0, 0));
    choose("comdannum", 2);
    EXPECT_TRUE(edit(11)->isVisible());
    EXPECT_FALSE(edit(12)->isVisible());
    if (!qEnvironmentVariableIsEmpty("LUMARO_SCREENSHOTS")) {
        choose("commainnum", 18);
        window->grab().save(QStringLiteral("/tmp/juzheng-bankers.png"));
        choose("commainnum", 8);
    }

    find<QRadioButton>(QStringLiteral("optjutype0"))->click();
    EXPECT_EQ(window->settings().base, 10);
    EXPECT_EQ(window->settings().bankers, 0);
    EXPECT_FALSE(edit(11)->isVisible());
    EXPECT_NE(edit(10)->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_F(JuzhengTest, InitialSettingsReadTheirMatrixAndListTheNumbersAsTyped)
{
    // The third line begins with a word: two tickets only.
    writeMatrix(QStringLiteral("选六型10码中6保5.txt"), "1 2 3 4 5 6\r\n5,6,7,8,9,10\r\nend 1 2 3 4 5\r\n");
    typeNumbers(10, 90);
    edit(1)->setText(QStringLiteral("00"));
    edit(10)->setText(QStringLiteral("7"));
    generate();
    ASSERT_EQ(rows(), 2);
    QAbstractItemModelTester tester(find<QTableView>(QStringLiteral("tabcode"))->model());
    EXPECT_EQ(find<QTableView>(QStringLiteral("tabcode"))->model()->headerData(6, Qt::Horizontal).toString(),
        QStringLiteral("号码6"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("1"));
    QStringList first;
    for (int c = 1; c <= 6; ++c)
        first << cell(0, c);
    EXPECT_EQ(first.join(QLatin1Char(' ')), QStringLiteral("00 91 92 93 94 95"));
    QStringList second;
    for (int c = 1; c <= 6; ++c)
        second << cell(1, c);
    EXPECT_EQ(second.join(QLatin1Char(' ')), QStringLiteral("07 94 95 96 97 98"));
    EXPECT_EQ(find<QLabel>(QStringLiteral("lblcode"))->text(), QStringLiteral("投注号码：共2 注"));
    EXPECT_EQ(find<QLineEdit>(QStringLiteral("edtjushu"))->text(), QStringLiteral("2"));

    // Saved with a blank after every number.
    const QString saved = home.path(QStringLiteral("附属/t.txt"));
    dialogs::testing::QueueFile(saved);
    find<QPushButton>(QStringLiteral("btnsave"))->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    EXPECT_EQ(test::ReadFile(saved), QByteArray("00 91 92 93 94 95 \r\n07 94 95 96 97 98 \r\n"));
}

TEST_F(JuzhengTest, BankerWheelAddsTheBankerToEveryTicket)
{
    find<QRadioButton>(QStringLiteral("optjutype1"))->click();
    choose("comcainum", 6); // 选7型
    writeMatrix(QStringLiteral("选六型09码中5保4.txt"), "1 2 3 4 5 6\r\n4 5 6 7 8 9\r\n");
    typeNumbers(9, 11);
    edit(10)->setText(QStringLiteral("15 "));
    edit(5)->setText(QStringLiteral("3"));
    generate();
    ASSERT_EQ(rows(), 2) << dialogs::testing::LastMessage().toStdString();
    QStringList first;
    for (int c = 1; c <= 7; ++c)
        first << cell(0, c);
    EXPECT_EQ(first.join(QLatin1Char(' ')), QStringLiteral("03 11 12 13 14 15 16"));
    EXPECT_EQ(cell(1, 7), QStringLiteral("19"));
}

TEST_F(JuzhengTest, BankerWheelsBeyondTwentyOneNumbersListWhatTheCommandLineLists)
{
    // 胆拖式 with 21 base numbers and 2 bankers: 23 numbers, the shipped 选二型21码中2保1.
    find<QRadioButton>(QStringLiteral("optjutype1"))->click();
    choose("commainnum", 20);
    choose("comdannum", 2);
    choose("comcainum", 3); // 选4型
    choose("comoknum", 3); // 4
    choose("combaonum", 2); // 3
    ASSERT_TRUE(edit(23)->isVisible());
    EXPECT_EQ(edit(22)->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_NE(edit(21)->palette().color(QPalette::Base), QColor(255, 0, 0));
    // The two numbers beyond 21 begin a fourth row of the group, which grows to hold it.
    EXPECT_EQ(edit(22)->geometry(), QRect(7, 105, 24, 25));
    EXPECT_EQ(edit(23)->geometry().top(), 105);
    EXPECT_GE(edit(23)->parentWidget()->height(), edit(23)->geometry().bottom());
    QApplication::processEvents();
    EXPECT_LT(edit(23)->mapTo(window.get(), edit(23)->rect().bottomLeft()).y(),
        find<QLabel>(QStringLiteral("lblcode"))->geometry().top()); // the caption of the grid moves down

    QStringList texts;
    for (int i = 1; i <= 23; ++i) {
        edit(i)->setText(QString::number(10 + i));
        texts << edit(i)->text();
    }
    generate();
    const QString matrix = context.folder.wheelMatrixFile(QStringLiteral("选二型21码中2保1.txt"));
    ASSERT_FALSE(matrix.isEmpty());
    const std::vector<std::vector<int>> expected = WheelTickets(window->settings(), texts, matrix);
    ASSERT_FALSE(expected.empty());
    test::Screenshot(window.get(), QStringLiteral("juzheng-23"));
    EXPECT_EQ(window->tickets(), expected) << dialogs::testing::LastMessage().toStdString();
    ASSERT_EQ(rows(), int(expected.size()));
    for (int r = 0; r < rows(); ++r) {
        QStringList row;
        for (int c = 1; c <= 4; ++c)
            row << cell(r, c);
        EXPECT_TRUE(row.contains(QStringLiteral("32")) && row.contains(QStringLiteral("33"))) << r; // the bankers
    }

    // One banker: 22 numbers, the fourth row holds one edit.
    choose("comdannum", 1);
    EXPECT_TRUE(edit(22)->isVisible());
    EXPECT_FALSE(edit(23)->isVisible());
    choose("comcainum", 2); // 选3型
    choose("comoknum", 2); // 3
    choose("combaonum", 1); // 2
    generate();
    EXPECT_EQ(window->tickets(), WheelTickets(window->settings(), texts.mid(0, 22), matrix));
    // Back to 21 numbers: the group is three rows again.
    choose("commainnum", 19);
    EXPECT_FALSE(edit(22)->isVisible());
    EXPECT_EQ(edit(22)->parentWidget()->height(), 105);
}

TEST_F(JuzhengTest, RefusalsLeaveTheGridAsItWas)
{
    writeMatrix(QStringLiteral("选六型10码中6保5.txt"), "1 2 3 4 5 6\r\n");
    find<QPushButton>(QStringLiteral("btnsave"))->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("号码表格为空，无法保存！"));

    typeNumbers(9);
    generate();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请在下面号码框中输入正确的号码数字！"));
    typeNumbers(10);
    edit(10)->setText(QStringLiteral(" 1"));
    generate();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请不要输入重复的号码数字！"));
    edit(10)->setText(QStringLiteral("01")); // a different text from 1
    generate();
    ASSERT_EQ(rows(), 1);

    // A position above B names no base number: refused with the file and the line.
    writeMatrix(QStringLiteral("选六型10码中6保5.txt"), "1 2 3 4 5 6\r\n1 2 3 4 5 11\r\n");
    generate();
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("选六型10码中6保5.txt")));
    EXPECT_TRUE(dialogs::testing::LastMessage().contains(QStringLiteral("第 2 行")));
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(find<QLabel>(QStringLiteral("lblcode"))->text(), QStringLiteral("投注号码：共1 注"));

    // A guarantee above the ticket size has no matrix and nothing to compute.
    choose("combaonum", 7);
    generate();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("没有该类型的矩阵！"));
    EXPECT_EQ(dialogs::testing::Messages().back().kind, QStringLiteral("error"));
}

TEST_F(JuzhengTest, AMissingMatrixIsComputedOnRequest)
{
    // 选三型07码中3保2 is shipped; this folder looks only at its own matrices.
    context.folder.setShippedWheelsUsed(false);
    choose("commainnum", 6);
    choose("comcainum", 2);
    choose("comoknum", 2);
    choose("combaonum", 1);
    const QString path = home.folder().wheelsFolder() + QStringLiteral("选三型07码中3保2.txt");
    QFile::remove(path);
    QSignalSpy finished(window.get(), &Tfrmjuzheng::generationFinished);

    // The numbers are checked before the computation is offered.
    typeNumbers(6);
    generate();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请在下面号码框中输入正确的号码数字！"));
    for (const dialogs::testing::Message &m : dialogs::testing::Messages())
        EXPECT_NE(m.kind, QStringLiteral("question")) << m.text.toStdString();
    EXPECT_FALSE(window->isComputing());
    typeNumbers(7);
    edit(7)->setText(QStringLiteral("1"));
    generate();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("请不要输入重复的号码数字！"));
    EXPECT_FALSE(window->isComputing());
    EXPECT_EQ(finished.count(), 2);
    dialogs::testing::Clear();
    finished.clear();

    typeNumbers(7);
    dialogs::testing::QueueAnswer(false);
    generate();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("没有该类型的矩阵！"));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(QFileInfo::exists(path));

    window->setComputeSeconds(1);
    dialogs::testing::QueueAnswer(true);
    generate();
    EXPECT_TRUE(window->isComputing());
    EXPECT_FALSE(find<QPushButton>(QStringLiteral("btngen"))->isEnabled());
    if (auto *progress = window->findChild<QWidget *>(QStringLiteral("prgcompute")))
        test::Screenshot(progress, QStringLiteral("juzheng-computing"));
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(window->isComputing());
    ASSERT_TRUE(QFileInfo::exists(path));
    const std::vector<WheelMask> matrix = ReadWheelMatrix(path, {7, 3, 3, 2});
    EXPECT_TRUE(VerifyWheel({7, 3, 3, 2}, matrix).holds);
    EXPECT_EQ(rows(), int(matrix.size()));
    EXPECT_TRUE(find<QPushButton>(QStringLiteral("btngen"))->isEnabled());

    if (!qEnvironmentVariableIsEmpty("LUMARO_SCREENSHOTS"))
        window->grab().save(QStringLiteral("/tmp/juzheng.png"));
}
