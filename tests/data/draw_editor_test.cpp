#include "common/errors.h"
#include "data/backup.h"
#include "data/draw_edit_model.h"
#include "data/draw_import.h"
#include "support/test_home.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

const QString k22 = QStringLiteral("中国体彩22选5");

void Fill(DrawEditModel &model, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        model.setData(model.index(row, c), cells[c]);
}

QString PostError(DrawEditModel &model, int row)
{
    try {
        model.post(row);
    } catch (const InputError &error) {
        return error.message();
    }
    return QString();
}

} // namespace

TEST(DrawEditModel, PostingChecksEveryCellAndKeepsTheRowInEditing)
{
    TestHome home;
    DrawEditModel model(home.store());
    model.load(k22);
    EXPECT_EQ(model.columnCount(), 7);
    EXPECT_EQ(model.headerData(6, Qt::Horizontal).toString(), QStringLiteral("开奖日期"));
    const int row = model.appendRow();
    EXPECT_TRUE(model.isPending(row));
    struct Case {
        QStringList cells;
        const char *message;
    };
    const Case cases[] = {
        {{"", "1", "2", "3", "4", "5", ""}, "第1行“记录期号”列不能为空！"},
        {{"20a0001", "1", "2", "3", "4", "5", ""}, "第1行“记录期号”列的“20a0001”不是一个整数！"},
        {{"20200011", "1", "2", "3", "4", "5", ""}, "第1行“记录期号”列的期号最多7位！"},
        {{"2020001", "1", "2", "", "4", "5", ""}, "第1行“3”列不能为空！"},
        {{"2020001", "1", "2", "x", "4", "5", ""}, "第1行“3”列的“x”不是一个整数！"},
        {{"2020001", "1", "2", "3", "4", "23", ""}, "第1行“5”列的号码23不在1到22之间！"},
        {{"2020001", "1", "2", "3", "4", "2", ""}, "第1行“5”列的号码2与第2个号码重复！"},
    };
    for (const Case &c : cases) {
        Fill(model, row, c.cells);
        EXPECT_EQ(PostError(model, row), QString::fromUtf8(c.message));
        EXPECT_TRUE(model.isPending(row));
    }
    EXPECT_EQ(home.store().drawCount(k22), 0);
    Fill(model, row,
        {QStringLiteral("2020001"), QStringLiteral("5"), QStringLiteral("9"), QStringLiteral("13"),
            QStringLiteral("20"), QStringLiteral("22"), QStringLiteral("2020-01-01")});
    EXPECT_EQ(PostError(model, row), QString());
    EXPECT_FALSE(model.isPending(row));
    EXPECT_EQ(home.store().drawCount(k22), 1);

    // Editing a posted row updates it; cancelling restores what was written.
    model.setData(model.index(row, 1), QStringLiteral("6"));
    model.cancel(row);
    EXPECT_EQ(model.data(model.index(row, 1)).toString(), QStringLiteral("5"));
    model.setData(model.index(row, 1), QStringLiteral("7"));
    model.post(row);
    EXPECT_EQ(home.store().readDraws(k22).front().numbers.front(), 7);

    // A new row that is cancelled disappears; deleting a row removes it from the table.
    const int extra = model.appendRow();
    model.cancel(extra);
    EXPECT_EQ(model.rowCount(), 1);
    model.deleteRow(0);
    EXPECT_EQ(home.store().drawCount(k22), 0);
}

