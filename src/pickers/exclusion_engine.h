#pragma once

#include "common/progress.h"
#include "common/random_source.h"
#include "data/draw_table.h"
#include "data/lottery_definition.h"
#include "data/ticket_set.h"

#include <QString>

#include <bit>
#include <memory>
#include <vector>

// Infinite exclusion (无穷排除): cycle after cycle the draw history is looked at through a fresh
// random relabelling of the numbers, every remaining ticket is translated the same way for the
// period to be bet on, and tickets whose picture is extreme are excluded, until a target count
// or a number of cycles is reached or the user stops. The sum, repeat, skew and follow pickers
// share everything here and differ only in their member test.
namespace lumaro {

// A set of values 1..127 (numbers, labels and ranks never exceed 99), for "does this row hold
// that value" tests without scanning.
struct ValueMask {
    quint64 low = 0;
    quint64 high = 0;

    void set(int v)
    {
        if (v >= 0 && v < 64)
            low |= quint64(1) << v;
        else if (v >= 64 && v < 128)
            high |= quint64(1) << (v - 64);
    }
    bool test(int v) const
    {
        if (v >= 0 && v < 64)
            return (low >> v) & 1;
        if (v >= 64 && v < 128)
            return (high >> (v - 64)) & 1;
        return false;
    }
    int count() const { return std::popcount(low) + std::popcount(high); }
    int common(const ValueMask &other) const
    {
        return std::popcount(low & other.low) + std::popcount(high & other.high);
    }
    bool contains(const ValueMask &other) const
    {
        return (low & other.low) == other.low && (high & other.high) == other.high;
    }
    bool operator==(const ValueMask &) const = default;
};

// A ticket (or a draw) translated into the values a cycle compares: the values in ticket order
// and, for the common case of distinct values, their mask.
struct TicketValues {
    const int *values = nullptr;
    int m = 0;
    ValueMask mask;
    bool distinct = false;

    static TicketValues of(const int *values, int m)
    {
        TicketValues ticket {values, m, {}, false};
        for (int j = 0; j < m; ++j)
            ticket.mask.set(values[j]);
        ticket.distinct = ticket.mask.count() == m;
        return ticket;
    }

    // How many positions hold a value of the mask (each position counts once).
    int hitsIn(const ValueMask &row) const
    {
        if (distinct)
            return row.common(mask);
        int hits = 0;
        for (int j = 0; j < m; ++j)
            hits += row.test(values[j]) ? 1 : 0;
        return hits;
    }
};

// Per-number tables of a cycle are indexed by x & 127, so any loaded number (two digits, maybe
// a sign) lands in the table; the entries of values outside 1..N stay 0.
constexpr int kNumberSlots = 128;
inline int NumberSlot(int x)
{
    return x & (kNumberSlots - 1);
}

// For up to 64 rows at once, how many of a ticket's numbers hit each row: every row is one bit
// lane, the counts are kept in three bit planes (M never exceeds 7). Adding a number's lanes
// and asking which lanes reached a count cost a few word operations, whatever the row count.
struct LaneCounter {
    quint64 c0 = 0;
    quint64 c1 = 0;
    quint64 c2 = 0;

    void add(quint64 lanes)
    {
        const quint64 carry0 = c0 & lanes;
        c0 ^= lanes;
        const quint64 carry1 = c1 & carry0;
        c1 ^= carry0;
        c2 |= carry1;
    }
    // The lanes whose count is at least a.
    quint64 atLeast(int a) const
    {
        if (a <= 0)
            return ~quint64(0);
        if (a > 7)
            return 0;
        const quint64 a2 = (a & 4) ? ~quint64(0) : 0;
        const quint64 a1 = (a & 2) ? ~quint64(0) : 0;
        const quint64 a0 = (a & 1) ? ~quint64(0) : 0;
        return (c2 & ~a2) | (~(c2 ^ a2) & ((c1 & ~a1) | (~(c1 ^ a1) & (c0 | ~a0))));
    }
};

// Rows of m values: the drawn numbers of the history (oldest first) or a relabelled history.
class ValueRows {
public:
    ValueRows() = default;
    ValueRows(int rows, int m);
    // The drawn numbers of a draw table (the period cell left out).
    static ValueRows fromDraws(const DrawTable &draws);

    int rowCount() const { return m_rows; }
    int width() const { return m_m; }
    const int *row(int r) const { return &m_cells[static_cast<std::size_t>(r) * m_m]; }
    int *row(int r) { return &m_cells[static_cast<std::size_t>(r) * m_m]; }
    ValueMask mask(int r) const;

private:
    int m_rows = 0;
    int m_m = 0;
    std::vector<int> m_cells;
};

// How a ranking orders its labels.
enum class RankingKey {
    // Ascending omission, ties by descending hits (the sum picker).
    OmissionThenMoreHits,
    // Ascending hits, ties by descending omission (repeat and skew pickers, 次数模式).
    HitsThenLongerOmission,
    // Descending omission, ties by ascending hits (间隔模式).
    LongerOmissionThenHits,
};

// A cycle's relabelling: the label of number x (1..N) at draw index d is
// (code(x) + d + offset) mod N + 1, with the codes a random permutation of 1..N.
struct LabelShuffle {
    int n = 0;
    std::vector<int> codes; // codes[x] for x = 1..N; codes[0] unused
    int offset = 0;

