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
// passes() stops at the first condition that fails (the filter runs); failures() evaluates
// every active condition and returns the bits (1 << FilterCondition) of those that fail (the
// history check). Both read the indicators through the same helpers below.
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
        // Without a draw every ticket has the deviation (N - M) / 2 of a draw without a
        // previous one: the condition passes all tickets or none.
        if (c.deviation) {
            const double value = DeviationWithoutPrevious(m_n, m_m);
            m_deviationConstant = c.deviation->lower <= value && value <= c.deviation->upper;
        }
        setReference(inputs.latestDraw.data(), static_cast<int>(inputs.latestDraw.size()));
    }

    // The draw the deviation is measured against (count 0: none, the rule of a draw without a
    // previous one).
    void setReference(const int *draw, int count)
    {
        m_reference.assign(draw, draw + count);
        if (m_c.deviation && !m_reference.empty()) {
            for (int v = 0; v < kTableSize; ++v)
                m_nearestReference[v] = nearestReference(v);
        }
    }

    bool passes(const int *stored) const
    {
        if (m_c.chooser && !m_c.chooser->contains(chooserHits(stored)))
            return false;
        int buffer[kTesterMaxWidth];
        const int *w = mapped(stored, buffer);
        if (m_sweep) {
            const Sweep s = sweep(w);
            if ((m_c.odd && !m_c.odd->contains(s.odd)) || (m_c.big && !m_c.big->contains(s.big))
                || (m_c.sum && !m_c.sum->contains(s.sum)) || (m_c.span && !m_c.span->contains(s.span)))
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

    unsigned failures(const int *stored) const
    {
        unsigned failed = 0;
        const auto mark = [&failed](FilterCondition condition, bool fails) {
            failed |= unsigned(fails) << static_cast<int>(condition);
        };
        if (m_c.chooser)
            mark(FilterCondition::Chooser, !m_c.chooser->contains(chooserHits(stored)));
        int buffer[kTesterMaxWidth];
        const int *w = mapped(stored, buffer);
        if (m_sweep) {
            const Sweep s = sweep(w);
            mark(FilterCondition::Odd, m_c.odd && !m_c.odd->contains(s.odd));
            mark(FilterCondition::Big, m_c.big && !m_c.big->contains(s.big));
            mark(FilterCondition::Sum, m_c.sum && !m_c.sum->contains(s.sum));
            mark(FilterCondition::Span, m_c.span && !m_c.span->contains(s.span));
        }
        if (m_c.banker)
            mark(FilterCondition::Banker, !m_c.banker->contains(bankerHits(w)));
        if (m_c.deviation)
            mark(FilterCondition::Deviation, !deviationPasses(w));
        if (m_c.dispersion)
            mark(FilterCondition::Dispersion, !m_c.dispersion->contains(dispersion(w)));
        if (m_c.ac)
            mark(FilterCondition::Ac, !m_c.ac->contains(ac(w)));
        return failed;
    }

    // The pass over all tickets in lexicographic order: the tickets sharing their first M - 1
    // numbers share most of the work, kept in a Prefix. Only for ascending numbers of 1..N with
    // N below 64 in the standard trend; failures() serves the rest.
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
        }
        p.dispersion = std::max(p.dispersion, w[0] - 1);
        p.first = w[0];
        p.previous = w[k - 1];
        return p;
    }

    // failures() of an ascending ticket whose first M - 1 numbers made p.
    unsigned failuresAfter(const Prefix &p, const int *w) const
    {
        const int k = m_m - 1;
        const int v = w[k];
        unsigned failed = 0;
        const auto mark = [&failed](FilterCondition condition, bool fails) {
            failed |= unsigned(fails) << static_cast<int>(condition);
        };
        if (m_c.chooser)
            mark(FilterCondition::Chooser, !m_c.chooser->contains(p.chooser + static_cast<int>(m_ballMask >> v & 1)));
        mark(FilterCondition::Odd, m_c.odd && !m_c.odd->contains(p.odd + (v & 1)));
        mark(FilterCondition::Big, m_c.big && !m_c.big->contains(p.big + (v >= m_half ? 1 : 0)));
        mark(FilterCondition::Sum, m_c.sum && !m_c.sum->contains(p.sum + v));
        mark(FilterCondition::Span, m_c.span && !m_c.span->contains(v - p.first));
        if (m_c.banker)
            mark(FilterCondition::Banker, !m_c.banker->contains(p.banker + static_cast<int>(m_bankerMask >> v & 1)));
        if (m_c.deviation) {
            const bool holds = m_reference.empty()
                ? m_deviationConstant
                : m_c.deviation->contains(std::max(p.deviation, m_nearestReference[v]));
            mark(FilterCondition::Deviation, !holds);
        }
        if (m_c.dispersion) {
            const int widest = std::max({p.dispersion, (v - p.previous) / 2, m_n - v});
            mark(FilterCondition::Dispersion, !m_c.dispersion->contains(widest));
        }
        if (m_c.ac) {
            std::uint64_t seen = p.acSeen;
            for (int j = 0; j < k; ++j)
                seen |= std::uint64_t(1) << (v - w[j]);
            mark(FilterCondition::Ac, !m_c.ac->contains(std::popcount(seen)));
        }
        return failed;
    }

private:
    // Numbers in 0..kTableSize-1 use the look-up tables; anything else (a ticket file may hold
    // odd values) is computed directly.
    static constexpr int kTableSize = 64;

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
    std::uint64_t m_ballMask = 0;
    std::uint64_t m_bankerMask = 0;
    std::vector<int> m_bankerOutside;
    std::vector<int> m_reference;
    int m_nearestReference[kTableSize] {};
    bool m_deviationConstant = false;
};

} // namespace lumaro
