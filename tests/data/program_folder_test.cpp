#include "data/lottery_store.h"
#include "data/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

TEST(ProgramFolder, HomeOptionThenEnvironmentThenDataHome)
{
    const ScopedEnv home("LUMARO_HOME", "/tmp/lumaro-env");
    const ScopedEnv data("XDG_DATA_HOME", "/tmp/xdg");
    EXPECT_EQ(ProgramFolder::resolve(QStringLiteral("/tmp/given")).path(), QStringLiteral("/tmp/given/"));
    EXPECT_EQ(ProgramFolder::resolve().path(), QStringLiteral("/tmp/lumaro-env/"));
    {
        const ScopedEnv noHome("LUMARO_HOME", QByteArray());
        EXPECT_EQ(ProgramFolder::resolve().path(), QStringLiteral("/tmp/xdg/Lumaro/"));
        const ScopedEnv noData("XDG_DATA_HOME", QByteArray());
        EXPECT_EQ(ProgramFolder::resolve().path(), QDir::homePath() + QStringLiteral("/.local/share/Lumaro/"));
    }
}

TEST(ProgramFolder, FirstStartCreatesTheLayoutAndKeepsUserFilesLater)
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path() + QStringLiteral("/新文件夹"));
    folder.ensureCreated();
    for (const char *sub : {"数据库", "附属", "图片", "帮助", "旋转矩阵"})
        EXPECT_TRUE(QFileInfo(folder.file(QString::fromUtf8(sub))).isDir()) << sub;
    EXPECT_TRUE(QFileInfo::exists(folder.databaseFile()));
    EXPECT_TRUE(folder.databaseFile().endsWith(QStringLiteral("/数据库/彩票数据.db")));

    // A second start keeps the database and any shipped file the user changed.
    {
        LotteryStore store(folder.databaseFile());
        store.dropLottery(QStringLiteral("中国体彩22选5"));
    }
    QFile about(folder.file(QStringLiteral("附属/about.txt")));
    ASSERT_TRUE(about.open(QIODevice::WriteOnly | QIODevice::Truncate));
    about.write("mine");
    about.close();
    // The guide of an older version is replaced, pictures and all.
    const QString guide = folder.helpFolder() + QStringLiteral("Lumaro帮助.html");
    ASSERT_TRUE(QFileInfo::exists(guide));
    ASSERT_TRUE(QFileInfo::exists(folder.helpFolder() + QStringLiteral("图片/00_主窗口.png")));
    QFile::setPermissions(guide, QFile::ReadOwner | QFile::WriteOwner);
    QFile old(guide);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
    old.write("old guide");
    old.close();
    folder.ensureCreated();
    QFile renewed(guide);
    ASSERT_TRUE(renewed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(renewed.readAll().contains("使用帮助"));
    LotteryStore store(folder.databaseFile());
    EXPECT_EQ(store.listLotteries().size(), 12);
    ASSERT_TRUE(about.open(QIODevice::ReadOnly));
    EXPECT_EQ(about.readAll(), QByteArray("mine"));
}

