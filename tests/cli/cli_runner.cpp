#include "cli_runner.h"

#include <QProcess>

namespace lumaro::test {

CliResult RunCli(const QString &home, const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(LUMARO_CLI_PATH), QStringList {QStringLiteral("--home"), home} + args);
    process.waitForFinished(120000);
    CliResult result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.rawOut = process.readAllStandardOutput();
    result.out = QString::fromUtf8(result.rawOut);
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace lumaro::test
