#pragma once

// The test of one ticket against the total filter's conditions, shared by the filter runs and
// the history check. Not part of the interface of the tickets folder: only the engines that
// walk tickets include it.

#include "analysis/indicators.h"
#include "tickets/total_filter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace lumaro {

// The widest ticket the tester takes.
constexpr int kTesterMaxWidth = 16;

// Tests one ticket against the active conditions. The indicator formulas are the shared ones
// of analysis/indicators.h, evaluated here with look-up tables and bit masks because a run
// tests millions of tickets; the tests compare both on many tickets.
//
// Every active condition has a position: its index in TotalFilterConditions::active(). passes()
// stops at the first condition that fails (the filter runs without tolerance); failureCount()
// stops once more conditions fail than the tolerance (the runs with tolerance); failures()
// evaluates every active condition and returns the bits (1 << position) of those that fail (the
// history check). All three read the indicators through evaluate().
class TicketTester {
public:
    TicketTester(const FilterInputs &inputs, const TotalFilterConditions &c, bool rowsAscending)
        : m_n(inputs.n)
        , m_m(inputs.m)
        , m_c(c)
        , m_variant(inputs.variantValue.empty() ? nullptr : inputs.variantValue.data())
        , m_sorted(rowsAscending && !m_variant)
        , m_half(inputs.n / 2)
        , m_sweep(c.odd || c.big || c.sum || c.span)
        , m_tolerance(std::max(c.tolerance, 0))
    {
        std::fill(std::begin(m_pos), std::end(m_pos), -1);
        const std::vector<ConditionRef> active = c.active();
        for (int p = 0; p < static_cast<int>(active.size()); ++p) {
            const ConditionRef &condition = active[static_cast<std::size_t>(p)];
            if (condition.kind == FilterCondition::Zone)
                m_zones.push_back({condition.index, p, &c.boundsOf(condition)});
            else if (condition.kind == FilterCondition::BankerGroup)
                m_groups.push_back({condition.index, p, &c.boundsOf(condition)});
            else
                m_pos[static_cast<int>(condition.kind)] = p;
        }
        for (int k = static_cast<int>(FilterCondition::Repeat); k < kScalarConditionCount; ++k)
            m_extra = m_extra || m_pos[k] >= 0;
        m_extra = m_extra || !m_zones.empty() || !m_groups.empty();
        m_runs = c.consecutive || c.longestRun;
        m_zoneWidth = c.zoneCount > 0 ? ZoneWidth(m_n, c.zoneCount) : 0;
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
        // Without a draw every ticket has the deviation (N - M) / 2 of a draw without a
        // previous one: the condition passes all tickets or none.
        if (c.deviation) {
            const double value = DeviationWithoutPrevious(m_n, m_m);
            m_deviationConstant = (c.deviation->lower <= value && value <= c.deviation->upper)
                || std::any_of(c.deviation->more.begin(), c.deviation->more.end(),
                    [value](const auto &r) { return r.first <= value && value <= r.second; });
        }
        for (int v = 0; v < kTableSize; ++v)
            m_feature[v] = featureOf(v);
        const std::vector<int> &draws = inputs.recentDraws.empty() ? inputs.latestDraw : inputs.recentDraws;
        setReferences(draws.data(), m_m > 0 ? static_cast<int>(draws.size()) / m_m : 0);
    }

    // The draws the deviation and the repeats read: drawCount draws of M numbers, oldest first;
    // the last is the latest (none: the rule of a draw without a previous one, no repeats).
    void setReferences(const int *draws, int drawCount)
    {
        if (drawCount > 0)
            m_reference.assign(draws + static_cast<std::ptrdiff_t>(drawCount - 1) * m_m,
                draws + static_cast<std::ptrdiff_t>(drawCount) * m_m);
        else
            m_reference.clear();
        const int periods = std::min(drawCount, std::clamp(m_c.repeatPeriods, 1, kMaxRepeatPeriods));
        m_recent.assign(draws + static_cast<std::ptrdiff_t>(drawCount - periods) * m_m,
            draws + static_cast<std::ptrdiff_t>(drawCount) * m_m);
        if (m_c.deviation && !m_reference.empty()) {
            for (int v = 0; v < kTableSize; ++v)
                m_nearestReference[v] = nearestReference(v);
        }
        if (m_c.repeat || m_c.repeatRecent) {
            for (Feature &f : m_feature)
                f.latest = f.recent = 0;
            for (int v : m_reference) {
                if (v >= 0 && v < kTableSize)
                    m_feature[v].latest = 1;
            }
            for (int v : m_recent) {
                if (v >= 0 && v < kTableSize)
                    m_feature[v].recent = 1;
            }
        }
    }

