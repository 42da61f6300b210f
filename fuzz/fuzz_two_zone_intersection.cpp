// The intersection's reader of two-zone lines: the counts of a table fed with up to three files
// agree with a plain reading of the same bytes (a pair counted once a file), every line is a
// ticket, a skipped line, blank or the refused one, and every pair selected is a front set of
// 1..N with a back set of 1..L; each line read by ReadListLine agrees with the table.
#include "fuzz_support.h"

#include "common/errors.h"
#include "tickets/intersection.h"

#include <QList>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <set>
#include <vector>

using namespace lumaro;

namespace {

struct Reference {
    std::set<std::vector<int>> tickets;
    qint64 skipped = 0;
    qint64 firstSkipped = 0;
    qint64 errorLine = 0;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

// An optional minus and decimal digits that fit in an int.
bool TokenValue(const QByteArray &token, qint64 &value)
{
    const qsizetype start = token.startsWith('-') ? 1 : 0;
    if (start == token.size())
        return false;
    value = 0;
    for (qsizetype i = start; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9')
            return false;
        value = value * 10 + (token[i] - '0');
        if (value > INT_MAX)
            return false;
    }
    value = start == 1 ? -value : value;
    return true;
}

// The tokens of a line, "+" a token of its own.
QList<QByteArray> Tokens(const QByteArray &line)
{
    QList<QByteArray> tokens;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i == line.size())
            break;
        if (line[i] == '+') {
            tokens << QByteArray("+");
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != '+')
            ++i;
        tokens << line.mid(start, i - start);
    }
    return tokens;
}

Reference ReadPlainly(QByteArray content, int n, int m, int l, int k)
{
    Reference ref;
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QByteArray line = lines[number];
        while (!line.isEmpty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.chop(1);
        qsizetype lead = 0;
        while (lead < line.size() && (line[lead] == ' ' || line[lead] == '\t'))
            ++lead;
        if (lead == line.size())
            continue;
        QList<QByteArray> tokens = Tokens(line.mid(lead));
        // A first token of seven or more digits before the "+" is a serial.
        if (!tokens.isEmpty() && tokens.front().size() >= 7
            && std::all_of(tokens.front().begin(), tokens.front().end(), [](char c) { return c >= '0' && c <= '9'; }))
            tokens.removeFirst();
        std::vector<int> front;
        std::vector<int> back;
        int pluses = 0;
        bool valid = true;
        for (const QByteArray &token : tokens) {
            if (token == "+") {
                valid = valid && pluses == 0 && static_cast<int>(front.size()) == m;
                ++pluses;
                continue;
            }
            qint64 value = 0;
            if (!TokenValue(token, value)) {
                ref.errorLine = number + 1;
                return ref;
            }
            std::vector<int> &zone = pluses == 0 ? front : back;
            zone.push_back(static_cast<int>(value));
        }
        valid = valid && pluses == 1 && static_cast<int>(front.size()) == m && static_cast<int>(back.size()) == k;
        for (std::size_t i = 0; valid && i < front.size(); ++i)
            valid = front[i] >= 1 && front[i] <= n && (i == 0 || front[i] > front[i - 1]);
        std::sort(back.begin(), back.end());
        for (std::size_t i = 0; valid && i < back.size(); ++i)
            valid = back[i] >= 1 && back[i] <= l && (i == 0 || back[i] > back[i - 1]);
        if (valid) {
            front.insert(front.end(), back.begin(), back.end());
            ref.tickets.insert(front);
        } else if (ref.skipped++ == 0) {
            ref.firstSkipped = number + 1;
        }
    }
    return ref;
}

CombinationTable &TableFor(int n, int m, int l, int k)
{
    static std::map<std::vector<int>, std::unique_ptr<CombinationTable>> tables;
    std::unique_ptr<CombinationTable> &table = tables[{n, m, l, k}];
    if (!table)
        table = std::make_unique<CombinationTable>(LotteryKind::Lotto, n, m, l, k);
    return *table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 2)
        return 0;
    // First byte: N (5..12) in bits 0-2, M (1..4) in bits 3-4; second byte: L (2..9) in bits
    // 0-2, K (1..3) in bits 3-4. Small tables keep a run fast.
    const int n = 5 + (data[0] & 7);
    const int m = 1 + ((data[0] >> 3) & 3);
    const int l = 2 + (data[1] & 7);
    const int k = std::min(l, 1 + ((data[1] >> 3) & 3) % 3);
    QList<QByteArray> files = fuzz::BytesOf(data + 2, size - 2).split('\0');
    while (files.size() > 3) {
        files[2] += '\0' + files.back();
        files.removeLast();
    }
    CombinationTable &table = TableFor(n, m, l, k);
    table.clear();
    std::map<std::vector<int>, int> expected;
    std::vector<int> numbers(static_cast<std::size_t>(m + k));
    for (const QByteArray &file : files) {
        const Reference ref = ReadPlainly(file, n, m, l, k);
        SkippedLines skipped;
        try {
            table.addContent(file, QStringLiteral("f.txt"), skipped);
        } catch (const ConversionError &error) {
            LUMARO_FUZZ_CHECK(ref.errorLine > 0);
            LUMARO_FUZZ_CHECK(error.message().contains(QStringLiteral("第%1行").arg(ref.errorLine)));
            return 0;
        }
        LUMARO_FUZZ_CHECK(ref.errorLine == 0);
        LUMARO_FUZZ_CHECK(skipped.lines == ref.skipped);
        LUMARO_FUZZ_CHECK(skipped.firstLine == ref.firstSkipped);
        for (const std::vector<int> &ticket : ref.tickets)
            ++expected[ticket];
        // The single-line reader takes the same lines (a BOM only starts a file).
        QByteArray body = file.startsWith("\xEF\xBB\xBF") ? file.mid(3) : file;
        for (const QByteArray &line : body.split('\n')) {
            if (ReadListLine(line, n, m, numbers.data(), l, k) == ListLine::Ticket)
                LUMARO_FUZZ_CHECK(ref.tickets.count(numbers) == 1);
        }
    }
    const TicketSet all = table.select(1, static_cast<int>(files.size()));
    LUMARO_FUZZ_CHECK(all.rowCount() == static_cast<qint64>(expected.size()));
    LUMARO_FUZZ_CHECK(all.rowCount() == 0 || all.width() == m + k);
    all.forEach([&](qint64, const int *row) {
        const std::vector<int> ticket(row, row + m + k);
        const auto found = expected.find(ticket);
        LUMARO_FUZZ_CHECK(found != expected.end());
    });
    for (const auto &entry : expected) {
        const std::vector<int> &ticket = entry.first;
        const int count = entry.second;
        const TicketSet exact = table.select(count, count);
        bool present = false;
        exact.forEach(
            [&](qint64, const int *row) { present = present || std::equal(ticket.begin(), ticket.end(), row); });
        LUMARO_FUZZ_CHECK(present);
    }
    return 0;
}
