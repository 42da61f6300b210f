#include "pickers/exclusion_engine.h"

#include "analysis/indicators.h"
#include "common/errors.h"
#include "tickets/ticket_file.h"

#include <algorithm>
#include <array>
#include <limits>

namespace lumaro {

namespace {

// Rows judged between two looks at the cancel flag: a few milliseconds of work.
constexpr qint64 kChunkRows = 8192;

std::size_t SizeIndex(int i)
{
    return static_cast<std::size_t>(i);
}

} // namespace

ValueRows::ValueRows(int rows, int m)
    : m_rows(rows)
    , m_m(m)
    , m_cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(m), 0)
{ }

ValueRows ValueRows::fromDraws(const DrawTable &draws)
{
    ValueRows rows(draws.rowCount(), draws.numberCount());
    for (int r = 0; r < draws.rowCount(); ++r)
        std::copy(draws.numbers(r), draws.numbers(r) + rows.m_m, rows.row(r));
    return rows;
}

ValueMask ValueRows::mask(int r) const
{
    ValueMask mask;
    const int *values = row(r);
    for (int j = 0; j < m_m; ++j)
        mask.set(values[j]);
    return mask;
}

LabelShuffle LabelShuffle::draw(RandomSource &random, int n, int offset)
{
    LabelShuffle shuffle;
    shuffle.n = n;
    shuffle.offset = offset;
    shuffle.codes.assign(SizeIndex(n) + 1, 0);
    std::vector<char> taken(SizeIndex(n) + 1, 0);
    for (int x = 1; x <= n; ++x) {
        int code;
        do {
            code = random.between(1, n);
        } while (taken[SizeIndex(code)]);
        taken[SizeIndex(code)] = 1;
        shuffle.codes[SizeIndex(x)] = code;
    }
    return shuffle;
}

LabelShuffle LabelShuffle::fromCodes(const std::vector<int> &codes, int offset)
{
    LabelShuffle shuffle;
    shuffle.n = static_cast<int>(codes.size());
    shuffle.offset = offset;
    shuffle.codes.assign(1, 0);
    shuffle.codes.insert(shuffle.codes.end(), codes.begin(), codes.end());
    return shuffle;
}

LabelRanker::LabelRanker(const ValueRows &draws, const LabelShuffle &shuffle, int stage, RankingKey key)
    : m_draws(draws)
    , m_shuffle(shuffle)
    , m_stage(stage <= 0 ? std::numeric_limits<int>::max() : stage)
    , m_key(key)
    , m_hits(SizeIndex(shuffle.n) + 1, 0)
    , m_lastSeen(SizeIndex(shuffle.n) + 1, -1)
    , m_rank(SizeIndex(shuffle.n) + 1, 0)
    , m_order(SizeIndex(shuffle.n), 0)
    , m_keys(SizeIndex(shuffle.n), 0)
{
    rank();
}

int LabelRanker::omission(int label) const
{
    const int seen = m_lastSeen[SizeIndex(label)];
    return seen < 0 ? 0 : m_t - seen;
}

void LabelRanker::addDraw(int d, int delta)
{
    const int n = m_shuffle.n;
    const int *numbers = m_draws.row(d);
    for (int j = 0; j < m_draws.width(); ++j) {
        const int x = numbers[j];
        if (x < 1 || x > n)
            continue;
        const int label = m_shuffle.label(x, d);
        m_hits[SizeIndex(label)] += delta;
        if (delta > 0)
            m_lastSeen[SizeIndex(label)] = std::max(m_lastSeen[SizeIndex(label)], d);
    }
}

void LabelRanker::moveTo(int t)
{
    while (m_t < t) {
        // Stepping from m_t to m_t + 1: the draw m_t enters the stage, the draw m_t - s leaves.
        addDraw(m_t, 1);
        if (m_stage != std::numeric_limits<int>::max() && m_t - m_stage >= 0)
            addDraw(m_t - m_stage, -1);
        ++m_t;
    }
    rank();
}

