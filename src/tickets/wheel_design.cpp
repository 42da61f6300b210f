#include "tickets/wheel_design.h"

#include "tickets/wheel_masks.h"
#include "tickets/wheel_weighting.h"

#include "common/random_source.h"
#include "data/combination.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>

namespace lumaro {

namespace {

using Clock = std::chrono::steady_clock;
using namespace wheel_masks;

// Schönheim: C(v, k, t) >= ceil(v / k * C(v - 1, k - 1, t - 1)).
qint64 Schoenheim(int v, int k, int t)
{
    if (t <= 0)
        return 1;
    const qint64 inner = Schoenheim(v - 1, k - 1, t - 1);
    return (v * inner + k - 1) / k;
}

// A mask bit chosen uniformly.
int RandomBit(WheelMask mask, RandomSource &rng)
{
    int skip = rng.below(std::popcount(mask));
    while (skip-- > 0)
        mask &= mask - 1;
    return std::countr_zero(mask);
}

WheelMask RandomSubset(WheelMask from, int r, RandomSource &rng)
{
    WheelMask out = 0;
    for (int i = 0; i < r && from; ++i) {
        const WheelMask bit = WheelMask(1) << RandomBit(from, rng);
        out |= bit;
        from &= ~bit;
    }
    return out;
}

bool TicketLess(WheelMask a, WheelMask b)
{
    while (a && b) {
        const WheelMask la = a & -a;
        const WheelMask lb = b & -b;
        if (la != lb)
            return la < lb;
        a &= a - 1;
        b &= b - 1;
    }
    return a == 0 && b != 0;
}

// The inversive plane of order q = 2^(m/2): the points of the projective line over GF(2^m)
// (the field elements and infinity, q^2 + 1 in all) and as blocks the images of the subline
// GF(q) + infinity under all Möbius maps z -> (az + b) / (cz + d). Any three points lie on
// exactly one block, so it is a Steiner system S(3, q + 1, q^2 + 1): a covering of the
// triples that no search reaches as easily (68 tickets for 17 numbers, tickets of 5).
std::vector<WheelMask> InversivePlane(const WheelParams &p)
{
    int m = 0;
    int reduction = 0; // the field polynomial without its leading term
    if (p.b == 5 && p.t == 3) {
        m = 2;
        reduction = 0b11; // x^2 + x + 1
    } else if (p.b == 17 && p.t == 5) {
        m = 4;
        reduction = 0b0011; // x^4 + x + 1
    }
    if (m == 0 || p.c != 3 || p.k != 3)
        return {};
    const int size = 1 << m;
    const int infinity = size;
    auto multiply = [&](int a, int b) {
        int product = 0;
        for (; b; b >>= 1) {
            if (b & 1)
                product ^= a;
            a <<= 1;
            if (a & size)
                a = (a ^ size) ^ reduction;
        }
        return product;
    };
    std::vector<int> inverse(std::size_t(size), 0);
    for (int a = 1; a < size; ++a)
        for (int b = 1; b < size; ++b)
            if (multiply(a, b) == 1)
                inverse[std::size_t(a)] = b;
    // The subfield GF(q): the elements with x^q = x.
    std::vector<int> subline {infinity};
    for (int x = 0; x < size; ++x) {
        int power = x;
        for (int i = 1; i < m / 2; ++i)
            power = multiply(power, power);
        if (multiply(power, power) == x)
            subline.push_back(x);
    }
    auto image = [&](int a, int b, int c, int d, int z) {
        if (z == infinity)
            return c == 0 ? infinity : multiply(a, inverse[std::size_t(c)]);
        const int denominator = multiply(c, z) ^ d;
        if (denominator == 0)
            return infinity;
        return multiply(multiply(a, z) ^ b, inverse[std::size_t(denominator)]);
    };
    std::vector<WheelMask> blocks;
    for (int a = 0; a < size; ++a)
        for (int b = 0; b < size; ++b)
            for (int c = 0; c < size; ++c)
                for (int d = 0; d < size; ++d) {
                    if ((multiply(a, d) ^ multiply(b, c)) == 0)
                        continue;
                    WheelMask block = 0;
                    for (int z : subline)
                        block |= WheelMask(1) << image(a, b, c, d, z);
                    blocks.push_back(block);
                }
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    return blocks;
}

// The state of one annealing run: the tickets, how often each draw is covered, the list of
// uncovered draws (with each draw's place in it, so that removal is O(1)) and, for every
// (k - 1)-subset of positions, the tickets that hold it. A draw is uncovered when every ticket
// holds fewer than k of its positions, so the tickets one exchange away from covering it are
// exactly those listed under one of its (k - 1)-subsets.
class Annealer {
public:
    Annealer(const WheelParams &p, std::uint64_t seed)
        : m_p(p)
        , m_full(FullMask(p.b))
        , m_cover(std::size_t(1) << p.b, 0)
        , m_uncovered(p.b)
        , m_rng(seed)
    {
        for (int n = 0; n < 32; ++n)
            for (int r = 0; r < 8; ++r)
                m_choose[n][r] = int(Choose(n, r));
        m_holders.resize(std::size_t(Choose(p.b, p.k - 1)));
        WheelMask d = (WheelMask(1) << p.c) - 1;
        const WheelMask end = WheelMask(1) << p.b;
        for (; d < end; d = NextSameCount(d))
            m_uncovered.insert(d);
    }

