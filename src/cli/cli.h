#pragma once

#include "data/lottery_store.h"
#include "data/program_folder.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
bool RegisterCommand(Command command);
const std::vector<Command> &Commands();

// Parses args with the given options and the usual --help. Returns false when help was printed.
// Throws UsageError on unknown options or a wrong count of positional arguments.
bool ParseArguments(Context &context, QCommandLineParser &parser, const QStringList &args, const QString &usage,
    int minPositional, int maxPositional);

// The numeric options of every command are read by these. A text that is no whole number is
// wrong use of the option (UsageError naming it). A number the window field the option mirrors
// would refuse is refused with that field's message (InputError); an option that mirrors a
// choice list refuses what the list does not offer as wrong use.

// A whole number of 32 bits, as a window field reads it.
int IntegerOption(const QCommandLineParser &parser, const QString &name);
// A whole number not below lowest; the message is the window's (as ToIntegerAtLeast()).
int IntegerOption(const QCommandLineParser &parser, const QString &name, int lowest, const QString &message = {});
// The option's value when it is given.
std::optional<int> OptionalInteger(const QCommandLineParser &parser, const QString &name);
// One of the whole numbers lowest … highest of a choice list.
int ChoiceOption(const QCommandLineParser &parser, const QString &name, int lowest, int highest);
// An amount of money as the plan and investment windows read it: a signed 64-bit whole number
// that may not be negative ("<what>不能为负数！").
qint64 MoneyOption(const QCommandLineParser &parser, const QString &name, const QString &what);
// A signed 64-bit whole number with no range of its own (the engine checks it).
qint64 WholeOption(const QCommandLineParser &parser, const QString &name);
// A random seed: a whole number from 0 to 18446744073709551615.
std::uint64_t SeedOption(const QCommandLineParser &parser, const QString &name = QStringLiteral("seed"));

} // namespace lumaro::cli
