#include "common/errors.h"
#include "common/random_source.h"
#include "data/combination.h"
#include "support/test_home.h"
#include "tickets/intersection.h"
#include "tickets/ticket_file.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

using namespace lumaro;

namespace {

std::vector<int> RowOf(const TicketSet &tickets, qint64 r)
{
    std::vector<int> numbers(static_cast<std::size_t>(tickets.width()));
    tickets.numbers(r, numbers.data());
    return numbers;
}

std::vector<std::vector<int>> Rows(const TicketSet &tickets)
{
    std::vector<std::vector<int>> all;
    for (qint64 r = 0; r < tickets.rowCount(); ++r)
        all.push_back(RowOf(tickets, r));
    return all;
}

class IntersectionTest : public ::testing::Test {
protected:
    QString file(const QString &name, const QByteArray &content)
    {
        const QString path = dir.filePath(name);
        test::WriteFile(path, content);
        return path;
    }
    IntersectionResult run(CombinationTable &table, const QStringList &files, int t1 = 0, int t2 = 0)
    {
        return RunIntersection(table, {files, t1, t2});
    }
    QTemporaryDir dir;
};

} // namespace

TEST(CombinationTableTest, EveryTicketLandsOnItsOwnRank)
{
    // 11选5 completely: a file with every ticket gives every counter exactly one.
    CombinationTable small(LotteryKind::Lotto, 11, 5);
    QByteArray all;
    std::vector<int> c {1, 2, 3, 4, 5};
    do {
        for (int v : c)
            all += QByteArray::number(v) + ' ';
        all += '\n';
    } while (NextCombination(c.data(), 11, 5));
    SkippedLines skipped;
    small.addContent(all, QStringLiteral("all.txt"), skipped);
    EXPECT_EQ(skipped.lines, 0);
    for (qint64 r = 1; r <= 462; ++r)
        ASSERT_EQ(small.count(r), 1) << r;
    EXPECT_EQ(small.select(1, 1).rowCount(), 462);

    // 36选7: tickets at random ranks, and the first and last tickets, in one file.
    CombinationTable big(LotteryKind::Lotto, 36, 7);
    EXPECT_EQ(big.size(), 8347680);
    EXPECT_LE(big.memoryBytes(), 20 * 1024 * 1024);
    RandomSource random(7);
    std::set<qint64> ranks {1, 8347680};
    while (ranks.size() < 300)
        ranks.insert(random.between(1, 8347680));
    QByteArray content;
    for (auto it = ranks.rbegin(); it != ranks.rend(); ++it) {
        std::vector<int> ticket(7);
        CombinationUnrank(*it, 36, 7, ticket.data());
        content += TicketLine(ticket.data(), 7) + "\r\n";
    }
    big.addContent(content, QStringLiteral("some.txt"), skipped);
    for (qint64 rank : ranks)
        ASSERT_EQ(big.count(rank), 1) << rank;
    const TicketSet listed = big.select(1, 1);
    ASSERT_EQ(listed.rowCount(), 300);
    qint64 r = 0;
    for (qint64 rank : ranks) {
        std::vector<int> ticket(7);
        CombinationUnrank(rank, 36, 7, ticket.data());
        EXPECT_EQ(RowOf(listed, r++), ticket);
    }
}

TEST(CombinationTableTest, RefusesLotteriesItCannotServe)
{
    EXPECT_THROW(CombinationTable(LotteryKind::Digit, 10, 3), InputError);
    EXPECT_THROW(CombinationTable(LotteryKind::Lotto, 5, 6), InputError);
    EXPECT_THROW(CombinationTable(LotteryKind::Lotto, 80, 20), CapacityError);
    // M other than 5..7 works too.
    CombinationTable three(LotteryKind::Lotto, 10, 3);
    SkippedLines skipped;
    three.addContent("08 09 10\r\n", QStringLiteral("x.txt"), skipped);
    EXPECT_EQ(three.count(120), 1);
}