    std::size_t uncoveredCount() const { return m_uncovered.size(); }
    const std::vector<WheelMask> &tickets() const { return m_tickets; }

    void addTicket(WheelMask t)
    {
        const int index = int(m_tickets.size());
        m_tickets.push_back(t);
        ForEachSubset(t, m_p.k - 1, 0, [&](WheelMask a) { m_holders[rank(a)].push_back(index); });
        ForEachCoveredDraw(m_p, t, [&](WheelMask d) {
            if (m_cover[d]++ == 0)
                m_uncovered.erase(d);
        });
    }

    void removeTicket(std::size_t i)
    {
        const WheelMask t = m_tickets[i];
        ForEachSubset(t, m_p.k - 1, 0, [&](WheelMask a) { unlist(rank(a), int(i)); });
        const int last = int(m_tickets.size()) - 1;
        if (int(i) != last) {
            ForEachSubset(m_tickets[std::size_t(last)], m_p.k - 1, 0, [&](WheelMask a) {
                for (int &holder : m_holders[rank(a)])
                    if (holder == last)
                        holder = int(i);
            });
        }
        m_tickets[i] = m_tickets.back();
        m_tickets.pop_back();
        ForEachCoveredDraw(m_p, t, [&](WheelMask d) {
            if (--m_cover[d] == 0)
                m_uncovered.insert(d);
        });
    }

    // Greedy: through a random uncovered draw, the best of a few random tickets covering it.
    // Returns false when cancelled.
    bool greedy(const Progress &progress)
    {
        constexpr int kCandidates = 24;
        while (!m_uncovered.empty()) {
            if (progress.cancelled())
                return false;
            const WheelMask draw = m_uncovered[std::size_t(m_rng.below(int(m_uncovered.size())))];
            WheelMask best = 0;
            qint64 bestGain = -1;
            for (int i = 0; i < kCandidates; ++i) {
                const WheelMask inner = RandomSubset(draw, m_p.k, m_rng);
                const WheelMask t = inner | RandomSubset(m_full & ~inner, m_p.t - m_p.k, m_rng);
                qint64 gain = 0;
                ForEachCoveredDraw(m_p, t, [&](WheelMask d) { gain += m_cover[d] == 0; });
                if (gain > bestGain) {
                    bestGain = gain;
                    best = t;
                }
            }
            addTicket(best);
        }
        return true;
    }

