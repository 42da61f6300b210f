#include "data/lottery_store.h"

#include "common/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <atomic>

namespace lumaro {

namespace {

const QString kPeriodColumn = QStringLiteral("记录期号");
const QString kDateColumn = QStringLiteral("开奖日期");
constexpr int kDateWidth = 10;

QString NextConnectionName()
{
    static std::atomic_int counter {0};
    return QStringLiteral("lumaro-store-%1").arg(counter.fetch_add(1));
}

QString ErrorText(const QSqlError &error)
{
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("未知错误") : text;
}

// The DatabaseError for a failed statement: a lock held elsewhere is said plainly.
DatabaseError Failure(const QSqlError &error, const QString &what = QStringLiteral("数据库错误"))
{
    if (IsLockedError(error))
        return DatabaseError(DatabaseInUseText());
    return DatabaseError(QStringLiteral("%1：%2").arg(what, ErrorText(error)));
}

// Prepare() fails for a busy database as well as for a bad statement; left unchecked, the
// statement's later exec() reports a meaningless parameter-count mismatch instead.
void Prepare(QSqlQuery &query, const QString &sql)
{
    if (!query.prepare(sql))
        throw Failure(query.lastError());
}

// Commits on commit(); rolls back when left by an exception.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db)
        : m_db(db)
    {
        if (!m_db.transaction())
            throw Failure(m_db.lastError(), QStringLiteral("数据库错误：无法开始事务"));
    }
    ~Transaction()
    {
        if (!m_done)
            m_db.rollback();
    }
    void commit()
    {
        if (!m_db.commit())
            throw Failure(m_db.lastError(), QStringLiteral("数据库错误：无法提交"));
        m_done = true;
    }

private:
    QSqlDatabase m_db;
    bool m_done = false;
};

// A text bound as a value: never NULL, an empty text stays an empty text.
QString TextValue(const QString &text)
{
    return text.isNull() ? QString::fromLatin1("") : text;
}

bool IsDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    }
    return true;
}

InputError SamePeriodError(const QString &period, const QString &stored)
{
    if (period == stored)
        return InputError(QStringLiteral("第%1期已经有了，同一期不能存两次！").arg(period));
    return InputError(QStringLiteral("期号%1与已有的第%2期是同一期，同一期不能存两次！").arg(period, stored));
}

} // namespace

// SQLITE_BUSY and SQLITE_LOCKED (also in their extended forms): another connection holds a lock
// the statement needs, typically a second copy of the program or a database tool writing.
bool IsLockedError(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    if (ok && ((code & 0xff) == 5 || (code & 0xff) == 6))
        return true;
    return error.databaseText().contains(QLatin1String("database is locked"))
        || error.databaseText().contains(QLatin1String("database table is locked"));
}

QString DatabaseInUseText()
{
    return QStringLiteral("数据库正被其他程序使用，请关闭该程序后再试。");
}

QString QuotedIdentifier(const QString &identifier)
{
    QString quoted = identifier;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString DrawTableName(const QString &lotteryName)
{
    return QuotedIdentifier(lotteryName + DrawTableSuffix());
}

QString DefinitionTableName(const QString &lotteryName)
{
    return QuotedIdentifier(lotteryName + DefinitionTableSuffix());
}

void ValidateDraw(const LotteryDefinition &d, const DrawRow &draw)
{
    const QString period = draw.period;
    if (period.trimmed().isEmpty())
        throw InputError(QStringLiteral("期号不能为空！"));
    if (!IsDigits(period))
        throw InputError(QStringLiteral("期号“%1”不是一个整数！").arg(period));
    if (period.size() > d.periodWidth)
        throw InputError(QStringLiteral("期号“%1”超过%2位！").arg(period).arg(d.periodWidth));
    bool ok = false;
    period.toInt(&ok);
    if (!ok)
        throw InputError(QStringLiteral("期号“%1”太大！").arg(period));
    // One zone's checks; the zone is named only in a two-zone lottery, so the messages of the
    // other kinds read as they always did.
    auto checkZone = [&](const std::vector<int> &numbers, int count, int lowest, int highest, bool distinct,
                         const QString &zone) {
        if (static_cast<int>(numbers.size()) != count)
            throw InputError(
                QStringLiteral("第%1期%2应有%3个号码，实有%4个！").arg(period, zone).arg(count).arg(numbers.size()));
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const int v = numbers[i];
            if (v < lowest || v > highest)
                throw InputError(QStringLiteral("第%1期%2的第%3个号码%4不在%5到%6之间！")
                                     .arg(period, zone)
                                     .arg(i + 1)
                                     .arg(v)
                                     .arg(lowest)
                                     .arg(highest));
            if (distinct) {
                for (std::size_t j = 0; j < i; ++j) {
                    if (numbers[j] == v)
                        throw InputError(QStringLiteral("第%1期%2的号码%3重复！").arg(period, zone).arg(v));
                }
            }
        }
    };
    if (d.hasBackZone()) {
        checkZone(draw.numbers, d.m, 1, d.n, true, QStringLiteral("前区"));
        checkZone(draw.back, d.backM, 1, d.backN, true, QStringLiteral("后区"));
    } else {
        checkZone(draw.numbers, d.m, d.lowestNumber(), d.highestNumber(), d.kind == LotteryKind::Lotto, QString());
        if (!draw.back.empty())
            throw InputError(QStringLiteral("第%1期：彩票“%2”没有后区号码！").arg(period, d.name));
    }
    if (draw.date.size() > kDateWidth)
        throw InputError(QStringLiteral("第%1期的开奖日期“%2”超过%3个字符！").arg(period, draw.date).arg(kDateWidth));
}