void LabelRanker::rank()
{
    const int n = m_shuffle.n;
    // Both parts of the key in one 64-bit value (hits and omissions stay far below 2^31), so
    // "j belongs strictly before i" is one comparison.
    for (int c = 1; c <= n; ++c) {
        const qint64 hits = m_hits[SizeIndex(c)];
        const qint64 gap = omission(c);
        qint64 key = 0;
        switch (m_key) {
        case RankingKey::OmissionThenMoreHits:
            key = (gap << 32) - hits;
            break;
        case RankingKey::HitsThenLongerOmission:
            key = (hits << 32) - gap;
            break;
        case RankingKey::LongerOmissionThenHits:
            key = -(gap << 32) + hits;
            break;
        }
        m_keys[SizeIndex(c) - 1] = key;
        m_order[SizeIndex(c) - 1] = c;
    }
    for (int i = 0; i + 1 < n; ++i) {
        qint64 &ki = m_keys[SizeIndex(i)];
        int &li = m_order[SizeIndex(i)];
        for (int j = i + 1; j < n; ++j) {
            if (m_keys[SizeIndex(j)] < ki) {
                std::swap(ki, m_keys[SizeIndex(j)]);
                std::swap(li, m_order[SizeIndex(j)]);
            }
        }
    }
    for (int k = 0; k < n; ++k)
        m_rank[SizeIndex(m_order[SizeIndex(k)])] = k + 1;
}

RelabelledHistory BuildRelabelledHistory(const ValueRows &draws, const LabelShuffle &shuffle, int stage, RankingKey key,
    int end, RelabelledValue value, int valuesAt)
{
    const int n = shuffle.n;
    const int m = draws.width();
    end = std::clamp(end, 0, draws.rowCount());
    valuesAt = valuesAt < 0 ? end : std::min(valuesAt, draws.rowCount());
    RelabelledHistory history;
    history.rows = ValueRows(end, m);
    history.valueOf.assign(SizeIndex(n) + 1, 0);
    const bool byRank = value == RelabelledValue::Rank;
    LabelRanker ranker(draws, shuffle, stage, key);
    auto valueAt = [&](int x, int t) {
        if (x < 1 || x > n)
            return 0;
        const int label = shuffle.label(x, t);
        return byRank ? ranker.rank(label) : label;
    };
    for (int t = 0; t <= std::max(end - 1, valuesAt); ++t) {
        if (byRank)
            ranker.moveTo(t);
        if (t < end) {
            for (int j = 0; j < m; ++j)
                history.rows.row(t)[j] = valueAt(draws.row(t)[j], t);
        }
        if (t == valuesAt) {
            for (int x = 1; x <= n; ++x)
                history.valueOf[SizeIndex(x)] = valueAt(x, t);
        }
    }
    return history;
}

int SkewCount(const int *values, int m, int n, SkewMode mode)
{
    return mode == SkewMode::BigSmall ? BigCount(values, m, n, BigRule::TotalFilter) : OddCount(values, m);
}

namespace {

// A stage length drawn from 1 to cur (1 when cur is 0, where no draw lies before the period).
int DrawStage(RandomSource &random, int cur)
{
    return random.between(1, std::max(1, cur));
}

// value[slot] for every number of the cycle.
template<class T, class Fn>
void FillSlots(std::array<T, kNumberSlots> &table, int n, Fn &&valueOf)
{
    table.fill(T {});
    for (int x = 1; x <= n; ++x)
        table[SizeIndex(NumberSlot(x))] = valueOf(x);
}

class SumMember : public ExclusionMember {
public:
    SumMember(const PickerHistory &history, const SumRule &rule)
        : m_history(history)
        , m_rule(rule)
    { }

    bool prepareCycle(RandomSource &random) override
    {
        m_stage = DrawStage(random, m_history.cur);
        const LabelShuffle shuffle = LabelShuffle::draw(random, m_history.n);
        LabelRanker ranker(m_history.draws, shuffle, m_stage, RankingKey::OmissionThenMoreHits);
        ranker.moveTo(m_history.cur);
        m_values.assign(SizeIndex(m_history.n) + 1, 0);
        for (int x = 1; x <= m_history.n; ++x)
            m_values[SizeIndex(x)] = ranker.rank(shuffle.label(x, m_history.cur));
        FillSlots(m_value, m_history.n, [&](int x) { return m_values[SizeIndex(x)]; });
        return true;
    }

