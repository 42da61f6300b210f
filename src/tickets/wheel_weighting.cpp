#include "tickets/wheel_weighting.h"

#include "common/random_source.h"
#include "tickets/wheel_masks.h"

#include <algorithm>
#include <bit>
#include <chrono>

namespace lumaro {

namespace {

using Clock = std::chrono::steady_clock;
using namespace wheel_masks;

class RowWeighting {
public:
    RowWeighting(const WheelParams &p, std::uint64_t seed)
        : m_p(p)
        , m_cover(std::size_t(1) << p.b, 0)
        , m_weight(std::size_t(1) << p.b, 1)
        , m_score(std::size_t(1) << p.b, CoveredPerTicket(p)) // every draw uncovered, of weight 1
        , m_stamp(std::size_t(1) << p.b, 0)
        , m_allowed(std::size_t(1) << p.b, 1)
        , m_uncovered(p.b)
        , m_tickets(p.b)
        , m_rng(seed)
    {
        const WheelMask end = WheelMask(1) << p.b;
        for (WheelMask d = (WheelMask(1) << p.c) - 1; d < end; d = NextSameCount(d))
            m_uncovered.insert(d);
    }

    bool complete() const { return m_uncovered.empty(); }
    const std::vector<WheelMask> &tickets() const { return m_tickets.items(); }

    // Greedy: through a random uncovered draw, the ticket covering most uncovered draws.
    bool greedy(const Progress &progress)
    {
        while (!m_uncovered.empty()) {
            if (progress.cancelled())
                return false;
            const WheelMask draw = m_uncovered[std::size_t(m_rng.below(int(m_uncovered.size())))];
            WheelMask best = 0;
            ForEachCoveringTicket(m_p, draw, [&](WheelMask t) {
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
        ForEachCoveringTicket(m_p, draw, [&](WheelMask t) {
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
            ForEachCoveringTicket(m_p, d, [&](WheelMask t) { ++m_score[t]; });
        }
        return best;
    }

    // Scores: a ticket of the cover scores minus the weight of the draws only it covers; any
    // other ticket the weight of the uncovered draws it would cover. Higher is better to take
    // in, and for a ticket of the cover, cheaper to drop.
    void add(WheelMask t)
    {
        m_tickets.insert(t);
        m_score[t] = -m_score[t];
        m_stamp[t] = m_steps;
        ForEachCoveredDraw(m_p, t, [&](WheelMask d) {
            const int c = ++m_cover[d];
            if (c == 1) {
                m_uncovered.erase(d);
                ForEachCoveringTicket(m_p, d, [&](WheelMask u) {
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
        m_tickets.erase(t);
        m_score[t] = -m_score[t];
        m_stamp[t] = m_steps;
        m_allowed[t] = 0;
        ForEachCoveredDraw(m_p, t, [&](WheelMask d) {
            const int c = --m_cover[d];
            if (c == 0) {
                m_uncovered.insert(d);
                ForEachCoveringTicket(m_p, d, [&](WheelMask u) {
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
    // The ticket of the cover other than `except` that holds k positions of d.
    WheelMask otherHolder(WheelMask d, WheelMask except) const
    {
        WheelMask found = 0;
        ForEachCoveringTicket(m_p, d, [&](WheelMask u) {
            if (m_tickets.contains(u) && u != except)
                found = u;
        });
        return found;
    }

    WheelParams m_p;
    std::vector<std::uint16_t> m_cover;
    std::vector<qint64> m_weight;
    std::vector<qint64> m_score;
    std::vector<qint64> m_stamp;
    std::vector<std::uint8_t> m_allowed;
    MaskList m_uncovered;
    MaskList m_tickets;
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
