#include "tickets/wheel_matrix.h"

#include "tickets/ticket_file.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "common/text_format.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <bit>
#include <limits>

namespace lumaro {

namespace {

// A whole decimal number with an optional sign and nothing else.
bool ParseToken(const QByteArray &token, int &value)
{
    bool ok = false;
    value = token.toInt(&ok, 10);
    return ok;
}

QList<QByteArray> TokensOf(const QByteArray &line)
{
    QList<QByteArray> tokens;
    int i = 0;
    const int n = int(line.size());
    while (i < n) {
        while (i < n && (line[i] == ' ' || line[i] == ',' || line[i] == '\t'))
            ++i;
        const int start = i;
        while (i < n && line[i] != ' ' && line[i] != ',' && line[i] != '\t')
            ++i;
        if (i > start)
            tokens.push_back(line.mid(start, i - start));
    }
    return tokens;
}

InputError BadLine(const QString &fileName, int line, const QString &what)
{
    return InputError(QStringLiteral("矩阵文件“%1”第 %2 行%3，该矩阵无法使用。").arg(fileName).arg(line).arg(what));
}

} // namespace

QString WheelNumeral(int n)
{
    static const char *const numerals[] = {"一", "二", "三", "四", "五", "六", "七"};
    if (n < 1 || n > 7)
        return QString();
    return QString::fromUtf8(numerals[n - 1]);
}

QString WheelMatrixFileName(const WheelParams &p)
{
    const QString numeral = WheelNumeral(p.t);
    if (numeral.isEmpty())
        return QString();
    return QStringLiteral("选") + numeral + QStringLiteral("型") + Pad2(p.b) + QStringLiteral("码中")
        + QString::number(p.c) + QStringLiteral("保") + QString::number(p.k) + QStringLiteral(".txt");
}

int WheelBankerCount(const WheelSettings &s)
{
    return s.bankerKind ? s.bankers : 0;
}

WheelParams WheelMatrixParams(const WheelSettings &s)
{
    const int d = WheelBankerCount(s);
    return WheelParams {s.base, s.type - d, s.match - d, s.guarantee - d};
}

QString WheelMatrixFileName(const WheelSettings &s)
{
    return WheelMatrixFileName(WheelMatrixParams(s));
}

QString WheelTicketFileName(const WheelSettings &s)
{
    const QString head = QStringLiteral("选") + WheelNumeral(s.type) + QStringLiteral("型");
    const QString tail = QStringLiteral("中") + QString::number(s.match) + QStringLiteral("保")
        + QString::number(s.guarantee) + QStringLiteral("投注号码.txt");
    if (s.bankerKind)
        return head + QString::number(s.bankers) + QStringLiteral("胆") + QString::number(s.base) + QStringLiteral("拖")
            + tail;
    return head + QString::number(s.base) + QStringLiteral("码") + tail;
}

std::vector<WheelMask> ParseWheelMatrix(const QByteArray &content, const WheelParams &p, const QString &fileName)
{
    std::vector<WheelMask> tickets;
    const QList<QByteArray> lines = content.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        const QList<QByteArray> tokens = TokensOf(line);
        if (tokens.isEmpty())
            continue;
        int value = 0;
        if (!ParseToken(tokens.front(), value))
            break;
        const int lineNumber = i + 1;
        if (tokens.size() != p.t)
            throw BadLine(
                fileName, lineNumber, QStringLiteral("有 %1 个号码位置，应为 %2 个").arg(tokens.size()).arg(p.t));
        WheelMask mask = 0;
        for (const QByteArray &token : tokens) {
            if (!ParseToken(token, value))
                throw BadLine(fileName, lineNumber, QStringLiteral("的“%1”不是整数").arg(QString::fromLatin1(token)));
            if (value < 1 || value > p.b)
                throw BadLine(
                    fileName, lineNumber, QStringLiteral("的位置 %1 超出 1 到 %2 的范围").arg(value).arg(p.b));
            const WheelMask bit = WheelMask(1) << (value - 1);
            if (mask & bit)
                throw BadLine(fileName, lineNumber, QStringLiteral("的位置 %1 重复").arg(value));
            mask |= bit;
        }
        tickets.push_back(mask);
    }
    return tickets;
}

std::vector<WheelMask> ReadWheelMatrix(const QString &path, const WheelParams &p)
{
    // The largest matrix the window asks for has a few thousand tickets.
    constexpr qint64 kMaxMatrixFileBytes = 64LL * 1024 * 1024;
    return ParseWheelMatrix(ReadWholeFile(path, kMaxMatrixFileBytes), p, QFileInfo(path).fileName());
}

QByteArray WheelMatrixText(const std::vector<WheelMask> &tickets)
{
    QByteArray text;
    for (WheelMask t : tickets) {
        const std::vector<int> positions = WheelPositions(t);
        text += JoinPadded(positions.data(), int(positions.size())).toLatin1();
        text += "\r\n";
    }
    return text;
}

void WriteWheelMatrix(const QString &path, const std::vector<WheelMask> &tickets)
{
    WriteWholeFile(path, WheelMatrixText(tickets));
}