    bool excludes(const int *numbers, int m) const override
    {
        int sum = 0;
        for (int j = 0; j < m; ++j)
            sum += m_value[SizeIndex(NumberSlot(numbers[j]))];
        return sum >= m_rule.upper || sum <= m_rule.lower;
    }

private:
    const PickerHistory m_history;
    SumRule m_rule;
    std::array<int, kNumberSlots> m_value {};
};

// The repeat and skew pickers look at the relabelled history of every cycle.
class RelabellingMember : public ExclusionMember {
public:
    explicit RelabellingMember(const PickerHistory &history)
        : m_history(history)
    { }

protected:
    void relabel(RandomSource &random)
    {
        m_stage = DrawStage(random, m_history.cur);
        const LabelShuffle shuffle = LabelShuffle::draw(random, m_history.n);
        RelabelledHistory relabelled = BuildRelabelledHistory(
            m_history.draws, shuffle, m_stage, RankingKey::HitsThenLongerOmission, m_history.cur);
        m_rows = std::move(relabelled.rows);
        m_values = std::move(relabelled.valueOf);
    }

    const PickerHistory m_history;
    ValueRows m_rows; // relabelled draws 0 .. cur - 1
};

class RepeatMember : public RelabellingMember {
public:
    RepeatMember(const PickerHistory &history, const RepeatRule &rule)
        : RelabellingMember(history)
        , m_rule(rule)
    { }

    bool prepareCycle(RandomSource &random) override
    {
        relabel(random);
        m_recent.clear();
        const int cur = m_history.cur;
        for (int k = cur - 1; k >= cur - m_rule.periods && k >= 0; --k)
            m_recent.push_back(m_rows.mask(k));
        // Up to 64 recent draws: lane k of number x is set when x's value occurs in draw k.
        m_lanes = m_recent.size() <= 64;
        m_laneMask = m_recent.size() >= 64 ? ~quint64(0) : (quint64(1) << m_recent.size()) - 1;
        FillSlots(m_value, m_history.n, [&](int x) { return m_values[SizeIndex(x)]; });
        FillSlots(m_rowsHit, m_history.n, [&](int x) {
            quint64 lanes = 0;
            for (std::size_t k = 0; k < m_recent.size() && k < 64; ++k)
                lanes |= quint64(m_recent[k].test(m_values[SizeIndex(x)]) ? 1 : 0) << k;
            return lanes;
        });
        return true;
    }

    bool excludes(const int *numbers, int m) const override
    {
        if (m_lanes) {
            LaneCounter counter;
            for (int j = 0; j < m; ++j)
                counter.add(m_rowsHit[SizeIndex(NumberSlot(numbers[j]))]);
            return (counter.atLeast(m_rule.atLeast) & m_laneMask) != 0;
        }
        int values[8] = {};
        for (int j = 0; j < m && j < 8; ++j)
            values[j] = m_value[SizeIndex(NumberSlot(numbers[j]))];
        const TicketValues ticket = TicketValues::of(values, std::min(m, 8));
        for (const ValueMask &row : m_recent) {
            if (ticket.hitsIn(row) >= m_rule.atLeast)
                return true;
        }
        return false;
    }

private:
    RepeatRule m_rule;
    std::vector<ValueMask> m_recent;
    bool m_lanes = true;
    quint64 m_laneMask = 0;
    std::array<int, kNumberSlots> m_value {};
    std::array<quint64, kNumberSlots> m_rowsHit {};
};

class SkewMember : public RelabellingMember {
public:
    SkewMember(const PickerHistory &history, const SkewRule &rule)
        : RelabellingMember(history)
        , m_rule(rule)
    { }