TEST(ProgramFolder, ANewFolderStartsWithTheBundledHistoriesAndAnOldOneKeepsItsDraws)
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path() + QStringLiteral("/home"));
    folder.ensureCreated();
    {
        LotteryStore store(folder.databaseFile());
        EXPECT_EQ(store.drawCount(QStringLiteral("中国福彩七乐彩")), 2921);
        EXPECT_EQ(store.drawCount(QStringLiteral("福彩3D")), 8374);
        EXPECT_EQ(store.drawCount(QStringLiteral("南粤风采36选7")), 0);
        const std::vector<StoredDraw> qlc = store.readDraws(QStringLiteral("中国福彩七乐彩"));
        EXPECT_EQ(qlc.front().period, QStringLiteral("2007001"));
        EXPECT_EQ(qlc.front().date, QStringLiteral("2007-01-03"));
        EXPECT_EQ(qlc.front().numbers, (std::vector<int> {4, 14, 19, 22, 26, 29, 30}));
        EXPECT_EQ(qlc.back().period, QStringLiteral("2026041"));
        // 双色球 with both zones, and its licence beside the database that stores it.
        const std::vector<StoredDraw> ssq = store.readDraws(QStringLiteral("双色球"));
        ASSERT_EQ(ssq.size(), 2513u);
        EXPECT_EQ(ssq.front().period, QStringLiteral("2003001"));
        EXPECT_EQ(ssq.front().date, QStringLiteral("2003-02-23"));
        EXPECT_EQ(ssq.front().numbers, (std::vector<int> {10, 11, 12, 13, 26, 28}));
        EXPECT_EQ(ssq.front().back, (std::vector<int> {11}));
        EXPECT_EQ(ssq.back().period, QStringLiteral("2020003"));
        EXPECT_EQ(ssq.back().back, (std::vector<int> {3}));
        EXPECT_EQ(store.drawCount(QStringLiteral("大乐透")), 0);
        const QString licence = folder.file(QStringLiteral("数据库/LICENSE-ssq.txt"));
        QFile text(licence);
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << licence.toStdString();
        const QByteArray content = text.readAll();
        EXPECT_TRUE(content.startsWith("MIT License"));
        QFile shipped(QStringLiteral(LUMARO_HISTORIES "/LICENSE-ssq.txt"));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
        EXPECT_EQ(content, shipped.readAll());
        // The user's changes stay: a later start never adds the bundled draws again.
        store.deleteDraw(QStringLiteral("中国福彩七乐彩"), qlc.back().rowId);
    }
    folder.ensureCreated();
    EXPECT_EQ(LotteryStore(folder.databaseFile()).drawCount(QStringLiteral("中国福彩七乐彩")), 2920);

    // A folder made without them keeps its empty lotteries.
    const ProgramFolder empty(dir.path() + QStringLiteral("/empty"));
    empty.ensureCreated(StartingDraws::None);
    empty.ensureCreated();
    EXPECT_EQ(LotteryStore(empty.databaseFile()).drawCount(QStringLiteral("中国福彩七乐彩")), 0);
    EXPECT_EQ(LotteryStore(empty.databaseFile()).drawCount(QStringLiteral("双色球")), 0);
    EXPECT_FALSE(QFileInfo::exists(empty.file(QStringLiteral("数据库/LICENSE-ssq.txt"))));
}

TEST(ProgramFolder, AFirstStartStoppedHalfWayLeavesNoDatabaseAndTheNextStartMakesIt)
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path() + QStringLiteral("/home"));
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("数据库"))));
    // What a start killed while writing leaves behind: a partial file under the temporary name.
    const QString partial = folder.databaseFile() + QStringLiteral(".new");
    QFile half(partial);
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    half.write("SQLite format 3");
    half.close();
    folder.ensureCreated();
    EXPECT_FALSE(QFileInfo::exists(partial));
    LotteryStore store(folder.databaseFile());
    EXPECT_EQ(store.listLotteries().size(), 13);
    EXPECT_EQ(store.drawCount(QStringLiteral("福彩3D")), 8374);
    EXPECT_EQ(store.drawCount(QStringLiteral("双色球")), 2513);
}

TEST(ProgramFolder, WheelMatricesOwnCopyFirstThenShipped)
{
    QTemporaryDir dir;
    ProgramFolder folder(dir.path());
    folder.ensureCreated();
    const QString name = QStringLiteral("选六型10码中6保5.txt");
    EXPECT_TRUE(folder.wheelMatrixFile(name).startsWith(QStringLiteral(":/")));
    EXPECT_TRUE(folder.wheelMatrixFile(QStringLiteral("选六型10码中9保5.txt")).isEmpty());
    EXPECT_TRUE(folder.wheelMatrixFile(QStringLiteral("../数据库/彩票数据.db")).isEmpty());
    EXPECT_TRUE(folder.wheelMatrixFile(QString()).isEmpty());

    QFile own(folder.wheelsFolder() + name);
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();
    EXPECT_EQ(folder.wheelMatrixFile(name), folder.wheelsFolder() + name);

    folder.setShippedWheelsUsed(false);
    EXPECT_EQ(folder.wheelMatrixFile(name), folder.wheelsFolder() + name);
    EXPECT_TRUE(folder.wheelMatrixFile(QStringLiteral("选六型11码中6保5.txt")).isEmpty());
}

TEST(ProgramFolder, ShellFolders)
{
    EXPECT_TRUE(ShellFolderPath(QStringLiteral("NoSuchFolder")).isEmpty());
    const ScopedEnv desktop("XDG_DESKTOP_DIR", "/tmp/my-desktop");
    EXPECT_FALSE(DesktopFolder().isEmpty());
}