std::vector<int> WheelNumberValues(const QStringList &texts)
{
    std::vector<int> values;
    values.reserve(std::size_t(texts.size()));
    for (const QString &text : texts) {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok, 10);
        // Ticket numbers are written with two digits: a negative or longer number is no number
        // of any lottery.
        if (!ok || value < 0 || value > 99)
            throw InputError(QStringLiteral("请在下面号码框中输入正确的号码数字！"));
        values.push_back(value);
    }
    for (int i = 0; i < texts.size(); ++i) {
        for (int j = i + 1; j < texts.size(); ++j) {
            if (texts[i].trimmed() == texts[j].trimmed())
                throw InputError(QStringLiteral("请不要输入重复的号码数字！"));
        }
    }
    return values;
}

std::vector<std::vector<int>> ApplyWheel(
    const std::vector<WheelMask> &matrix, const std::vector<int> &baseValues, const std::vector<int> &bankerValues)
{
    std::vector<std::vector<int>> rows;
    rows.reserve(matrix.size());
    for (WheelMask t : matrix) {
        std::vector<int> row;
        row.reserve(std::size_t(std::popcount(t)) + bankerValues.size());
        for (int position : WheelPositions(t)) {
            if (position > int(baseValues.size()))
                throw InputError(
                    QStringLiteral("矩阵的位置 %1 超出基本号码个数 %2").arg(position).arg(baseValues.size()));
            row.push_back(baseValues[std::size_t(position - 1)]);
        }
        row.insert(row.end(), bankerValues.begin(), bankerValues.end());
        std::stable_sort(row.begin(), row.end());
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::vector<int>> WheelTickets(
    const WheelSettings &s, const QStringList &numberTexts, const QString &matrixPath)
{
    const int d = WheelBankerCount(s);
    if (numberTexts.size() != s.base + d)
        throw InputError(QStringLiteral("需要 %1 个基本号码和 %2 个胆码，却有 %3 个号码！")
                             .arg(s.base)
                             .arg(d)
                             .arg(numberTexts.size()));
    const std::vector<int> values = WheelNumberValues(numberTexts);
    // A matrix that does not match its name is refused before any ticket is made.
    const std::vector<WheelMask> matrix = ReadWheelMatrix(matrixPath, WheelMatrixParams(s));
    const std::vector<int> base(values.begin(), values.begin() + s.base);
    const std::vector<int> bankers(values.begin() + s.base, values.end());
    return ApplyWheel(matrix, base, bankers);
}

std::vector<std::vector<int>> CombineWithBackSets(
    const std::vector<std::vector<int>> &tickets, const std::vector<int> &backSets, int k)
{
    const qint64 sets = k > 0 ? qint64(backSets.size()) / k : 0;
    if (qint64(tickets.size()) * sets > kWheelMaxTwoZoneTickets)
        throw InputError(QStringLiteral("矩阵%1注 × 后区%2注共%3注，超过%4注，请少选几个后区号码！")
                             .arg(tickets.size())
                             .arg(sets)
                             .arg(qint64(tickets.size()) * sets)
                             .arg(kWheelMaxTwoZoneTickets));
    std::vector<std::vector<int>> out;
    out.reserve(static_cast<std::size_t>(qint64(tickets.size()) * sets));
    for (const std::vector<int> &ticket : tickets) {
        for (qint64 s = 0; s < sets; ++s) {
            std::vector<int> row = ticket;
            row.insert(row.end(), backSets.begin() + s * k, backSets.begin() + (s + 1) * k);
            out.push_back(std::move(row));
        }
    }
    return out;
}

QByteArray WheelTwoZoneTicketText(const std::vector<std::vector<int>> &tickets, int front)
{
    QByteArray text;
    for (const std::vector<int> &row : tickets) {
        const int width = static_cast<int>(row.size());
        const int m = std::min(front, width);
        text += TwoZoneTicketLine(row.data(), m, row.data() + m, width - m);
        text += "\r\n";
    }
    return text;
}

QByteArray WheelTicketText(const std::vector<std::vector<int>> &tickets)
{
    QByteArray text;
    for (const std::vector<int> &row : tickets) {
        for (int value : row) {
            text += Pad2(value).toLatin1();
            text += ' ';
        }
        text += "\r\n";
    }
    return text;
}

ComputedWheel ComputeWheelMatrix(
    const WheelParams &p, const QString &path, double seconds, std::uint64_t seed, const Progress &progress)
{
    const QString problem = WheelParamsProblem(p);
    if (!problem.isEmpty())
        throw InputError(problem);
    WheelSearchOptions options;
    options.method = PreferredWheelMethod(p);
    options.seed = seed;
    options.seconds = seconds;
    options.maxMoves = std::numeric_limits<qint64>::max();
    ComputedWheel computed;
    WheelSearchResult result = GenerateWheel(p, options, progress);
    if (result.cancelled || result.tickets.empty()) {
        computed.cancelled = true;
        return computed;
    }
    Progress checkProgress;
    checkProgress.cancel = progress.cancel;
    const WheelCheck check = VerifyWheel(p, result.tickets, checkProgress);
    if (check.cancelled) {
        computed.cancelled = true;
        return computed;
    }
    if (!check.holds)
        throw Error(QStringLiteral("计算出的矩阵未通过检验，未保存。"));
    WriteWheelMatrix(path, result.tickets);
    computed.tickets = std::move(result.tickets);
    return computed;
}

} // namespace lumaro
