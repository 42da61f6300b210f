#pragma once

#include "common/file_io.h"
#include "common/progress.h"
#include "data/ticket_set.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <array>
#include <vector>

// The two ticket text files of the program.
//  - Ticket file: one ticket a line, the numbers "%.2d" separated by one blank, CR LF.
//    Readers take number k (from 0) from the characters 3k+1 and 3k+2 (from 1) of a line.
//  - Result list ("temp.txt"): a "%.7d" serial, four blanks, then every number "%.2d" followed
//    by one blank, CR LF.
namespace lumaro {

// "01 02 03 04 05".
QByteArray TicketLine(const int *numbers, int m);
// "0000001    01 02 03 04 05 ".
QByteArray ResultListLine(qint64 serial, const int *numbers, int m);

// Writes every alive row of the table (all rows when aliveOnly is false) in table order.
// Returns the number of lines written. Reports progress every 100 rows and honours a cancel
// (then nothing is left behind: the file is written to a temporary name first).
qint64 WriteResultList(
    const QString &path, const TicketSet &tickets, const Progress &progress = {}, bool aliveOnly = true);
qint64 WriteTicketFile(
    const QString &path, const TicketSet &tickets, const Progress &progress = {}, bool aliveOnly = true);
// The same lines to an open device (standard output).
qint64 WriteTicketFile(QIODevice &device, const TicketSet &tickets, bool aliveOnly = true);

// A two-zone ticket: the front numbers, " + ", the back numbers, "01 02 03 04 05 06 + 07".
QByteArray TwoZoneTicketLine(const int *front, int m, const int *back, int k);
// Its result list line: "0000001    01 02 03 04 05 06 + 07 " (every number followed by a blank).
QByteArray TwoZoneResultListLine(qint64 serial, const int *front, int m, const int *back, int k);

// How the rows of a table become two-zone tickets. With backSets empty every row holds its
// own back numbers (m front numbers, then k back ones); otherwise the rows hold front numbers
// only and each alive row gives one ticket per back set, in the order of backSets (each set k
// numbers, one after the other).
struct TwoZoneRows {
    int m = 0;
    int k = 0;
    std::vector<int> backSets {};

    qint64 setCount() const { return backSets.empty() || k <= 0 ? 1 : qint64(backSets.size()) / k; }
};

// The two-zone forms of the writers above, a ticket a line. maxLines (result list) caps the
// lines written; the return value is the lines written. Progress and cancel as above.
qint64 WriteTwoZoneResultList(const QString &path, const TicketSet &tickets, const TwoZoneRows &rows,
    const Progress &progress = {}, qint64 maxLines = -1);
qint64 WriteTwoZoneTicketFile(
    const QString &path, const TicketSet &tickets, const TwoZoneRows &rows, const Progress &progress = {});
qint64 WriteTwoZoneTicketFile(QIODevice &device, const TicketSet &tickets, const TwoZoneRows &rows);

// The lines shown in a result memo written back as a ticket file: each line from its eighth
// character on with blanks trimmed (a result list line loses its serial); lines of a loaded
// ticket file (hasSerials false) only lose surrounding blanks. Empty lines are left out.
QByteArray TicketFileFromMemo(const QStringList &memoLines, bool hasSerials);
// The same for the whole text of a memo (lines ending LF or CR LF), written to a file;
// returns the tickets written.
qint64 WriteTicketFileFromMemo(const QString &path, const QByteArray &memoText, bool hasSerials);
qint64 WriteTicketFileFromMemo(const QString &path, QIODevice &memo, bool hasSerials);

struct TicketFileOptions {
    // Stop at the first line that is empty after trimming blanks (else such lines are skipped).
    bool stopAtBlankLine = true;
    // Drop a line whose numbers equal those of the line before it.
    bool collapseRepeats = true;
    // More tickets than this are refused.
    qint64 maxTickets = 10'000'000;
};

struct LoadedTickets {
    TicketSet tickets;
    // Ball n (1..50) occurs in some ticket.
    std::array<bool, 51> balls {};
    // Lines of the file as a memo shows them (a final line break adds no line).
    qint64 fileLines = 0;
};

// Reads a ticket file of m numbers a line. A slot that is not a whole number raises a
// ConversionError naming the file and the line.
LoadedTickets ParseTicketFile(
    const QByteArray &content, int m, const QString &fileName, const TicketFileOptions &options = {});
// The file must be a regular file no larger than TicketFileByteLimit(options.maxTickets).
LoadedTickets ReadTicketFile(const QString &path, int m, const TicketFileOptions &options = {});

// Reads a two-zone ticket file, one ticket a line: m front numbers, a "+", k back numbers, the
// numbers separated by blanks ("01 02 03 04 05 06 + 07"). The rows of the result hold m + k
// numbers, the front ones then the back ones, as written; balls marks the front numbers. A line
// of another shape (no "+", a wrong count in a zone, a text that is no whole number) raises a
// ConversionError naming the file and the line; numbers are not range-checked here.
LoadedTickets ParseTwoZoneTicketFile(
    const QByteArray &content, int m, int k, const QString &fileName, const TicketFileOptions &options = {});
LoadedTickets ReadTwoZoneTicketFile(const QString &path, int m, int k, const TicketFileOptions &options = {});

// The most bytes read from a ticket file that may hold maxTickets tickets: room for a result
// list line of 16 numbers a ticket, and a megabyte more for blank lines. A larger file cannot
// be one the reader would accept.
qint64 TicketFileByteLimit(qint64 maxTickets);

// The text of a file for a memo: CR LF and LF both end a line.
QString ReadTextFile(const QString &path);
// The bytes of a regular file of at most maxBytes; a missing or unreadable file raises an
// IoError, a folder, device or pipe or a larger file an InputError.
QByteArray ReadFileContent(const QString &path, qint64 maxBytes = kMaxWholeFileBytes);

} // namespace lumaro