    bool prepareCycle(RandomSource &random) override
    {
        relabel(random);
        const int cur = m_history.cur;
        m_high = true;
        m_low = true;
        for (int k = cur - 1; k >= cur - m_rule.span && k >= 0; --k) {
            const int count = SkewCount(m_rows.row(k), m_rows.width(), m_history.n, m_rule.mode);
            m_high = m_high && count >= m_rule.high;
            m_low = m_low && count <= m_rule.low;
        }
        FillSlots(m_counts, m_history.n,
            [&](int x) { return SkewCount(&m_values[SizeIndex(x)], 1, m_history.n, m_rule.mode); });
        return m_high || m_low;
    }

    bool excludes(const int *numbers, int m) const override
    {
        int count = 0;
        for (int j = 0; j < m; ++j)
            count += m_counts[SizeIndex(NumberSlot(numbers[j]))];
        if (m_rule.highOn && m_high && (count < m_rule.highFrom || count > m_rule.highTo))
            return true;
        return m_rule.lowOn && m_low && (count < m_rule.lowFrom || count > m_rule.lowTo);
    }

private:
    SkewRule m_rule;
    bool m_high = false;
    bool m_low = false;
    std::array<int, kNumberSlots> m_counts {}; // 1 when the number's value is big (odd)
};

} // namespace

std::unique_ptr<ExclusionMember> MakeSumMember(const PickerHistory &history, const SumRule &rule)
{
    return std::make_unique<SumMember>(history, rule);
}

std::unique_ptr<ExclusionMember> MakeRepeatMember(const PickerHistory &history, const RepeatRule &rule)
{
    return std::make_unique<RepeatMember>(history, rule);
}

std::unique_ptr<ExclusionMember> MakeSkewMember(const PickerHistory &history, const SkewRule &rule)
{
    return std::make_unique<SkewMember>(history, rule);
}

void PickerTickets::load(TicketSet tickets)
{
    m_table = std::move(tickets);
    m_table.resetStates();
    m_pending = false;
}

void PickerTickets::beginRun(int n, int m)
{
    if (!m_pending)
        return;
    m_table = TicketSet::lexicographic(n, m);
}

void PickerTickets::compact()
{
    const int m = m_table.width();
    if (m_table.aliveCount() == m_table.rowCount() && m_table.layout() == TicketSet::Layout::Explicit)
        return;
    std::vector<qint16> numbers;
    numbers.reserve(static_cast<std::size_t>(m_table.aliveCount()) * static_cast<std::size_t>(m));
    m_table.forEach([&](qint64 row, const int *values) {
        if (m_table.state(row) != 0)
            return;
        for (int j = 0; j < m; ++j)
            numbers.push_back(static_cast<qint16>(values[j]));
    });
    m_table = TicketSet::fromRows(m, std::move(numbers));
}

bool NarrowsAfterRun(ExclusionKind kind)
{
    return kind == ExclusionKind::Repeat || kind == ExclusionKind::Skew;
}

namespace {

// The alive rows of a run in table order, their numbers stored one byte each. Once most rows
// of the table are out, passes walk this list instead of the whole table; it is thinned again
// whenever half of it has gone, so a long run costs about what its survivors cost.
class WorkingRows {
public:
    bool active() const { return m_active; }
    qint64 size() const { return static_cast<qint64>(m_rows.size()); }
    quint32 row(qint64 i) const { return m_rows[static_cast<std::size_t>(i)]; }
    void numbers(qint64 i, int m, int *out) const
    {
        const qint8 *p = &m_numbers[static_cast<std::size_t>(i * m)];
        for (int j = 0; j < m; ++j)
            out[j] = p[j];
    }

