#include "common/errors.h"
#include "data/backup.h"
#include "data/lottery_store.h"
#include "support/test_home.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

LotteryDefinition Lotto(const QString &name, int n, int m)
{
    LotteryDefinition d;
    d.name = name;
    d.n = n;
    d.m = m;
    d.drawTime = QStringLiteral("20:30");
    d.weekdays = QStringLiteral("135");
    return d;
}

DrawRow MakeDraw(const QString &period, std::vector<int> numbers, const QString &date = QStringLiteral("2020-01-01"))
{
    return DrawRow {period, std::move(numbers), date};
}

// Runs raw SQL on the database file through a separate connection, as another tool would.
bool RawExec(const QString &path, const QString &sql)
{
    bool ok;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        ok = query.exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return ok;
}

} // namespace

TEST(LotteryStore, NewDatabaseHoldsTheBuiltInLotteriesInOrder)
{
    TestHome home;
    const QStringList names = home.store().listLotteries();
    const QStringList expected {QStringLiteral("中国福彩七乐彩"), QStringLiteral("南粤风采36选7"),
        QStringLiteral("南粤风采26选5"), QStringLiteral("中国体彩22选5"), QStringLiteral("山东体彩11选5"),
        QStringLiteral("广东体彩11选5"), QStringLiteral("江西体彩11选5"), QStringLiteral("重庆体彩11选5"),
        QStringLiteral("福彩3D"), QStringLiteral("双色球"), QStringLiteral("大乐透"), QStringLiteral("排列3"),
        QStringLiteral("排列5")};
    EXPECT_EQ(names, expected);

    const LotteryDefinition qlc = home.store().readDefinition(QStringLiteral("中国福彩七乐彩"));
    EXPECT_EQ(qlc.kind, LotteryKind::Lotto);
    EXPECT_EQ(qlc.n, 30);
    EXPECT_EQ(qlc.m, 7);
    EXPECT_EQ(qlc.periodWidth, 7);
    EXPECT_EQ(home.store().readDefinition(QStringLiteral("广东体彩11选5")).periodWidth, 8);
    const LotteryDefinition fc3d = home.store().readDefinition(QStringLiteral("福彩3D"));
    EXPECT_EQ(fc3d.kind, LotteryKind::Digit);
    EXPECT_EQ(fc3d.n, 10);
    EXPECT_EQ(fc3d.m, 3);
    EXPECT_EQ(fc3d.backN, 0);
    EXPECT_EQ(fc3d.backM, 0);
    // The national games: two two-zone lotteries and two digit ones.
    const LotteryDefinition ssq = home.store().readDefinition(QStringLiteral("双色球"));
    EXPECT_EQ(ssq.kind, LotteryKind::TwoZone);
    EXPECT_EQ((std::vector<int> {ssq.n, ssq.m, ssq.backN, ssq.backM}), (std::vector<int> {33, 6, 16, 1}));
    EXPECT_EQ(ssq.weekdays, QStringLiteral("247"));
    const LotteryDefinition dlt = home.store().readDefinition(QStringLiteral("大乐透"));
    EXPECT_EQ(dlt.kind, LotteryKind::TwoZone);
    EXPECT_EQ((std::vector<int> {dlt.n, dlt.m, dlt.backN, dlt.backM}), (std::vector<int> {35, 5, 12, 2}));
    for (const char *digits : {"排列3", "排列5"}) {
        const LotteryDefinition d = home.store().readDefinition(QString::fromUtf8(digits));
        EXPECT_EQ(d.kind, LotteryKind::Digit) << digits;
        EXPECT_EQ(d.n, 10) << digits;
        EXPECT_EQ(d.m, digits[std::strlen(digits) - 1] - '0') << digits;
    }
    for (const QString &name : names)
        EXPECT_EQ(home.store().drawCount(name), 0) << name.toStdString();
}