    int label(int x, int d) const { return (codes[static_cast<std::size_t>(x)] + d + offset) % n + 1; }
    // Codes drawn one number after the other, a code already taken being drawn again.
    static LabelShuffle draw(RandomSource &random, int n, int offset = 0);
    // Given codes (codes[x - 1] for x = 1..N), for tests and replays.
    static LabelShuffle fromCodes(const std::vector<int> &codes, int offset = 0);
};

// The ranking of the labels at one draw index t: hits(c) counts the drawn numbers of the stage
// (draws max(0, t - s) .. t - 1) that had label c at their own draw; omission(c) is t - d for
// the latest earlier draw d holding label c (0 when there is none); rank(c) is the position,
// 1..N, of label c after an exchange sort by the key (for i < j, exchange when j belongs
// strictly before i, so ties end up exactly as that sort leaves them).
// The ranker walks forward through the history keeping running hits and each label's last
// draw, so ranking every draw index costs about D * (M + N^2 / 2) steps.
class LabelRanker {
public:
    // stage 0 (or more than the draw index) counts every earlier draw.
    LabelRanker(const ValueRows &draws, const LabelShuffle &shuffle, int stage, RankingKey key);

    // Moves forward to draw index t (0 .. draw count) and ranks there.
    void moveTo(int t);
    int index() const { return m_t; }
    int hits(int label) const { return m_hits[static_cast<std::size_t>(label)]; }
    int omission(int label) const;
    int rank(int label) const { return m_rank[static_cast<std::size_t>(label)]; }
    // The label at rank k (1..N).
    int labelAt(int k) const { return m_order[static_cast<std::size_t>(k) - 1]; }

private:
    void addDraw(int d, int delta);
    void rank();

    const ValueRows &m_draws;
    const LabelShuffle &m_shuffle;
    int m_stage;
    RankingKey m_key;
    int m_t = 0;
    std::vector<int> m_hits;
    std::vector<int> m_lastSeen;
    std::vector<int> m_rank;
    std::vector<int> m_order;
    std::vector<qint64> m_keys;
};

// What each row of a relabelled history holds.
enum class RelabelledValue { Rank, Label };

// The history seen through one relabelling: row t (t < end) holds the values of draw t's
// numbers at t in the draw's order, and valueOf[x] the value of number x at index valuesAt
// (the period to be bet on; end when not given).
struct RelabelledHistory {
    ValueRows rows;
    std::vector<int> valueOf; // [x] for x = 1..N
};
RelabelledHistory BuildRelabelledHistory(const ValueRows &draws, const LabelShuffle &shuffle, int stage, RankingKey key,
    int end, RelabelledValue value = RelabelledValue::Rank, int valuesAt = -1);

// The four pickers.
enum class ExclusionKind { Sum, Repeat, Skew, Follow };

// One picker's test. A run asks it to prepare every cycle and then to judge every alive ticket
// by the values its numbers stand for in that cycle (members turn what a ticket's values are
// compared with into per-number tables, so judging a ticket is a few lookups).
class ExclusionMember {
public:
    virtual ~ExclusionMember() = default;
    // Draws the cycle's random choices and prepares the test. False when the cycle can exclude
    // nothing and needs no pass.
    virtual bool prepareCycle(RandomSource &random) = 0;
    // The value each number 1..N stands for in the prepared cycle ([x]).
    const std::vector<int> &values() const { return m_values; }
    // A ticket of m numbers.
    virtual bool excludes(const int *numbers, int m) const = 0;
    // The stage length of the last prepared cycle (0 when the member draws none).
    int stage() const { return m_stage; }
    // True when every cycle repeats the same test, so that one pass is all a run can achieve.
    virtual bool repeatsItself() const { return false; }

protected:
    std::vector<int> m_values;
    int m_stage = 0;
};

// The draws a run looks at: N, M and the drawn numbers, copied so a run does not depend on the
// open lottery staying open (members keep their own copy). cur is the index of the period bet
// on (0 .. draw count).
struct PickerHistory {
    int n = 0;
    int m = 0;
    ValueRows draws;
    int cur = 0;
};

// 和值>= upper 或<= lower.
struct SumRule {
    int upper = 0;
    int lower = 0;
};
// 过滤的重码数>= atLeast over the last `periods` relabelled draws.
struct RepeatRule {
    int atLeast = 0;
    int periods = 10;
};
enum class SkewMode { BigSmall, OddEven };
struct SkewRule {
    SkewMode mode = SkewMode::BigSmall;
    bool highOn = true; // chkda
    int high = 0; // edtdanum
    int highFrom = 0; // edtdanum1
    int highTo = 0; // edtdanum2
    bool lowOn = true; // chkxiao
    int low = 1; // edtxiaonum
    int lowFrom = 1; // edtxiaonum1
    int lowTo = 0; // edtxiaonum2
    int span = 2; // edtyanxunum, 延续期数
};
// The count the skew picker takes of a row of values: big values (v >= N div 2) or odd ones.
int SkewCount(const int *values, int m, int n, SkewMode mode);

std::unique_ptr<ExclusionMember> MakeSumMember(const PickerHistory &history, const SumRule &rule);
std::unique_ptr<ExclusionMember> MakeRepeatMember(const PickerHistory &history, const RepeatRule &rule);
std::unique_ptr<ExclusionMember> MakeSkewMember(const PickerHistory &history, const SkewRule &rule);

// 过滤到：stop when the alive count has fallen to the target, or after a number of cycles.
struct StopRule {
    bool byTarget = true;
    qint64 target = 10000;
    qint64 cycles = 10000;
};

// Refuses a negative count in either field: a negative target is never reached, so the run
// would not end. Zero is allowed in both, whichever is chosen (no cycle at all lists the
// tickets as they are).
void CheckStopRule(const StopRule &stop);
// The stop rule of the "过滤到：" fields: both texts must be whole numbers (ConversionError), and
// the rule must pass CheckStopRule().
StopRule ReadStopRule(bool byTarget, const QString &target, const QString &cycles);

// A picker's own ticket table and its pending flag: while pending, the next run starts from
// every ticket of the lottery afresh; a load or (for the narrowing pickers) a finished run
// clears it.
class PickerTickets {
public:
    bool pending() const { return m_pending; }
    void setPending() { m_pending = true; }
    // The tickets of a file, all alive; clears the pending flag.
    void load(TicketSet tickets);
    // Start of a run: a pending table is filled with all C(n, m) tickets, all alive.
    void beginRun(int n, int m);
    // Keeps only the alive rows, in their order.
    void compact();
    // After a finished run of a narrowing picker.
    void clearPending() { m_pending = false; }