    bool passes(const int *stored) const
    {
        return evaluate(stored, [](int) { return true; });
    }

    // The count of failing conditions, stopping at tolerance + 1.
    int failureCount(const int *stored) const
    {
        int failed = 0;
        const int tolerance = m_tolerance;
        evaluate(stored, [&failed, tolerance](int) { return ++failed > tolerance; });
        return failed;
    }

    std::uint64_t failures(const int *stored) const
    {
        std::uint64_t failed = 0;
        evaluate(stored, [&failed](int position) {
            failed |= std::uint64_t(1) << position;
            return false;
        });
        return failed;
    }

    // The passes over all tickets in lexicographic order (a run from the complete enumeration,
    // the history check): the tickets sharing their first M - 1 numbers share most of the
    // work, kept in a Prefix. Only for ascending numbers of 1..N with N below 64 in the
    // standard trend; passes(), failureCount() and failures() serve the rest.
    struct Prefix {
        int chooser = 0;
        int odd = 0;
        int big = 0;
        int sum = 0;
        int banker = 0;
        int deviation = 0;
        int dispersion = 0;
        std::uint64_t acSeen = 0;
        int first = 0;
        int previous = 0;
        // The newer conditions.
        int repeat = 0;
        int recent = 0;
        unsigned tails = 0;
        int tailSum = 0;
        int roads[3] = {0, 0, 0};
        int primes = 0;
        int pairs = 0; // neighbouring pairs
        int longest = 0; // the longest run
        int run = 0; // the run ending at `previous`
        int zones[kMaxFilterZones + 1] = {}; // [0]: outside every zone
        int groups[kMaxBankerGroups] = {};
    };
    bool prefixServes() const { return m_sorted && m_m >= 2 && m_n < kTableSize; }

    // The first M - 1 numbers of an ascending ticket.
    Prefix prefix(const int *w) const
    {
        Prefix p;
        const int k = m_m - 1;
        for (int j = 0; j < k; ++j) {
            const int v = w[j];
            p.chooser += static_cast<int>(m_ballMask >> v & 1);
            p.odd += v & 1;
            p.big += v >= m_half ? 1 : 0;
            p.sum += v;
            p.banker += static_cast<int>(m_bankerMask >> v & 1);
            if (!m_reference.empty())
                p.deviation = std::max(p.deviation, m_nearestReference[v]);
            if (j > 0)
                p.dispersion = std::max(p.dispersion, (v - w[j - 1]) / 2);
            for (int i = 0; i < j; ++i)
                p.acSeen |= std::uint64_t(1) << (v - w[i]);
            if (m_extra) {
                const Feature &f = m_feature[v];
                p.repeat += f.latest;
                p.recent += f.recent;
                p.tails |= 1u << f.tail;
                p.tailSum += f.tail;
                ++p.roads[f.road];
                p.primes += f.prime;
                ++p.zones[f.zone + 1];
                for (unsigned g = f.groups; g != 0; g &= g - 1)
                    ++p.groups[std::countr_zero(g)];
                const bool joins = j > 0 && v - w[j - 1] == 1;
                p.pairs += joins ? 1 : 0;
                p.run = joins ? p.run + 1 : 1;
                p.longest = std::max(p.longest, p.run);
            }
        }
        p.dispersion = std::max(p.dispersion, w[0] - 1);
        p.first = w[0];
        p.previous = w[k - 1];
        return p;
    }

    // passes(), failureCount() and failures() of an ascending ticket whose first M - 1
    // numbers made p.
    bool passesAfter(const Prefix &p, const int *w) const
    {
        return evaluateAfter(p, w, [](int) { return true; });
    }
    int failureCountAfter(const Prefix &p, const int *w) const
    {
        int failed = 0;
        const int tolerance = m_tolerance;
        evaluateAfter(p, w, [&failed, tolerance](int) { return ++failed > tolerance; });
        return failed;
    }
    std::uint64_t failuresAfter(const Prefix &p, const int *w) const
    {
        std::uint64_t failed = 0;
        evaluateAfter(p, w, [&failed](int position) {
            failed |= std::uint64_t(1) << position;
            return false;
        });
        return failed;
    }

private:
    // Numbers in 0..kTableSize-1 use the look-up tables; anything else (a ticket file may hold
    // odd values) is computed directly.
    static constexpr int kTableSize = 64;