TEST(LotteryStore, ListsOnlyDrawTablesAndKeepsCreationOrder)
{
    TestHome home;
    const QString db = home.folder().databaseFile();
    home.store().close();
    ASSERT_TRUE(RawExec(db, QStringLiteral("CREATE TABLE \"其他表\"(x integer)")));
    ASSERT_TRUE(RawExec(db, QStringLiteral("CREATE TABLE \"彩票号码表\"(x integer)"))); // no name before the suffix
    ASSERT_TRUE(RawExec(db, QStringLiteral("CREATE TABLE \"号码表\"(x integer)"))); // shorter than the suffix
    home.store().createLottery(Lotto(QStringLiteral("自选35选5"), 35, 5));
    const QStringList names = home.store().listLotteries();
    EXPECT_EQ(names.size(), 14);
    EXPECT_EQ(names.back(), QStringLiteral("自选35选5"));
    EXPECT_FALSE(names.contains(QStringLiteral("其他表")));
    EXPECT_FALSE(names.contains(QString()));
    home.store().dropLottery(QStringLiteral("中国体彩22选5"));
    EXPECT_FALSE(home.store().listLotteries().contains(QStringLiteral("中国体彩22选5")));
    EXPECT_THROW(home.store().readDefinition(QStringLiteral("中国体彩22选5")), InputError);
}

TEST(LotteryStore, HostileNamesStayInsideTheirOwnTables)
{
    TestHome home;
    home.store().appendDraws(QStringLiteral("中国体彩22选5"), {MakeDraw(QStringLiteral("2020001"), {1, 2, 3, 4, 5})});
    const QStringList hostile {
        QStringLiteral("a\"b"),
        QStringLiteral("x; DROP TABLE y"),
        QStringLiteral("it's 7"),
        QStringLiteral("中国体彩22选5\"--"),
        QStringLiteral("[x]`y`"),
        QStringLiteral(" lead"),
    };
    for (const QString &name : hostile) {
        const LotteryDefinition d = Lotto(name, 22, 5);
        if (name.startsWith(QLatin1Char(' '))) {
            EXPECT_THROW(home.store().createLottery(d), InputError);
            continue;
        }
        home.store().createLottery(d);
        home.store().appendDraws(name, {MakeDraw(QStringLiteral("2020002"), {5, 6, 7, 8, 9})});
        EXPECT_EQ(home.store().readDefinition(name).name, name);
        EXPECT_EQ(home.store().drawCount(name), 1);
        home.store().dropLottery(name);
    }
    // The neighbour whose name the last hostile name starts with is untouched.
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 1);
    EXPECT_EQ(home.store().listLotteries().size(), 13);
}

TEST(LotteryStore, CreateRefusesBadDefinitionsAndDuplicates)
{
    TestHome home;
    EXPECT_THROW(home.store().createLottery(Lotto(QStringLiteral("中国福彩七乐彩"), 30, 7)), InputError);
    EXPECT_THROW(home.store().createLottery(Lotto(QString(), 30, 7)), InputError);
    EXPECT_THROW(home.store().createLottery(Lotto(QStringLiteral("一二三四五六七八九十一二三四五六七八九十一"), 30, 7)),
        InputError);
    EXPECT_THROW(home.store().createLottery(Lotto(QStringLiteral("x"), 5, 6)), InputError);
    EXPECT_THROW(home.store().createLottery(Lotto(QStringLiteral("x"), 5, 0)), InputError);
    LotteryDefinition badDays = Lotto(QStringLiteral("x"), 5, 3);
    badDays.weekdays = QStringLiteral("81");
    EXPECT_THROW(home.store().createLottery(badDays), InputError);
    // The back zone of a two-zone lottery has checks of its own.
    struct BackCase {
        int backN;
        int backM;
        const char *message;
    };
    const BackCase backCases[] = {
        {16, 0, "后区选择号码数至少为1！"},
        {0, 1, "后区号码总数应在1到99之间！"},
        {100, 1, "后区号码总数应在1到99之间！"},
        {3, 4, "后区选择号码数不能大于后区号码总数！"},
        {20, 11, "后区选择号码数最多为10！"},
    };
    for (const BackCase &c : backCases) {
        LotteryDefinition twoZone = Lotto(QStringLiteral("双区"), 33, 6);
        twoZone.kind = LotteryKind::TwoZone;
        twoZone.backN = c.backN;
        twoZone.backM = c.backM;
        try {
            home.store().createLottery(twoZone);
            ADD_FAILURE() << c.message;
        } catch (const InputError &error) {
            EXPECT_EQ(error.message(), QString::fromUtf8(c.message));
        }
    }
    EXPECT_THROW(home.store().createLottery(Lotto(QStringLiteral("双色球"), 33, 6)), InputError);
    EXPECT_EQ(home.store().listLotteries().size(), 13);
    LotteryDefinition digits = Lotto(QStringLiteral("排列五"), 10, 5);
    digits.kind = LotteryKind::Digit;
    home.store().createLottery(digits); // digits may exceed N in count
    EXPECT_EQ(home.store().readDefinition(QStringLiteral("排列五")).kind, LotteryKind::Digit);
}

