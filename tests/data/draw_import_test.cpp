#include "common/errors.h"
#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "support/test_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

const QString k22 = QStringLiteral("中国体彩22选5");

QString ImportError(LotteryStore &store, const QString &name, const QByteArray &content)
{
    try {
        ImportDraws(store, name, content);
    } catch (const InputError &error) {
        return error.message();
    }
    return QString();
}

} // namespace

TEST(DrawImport, CsvAndHistoryTextAreBothRead)
{
    TestHome home;
    ImportResult r = ImportDraws(home.store(), k22,
        "period,date,n1,n2,n3,n4,n5,extra\r\n"
        "2020001,2020-01-01,5,9,13,20,22,x\r\n"
        "2020002,2020/1/2,1,2,3,4,5\r\n"
        "\r\n");
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(r.alreadyStored, 0);
    r = ImportDraws(home.store(), k22, "2020002 01 02 03 04 05 \n2020003 22 21 20 19 18\n");
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(r.alreadyStored, 1);
    const auto draws = home.store().readDraws(k22);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].date, QStringLiteral("2020-01-01"));
    EXPECT_EQ(draws[1].date, QStringLiteral("2020-01-02"));
    EXPECT_EQ(draws[2].date, QString());
    EXPECT_EQ(draws[2].numbers, (std::vector<int> {22, 21, 20, 19, 18}));
}

TEST(DrawImport, OneBadRowRefusesTheWholeFileWithItsLine)
{
    TestHome home;
    const QByteArray head = "period,date,n1,n2,n3,n4,n5\n2020001,2020-01-01,1,2,3,4,5\n";
    struct Case {
        const char *row;
        const char *reason;
    };
    const Case cases[] = {
        {"2020002,2020-01-02,1,2,3,4,23", "不在1到22之间"},
        {"2020002,2020-01-02,1,2,3,4,4", "重复"},
        {"2020002,2020-01-02,1,2,3,4", "只有6项"},
        {"2020002,2020-02-30,1,2,3,4,5", "不是有效的日期"},
        {"2020002,,1,2,3,4,5", "不是有效的日期"},
        {"2020002,2020-01-02,1,2,x,4,5", "第3个号码“x”不是整数"},
        {"20200021,2020-01-02,1,2,3,4,5", "超过7位"},
        {"2020-02,2020-01-02,1,2,3,4,5", "不是一个整数"},
        {"2020001,2020-01-02,6,7,8,9,10", "与第2行重复"},
        {"2020002,2020-01-02,1,2,3,4,5.0", "不是整数"},
    };
    for (const Case &c : cases) {
        const QString message = ImportError(home.store(), k22, head + c.row + "\n2020009,2020-01-09,1,2,3,4,5\n");
        EXPECT_TRUE(message.startsWith(QStringLiteral("第3行："))) << c.row << " → " << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << c.row << " → " << message.toStdString();
    }
    EXPECT_EQ(home.store().drawCount(k22), 0);
    // Only the first line may be a header.
    EXPECT_TRUE(
        ImportError(home.store(), k22, "2020001 01 02 03 04 05\nperiod n1\n").startsWith(QStringLiteral("第2行：")));
    EXPECT_TRUE(ImportError(home.store(), k22, "2020001 01 02 03 04 05 06\n").contains(QStringLiteral("却有7项")));
    // The same period written with another count of leading zeros is the same draw.
    const QString repeated = ImportError(home.store(), k22, "020001 01 02 03 04 05\n0020001 06 07 08 09 10\n");
    EXPECT_TRUE(repeated.startsWith(QStringLiteral("第2行："))) << repeated.toStdString();
    EXPECT_TRUE(repeated.contains(QStringLiteral("与第1行重复"))) << repeated.toStdString();
}

TEST(DrawImport, DigitLotteryTakesDigitsWithRepetition)
{
    TestHome home;
    LUMARO_HISTORY_FILE(path, "fc3d.csv");
    const ImportResult r = ImportDrawFile(home.store(), QStringLiteral("福彩3D"), path);
    EXPECT_EQ(r.added, 8374);
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("福彩3D"));
    EXPECT_EQ(lottery.drawTable.period(0), 2002001);
    EXPECT_EQ(lottery.drawTable.cell(0, 1), 0);
    EXPECT_EQ(lottery.drawTable.cell(0, 2), 7);
    EXPECT_EQ(lottery.drawTable.cell(0, 3), 3);
    EXPECT_EQ(lottery.drawDates.back(), QStringLiteral("2025-08-15"));
    EXPECT_EQ(lottery.trendText.cell(lottery.drawCount - 1, 1), QStringLiteral("08 09 04"));
    EXPECT_TRUE(ImportError(home.store(), QStringLiteral("福彩3D"), "2030001 01 10 03\n")
                    .contains(QStringLiteral("不在0到9之间")));
}