    // Drops the ticket that alone covers the fewest draws.
    void dropWeakest()
    {
        std::size_t weakest = 0;
        qint64 fewest = -1;
        for (std::size_t i = 0; i < m_tickets.size(); ++i) {
            qint64 alone = 0;
            ForEachCoveredDraw(m_p, m_tickets[i], [&](WheelMask d) { alone += m_cover[d] == 1; });
            if (fewest < 0 || alone < fewest) {
                fewest = alone;
                weakest = i;
            }
        }
        removeTicket(weakest);
    }

    // One annealing move: a random uncovered draw, a ticket that holds the most of it, and the
    // exchange of one of the ticket's other positions for one of the draw's. Only draws that
    // hold the k - 1 kept positions of the ticket and c - k positions outside it change.
    void move(double temperature)
    {
        const WheelMask draw = m_uncovered[std::size_t(m_rng.below(int(m_uncovered.size())))];
        const std::size_t chosen = closestTicket(draw);
        const WheelMask t = m_tickets[chosen];
        const WheelMask x = WheelMask(1) << RandomBit(t & ~draw, m_rng);
        const WheelMask y = WheelMask(1) << RandomBit(draw & ~t, m_rng);

        m_inner.clear();
        ForEachSubset(t & ~x, m_p.k - 1, 0, [&](WheelMask a) { m_inner.push_back(a); });
        m_outer.clear();
        ForEachSubset(m_full & ~t & ~y, m_p.c - m_p.k, 0, [&](WheelMask b) { m_outer.push_back(b); });

        qint64 delta = 0;
        for (WheelMask a : m_inner) {
            for (WheelMask b : m_outer) {
                delta += m_cover[a | b | x] == 1;
                delta -= m_cover[a | b | y] == 0;
            }
        }
        if (delta > 0) {
            const double u = double(m_rng.next() >> 11) * 0x1.0p-53;
            if (u >= std::exp(-double(delta) / temperature))
                return;
        }
        for (WheelMask a : m_inner) {
            for (WheelMask b : m_outer) {
                const WheelMask lost = a | b | x;
                if (--m_cover[lost] == 0)
                    m_uncovered.insert(lost);
                const WheelMask gained = a | b | y;
                if (m_cover[gained]++ == 0)
                    m_uncovered.erase(gained);
            }
        }
        const int index = int(chosen);
        ForEachSubset(t & ~x, m_p.k - 2, x, [&](WheelMask a) { unlist(rank(a), index); });
        ForEachSubset(t & ~x, m_p.k - 2, y, [&](WheelMask a) { m_holders[rank(a)].push_back(index); });
        m_tickets[chosen] = (t & ~x) | y;
    }

private:
    // A uniformly chosen ticket among those holding k - 1 positions of the draw, else among
    // those holding the most.
    std::size_t closestTicket(WheelMask draw)
    {
        int listed = 0;
        ForEachSubset(draw, m_p.k - 1, 0, [&](WheelMask a) { listed += int(m_holders[rank(a)].size()); });
        if (listed > 0) {
            int pick = m_rng.below(listed);
            int found = 0;
            ForEachSubset(draw, m_p.k - 1, 0, [&](WheelMask a) {
                const std::vector<int> &holders = m_holders[rank(a)];
                if (pick >= 0 && pick < int(holders.size()))
                    found = holders[std::size_t(pick)];
                pick -= int(holders.size());
            });
            return std::size_t(found);
        }
        int most = 0;
        int ties = 0;
        for (WheelMask t : m_tickets) {
            const int h = std::popcount(draw & t);
            if (h > most) {
                most = h;
                ties = 1;
            } else {
                ties += h == most;
            }
        }
        int pick = m_rng.below(ties);
        std::size_t chosen = 0;
        for (; chosen < m_tickets.size(); ++chosen) {
            if (std::popcount(draw & m_tickets[chosen]) == most && pick-- == 0)
                break;
        }
        return chosen;
    }