    TicketSet &table() { return m_table; }
    const TicketSet &table() const { return m_table; }

private:
    TicketSet m_table;
    bool m_pending = true;
};

// The repeat and skew pickers keep narrowing the same table; the sum and follow pickers start
// again from all tickets at every run unless a file was loaded.
bool NarrowsAfterRun(ExclusionKind kind);

struct CycleOutcome {
    bool cancelled = false;
    qint64 cycles = 0; // cycles begun
    qint64 alive = 0;
    int lastStage = 0;
};

// The cycles of a run over the alive rows of the table, in table order. A pass finishes as soon
// as the target is reached, even in the middle. Cancel is looked at between cycles and every
// few thousand rows; a cancelled run leaves the states set so far.
CycleOutcome RunExclusionCycles(
    TicketSet &tickets, ExclusionMember &member, const StopRule &stop, RandomSource &random, const Progress &progress);

struct PickerRunResult {
    bool cancelled = false;
    qint64 cycles = 0;
    qint64 lines = 0; // tickets listed in the result list
    int lastStage = 0;
};

// A whole run: the table filled afresh when pending, the cycles, then (unless cancelled) the
// result list written afresh with every alive row, the table compacted to the survivors and,
// for the narrowing pickers, the pending flag cleared. A cancelled run writes nothing.
PickerRunResult RunPicker(PickerTickets &tickets, const PickerHistory &history, ExclusionKind kind,
    ExclusionMember &member, const StopRule &stop, RandomSource &random, const QString &resultListPath,
    const Progress &progress = {});

// Lotteries no picker serves (a Chinese InputError): digit lotteries, M outside 3..7.
void CheckPickerKind(LotteryKind kind, int n, int m);
// Settings every picker must refuse before a run: those of CheckPickerKind, no draws, a period
// outside the list.
void CheckPickerLottery(LotteryKind kind, int n, int m, int drawCount, int cur);
// The repeat and skew pickers read the relabelled draws cur - 1 down to cur - count.
void CheckLookBack(int count, int cur, const QString &what);
// Loaded tickets must hold numbers of the lottery.
void CheckTicketNumbers(const TicketSet &tickets, int n);

// The entries of the sum bounds lists and the two selected at creation: every value from
// M(M + 1) div 2 to (2N - M + 1) M div 2, the entries at count * 9 div 10 - 1 and
// count * 2 div 10 - 1.
struct SumBounds {
    int lowest = 0;
    int highest = 0;
    int upperIndex = 0;
    int lowerIndex = 0;
};
SumBounds SumBoundsFor(int n, int m);

// The ticket file of a result list: every line from its eighth character on, blanks trimmed.
QByteArray TicketFileFromResultList(const QByteArray &resultList);

// The proposed save name: lottery name + (latest period + 1) + suffix ("期无穷和值投注号码.txt"…);
// without draws only the name and the suffix.
QString ProposedTicketFileName(const QString &lotteryName, const DrawTable &draws, const QString &suffix);

} // namespace lumaro
