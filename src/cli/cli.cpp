#include "cli/cli.h"

#include "common/errors.h"
#include "invest/money.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace lumaro::cli {

namespace {

std::vector<Command> &Registry()
{
    static std::vector<Command> list;
    return list;
}

void PrintOverview(QTextStream &out)
{
    out << "用法：lumaro-cli [--home DIR] COMMAND [ARGS…]\n"
           "Usage: lumaro-cli [--home DIR] COMMAND [ARGS...]\n\n"
           "  --home DIR   程序文件夹（默认 $LUMARO_HOME，否则 $XDG_DATA_HOME/Lumaro/）\n\n"
           "命令 / commands:\n";
    std::vector<Command> sorted = Registry();
    std::sort(
        sorted.begin(), sorted.end(), [](const Command &a, const Command &b) { return qstrcmp(a.name, b.name) < 0; });
    for (const Command &command : sorted)
        out << "  " << QString::fromUtf8(command.name).leftJustified(12) << ' ' << QString::fromUtf8(command.summary)
            << '\n';
    out << "\n每个命令都有 --help。Every command takes --help.\n";
}

} // namespace

Context::Context(ProgramFolder folder)
    : m_folder(std::move(folder))
    , m_out(stdout)
    , m_err(stderr)
{ }

Context::~Context()
{
    m_out.flush();
    m_err.flush();
}

LotteryStore &Context::store()
{
    if (!m_store) {
        m_folder.ensureCreated();
        m_store = std::make_unique<LotteryStore>(m_folder.databaseFile());
    }
    return *m_store;
}

bool RegisterCommand(Command command)
{
    Registry().push_back(std::move(command));
    return true;
}

const std::vector<Command> &Commands()
{
    return Registry();
}

bool ParseArguments(Context &context, QCommandLineParser &parser, const QStringList &args, const QString &usage,
    int minPositional, int maxPositional)
{
    const QCommandLineOption help(
        QStringList {QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("显示本命令的用法"));
    parser.addOption(help);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(args))
        throw UsageError(parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        // QCommandLineParser starts its text with "Usage: <program> [options]"; show ours.
        const int firstBreak = text.indexOf(QLatin1Char('\n'));
        text = QStringLiteral("用法：lumaro-cli ") + usage + (firstBreak >= 0 ? text.mid(firstBreak) : QString());
        context.out() << text;
        return false;
    }
    const int count = static_cast<int>(parser.positionalArguments().size());
    if (count < minPositional || (maxPositional >= 0 && count > maxPositional))
        throw UsageError(QStringLiteral("参数个数不对。用法：lumaro-cli %1").arg(usage));
    return true;
}

namespace {

QString NotIntegerText(const QString &name, const QString &text)
{
    return QStringLiteral("--%1 的值“%2”不是整数").arg(name, text);
}

// Runs read on the option's text; a text that does not convert is wrong use of the option.
template<class Read>
auto ReadOption(const QCommandLineParser &parser, const QString &name, Read read)
{
    const QString text = parser.value(name);
    try {
        return read(text);
    } catch (const ConversionError &) {
        throw UsageError(NotIntegerText(name, text));
    }
}

} // namespace

int IntegerOption(const QCommandLineParser &parser, const QString &name)
{
    return ReadOption(parser, name, [](const QString &text) { return ToInteger(text); });
}

int IntegerOption(const QCommandLineParser &parser, const QString &name, int lowest, const QString &message)
{
    return ReadOption(parser, name, [&](const QString &text) { return ToIntegerAtLeast(text, lowest, message); });
}

std::optional<int> OptionalInteger(const QCommandLineParser &parser, const QString &name)
{
    if (!parser.isSet(name))
        return std::nullopt;
    return IntegerOption(parser, name);
}

int ChoiceOption(const QCommandLineParser &parser, const QString &name, int lowest, int highest)
{
    const int value = IntegerOption(parser, name);
    if (value < lowest || value > highest)
        throw UsageError(QStringLiteral("--%1 应在%2到%3之间").arg(name).arg(lowest).arg(highest));
    return value;
}

qint64 MoneyOption(const QCommandLineParser &parser, const QString &name, const QString &what)
{
    return ReadOption(parser, name, [&](const QString &text) { return ToMoneyNotNegative(text, what); });
}

qint64 WholeOption(const QCommandLineParser &parser, const QString &name)
{
    return ReadOption(parser, name, [](const QString &text) { return ToMoney(text); });
}

std::uint64_t SeedOption(const QCommandLineParser &parser, const QString &name)
{
    const QString text = parser.value(name);
    const QString digits = text.trimmed();
    bool ok = !digits.isEmpty()
        && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const std::uint64_t seed = ok ? digits.toULongLong(&ok, 10) : 0;
    if (!ok)
        throw UsageError(QStringLiteral("--%1 的值“%2”不是0到%3之间的整数")
                             .arg(name, text)
                             .arg(std::numeric_limits<std::uint64_t>::max()));
    return seed;
}

} // namespace lumaro::cli

int main(int argc, char *argv[])
{
    using namespace lumaro;
    using namespace lumaro::cli;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumaro-cli"));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    QString home;
    while (!args.isEmpty() && args.front().startsWith(QLatin1Char('-'))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--home") && !args.isEmpty()) {
            home = args.takeFirst();
        } else if (option.startsWith(QLatin1String("--home="))) {
            home = option.mid(7);
        } else if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            Context context {ProgramFolder()};
            PrintOverview(context.out());
            return 0;
        } else {
            QTextStream err(stderr);
            err << "未知选项 / unknown option: " << option << "\n";
            return 2;
        }
    }
    Context context(ProgramFolder::resolve(home));
    if (args.isEmpty()) {
        PrintOverview(context.err());
        return 2;
    }
    const QString name = args.front();
    const auto &list = Commands();
    const auto found
        = std::find_if(list.begin(), list.end(), [&](const Command &c) { return name == QLatin1String(c.name); });
    if (found == list.end()) {
        context.err() << "未知命令 / unknown command: " << name << "\n";
        PrintOverview(context.err());
        return 2;
    }
    try {
        return found->run(context, args);
    } catch (const UsageError &error) {
        context.err() << error.message() << "\n";
        return 2;
    } catch (const Error &error) {
        context.err() << error.message() << "\n";
        return 1;
    } catch (const std::exception &error) {
        context.err() << "错误：" << QString::fromLocal8Bit(error.what()) << "\n";
        return 1;
    }
}