TEST(DrawImport, QlcHistoryRoundTripsThroughImportAndExport)
{
    TestHome home;
    LUMARO_HISTORY_FILE(path, "qlc.csv");
    const QString qlc = QStringLiteral("中国福彩七乐彩");
    const ImportResult first = ImportDrawFile(home.store(), qlc, path);
    EXPECT_EQ(first.added, 2921);
    const ImportResult again = ImportDrawFile(home.store(), qlc, path);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.alreadyStored, 2921);

    const QString exported = home.path(QStringLiteral("附属/中国福彩七乐彩历史号码.txt"));
    EXPECT_EQ(ExportHistoryFile(home.store(), qlc, exported), 2921);
    const QByteArray text = lumaro::test::ReadFile(exported);

    // Every CSV row comes back as "period n1 … n7 " with two-digit numbers and CR LF.
    const QList<QByteArray> csvLines = lumaro::test::ReadFile(path).trimmed().split('\n');
    QByteArray expected;
    for (qsizetype i = 1; i < csvLines.size(); ++i) {
        const QList<QByteArray> fields = csvLines[i].trimmed().split(',');
        expected += fields[0] + ' ';
        for (int k = 2; k < 9; ++k)
            expected += (fields[k].size() == 1 ? "0" + fields[k] : fields[k]) + ' ';
        expected += "\r\n";
    }
    EXPECT_EQ(text, expected);
    EXPECT_TRUE(text.startsWith("2007001 04 14 19 22 26 29 30 \r\n"));

    // The exported text is itself importable into a fresh lottery of the same shape.
    LotteryDefinition copy;
    copy.name = QStringLiteral("七乐彩副本");
    copy.n = 30;
    copy.m = 7;
    home.store().createLottery(copy);
    EXPECT_EQ(ImportDrawFile(home.store(), copy.name, exported).added, 2921);
    EXPECT_EQ(HistoryText(home.store().readDraws(copy.name)), text);
}

TEST(DrawImport, ExportOfAnEmptyLotteryWritesAnEmptyFile)
{
    TestHome home;
    const QString out = home.path(QStringLiteral("附属/空.txt"));
    EXPECT_EQ(ExportHistoryFile(home.store(), k22, out), 0);
    EXPECT_TRUE(lumaro::test::ReadFile(out).isEmpty());
    EXPECT_THROW(ImportDrawFile(home.store(), k22, home.path(QStringLiteral("没有.csv"))), IoError);
}

TEST(DrawImport, APeriodStoredWithOtherLeadingZerosIsAlreadyStored)
{
    TestHome home;
    ImportDraws(home.store(), k22, "0026139 01 02 03 04 05\n2001 06 07 08 09 10\n");
    const ImportResult r = ImportDraws(home.store(), k22,
        "period,date,a,b,c,d,e\n"
        "26139,2026-01-01,1,2,3,4,5\n"
        "0002001,2020-01-01,6,7,8,9,10\n"
        "0026140,2026-01-02,11,12,13,14,15\n");
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(r.alreadyStored, 2);
    // The stored texts stay as they were written.
    QStringList periods;
    for (const StoredDraw &draw : home.store().readDraws(k22))
        periods << draw.period;
    EXPECT_EQ(periods, (QStringList {QStringLiteral("0026139"), QStringLiteral("0026140"), QStringLiteral("2001")}));
}

