#include "tickets/wheel_weighting.h"

#include "common/random_source.h"

#include <algorithm>
#include <bit>
#include <chrono>

namespace lumaro {

namespace {

using Clock = std::chrono::steady_clock;

WheelMask nextSameCount(WheelMask v)
{
    const WheelMask c = v & -v;
    const WheelMask r = v + c;
    return (((r ^ v) >> 2) / c) | r;
}

// Calls f(mask | base) for every r-subset of the bits of `from`.
template<typename F>
void forEachSubset(WheelMask from, int r, WheelMask base, F &&f)
{
    if (r == 0) {
        f(base);
        return;
    }
    int bits[32];
    int n = 0;
    for (WheelMask m = from; m; m &= m - 1)
        bits[n++] = std::countr_zero(m);
    if (r > n)
        return;
    int at[32];
    for (int i = 0; i < r; ++i)
        at[i] = i;
    for (;;) {
        WheelMask s = base;
        for (int i = 0; i < r; ++i)
            s |= WheelMask(1) << bits[at[i]];
        f(s);
        int i = r - 1;
        while (i >= 0 && at[i] == n - r + i)
            --i;
        if (i < 0)
            return;
        ++at[i];
        for (int j = i + 1; j < r; ++j)
            at[j] = at[j - 1] + 1;
    }
}

class RowWeighting {
public:
    RowWeighting(const WheelParams &p, std::uint64_t seed)
        : m_p(p)
        , m_full(p.b >= 32 ? ~WheelMask(0) : (WheelMask(1) << p.b) - 1)
        , m_cover(std::size_t(1) << p.b, 0)
        , m_weight(std::size_t(1) << p.b, 1)
        , m_score(std::size_t(1) << p.b, 0)
        , m_stamp(std::size_t(1) << p.b, 0)
        , m_inCover(std::size_t(1) << p.b, 0)
        , m_allowed(std::size_t(1) << p.b, 1)
        , m_place(std::size_t(1) << p.b, -1)
        , m_ticketPlace(std::size_t(1) << p.b, -1)
        , m_rng(seed)
    {
        const WheelMask end = WheelMask(1) << p.b;
        for (WheelMask d = (WheelMask(1) << p.c) - 1; d < end; d = nextSameCount(d))
            addUncovered(d);
        for (WheelMask t = (WheelMask(1) << p.t) - 1; t < end; t = nextSameCount(t)) {
            qint64 n = 0;
            forEachDrawOf(t, [&](WheelMask) { ++n; });
            m_score[t] = n;
        }
    }

    bool complete() const { return m_uncovered.empty(); }
    const std::vector<WheelMask> &tickets() const { return m_tickets; }

    // Greedy: through a random uncovered draw, the ticket covering most uncovered draws.
    bool greedy(const Progress &progress)
    {
        while (!m_uncovered.empty()) {
            if (progress.cancelled())
                return false;
            const WheelMask draw = m_uncovered[std::size_t(m_rng.below(int(m_uncovered.size())))];
            WheelMask best = 0;
            forEachTicketOf(draw, [&](WheelMask t) {
                if (best == 0 || m_score[t] > m_score[best])
                    best = t;
            });
            add(best);
        }
        return true;
    }

    // The ticket whose draws alone weigh least (ties: the longest unchanged), never `keep`.
    void dropLightest(WheelMask keep)
    {
        WheelMask lightest = 0;
        for (WheelMask t : m_tickets) {
            if (t == keep)
                continue;
            if (lightest == 0 || m_score[t] > m_score[lightest]
                || (m_score[t] == m_score[lightest] && m_stamp[t] < m_stamp[lightest]))
                lightest = t;
        }
        if (lightest != 0)
            remove(lightest);
    }

    // One step of the search on an incomplete cover; returns the ticket taken in.
    WheelMask step(WheelMask lastTaken)
    {
        ++m_steps;
        dropLightest(lastTaken);
        const WheelMask draw = m_uncovered[std::size_t(m_rng.below(int(m_uncovered.size())))];
        WheelMask best = 0;
        WheelMask any = 0;
        forEachTicketOf(draw, [&](WheelMask t) {
            any = any ? any : t;
            if (!m_allowed[t])
                return;
            if (best == 0 || m_score[t] > m_score[best] || (m_score[t] == m_score[best] && m_stamp[t] < m_stamp[best]))
                best = t;
        });
        if (best == 0)
            best = any;
        add(best);
        for (WheelMask d : m_uncovered) {
            ++m_weight[d];
            forEachTicketOf(d, [&](WheelMask t) { ++m_score[t]; });
        }
        return best;
    }