TEST(CombinationTableTest, TokenRulesOfATicketLine)
{
    CombinationTable table(LotteryKind::Lotto, 11, 5);
    SkippedLines skipped;
    // Commas, "+", tabs, runs of blanks, CR LF, a byte-order mark, and anything after the
    // fifth token (even text) are all fine; blank lines are no tickets and no skipped lines.
    table.addContent("\xEF\xBB\xBF"
                     "01,02,03,04,05+06\r\n"
                     "   \r\n"
                     "  1 2\t3 ,4, 6 extra words\n"
                     ",,01++02 03 04 07",
        QStringLiteral("a.txt"), skipped);
    EXPECT_EQ(skipped.lines, 0);
    EXPECT_EQ(
        Rows(table.select(1, 1)), (std::vector<std::vector<int>> {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 6}, {1, 2, 3, 4, 7}}));

    // A line of a result list (and of a list saved from the memo, with its trailing blanks)
    // is read as its ticket, not as serial + four numbers.
    table.clear();
    table.addContent(
        "0000001    02 03 04 05 06 \r\n0000002    02 03 04 05 07  \r\n", QStringLiteral("temp.txt"), skipped);
    EXPECT_EQ(skipped.lines, 0);
    EXPECT_EQ(Rows(table.select(1, 1)), (std::vector<std::vector<int>> {{2, 3, 4, 5, 6}, {2, 3, 4, 5, 7}}));
}

TEST(CombinationTableTest, LinesWithoutATicketAreSkippedAndCounted)
{
    CombinationTable table(LotteryKind::Lotto, 11, 5);
    SkippedLines skipped;
    table.addContent("01 02 03 04 05\n"
                     "05 04 03 02 01\n" // not ascending
                     "01 02 03 04 12\n" // beyond N
                     "00 01 02 03 04\n" // zero
                     "01 01 02 03 04\n" // repeated number
                     "01 02 03 04\n" // too few
                     "-1 02 03 04 05\n" // negative
                     "1 2 3 4 6\n",
        QStringLiteral("mixed.txt"), skipped);
    EXPECT_EQ(skipped.fileName, QStringLiteral("mixed.txt"));
    EXPECT_EQ(skipped.lines, 6);
    EXPECT_EQ(skipped.firstLine, 2);
    EXPECT_EQ(table.select(1, 1).rowCount(), 2);

    const QString message = SkippedLinesMessage({skipped}, 11, 5);
    EXPECT_TRUE(message.contains(QStringLiteral("mixed.txt：6行，第一处在第2行"))) << message.toStdString();
    EXPECT_TRUE(SkippedLinesMessage({}, 11, 5).isEmpty());
}

TEST(CombinationTableTest, ATokenThatIsNoNumberStopsTheFile)
{
    CombinationTable table(LotteryKind::Lotto, 11, 5);
    SkippedLines skipped;
    for (const QByteArray &bad :
        {QByteArray("01 02 x3 04 05\n"), QByteArray("01 02 03 04 9999999999\n"), QByteArray("01 - 02 03 04 05\n")}) {
        try {
            table.addContent("01 02 03 04 05\n" + bad, QStringLiteral("bad.txt"), skipped);
            ADD_FAILURE() << bad.constData();
        } catch (const ConversionError &error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("bad.txt第2行"))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QStringLiteral("不是一个有效的整形值")));
        }
    }
}