    // What the newer conditions read of one number.
    struct Feature {
        std::uint8_t latest = 0; // in the latest draw
        std::uint8_t recent = 0; // in one of the last P draws
        std::uint8_t tail = 0; // n mod 10
        std::uint8_t road = 0; // n mod 3
        std::uint8_t prime = 0;
        std::int8_t zone = -1; // 0-based; -1 outside every zone
        std::uint16_t groups = 0; // bit g: in banker group g
    };

    // A zone or banker group condition: which one, its position, its bounds.
    struct Counted {
        int index;
        int position;
        const FilterBounds *bounds;
    };

    bool inLatest(int v) const { return std::find(m_reference.begin(), m_reference.end(), v) != m_reference.end(); }
    bool inRecent(int v) const { return std::find(m_recent.begin(), m_recent.end(), v) != m_recent.end(); }

    Feature featureOf(int v) const
    {
        Feature f;
        f.latest = inLatest(v) ? 1 : 0;
        f.recent = inRecent(v) ? 1 : 0;
        f.tail = static_cast<std::uint8_t>((v % 10 + 10) % 10);
        f.road = static_cast<std::uint8_t>((v % 3 + 3) % 3);
        f.prime = IsPrime(v) ? 1 : 0;
        // As ZoneCounts: a digit 0 counts in zone 1.
        if (m_zoneWidth > 0 && v >= 0) {
            const int zone = v == 0 ? 0 : ZoneOf(v, m_zoneWidth);
            if (zone < std::min(m_c.zoneCount, kMaxFilterZones))
                f.zone = static_cast<std::int8_t>(zone);
        }
        for (std::size_t g = 0; g < std::min<std::size_t>(m_c.bankerGroups.size(), kMaxBankerGroups); ++g) {
            const std::vector<int> &numbers = m_c.bankerGroups[g].numbers;
            if (std::find(numbers.begin(), numbers.end(), v) != numbers.end())
                f.groups |= static_cast<std::uint16_t>(1u << g);
        }
        return f;
    }

    // Calls fail(position) for every active condition the ticket fails, in a fixed order, and
    // stops (returning false) as soon as fail returns true; true when it went through.
    template<class Fail>
    bool evaluate(const int *stored, Fail &&fail) const
    {
        const auto failed = [&](FilterCondition condition) { return fail(m_pos[static_cast<int>(condition)]); };
        using C = FilterCondition;
        if (m_c.chooser && !m_c.chooser->contains(chooserHits(stored)) && failed(C::Chooser))
            return false;
        int buffer[kTesterMaxWidth];
        const int *w = mapped(stored, buffer);
        if (m_sweep) {
            const Sweep s = sweep(w);
            if (m_c.odd && !m_c.odd->contains(s.odd) && failed(C::Odd))
                return false;
            if (m_c.big && !m_c.big->contains(s.big) && failed(C::Big))
                return false;
            if (m_c.sum && !m_c.sum->contains(s.sum) && failed(C::Sum))
                return false;
            if (m_c.span && !m_c.span->contains(s.span) && failed(C::Span))
                return false;
        }
        if (m_c.banker && !m_c.banker->contains(bankerHits(w)) && failed(C::Banker))
            return false;
        if (m_c.deviation && !deviationPasses(w) && failed(C::Deviation))
            return false;
        if (m_extra && !evaluateExtra(w, fail))
            return false;
        if (m_c.dispersion && !m_c.dispersion->contains(dispersion(w)) && failed(C::Dispersion))
            return false;
        if (m_c.ac && !m_c.ac->contains(ac(w)) && failed(C::Ac))
            return false;
        return true;
    }

