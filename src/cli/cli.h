#pragma once

#include "data/lottery_store.h"
#include "data/program_folder.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

// The frame of lumaro-cli: commands register themselves from their own files, each parses its
// options with QCommandLineParser and reports through the context.
namespace lumaro::cli {

// Wrong use of a command (unknown option, missing argument): exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    { }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

class Context {
public:
    explicit Context(ProgramFolder folder);
    ~Context();

    const ProgramFolder &folder() const { return m_folder; }
    // The database of the program folder, created with the folder on first use.
    LotteryStore &store();
    QTextStream &out() { return m_out; }
    QTextStream &err() { return m_err; }

private:
    ProgramFolder m_folder;
    std::unique_ptr<LotteryStore> m_store;
    QTextStream m_out;
    QTextStream m_err;
};

struct Command {
    const char *name;
    const char *summary;
    // args[0] is the command name; returns the exit status.
    std::function<int(Context &, const QStringList &args)> run;
};

// Called from a static initialiser in each command file.
bool registerCommand(Command command);
const std::vector<Command> &commands();

// Parses args with the given options and the usual --help. Returns false when help was printed.
// Throws UsageError on unknown options or a wrong count of positional arguments.
bool parseArguments(Context &context, QCommandLineParser &parser, const QStringList &args, const QString &usage,
    int minPositional, int maxPositional);

// An integer option value; UsageError naming the option when it is not one.
int integerOption(const QCommandLineParser &parser, const QString &name);

} // namespace lumaro::cli