TEST_F(IntersectionTest, ToleranceWindowOverSeveralFiles)
{
    CombinationTable table(LotteryKind::Lotto, 11, 5);
    // Two files without a common ticket.
    const QString a = file(QStringLiteral("a.txt"), "01 02 03 04 05\r\n01 02 03 04 06\r\n");
    const QString b = file(QStringLiteral("b.txt"), "01 02 03 04 07\r\n");
    EXPECT_EQ(run(table, {a, b}).tickets.rowCount(), 0);
    EXPECT_EQ(run(table, {a, b}, 0, 1).tickets.rowCount(), 3);

    // A ticket twice in one file counts once; in two files twice.
    const QString twice = file(QStringLiteral("twice.txt"), "01 02 03 04 07\r\n01 02 03 04 08\r\n01 02 03 04 07\r\n");
    IntersectionResult r = run(table, {b, twice});
    EXPECT_EQ(Rows(r.tickets), (std::vector<std::vector<int>> {{1, 2, 3, 4, 7}}));
    EXPECT_EQ(table.count(CombinationRank(std::vector<int> {1, 2, 3, 4, 7}.data(), 11, 5)), 2);

    // F = 3: with t1 = 0, t2 = 2 every ticket of any file; t1 = t2 = 1 those missing from
    // exactly one file; t1 = t2 = 3 the tickets of none (the rest of the lottery).
    const QString c = file(QStringLiteral("c.txt"), "01 02 03 04 05\r\n01 02 03 04 07\r\n");
    r = run(table, {a, twice, c}, 0, 2);
    EXPECT_EQ(Rows(r.tickets),
        (std::vector<std::vector<int>> {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 6}, {1, 2, 3, 4, 7}, {1, 2, 3, 4, 8}}));
    EXPECT_EQ(Rows(run(table, {a, twice, c}, 1, 1).tickets),
        (std::vector<std::vector<int>> {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 7}}));
    EXPECT_EQ(run(table, {a, twice, c}, 3, 3).tickets.rowCount(), 462 - 4);
    // Every run starts from clear counters.
    EXPECT_EQ(run(table, {a}).tickets.rowCount(), 2);
}

TEST_F(IntersectionTest, RefusedSettings)
{
    CombinationTable table(LotteryKind::Lotto, 11, 5);
    const QString a = file(QStringLiteral("a.txt"), "01 02 03 04 05\r\n");
    const auto message = [&](const IntersectionSettings &settings) {
        try {
            RunIntersection(table, settings);
        } catch (const InputError &error) {
            return error.message();
        }
        return QString();
    };
    EXPECT_EQ(message({{}, 0, 0}), QStringLiteral("请先导入大底文件！"));
    EXPECT_TRUE(message({{a, a}, 0, 3}).contains(QStringLiteral("0到2")));
    EXPECT_TRUE(message({{a, a}, -1, 0}).contains(QStringLiteral("0到2")));
    EXPECT_TRUE(message({{a, a}, 2, 1}).contains(QStringLiteral("大于")));
    QStringList many;
    for (int i = 0; i <= CombinationTable::kMaxFiles; ++i)
        many << a;
    EXPECT_TRUE(message({many, 0, 0}).contains(QStringLiteral("20000")));
    many.removeLast();
    EXPECT_EQ(run(table, many).tickets.rowCount(), 1); // 20000 files are still taken
    EXPECT_THROW(run(table, {dir.filePath(QStringLiteral("missing.txt"))}), IoError);
}

TEST_F(IntersectionTest, LargeFilesAcrossReadBlocksAndManyMarks)
{
    // 300000 distinct 36选7 tickets (6.3 MB, more than one read block and more marks than are
    // cleared one by one), then a file repeating a part of them, then a small file.
    CombinationTable table(LotteryKind::Lotto, 36, 7);
    QByteArray big;
    QByteArray part;
    std::vector<int> c {1, 2, 3, 4, 5, 6, 7};
    for (int i = 0; i < 300000; ++i) {
        const QByteArray line = TicketLine(c.data(), 7) + "\r\n";
        big += line;
        if (i % 3 == 0)
            part += line + line;
        NextCombination(c.data(), 36, 7);
    }
    const QString a = file(QStringLiteral("big.txt"), big);
    const QString b = file(QStringLiteral("part.txt"), part);
    const QString s = file(QStringLiteral("small.txt"), "01 02 03 04 05 06 07\r\n01 02 03 04 05 06 07\r\n");
    IntersectionResult r = run(table, {a, b, a});
    EXPECT_EQ(r.tickets.rowCount(), 100000);
    EXPECT_EQ(RowOf(r.tickets, 1), (std::vector<int> {1, 2, 3, 4, 5, 6, 10}));
    r = run(table, {a, b, a}, 1, 1);
    EXPECT_EQ(r.tickets.rowCount(), 200000);
    r = run(table, {a, s, b, s});
    EXPECT_EQ(r.tickets.rowCount(), 1);
    EXPECT_EQ(table.count(1), 4);
    EXPECT_TRUE(r.skipped.empty());

    // Line numbers of skipped lines and bad tokens count across blocks and halves.
    const QString skippedAtEnd = file(QStringLiteral("skipped.txt"), part + big + "07 06 05 04 03 02 01\r\n" + part);
    r = run(table, {skippedAtEnd});
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped.front().lines, 1);
    EXPECT_EQ(r.skipped.front().firstLine, 500001);
    EXPECT_EQ(r.tickets.rowCount(), 300000);
    const QString badAtEnd = file(QStringLiteral("bad.txt"), big + big + "01 02 03 04 05 06 七\r\n");
    try {
        run(table, {badAtEnd});
        ADD_FAILURE();
    } catch (const ConversionError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("bad.txt第600001行"))) << error.message().toStdString();
    }
}

