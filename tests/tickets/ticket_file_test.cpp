#include "common/errors.h"
#include "support/test_home.h"
#include "tickets/ticket_file.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

std::vector<int> RowOf(const TicketSet &set, qint64 r)
{
    std::vector<int> out(set.width());
    set.numbers(r, out.data());
    return out;
}

} // namespace

TEST(TicketFile, LineForms)
{
    const int t[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(TicketLine(t, 5), QByteArray("01 02 03 04 05"));
    EXPECT_EQ(ResultListLine(1, t, 5), QByteArray("0000001    01 02 03 04 05 \r\n"));
    EXPECT_EQ(ResultListLine(12345678, t, 1), QByteArray("12345678    01 \r\n"));
}

TEST(TicketFile, ResultListAndTicketFileOfAliveRows)
{
    QTemporaryDir dir;
    TicketSet set = TicketSet::lexicographic(11, 5);
    for (qint64 r = 0; r < set.rowCount(); ++r)
        set.setState(r, r < 2 ? 0 : 1);
    const QString list = dir.filePath(QStringLiteral("temp.txt"));
    EXPECT_EQ(WriteResultList(list, set), 2);
    EXPECT_EQ(test::ReadFile(list), QByteArray("0000001    01 02 03 04 05 \r\n0000002    01 02 03 04 06 \r\n"));
    const QString tickets = dir.filePath(QStringLiteral("t.txt"));
    EXPECT_EQ(WriteTicketFile(tickets, set), 2);
    EXPECT_EQ(test::ReadFile(tickets), QByteArray("01 02 03 04 05\r\n01 02 03 04 06\r\n"));

    // A cancelled write leaves the earlier file as it was.
    std::atomic_bool cancel {true};
    Progress progress;
    progress.cancel = &cancel;
    WriteResultList(list, TicketSet::lexicographic(11, 5), progress);
    EXPECT_EQ(test::ReadFile(list).count('\n'), 2);
}

TEST(TicketFile, MemoBackToTicketFile)
{
    EXPECT_EQ(TicketFileFromMemo(
                  {QStringLiteral("0000001    01 02 03 04 05 "), QStringLiteral("0000002    01 02 03 04 06 ")}, true),
        QByteArray("01 02 03 04 05\r\n01 02 03 04 06\r\n"));
    EXPECT_EQ(TicketFileFromMemo({QStringLiteral(" 01 02 03 "), QString()}, false), QByteArray("01 02 03\r\n"));
}

TEST(TicketFile, ReadingCollapsesOnlyConsecutiveRepeatsAndStopsAtABlankLine)
{
    const QByteArray content
        = "01 02 03 04 05\r\n01 02 03 04 05\r\n07 08 09 10 11\r\n01 02 03 04 05\r\n  \r\n02 03 04 05 06\r\n";
    LoadedTickets loaded = ParseTicketFile(content, 5, QStringLiteral("a.txt"));
    ASSERT_EQ(loaded.tickets.rowCount(), 3);
    EXPECT_EQ(RowOf(loaded.tickets, 2), (std::vector<int> {1, 2, 3, 4, 5}));
    EXPECT_EQ(loaded.fileLines, 6);
    EXPECT_TRUE(loaded.balls[11]);
    EXPECT_FALSE(loaded.balls[6]);

    TicketFileOptions keepAll;
    keepAll.collapseRepeats = false;
    keepAll.stopAtBlankLine = false;
    loaded = ParseTicketFile(content, 5, QStringLiteral("a.txt"), keepAll);
    EXPECT_EQ(loaded.tickets.rowCount(), 5);
    EXPECT_EQ(RowOf(loaded.tickets, 4), (std::vector<int> {2, 3, 4, 5, 6}));

    EXPECT_TRUE(ParseTicketFile(QByteArray(), 5, QStringLiteral("e.txt")).tickets.isEmpty());
    // Numbers are read in file order, not sorted.
    EXPECT_EQ(
        RowOf(ParseTicketFile("05 01 03\n", 3, QStringLiteral("u.txt")).tickets, 0), (std::vector<int> {5, 1, 3}));
}

TEST(TicketFile, BadSlotsNameTheFileAndLine)
{
    try {
        ParseTicketFile("01 02 03\n01 0x 03\n", 3, QStringLiteral("bad.txt"));
        FAIL();
    } catch (const ConversionError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("文件bad.txt第2行：'0x' 不是一个有效的整形值"));
    }
    EXPECT_THROW(ParseTicketFile("01 02\n", 3, QStringLiteral("short.txt")), ConversionError);
    TicketFileOptions small;
    small.maxTickets = 1;
    EXPECT_THROW(ParseTicketFile("01 02 03\n04 05 06\n", 3, QStringLiteral("big.txt"), small), InputError);
}
