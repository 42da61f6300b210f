#include "common/errors.h"
#include "common/file_io.h"
#include "support/test_home.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumaro;

namespace {

// The message of the error reading path raises, or "" when it reads.
template<class Error>
QString Refusal(const QString &path, qint64 maxBytes = kMaxWholeFileBytes)
{
    try {
        ReadWholeFile(path, maxBytes);
    } catch (const Error &error) {
        return error.message();
    }
    return QString();
}

} // namespace

// Only a regular file is sure to end: devices, pipes and folders are refused before a byte is
// read (reading /dev/zero or a pipe nobody closes would never end).
TEST(ReadWholeFile, RefusesWhatIsNoRegularFile)
{
    EXPECT_TRUE(Refusal<InputError>(QStringLiteral("/dev/zero")).contains(QStringLiteral("不是普通文件")));
    EXPECT_TRUE(Refusal<InputError>(QStringLiteral("/dev/urandom")).contains(QStringLiteral("不是普通文件")));

    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(Refusal<InputError>(fifo),
        QStringLiteral("“%1”不是普通文件（是设备、管道或套接字），读取它可能永远不会结束，不能读取！").arg(fifo));
    EXPECT_EQ(Refusal<InputError>(dir.path()), QStringLiteral("“%1”是文件夹，不是文件，不能读取！").arg(dir.path()));
    EXPECT_EQ(Refusal<IoError>(dir.filePath(QStringLiteral("missing.txt"))),
        QStringLiteral("文件没找到：%1").arg(dir.filePath(QStringLiteral("missing.txt"))));

    // A link to a regular file is read like the file.
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    test::WriteFile(file, "01 02 03\r\n");
    ASSERT_TRUE(QFile::link(file, dir.filePath(QStringLiteral("link.txt"))));
    EXPECT_EQ(ReadWholeFile(dir.filePath(QStringLiteral("link.txt"))), QByteArray("01 02 03\r\n"));
}

TEST(ReadWholeFile, ReadsUpToItsLimitAndNoFurther)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    test::WriteFile(file, QByteArray(3000, 'x'));
    EXPECT_EQ(ReadWholeFile(file, 3000).size(), 3000);
    EXPECT_EQ(Refusal<InputError>(file, 2999), QStringLiteral("文件%1太大（超过2.9 KB），不能读取！").arg(file));
    EXPECT_EQ(Refusal<InputError>(file, 2048), QStringLiteral("文件%1太大（超过2 KB），不能读取！").arg(file));
    EXPECT_EQ(FileTooLargeText(file, 64LL << 20), QStringLiteral("文件%1太大（超过64 MB），不能读取！").arg(file));
    test::WriteFile(file, QByteArray());
    EXPECT_EQ(ReadWholeFile(file, 0), QByteArray());
}
