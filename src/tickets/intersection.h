#pragma once

#include "common/progress.h"
#include "data/lottery_definition.h"
#include "data/ticket_set.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <vector>

// The big-base intersection (大底交集): for every ticket of a lotto lottery, in how many of
// several ticket files it occurs, and the tickets found in all files or in all but a tolerated
// number of them.
namespace lumaro {

// The lines of one file that hold no ticket of the lottery and were passed over.
struct SkippedLines {
    QString fileName;
    qint64 lines = 0;
    qint64 firstLine = 0; // 1-based
};

// One counter per combination of M numbers out of 1..N, indexed by CombinationRank - 1, and
// a mark per combination that it was already counted for the file being read. Counters take
// two bytes and marks one bit, so 36选7 (8,347,680 combinations) needs about 17 MB.
class CombinationTable {
public:
    // The most files one intersection reads (a counter holds up to 65535).
    static constexpr int kMaxFiles = 20000;
    // The most combinations a table holds.
    static constexpr qint64 kMaxCombinations = 100'000'000;

    // Refuses digit lotteries and lotteries with too many combinations (InputError). A
    // two-zone lottery gives its back zone (backM numbers of 1..backN): a ticket is then the
    // pair of its front and back sets, counted at frontRank × C(backN, backM) + backRank.
    CombinationTable(LotteryKind kind, int n, int m, int backN = 0, int backM = 0);

    int n() const { return m_n; }
    int m() const { return m_m; }
    int backN() const { return m_backN; }
    int backM() const { return m_backM; }
    bool twoZone() const { return m_backM > 0; }
    qint64 size() const { return static_cast<qint64>(m_counts.size()); }
    qint64 memoryBytes() const;

    // Clears every counter (and mark).
    void clear();

    // Counts every ticket of a file once: adds one to its counter unless the file listed it
    // before. A line holds a ticket when its first M tokens (separated by blanks, "+" or ",")
    // are a strictly increasing combination of 1..N; a leading serial of seven or more digits
    // (a result list line) is passed over, empty lines are ignored, other lines are skipped
    // and reported. A token that is not a whole number raises a ConversionError naming the file
    // and line. Returns false (with the counts of a part of the file) when cancelled.
    // A two-zone table takes lines of exactly M front numbers (ascending, 1..N), one "+" and
    // exactly K distinct back numbers of 1..L in any order; other lines are skipped.
    bool addFile(const QString &path, SkippedLines &skipped, const Progress &progress = {});
    // The same for a file's content (fileName only names it in messages).
    void addContent(const QByteArray &content, const QString &fileName, SkippedLines &skipped);

    int count(qint64 rank) const { return m_counts[static_cast<std::size_t>(rank - 1)]; }

    // The tickets whose counter c satisfies low <= c <= high, in lexicographic order (of the
    // front set, then of the back set; rows of M + K numbers for a two-zone table).
    TicketSet select(int low, int high) const;

private:
    struct Scan;

    // The rank - 1 of an ascending combination, from the precomputed sums (two-zone: of the
    // pair, c holding the front then the sorted back numbers).
    qint64 index(const int *c) const;
    // Counts combination i for the current file unless it already was. Shared: another thread
    // marks other lines of the same file at the same time.
    template<bool Shared>
    void mark(qint64 i);
    // Reads the complete lines [begin, end); the last one may lack its line break.
    template<bool Shared>
    void scan(const char *begin, const char *end, Scan &result);
    // The same, split between two threads when there are many lines. lineBase: the lines of
    // the file before begin; advanced past the lines read.
    void addLines(const char *begin, const char *end, qint64 &lineBase, const QString &fileName, SkippedLines &skipped);
    void beginFile();

    int m_n;
    int m_m;
    int m_backN = 0;
    int m_backM = 0;
    qint64 m_backSets = 1; // C(L, K)
    std::vector<qint64> m_backBefore; // as m_before, for the back zone
    // m_before[i * (N + 2) + v]: how many combinations agree up to position i - 1 and hold a
    // value below v at position i, counting from value 1.
    std::vector<qint64> m_before;
    std::vector<quint16> m_counts;
    std::vector<quint64> m_seen;
    // Marks set in the current file, while few enough to clear one by one.
    std::vector<quint32> m_touched;
    bool m_touchedOverflow = false;
};

struct IntersectionSettings {
    QStringList files; // full paths, in list order
    int lowerTolerance = 0; // t1
    int upperTolerance = 0; // t2
};

struct IntersectionResult {
    TicketSet tickets; // the listed tickets, lexicographic
    std::vector<SkippedLines> skipped; // files with skipped lines, in list order
    bool cancelled = false;
};

// Refuses an empty list, more than kMaxFiles files and tolerances outside 0..F or with
// t1 > t2 (InputError with the message the window shows).
void CheckIntersectionSettings(const IntersectionSettings &settings);

// Clears the table, counts every file in list order (progress: files done of F) and selects the
// tickets with F - t2 <= count <= F - t1.
IntersectionResult RunIntersection(
    CombinationTable &table, const IntersectionSettings &settings, const Progress &progress = {});

// The message listing the files whose lines were skipped; empty when none was. backM > 0: the
// lines of a two-zone lottery.
QString SkippedLinesMessage(const std::vector<SkippedLines> &skipped, int n, int m, int backN = 0, int backM = 0);

// One line of a list read the way the intersection reads it: nothing but blanks, a ticket of
// the lottery (its first M tokens, after a result list's serial, ascending in 1..N; they are
// put into numbers) or anything else.
enum class ListLine { Empty, Ticket, NotTicket };
// With backM > 0 the two-zone form: M front numbers, "+", K back numbers of 1..backN (put
// after the front ones, sorted).
ListLine ReadListLine(QByteArrayView line, int n, int m, int *numbers, int backN = 0, int backM = 0);

// A list the intersection reads (its result list, a ticket file, "01,02,03+04" lines) written as
// a ticket file: one line "%.2d" numbers separated by one blank, CR LF, for every line that
// holds a ticket, in list order. Returns the tickets written; the other non-empty lines are
// left out and counted in skipped.
// With backM > 0 the lines are two-zone ones, written "01 02 03 04 05 + 06 07".
qint64 WriteTicketFileFromList(
    const QString &path, QIODevice &list, int n, int m, SkippedLines &skipped, int backN = 0, int backM = 0);

} // namespace lumaro