    // Scores: a ticket of the cover scores minus the weight of the draws only it covers; any
    // other ticket the weight of the uncovered draws it would cover. Higher is better to take
    // in, and for a ticket of the cover, cheaper to drop.
    void add(WheelMask t)
    {
        m_inCover[t] = 1;
        m_ticketPlace[t] = int(m_tickets.size());
        m_tickets.push_back(t);
        m_score[t] = -m_score[t];
        m_stamp[t] = m_steps;
        forEachDrawOf(t, [&](WheelMask d) {
            const int c = ++m_cover[d];
            if (c == 1) {
                removeUncovered(d);
                forEachTicketOf(d, [&](WheelMask u) {
                    if (u != t) {
                        m_score[u] -= m_weight[d];
                        m_allowed[u] = 1;
                    }
                });
            } else if (c == 2) {
                m_score[otherHolder(d, t)] += m_weight[d];
            }
        });
    }

    void remove(WheelMask t)
    {
        m_inCover[t] = 0;
        const int at = m_ticketPlace[t];
        const WheelMask last = m_tickets.back();
        m_tickets[std::size_t(at)] = last;
        m_ticketPlace[last] = at;
        m_tickets.pop_back();
        m_ticketPlace[t] = -1;
        m_score[t] = -m_score[t];
        m_stamp[t] = m_steps;
        m_allowed[t] = 0;
        forEachDrawOf(t, [&](WheelMask d) {
            const int c = --m_cover[d];
            if (c == 0) {
                addUncovered(d);
                forEachTicketOf(d, [&](WheelMask u) {
                    if (u != t) {
                        m_score[u] += m_weight[d];
                        m_allowed[u] = 1;
                    }
                });
            } else if (c == 1) {
                m_score[otherHolder(d, 0)] -= m_weight[d];
            }
        });
    }

    qint64 steps() const { return m_steps; }

private:
    // Draws d with |d & t| >= k.
    template<typename F>
    void forEachDrawOf(WheelMask t, F &&f) const
    {
        const WheelMask outside = m_full & ~t;
        for (int j = m_p.k; j <= std::min(m_p.t, m_p.c); ++j)
            forEachSubset(t, j, 0, [&](WheelMask inner) { forEachSubset(outside, m_p.c - j, inner, f); });
    }
    // Tickets t with |d & t| >= k.
    template<typename F>
    void forEachTicketOf(WheelMask d, F &&f) const
    {
        const WheelMask outside = m_full & ~d;
        for (int j = m_p.k; j <= std::min(m_p.t, m_p.c); ++j)
            forEachSubset(d, j, 0, [&](WheelMask inner) { forEachSubset(outside, m_p.t - j, inner, f); });
    }
    // The ticket of the cover other than `except` that holds k positions of d.
    WheelMask otherHolder(WheelMask d, WheelMask except) const
    {
        WheelMask found = 0;
        forEachTicketOf(d, [&](WheelMask u) {
            if (m_inCover[u] && u != except)
                found = u;
        });
        return found;
    }
    void addUncovered(WheelMask d)
    {
        m_place[d] = int(m_uncovered.size());
        m_uncovered.push_back(d);
    }
    void removeUncovered(WheelMask d)
    {
        const int at = m_place[d];
        const WheelMask last = m_uncovered.back();
        m_uncovered[std::size_t(at)] = last;
        m_place[last] = at;
        m_uncovered.pop_back();
        m_place[d] = -1;
    }

    WheelParams m_p;
    WheelMask m_full;
    std::vector<std::uint16_t> m_cover;
    std::vector<qint64> m_weight;
    std::vector<qint64> m_score;
    std::vector<qint64> m_stamp;
    std::vector<std::uint8_t> m_inCover;
    std::vector<std::uint8_t> m_allowed;
    std::vector<int> m_place;
    std::vector<WheelMask> m_uncovered;
    std::vector<WheelMask> m_tickets;
    std::vector<int> m_ticketPlace;
    qint64 m_steps = 0;
    RandomSource m_rng;
};

} // namespace

WeightingOutcome SearchByRowWeighting(
    const WheelParams &p, std::uint64_t seed, qint64 maxSteps, double seconds, int target, const Progress &progress)
{
    WeightingOutcome outcome;
    RowWeighting search(p, seed);
    if (!search.greedy(progress)) {
        outcome.cancelled = true;
        return outcome;
    }
    outcome.tickets = search.tickets();
    const qint64 total = qint64(outcome.tickets.size());
    progress.step(total, total);
    const Clock::time_point deadline = Clock::now() + std::chrono::microseconds(qint64(seconds * 1e6));
    WheelMask lastTaken = 0;
    while (int(outcome.tickets.size()) > target && search.steps() < maxSteps) {
        if ((search.steps() & 255) == 0) {
            if (progress.cancelled()) {
                outcome.cancelled = true;
                break;
            }
            if (seconds > 0 && Clock::now() >= deadline)
                break;
        }
        if (search.complete()) {
            search.dropLightest(0);
            lastTaken = 0;
            continue;
        }
        lastTaken = search.step(lastTaken);
        if (search.complete() && search.tickets().size() < outcome.tickets.size()) {
            outcome.tickets = search.tickets();
            progress.step(qint64(outcome.tickets.size()), total);
        }
    }
    outcome.steps = search.steps();
    return outcome;
}

} // namespace lumaro