    // Colex rank of a mask among the masks of its bit count.
    std::size_t rank(WheelMask a) const
    {
        std::size_t r = 0;
        int i = 1;
        for (; a; a &= a - 1)
            r += std::size_t(m_choose[std::countr_zero(a)][i++]);
        return r;
    }

    void unlist(std::size_t list, int index)
    {
        std::vector<int> &holders = m_holders[list];
        const auto it = std::find(holders.begin(), holders.end(), index);
        *it = holders.back();
        holders.pop_back();
    }

    WheelParams m_p;
    WheelMask m_full;
    std::vector<std::uint32_t> m_cover;
    MaskList m_uncovered;
    std::vector<WheelMask> m_tickets;
    std::vector<std::vector<int>> m_holders;
    std::vector<WheelMask> m_inner;
    std::vector<WheelMask> m_outer;
    int m_choose[32][8] {};
    RandomSource m_rng;
};

// Limits shared by the restarts of one search.
struct Budget {
    qint64 moves = 0;
    qint64 levelMoves = 0;
    Clock::time_point deadline;
    bool timed = false;
    const Progress *progress = nullptr;
    bool cancelled = false;

    bool exhausted(qint64 used)
    {
        if (used >= moves)
            return true;
        if ((used & 1023) == 0) {
            if (progress->cancelled()) {
                cancelled = true;
                return true;
            }
            if (timed && Clock::now() >= deadline)
                return true;
        }
        return false;
    }
};

// One run from a greedy start. Returns the smallest complete design it reached.
std::vector<WheelMask> SearchOnce(
    const WheelParams &p, std::uint64_t seed, int target, Budget &budget, qint64 &movesUsed, int greedyTotal)
{
    Annealer state(p, seed);
    if (!state.greedy(*budget.progress)) {
        budget.cancelled = true;
        return {};
    }
    std::vector<WheelMask> best = state.tickets();
    const int total = greedyTotal > 0 ? greedyTotal : int(best.size());
    budget.progress->step(qint64(best.size()), total);

    // Temperatures in uncovered draws (a move that uncovers one more draw is taken with
    // probability e^(-1/T)); cooled geometrically and reheated when frozen.
    constexpr double kStartTemperature = 1.0;
    constexpr double kCooling = 0.995;
    constexpr double kFrozen = 0.02;
    const qint64 movesPerStep = std::max<qint64>(500, qint64(best.size()) * 4);

    while (int(best.size()) > target) {
        state.dropWeakest();
        double temperature = kStartTemperature;
        qint64 sinceStep = 0;
        const qint64 levelEnd = budget.levelMoves > 0 ? movesUsed + budget.levelMoves : budget.moves;
        while (state.uncoveredCount() > 0) {
            if (movesUsed >= levelEnd || budget.exhausted(movesUsed))
                return best;
            state.move(temperature);
            ++movesUsed;
            if (++sinceStep == movesPerStep) {
                sinceStep = 0;
                temperature *= kCooling;
                if (temperature < kFrozen)
                    temperature = kStartTemperature;
            }
        }
        best = state.tickets();
        budget.progress->step(qint64(best.size()), total);
    }
    return best;
}

} // namespace

QString WheelParamsProblem(const WheelParams &p)
{
    if (p.b < 1 || p.b > kWheelMaxBase)
        return QStringLiteral("基本号码个数必须在 1 到 %1 之间").arg(kWheelMaxBase);
    if (p.t < 1 || p.t > p.b)
        return QStringLiteral("每注号码数必须在 1 到基本号码个数之间");
    if (p.c < 1 || p.c > p.b)
        return QStringLiteral("选对号码数必须在 1 到基本号码个数之间");
    if (p.k < 1 || p.k > p.c || p.k > p.t)
        return QStringLiteral("保中号码数必须在 1 到选对号码数和每注号码数之间");
    return QString();
}

WheelBounds WheelSizeBounds(const WheelParams &p)
{
    WheelBounds bounds;
    if (p.b <= p.t + p.c - p.k) {
        bounds.lower = bounds.exact = 1;
        return bounds;
    }
    if (p.k == 1) {
        bounds.lower = bounds.exact = (p.b - p.c + 1 + p.t - 1) / p.t;
        return bounds;
    }
    // Each ticket covers a fixed number of draws; and one ticket is not enough.
    const qint64 draws = Choose(p.b, p.c);
    const qint64 each = CoveredPerTicket(p);
    qint64 lower = std::max<qint64>(2, (draws + each - 1) / each);
    if (p.c == p.k)
        lower = std::max(lower, Schoenheim(p.b, p.t, p.k));
    bounds.lower = int(lower);
    if (lower == 2 && p.b <= 2 * p.t + p.c - 2 * p.k + 1)
        bounds.exact = 2;
    return bounds;
}

qint64 WheelTicketsPerDraw(const WheelParams &p)
{
    qint64 n = 0;
    for (int j = p.k; j <= std::min(p.t, p.c); ++j)
        n += Choose(p.c, j) * Choose(p.b - p.c, p.t - j);
    return n;
}

WheelMethod PreferredWheelMethod(const WheelParams &p)
{
    return WheelTicketsPerDraw(p) <= 150 ? WheelMethod::RowWeighting : WheelMethod::Annealing;
}

WheelCheck VerifyWheel(const WheelParams &p, const std::vector<WheelMask> &tickets, const Progress &progress)
{
    WheelCheck check;
    check.draws = Choose(p.b, p.c);
    if (p.c < 1 || p.b > 31 || p.c > p.b) {
        check.holds = false;
        return check;
    }
    const WheelMask end = WheelMask(1) << p.b;
    auto noteUncovered = [&](WheelMask d) {
        if (check.uncovered++ == 0)
            check.firstUncovered = d;
    };

    // Many tickets that each cover few draws (large k): mark what every ticket covers, then
    // look for unmarked draws. Otherwise test every draw against the tickets.
    if (qint64(tickets.size()) * CoveredPerTicket(p) <= 8 * check.draws) {
        std::vector<bool> covered(std::size_t(1) << p.b, false);
        for (std::size_t i = 0; i < tickets.size(); ++i) {
            if ((i & 0xff) == 0 && progress.cancelled()) {
                check.cancelled = true;
                return check;
            }
            if (std::popcount(tickets[i]) == p.t && (tickets[i] >> p.b) == 0)
                ForEachCoveredDraw(p, tickets[i], [&](WheelMask d) { covered[d] = true; });
            else // not a ticket of this design: test it draw by draw
                for (WheelMask d = (WheelMask(1) << p.c) - 1; d < end; d = NextSameCount(d))
                    covered[d] = covered[d] || std::popcount(d & tickets[i]) >= p.k;
        }
        for (WheelMask d = (WheelMask(1) << p.c) - 1; d < end; d = NextSameCount(d))
            if (!covered[d])
                noteUncovered(d);
        check.holds = check.uncovered == 0;
        return check;
    }

    std::size_t last = 0; // neighbouring draws are mostly covered by the same ticket
    qint64 done = 0;
    for (WheelMask d = (WheelMask(1) << p.c) - 1; d < end; d = NextSameCount(d), ++done) {
        if ((done & 0xffff) == 0) {
            if (progress.cancelled()) {
                check.cancelled = true;
                return check;
            }
            progress.step(done, check.draws);
        }
        bool covered = false;
        if (!tickets.empty() && std::popcount(d & tickets[last]) >= p.k) {
            covered = true;
        } else {
            for (std::size_t i = 0; i < tickets.size(); ++i) {
                if (std::popcount(d & tickets[i]) >= p.k) {
                    covered = true;
                    last = i;
                    break;
                }
            }
        }
        if (!covered)
            noteUncovered(d);
    }
    progress.step(check.draws, check.draws);
    check.holds = check.uncovered == 0;
    return check;
}

WheelSearchResult GenerateWheel(const WheelParams &p, const WheelSearchOptions &options, const Progress &progress)
{
    WheelSearchResult result;
    const WheelBounds bounds = WheelSizeBounds(p);
    const WheelMask full = FullMask(p.b);
    if (bounds.exact == 1) {
        result.tickets = {FullMask(p.t)};
        return result;
    }
    if (p.k == 1) {
        // Disjoint tickets over b - c + 1 positions meet every draw; the last one is filled up
        // from the positions before it.
        const int needed = p.b - p.c + 1;
        for (int start = 0; start < needed; start += p.t) {
            const int first = std::min(start, p.b - p.t);
            result.tickets.push_back((FullMask(p.t) << first) & full);
        }
        SortWheelTickets(result.tickets);
        return result;
    }
    if (std::vector<WheelMask> plane = InversivePlane(p); !plane.empty()) {
        result.tickets = std::move(plane);
        SortWheelTickets(result.tickets);
        return result;
    }

    const int target = options.targetSize > 0 ? std::max(options.targetSize, bounds.lower) : bounds.lower;
    if (options.method == WheelMethod::RowWeighting) {
        WeightingOutcome outcome
            = SearchByRowWeighting(p, options.seed, options.maxMoves, options.seconds, target, progress);
        result.cancelled = outcome.cancelled;
        result.moves = outcome.steps;
        result.tickets = std::move(outcome.tickets);
        SortWheelTickets(result.tickets);
        return result;
    }

    Budget budget;
    budget.moves = options.maxMoves;
    budget.levelMoves = options.levelMoves;
    budget.progress = &progress;
    if (options.seconds > 0) {
        budget.timed = true;
        budget.deadline = Clock::now() + std::chrono::microseconds(qint64(options.seconds * 1e6));
    }

    // The first run tells how large the design is; small designs get several restarts, each
    // with its share of the moves.
    int restarts = options.restarts;
    std::uint64_t seed = options.seed;
    qint64 used = 0;
    if (restarts <= 0) {
        Budget probe = budget;
        probe.moves = 0;
        qint64 none = 0;
        const std::vector<WheelMask> greedy = SearchOnce(p, seed, 1 << 30, probe, none, 0);
        if (probe.cancelled) {
            result.cancelled = true;
            return result;
        }
        restarts = greedy.size() <= 12 ? 8 : greedy.size() <= 30 ? 3 : 1;
    }
    std::vector<WheelMask> best;
    for (int r = 0; r < restarts && !budget.cancelled; ++r) {
        Budget share = budget;
        share.moves = used + (budget.moves - used) / (restarts - r);
        std::vector<WheelMask> found = SearchOnce(p, seed + std::uint64_t(r) * 0x9E3779B97F4A7C15ull, target, share,
            used, best.empty() ? 0 : int(best.size()));
        budget.cancelled = share.cancelled;
        if (!found.empty() && (best.empty() || found.size() < best.size()))
            best = std::move(found);
        if (!best.empty() && int(best.size()) <= target)
            break;
        if (budget.timed && Clock::now() >= budget.deadline)
            break;
    }
    result.cancelled = budget.cancelled;
    result.moves = used;
    result.tickets = std::move(best);
    SortWheelTickets(result.tickets);
    return result;
}

std::vector<int> WheelPositions(WheelMask mask)
{
    std::vector<int> out;
    for (; mask; mask &= mask - 1)
        out.push_back(std::countr_zero(mask) + 1);
    return out;
}

WheelMask WheelMaskOf(const std::vector<int> &positions)
{
    WheelMask mask = 0;
    for (int position : positions)
        mask |= WheelMask(1) << (position - 1);
    return mask;
}

void SortWheelTickets(std::vector<WheelMask> &tickets)
{
    std::sort(tickets.begin(), tickets.end(), TicketLess);
}

} // namespace lumaro
