// Wheeling-matrix commands: apply a shipped matrix to numbers, design a matrix, check one.
#include "cli/cli.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "common/text_format.h"
#include "tickets/ticket_file.h"
#include "tickets/total_filter.h"
#include "tickets/wheel_design.h"
#include "tickets/wheel_matrix.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <limits>
#include <optional>

namespace lumaro::cli {

namespace {

QStringList NumberTexts(const QString &list)
{
    return list.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
}

// The back numbers of the command line's wheel take two digits, as every ticket number does.
constexpr int kMaxWheelBackNumber = 99;

void RequireRange(int value, int lo, int hi, const char *what)
{
    if (value < lo || value > hi)
        throw UsageError(QStringLiteral("%1 必须在 %2 到 %3 之间").arg(QString::fromUtf8(what)).arg(lo).arg(hi));
}

int Wheel(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("base"), QStringLiteral("基本号码，空格分隔"), QStringLiteral("\"n n …\"")},
        {QStringLiteral("bankers"), QStringLiteral("胆号码（胆拖式），空格分隔"), QStringLiteral("\"n n\"")},
        {QStringLiteral("type"), QStringLiteral("彩票类型：每注号码数 1..7"), QStringLiteral("T"), QStringLiteral("6")},
        {QStringLiteral("match"), QStringLiteral("选对号码数 1..8"), QStringLiteral("C"), QStringLiteral("6")},
        {QStringLiteral("guarantee"), QStringLiteral("保中号码数 1..8"), QStringLiteral("K"), QStringLiteral("5")},
        {QStringLiteral("back"), QStringLiteral("双区型彩票的后区号码，空格分隔（与 --back-pick 一起用）"),
            QStringLiteral("\"n n …\"")},
        {QStringLiteral("back-pick"), QStringLiteral("每注的后区号码个数：每注与后区号码中每K个的组合各成一注"),
            QStringLiteral("K")},
        {QStringList {QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("把投注号码写入号码文件"),
            QStringLiteral("FILE")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("wheel --base \"n …\" [--bankers \"n …\"] --type T --match C --guarantee K "
                           "[--back \"n …\" --back-pick K] [-o FILE]"),
            0, 0))
        return 0;
    if (parser.isSet(QStringLiteral("back")) != parser.isSet(QStringLiteral("back-pick")))
        throw UsageError(QStringLiteral("--back 和 --back-pick 要一起使用"));
    if (!parser.isSet(QStringLiteral("base")))
        throw UsageError(QStringLiteral("缺少 --base"));
    const QStringList base = NumberTexts(parser.value(QStringLiteral("base")));
    const QStringList bankers = NumberTexts(parser.value(QStringLiteral("bankers")));
    WheelSettings s;
    s.base = int(base.size());
    s.bankers = int(bankers.size());
    s.bankerKind = parser.isSet(QStringLiteral("bankers"));
    s.type = IntegerOption(parser, QStringLiteral("type"));
    s.match = IntegerOption(parser, QStringLiteral("match"));
    s.guarantee = IntegerOption(parser, QStringLiteral("guarantee"));
    RequireRange(s.base, 1, kWheelMaxBase, "基本号码个数");
    RequireRange(s.bankers, 0, kWheelMaxBankers, "胆号码个数");
    RequireRange(s.type, 1, 7, "--type");
    RequireRange(s.match, 1, 8, "--match");
    RequireRange(s.guarantee, 1, 8, "--guarantee");

    context.folder().ensureCreated();
    const QString name = WheelMatrixFileName(s);
    const QString path = context.folder().wheelMatrixFile(name);
    if (path.isEmpty())
        throw InputError(QStringLiteral("没有该类型的矩阵！"));
    // Two-zone tickets: the back numbers are checked before the matrix is read.
    std::optional<BackChoice> back;
    if (parser.isSet(QStringLiteral("back"))) {
        const int k = IntegerOption(parser, QStringLiteral("back-pick"));
        RequireRange(k, 1, kMaxBackNumbers, "--back-pick");
        back = ParseBackChoice(parser.value(QStringLiteral("back")), kMaxWheelBackNumber, k);
    }
    const std::vector<std::vector<int>> wheel = WheelTickets(s, base + bankers, path);
    const std::vector<std::vector<int>> rows = back ? CombineWithBackSets(wheel, back->sets(), back->k) : wheel;

    QTextStream &out = context.out();
    out << "序号";
    for (int i = 1; i <= s.type; ++i)
        out << "\t号码" << i;
    for (int i = 1; back && i <= back->k; ++i)
        out << "\t后区" << i;
    out << '\n';
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out << r + 1;
        for (int v : rows[r])
            out << '\t' << Pad2(v);
        out << '\n';
    }
    if (back)
        out << "投注号码：共" << rows.size() << " 注（矩阵" << wheel.size() << "注 × 后区" << back->setCount()
            << "注）\n";
    else
        out << "投注号码：共" << rows.size() << " 注\n";

    if (parser.isSet(QStringLiteral("output"))) {
        QByteArray text;
        if (back) {
            text = WheelTwoZoneTicketText(rows, s.type);
        } else {
            for (const std::vector<int> &row : rows)
                text += TicketLine(row.data(), int(row.size())) + "\r\n";
        }
        WriteWholeFile(parser.value(QStringLiteral("output")), text);
    }
    return 0;
}

WheelParams PositionalParams(const QStringList &positional, int first, bool withTicketSize)
{
    bool ok = true;
    auto number = [&](int i) {
        bool one = false;
        const int v = positional[i].toInt(&one);
        ok = ok && one;
        return v;
    };
    WheelParams p;
    p.b = number(first);
    int next = first + 1;
    if (withTicketSize)
        p.t = number(next++);
    p.c = number(next++);
    p.k = number(next);
    if (!ok)
        throw UsageError(QStringLiteral("B、T、C、K 必须是整数"));
    return p;
}