    // Takes the alive rows of the table, or keeps only the alive ones of the list.
    void rebuild(const TicketSet &tickets, const quint8 *states, qint64 alive)
    {
        const int m = tickets.width();
        std::vector<quint32> rows;
        std::vector<qint8> numbers;
        rows.reserve(static_cast<std::size_t>(alive));
        numbers.reserve(static_cast<std::size_t>(alive * m));
        auto keep = [&](qint64 row, const int *values) {
            rows.push_back(static_cast<quint32>(row));
            for (int j = 0; j < m; ++j)
                numbers.push_back(static_cast<qint8>(std::clamp(values[j], -128, 127)));
        };
        if (!m_active) {
            tickets.forEach([&](qint64 row, const int *values) {
                if (states[row] == 0)
                    keep(row, values);
            });
        } else {
            int values[8];
            for (qint64 i = 0; i < size(); ++i) {
                if (states[row(i)] != 0)
                    continue;
                this->numbers(i, m, values);
                keep(row(i), values);
            }
        }
        m_rows = std::move(rows);
        m_numbers = std::move(numbers);
        m_active = true;
    }

private:
    bool m_active = false;
    std::vector<quint32> m_rows;
    std::vector<qint8> m_numbers;
};

} // namespace

CycleOutcome RunExclusionCycles(
    TicketSet &tickets, ExclusionMember &member, const StopRule &stop, RandomSource &random, const Progress &progress)
{
    CycleOutcome outcome;
    const qint64 rows = tickets.rowCount();
    const int m = tickets.width();
    outcome.alive = tickets.aliveCount();
    const qint64 total = stop.byTarget ? std::max<qint64>(1, rows - stop.target) : std::max<qint64>(1, stop.cycles);
    qint64 excluded = 0;
    auto report = [&] { progress.step(stop.byTarget ? std::min(excluded, total) : outcome.cycles, total); };
    report();
    // Nothing left to exclude: no cycle can ever change the table.
    if (outcome.alive == 0 && stop.byTarget)
        return outcome;

    quint8 *states = rows > 0 ? tickets.stateData() : nullptr;
    WorkingRows working;
    bool passMade = false;
    bool reached = false;
    // Judges one row; reached is set once the target is met.
    auto judge = [&](qint64 row, const int *numbers) {
        if (reached || states[row] != 0 || !member.excludes(numbers, m))
            return;
        states[row] = 1;
        --outcome.alive;
        ++excluded;
        if (stop.byTarget && outcome.alive <= stop.target)
            reached = true;
    };
    for (;;) {
        if (progress.cancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
        if (!stop.byTarget && outcome.cycles >= stop.cycles)
            return outcome;
        ++outcome.cycles;
        report();
        // A member whose every cycle repeats the same test has nothing more to exclude.
        if (passMade && member.repeatsItself()) {
            if (stop.byTarget)
                return outcome;
            continue;
        }
        const bool pass = member.prepareCycle(random);
        outcome.lastStage = member.stage();
        if (!pass)
            continue;
        passMade = true;
        const qint64 count = working.active() ? working.size() : rows;
        int numbers[8];
        for (qint64 begin = 0; begin < count && !reached; begin += kChunkRows) {
            if (progress.cancelled()) {
                outcome.cancelled = true;
                return outcome;
            }
            const qint64 end = std::min(count, begin + kChunkRows);
            if (working.active()) {
                for (qint64 i = begin; i < end && !reached; ++i) {
                    working.numbers(i, m, numbers);
                    judge(working.row(i), numbers);
                }
            } else {
                tickets.forRange(begin, end, judge);
            }
            report();
        }
        if (reached)
            return outcome;
        if (outcome.alive <= count / 2 && m <= 8)
            working.rebuild(tickets, states, outcome.alive);
    }
}

PickerRunResult RunPicker(PickerTickets &tickets, const PickerHistory &history, ExclusionKind kind,
    ExclusionMember &member, const StopRule &stop, RandomSource &random, const QString &resultListPath,
    const Progress &progress)
{
    CheckStopRule(stop);
    PickerRunResult result;
    tickets.beginRun(history.n, history.m);
    const CycleOutcome outcome = RunExclusionCycles(tickets.table(), member, stop, random, progress);
    result.cycles = outcome.cycles;
    result.lastStage = outcome.lastStage;
    if (outcome.cancelled) {
        result.cancelled = true;
        return result;
    }
    result.lines = WriteResultList(resultListPath, tickets.table(), progress);
    if (progress.cancelled()) {
        result.cancelled = true;
        return result;
    }
    tickets.compact();
    if (NarrowsAfterRun(kind))
        tickets.clearPending();
    return result;
}

void CheckPickerKind(LotteryKind kind, int n, int m)
{
    if (kind == LotteryKind::Digit)
        throw InputError(QStringLiteral("无穷排除选号只能用于乐透型彩票，数字型彩票不能使用。"));
    if (m < 3 || m > 7 || n < m)
        throw InputError(QStringLiteral("无穷排除选号只能用于每注3到7个号码的乐透型彩票。"));
}

void CheckPickerLottery(LotteryKind kind, int n, int m, int drawCount, int cur)
{
    CheckPickerKind(kind, n, m);
    if (drawCount <= 0)
        throw InputError(QStringLiteral("当前彩票还没有开奖号码，请先输入或下载开奖号码。"));
    if (cur < 0 || cur > drawCount)
        throw InputError(QStringLiteral("请选择目前投注期。"));
}

void CheckStopRule(const StopRule &stop)
{
    if (stop.target < 0)
        throw InputError(QStringLiteral("过滤到的注数不能小于0！"));
    if (stop.cycles < 0)
        throw InputError(QStringLiteral("过滤次数不能小于0！"));
}

StopRule ReadStopRule(bool byTarget, const QString &target, const QString &cycles)
{
    StopRule stop;
    stop.byTarget = byTarget;
    stop.target = ToInteger(target);
    stop.cycles = ToInteger(cycles);
    CheckStopRule(stop);
    return stop;
}

void CheckLookBack(int count, int cur, const QString &what)
{
    if (count < 1)
        throw InputError(QStringLiteral("%1至少为1期。").arg(what));
    if (count > cur)
        throw InputError(QStringLiteral("%1（%2期）超过了目前投注期之前的开奖期数（%3期），"
                                        "请选择较少的%1或较后的目前投注期。")
                             .arg(what)
                             .arg(count)
                             .arg(cur));
}

void CheckTicketNumbers(const TicketSet &tickets, int n)
{
    const int m = tickets.width();
    qint64 bad = -1;
    int badValue = 0;
    tickets.forEach([&](qint64 row, const int *numbers) {
        if (bad >= 0)
            return;
        for (int j = 0; j < m; ++j) {
            if (numbers[j] < 1 || numbers[j] > n) {
                bad = row;
                badValue = numbers[j];
                return;
            }
        }
    });
    if (bad >= 0)
        throw InputError(QStringLiteral("第%1注投注号码中的%2不是01到%3之间的号码，无法载入。")
                             .arg(bad + 1)
                             .arg(badValue)
                             .arg(n, 2, 10, QLatin1Char('0')));
}

SumBounds SumBoundsFor(int n, int m)
{
    SumBounds bounds;
    bounds.lowest = m * (m + 1) / 2;
    bounds.highest = (2 * n - m + 1) * m / 2;
    const int count = std::max(0, bounds.highest - bounds.lowest + 1);
    bounds.upperIndex = std::clamp(count * 9 / 10 - 1, 0, std::max(0, count - 1));
    bounds.lowerIndex = std::clamp(count * 2 / 10 - 1, 0, std::max(0, count - 1));
    return bounds;
}

QByteArray TicketFileFromResultList(const QByteArray &resultList)
{
    QByteArray out;
    out.reserve(resultList.size());
    qsizetype start = 0;
    while (start < resultList.size()) {
        qsizetype end = resultList.indexOf('\n', start);
        if (end < 0)
            end = resultList.size();
        const QByteArray ticket = resultList.mid(start, end - start).mid(7).trimmed();
        start = end + 1;
        if (ticket.isEmpty())
            continue;
        out += ticket;
        out += "\r\n";
    }
    return out;
}

QString ProposedTicketFileName(const QString &lotteryName, const DrawTable &draws, const QString &suffix)
{
    if (draws.isEmpty())
        return lotteryName + suffix;
    return lotteryName + QString::number(qint64(draws.period(draws.rowCount() - 1)) + 1) + suffix;
}

} // namespace lumaro