TEST(LotteryStore, DrawsAreReadInTextOrderOfThePeriod)
{
    TestHome home;
    const QString name = QStringLiteral("山东体彩11选5");
    home.store().appendDraws(name,
        {MakeDraw(QStringLiteral("999"), {1, 2, 3, 4, 5}), MakeDraw(QStringLiteral("1000"), {5, 4, 3, 2, 1}),
            MakeDraw(QStringLiteral("26040101"), {11, 10, 9, 8, 7})});
    const auto draws = home.store().readDraws(name);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].period, QStringLiteral("1000"));
    EXPECT_EQ(draws[1].period, QStringLiteral("26040101"));
    EXPECT_EQ(draws[2].period, QStringLiteral("999"));
    EXPECT_EQ(draws[0].numbers, (std::vector<int> {5, 4, 3, 2, 1})); // stored order, not sorted
}

TEST(LotteryStore, CapDeletesExactlyTheOldestRows)
{
    TestHome home;
    const QString name = QStringLiteral("中国体彩22选5");
    std::vector<DrawRow> rows;
    for (int i = 0; i < 20001; ++i)
        rows.push_back(MakeDraw(QString::number(1000000 + i), {1, 2, 3, 4, 5}));
    home.store().appendDraws(name, rows);
    EXPECT_EQ(home.store().capDraws(name, 20001), 0);
    EXPECT_EQ(home.store().capDraws(name, 20000), 1);
    const auto draws = home.store().readDraws(name);
    ASSERT_EQ(draws.size(), 20000u);
    EXPECT_EQ(draws.front().period, QStringLiteral("1000001"));
    EXPECT_EQ(draws.back().period, QStringLiteral("1020000"));
    EXPECT_EQ(home.store().capDraws(name, 20000), 0);
}

