#pragma once

#include "data/lottery_store.h"
#include "data/program_folder.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace lumaro::test {

// A fresh program folder in a temporary directory, with its database, removed afterwards.
class TestHome {
public:
    TestHome();
    const ProgramFolder &folder() const { return m_folder; }
    LotteryStore &store() { return *m_store; }
    QString path(const QString &relative) const { return m_folder.file(relative); }

private:
    QTemporaryDir m_dir;
    ProgramFolder m_folder;
    std::unique_ptr<LotteryStore> m_store;
};

// A real draw history of the repository (the ones bundled with the program: qlc.csv, fc3d.csv).
// Throws when it is missing, so a test that needs one fails instead of passing unseen.
QString HistoryFile(const QString &name);
// Small fixtures of the repository (tests/data).
QString TestDataFile(const QString &name);

QByteArray ReadFile(const QString &path);
void WriteFile(const QString &path, const QByteArray &content);

// How many times longer a test waits for a run: the sanitizer builds are several times slower.
constexpr int kWaitScale =
#ifdef LUMARO_SANITIZED
    10;
#else
    1;
#endif

} // namespace lumaro::test

// The path of a real draw history of the repository, as a local variable.
#define LUMARO_HISTORY_FILE(var, name) const QString var = ::lumaro::test::HistoryFile(QStringLiteral(name))
