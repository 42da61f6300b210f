#pragma once

#include <QString>

namespace lumaro {

class LotteryStore;

// Writes a consistent copy of the database to target (replacing a file there), even while the
// database is in use: the copy is made by SQLite into a temporary file first, so a failure
// never leaves a half-written backup behind.
void BackupDatabase(LotteryStore &store, const QString &target);

// Checks that a file is a lottery database of this program: an SQLite file that passes its
// quick check and holds at least one draw table whose definition table reads. Throws an
// InputError saying what is wrong.
void CheckLotteryDatabase(const QString &path);

// Replaces the database with source after checking it. The replaced database is kept beside
// it under a dated name, which is returned. On any failure the old database stays in place.
QString RestoreDatabase(LotteryStore &store, const QString &source);

} // namespace lumaro