TEST(LotteryStore, WritesThatDoNotFitTheLotteryAreRefusedAndNothingIsStored)
{
    TestHome home;
    const QString name = QStringLiteral("中国体彩22选5");
    const std::vector<DrawRow> bad {
        MakeDraw(QStringLiteral("20200011"), {1, 2, 3, 4, 5}), // 8 characters in a 7-character column
        MakeDraw(QStringLiteral("2020a01"), {1, 2, 3, 4, 5}),
        MakeDraw(QString(), {1, 2, 3, 4, 5}),
        MakeDraw(QStringLiteral("2020001"), {1, 2, 3, 4, 23}),
        MakeDraw(QStringLiteral("2020001"), {0, 2, 3, 4, 5}),
        MakeDraw(QStringLiteral("2020001"), {1, 2, 3, 4, 4}),
        MakeDraw(QStringLiteral("2020001"), {1, 2, 3, 4}),
        MakeDraw(QStringLiteral("2020001"), {1, 2, 3, 4, 5}, QStringLiteral("2020-01-01 20:30")),
    };
    for (const DrawRow &row : bad) {
        EXPECT_THROW(
            home.store().appendDraws(name, {MakeDraw(QStringLiteral("2020002"), {1, 2, 3, 4, 5}), row}), InputError)
            << row.period.toStdString();
    }
    EXPECT_EQ(home.store().drawCount(name), 0);

    // The 11选5 tables hold eight-character periods; nine are too many.
    const QString eleven = QStringLiteral("江西体彩11选5");
    home.store().appendDraws(eleven, {MakeDraw(QStringLiteral("26040101"), {1, 2, 3, 4, 5})});
    EXPECT_THROW(
        home.store().appendDraws(eleven, {MakeDraw(QStringLiteral("260401011"), {1, 2, 3, 4, 5})}), InputError);

    // Digits 0..9 with repetition for the digit kind.
    home.store().appendDraws(QStringLiteral("福彩3D"), {MakeDraw(QStringLiteral("2002001"), {0, 0, 9})});
    EXPECT_THROW(home.store().appendDraws(QStringLiteral("福彩3D"), {MakeDraw(QStringLiteral("2002002"), {0, 10, 9})}),
        InputError);
}

TEST(LotteryStore, TheFileItselfRefusesEmptyAndNonIntegerCells)
{
    TestHome home;
    const QString db = home.folder().databaseFile();
    home.store().close();
    const QString table = QStringLiteral("\"中国体彩22选5彩票号码表\"");
    EXPECT_TRUE(RawExec(db, QStringLiteral("INSERT INTO %1 VALUES('2020001',1,2,3,4,5,'2020-01-01')").arg(table)));
    EXPECT_FALSE(RawExec(db, QStringLiteral("INSERT INTO %1 VALUES('2020002',1,2,3,4,NULL,'')").arg(table)));
    EXPECT_FALSE(RawExec(db, QStringLiteral("INSERT INTO %1 VALUES('2020002',1,2,3,4,'x','')").arg(table)));
    EXPECT_FALSE(RawExec(db, QStringLiteral("INSERT INTO %1 VALUES('2020002',1,2,3,4,5.5,'')").arg(table)));
    EXPECT_FALSE(RawExec(db, QStringLiteral("INSERT INTO %1 VALUES('20200021',1,2,3,4,5,'')").arg(table)));
    EXPECT_FALSE(RawExec(db, QStringLiteral("INSERT INTO %1 VALUES(NULL,1,2,3,4,5,'')").arg(table)));
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 1);
}

TEST(LotteryStore, EditAndDeleteAddressOneRow)
{
    TestHome home;
    const QString name = QStringLiteral("南粤风采26选5");
    home.store().appendDraws(name,
        {MakeDraw(QStringLiteral("2020001"), {1, 2, 3, 4, 5}), MakeDraw(QStringLiteral("2020002"), {6, 7, 8, 9, 10})});
    auto draws = home.store().readDraws(name);
    home.store().updateDraw(
        name, draws[0].rowId, MakeDraw(QStringLiteral("2020001"), {26, 25, 24, 23, 22}, QStringLiteral("2020-02-02")));
    EXPECT_THROW(home.store().updateDraw(name, draws[1].rowId, MakeDraw(QStringLiteral("2020002"), {6, 7, 8, 9, 27})),
        InputError);
    home.store().deleteDraw(name, draws[1].rowId);
    draws = home.store().readDraws(name);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].numbers, (std::vector<int> {26, 25, 24, 23, 22}));
    EXPECT_EQ(draws[0].date, QStringLiteral("2020-02-02"));
}

