#pragma once

#include "data/combination.h"
#include "tickets/wheel_design.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

// Mask helpers shared by the design searches.
namespace lumaro::wheel_masks {

inline WheelMask FullMask(int b)
{
    return b >= 32 ? ~WheelMask(0) : (WheelMask(1) << b) - 1;
}

// Gosper's hack: the next larger mask with the same number of bits.
inline WheelMask NextSameCount(WheelMask v)
{
    const WheelMask t = v | (v - 1);
    return (t + 1) | (((~t & -~t) - 1) >> (std::countr_zero(v) + 1));
}

// Calls f(mask | base) for every r-subset of the bits of `from`.
template<typename F>
void ForEachSubset(WheelMask from, int r, WheelMask base, F &&f)
{
    if (r == 0) {
        f(base);
        return;
    }
    if (std::popcount(from) < r)
        return;
    int bits[32];
    int n = 0;
    for (WheelMask m = from; m; m &= m - 1)
        bits[n++] = std::countr_zero(m);
    int idx[32];
    for (int i = 0; i < r; ++i)
        idx[i] = i;
    for (;;) {
        WheelMask mask = base;
        for (int i = 0; i < r; ++i)
            mask |= WheelMask(1) << bits[idx[i]];
        f(mask);
        int i = r - 1;
        while (i >= 0 && idx[i] == n - r + i)
            --i;
        if (i < 0)
            return;
        ++idx[i];
        for (int j = i + 1; j < r; ++j)
            idx[j] = idx[j - 1] + 1;
    }
}

// Every c-subset d with |d & ticket| >= k: the draws a ticket covers.
template<typename F>
void ForEachCoveredDraw(const WheelParams &p, WheelMask ticket, F &&f)
{
    const WheelMask outside = FullMask(p.b) & ~ticket;
    for (int j = p.k; j <= std::min(p.t, p.c); ++j)
        ForEachSubset(ticket, j, 0, [&](WheelMask inner) { ForEachSubset(outside, p.c - j, inner, f); });
}

// Every t-subset with |d & ticket| >= k: the tickets that cover a draw.
template<typename F>
void ForEachCoveringTicket(const WheelParams &p, WheelMask draw, F &&f)
{
    const WheelMask outside = FullMask(p.b) & ~draw;
    for (int j = p.k; j <= std::min(p.t, p.c); ++j)
        ForEachSubset(draw, j, 0, [&](WheelMask inner) { ForEachSubset(outside, p.t - j, inner, f); });
}

// How many draws one ticket covers (the same for every ticket).
inline qint64 CoveredPerTicket(const WheelParams &p)
{
    qint64 n = 0;
    for (int j = p.k; j <= std::min(p.t, p.c); ++j)
        n += Choose(p.t, j) * Choose(p.b - p.t, p.c - j);
    return n;
}

// A set of masks below 2^bits in no particular order: insert, erase and membership in O(1),
// and the members as a list to pick from at random.
class MaskList {
public:
    explicit MaskList(int bits)
        : m_place(std::size_t(1) << bits, -1)
    { }

    void insert(WheelMask m)
    {
        m_place[m] = int(m_items.size());
        m_items.push_back(m);
    }
    void erase(WheelMask m)
    {
        const int at = m_place[m];
        const WheelMask last = m_items.back();
        m_items[std::size_t(at)] = last;
        m_place[last] = at;
        m_items.pop_back();
        m_place[m] = -1;
    }
    bool contains(WheelMask m) const { return m_place[m] >= 0; }
    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    WheelMask operator[](std::size_t i) const { return m_items[i]; }
    const std::vector<WheelMask> &items() const { return m_items; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<int> m_place;
    std::vector<WheelMask> m_items;
};

} // namespace lumaro::wheel_masks
