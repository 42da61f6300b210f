#include "tickets/total_filter.h"

#include "analysis/indicators.h"
#include "common/errors.h"
#include "data/open_lottery.h"
#include "tickets/ticket_file.h"
#include "trend/variant_trend.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <thread>

namespace lumaro {

namespace {

constexpr int kMaxWidth = 16;
// Numbers in 0..kTableSize-1 use the look-up tables below; anything else (a ticket file may
// hold odd values) is computed directly.
constexpr int kTableSize = 64;

// Tests one ticket against the active conditions. The indicator formulas are the shared ones
// of analysis/indicators.h, evaluated here with look-up tables and bit masks because a run
// tests millions of tickets; the tests compare both on many tickets.
class TicketTester {
public:
    TicketTester(const FilterInputs &inputs, const TotalFilterConditions &c, bool rowsAscending)
        : m_n(inputs.n)
        , m_m(inputs.m)
        , m_c(c)
        , m_latest(inputs.latestDraw)
        , m_variant(inputs.variantValue.empty() ? nullptr : inputs.variantValue.data())
        , m_sorted(rowsAscending && !m_variant)
        , m_half(inputs.n / 2)
    {
        for (int v = 1; v <= 50; ++v) {
            if (c.balls[static_cast<std::size_t>(v)])
                m_ballMask |= std::uint64_t(1) << v;
        }
        for (int b : c.bankers) {
            if (b >= 0 && b < kTableSize)
                m_bankerMask |= std::uint64_t(1) << b;
            else
                m_bankerOutside.push_back(b);
        }
        if (c.deviation && !m_latest.empty()) {
            for (int v = 0; v < kTableSize; ++v)
                m_nearestLatest[v] = nearestLatest(v);
        }
        // Without a draw every ticket has the deviation (N - M) / 2 of a draw without a
        // previous one: the condition passes all tickets or none.
        if (c.deviation && m_latest.empty()) {
            const double value = DeviationWithoutPrevious(m_n, m_m);
            m_deviationConstant = c.deviation->lower <= value && value <= c.deviation->upper;
        }
    }

    bool passes(const int *stored) const
    {
        const int m = m_m;
        if (m_c.chooser) {
            int hits = 0;
            for (int j = 0; j < m; ++j) {
                const int v = stored[j];
                hits += (v >= 1 && v <= 50 && (m_ballMask >> v & 1)) ? 1 : 0;
            }
            if (!m_c.chooser->contains(hits))
                return false;
        }
        int buffer[kMaxWidth];
        const int *w = stored;
        if (m_variant) {
            for (int j = 0; j < m; ++j) {
                const int v = stored[j];
                buffer[j] = v >= 1 && v <= m_n ? m_variant[v] : 0;
            }
            w = buffer;
        }
        if (m_c.odd || m_c.big || m_c.sum || m_c.span) {
            // OddCount, BigCount (n >= N div 2), SumValue and SpanValue in one sweep.
            int odd = 0;
            int big = 0;
            int sum = 0;
            int lo = w[0];
            int hi = w[0];
            for (int j = 0; j < m; ++j) {
                const int v = w[j];
                odd += v & 1;
                big += v >= m_half ? 1 : 0;
                sum += v;
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
            if ((m_c.odd && !m_c.odd->contains(odd)) || (m_c.big && !m_c.big->contains(big))
                || (m_c.sum && !m_c.sum->contains(sum)) || (m_c.span && !m_c.span->contains(hi - lo)))
                return false;
        }
        if (m_c.banker && !m_c.banker->contains(bankerHits(w)))
            return false;
        if (m_c.deviation && !deviationPasses(w))
            return false;
        if (m_c.dispersion && !m_c.dispersion->contains(dispersion(w)))
            return false;
        if (m_c.ac && !m_c.ac->contains(ac(w)))
            return false;
        return true;
    }

private:
    int nearestLatest(int v) const
    {
        int nearest = -1;
        for (int p : m_latest) {
            const int gap = std::abs(v - p);
            if (nearest < 0 || gap < nearest)
                nearest = gap;
        }
        return nearest;
    }

    int bankerHits(const int *w) const
    {
        int hits = 0;
        for (int j = 0; j < m_m; ++j) {
            const int v = w[j];
            if (v >= 0 && v < kTableSize)
                hits += (m_bankerMask >> v & 1) ? 1 : 0;
            else
                hits += std::find(m_bankerOutside.begin(), m_bankerOutside.end(), v) != m_bankerOutside.end() ? 1 : 0;
        }
        return hits;
    }

    bool deviationPasses(const int *w) const
    {
        if (m_latest.empty())
            return m_deviationConstant;
        int widest = 0;
        for (int j = 0; j < m_m; ++j) {
            const int v = w[j];
            widest = std::max(widest, v >= 0 && v < kTableSize ? m_nearestLatest[v] : nearestLatest(v));
        }
        return m_c.deviation->contains(widest);
    }

    // The widest stretch of 1..N left uncovered: on ascending numbers inside 1..N it is the
    // largest of the room before the first, after the last and half of every gap.
    int dispersion(const int *w) const
    {
        const int m = m_m;
        int s[kMaxWidth];
        std::copy(w, w + m, s);
        if (!m_sorted) {
            for (int a = 1; a < m; ++a) {
                const int x = s[a];
                int b = a - 1;
                while (b >= 0 && s[b] > x) {
                    s[b + 1] = s[b];
                    --b;
                }
                s[b + 1] = x;
            }
        }
        if (m == 0 || s[0] < 1 || s[m - 1] > m_n)
            return DispersionValue(w, m, m_n);
        int widest = std::max(s[0] - 1, m_n - s[m - 1]);
        for (int j = 1; j < m; ++j)
            widest = std::max(widest, (s[j] - s[j - 1]) / 2);
        return widest;
    }

    int ac(const int *w) const
    {
        std::uint64_t seen = 0;
        for (int j = 0; j < m_m; ++j) {
            for (int k = j + 1; k < m_m; ++k) {
                const int diff = std::abs(w[j] - w[k]);
                if (diff >= kTableSize)
                    return AcValue(w, m_m, m_n);
                seen |= std::uint64_t(1) << diff;
            }
        }
        return std::popcount(seen);
    }

    int m_n;
    int m_m;
    const TotalFilterConditions &m_c;
    const std::vector<int> &m_latest;
    const int *m_variant;
    bool m_sorted;
    int m_half;
    std::uint64_t m_ballMask = 0;
    std::uint64_t m_bankerMask = 0;
    std::vector<int> m_bankerOutside;
    int m_nearestLatest[kTableSize] {};
    bool m_deviationConstant = false;
};

} // namespace

bool TotalFilterConditions::anyActive() const
{
    return big || odd || sum || span || dispersion || deviation || ac || chooser || banker;
}

int TotalFilterConditions::chosenBallCount(int n) const
{
    int count = 0;
    for (int v = 1; v <= std::min(n, 50); ++v)
        count += balls[static_cast<std::size_t>(v)] ? 1 : 0;
    return count;
}

std::vector<int> ParseBankerTokens(const QString &text)
{
    std::vector<int> tokens;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size) {
        while (i < size && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char(',')))
            ++i;
        if (i >= size)
            break;
        const qsizetype start = i;
        while (i < size && text[i] != QLatin1Char(' '))
            ++i;
        const QString token = text.mid(start, i - start);
        bool ok = false;
        const int value = token.toInt(&ok, 10);
        if (!ok)
            throw ConversionError::notInteger(token);
        tokens.push_back(value);
    }
    return tokens;
}