TEST(LotteryStore, MissingOrForeignDatabaseFileIsAnError)
{
    TestHome home;
    LotteryStore missing(home.path(QStringLiteral("数据库/没有.db")));
    EXPECT_THROW(missing.listLotteries(), DatabaseError);
    EXPECT_FALSE(QFileInfo::exists(home.path(QStringLiteral("数据库/没有.db"))));
    lumaro::test::WriteFile(
        home.path(QStringLiteral("数据库/坏.db")), QByteArray("this is not a database at all, just text"));
    LotteryStore foreign(home.path(QStringLiteral("数据库/坏.db")));
    EXPECT_THROW(foreign.listLotteries(), DatabaseError);
}

TEST(LotteryStore, OnePeriodIsOneDrawHoweverManyLeadingZeros)
{
    TestHome home;
    const QString name = QStringLiteral("中国体彩22选5");
    LotteryStore &store = home.store();
    store.appendDraws(name, {MakeDraw(QStringLiteral("0002001"), {1, 2, 3, 4, 5})});
    try {
        store.appendDraws(name,
            {MakeDraw(QStringLiteral("2002"), {1, 2, 3, 4, 5}), MakeDraw(QStringLiteral("2001"), {6, 7, 8, 9, 10})});
        ADD_FAILURE() << "a stored period written without its zeros was stored again";
    } catch (const InputError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("期号2001与已有的第0002001期是同一期，同一期不能存两次！"));
    }
    // Twice in one batch, and the same text again.
    EXPECT_THROW(
        store.appendDraws(name,
            {MakeDraw(QStringLiteral("2003"), {1, 2, 3, 4, 5}), MakeDraw(QStringLiteral("02003"), {1, 2, 3, 4, 5})}),
        InputError);
    EXPECT_THROW(store.appendDraws(name, {MakeDraw(QStringLiteral("0002001"), {1, 2, 3, 4, 5})}), InputError);
    EXPECT_EQ(store.drawCount(name), 1);

    store.appendDraws(name, {MakeDraw(QStringLiteral("2002"), {1, 2, 3, 4, 5})});
    EXPECT_EQ(store.storedPeriods(name),
        (QHash<qint64, QString> {{2001, QStringLiteral("0002001")}, {2002, QStringLiteral("2002")}}));

    // An edit may not move a draw onto another's period, but may rewrite its own.
    const auto draws = store.readDraws(name);
    const qint64 later = draws[1].rowId; // "2002"; "0002001" sorts first as text
    EXPECT_THROW(store.updateDraw(name, later, MakeDraw(QStringLiteral("02001"), {1, 2, 3, 4, 5})), InputError);
    store.updateDraw(name, later, MakeDraw(QStringLiteral("0002002"), {6, 7, 8, 9, 10}));
    EXPECT_EQ(store.readDraws(name).front().period, QStringLiteral("0002001"));

    // A table that already holds a period twice (written by an older program) stays editable.
    home.store().close();
    ASSERT_TRUE(RawExec(home.folder().databaseFile(),
        QStringLiteral("INSERT INTO \"中国体彩22选5彩票号码表\" VALUES('2001',11,12,13,14,15,'')")));
    for (const StoredDraw &stored : store.readDraws(name)) {
        if (stored.period == QStringLiteral("2001"))
            store.updateDraw(name, stored.rowId, MakeDraw(QStringLiteral("2001"), {16, 17, 18, 19, 20}));
    }
    EXPECT_EQ(store.drawCount(name), 3);
}