LotteryStore::LotteryStore(const QString &databasePath)
    : m_path(databasePath)
    , m_connectionName(NextConnectionName())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
}

void LotteryStore::setBusyTimeout(int milliseconds)
{
    close();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(std::max(0, milliseconds)));
}

LotteryStore::~LotteryStore()
{
    close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void LotteryStore::close()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.isOpen())
        db.close();
}

QSqlDatabase LotteryStore::database() const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        // SQLite would quietly create a missing file; a missing database is an error here.
        if (!QFileInfo::exists(m_path))
            throw DatabaseError(QStringLiteral("数据库文件没找到：%1").arg(m_path));
        if (!db.open())
            throw Failure(db.lastError(), QStringLiteral("无法打开数据库 %1").arg(m_path));
    }
    return db;
}

QSqlQuery LotteryStore::exec(const QString &sql) const
{
    QSqlQuery query(database());
    if (!query.exec(sql))
        throw Failure(query.lastError());
    return query;
}

void LotteryStore::execBound(QSqlQuery &query) const
{
    if (!query.exec())
        throw Failure(query.lastError());
}

void LotteryStore::createDatabase(const QString &databasePath, const std::vector<LotteryDefinition> &lotteries)
{
    if (QFileInfo::exists(databasePath))
        throw DatabaseError(QStringLiteral("数据库文件已存在：%1").arg(databasePath));
    const QString name = NextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databasePath);
        if (!db.open())
            throw Failure(db.lastError(), QStringLiteral("无法创建数据库 %1").arg(databasePath));
        try {
            Transaction transaction(db);
            for (const LotteryDefinition &definition : lotteries)
                createTables(db, definition);
            transaction.commit();
        } catch (...) {
            db.close();
            QFile::remove(databasePath);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void LotteryStore::createTables(QSqlDatabase &db, const LotteryDefinition &definition)
{
    ValidateDefinition(definition);
    LotteryDefinition d = definition;
    // The 11选5 games number their draws with eight characters (date and draw of the day); a
    // table made for one of their names holds them however it is created.
    if (IsElevenFiveGame(d.name))
        d.periodWidth = std::max(d.periodWidth, 8);
    // The checks make the file itself refuse what the program never writes: a period that is
    // not digits or too long, a number cell that is empty or not an integer.
    const QString period = QuotedIdentifier(kPeriodColumn);
    QString drawSql = QStringLiteral(
        "CREATE TABLE %1(%2 varchar(%3) NOT NULL CHECK(length(%2) BETWEEN 1 AND %3 AND %2 NOT GLOB '*[^0-9]*')")
                          .arg(DrawTableName(d.name), period)
                          .arg(d.periodWidth);
    for (int k = 1; k <= d.m; ++k) {
        const QString column = QuotedIdentifier(QString::number(k));
        drawSql += QStringLiteral(",%1 integer NOT NULL CHECK(typeof(%1)='integer')").arg(column);
    }
    for (int k = 1; k <= (d.hasBackZone() ? d.backM : 0); ++k) {
        const QString column = QuotedIdentifier(BackColumnName(k));
        drawSql += QStringLiteral(",%1 integer NOT NULL CHECK(typeof(%1)='integer')").arg(column);
    }
    const QString date = QuotedIdentifier(kDateColumn);
    drawSql += QStringLiteral(",%1 varchar(10) NOT NULL DEFAULT '' CHECK(length(%1)<=10))").arg(date);

    QString definitionSql
        = QStringLiteral("CREATE TABLE %1(\"彩票名称\" varchar(20),\"彩票类型\" Integer,\"号码总数\" integer,"
                         "\"选择号码数\" integer,\"开奖时间\" varchar(10),\"开奖星期\" varchar(7)")
              .arg(DefinitionTableName(d.name));
    if (d.hasBackZone())
        definitionSql += QStringLiteral(",\"后区号码总数\" integer,\"后区选择号码数\" integer");
    definitionSql += QLatin1Char(')');
    QSqlQuery query(db);
    for (const QString &sql : {drawSql, definitionSql}) {
        if (!query.exec(sql)) {
            if (ErrorText(query.lastError()).contains(QLatin1String("already exists")))
                throw InputError(QStringLiteral("彩票“%1”已经存在！").arg(d.name));
            throw Failure(query.lastError());
        }
    }
    Prepare(query,
        QStringLiteral("INSERT INTO %1 VALUES(?,?,?,?,?,?%2)")
            .arg(DefinitionTableName(d.name), d.hasBackZone() ? QStringLiteral(",?,?") : QString()));
    query.addBindValue(d.name);
    query.addBindValue(static_cast<int>(d.kind));
    query.addBindValue(d.n);
    query.addBindValue(d.m);
    query.addBindValue(TextValue(d.drawTime));
    query.addBindValue(TextValue(d.weekdays));
    if (d.hasBackZone()) {
        query.addBindValue(d.backN);
        query.addBindValue(d.backM);
    }
    if (!query.exec())
        throw Failure(query.lastError());
}

QStringList LotteryStore::listLotteries() const
{
    QSqlQuery query = exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                                          "AND name NOT LIKE 'sqlite!_%' ESCAPE '!' ORDER BY rowid"));
    QStringList names;
    const QString suffix = DrawTableSuffix();
    while (query.next()) {
        const QString table = query.value(0).toString();
        if (table.size() > suffix.size() && table.endsWith(suffix))
            names << table.left(table.size() - suffix.size());
    }
    return names;
}

