#include "tickets/intersection.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "data/combination.h"
#include "tickets/ticket_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <exception>
#include <thread>

namespace lumaro {

namespace {

constexpr qint64 kReadBlock = 4 << 20;
// Up to this many marks of a file are cleared one by one; beyond it the whole bitmap is.
constexpr std::size_t kTouchedLimit = 1 << 16;
// Runs of lines at least this long are read by two threads.
constexpr qint64 kParallelBytes = 1 << 20;

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '+' || c == ',';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool HasByteOrderMark(const char *p, const char *end)
{
    return end - p >= 3 && static_cast<unsigned char>(p[0]) == 0xEF && static_cast<unsigned char>(p[1]) == 0xBB
        && static_cast<unsigned char>(p[2]) == 0xBF;
}

// The serial of a result list line ("0000001    01 02 …") is not a number of the ticket; no
// lottery number has seven digits.
inline bool IsSerial(const char *token, const char *end)
{
    return end - token >= 7 && std::all_of(token, end, IsDigit);
}

// The value of a token of a ticket line, a whole number with an optional "-"; false for any
// other text and for a value beyond int.
inline bool TokenValue(const char *token, const char *end, int &v)
{
    const char *digits = *token == '-' ? token + 1 : token;
    if (digits >= end)
        return false;
    qint64 value = 0;
    for (const char *d = digits; d < end; ++d) {
        if (!IsDigit(*d))
            return false;
        value = value * 10 + (*d - '0');
        if (value > INT_MAX)
            return false;
    }
    v = static_cast<int>(digits == token ? value : -value);
    return true;
}

enum class TwoZoneRead { Ticket, NotTicket, BadToken };

// Reads the two-zone line [p, end) (without its line end): an optional serial of seven or more
// digits, m ascending front numbers of 1..n, one "+", k distinct back numbers of 1..l (sorted
// into numbers after the front ones). A token that is no whole number ends the reading with
// BadToken and its place in token/tokenEnd.
TwoZoneRead ReadTwoZoneTokens(
    const char *p, const char *end, int n, int m, int l, int k, int *numbers, const char *&token, const char *&tokenEnd)
{
    int zone = 0;
    int front = 0;
    int back = 0;
    bool first = true;
    bool valid = true;
    while (p < end) {
        while (p < end && (IsBlank(*p) || *p == ','))
            ++p;
        if (p == end)
            break;
        if (*p == '+') {
            valid = valid && zone == 0 && front == m;
            zone = 1;
            ++p;
            continue;
        }
        token = p;
        while (p < end && !IsSeparator(*p))
            ++p;
        tokenEnd = p;
        if (first && zone == 0 && IsSerial(token, p)) {
            first = false;
            continue;
        }
        first = false;
        int v = 0;
        if (!TokenValue(token, p, v))
            return TwoZoneRead::BadToken;
        if (zone == 0) {
            valid = valid && front < m && v >= 1 && v <= n && (front == 0 || v > numbers[front - 1]);
            if (front < m)
                numbers[front] = v;
            ++front;
        } else {
            valid = valid && back < k && v >= 1 && v <= l;
            if (back < k)
                numbers[m + back] = v;
            ++back;
        }
    }
    if (!valid || zone != 1 || front != m || back != k)
        return TwoZoneRead::NotTicket;
    std::sort(numbers + m, numbers + m + k);
    return std::adjacent_find(numbers + m, numbers + m + k) == numbers + m + k ? TwoZoneRead::Ticket
                                                                               : TwoZoneRead::NotTicket;
}

// The sums of CombinationTable::index for combinations of m out of 1..n.
std::vector<qint64> RankSums(int n, int m)
{
    const int stride = n + 2;
    std::vector<qint64> before(static_cast<std::size_t>(m) * static_cast<std::size_t>(stride), 0);
    for (int i = 0; i < m; ++i) {
        qint64 sum = 0;
        for (int v = 1; v <= n + 1; ++v) {
            before[static_cast<std::size_t>(i * stride + v)] = sum;
            if (v <= n)
                sum += Choose(n - v, m - i - 1);
        }
    }
    return before;
}

qint64 RankOf(const std::vector<qint64> &before, int n, int m, const int *c)
{
    const int stride = n + 2;
    const qint64 *row = before.data();
    qint64 r = 0;
    int lo = 1;
    for (int i = 0; i < m; ++i, row += stride) {
        r += row[c[i]] - row[lo];
        lo = c[i] + 1;
    }
    return r;
}

} // namespace

// What one scan of a run of lines found; line numbers count from the run's first line (1).
struct CombinationTable::Scan {
    qint64 lines = 0;
    qint64 skipped = 0;
    qint64 firstSkipped = 0;
    qint64 errorLine = 0; // a token that is no whole number; 0: none
    QByteArray errorToken;
};

template<bool Shared>
void CombinationTable::mark(qint64 i)
{
    quint64 &word = m_seen[static_cast<std::size_t>(i >> 6)];
    const quint64 bit = quint64(1) << (i & 63);
    if constexpr (Shared) {
        // Two threads may mark tickets of the same word; each ticket is counted by the thread
        // that set its bit, so the counter itself needs no lock.
        if (std::atomic_ref<quint64>(word).fetch_or(bit, std::memory_order_relaxed) & bit)
            return;
        ++m_counts[static_cast<std::size_t>(i)];
    } else {
        if (word & bit)
            return;
        word |= bit;
        ++m_counts[static_cast<std::size_t>(i)];
        if (!m_touchedOverflow) {
            if (m_touched.size() < kTouchedLimit)
                m_touched.push_back(static_cast<quint32>(i));
            else
                m_touchedOverflow = true;
        }
    }
}

template<bool Shared>
void CombinationTable::scan(const char *p, const char *end, Scan &result)
{
    std::vector<int> numbers(static_cast<std::size_t>(m_m + m_backM));
    int *c = numbers.data();
    // Counters lie far apart in memory: a batch of them is fetched before it is counted.
    std::array<qint64, 64> pending {};
    std::size_t pendingCount = 0;
    auto flush = [&] {
        for (std::size_t k = 0; k < pendingCount; ++k)
            mark<Shared>(pending[k]);
        pendingCount = 0;
    };
    while (p < end) {
        const char *lineEnd = static_cast<const char *>(memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char *next = lineEnd ? lineEnd + 1 : end;
        if (!lineEnd)
            lineEnd = end;
        ++result.lines;
        while (lineEnd > p && (lineEnd[-1] == '\r' || IsBlank(lineEnd[-1])))
            --lineEnd;
        while (p < lineEnd && IsBlank(*p))
            ++p;
        if (p == lineEnd) {
            p = next;
            continue;
        }
        if (m_backM > 0) {
            const char *token = nullptr;
            const char *tokenEnd = nullptr;
            const TwoZoneRead read = ReadTwoZoneTokens(p, lineEnd, m_n, m_m, m_backN, m_backM, c, token, tokenEnd);
            p = next;
            if (read == TwoZoneRead::BadToken) {
                result.errorLine = result.lines;
                result.errorToken = QByteArray(token, static_cast<qsizetype>(tokenEnd - token));
                flush();
                return;
            }
            if (read == TwoZoneRead::NotTicket) {
                if (result.skipped++ == 0)
                    result.firstSkipped = result.lines;
                continue;
            }
            pending[pendingCount++] = index(c);
            if (pendingCount == pending.size())
                flush();
            continue;
        }
        int read = 0;
        bool first = true;
        bool valid = true;
        while (read < m_m) {
            while (p < lineEnd && IsSeparator(*p))
                ++p;
            if (p == lineEnd)
                break;
            const char *token = p;
            while (p < lineEnd && !IsSeparator(*p))
                ++p;
            if (first && IsSerial(token, p)) {
                first = false;
                continue;
            }
            first = false;
            int v = 0;
            if (!TokenValue(token, p, v)) {
                result.errorLine = result.lines;
                result.errorToken = QByteArray(token, static_cast<qsizetype>(p - token));
                flush();
                return;
            }
            if (v < 1 || v > m_n || (read > 0 && v <= c[read - 1]))
                valid = false;
            c[read++] = v;
        }
        p = next;
        if (!valid || read < m_m) {
            if (result.skipped++ == 0)
                result.firstSkipped = result.lines;
            continue;
        }
        const qint64 i = index(c);
        __builtin_prefetch(&m_counts[static_cast<std::size_t>(i)], 1);
        __builtin_prefetch(&m_seen[static_cast<std::size_t>(i >> 6)], 1);
        pending[pendingCount++] = i;
        if (pendingCount == pending.size())
            flush();
    }
    flush();
}

void CombinationTable::addLines(
    const char *begin, const char *end, qint64 &lineBase, const QString &fileName, SkippedLines &skipped)
{
    Scan parts[2];
    const char *middle = end;
    if (end - begin >= kParallelBytes) {
        // Split at a line break near the middle; the second half goes to another thread.
        const char *half = begin + (end - begin) / 2;
        middle = static_cast<const char *>(memchr(half, '\n', static_cast<std::size_t>(end - half)));
        middle = middle ? middle + 1 : end;
    }
    if (middle < end) {
        // A plain thread, joined before the parts are read: the join orders its writes before
        // ours for every tool that checks such things.
        std::exception_ptr failure;
        std::thread second([this, middle, end, &parts, &failure] {
            try {
                scan<true>(middle, end, parts[1]);
            } catch (...) {
                failure = std::current_exception();
            }
        });
        try {
            scan<true>(begin, middle, parts[0]);
        } catch (...) {
            second.join();
            throw;
        }
        second.join();
        if (failure)
            std::rethrow_exception(failure);
        // Marks were not recorded one by one: the next file clears the whole bitmap.
        m_touchedOverflow = true;
    } else {
        scan<false>(begin, end, parts[0]);
    }
    for (const Scan &part : parts) {
        if (part.errorLine > 0)
            throw ConversionError(QStringLiteral("文件%1第%2行：'%3' 不是一个有效的整形值")
                                      .arg(fileName)
                                      .arg(lineBase + part.errorLine)
                                      .arg(QString::fromUtf8(part.errorToken)));
        if (part.skipped > 0 && skipped.lines == 0)
            skipped.firstLine = lineBase + part.firstSkipped;
        skipped.lines += part.skipped;
        lineBase += part.lines;
    }
}

CombinationTable::CombinationTable(LotteryKind kind, int n, int m, int backN, int backM)
    : m_n(n)
    , m_m(m)
    , m_backN(backM > 0 ? backN : 0)
    , m_backM(std::max(backM, 0))
{
    if (kind == LotteryKind::Digit)
        throw InputError(QStringLiteral("大底交集只适用于乐透型彩票！"));
    if (n < 1 || m < 1 || m > n)
        throw InputError(QStringLiteral("号码总数%1、选择号码数%2的彩票不能做大底交集！").arg(n).arg(m));
    if (m_backM > 0 && (m_backN < 1 || m_backM > m_backN))
        throw InputError(
            QStringLiteral("后区号码总数%1、后区选择号码数%2的彩票不能做大底交集！").arg(backN).arg(backM));
    m_backSets = m_backM > 0 ? Choose(m_backN, m_backM) : 1;
    const qint64 fronts = Choose(n, m);
    if (fronts > kMaxCombinations / m_backSets)
        throw CapacityError(QStringLiteral("号码总数%1、选择号码数%2的投注号码有%3注，太多，不能做大底交集！")
                                .arg(n)
                                .arg(m)
                                .arg(static_cast<double>(fronts) * static_cast<double>(m_backSets), 0, 'f', 0));
    const qint64 combinations = fronts * m_backSets;
    m_before = RankSums(n, m);
    if (m_backM > 0)
        m_backBefore = RankSums(m_backN, m_backM);
    m_counts.assign(static_cast<std::size_t>(combinations), 0);
    m_seen.assign(static_cast<std::size_t>((combinations + 63) / 64), 0);
    m_touched.reserve(kTouchedLimit);
}

qint64 CombinationTable::memoryBytes() const
{
    return static_cast<qint64>(m_counts.capacity() * sizeof(quint16) + m_seen.capacity() * sizeof(quint64)
        + (m_before.capacity() + m_backBefore.capacity()) * sizeof(qint64) + m_touched.capacity() * sizeof(quint32));
}

qint64 CombinationTable::index(const int *c) const
{
    const qint64 front = RankOf(m_before, m_n, m_m, c);
    if (m_backM == 0)
        return front;
    return front * m_backSets + RankOf(m_backBefore, m_backN, m_backM, c + m_m);
}

void CombinationTable::clear()
{
    std::fill(m_counts.begin(), m_counts.end(), 0);
    std::fill(m_seen.begin(), m_seen.end(), 0);
    m_touched.clear();
    m_touchedOverflow = false;
}

void CombinationTable::beginFile()
{
    if (m_touchedOverflow) {
        std::fill(m_seen.begin(), m_seen.end(), 0);
    } else {
        for (quint32 i : m_touched)
            m_seen[static_cast<std::size_t>(i >> 6)] = 0;
    }
    m_touched.clear();
    m_touchedOverflow = false;
}

bool CombinationTable::addFile(const QString &path, SkippedLines &skipped, const Progress &progress)
{
    QFile file;
    OpenRegularFile(file, path);
    const QString fileName = QFileInfo(path).fileName();
    skipped = SkippedLines {fileName, 0, 0};
    beginFile();
    // Each block is read behind the unfinished last line of the block before it.
    QByteArray buffer;
    qsizetype carried = 0;
    qint64 lineBase = 0;
    bool first = true;
    for (;;) {
        if (progress.cancelled())
            return false;
        buffer.resize(carried + static_cast<qsizetype>(kReadBlock));
        const qint64 got = file.read(buffer.data() + carried, kReadBlock);
        if (got < 0)
            throw IoError::cannotRead(path, file.errorString());
        const char *begin = buffer.constData();
        const char *end = begin + carried + got;
        if (first && HasByteOrderMark(begin, end))
            begin += 3;
        first = false;
        const char *complete = end;
        if (got > 0) {
            const char *lastBreak
                = static_cast<const char *>(memrchr(begin, '\n', static_cast<std::size_t>(end - begin)));
            complete = lastBreak ? lastBreak + 1 : begin;
        }
        addLines(begin, complete, lineBase, fileName, skipped);
        if (got == 0)
            break;
        carried = static_cast<qsizetype>(end - complete);
        // Only the unfinished line is carried; a line longer than a block holds no ticket, and
        // carrying it on would let one endless line fill the memory.
        if (carried >= kReadBlock)
            throw InputError(QStringLiteral("文件%1第%2行太长（超过%3 MB），不是投注号码文件！")
                                 .arg(fileName)
                                 .arg(lineBase + 1)
                                 .arg(kReadBlock >> 20));
        std::memmove(buffer.data(), complete, static_cast<std::size_t>(carried));
    }
    return true;
}

void CombinationTable::addContent(const QByteArray &content, const QString &fileName, SkippedLines &skipped)
{
    skipped = SkippedLines {fileName, 0, 0};
    beginFile();
    const char *begin = content.constData();
    const char *end = begin + content.size();
    if (HasByteOrderMark(begin, end))
        begin += 3;
    qint64 lineBase = 0;
    addLines(begin, end, lineBase, fileName, skipped);
}

TicketSet CombinationTable::select(int low, int high) const
{
    std::vector<qint16> numbers;
    std::vector<int> c(static_cast<std::size_t>(m_m));
    const qint64 total = size();
    if (total == 0 || low > high)
        return TicketSet::fromRows(m_m + m_backM, {});
    if (m_backM > 0) {
        // Front sets in order, each with its back sets in order: the order of the index.
        std::vector<int> back(static_cast<std::size_t>(m_backM));
        for (int i = 0; i < m_m; ++i)
            c[static_cast<std::size_t>(i)] = i + 1;
        qint64 i = 0;
        do {
            for (int j = 0; j < m_backM; ++j)
                back[static_cast<std::size_t>(j)] = j + 1;
            do {
                const int count = m_counts[static_cast<std::size_t>(i++)];
                if (count >= low && count <= high) {
                    for (int v : c)
                        numbers.push_back(static_cast<qint16>(v));
                    for (int v : back)
                        numbers.push_back(static_cast<qint16>(v));
                }
            } while (NextCombination(back.data(), m_backN, m_backM));
        } while (NextCombination(c.data(), m_n, m_m));
        return TicketSet::fromRows(m_m + m_backM, std::move(numbers));
    }
    for (int i = 0; i < m_m; ++i)
        c[static_cast<std::size_t>(i)] = i + 1;
    for (qint64 i = 0; i < total; ++i) {
        const int count = m_counts[static_cast<std::size_t>(i)];
        if (count >= low && count <= high) {
            for (int v : c)
                numbers.push_back(static_cast<qint16>(v));
        }
        NextCombination(c.data(), m_n, m_m);
    }
    return TicketSet::fromRows(m_m, std::move(numbers));
}

void CheckIntersectionSettings(const IntersectionSettings &settings)
{
    const qsizetype files = settings.files.size();
    if (files == 0)
        throw InputError(QStringLiteral("请先导入大底文件！"));
    if (files > CombinationTable::kMaxFiles)
        throw InputError(QStringLiteral("最多只能导入%1个大底文件！").arg(CombinationTable::kMaxFiles));
    const int f = static_cast<int>(files);
    const int t1 = settings.lowerTolerance;
    const int t2 = settings.upperTolerance;
    if (t1 < 0 || t1 > f || t2 < 0 || t2 > f)
        throw InputError(QStringLiteral("交集容错只能是0到%1之间的整数（%1是导入的大底个数）！").arg(f));
    if (t1 > t2)
        throw InputError(QStringLiteral("交集容错的起始值%1大于结束值%2！").arg(t1).arg(t2));
}

IntersectionResult RunIntersection(
    CombinationTable &table, const IntersectionSettings &settings, const Progress &progress)
{
    CheckIntersectionSettings(settings);
    IntersectionResult result;
    const int f = static_cast<int>(settings.files.size());
    table.clear();
    progress.step(0, f);
    for (int i = 0; i < f; ++i) {
        SkippedLines skipped;
        if (!table.addFile(settings.files[i], skipped, progress)) {
            result.cancelled = true;
            return result;
        }
        if (skipped.lines > 0)
            result.skipped.push_back(skipped);
        progress.step(i + 1, f);
    }
    result.tickets = table.select(f - settings.upperTolerance, f - settings.lowerTolerance);
    return result;
}

QString SkippedLinesMessage(const std::vector<SkippedLines> &skipped, int n, int m, int backN, int backM)
{
    if (skipped.empty())
        return QString();
    QString text = backM > 0
        ? QStringLiteral("下列大底文件中有些行不是有效的投注号码（应是前区%1个1到%2之间从小到大排列的不同号码、“+”、"
                         "后区%3个1到%4之间的不同号码），这些行没有计入交集：")
              .arg(m)
              .arg(n)
              .arg(backM)
              .arg(backN)
        : QStringLiteral("下列大底文件中有些行不是有效的投注号码（前%1个号码应是1到%2之间从小到大排列的不同号码），"
                         "这些行没有计入交集：")
              .arg(m)
              .arg(n);
    for (const SkippedLines &file : skipped)
        text += QStringLiteral("\n%1：%2行，第一处在第%3行").arg(file.fileName).arg(file.lines).arg(file.firstLine);
    return text;
}

ListLine ReadListLine(QByteArrayView line, int n, int m, int *numbers, int backN, int backM)
{
    const char *p = line.data();
    const char *end = p + line.size();
    while (end > p && (end[-1] == '\r' || end[-1] == '\n' || IsBlank(end[-1])))
        --end;
    while (p < end && IsBlank(*p))
        ++p;
    if (p == end)
        return ListLine::Empty;
    if (backM > 0) {
        const char *token = nullptr;
        const char *tokenEnd = nullptr;
        return ReadTwoZoneTokens(p, end, n, m, backN, backM, numbers, token, tokenEnd) == TwoZoneRead::Ticket
            ? ListLine::Ticket
            : ListLine::NotTicket;
    }
    int read = 0;
    bool first = true;
    while (read < m) {
        while (p < end && IsSeparator(*p))
            ++p;
        if (p == end)
            break;
        const char *token = p;
        while (p < end && !IsSeparator(*p))
            ++p;
        if (!std::all_of(token, p, IsDigit))
            return ListLine::NotTicket;
        if (first && p - token >= 7) {
            first = false;
            continue;
        }
        first = false;
        int value = 0;
        for (const char *d = token; d < p && value <= n; ++d)
            value = value * 10 + (*d - '0');
        if (value < 1 || value > n || (read > 0 && value <= numbers[read - 1]))
            return ListLine::NotTicket;
        numbers[read++] = value;
    }
    return read == m ? ListLine::Ticket : ListLine::NotTicket;
}

qint64 WriteTicketFileFromList(
    const QString &path, QIODevice &list, int n, int m, SkippedLines &skipped, int backN, int backM)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError::cannotWrite(path, file.errorString());
    skipped = SkippedLines {QFileInfo(path).fileName(), 0, 0};
    std::vector<int> numbers(static_cast<std::size_t>(std::max(m, 0) + std::max(backM, 0)));
    QByteArray out;
    qint64 written = 0;
    qint64 lineNumber = 0;
    while (!list.atEnd()) {
        QByteArray line = list.readLine();
        ++lineNumber;
        if (lineNumber == 1 && HasByteOrderMark(line.constData(), line.constData() + line.size()))
            line.remove(0, 3);
        switch (ReadListLine(line, n, m, numbers.data(), backN, backM)) {
        case ListLine::Empty:
            break;
        case ListLine::NotTicket:
            if (skipped.lines++ == 0)
                skipped.firstLine = lineNumber;
            break;
        case ListLine::Ticket:
            out += backM > 0 ? TwoZoneTicketLine(numbers.data(), m, numbers.data() + m, backM)
                             : TicketLine(numbers.data(), m);
            out += "\r\n";
            ++written;
            if (out.size() >= (1 << 16)) {
                if (file.write(out) < 0)
                    throw IoError::cannotWrite(path, file.errorString());
                out.clear();
            }
            break;
        }
    }
    if (file.write(out) < 0 || !file.commit())
        throw IoError::cannotWrite(path, file.errorString());
    return written;
}

} // namespace lumaro
