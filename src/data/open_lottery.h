#pragma once

#include "data/draw_table.h"
#include "data/lottery_definition.h"
#include "data/lottery_store.h"
#include "data/ticket_set.h"
#include "data/trend_text.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace lumaro {

// Row x (1..N): cell 0 the code of number x, cell 1 the number whose code is x. Row 0 unused.
using VariantShuffle = std::vector<std::array<qint32, 2>>;
// Row k (1..N): cells 0..2 the label at rank k with its count and omission, cell 3 the rank of
// label k. Row 0 unused.
using VariantRanking = std::vector<std::array<qint32, 4>>;

// The open lottery and the tables every analysis, picker and filter reads. main() makes one;
// tests make as many as they like.
class OpenLottery {
public:
    // A lottery keeps at most this many draws; opening deletes the oldest beyond it.
    static constexpr int kMaxDraws = 20000;

    // The state record.
    QString name; // kept after closing; empty before the first opening
    LotteryKind kind = LotteryKind::Lotto;
    int n = 0; // numbers are 1..N (digits 0..N-1)
    int m = 0; // numbers per draw
    // A two-zone lottery: to every engine its front zone is the M-of-N lotto (kind Lotto, N, M,
    // DrawTable, TicketSet); the back zone of K numbers out of 1..L comes beside it.
    int backN = 0; // L, 0 for a one-zone lottery
    int backM = 0; // K, 0 for a one-zone lottery
    int drawCount = 0;
    bool lotteryOpen = false;
    bool variantMode = false; // the variant trend is in force
    int transformReferencePeriod = 0;

    // The in-memory tables, oldest draw first.
    DrawTable drawTable;
    QStringList drawDates; // 开奖日期 of each row, as stored
    QStringList drawPeriods; // 记录期号 of each row, as stored
    TrendText trendText;
    // The back zones of the draws, rows as DrawTable (cell 0 the period, cells 1..K the back
    // numbers in drawn order); empty for a one-zone lottery.
    DrawTable backTable;
    VariantShuffle variantShuffle;
    DrawTable variantDrawTable;
    VariantRanking variantRanking;

    // The opening sequence: name, N and M (from the built-in table, else from the definition
    // row), kind, then OpenLotteryData and BuildStandardTrend. On failure nothing changes and
    // the lottery stays closed.
    void open(LotteryStore &store, const QString &lotteryName);
    // Opening again the lottery named in the record (after its draws changed).
    void reopen(LotteryStore &store);
    // Caps the history, loads it and describes the ticket set. Sets VariantMode to false.
    void OpenLotteryData(LotteryStore &store);
    // Fills DrawTable, DrawDates and TrendText from the loaded draws.
    void BuildStandardTrend();
    // Frees DrawTable and clears LotteryOpen; name, kind, N and M stay.
    void close();

    // All candidate tickets of the lottery. Throws a CapacityError when the lottery has too many
    // tickets to hold (the lottery still opens; only ticket work is refused).
    TicketSet &ticketSet();
    const TicketSet &ticketSet() const;
    bool hasTicketSet() const { return m_ticketProblem.isEmpty(); }
    // Replaces the candidate tickets (a filter loads a ticket file).
    void setTicketSet(TicketSet tickets);

    LotteryDefinition definition() const;
    bool twoZone() const { return backM > 0; }
    // Tickets of the whole game: C(N, M) (N^M digit tuples), times C(L, K) for a two-zone
    // lottery.
    qint64 gameTicketCount() const;

private:
    std::vector<StoredDraw> m_records;
    TicketSet m_ticketSet;
    QString m_ticketProblem;
};

} // namespace lumaro