TEST(DrawEditModel, ExportWritesPostedRowsInGridOrder)
{
    TestHome home;
    ImportDraws(home.store(), k22, "2020002 01 02 03 04 05\n2020001 07 10 11 12 13\n");
    DrawEditModel model(home.store());
    model.load(k22);
    const int row = model.appendRow();
    Fill(model, row,
        {QStringLiteral("2019001"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
            QStringLiteral("22"), QString()});
    model.post(row);
    model.appendRow(); // an unposted row is not exported
    EXPECT_EQ(HistoryText(model.postedDraws()),
        QByteArray("2020001 07 10 11 12 13 \r\n2020002 01 02 03 04 05 \r\n2019001 01 02 03 04 22 \r\n"));
}

TEST(Backup, CopiesWhileOpenAndRestoresOnlyLotteryDatabases)
{
    TestHome home;
    ImportDraws(home.store(), k22, "2020001 01 02 03 04 05\n");
    home.store().listLotteries(); // the connection is open
    const QString copy = home.path(QStringLiteral("备份.db"));
    test::WriteFile(copy, "old file to be replaced");
    BackupDatabase(home.store(), copy);
    EXPECT_NO_THROW(CheckLotteryDatabase(copy));
    EXPECT_FALSE(QFile::exists(copy + QStringLiteral(".part")));

    ImportDraws(home.store(), k22, "2020002 01 02 03 04 06\n");
    EXPECT_EQ(home.store().drawCount(k22), 2);

    // Files that are not lottery databases are refused and change nothing.
    const QString text = home.path(QStringLiteral("a.txt"));
    test::WriteFile(text, "2020001 01 02 03 04 05\r\n");
    EXPECT_THROW(RestoreDatabase(home.store(), text), InputError);
    QByteArray truncated = test::ReadFile(copy);
    truncated.truncate(truncated.size() / 2);
    const QString broken = home.path(QStringLiteral("坏.db"));
    test::WriteFile(broken, truncated);
    EXPECT_THROW(RestoreDatabase(home.store(), broken), Error);
    EXPECT_THROW(RestoreDatabase(home.store(), home.path(QStringLiteral("没有.db"))), IoError);
    EXPECT_EQ(home.store().drawCount(k22), 2);

    const QString kept = RestoreDatabase(home.store(), copy);
    EXPECT_EQ(home.store().drawCount(k22), 1);
    EXPECT_TRUE(kept.contains(QStringLiteral("彩票数据_恢复前_")));
    LotteryStore before(kept);
    EXPECT_EQ(before.drawCount(k22), 2); // the replaced database can be put back by hand
}

TEST(DrawEditModel, APeriodAlreadyInTheTableIsRefusedWhateverItsZeros)
{
    TestHome home;
    ImportDraws(home.store(), k22, "0002001 01 02 03 04 05\n2020002 06 07 08 09 10\n");
    DrawEditModel model(home.store());
    model.load(k22);
    const int row = model.appendRow();
    Fill(model, row,
        {QStringLiteral("2001"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
            QStringLiteral("5"), QString()});
    EXPECT_EQ(PostError(model, row),
        QStringLiteral("第3行“记录期号”列的期号2001与第1行的第0002001期是同一期，同一期不能存两次！"));
    model.setData(model.index(row, 0), QStringLiteral("2020003"));
    EXPECT_EQ(PostError(model, row), QString());

    // A posted row may not take another row's period, but may keep (and rewrite) its own.
    model.setData(model.index(0, 0), QStringLiteral("2020002"));
    EXPECT_TRUE(PostError(model, 0).contains(QStringLiteral("同一期不能存两次")));
    model.setData(model.index(0, 0), QStringLiteral("2001"));
    EXPECT_EQ(PostError(model, 0), QString());
    EXPECT_EQ(home.store().drawCount(k22), 3);
}

// A two-zone lottery's rows: 记录期号, the front columns, "后区1" …, 开奖日期. Each zone is checked
// on its own (the back zone's range is 1..L, and a back number may equal a front one); edits,
// deletions and the export carry the back numbers.
TEST(DrawEditModel, TwoZoneRowsAreCheckedAndWrittenPerZone)
{
    TestHome home;
    const QString dlt = QStringLiteral("大乐透");
    DrawEditModel model(home.store());
    model.load(dlt);
    ASSERT_EQ(model.columnCount(), 9);
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c)
        headers << model.headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers.join(QLatin1Char(' ')), QStringLiteral("记录期号 1 2 3 4 5 后区1 后区2 开奖日期"));

    const int row = model.appendRow();
    struct Case {
        QStringList cells;
        const char *message;
    };
    const Case cases[] = {
        {{"2007001", "1", "2", "3", "4", "36", "1", "2", ""}, "第1行“5”列的号码36不在1到35之间！"},
        {{"2007001", "1", "2", "3", "4", "1", "1", "2", ""}, "第1行“5”列的号码1与第1个号码重复！"},
        {{"2007001", "1", "2", "3", "4", "5", "", "2", ""}, "第1行“后区1”列不能为空！"},
        {{"2007001", "1", "2", "3", "4", "5", "1", "y", ""}, "第1行“后区2”列的“y”不是一个整数！"},
        {{"2007001", "1", "2", "3", "4", "5", "1", "13", ""}, "第1行“后区2”列的号码13不在1到12之间！"},
        {{"2007001", "1", "2", "3", "4", "5", "0", "2", ""}, "第1行“后区1”列的号码0不在1到12之间！"},
        {{"2007001", "1", "2", "3", "4", "5", "9", "9", ""}, "第1行“后区2”列的号码9与第1个后区号码重复！"},
        {{"2007001", "1", "2", "3", "4", "5", "1", "2", "2007-05-28 20:30"}, "第1行“开奖日期”列最多10个字符！"},
    };
    for (const Case &c : cases) {
        Fill(model, row, c.cells);
        EXPECT_EQ(PostError(model, row), QString::fromUtf8(c.message));
        EXPECT_TRUE(model.isPending(row));
    }
    EXPECT_EQ(home.store().drawCount(dlt), 0);

    // 07 in the front and 07 in the back is a real draw.
    Fill(model, row, {"2007001", "6", "7", "22", "29", "34", "12", "7", "2007-05-28"});
    EXPECT_EQ(PostError(model, row), QString());
    auto stored = home.store().readDraws(dlt);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].numbers, (std::vector<int> {6, 7, 22, 29, 34}));
    EXPECT_EQ(stored[0].back, (std::vector<int> {12, 7}));
    EXPECT_EQ(stored[0].date, QStringLiteral("2007-05-28"));

    // Editing a back number updates it; the export writes "+" and the back numbers.
    model.setData(model.index(row, 7), QStringLiteral("3"));
    model.post(row);
    EXPECT_EQ(home.store().readDraws(dlt)[0].back, (std::vector<int> {12, 3}));
    const int second = model.appendRow();
    Fill(model, second, {"2007002", "1", "2", "3", "4", "5", "1", "2", ""});
    model.post(second);
    EXPECT_EQ(HistoryText(model.postedDraws()),
        QByteArray("2007001 06 07 22 29 34 + 12 03 \r\n2007002 01 02 03 04 05 + 01 02 \r\n"));
    // Loaded again, the back columns show what is stored.
    model.load(dlt);
    EXPECT_EQ(model.data(model.index(0, 6)).toString(), QStringLiteral("12"));
    EXPECT_EQ(model.data(model.index(0, 8)).toString(), QStringLiteral("2007-05-28"));
    model.deleteRow(0);
    stored = home.store().readDraws(dlt);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].back, (std::vector<int> {1, 2}));
}