TEST(LotteryStore, ADatabaseLockedByAnotherProgramIsReportedAsInUse)
{
    TestHome home;
    const QString name = QStringLiteral("中国体彩22选5");
    home.store().appendDraws(name, {MakeDraw(QStringLiteral("2020001"), {1, 2, 3, 4, 5})});
    const qint64 rowId = home.store().readDraws(name).front().rowId;
    home.store().close();

    // Another program holds the database in a write transaction.
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
    other.setDatabaseName(home.folder().databaseFile());
    ASSERT_TRUE(other.open());
    ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE")));

    const QString inUse = QStringLiteral("数据库正被其他程序使用，请关闭该程序后再试。");
    const std::vector<std::pair<const char *, std::function<void(LotteryStore &)>>> operations {
        {"append",
            [&](LotteryStore &s) {
                s.appendDraws(name, {MakeDraw(QStringLiteral("2020002"), {1, 2, 3, 4, 5})});
            }},
        {"list", [](LotteryStore &s) { s.listLotteries(); }},
        {"definition", [&](LotteryStore &s) { s.readDefinition(name); }},
        {"draws", [&](LotteryStore &s) { s.readDraws(name); }},
        {"update",
            [&](LotteryStore &s) {
                s.updateDraw(name, rowId, MakeDraw(QStringLiteral("2020001"), {5, 4, 3, 2, 1}));
            }},
        {"delete", [&](LotteryStore &s) { s.deleteDraw(name, rowId); }},
        {"create", [](LotteryStore &s) { s.createLottery(Lotto(QStringLiteral("自选35选5"), 35, 5)); }},
        {"drop", [&](LotteryStore &s) { s.dropLottery(name); }},
        {"cap", [&](LotteryStore &s) { s.capDraws(name, 0); }},
    };
    for (const auto &[what, operation] : operations) {
        // A fresh connection each time: the first statement prepared is the one that waits.
        LotteryStore store(home.folder().databaseFile());
        store.setBusyTimeout(20);
        try {
            operation(store);
            ADD_FAILURE() << what << " went through a locked database";
        } catch (const DatabaseError &error) {
            EXPECT_EQ(error.message(), inUse) << what;
        }
    }

    // A backup reads the whole database: it waits for the lock like the program's statements do,
    // then says the same, and leaves no copy behind.
    const QString copy = home.path(QStringLiteral("备份.db"));
    try {
        BackupDatabase(home.store(), copy);
        ADD_FAILURE() << "backup went through a locked database";
    } catch (const DatabaseError &error) {
        EXPECT_EQ(error.message(), inUse);
    }
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_FALSE(QFileInfo::exists(copy + QStringLiteral(".part")));

    ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("ROLLBACK")));
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    EXPECT_EQ(home.store().drawCount(name), 1); // nothing was half done
    EXPECT_EQ(home.store().readDraws(name).front().numbers, (std::vector<int> {1, 2, 3, 4, 5}));
}

TEST(LotteryStore, AnElevenFiveGameAddedAgainHoldsEightCharacterPeriods)
{
    TestHome home;
    const QString name = QStringLiteral("重庆体彩11选5");
    home.store().dropLottery(name);
    home.store().createLottery(Lotto(name, 11, 5)); // as the lottery manager creates it
    EXPECT_EQ(home.store().readDefinition(name).periodWidth, 8);
    home.store().appendDraws(name, {MakeDraw(QStringLiteral("26040101"), {1, 2, 3, 4, 5})});
    EXPECT_EQ(home.store().drawCount(name), 1);
    // Any other name keeps the seven characters it was always given.
    home.store().createLottery(Lotto(QStringLiteral("自选11选5"), 11, 5));
    EXPECT_EQ(home.store().readDefinition(QStringLiteral("自选11选5")).periodWidth, 7);
}