TEST_F(IntersectionTest, ProgressPerFileAndCancel)
{
    CombinationTable table(LotteryKind::Lotto, 11, 5);
    const QString a = file(QStringLiteral("a.txt"), "01 02 03 04 05\r\n");
    const QString bad = file(QStringLiteral("bad.txt"), "01 02 03 04 05\r\n05 04 03 02 01\r\n");
    std::vector<qint64> steps;
    Progress progress;
    progress.report = [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, 3);
        steps.push_back(done);
    };
    const IntersectionResult r = RunIntersection(table, {{a, bad, a}, 0, 0}, progress);
    EXPECT_EQ(steps, (std::vector<qint64> {0, 1, 2, 3}));
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped.front().fileName, QStringLiteral("bad.txt"));
    EXPECT_EQ(r.skipped.front().firstLine, 2);

    std::atomic_bool cancel {true};
    progress.report = {};
    progress.cancel = &cancel;
    EXPECT_TRUE(RunIntersection(table, {{a}, 0, 0}, progress).cancelled);
}

TEST_F(IntersectionTest, ListsAreSavedAsTicketFilesTheIntersectionCountsAlike)
{
    // A result list with a byte order mark, the separators of other tools, and lines that hold
    // no ticket of 11选5.
    QByteArray list("\xEF\xBB\xBF"
                    "0000001    01 02 03 04 05 \r\n"
                    "1,2,3,4,6+11\n"
                    "   \r\n"
                    "01 02 03 04 99\r\n"
                    "-1 02 03 04 05\r\n"
                    "01 02 03 04\r\n"
                    "99999999999999999999 1 2 3 4 7\r\n"
                    "02 03 04 05 06");
    int numbers[5] = {};
    EXPECT_EQ(ReadListLine("  \r\n", 11, 5, numbers), ListLine::Empty);
    EXPECT_EQ(ReadListLine("0000012    07 08 09 10 11 ", 11, 5, numbers), ListLine::Ticket);
    EXPECT_EQ(numbers[0], 7);
    EXPECT_EQ(ReadListLine("07 08 09 10 11 号码", 11, 5, numbers), ListLine::Ticket);
    EXPECT_EQ(ReadListLine("号码 07 08 09 10 11", 11, 5, numbers), ListLine::NotTicket);

    QBuffer device(&list);
    device.open(QIODevice::ReadOnly);
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    SkippedLines skipped;
    EXPECT_EQ(WriteTicketFileFromList(saved, device, 11, 5, skipped), 4);
    EXPECT_EQ(skipped.lines, 3);
    EXPECT_EQ(skipped.firstLine, 4);
    const QByteArray tickets = test::ReadFile(saved);
    EXPECT_EQ(tickets, QByteArray("01 02 03 04 05\r\n01 02 03 04 06\r\n01 02 03 04 07\r\n02 03 04 05 06\r\n"));

    // The saved file gives the counts its list gave, and reads as a ticket file.
    CombinationTable table(LotteryKind::Lotto, 11, 5);
    const QString original = file(QStringLiteral("list.txt"), list);
    const IntersectionResult a = run(table, {original, saved});
    EXPECT_EQ(Rows(a.tickets).size(), 4u);
    const LoadedTickets loaded = ReadTicketFile(saved, 5);
    EXPECT_EQ(Rows(loaded.tickets), Rows(a.tickets));
}
