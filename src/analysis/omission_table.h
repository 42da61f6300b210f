#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace lumaro {

class DrawTable;
class OpenLottery;

// Rebound: column 5 is the omission of a long cold spell that has just ended with two or three
// hits close together. Skew: column 5 is the current omission.
enum class OmissionMode { Rebound, Skew };

// The order of the rows: number order, chase value descending, column 5 descending, hit total
// ascending.
enum class OmissionSort { Number = 0, ChaseValue = 1, Omission = 2, Hits = 3 };

struct OmissionRow {
    int number = 0;
    int hits = 0; // draws that contain the number
    int longest = 0; // longest gap between hits, the gap after the latest hit included
    int omission = 0; // column 5: the rebound gap (0 without one) or the current omission
    qint64 chaseValue = 0; // column 7 without "%"
};

// The rebound or skew table: one row per number of the lottery, eight columns.
class OmissionTable {
public:
    static constexpr int kColumns = 8;

    OmissionMode mode = OmissionMode::Rebound;
    int n = 0;
    int m = 0;
    int draws = 0;
    std::vector<OmissionRow> rows; // in their final order

    int rowCount() const { return static_cast<int>(rows.size()); }
    // N / M and D × M / N.
    double theoreticalPeriod() const;
    double theoreticalHits() const;

    QStringList headers() const;
    QString cellText(int row, int column) const;
};

// (D × M × M × P × 100) div (N × N × hits) in 64 bits; 0 for a number that never occurs.
qint64 ChaseValue(int draws, int m, int n, int omission, int hits);

// Rates every number lowest..highest of the lottery over the draw table (oldest draw first).
// N and M are the lottery's (the theoretical columns divide by them); lotto lotteries have the
// numbers 1..N, digit lotteries the digits 0..N-1.
OmissionTable BuildOmissionTable(
    const DrawTable &table, int n, int m, int lowest, int highest, OmissionMode mode, OmissionSort sort);

// The zone a table rates: the front zone (the only zone of a one-zone lottery) or the back zone
// of a two-zone lottery.
enum class OmissionZone { Front, Back };

// The table of the open lottery, always over the standard draw table. The back zone rates the
// back numbers 1..L over OpenLottery::backTable with L and K in place of N and M; asking a
// one-zone lottery for it throws an InputError.
OmissionTable BuildOmissionTable(
    const OpenLottery &lottery, OmissionMode mode, OmissionSort sort, OmissionZone zone = OmissionZone::Front);

// The plain exchange sort of the tables: for i < j, rows i and j change places when row j
// strictly precedes row i by the key. Number order leaves the rows as they are.
void SortOmissionRows(std::vector<OmissionRow> &rows, OmissionSort sort);

} // namespace lumaro
