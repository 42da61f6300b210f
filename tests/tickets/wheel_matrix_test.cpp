#include "common/errors.h"
#include "support/test_home.h"
#include "tickets/wheel_matrix.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

QString Refusal(const QByteArray &content, const WheelParams &p)
{
    try {
        ParseWheelMatrix(content, p, QStringLiteral("选三型09码中3保2.txt"));
    } catch (const InputError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(WheelMatrixNames, MatrixAndTicketFileNames)
{
    WheelSettings s; // the window's initial settings
    EXPECT_EQ(WheelMatrixFileName(s), QStringLiteral("选六型10码中6保5.txt"));
    EXPECT_EQ(WheelTicketFileName(s), QStringLiteral("选六型10码中6保5投注号码.txt"));

    WheelSettings banker;
    banker.bankerKind = true;
    banker.base = 9;
    banker.bankers = 1;
    banker.type = 7;
    EXPECT_EQ(WheelMatrixParams(banker), (WheelParams {9, 6, 5, 4}));
    EXPECT_EQ(WheelMatrixFileName(banker), QStringLiteral("选六型09码中5保4.txt"));
    EXPECT_EQ(WheelTicketFileName(banker), QStringLiteral("选七型1胆9拖中6保5投注号码.txt"));

    // Bankers count only in the banker kind.
    WheelSettings balanced = banker;
    balanced.bankerKind = false;
    EXPECT_EQ(WheelMatrixFileName(balanced), QStringLiteral("选七型09码中6保5.txt"));

    s.base = 5;
    s.type = 3;
    s.match = 3;
    s.guarantee = 2;
    EXPECT_EQ(WheelMatrixFileName(s), QStringLiteral("选三型05码中3保2.txt"));
    // Two bankers on a ticket of two leave no matrix ticket size with a numeral.
    banker.type = 2;
    banker.bankers = 2;
    EXPECT_TRUE(WheelMatrixFileName(banker).isEmpty());
}

TEST(WheelMatrixFile, ReadingStopsAtAWordAndSkipsCommas)
{
    const WheelParams p {9, 3, 3, 2};
    const QByteArray content = "1 2 3\r\n ,4, 5,6\r\n\r\nsee below 1 2\r\n7 8 9\r\n";
    const std::vector<WheelMask> tickets = ParseWheelMatrix(content, p, QStringLiteral("m.txt"));
    ASSERT_EQ(tickets.size(), 2u);
    EXPECT_EQ(WheelPositions(tickets[0]), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(WheelPositions(tickets[1]), (std::vector<int> {4, 5, 6}));
    // An empty line in the middle does not cut the matrix short.
    EXPECT_EQ(ParseWheelMatrix("1 2 3\n\n4 5 6\n", p, QString()).size(), 2u);
}

TEST(WheelMatrixFile, ContentThatDoesNotMatchTheNameIsRefusedWithFileAndLine)
{
    const WheelParams p {9, 3, 3, 2};
    EXPECT_TRUE(Refusal("1 2 3\n4 5 6\n", p).isEmpty());
    const QString above = Refusal("1 2 3\n4 5 10\n", p);
    EXPECT_TRUE(above.contains(QStringLiteral("选三型09码中3保2.txt"))) << above.toStdString();
    EXPECT_TRUE(above.contains(QStringLiteral("第 2 行"))) << above.toStdString();
    EXPECT_TRUE(above.contains(QStringLiteral("10")));
    EXPECT_TRUE(Refusal("1 2 25\n", p).contains(QStringLiteral("第 1 行"))); // no edit at all for 25
    EXPECT_FALSE(Refusal("0 1 2\n", p).isEmpty());
    EXPECT_FALSE(Refusal("1 2\n", p).isEmpty()); // too few
    EXPECT_FALSE(Refusal("1 2 3 4\n", p).isEmpty()); // too many
    EXPECT_FALSE(Refusal("1 2 2\n", p).isEmpty()); // a position twice
    EXPECT_FALSE(Refusal("1 2 x\n", p).isEmpty()); // a word after a number
}

TEST(WheelMatrixFile, WrittenFilesReadBack)
{
    QTemporaryDir dir;
    const WheelParams p {7, 3, 2, 2};
    const std::vector<WheelMask> tickets = {WheelMaskOf({1, 2, 4}), WheelMaskOf({3, 5, 7})};
    const QString path = dir.filePath(WheelMatrixFileName(p));
    WriteWheelMatrix(path, tickets);
    EXPECT_EQ(test::ReadFile(path), QByteArray("01 02 04\r\n03 05 07\r\n"));
    EXPECT_EQ(ReadWheelMatrix(path, p), tickets);
    EXPECT_THROW(ReadWheelMatrix(dir.filePath(QStringLiteral("none.txt")), p), IoError);
    EXPECT_THROW(ReadWheelMatrix(QStringLiteral("/dev/zero"), p), InputError);
}

TEST(WheelApply, NumbersAreCheckedAsTexts)
{
    EXPECT_EQ(
        WheelNumberValues({QStringLiteral(" 7"), QStringLiteral("07"), QStringLiteral("00"), QStringLiteral("99")}),
        (std::vector<int> {7, 7, 0, 99}));
    auto message = [](const QStringList &texts) {
        try {
            WheelNumberValues(texts);
        } catch (const InputError &e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(message({QStringLiteral("1"), QString()}), QStringLiteral("请在下面号码框中输入正确的号码数字！"));
    EXPECT_EQ(
        message({QStringLiteral("1"), QStringLiteral("a")}), QStringLiteral("请在下面号码框中输入正确的号码数字！"));
    EXPECT_EQ(message({QStringLiteral("5 "), QStringLiteral(" 5")}), QStringLiteral("请不要输入重复的号码数字！"));
    for (const QString &bad : {QStringLiteral("-5"), QStringLiteral("100"), QStringLiteral("１２")})
        EXPECT_EQ(message({QStringLiteral("1"), bad}), QStringLiteral("请在下面号码框中输入正确的号码数字！"))
            << qPrintable(bad);
    // A non-number is reported before a repeat.
    EXPECT_EQ(message({QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("?")}),
        QStringLiteral("请在下面号码框中输入正确的号码数字！"));
}

TEST(WheelApply, TicketsTakeTheBaseNumbersAndTheBankersSorted)
{
    const std::vector<WheelMask> matrix = {WheelMaskOf({1, 2}), WheelMaskOf({2, 3})};
    const std::vector<std::vector<int>> rows = ApplyWheel(matrix, {30, 5, 0}, {17});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<int> {5, 17, 30}));
    EXPECT_EQ(rows[1], (std::vector<int> {0, 5, 17}));
    EXPECT_EQ(WheelTicketText(rows), QByteArray("05 17 30 \r\n00 05 17 \r\n"));
    EXPECT_THROW(ApplyWheel({WheelMaskOf({1, 4})}, {1, 2, 3}, {}), InputError);

    // From the texts: B base numbers, then the D bankers of the banker kind, and no other count.
    QTemporaryDir dir;
    WheelSettings s;
    s.base = 3;
    s.bankers = 2;
    s.bankerKind = true;
    s.type = 4;
    s.match = 4;
    s.guarantee = 3;
    const QString path = dir.filePath(WheelMatrixFileName(s));
    test::WriteFile(path, "1 2\r\n2 3\r\n");
    EXPECT_EQ(WheelTickets(s, {"30", "5", "0", "17", "8"}, path)[0], (std::vector<int> {5, 8, 17, 30}));
    EXPECT_THROW(WheelTickets(s, {"30", "5", "0", "17"}, path), InputError);
    EXPECT_THROW(WheelTickets(s, {"30", "5", "0", "17", "8", "9"}, path), InputError);
}

TEST(WheelApply, AComputedMatrixIsVerifiedAndSaved)
{
    QTemporaryDir dir;
    const WheelParams p {9, 5, 4, 4};
    const QString path = dir.filePath(WheelMatrixFileName(p));
    const ComputedWheel computed = ComputeWheelMatrix(p, path, 2.0, 3);
    ASSERT_FALSE(computed.cancelled);
    EXPECT_TRUE(VerifyWheel(p, computed.tickets).holds);
    EXPECT_EQ(ReadWheelMatrix(path, p), computed.tickets);

    std::atomic_bool cancel {true};
    Progress progress;
    progress.cancel = &cancel;
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    EXPECT_TRUE(ComputeWheelMatrix(p, other, 2.0, 3, progress).cancelled);
    EXPECT_FALSE(QFileInfo::exists(other));
    EXPECT_THROW(ComputeWheelMatrix({9, 5, 4, 6}, other, 1.0, 3), InputError);
}

// Every matrix shipped with the program reads under its own name and keeps its promise.
TEST(WheelShippedSet, EveryShippedMatrixHolds)
{
    const QRegularExpression name(QStringLiteral("^选([一二三四五六七])型(\\d\\d)码中(\\d)保(\\d)\\.txt$"));
    const QString numerals = QStringLiteral("一二三四五六七");
    int files = 0;
    QDirIterator it(QStringLiteral(":/home/旋转矩阵"), QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString fileName = QFileInfo(path).fileName();
        SCOPED_TRACE(fileName.toStdString());
        const QRegularExpressionMatch m = name.match(fileName);
        ASSERT_TRUE(m.hasMatch());
        const WheelParams p {m.captured(2).toInt(), int(numerals.indexOf(m.captured(1))) + 1, m.captured(3).toInt(),
            m.captured(4).toInt()};
        ASSERT_TRUE(WheelParamsProblem(p).isEmpty());
        const std::vector<WheelMask> tickets = ReadWheelMatrix(path, p);
        ASSERT_FALSE(tickets.empty());
        EXPECT_GE(int(tickets.size()), WheelSizeBounds(p).lower);
        EXPECT_TRUE(VerifyWheel(p, tickets).holds);
        ++files;
    }
    EXPECT_GT(files, 0);
}