bool LotteryStore::hasLottery(const QString &name) const
{
    QSqlQuery query(database());
    Prepare(query, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type IN ('table','view') AND name = ?"));
    query.addBindValue(QString(name + DrawTableSuffix()));
    execBound(query);
    return query.next() && query.value(0).toInt() > 0;
}

void LotteryStore::requireLottery(const QString &name) const
{
    if (!hasLottery(name))
        throw InputError(QStringLiteral("没有名为“%1”的彩票！").arg(name));
}

LotteryDefinition LotteryStore::readDefinition(const QString &name) const
{
    requireLottery(name);
    QSqlQuery query = exec(QStringLiteral("SELECT * FROM %1").arg(DefinitionTableName(name)));
    if (!query.next())
        throw DatabaseError(QStringLiteral("彩票“%1”的选项表没有内容！").arg(name));
    const QSqlRecord record = query.record();
    auto field = [&](const char *column) {
        const int index = record.indexOf(QString::fromUtf8(column));
        if (index < 0)
            throw DatabaseError(QStringLiteral("彩票“%1”的选项表缺少“%2”列！").arg(name, QString::fromUtf8(column)));
        return query.value(index);
    };
    auto integerField = [&](const char *column) {
        bool ok = false;
        const int value = field(column).toInt(&ok);
        if (!ok)
            throw DatabaseError(QStringLiteral("彩票“%1”的“%2”不是整数！").arg(name, QString::fromUtf8(column)));
        return value;
    };
    LotteryDefinition d;
    d.name = field("彩票名称").toString();
    switch (integerField("彩票类型")) {
    case 1:
        d.kind = LotteryKind::Digit;
        break;
    case 2:
        d.kind = LotteryKind::TwoZone;
        break;
    default:
        d.kind = LotteryKind::Lotto;
        break;
    }
    d.n = integerField("号码总数");
    d.m = integerField("选择号码数");
    if (d.hasBackZone()) {
        d.backN = integerField("后区号码总数");
        d.backM = integerField("后区选择号码数");
        if (d.backM < 1 || d.backM > kMaxBackNumbers || d.backN < d.backM || d.backN > 99)
            throw DatabaseError(
                QStringLiteral("彩票“%1”的后区设置（%2选%3）无效！").arg(name).arg(d.backN).arg(d.backM));
    }
    d.drawTime = field("开奖时间").toString();
    d.weekdays = field("开奖星期").toString();

    // The width of the period column comes from its declared type, varchar(7) or varchar(8).
    QSqlQuery info(database());
    Prepare(info, QStringLiteral("SELECT type FROM pragma_table_info(?) WHERE name = ?"));
    info.addBindValue(QString(name + DrawTableSuffix()));
    info.addBindValue(kPeriodColumn);
    execBound(info);
    d.periodWidth = 7;
    if (info.next()) {
        static const QRegularExpression width(QStringLiteral("\\((\\d+)\\)"));
        const auto match = width.match(info.value(0).toString());
        if (match.hasMatch())
            d.periodWidth = match.captured(1).toInt();
    }
    return d;
}

void LotteryStore::createLottery(const LotteryDefinition &definition)
{
    ValidateDefinition(definition);
    QSqlDatabase db = database();
    if (hasLottery(definition.name))
        throw InputError(QStringLiteral("彩票“%1”已经存在！").arg(definition.name));
    Transaction transaction(db);
    createTables(db, definition);
    transaction.commit();
}

void LotteryStore::dropLottery(const QString &name)
{
    requireLottery(name);
    QSqlDatabase db = database();
    Transaction transaction(db);
    exec(QStringLiteral("DROP TABLE %1").arg(DrawTableName(name)));
    exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(DefinitionTableName(name)));
    transaction.commit();
}

