// The intersection's token reader: the counts of a table fed with up to four files agree with a
// plain line-by-line reading of the same bytes, every ticket counted is a combination of 1..N
// whose rank maps back to it, and every non-empty line is either a ticket or a skipped line.
#include "fuzz_support.h"

#include "common/errors.h"
#include "data/combination.h"
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

// What a plain reading of one file finds.
struct Reference {
    std::set<std::vector<int>> tickets;
    qint64 skipped = 0;
    qint64 firstSkipped = 0;
    qint64 errorLine = 0;
};

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '+' || c == ',';
}

// A token as the reader takes it: an optional minus and decimal digits fitting in an int.
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
    if (start == 1)
        value = -value;
    return true;
}

Reference ReadPlainly(QByteArray content, int n, int m)
{
    Reference ref;
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast(); // the final line break does not start a line
    for (qsizetype l = 0; l < lines.size(); ++l) {
        QByteArray line = lines[l];
        while (!line.isEmpty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.chop(1);
        qsizetype i = 0;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size())
            continue; // an empty line is no ticket and not skipped either
        QList<QByteArray> tokens;
        while (i < line.size()) {
            while (i < line.size() && IsSeparator(line[i]))
                ++i;
            const qsizetype start = i;
            while (i < line.size() && !IsSeparator(line[i]))
                ++i;
            if (i > start)
                tokens << line.mid(start, i - start);
        }
        qsizetype first = 0;
        // A leading serial of seven or more digits belongs to a result list line.
        if (!tokens.isEmpty() && tokens.front().size() >= 7) {
            bool digits = true;
            for (char c : tokens.front())
                digits = digits && c >= '0' && c <= '9';
            if (digits)
                first = 1;
        }
        std::vector<int> ticket;
        bool valid = true;
        for (qsizetype t = first; t < tokens.size() && static_cast<int>(ticket.size()) < m; ++t) {
            qint64 value = 0;
            if (!TokenValue(tokens[t], value)) {
                ref.errorLine = l + 1;
                return ref;
            }
            if (value < 1 || value > n || (!ticket.empty() && value <= ticket.back()))
                valid = false;
            ticket.push_back(static_cast<int>(value));
        }
        if (valid && static_cast<int>(ticket.size()) == m) {
            ref.tickets.insert(ticket);
        } else if (ref.skipped++ == 0) {
            ref.firstSkipped = l + 1;
        }
    }
    return ref;
}

// One table per lottery shape, kept for the whole run (a table is cleared, not rebuilt).
CombinationTable &TableFor(int n, int m)
{
    static std::map<std::pair<int, int>, std::unique_ptr<CombinationTable>> tables;
    std::unique_ptr<CombinationTable> &table = tables[{n, m}];
    if (!table)
        table = std::make_unique<CombinationTable>(LotteryKind::Lotto, n, m);
    return *table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    // First byte: bits 0-3 choose N (5..16; small tables keep a run fast), bits 4-6 M (1..7, at
    // most N).
    const int n = std::min(16, 5 + (data[0] & 15));
    const int m = std::min(n, 1 + ((data[0] >> 4) & 7) % 7);
    // Files are separated by NUL BytesOf (at most four files; the rest stays in the last).
    QList<QByteArray> files = fuzz::BytesOf(data + 1, size - 1).split('\0');
    while (files.size() > 4) {
        files[3] += '\0' + files.back();
        files.removeLast();
    }
    CombinationTable &table = TableFor(n, m);
    table.clear();
    std::map<std::vector<int>, int> expected;
    for (qsizetype f = 0; f < files.size(); ++f) {
        const Reference ref = ReadPlainly(files[f], n, m);
        SkippedLines skipped;
        try {
            table.addContent(files[f], QStringLiteral("f.txt"), skipped);
        } catch (const ConversionError &error) {
            LUMARO_FUZZ_CHECK(ref.errorLine > 0);
            LUMARO_FUZZ_CHECK(error.message().contains(QStringLiteral("第%1行").arg(ref.errorLine)));
            return 0;
        }
        LUMARO_FUZZ_CHECK(ref.errorLine == 0);
        LUMARO_FUZZ_CHECK(skipped.lines == ref.skipped);
        LUMARO_FUZZ_CHECK(skipped.firstLine == ref.firstSkipped);
        const qint64 lines = files[f].count('\n') + 1;
        LUMARO_FUZZ_CHECK(skipped.lines + static_cast<qint64>(ref.tickets.size()) <= lines);
        for (const std::vector<int> &ticket : ref.tickets)
            ++expected[ticket];
    }
    // Every counter agrees with the plain reading; what was counted unranks to its ticket.
    std::vector<int> c(static_cast<std::size_t>(m));
    qint64 counted = 0;
    for (const auto &[ticket, count] : expected) {
        const qint64 rank = CombinationRank(ticket.data(), n, m);
        LUMARO_FUZZ_CHECK(rank >= 1 && rank <= table.size());
        LUMARO_FUZZ_CHECK(table.count(rank) == count);
        CombinationUnrank(rank, n, m, c.data());
        LUMARO_FUZZ_CHECK(c == ticket);
        counted += count;
    }
    qint64 total = 0;
    for (qint64 rank = 1; rank <= table.size(); ++rank)
        total += table.count(rank);
    LUMARO_FUZZ_CHECK(total == counted);
    const TicketSet all = table.select(1, static_cast<int>(files.size()));
    LUMARO_FUZZ_CHECK(all.rowCount() == static_cast<qint64>(expected.size()));
    all.forEach([&](qint64, const int *numbers) {
        LUMARO_FUZZ_CHECK(IsAscendingCombination(numbers, n, m));
        LUMARO_FUZZ_CHECK(expected.count(std::vector<int>(numbers, numbers + m)) == 1);
    });
    return 0;
}