FilterBounds ParseBoundsText(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype dash = trimmed.indexOf(QLatin1Char('-'), 1);
    if (dash < 0) {
        const int value = ToInteger(trimmed);
        return {value, value};
    }
    return {ToInteger(trimmed.left(dash)), ToInteger(trimmed.mid(dash + 1))};
}

QString CheckConditions(const TotalFilterConditions &c, int n, int m)
{
    if (!c.anyActive())
        return filter_text::NoCondition();
    if (c.banker && c.bankers.empty())
        return filter_text::BankerMissing();
    for (const auto *b : {&c.big, &c.odd, &c.sum, &c.span, &c.dispersion, &c.deviation, &c.ac}) {
        if (*b && (*b)->lower > (*b)->upper)
            return filter_text::ListOrder();
    }
    if (c.banker && c.banker->lower > c.banker->upper)
        return filter_text::BankerOrder();
    if (c.chooser) {
        const int chosen = c.chosenBallCount(n);
        if (chosen == 0)
            return filter_text::NoBall();
        if (chosen < m)
            return filter_text::TooFewBalls(m);
    }
    return {};
}

QString TotalFilterUnsupportedReason(const OpenLottery &lottery)
{
    if (!lottery.lotteryOpen)
        return QStringLiteral("请先打开彩票！");
    if (lottery.kind != LotteryKind::Lotto || lottery.m < 3 || lottery.m > 7 || lottery.n < lottery.m)
        return QStringLiteral("总体过滤只适用于选择3到7个号码的乐透型彩票，《%1》不能使用总体过滤。").arg(lottery.name);
    return {};
}

QString ProposedSaveName(const OpenLottery &lottery)
{
    const int rows = lottery.drawTable.rowCount();
    const qint64 next = rows > 0 ? qint64(lottery.drawTable.period(rows - 1)) + 1 : 1;
    return lottery.name + QString::number(next) + QStringLiteral("期总体过滤投注号码.txt");
}

FilterInputs FilterInputs::fromLottery(const OpenLottery &lottery)
{
    FilterInputs inputs;
    inputs.n = lottery.n;
    inputs.m = lottery.m;
    const int rows = lottery.drawTable.rowCount();
    if (rows > 0) {
        const qint32 *last = lottery.drawTable.numbers(rows - 1);
        inputs.latestDraw.assign(last, last + lottery.m);
    }
    if (lottery.variantMode) {
        inputs.variantValue.assign(static_cast<std::size_t>(lottery.n) + 1, 0);
        for (int v = 1; v <= lottery.n; ++v)
            inputs.variantValue[static_cast<std::size_t>(v)] = VariantValue(lottery, v);
    }
    return inputs;
}

