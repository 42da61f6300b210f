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

// The real draw histories beside the repository (../shared/data). Empty when absent.
QString sharedDataFile(const QString &name);
// Small fixtures of the repository (tests/data).
QString testDataFile(const QString &name);

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &content);

// How many times longer a test waits for a run: the sanitizer builds are several times slower.
constexpr int kWaitScale =
#ifdef LUMARO_SANITIZED
    10;
#else
    1;
#endif

} // namespace lumaro::test

// Skips the test when the shared draw histories are not beside the repository.
#define LUMARO_REQUIRE_SHARED_FILE(var, name)                                                                          \
    const QString var = ::lumaro::test::sharedDataFile(QStringLiteral(name));                                          \
    if (var.isEmpty())                                                                                                 \
    GTEST_SKIP() << "shared data file " name " not found"
