#include "tickets/ticket_file.h"

#include "common/file_io.h"

#include "common/errors.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

namespace lumaro {

namespace {

// "%.2d" of a value at out; returns the end.
char *WritePadded(char *out, int value)
{
    if (value >= 0 && value < 100) {
        *out++ = static_cast<char>('0' + value / 10);
        *out++ = static_cast<char>('0' + value % 10);
        return out;
    }
    if (value < 0 && value > -10) {
        *out++ = '-';
        *out++ = '0';
        *out++ = static_cast<char>('0' - value);
        return out;
    }
    return std::to_chars(out, out + 16, value).ptr;
}

// The longest line a row of m numbers gives.
qsizetype MaxLineLength(int m)
{
    return 32 + 13 * static_cast<qsizetype>(m);
}

char *WriteTicketLine(char *out, const int *numbers, int m)
{
    for (int k = 0; k < m; ++k) {
        if (k > 0)
            *out++ = ' ';
        out = WritePadded(out, numbers[k]);
    }
    return out;
}

char *WriteResultListLine(char *out, qint64 serial, const int *numbers, int m)
{
    if (serial >= 0 && serial < 10'000'000) {
        for (int i = 6; i >= 0; --i) {
            out[i] = static_cast<char>('0' + serial % 10);
            serial /= 10;
        }
        out += 7;
    } else {
        out = std::to_chars(out, out + 24, serial).ptr;
    }
    for (int i = 0; i < 4; ++i)
        *out++ = ' ';
    for (int k = 0; k < m; ++k) {
        out = WritePadded(out, numbers[k]);
        *out++ = ' ';
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

// Lines gathered in a buffer and written to a device a chunk at a time.
class ChunkedLines {
public:
    ChunkedLines(QIODevice &device, qsizetype longestLine)
        : m_device(device)
        , m_buffer(static_cast<std::size_t>(kChunk + longestLine))
        , out(m_buffer.data())
    { }

    // After a line was written at out: counts it and passes a full chunk on.
    void lineDone()
    {
        ++written;
        if (out - m_buffer.data() >= kChunk)
            flush();
    }
    bool failed() const { return m_failed; }
    // Writes what is left; throws when any write failed.
    void finish()
    {
        flush();
        if (m_failed)
            throw IoError::cannotWrite(m_device.objectName(), m_device.errorString());
    }

private:
    static constexpr qsizetype kChunk = 1 << 16;
    void flush()
    {
        m_failed = m_failed || m_device.write(m_buffer.data(), out - m_buffer.data()) < 0;
        out = m_buffer.data();
    }

    QIODevice &m_device;
    std::vector<char> m_buffer;
    bool m_failed = false;

public:
    char *out;
    qint64 written = 0;
};

// Walks the (alive) rows of the tickets with progress and cancel; emit(numbers, lines) writes
// the lines of a row and returns false when no more may be written. Returns the lines written,
// or nullopt after a cancel.
template<class EmitFn>
std::optional<qint64> WriteRowLines(QIODevice &device, const TicketSet &tickets, const Progress &progress,
    bool aliveOnly, qsizetype longestLine, EmitFn emit)
{
    ChunkedLines lines(device, longestLine);
    bool cancelled = false;
    bool stopped = false;
    tickets.forEach([&](qint64 row, const int *numbers) {
        if (cancelled || stopped || lines.failed())
            return;
        if (row % 100 == 0) {
            progress.step(row, tickets.rowCount());
            if (progress.cancelled()) {
                cancelled = true;
                return;
            }
        }
        if (aliveOnly && tickets.state(row) != 0)
            return;
        stopped = !emit(numbers, lines);
    });
    if (cancelled)
        return std::nullopt;
    lines.finish();
    progress.step(tickets.rowCount(), tickets.rowCount());
    return lines.written;
}

// Writes one line per (alive) row to device; line(out, serial, numbers, m) writes a line at
// out and returns its end. Returns the lines written, or nullopt after a cancel.
template<class LineFn>
std::optional<qint64> WriteRows(
    QIODevice &device, const TicketSet &tickets, const Progress &progress, bool aliveOnly, LineFn line)
{
    const int m = tickets.width();
    return WriteRowLines(
        device, tickets, progress, aliveOnly, MaxLineLength(m), [&](const int *numbers, ChunkedLines &lines) {
            lines.out = line(lines.out, lines.written + 1, numbers, m);
            lines.lineDone();
            return true;
        });
}

// Writes a file through a temporary one: write(file) returns the lines written, or nullopt after
// a cancel, which leaves nothing behind.
template<class WriteFn>
qint64 SaveLines(const QString &path, WriteFn write)
{
    QSaveFile file(path);
    file.setObjectName(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError::cannotWrite(path, file.errorString());
    const std::optional<qint64> written = write(static_cast<QIODevice &>(file));
    if (!written) {
        file.cancelWriting();
        return 0;
    }
    if (!file.commit())
        throw IoError::cannotWrite(path, file.errorString());
    return *written;
}

template<class LineFn>
qint64 WriteLines(const QString &path, const TicketSet &tickets, const Progress &progress, bool aliveOnly, LineFn line)
{
    return SaveLines(path, [&](QIODevice &file) { return WriteRows(file, tickets, progress, aliveOnly, line); });
}

char *WriteTicketFileLine(char *out, qint64, const int *numbers, int m)
{
    out = WriteTicketLine(out, numbers, m);
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

} // namespace

QByteArray TicketLine(const int *numbers, int m)
{
    QByteArray line(MaxLineLength(m), Qt::Uninitialized);
    line.truncate(WriteTicketLine(line.data(), numbers, m) - line.constData());
    return line;
}

QByteArray ResultListLine(qint64 serial, const int *numbers, int m)
{
    QByteArray line(MaxLineLength(m), Qt::Uninitialized);
    line.truncate(WriteResultListLine(line.data(), serial, numbers, m) - line.constData());
    return line;
}

qint64 WriteResultList(const QString &path, const TicketSet &tickets, const Progress &progress, bool aliveOnly)
{
    return WriteLines(path, tickets, progress, aliveOnly, WriteResultListLine);
}

qint64 WriteTicketFile(const QString &path, const TicketSet &tickets, const Progress &progress, bool aliveOnly)
{
    return WriteLines(path, tickets, progress, aliveOnly, WriteTicketFileLine);
}

qint64 WriteTicketFile(QIODevice &device, const TicketSet &tickets, bool aliveOnly)
{
    return WriteRows(device, tickets, {}, aliveOnly, WriteTicketFileLine).value_or(0);
}

namespace {

// " + " between the zones of a ticket file line; "+ " in a result list line, whose numbers each
// carry a blank already.
char *WriteTwoZoneTicketFileLine(char *out, const int *front, int m, const int *back, int k)
{
    out = WriteTicketLine(out, front, m);
    *out++ = ' ';
    *out++ = '+';
    *out++ = ' ';
    out = WriteTicketLine(out, back, k);
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

char *WriteTwoZoneResultListLine(char *out, qint64 serial, const int *front, int m, const int *back, int k)
{
    out = WriteResultListLine(out, serial, front, m) - 2;
    *out++ = '+';
    *out++ = ' ';
    for (int i = 0; i < k; ++i) {
        out = WritePadded(out, back[i]);
        *out++ = ' ';
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

// Writes the two-zone tickets of the alive rows; line(out, serial, front, back) writes one.
// Returns the lines written (at most maxLines when it is not negative), nullopt after a cancel.
template<class LineFn>
std::optional<qint64> WriteTwoZoneRows(QIODevice &device, const TicketSet &tickets, const TwoZoneRows &rows,
    const Progress &progress, qint64 maxLines, LineFn line)
{
    const int m = rows.m;
    const int k = rows.k;
    if (tickets.rowCount() > 0 && tickets.width() != (rows.backSets.empty() ? m + k : m))
        throw InputError(QStringLiteral("投注号码的个数与彩票的前区%1个、后区%2个号码不符！").arg(m).arg(k));
    const qint64 sets = rows.setCount();
    return WriteRowLines(
        device, tickets, progress, true, MaxLineLength(m + k) + 8, [&](const int *numbers, ChunkedLines &lines) {
            for (qint64 s = 0; s < sets; ++s) {
                if (maxLines >= 0 && lines.written >= maxLines)
                    return false;
                const int *back = rows.backSets.empty() ? numbers + m : rows.backSets.data() + s * k;
                lines.out = line(lines.out, lines.written + 1, numbers, back);
                lines.lineDone();
            }
            return true;
        });
}

template<class LineFn>
qint64 WriteTwoZoneLines(const QString &path, const TicketSet &tickets, const TwoZoneRows &rows,
    const Progress &progress, qint64 maxLines, LineFn line)
{
    return SaveLines(
        path, [&](QIODevice &file) { return WriteTwoZoneRows(file, tickets, rows, progress, maxLines, line); });
}

} // namespace

QByteArray TwoZoneResultListLine(qint64 serial, const int *front, int m, const int *back, int k)
{
    QByteArray line(MaxLineLength(m + k) + 8, Qt::Uninitialized);
    line.truncate(WriteTwoZoneResultListLine(line.data(), serial, front, m, back, k) - line.constData());
    return line;
}

qint64 WriteTwoZoneResultList(
    const QString &path, const TicketSet &tickets, const TwoZoneRows &rows, const Progress &progress, qint64 maxLines)
{
    return WriteTwoZoneLines(
        path, tickets, rows, progress, maxLines, [&rows](char *out, qint64 serial, const int *front, const int *back) {
            return WriteTwoZoneResultListLine(out, serial, front, rows.m, back, rows.k);
        });
}

qint64 WriteTwoZoneTicketFile(
    const QString &path, const TicketSet &tickets, const TwoZoneRows &rows, const Progress &progress)
{
    return WriteTwoZoneLines(
        path, tickets, rows, progress, -1, [&rows](char *out, qint64, const int *front, const int *back) {
            return WriteTwoZoneTicketFileLine(out, front, rows.m, back, rows.k);
        });
}

qint64 WriteTwoZoneTicketFile(QIODevice &device, const TicketSet &tickets, const TwoZoneRows &rows)
{
    return WriteTwoZoneRows(device, tickets, rows, {}, -1,
        [&rows](char *out, qint64, const int *front, const int *back) {
            return WriteTwoZoneTicketFileLine(out, front, rows.m, back, rows.k);
        })
        .value_or(0);
}

namespace {

// A memo line as a ticket-file line (without its line end); empty when nothing is left.
QByteArray TicketOfMemoLine(QStringView line, bool hasSerials)
{
    return (hasSerials ? line.mid(std::min<qsizetype>(7, line.size())) : line).trimmed().toUtf8();
}

} // namespace

QByteArray TicketFileFromMemo(const QStringList &memoLines, bool hasSerials)
{
    QByteArray out;
    for (const QString &line : memoLines) {
        const QByteArray ticket = TicketOfMemoLine(line, hasSerials);
        if (ticket.isEmpty())
            continue;
        out += ticket;
        out += "\r\n";
    }
    return out;
}

qint64 WriteTicketFileFromMemo(const QString &path, const QByteArray &memoText, bool hasSerials)
{
    QByteArray text = memoText;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    return WriteTicketFileFromMemo(path, buffer, hasSerials);
}

qint64 WriteTicketFileFromMemo(const QString &path, QIODevice &memo, bool hasSerials)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError::cannotWrite(path, file.errorString());
    QByteArray out;
    out.reserve(1 << 16);
    qint64 written = 0;
    auto take = [&](const char *line, qsizetype length) {
        const QByteArray ticket = TicketOfMemoLine(QString::fromUtf8(line, length), hasSerials);
        if (ticket.isEmpty())
            return;
        out += ticket;
        out += "\r\n";
        ++written;
        if (out.size() > (1 << 16) - 256) {
            file.write(out);
            out.clear();
        }
    };
    // The memo is read a megabyte at a time; a line cut by a chunk's end waits for the next.
    QByteArray pending;
    for (;;) {
        const QByteArray chunk = memo.read(1 << 20);
        if (chunk.isEmpty())
            break;
        pending += chunk;
        qsizetype start = 0;
        for (;;) {
            const qsizetype end = pending.indexOf('\n', start);
            if (end < 0)
                break;
            take(pending.constData() + start, end - start);
            start = end + 1;
        }
        pending.remove(0, start);
    }
    if (!pending.isEmpty())
        take(pending.constData(), pending.size());
    file.write(out);
    if (!file.commit())
        throw IoError::cannotWrite(path, file.errorString());
    return written;
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The number in a two-character slot: two digits directly, anything else the way a trimmed
// text converts (" 7", "+7", "-7").
bool SlotValue(QByteArrayView slot, int &value)
{
    if (slot.size() == 2 && slot[0] >= '0' && slot[0] <= '9' && slot[1] >= '0' && slot[1] <= '9') {
        value = (slot[0] - '0') * 10 + (slot[1] - '0');
        return true;
    }
    const QByteArray text = slot.toByteArray().trimmed();
    bool ok = false;
    value = text.toInt(&ok);
    return ok && !text.isEmpty();
}

} // namespace

namespace {

// The lines of a ticket file, one ticket a line: readLine(line, lineNumber, numbers) fills the
// numbers of a line that is not blank (or throws). What follows is the same for every form: a
// blank line ends the file (or is skipped), a line equal to the one before may be dropped, the
// count is limited, and the first ballCount numbers of a ticket mark its balls.
template<class ReadLine>
LoadedTickets ParseTicketLines(const QByteArray &content, int width, int ballCount, const QString &fileName,
    const TicketFileOptions &options, ReadLine &&readLine)
{
    LoadedTickets result;
    std::vector<qint16> numbers;
    std::vector<int> previous;
    std::vector<int> current;
    current.reserve(static_cast<std::size_t>(width));
    qint64 stored = 0;
    qint64 lineNumber = 0;
    qsizetype start = 0;
    const qsizetype size = content.size();
    const char *data = content.constData();
    while (start < size) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = size;
        QByteArrayView line(data + start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        ++lineNumber;
        if (std::all_of(line.begin(), line.end(), IsBlank)) {
            if (options.stopAtBlankLine)
                break;
            continue;
        }
        current.clear();
        readLine(line, lineNumber, current);
        for (int i = 0; i < ballCount; ++i) {
            const int v = current[static_cast<std::size_t>(i)];
            if (v >= 1 && v <= 50)
                result.balls[static_cast<std::size_t>(v)] = true;
        }
        if (options.collapseRepeats && current == previous)
            continue;
        previous = current;
        if (++stored > options.maxTickets)
            throw InputError(
                QStringLiteral("文件%1的投注号码超过%2注，无法载入。").arg(fileName).arg(options.maxTickets));
        for (int v : current)
            numbers.push_back(static_cast<qint16>(std::clamp(v, -32768, 32767)));
    }
    // A memo shows one line per line break plus the text after the last one.
    result.fileLines = content.isEmpty() ? 0 : content.count('\n') + (content.endsWith('\n') ? 0 : 1);
    result.tickets = TicketSet::fromRows(width, std::move(numbers));
    return result;
}

} // namespace

LoadedTickets ParseTicketFile(
    const QByteArray &content, int m, const QString &fileName, const TicketFileOptions &options)
{
    return ParseTicketLines(
        content, m, m, fileName, options, [&](QByteArrayView line, qint64 lineNumber, std::vector<int> &current) {
            for (int k = 0; k < m; ++k) {
                const qsizetype from = std::min<qsizetype>(3 * k, line.size());
                const QByteArrayView slot = line.sliced(from, std::min<qsizetype>(2, line.size() - from));
                int value = 0;
                if (!SlotValue(slot, value))
                    throw ConversionError(QStringLiteral("文件%1第%2行：'%3' 不是一个有效的整形值")
                                              .arg(fileName)
                                              .arg(lineNumber)
                                              .arg(QString::fromUtf8(slot)));
                current.push_back(value);
            }
        });
}

LoadedTickets ReadTicketFile(const QString &path, int m, const TicketFileOptions &options)
{
    return ParseTicketFile(
        ReadFileContent(path, TicketFileByteLimit(options.maxTickets)), m, QFileInfo(path).fileName(), options);
}

QByteArray TwoZoneTicketLine(const int *front, int m, const int *back, int k)
{
    QByteArray line = TicketLine(front, m);
    line += " + ";
    line += TicketLine(back, k);
    return line;
}

LoadedTickets ParseTwoZoneTicketFile(
    const QByteArray &content, int m, int k, const QString &fileName, const TicketFileOptions &options)
{
    return ParseTicketLines(
        content, m + k, m, fileName, options, [&](QByteArrayView line, qint64 lineNumber, std::vector<int> &current) {
            auto refuse = [&](const QString &why) {
                return ConversionError(QStringLiteral("文件%1第%2行：%3").arg(fileName).arg(lineNumber).arg(why));
            };
            const qsizetype plus = line.indexOf('+');
            if (plus < 0 || line.indexOf('+', plus + 1) >= 0)
                throw refuse(QStringLiteral("应为前区%1个号码、“+”、后区%2个号码").arg(m).arg(k));
            auto readZone = [&](QByteArrayView zone, int count, const char *zoneName) {
                int found = 0;
                qsizetype i = 0;
                while (i < zone.size()) {
                    while (i < zone.size() && IsBlank(zone[i]))
                        ++i;
                    if (i >= zone.size())
                        break;
                    qsizetype j = i;
                    while (j < zone.size() && !IsBlank(zone[j]))
                        ++j;
                    const QByteArrayView token = zone.sliced(i, j - i);
                    // At most four digits: a longer token is refused before its value could
                    // overflow.
                    bool ok = token.size() <= 4;
                    int value = 0;
                    for (qsizetype d = 0; ok && d < token.size(); ++d) {
                        ok = token[d] >= '0' && token[d] <= '9';
                        value = value * 10 + (token[d] - '0');
                    }
                    if (!ok)
                        throw refuse(QStringLiteral("'%1' 不是一个有效的整形值").arg(QString::fromUtf8(token)));
                    current.push_back(value);
                    ++found;
                    i = j;
                }
                if (found != count)
                    throw refuse(QStringLiteral("%1应有%2个号码，实有%3个")
                                     .arg(QString::fromUtf8(zoneName))
                                     .arg(count)
                                     .arg(found));
            };
            readZone(line.first(plus), m, "前区");
            readZone(line.sliced(plus + 1), k, "后区");
        });
}

LoadedTickets ReadTwoZoneTicketFile(const QString &path, int m, int k, const TicketFileOptions &options)
{
    return ParseTwoZoneTicketFile(
        ReadFileContent(path, TicketFileByteLimit(options.maxTickets)), m, k, QFileInfo(path).fileName(), options);
}

qint64 TicketFileByteLimit(qint64 maxTickets)
{
    constexpr qint64 kLineBytes = 64;
    constexpr qint64 kSlack = 1 << 20;
    if (maxTickets >= (kMaxWholeFileBytes - kSlack) / kLineBytes)
        return kMaxWholeFileBytes;
    return maxTickets * kLineBytes + kSlack;
}

QString ReadTextFile(const QString &path)
{
    QString text = QString::fromUtf8(ReadFileContent(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QByteArray ReadFileContent(const QString &path, qint64 maxBytes)
{
    return ReadWholeFile(path, maxBytes);
}

} // namespace lumaro
