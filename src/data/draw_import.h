#pragma once

#include "data/lottery_store.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace lumaro {

// A draw read from a file, with the line it came from.
struct ParsedDraw {
    int line = 0;
    DrawRow draw;
};

// Reads a draw history in either of two forms:
//  - CSV: a header line, then period,date,n1..nM per line (further columns ignored); for a
//    two-zone lottery the M front numbers then the K back numbers follow the date
//    (period,date,r1..r6,blue for 双色球);
//  - history text: period then the M numbers separated by blanks, no date (the export form); for
//    a two-zone lottery a "+" between the front and the back numbers ("2003001 10 11 12 13 26 28 + 11").
// Every row is checked against the lottery (see ValidateDraw: per zone for a two-zone lottery)
// and the date must be a real calendar date (yyyy-mm-dd; yyyy/mm/dd and yyyymmdd are accepted
// and written as yyyy-mm-dd). A period given twice in the file is refused, and so is a "+" for a
// lottery of one zone. The first bad row throws an InputError naming its line and the reason.
std::vector<ParsedDraw> ParseDrawHistory(const QByteArray &content, const LotteryDefinition &definition);

struct ImportResult {
    int added = 0;
    int alreadyStored = 0;
};

// Imports a history file into a lottery: only periods not yet stored (compared by value, so
// leading zeros make no new draw) are appended, all in one
// transaction; a bad row refuses the whole file and nothing is written.
ImportResult ImportDrawFile(LotteryStore &store, const QString &lotteryName, const QString &path);
ImportResult ImportDraws(LotteryStore &store, const QString &lotteryName, const QByteArray &content);

// The history text of a lottery: per draw the period and the numbers, each at least two digits
// and followed by one blank, lines ending CR LF; a draw with back numbers has "+ " and them after
// the front numbers ("2003001 10 11 12 13 26 28 + 11 ").
QByteArray HistoryText(const std::vector<StoredDraw> &draws);
// The file name proposed for a lottery's history text, "<name>历史号码.txt". A lottery name may
// hold characters no file name can ("/", "\\", ":" …) or begin with dots ("..", hidden); they
// become "_", so the name stays one plain file inside the folder it is proposed in.
QString HistoryFileName(const QString &lotteryName);
// Writes the history text file of a lottery (replacing the file) and returns the draw count.
int ExportHistoryFile(const LotteryStore &store, const QString &lotteryName, const QString &path);

} // namespace lumaro
