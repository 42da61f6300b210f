#pragma once

#include "common/progress.h"
#include "data/lottery_definition.h"
#include "tickets/prize_table.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// 中奖查询: a ticket file checked against one stored draw or every stored draw. A ticket's hits
// on a draw are a pair (front hits, back hits): for a lotto the numbers it shares with the
// draw (back hits 0), for a two-zone game the shared numbers of each zone, for a digit game the
// positions whose digits are equal. Per draw the check counts the tickets of every pair, the
// tickets of every prize tier of the table and the fixed prize money they won.
namespace lumaro {

class OpenLottery;

// The shape of the game the tickets are checked for.
struct PrizeGame {
    QString name;
    LotteryKind kind = LotteryKind::Lotto; // TwoZone for a two-zone game
    int n = 0; // front numbers 1..N (digits 0..N-1)
    int m = 0; // front numbers a ticket (digits a ticket)
    int backN = 0; // back numbers 1..L, two-zone only
    int backM = 0; // back numbers a ticket, two-zone only

    bool twoZone() const { return kind == LotteryKind::TwoZone; }
    // The pairs a ticket can score: (M + 1) × (K + 1), index front × (K + 1) + back.
    int pairCount() const { return (m + 1) * (backM + 1); }
    int pairIndex(int front, int back) const { return front * (backM + 1) + back; }
};

struct CheckDraw {
    QString period;
    std::vector<int> front; // drawn order (digit games: position order)
    std::vector<int> back;
};

struct PrizeCheckInputs {
    PrizeGame game;
    std::vector<CheckDraw> draws; // the draws checked, oldest first
    std::vector<PrizeTier> tiers; // the game's tiers (empty: hits only)

    // Every stored draw of the open lottery and the lottery's tiers from the table. Throws an
    // InputError for a lottery without draws or a table whose pairs the game cannot score.
    static PrizeCheckInputs fromLottery(const OpenLottery &lottery, const PrizeTable &table);
    // Keeps only the draw of that period; an InputError when it is not stored.
    void keepPeriod(const QString &period);
};

// Checks that every tier's pairs fit the game (front hits at most M, back hits at most K).
void CheckTiersFit(const PrizeGame &game, const std::vector<PrizeTier> &tiers);

// The tickets of a file, m + k numbers a row (front then back), in file order.
struct CheckTickets {
    int width = 0;
    std::vector<qint16> numbers;
    qint64 count() const { return width > 0 ? static_cast<qint64>(numbers.size()) / width : 0; }
};

// Reads a ticket file of the game: "01 02 03 04 05" lines for a lotto or digit game,
// "01 02 03 04 05 06 + 07" for a two-zone game. Every line is a ticket, repeated lines too
// (a ticket bought twice wins twice); blank lines are passed over. A number outside the game's
// range or a lotto number repeated within a zone is refused with its line (InputError).
CheckTickets ParseCheckTickets(const QByteArray &content, const PrizeGame &game, const QString &fileName);
CheckTickets ReadCheckTickets(const QString &path, const PrizeGame &game);

struct DrawPrizes {
    int draw = 0; // index into PrizeCheckInputs::draws
    std::vector<qint64> pairs; // tickets per pair, PrizeGame::pairIndex
    std::vector<qint64> tiers; // tickets per tier
    qint64 money = 0; // fixed prizes won, yuan
    bool floatingHit = false; // a floating tier was hit
};

struct PrizeCheckResult {
    qint64 tickets = 0;
    std::vector<DrawPrizes> draws; // in the order of the inputs
    std::vector<qint64> totalPairs;
    std::vector<qint64> totalTiers;
    qint64 totalMoney = 0;
    int floatingDraws = 0; // draws with a floating-tier hit
    bool cancelled = false;
};

// The check, the tickets split over the cores (progress: tickets done). A cancelled run
// returns cancelled with no counts.
PrizeCheckResult RunPrizeCheck(
    const PrizeCheckInputs &inputs, const CheckTickets &tickets, const Progress &progress = {});

// The texts shown for a result (the window and the command line).
// The pairs in display order, best first (6+1, 6+0, 5+1, …).
std::vector<HitPair> PairsBestFirst(const PrizeGame &game);
// The draw as "01 02 03 04 05 06 + 07" ("01 02 03" for a one-zone game).
QString DrawText(const PrizeGame &game, const CheckDraw &draw);
// A pair's column header: "6+1" for a two-zone game, "中3个" otherwise.
QString PairHeader(const PrizeGame &game, const HitPair &pair);
// Money with the floating mark: "215", "3215+浮动".
QString MoneyText(qint64 money, bool floatingHit);
// The columns of the per-draw table: 期号, 开奖号码, then for a one-zone game the hit counts (中M个
// … 中0个), then the tiers and 奖金 when the game has tiers, or, for a two-zone game without
// tiers, every pair.
QStringList PrizeTableHeaders(const PrizeCheckInputs &inputs);
QStringList PrizeTableRow(const PrizeCheckInputs &inputs, const DrawPrizes &draw);
// The same columns over all draws checked: "合计", "N期", the totals.
QStringList PrizeTotalsRow(const PrizeCheckInputs &inputs, const PrizeCheckResult &result);
// "检查2513期，每期1000注；固定奖金合计12345元；中浮动奖级的有2期。", or, without tiers,
// "检查2513期，每期1000注；奖级表中没有《NAME》的奖级，只统计中奖个数。"
QString PrizeSummaryLine(const PrizeCheckInputs &inputs, const PrizeCheckResult &result);

} // namespace lumaro