TEST(DrawImport, ProposedExportFileStaysOneFileOfItsFolder)
{
    EXPECT_EQ(HistoryFileName(QStringLiteral("中国福彩七乐彩")), QStringLiteral("中国福彩七乐彩历史号码.txt"));
    const QString folder = QStringLiteral("/home/u/Lumaro/附属/");
    for (const char *name : {"../../x", "..", "a/b", "a\\b", "c:*?\"<>|", ".hidden", "a..b"}) {
        const QString file = HistoryFileName(QString::fromUtf8(name));
        EXPECT_FALSE(file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\'))) << name;
        EXPECT_FALSE(file.startsWith(QLatin1Char('.'))) << name;
        EXPECT_EQ(QFileInfo(QDir::cleanPath(folder + file)).absolutePath() + QLatin1Char('/'), folder) << name;
        EXPECT_TRUE(file.endsWith(QStringLiteral("历史号码.txt"))) << name;
    }
    EXPECT_EQ(HistoryFileName(QStringLiteral("../x")), QStringLiteral("___x历史号码.txt"));
    EXPECT_EQ(HistoryFileName(QStringLiteral("a..b")), QStringLiteral("a..b历史号码.txt"));
}

namespace {

const QString kSsq = QStringLiteral("双色球");
const QString kDlt = QStringLiteral("大乐透");

} // namespace

// The 双色球 and 大乐透 CSV forms (front columns then back columns after the date, whatever the
// header calls them) and the history text with "+" between the zones; the two zones may hold the
// same value.
TEST(DrawImport, TwoZoneCsvAndHistoryTextAreReadPerZone)
{
    TestHome home;
    ImportResult r = ImportDraws(home.store(), kSsq,
        "period,date,r1,r2,r3,r4,r5,r6,blue,note\n"
        "2003001,2003-02-23,10,11,12,13,26,28,11,x\n"
        "2003002,2003-02-27,4,9,19,20,21,26,12\n");
    EXPECT_EQ(r.added, 2);
    r = ImportDraws(home.store(), kSsq, "2003002 04 09 19 20 21 26 + 12 \r\n2003003 01 07 10 23 28 32+07\n");
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(r.alreadyStored, 1);
    auto draws = home.store().readDraws(kSsq);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].numbers, (std::vector<int> {10, 11, 12, 13, 26, 28}));
    EXPECT_EQ(draws[0].back, (std::vector<int> {11}));
    EXPECT_EQ(draws[1].date, QStringLiteral("2003-02-27"));
    EXPECT_EQ(draws[2].numbers, (std::vector<int> {1, 7, 10, 23, 28, 32}));
    EXPECT_EQ(draws[2].back, (std::vector<int> {7}));
    EXPECT_EQ(draws[2].date, QString());

    r = ImportDraws(home.store(), kDlt,
        "period,date,f1,f2,f3,f4,f5,b1,b2\n"
        "2007001,2007-05-28,6,15,22,29,34,12,2\n");
    EXPECT_EQ(r.added, 1);
    draws = home.store().readDraws(kDlt);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].numbers, (std::vector<int> {6, 15, 22, 29, 34}));
    EXPECT_EQ(draws[0].back, (std::vector<int> {12, 2})); // drawn order kept
    EXPECT_EQ(HistoryText(draws), QByteArray("2007001 06 15 22 29 34 + 12 02 \r\n"));
}