    // The newer conditions, all from one sweep over the numbers (and one over them sorted for
    // the runs of consecutive numbers).
    template<class Fail>
    bool evaluateExtra(const int *w, Fail &&fail) const
    {
        const auto failed = [&](FilterCondition condition) { return fail(m_pos[static_cast<int>(condition)]); };
        using C = FilterCondition;
        int repeat = 0;
        int recent = 0;
        unsigned tails = 0;
        int tailSum = 0;
        int roads[3] = {0, 0, 0};
        int primes = 0;
        int zones[kMaxFilterZones + 1] = {};
        int groups[kMaxBankerGroups] = {};
        for (int j = 0; j < m_m; ++j) {
            const int v = w[j];
            const Feature f = v >= 0 && v < kTableSize ? m_feature[v] : featureOf(v);
            repeat += f.latest;
            recent += f.recent;
            tails |= 1u << f.tail;
            tailSum += f.tail;
            ++roads[f.road];
            primes += f.prime;
            ++zones[f.zone + 1];
            for (unsigned g = f.groups; g != 0; g &= g - 1)
                ++groups[std::countr_zero(g)];
        }
        if (m_c.repeat && !m_c.repeat->contains(repeat) && failed(C::Repeat))
            return false;
        if (m_c.repeatRecent && !m_c.repeatRecent->contains(recent) && failed(C::RepeatRecent))
            return false;
        if (m_c.tailCount && !m_c.tailCount->contains(std::popcount(tails)) && failed(C::TailCount))
            return false;
        if (m_c.tailSum && !m_c.tailSum->contains(tailSum) && failed(C::TailSum))
            return false;
        if (m_c.road0 && !m_c.road0->contains(roads[0]) && failed(C::Road0))
            return false;
        if (m_c.road1 && !m_c.road1->contains(roads[1]) && failed(C::Road1))
            return false;
        if (m_c.road2 && !m_c.road2->contains(roads[2]) && failed(C::Road2))
            return false;
        if (m_c.primes && !m_c.primes->contains(primes) && failed(C::Primes))
            return false;
        for (const Counted &zone : m_zones) {
            if (!zone.bounds->contains(zones[zone.index + 1]) && fail(zone.position))
                return false;
        }
        for (const Counted &group : m_groups) {
            if (!group.bounds->contains(groups[group.index]) && fail(group.position))
                return false;
        }
        if (m_runs) {
            int sorted[kTesterMaxWidth];
            const int *s = w;
            if (!m_sorted) {
                std::copy(w, w + m_m, sorted);
                std::sort(sorted, sorted + m_m);
                s = sorted;
            }
            int pairs = 0;
            int longest = m_m > 0 ? 1 : 0;
            int run = 1;
            for (int j = 1; j < m_m; ++j) {
                if (s[j] - s[j - 1] == 1) {
                    ++pairs;
                    longest = std::max(longest, ++run);
                } else {
                    run = 1;
                }
            }
            if (m_c.consecutive && !m_c.consecutive->contains(pairs) && failed(C::Consecutive))
                return false;
            if (m_c.longestRun && !m_c.longestRun->contains(longest) && failed(C::LongestRun))
                return false;
        }
        return true;
    }

    // evaluate() of an ascending ticket whose first M - 1 numbers made p: only the last number
    // is read.
    template<class Fail>
    bool evaluateAfter(const Prefix &p, const int *w, Fail &&fail) const
    {
        const auto failed = [&](FilterCondition condition) { return fail(m_pos[static_cast<int>(condition)]); };
        using C = FilterCondition;
        const int k = m_m - 1;
        const int v = w[k];
        if (m_c.chooser && !m_c.chooser->contains(p.chooser + static_cast<int>(m_ballMask >> v & 1))
            && failed(C::Chooser))
            return false;
        if (m_c.odd && !m_c.odd->contains(p.odd + (v & 1)) && failed(C::Odd))
            return false;
        if (m_c.big && !m_c.big->contains(p.big + (v >= m_half ? 1 : 0)) && failed(C::Big))
            return false;
        if (m_c.sum && !m_c.sum->contains(p.sum + v) && failed(C::Sum))
            return false;
        if (m_c.span && !m_c.span->contains(v - p.first) && failed(C::Span))
            return false;
        if (m_c.banker && !m_c.banker->contains(p.banker + static_cast<int>(m_bankerMask >> v & 1))
            && failed(C::Banker))
            return false;
        if (m_c.deviation) {
            const bool holds = m_reference.empty()
                ? m_deviationConstant
                : m_c.deviation->contains(std::max(p.deviation, m_nearestReference[v]));
            if (!holds && failed(C::Deviation))
                return false;
        }
        if (m_extra) {
            const Feature &f = m_feature[v];
            if (m_c.repeat && !m_c.repeat->contains(p.repeat + f.latest) && failed(C::Repeat))
                return false;
            if (m_c.repeatRecent && !m_c.repeatRecent->contains(p.recent + f.recent) && failed(C::RepeatRecent))
                return false;
            if (m_c.tailCount && !m_c.tailCount->contains(std::popcount(p.tails | 1u << f.tail))
                && failed(C::TailCount))
                return false;
            if (m_c.tailSum && !m_c.tailSum->contains(p.tailSum + f.tail) && failed(C::TailSum))
                return false;
            if (m_c.road0 && !m_c.road0->contains(p.roads[0] + (f.road == 0 ? 1 : 0)) && failed(C::Road0))
                return false;
            if (m_c.road1 && !m_c.road1->contains(p.roads[1] + (f.road == 1 ? 1 : 0)) && failed(C::Road1))
                return false;
            if (m_c.road2 && !m_c.road2->contains(p.roads[2] + (f.road == 2 ? 1 : 0)) && failed(C::Road2))
                return false;
            if (m_c.primes && !m_c.primes->contains(p.primes + f.prime) && failed(C::Primes))
                return false;
            for (const Counted &zone : m_zones) {
                const int count = p.zones[zone.index + 1] + (f.zone == zone.index ? 1 : 0);
                if (!zone.bounds->contains(count) && fail(zone.position))
                    return false;
            }
            for (const Counted &group : m_groups) {
                const int hits = p.groups[group.index] + static_cast<int>(f.groups >> group.index & 1);
                if (!group.bounds->contains(hits) && fail(group.position))
                    return false;
            }
            if (m_runs) {
                const bool joins = v - p.previous == 1;
                const int pairs = p.pairs + (joins ? 1 : 0);
                const int longest = std::max(p.longest, joins ? p.run + 1 : 1);
                if (m_c.consecutive && !m_c.consecutive->contains(pairs) && failed(C::Consecutive))
                    return false;
                if (m_c.longestRun && !m_c.longestRun->contains(longest) && failed(C::LongestRun))
                    return false;
            }
        }
        if (m_c.dispersion) {
            const int widest = std::max({p.dispersion, (v - p.previous) / 2, m_n - v});
            if (!m_c.dispersion->contains(widest) && failed(C::Dispersion))
                return false;
        }
        if (m_c.ac) {
            std::uint64_t seen = p.acSeen;
            for (int j = 0; j < k; ++j)
                seen |= std::uint64_t(1) << (v - w[j]);
            if (!m_c.ac->contains(std::popcount(seen)) && failed(C::Ac))
                return false;
        }
        return true;
    }

