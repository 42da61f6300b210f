#pragma once

#include "data/lottery_definition.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

namespace lumaro {

// One draw as it is written: the period text, the M numbers in drawn order and the date text;
// for a two-zone lottery also the K back-zone numbers (empty for the other kinds).
struct DrawRow {
    QString period;
    std::vector<int> numbers;
    QString date;
    std::vector<int> back {};
};

// One draw as it is stored, with the SQLite row id that addresses it for edits.
struct StoredDraw : DrawRow {
    qint64 rowId = 0;
};

// Refuses a draw that does not fit the lottery: period not a whole number or longer than the
// period column, a number outside the lottery's range, repeated numbers in a lotto draw, a
// wrong count of numbers, a date longer than its column; for a two-zone lottery the same checks
// on the back zone (its own count, range 1..L and distinct numbers), each message naming the zone.
// Throws InputError.
void ValidateDraw(const LotteryDefinition &definition, const DrawRow &draw);

// The lottery database: per lottery a draw table "<name>彩票号码表" and a definition table
// "<name>彩票选项表", on SQLite. A two-zone lottery's draw table has the back numbers in the
// columns "后区1".."后区K" after the front ones, and its definition table two more columns,
// 后区号码总数 and 后区选择号码数; the tables of the other kinds are as they always were. Every identifier is quoted
// and every value bound, so no lottery name can break a statement. Each instance owns one connection, used on the
// thread that created it.
class LotteryStore {
public:
    explicit LotteryStore(const QString &databasePath);
    ~LotteryStore();
    LotteryStore(const LotteryStore &) = delete;
    LotteryStore &operator=(const LotteryStore &) = delete;

    // Writes a new database file holding the given lotteries. Throws if the file exists.
    static void createDatabase(const QString &databasePath, const std::vector<LotteryDefinition> &lotteries);

    const QString &path() const { return m_path; }

    // Lottery names in the order their draw tables were created.
    QStringList listLotteries() const;
    bool hasLottery(const QString &name) const;

    // The first row of the definition table, with the width of the period column.
    LotteryDefinition readDefinition(const QString &name) const;

    // Creates both tables and the definition row in one transaction.
    void createLottery(const LotteryDefinition &definition);
    // Drops both tables in one transaction.
    void dropLottery(const QString &name);

    // All draws in ascending 记录期号 order, compared as text (so "1000" comes before "999").
    // A stored cell that is empty or not a whole number raises a DatabaseError naming the row.
    std::vector<StoredDraw> readDraws(const QString &name) const;
    int drawCount(const QString &name) const;
    // Deletes the oldest draws (text order) beyond maxDraws; returns how many were deleted.
    int capDraws(const QString &name, int maxDraws);
    // The stored periods by value, each with its text as stored. A period is one draw however
    // many leading zeros it is written with: "2001" and "0002001" are the same period.
    QHash<qint64, QString> storedPeriods(const QString &name) const;

    // Validates every row first, then writes them all in one transaction, or none. A period
    // that is stored already, or given twice, refuses the whole batch (InputError).
    void appendDraws(const QString &name, const std::vector<DrawRow> &draws);
    // Replaces the draw with the given row id; validated like an append, and refused when the
    // period is changed to one another row holds.
    void updateDraw(const QString &name, qint64 rowId, const DrawRow &draw);
    void deleteDraw(const QString &name, qint64 rowId);

    // Closes the connection (for a file copy over the database); any later call reopens it.
    void close();
    // How long a statement waits for a lock held by another program before it gives up with
    // "in use" (5 seconds unless set). Takes effect when the connection next opens.
    void setBusyTimeout(int milliseconds);

private:
    QSqlDatabase database() const;
    QSqlQuery exec(const QString &sql) const;
    void execBound(QSqlQuery &query) const;
    void requireLottery(const QString &name) const;
    void insertDraws(const QString &name, const LotteryDefinition &definition, const std::vector<DrawRow> &draws);
    static void createTables(QSqlDatabase &db, const LotteryDefinition &definition);

    QString m_path;
    QString m_connectionName;
};

// Whether a statement failed because another connection holds the database locked, and what the
// user is told then.
bool IsLockedError(const QSqlError &error);
QString DatabaseInUseText();

// "<name>彩票号码表" and "<name>彩票选项表" as quoted SQL identifiers.
QString QuotedIdentifier(const QString &identifier);
QString DrawTableName(const QString &lotteryName);
QString DefinitionTableName(const QString &lotteryName);

} // namespace lumaro