// A two-zone lottery keeps both zones through every write and a new connection: its definition
// (后区号码总数, 后区选择号码数) and the back numbers of each draw, in drawn order. The zones are
// checked apart, so a back number may equal a front one; a draw that does not fit its back zone
// is refused with nothing stored.
TEST(LotteryStore, TwoZoneLotteryIsWrittenReadBackAfterReopeningAndDropped)
{
    TestHome home;
    LotteryDefinition d = Lotto(QStringLiteral("自选双区"), 20, 5);
    d.kind = LotteryKind::TwoZone;
    d.backN = 10;
    d.backM = 2;
    home.store().createLottery(d);
    auto twoZoneDraw = [](const char *period, std::vector<int> front, std::vector<int> back) {
        DrawRow row = MakeDraw(QString::fromUtf8(period), std::move(front));
        row.back = std::move(back);
        return row;
    };
    home.store().appendDraws(d.name,
        {twoZoneDraw("2020001", {7, 1, 2, 3, 4}, {7, 1}), twoZoneDraw("2020002", {20, 19, 18, 17, 16}, {10, 9})});

    const struct {
        DrawRow row;
        const char *message;
    } bad[] = {
        {twoZoneDraw("2020003", {1, 2, 3, 4, 5}, {1}), "第2020003期后区应有2个号码，实有1个！"},
        {twoZoneDraw("2020003", {1, 2, 3, 4, 5}, {1, 11}), "第2020003期后区的第2个号码11不在1到10之间！"},
        {twoZoneDraw("2020003", {1, 2, 3, 4, 5}, {3, 3}), "第2020003期后区的号码3重复！"},
        {twoZoneDraw("2020003", {1, 2, 3, 4, 21}, {1, 2}), "第2020003期前区的第5个号码21不在1到20之间！"},
        {twoZoneDraw("2020003", {1, 2, 3, 4}, {1, 2}), "第2020003期前区应有5个号码，实有4个！"},
    };
    for (const auto &c : bad) {
        try {
            home.store().appendDraws(d.name, {twoZoneDraw("2020004", {1, 2, 3, 4, 5}, {1, 2}), c.row});
            ADD_FAILURE() << c.message;
        } catch (const InputError &error) {
            EXPECT_EQ(error.message(), QString::fromUtf8(c.message));
        }
    }
    // A one-zone lottery takes no back numbers.
    EXPECT_THROW(
        home.store().appendDraws(QStringLiteral("中国体彩22选5"), {twoZoneDraw("2020001", {1, 2, 3, 4, 5}, {1})}),
        InputError);
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 0);

    auto draws = home.store().readDraws(d.name);
    ASSERT_EQ(draws.size(), 2u);
    home.store().updateDraw(d.name, draws[1].rowId, twoZoneDraw("2020002", {20, 19, 18, 17, 16}, {2, 10}));
    EXPECT_THROW(
        home.store().updateDraw(d.name, draws[1].rowId, twoZoneDraw("2020002", {20, 19, 18, 17, 16}, {2})), InputError);
    home.store().close();

    LotteryStore reopened(home.folder().databaseFile());
    const LotteryDefinition read = reopened.readDefinition(d.name);
    EXPECT_EQ(read.kind, LotteryKind::TwoZone);
    EXPECT_EQ((std::vector<int> {read.n, read.m, read.backN, read.backM}), (std::vector<int> {20, 5, 10, 2}));
    EXPECT_EQ(read.weekdays, QStringLiteral("135"));
    draws = reopened.readDraws(d.name);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].numbers, (std::vector<int> {7, 1, 2, 3, 4}));
    EXPECT_EQ(draws[0].back, (std::vector<int> {7, 1}));
    EXPECT_EQ(draws[1].back, (std::vector<int> {2, 10}));
    EXPECT_EQ(draws[1].date, QStringLiteral("2020-01-01"));
    // The one-zone lotteries beside it read no back numbers.
    reopened.appendDraws(QStringLiteral("中国体彩22选5"), {MakeDraw(QStringLiteral("2020001"), {1, 2, 3, 4, 5})});
    EXPECT_TRUE(reopened.readDraws(QStringLiteral("中国体彩22选5")).front().back.empty());

    reopened.dropLottery(d.name);
    EXPECT_FALSE(reopened.hasLottery(d.name));
    EXPECT_EQ(reopened.listLotteries().size(), 13);
    reopened.close();
    // Both of its tables are gone.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tables"));
    db.setDatabaseName(home.folder().databaseFile());
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE '自选双区%'")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), 0);
    query = QSqlQuery();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("tables"));
}
