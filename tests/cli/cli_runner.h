#pragma once

#include <QString>
#include <QStringList>

namespace lumaro::test {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray rawOut;
};

// Runs lumaro-cli with --home HOME and the given arguments.
CliResult RunCli(const QString &home, const QStringList &args);

} // namespace lumaro::test