    struct Sweep {
        int odd;
        int big;
        int sum;
        int span;
    };

    // How many of the stored numbers are chosen balls.
    int chooserHits(const int *stored) const
    {
        int hits = 0;
        for (int j = 0; j < m_m; ++j) {
            const int v = stored[j];
            hits += (v >= 1 && v <= 50 && (m_ballMask >> v & 1)) ? 1 : 0;
        }
        return hits;
    }

    // The values the indicators read: the stored numbers, or their variant values.
    const int *mapped(const int *stored, int *buffer) const
    {
        if (!m_variant)
            return stored;
        for (int j = 0; j < m_m; ++j) {
            const int v = stored[j];
            buffer[j] = v >= 1 && v <= m_n ? m_variant[v] : 0;
        }
        return buffer;
    }

    // OddCount, BigCount (n >= N div 2), SumValue and SpanValue in one sweep.
    Sweep sweep(const int *w) const
    {
        int odd = 0;
        int big = 0;
        int sum = 0;
        int lo = w[0];
        int hi = w[0];
        for (int j = 0; j < m_m; ++j) {
            const int v = w[j];
            odd += v & 1;
            big += v >= m_half ? 1 : 0;
            sum += v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        return {odd, big, sum, hi - lo};
    }

    int nearestReference(int v) const
    {
        int nearest = -1;
        for (int p : m_reference) {
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
        if (m_reference.empty())
            return m_deviationConstant;
        int widest = 0;
        for (int j = 0; j < m_m; ++j) {
            const int v = w[j];
            widest = std::max(widest, v >= 0 && v < kTableSize ? m_nearestReference[v] : nearestReference(v));
        }
        return m_c.deviation->contains(widest);
    }

    // The widest stretch of 1..N left uncovered: on ascending numbers inside 1..N it is the
    // largest of the room before the first, after the last and half of every gap.
    int dispersion(const int *w) const
    {
        const int m = m_m;
        int s[kTesterMaxWidth];
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
    const int *m_variant;
    bool m_sorted;
    int m_half;
    bool m_sweep;
    int m_tolerance;
    bool m_extra = false;
    bool m_runs = false;
    int m_zoneWidth = 0;
    int m_pos[kScalarConditionCount];
    std::vector<Counted> m_zones;
    std::vector<Counted> m_groups;
    Feature m_feature[kTableSize];
    std::vector<int> m_recent;
    std::uint64_t m_ballMask = 0;
    std::uint64_t m_bankerMask = 0;
    std::vector<int> m_bankerOutside;
    std::vector<int> m_reference;
    int m_nearestReference[kTableSize] {};
    bool m_deviationConstant = false;
};

} // namespace lumaro
