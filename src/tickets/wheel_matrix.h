#pragma once

#include "common/file_io.h"

#include "common/progress.h"
#include "tickets/wheel_design.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Wheeling-matrix files and their use on the numbers a player types in.
//  - A matrix file holds one ticket a line: t blank-separated positions (1..b) of the base
//    numbers; blanks and commas before a token are skipped. Reading ends at the first line
//    whose first token is not a whole number.
//  - Its name is "选" + numeral of t + "型" + b "%.2d" + "码中" + c + "保" + k + ".txt".
//  - A banker wheel (胆拖式) with d bankers uses the matrix of (b, t - d, c - d, k - d) and adds
//    the bankers to every ticket.
namespace lumaro {

// "一" … "七" for 1 … 7, an empty text otherwise.
QString WheelNumeral(int n);

// "选六型10码中6保5.txt"; empty when t has no numeral.
QString WheelMatrixFileName(const WheelParams &p);

// The most bankers a banker wheel takes, and the most numbers any wheel takes: the base numbers
// and the bankers.
constexpr int kWheelMaxBankers = 2;
constexpr int kWheelMaxNumbers = kWheelMaxBase + kWheelMaxBankers;

// The settings of the wheel window.
struct WheelSettings {
    int base = 10; // B, base numbers
    int bankers = 0; // D, banker numbers (used by the banker kind only)
    bool bankerKind = false; // 胆拖式
    int match = 6; // C
    int guarantee = 5; // K
    int type = 6; // T, numbers per ticket
};

// The parameters of the matrix the settings read (t - d, c - d, k - d in the banker kind).
WheelParams WheelMatrixParams(const WheelSettings &s);
int WheelBankerCount(const WheelSettings &s);
// The matrix file the settings read; empty when the ticket size has no numeral.
QString WheelMatrixFileName(const WheelSettings &s);
// The proposed name of the saved tickets: "选六型10码中6保5投注号码.txt" or
// "选七型1胆9拖中6保5投注号码.txt".
QString WheelTicketFileName(const WheelSettings &s);

// The masks of a matrix file's tickets. A line with another count of tokens than p.t, a
// token that is not a whole number or not a position 1..p.b, or a position named twice in
// one line is refused with an InputError naming the file and the line. Lines without any
// token are skipped.
std::vector<WheelMask> ParseWheelMatrix(const QByteArray &content, const WheelParams &p, const QString &fileName);
std::vector<WheelMask> ReadWheelMatrix(const QString &path, const WheelParams &p);

// One ticket a line, positions "%.2d" separated by one blank, CR LF.
QByteArray WheelMatrixText(const std::vector<WheelMask> &tickets);
void WriteWheelMatrix(const QString &path, const std::vector<WheelMask> &tickets);

// The number edits of the window: trimmed texts, each a whole number, no two texts equal (the
// texts are compared: 7 and 07 are different numbers here). Refuses with the window's
// messages; returns the values.
std::vector<int> WheelNumberValues(const QStringList &texts);

// The tickets of a wheel: for each matrix ticket the base values at its positions plus the
// bankers, sorted ascending.
std::vector<std::vector<int>> ApplyWheel(
    const std::vector<WheelMask> &matrix, const std::vector<int> &baseValues, const std::vector<int> &bankerValues);

// The tickets of a wheel, as the window and the command line make them: the number texts (the B
// base numbers, then the D bankers of the banker kind) checked by WheelNumberValues, the matrix
// file read against the parameters the settings name, and the numbers put into its tickets. An
// InputError when the count of texts is not B + D.
std::vector<std::vector<int>> WheelTickets(
    const WheelSettings &s, const QStringList &numberTexts, const QString &matrixPath);

// The saved form of the tickets: every number "%.2d" followed by one blank, CR LF.
QByteArray WheelTicketText(const std::vector<std::vector<int>> &tickets);

// The most two-zone tickets a wheel gives (its tickets times the back sets).
constexpr qint64 kWheelMaxTwoZoneTickets = 2'000'000;

// Two-zone tickets of a wheel: every wheel ticket followed by each back set in turn (backSets
// holds the sets of k numbers one after the other, as BackChoice::sets gives them); rows of
// t + k numbers. More than kWheelMaxTwoZoneTickets is refused with an InputError.
std::vector<std::vector<int>> CombineWithBackSets(
    const std::vector<std::vector<int>> &tickets, const std::vector<int> &backSets, int k);

// The saved form of two-zone tickets whose first `front` numbers are the front zone:
// "01 02 03 04 05 + 06 07", CR LF (the two-zone ticket file).
QByteArray WheelTwoZoneTicketText(const std::vector<std::vector<int>> &tickets, int front);

// A matrix computed when none is shipped: searched for at most `seconds`, verified, and saved
// as `path`. Returns the tickets; empty when cancelled. A design that fails the check is never
// saved (an Error is raised instead).
struct ComputedWheel {
    std::vector<WheelMask> tickets;
    bool cancelled = false;
};
ComputedWheel ComputeWheelMatrix(
    const WheelParams &p, const QString &path, double seconds, std::uint64_t seed, const Progress &progress = {});

} // namespace lumaro
