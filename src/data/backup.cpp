#include "data/backup.h"

#include "common/errors.h"
#include "data/lottery_definition.h"
#include "data/lottery_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace lumaro {

namespace {

QString ConnectionName()
{
    static std::atomic_int counter {0};
    return QStringLiteral("lumaro-backup-%1").arg(counter.fetch_add(1));
}

// Runs fn on a connection of its own to path, closed and removed afterwards.
template<class Fn>
void WithConnection(const QString &path, bool readOnly, Fn fn)
{
    const QString name = ConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        try {
            if (!db.open())
                throw InputError(QStringLiteral("无法打开数据库文件 %1（%2）").arg(path, db.lastError().text()));
            fn(db);
        } catch (...) {
            db.close();
            QSqlDatabase::removeDatabase(name);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void ReplaceFile(const QString &temporary, const QString &target)
{
    if (QFile::exists(target) && !QFile::remove(target)) {
        QFile::remove(temporary);
        throw IoError::cannotWrite(target, QStringLiteral("无法替换已有的文件"));
    }
    if (!QFile::rename(temporary, target)) {
        QFile::remove(temporary);
        throw IoError::cannotWrite(target, QStringLiteral("无法写入"));
    }
}

} // namespace

void BackupDatabase(LotteryStore &store, const QString &target)
{
    const QString temporary = target + QStringLiteral(".part");
    QFile::remove(temporary);
    if (!QFileInfo::exists(store.path()))
        throw IoError::fileNotFound(store.path());
    WithConnection(store.path(), false, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        const auto fail = [&] {
            QFile::remove(temporary);
            if (IsLockedError(query.lastError()))
                throw DatabaseError(DatabaseInUseText());
            throw IoError::cannotWrite(target, query.lastError().text());
        };
        // A database another program holds locked fails already here.
        if (!query.prepare(QStringLiteral("VACUUM INTO ?")))
            fail();
        query.addBindValue(temporary);
        if (!query.exec())
            fail();
    });
    ReplaceFile(temporary, target);
}

void CheckLotteryDatabase(const QString &path)
{
    if (!QFileInfo::exists(path))
        throw IoError::fileNotFound(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(16) != QByteArray("SQLite format 3\0", 16))
        throw InputError(QStringLiteral("“%1”不是本程序的彩票数据库。").arg(QFileInfo(path).fileName()));
    file.close();
    WithConnection(path, true, [&](QSqlDatabase &db) {
        const QString notOurs = QStringLiteral("“%1”不是本程序的彩票数据库").arg(QFileInfo(path).fileName());
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next()
            || query.value(0).toString() != QLatin1String("ok"))
            throw InputError(notOurs + QStringLiteral("：文件已损坏。"));
        if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid")))
            throw InputError(notOurs + QStringLiteral("。"));
        QStringList lotteries;
        const QString suffix = DrawTableSuffix();
        while (query.next()) {
            const QString table = query.value(0).toString();
            if (table.size() > suffix.size() && table.endsWith(suffix))
                lotteries << table.left(table.size() - suffix.size());
        }
        if (lotteries.isEmpty())
            throw InputError(notOurs + QStringLiteral("：其中没有彩票号码表。"));
        for (const QString &name : lotteries) {
            QSqlQuery definition(db);
            if (!definition.exec(QStringLiteral("SELECT * FROM %1").arg(DefinitionTableName(name))))
                continue;
            const QSqlRecord record = definition.record();
            bool complete = true;
            for (const char *column : {"彩票名称", "彩票类型", "号码总数", "选择号码数", "开奖时间", "开奖星期"})
                complete = complete && record.indexOf(QString::fromUtf8(column)) >= 0;
            if (complete && definition.next())
                return;
        }
        throw InputError(notOurs + QStringLiteral("：彩票选项表不能读取。"));
    });
}

QString RestoreDatabase(LotteryStore &store, const QString &source)
{
    CheckLotteryDatabase(source);
    const QString target = store.path();
    const QFileInfo info(target);
    const QString kept = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("_恢复前_")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss")) + QLatin1Char('.') + info.suffix();
    const QString temporary = target + QStringLiteral(".restoring");
    QFile::remove(temporary);
    if (!QFile::copy(source, temporary))
        throw IoError::cannotWrite(temporary, QStringLiteral("无法复制“%1”").arg(source));
    store.close();
    if (QFileInfo::exists(target) && !QFile::copy(target, kept)) {
        QFile::remove(temporary);
        throw IoError::cannotWrite(kept, QStringLiteral("无法保留原来的数据库"));
    }
    ReplaceFile(temporary, target);
    return kept;
}

} // namespace lumaro