int WheelDesign(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("B"), QStringLiteral("基本号码个数"));
    parser.addPositionalArgument(QStringLiteral("T"), QStringLiteral("每注号码数"));
    parser.addPositionalArgument(QStringLiteral("C"), QStringLiteral("选对号码数"));
    parser.addPositionalArgument(QStringLiteral("K"), QStringLiteral("保中号码数"));
    parser.addOptions({
        {QStringLiteral("seconds"), QStringLiteral("最长计算秒数（默认 20）"), QStringLiteral("S"),
            QStringLiteral("20")},
        {QStringLiteral("seed"), QStringLiteral("随机种子（默认 1）"), QStringLiteral("S"), QStringLiteral("1")},
        {QStringList {QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("把矩阵写入矩阵文件"),
            QStringLiteral("FILE")},
    });
    if (!ParseArguments(
            context, parser, args, QStringLiteral("wheel-design B T C K [--seconds S] [--seed S] [-o FILE]"), 4, 4))
        return 0;
    const WheelParams p = PositionalParams(parser.positionalArguments(), 0, true);
    const QString problem = WheelParamsProblem(p);
    if (!problem.isEmpty())
        throw InputError(problem);
    bool ok = false;
    const double seconds = parser.value(QStringLiteral("seconds")).toDouble(&ok);
    if (!ok || seconds <= 0)
        throw UsageError(QStringLiteral("--seconds 必须是正数"));
    const std::uint64_t seed = SeedOption(parser);

    WheelSearchOptions options;
    options.method = PreferredWheelMethod(p);
    options.seed = seed;
    options.seconds = seconds;
    options.maxMoves = std::numeric_limits<qint64>::max();
    const WheelSearchResult result = GenerateWheel(p, options);
    if (!VerifyWheel(p, result.tickets).holds)
        throw Error(QStringLiteral("计算出的矩阵未通过检验。"));
    const QByteArray text = WheelMatrixText(result.tickets);
    context.out() << QString::fromLatin1(text).remove(QLatin1Char('\r'));
    context.out() << "矩阵注数：" << result.tickets.size() << '\n';
    if (parser.isSet(QStringLiteral("output")))
        WriteWholeFile(parser.value(QStringLiteral("output")), text);
    return 0;
}

// The number of tokens of the first line that holds any: the ticket size of the file.
int TicketSizeOf(const QByteArray &content)
{
    for (const QByteArray &line : content.split('\n')) {
        const QList<QByteArray> tokens = line.simplified().replace(',', ' ').split(' ');
        int count = 0;
        for (const QByteArray &token : tokens)
            count += token.isEmpty() ? 0 : 1;
        if (count > 0)
            return count;
    }
    return 0;
}

int RunWheelCheck(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("矩阵文件"));
    parser.addPositionalArgument(QStringLiteral("B"), QStringLiteral("基本号码个数"));
    parser.addPositionalArgument(QStringLiteral("C"), QStringLiteral("选对号码数"));
    parser.addPositionalArgument(QStringLiteral("K"), QStringLiteral("保中号码数"));
    parser.addOption({QStringLiteral("bankers"), QStringLiteral("胆拖式的胆号码个数：C 和 K 含胆码"),
        QStringLiteral("D"), QStringLiteral("0")});
    if (!ParseArguments(context, parser, args, QStringLiteral("wheel-check FILE B C K [--bankers D]"), 4, 4))
        return 0;
    const QStringList positional = parser.positionalArguments();
    WheelParams p = PositionalParams(positional, 1, false);
    const int d = IntegerOption(parser, QStringLiteral("bankers"));
    if (d < 0)
        throw UsageError(QStringLiteral("--bankers 不能为负数"));
    p.c -= d;
    p.k -= d;

    // A plain file name that is not in the current folder names a matrix of the program.
    QString path = positional[0];
    if (!QFileInfo::exists(path) && !path.contains(QLatin1Char('/'))) {
        const QString stored = context.folder().wheelMatrixFile(path);
        if (!stored.isEmpty())
            path = stored;
    }
    const QByteArray content = ReadWholeFile(path);
    p.t = TicketSizeOf(content);
    const QString problem = WheelParamsProblem(p);
    if (!problem.isEmpty())
        throw InputError(problem);
    const std::vector<WheelMask> tickets = ParseWheelMatrix(content, p, QFileInfo(path).fileName());
    const WheelCheck check = VerifyWheel(p, tickets);
    QTextStream &out = context.out();
    out << "矩阵注数：" << tickets.size() << '\n';
    if (check.holds) {
        out << "保证成立：" << check.draws << " 组选对号码都至少中" << p.k << "个\n";
        return 0;
    }
    const std::vector<int> missed = WheelPositions(check.firstUncovered);
    out << "保证不成立：" << check.uncovered << " 组（共 " << check.draws << " 组）选对号码不中" << p.k << "个，例如 "
        << JoinPadded(missed.data(), int(missed.size())) << '\n';
    return 1;
}

[[maybe_unused]] const bool registered = RegisterCommand({"wheel", "旋转矩阵组号 / wheel numbers by a matrix", Wheel})
    && RegisterCommand({"wheel-design", "计算旋转矩阵 / design a wheeling matrix", WheelDesign})
    && RegisterCommand({"wheel-check", "检验旋转矩阵 / check a wheeling matrix", RunWheelCheck});

} // namespace

} // namespace lumaro::cli