// Every kind of bad row, in either form: the line and the zone are named, and nothing of the
// file is written.
TEST(DrawImport, ABadTwoZoneRowRefusesTheWholeFileNamingItsZone)
{
    TestHome home;
    const QByteArray csvHead = "period,date,f1,f2,f3,f4,f5,b1,b2\n2020001,2020-01-01,1,2,3,4,5,1,2\n";
    const QByteArray textHead = "2020001 01 02 03 04 05 + 01 02\n";
    struct Case {
        QByteArray head;
        const char *row;
        const char *reason;
    };
    const Case cases[] = {
        {csvHead, "2020002,2020-01-02,1,2,3,4,5,1", "前区5个号码和后区2个号码，只有8项"},
        {csvHead, "2020002,2020-01-02,1,2,3,4,36,1,2", "前区的第5个号码36不在1到35之间"},
        {csvHead, "2020002,2020-01-02,1,2,3,4,4,1,2", "前区的号码4重复"},
        {csvHead, "2020002,2020-01-02,1,2,3,4,5,1,13", "后区的第2个号码13不在1到12之间"},
        {csvHead, "2020002,2020-01-02,1,2,3,4,5,0,2", "后区的第1个号码0不在1到12之间"},
        {csvHead, "2020002,2020-01-02,1,2,3,4,5,9,9", "后区的号码9重复"},
        {csvHead, "2020002,2020-01-02,1,2,3,4,5,1,b", "后区第2个号码“b”不是整数"},
        {textHead, "2020002 01 02 03 04 + 01 02", "前区应有5个号码，实有4个"},
        {textHead, "2020002 01 02 03 04 05 06 + 01 02", "前区应有5个号码，实有6个"},
        {textHead, "2020002 01 02 03 04 05 + 01", "后区应有2个号码，实有1个"},
        {textHead, "2020002 01 02 03 04 05 + 01 02 03", "后区应有2个号码，实有3个"},
        {textHead, "2020002 01 02 03 04 05 + 12 13", "后区的第2个号码13不在1到12之间"},
        {textHead, "2020002 01 02 03 04 05 + 05 05", "后区的号码5重复"},
        {textHead, "2020002 01 02 03 04 05 01 02", "“+”没有找到"},
        {textHead, "2020002 01 02 03 04 05 + 01 + 02", "“+”只能有一个"},
        {textHead, "+ 01 02", "“+”前面应有期号和前区5个号码"},
        {textHead, "2020002 01 02 x3 04 05 + 01 02", "前区第3个号码“x3”不是整数"},
    };
    for (const Case &c : cases) {
        const QString message = ImportError(home.store(), kDlt, c.head + c.row + "\n2020009 01 02 03 04 05 + 01 02\n");
        const int line = c.head == csvHead ? 3 : 2;
        EXPECT_TRUE(message.startsWith(QStringLiteral("第%1行：").arg(line)))
            << c.row << " → " << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << c.row << " → " << message.toStdString();
    }
    EXPECT_EQ(home.store().drawCount(kDlt), 0);

    // A lottery of one zone refuses a "+" line, in either form, and keeps what it had.
    ImportDraws(home.store(), k22, "2020001 01 02 03 04 05\n");
    for (const QByteArray &row : {QByteArray("2020002 01 02 03 04 + 05"), QByteArray("2020002 01 02 03 04 05 + 06"),
             QByteArray("2020002,2020-01-02,1,2,3,4,+,5")}) {
        const QString message = ImportError(home.store(), k22, "2020003 06 07 08 09 10\n" + row + '\n');
        EXPECT_TRUE(message.startsWith(QStringLiteral("第2行："))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("只有一个号码区"))) << message.toStdString();
    }
    EXPECT_EQ(home.store().drawCount(k22), 1);
}

// The whole shipped 双色球 history: imported, exported as "period front + back" lines, and the
// export imported again into a lottery of the same shape gives the same text.
TEST(DrawImport, SsqHistoryRoundTripsThroughImportAndExport)
{
    TestHome home;
    LUMARO_HISTORY_FILE(path, "ssq.csv");
    EXPECT_EQ(ImportDrawFile(home.store(), kSsq, path).added, 2513);
    const QString exported = home.path(QStringLiteral("附属/双色球历史号码.txt"));
    EXPECT_EQ(ExportHistoryFile(home.store(), kSsq, exported), 2513);
    const QByteArray text = lumaro::test::ReadFile(exported);

    const QList<QByteArray> csvLines = lumaro::test::ReadFile(path).trimmed().split('\n');
    QByteArray expected;
    for (qsizetype i = 1; i < csvLines.size(); ++i) {
        const QList<QByteArray> fields = csvLines[i].trimmed().split(',');
        expected += fields[0] + ' ';
        for (int k = 2; k < 9; ++k)
            expected += (k == 8 ? "+ " : "") + (fields[k].size() == 1 ? "0" + fields[k] : fields[k]) + ' ';
        expected += "\r\n";
    }
    EXPECT_EQ(text, expected);
    EXPECT_TRUE(text.startsWith("2003001 10 11 12 13 26 28 + 11 \r\n"));

    LotteryDefinition copy;
    copy.name = QStringLiteral("双色球副本");
    copy.kind = LotteryKind::TwoZone;
    copy.n = 33;
    copy.m = 6;
    copy.backN = 16;
    copy.backM = 1;
    home.store().createLottery(copy);
    EXPECT_EQ(ImportDrawFile(home.store(), copy.name, exported).added, 2513);
    EXPECT_EQ(HistoryText(home.store().readDraws(copy.name)), text);
    // Opened, the back zone comes beside the front one.
    OpenLottery lottery;
    lottery.open(home.store(), copy.name);
    EXPECT_EQ(lottery.drawCount, 2513);
    EXPECT_EQ(lottery.backTable.cell(0, 1), 11);
    EXPECT_EQ(lottery.gameTicketCount(), 17721088);
}