std::vector<StoredDraw> LotteryStore::readDraws(const QString &name) const
{
    const LotteryDefinition d = readDefinition(name);
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT rowid, * FROM %1 ORDER BY %2, rowid")
                        .arg(DrawTableName(name), QuotedIdentifier(kPeriodColumn))))
        throw Failure(query.lastError());
    const QSqlRecord record = query.record();
    const int periodIndex = record.indexOf(kPeriodColumn);
    const int dateIndex = record.indexOf(kDateColumn);
    std::vector<int> numberIndex;
    for (int k = 1; k <= d.m; ++k)
        numberIndex.push_back(record.indexOf(QString::number(k)));
    const int backCount = d.hasBackZone() ? d.backM : 0;
    for (int k = 1; k <= backCount; ++k)
        numberIndex.push_back(record.indexOf(BackColumnName(k)));
    if (periodIndex < 0 || dateIndex < 0
        || std::find(numberIndex.begin(), numberIndex.end(), -1) != numberIndex.end()) {
        if (backCount > 0)
            throw DatabaseError(
                QStringLiteral("彩票“%1”的号码表缺少列（应有记录期号、1到%2、后区1到后区%3、开奖日期）！")
                    .arg(name)
                    .arg(d.m)
                    .arg(backCount));
        throw DatabaseError(
            QStringLiteral("彩票“%1”的号码表缺少列（应有记录期号、1到%2、开奖日期）！").arg(name).arg(d.m));
    }

    std::vector<StoredDraw> draws;
    while (query.next()) {
        StoredDraw draw;
        draw.rowId = query.value(0).toLongLong();
        const QVariant period = query.value(periodIndex);
        draw.period = period.toString();
        bool ok = false;
        draw.period.toInt(&ok);
        if (period.isNull() || !ok)
            throw DatabaseError(QStringLiteral("彩票“%1”有一期的期号“%2”不是一个有效的整数！").arg(name, draw.period));
        draw.numbers.reserve(d.m);
        for (int k = 0; k < d.m + backCount; ++k) {
            const QVariant cell = query.value(numberIndex[static_cast<std::size_t>(k)]);
            const int value = cell.toInt(&ok);
            if (cell.isNull() || !ok) {
                if (k >= d.m)
                    throw DatabaseError(QStringLiteral("彩票“%1”第%2期的第%3个后区号码“%4”不是一个有效的整数！")
                                            .arg(name, draw.period)
                                            .arg(k - d.m + 1)
                                            .arg(cell.toString()));
                throw DatabaseError(QStringLiteral("彩票“%1”第%2期的第%3个号码“%4”不是一个有效的整数！")
                                        .arg(name, draw.period)
                                        .arg(k + 1)
                                        .arg(cell.toString()));
            }
            (k < d.m ? draw.numbers : draw.back).push_back(value);
        }
        draw.date = query.value(dateIndex).toString();
        draws.push_back(std::move(draw));
    }
    return draws;
}

int LotteryStore::drawCount(const QString &name) const
{
    requireLottery(name);
    QSqlQuery query = exec(QStringLiteral("SELECT count(*) FROM %1").arg(DrawTableName(name)));
    return query.next() ? query.value(0).toInt() : 0;
}