std::optional<qint64> ApplyConditions(
    TicketSet &tickets, const FilterInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress)
{
    const qint64 rows = tickets.rowCount();
    if (rows == 0)
        return 0;
    if (tickets.width() != inputs.m || inputs.m > kMaxWidth)
        throw InputError(QStringLiteral("投注号码的个数与彩票的选择号码数%1不符！").arg(inputs.m));
    const TicketTester tester(inputs, conditions, tickets.layout() == TicketSet::Layout::Lexicographic);
    quint8 *states = tickets.stateData();

    constexpr qint64 kBlock = 1 << 15;
    const qint64 blocks = (rows + kBlock - 1) / kBlock;
    std::atomic<qint64> nextBlock {0};
    std::atomic<qint64> rowsDone {0};
    std::atomic<qint64> alive {0};
    std::atomic_bool stop {false};

    // Each thread takes blocks of rows until none are left; the calling thread also reports.
    auto work = [&](bool reporting) {
        qint64 kept = 0;
        for (;;) {
            if (stop.load(std::memory_order_relaxed))
                break;
            const qint64 block = nextBlock.fetch_add(1);
            if (block >= blocks)
                break;
            const qint64 begin = block * kBlock;
            const qint64 end = std::min(rows, begin + kBlock);
            tickets.forRange(begin, end, [&](qint64 row, const int *numbers) {
                quint8 &state = states[row];
                if (state != 0)
                    return;
                if (tester.passes(numbers))
                    ++kept;
                else
                    state = 1;
            });
            const qint64 done = rowsDone.fetch_add(end - begin) + (end - begin);
            if (progress.cancelled())
                stop = true;
            else if (reporting)
                progress.step(done, rows);
        }
        alive.fetch_add(kept);
    };

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const qint64 helpers = std::min<qint64>(std::min<qint64>(cores, 8) - 1, blocks - 1);
    std::vector<std::thread> threads;
    for (qint64 i = 0; i < helpers; ++i)
        threads.emplace_back(work, false);
    work(true);
    for (std::thread &t : threads)
        t.join();
    if (stop.load())
        return std::nullopt;
    progress.step(rows, rows);
    return alive.load();
}

TotalFilter::TotalFilter(OpenLottery &lottery)
    : m_lottery(lottery)
{ }

TotalFilter::Job TotalFilter::prepare(const TotalFilterConditions &conditions, const QString &resultListPath)
{
    const QString reason = TotalFilterUnsupportedReason(m_lottery);
    if (!reason.isEmpty())
        throw InputError(reason);
    Job job;
    m_lottery.transformReferencePeriod = m_lottery.drawCount;
    job.inputs = FilterInputs::fromLottery(m_lottery);
    job.conditions = conditions;
    job.resultListPath = resultListPath;
    if (m_state == State::Pending) {
        job.tickets = TicketSet::lexicographic(m_lottery.n, m_lottery.m);
        job.enumerated = true;
    } else {
        job.tickets = m_lottery.ticketSet();
    }
    return job;
}

void TotalFilter::execute(Job &job, const Progress &progress)
{
    try {
        const std::optional<qint64> alive = ApplyConditions(job.tickets, job.inputs, job.conditions, progress);
        if (!alive) {
            job.cancelled = true;
            return;
        }
        job.survivors = *alive;
        if (job.survivors > 0) {
            WriteResultList(job.resultListPath, job.tickets, progress);
            job.cancelled = progress.cancelled();
        }
    } catch (...) {
        job.error = std::current_exception();
    }
}

void TotalFilter::finish(Job &job)
{
    if (job.error)
        std::rethrow_exception(job.error);
    if (job.cancelled)
        return;
    // The rejections of a run stay even when nothing survives: after a narrowing run that
    // leaves nothing, later runs find every ticket rejected until a reset or a load.
    m_lottery.setTicketSet(std::move(job.tickets));
    if (job.survivors > 0)
        m_state = State::Narrowed;
    else if (m_state != State::Pending)
        m_state = State::Exhausted;
}

qint64 TotalFilter::run(
    const TotalFilterConditions &conditions, const QString &resultListPath, const Progress &progress)
{
    Job job = prepare(conditions, resultListPath);
    execute(job, progress);
    finish(job);
    return job.cancelled ? 0 : job.survivors;
}

TotalFilter::LoadResult TotalFilter::load(const QString &path)
{
    const QString reason = TotalFilterUnsupportedReason(m_lottery);
    if (!reason.isEmpty())
        throw InputError(reason);
    LoadResult result;
    result.content = ReadFileContent(path, TicketFileByteLimit(kMaxLoadedTickets));
    TicketFileOptions options;
    options.maxTickets = kMaxLoadedTickets;
    LoadedTickets loaded = ParseTicketFile(result.content, m_lottery.m, QFileInfo(path).fileName(), options);
    result.lines = loaded.fileLines;
    result.tickets = loaded.tickets.rowCount();
    result.balls = loaded.balls;
    m_lottery.setTicketSet(std::move(loaded.tickets));
    m_state = State::Loaded;
    return result;
}

} // namespace lumaro
