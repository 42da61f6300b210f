// The files the one-zone lotteries store, made again by the commands of
// tests/data/stored_files/README.md on a new program folder and compared byte for byte with the
// copies made before two-zone lotteries existed. A difference is a fault of the code: the
// copies are never made anew.
#include "cli_runner.h"
#include "support/test_home.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumaro::test::ReadFile;
using lumaro::test::RunCli;

namespace {

QString Fixture(const char *name)
{
    return lumaro::test::TestDataFile(QStringLiteral("stored_files/%1").arg(QString::fromUtf8(name)));
}

// The database as schema.txt lists it: "type name: sql" for every table in creation order, then
// per lottery "<name>彩票选项表: " and its definition row, texts quoted as SQL writes them.
QStringList SchemaLines(const QString &databasePath)
{
    QStringList lines;
    const QString connection = QStringLiteral("stored-files-schema");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(databasePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            return {QStringLiteral("cannot open ") + databasePath};
        QSqlQuery query(db);
        query.exec(QStringLiteral(
            "SELECT type, name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite!_%' ESCAPE '!' ORDER BY rowid"));
        QStringList definitionTables;
        while (query.next()) {
            const QString name = query.value(1).toString();
            lines << QStringLiteral("%1 %2: %3").arg(query.value(0).toString(), name, query.value(2).toString());
            if (name.endsWith(QStringLiteral("彩票选项表")))
                definitionTables << name;
        }
        for (const QString &table : definitionTables) {
            QSqlQuery row(db);
            row.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
            while (row.next()) {
                QStringList values;
                for (int i = 0; i < row.record().count(); ++i) {
                    const QVariant value = row.value(i);
                    if (value.isNull())
                        values << QStringLiteral("NULL");
                    else if (value.typeId() == QMetaType::QString)
                        values << QLatin1Char('\'') + value.toString().replace(QLatin1Char('\''), QStringLiteral("''"))
                                + QLatin1Char('\'');
                    else
                        values << value.toString();
                }
                lines << table + QStringLiteral(": ") + values.join(QLatin1Char(','));
            }
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return lines;
}

// The table a schema line speaks of: "table <name>: …" or "<name>: …".
QString TableOfLine(const QString &line)
{
    QString head = line.left(line.indexOf(QStringLiteral(": ")));
    if (head.startsWith(QStringLiteral("table ")))
        head = head.mid(6);
    return head;
}

} // namespace

TEST(StoredFiles, OneZoneLotteriesStoreTheSameBytesAsBefore)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString home = dir.path() + QStringLiteral("/H");
    auto out = [&](const char *name) { return QStringLiteral("%1/%2").arg(dir.path(), QString::fromUtf8(name)); };
    auto run = [&](const QStringList &args) {
        const auto r = RunCli(home, args);
        EXPECT_EQ(r.exitCode, 0) << args.join(QLatin1Char(' ')).toStdString() << ": " << r.err.toStdString();
    };
    const QString lotto26 = QStringLiteral("南粤风采26选5");
    run({QStringLiteral("create"), QStringLiteral("测试3D"), QStringLiteral("--kind"), QStringLiteral("1"),
        QStringLiteral("--n"), QStringLiteral("10"), QStringLiteral("--m"), QStringLiteral("3"),
        QStringLiteral("--time"), QStringLiteral("20:00"), QStringLiteral("--weekdays"), QStringLiteral("1234567")});
    run({QStringLiteral("create"), QStringLiteral("测试乐透"), QStringLiteral("--kind"), QStringLiteral("0"),
        QStringLiteral("--n"), QStringLiteral("26"), QStringLiteral("--m"), QStringLiteral("5")});
    run({QStringLiteral("import"), lotto26, Fixture("draws_26x5.csv")});
    run({QStringLiteral("import"), QStringLiteral("测试3D"), Fixture("draws_digit.csv")});
    run({QStringLiteral("import"), QStringLiteral("测试乐透"), Fixture("draws_26x5.csv")});
    run({QStringLiteral("export"), lotto26, QStringLiteral("-o"), out("export_26x5.txt")});
    run({QStringLiteral("export"), QStringLiteral("测试3D"), QStringLiteral("-o"), out("export_digit.txt")});
    run({QStringLiteral("filter"), lotto26, QStringLiteral("--sum"), QStringLiteral("60-64"), QStringLiteral("--odd"),
        QStringLiteral("2-3"), QStringLiteral("--ac"), QStringLiteral("4-6"), QStringLiteral("-o"),
        out("filter_26x5.txt")});
    const QByteArray filterList = ReadFile(home + QStringLiteral("/temp.txt"));
    run({QStringLiteral("wheel"), QStringLiteral("--base"), QStringLiteral("1 2 3 4 5 6 7 8 9 10"),
        QStringLiteral("--type"), QStringLiteral("5"), QStringLiteral("--match"), QStringLiteral("4"),
        QStringLiteral("--guarantee"), QStringLiteral("4"), QStringLiteral("-o"), out("wheel.txt")});
    run({QStringLiteral("filter"), lotto26, QStringLiteral("--sum"), QStringLiteral("60-61"), QStringLiteral("-o"),
        out("a.txt")});
    run({QStringLiteral("filter"), lotto26, QStringLiteral("--sum"), QStringLiteral("61-62"), QStringLiteral("--odd"),
        QStringLiteral("1-2"), QStringLiteral("-o"), out("b.txt")});
    run({QStringLiteral("intersect"), lotto26, out("a.txt"), out("b.txt"), QStringLiteral("-o"),
        out("intersect_26x5.txt")});

    for (const char *name :
        {"export_26x5.txt", "export_digit.txt", "filter_26x5.txt", "wheel.txt", "intersect_26x5.txt"})
        EXPECT_EQ(ReadFile(out(name)), ReadFile(Fixture(name))) << name;
    EXPECT_EQ(filterList, ReadFile(Fixture("filter_list_26x5.txt")));

    // The tables and definition rows of the lotteries the fixture lists, in its order; the
    // lotteries added since (双色球, 大乐透 …) may come between them and are left out here.
    const QStringList expected
        = QString::fromUtf8(ReadFile(Fixture("schema.txt"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QSet<QString> listed;
    for (const QString &line : expected)
        listed.insert(TableOfLine(line));
    QStringList actual;
    for (const QString &line : SchemaLines(home + QStringLiteral("/数据库/彩票数据.db"))) {
        if (listed.contains(TableOfLine(line)))
            actual << line;
    }
    ASSERT_EQ(actual.size(), expected.size()) << actual.join(QLatin1Char('\n')).toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
}