int LotteryStore::capDraws(const QString &name, int maxDraws)
{
    const int count = drawCount(name);
    if (count <= maxDraws)
        return 0;
    QSqlDatabase db = database();
    Transaction transaction(db);
    QSqlQuery query(db);
    Prepare(query,
        QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT rowid FROM %1 ORDER BY %2, rowid LIMIT ?)")
            .arg(DrawTableName(name), QuotedIdentifier(kPeriodColumn)));
    query.addBindValue(count - maxDraws);
    execBound(query);
    transaction.commit();
    return count - maxDraws;
}

QHash<qint64, QString> LotteryStore::storedPeriods(const QString &name) const
{
    requireLottery(name);
    QSqlQuery query
        = exec(QStringLiteral("SELECT %1 FROM %2").arg(QuotedIdentifier(kPeriodColumn), DrawTableName(name)));
    QHash<qint64, QString> periods;
    while (query.next()) {
        const QString text = query.value(0).toString();
        periods.insert(text.toLongLong(), text);
    }
    return periods;
}

void LotteryStore::insertDraws(const QString &name, const LotteryDefinition &d, const std::vector<DrawRow> &draws)
{
    QSqlQuery query(database());
    QString placeholders = QStringLiteral("?");
    for (int k = 0; k <= d.m + (d.hasBackZone() ? d.backM : 0); ++k)
        placeholders += QStringLiteral(",?");
    Prepare(query, QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(DrawTableName(name), placeholders));
    for (const DrawRow &draw : draws) {
        query.addBindValue(draw.period);
        for (int v : draw.numbers)
            query.addBindValue(v);
        for (int v : draw.back)
            query.addBindValue(v);
        query.addBindValue(TextValue(draw.date));
        execBound(query);
    }
}

void LotteryStore::appendDraws(const QString &name, const std::vector<DrawRow> &draws)
{
    const LotteryDefinition d = readDefinition(name);
    for (const DrawRow &draw : draws)
        ValidateDraw(d, draw);
    if (draws.empty())
        return;
    QSqlDatabase db = database();
    Transaction transaction(db);
    // Read inside the transaction, so the check and the inserts see the same table.
    QHash<qint64, QString> periods = storedPeriods(name);
    for (const DrawRow &draw : draws) {
        const qint64 value = draw.period.toLongLong();
        const auto stored = periods.constFind(value);
        if (stored != periods.constEnd())
            throw SamePeriodError(draw.period, stored.value());
        periods.insert(value, draw.period);
    }
    insertDraws(name, d, draws);
    transaction.commit();
}

void LotteryStore::updateDraw(const QString &name, qint64 rowId, const DrawRow &draw)
{
    const LotteryDefinition d = readDefinition(name);
    ValidateDraw(d, draw);
    // A row keeps its own period (even one an older copy of the table holds twice); it may not
    // take over the period of another row.
    {
        const qint64 value = draw.period.toLongLong();
        QSqlQuery rows = exec(
            QStringLiteral("SELECT rowid, %1 FROM %2").arg(QuotedIdentifier(kPeriodColumn), DrawTableName(name)));
        qint64 own = -1;
        QString other;
        while (rows.next()) {
            const QString text = rows.value(1).toString();
            if (rows.value(0).toLongLong() == rowId)
                own = text.toLongLong();
            else if (text.toLongLong() == value && other.isNull())
                other = text;
        }
        if (own != value && !other.isNull())
            throw SamePeriodError(draw.period, other);
    }
    QString assignments = QuotedIdentifier(kPeriodColumn) + QStringLiteral("=?");
    for (int k = 1; k <= d.m; ++k)
        assignments += QLatin1Char(',') + QuotedIdentifier(QString::number(k)) + QStringLiteral("=?");
    for (int k = 1; k <= (d.hasBackZone() ? d.backM : 0); ++k)
        assignments += QLatin1Char(',') + QuotedIdentifier(BackColumnName(k)) + QStringLiteral("=?");
    assignments += QLatin1Char(',') + QuotedIdentifier(kDateColumn) + QStringLiteral("=?");
    QSqlQuery query(database());
    Prepare(query, QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(DrawTableName(name), assignments));
    query.addBindValue(draw.period);
    for (int v : draw.numbers)
        query.addBindValue(v);
    for (int v : draw.back)
        query.addBindValue(v);
    query.addBindValue(TextValue(draw.date));
    query.addBindValue(rowId);
    execBound(query);
}

void LotteryStore::deleteDraw(const QString &name, qint64 rowId)
{
    requireLottery(name);
    QSqlQuery query(database());
    Prepare(query, QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(DrawTableName(name)));
    query.addBindValue(rowId);
    execBound(query);
}

} // namespace lumaro
