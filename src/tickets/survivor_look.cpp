#include "tickets/survivor_look.h"

#include "analysis/indicators.h"
#include "common/errors.h"
#include "common/parallel_blocks.h"
#include "common/random_source.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <set>

namespace lumaro {

namespace {

constexpr int kMaxLookWidth = 16;

// The counts of one thread, each vector grown to the largest value it met.
using Counts = std::array<std::vector<qint64>, kLookIndicatorCount>;

void Count(Counts &counts, LookIndicator indicator, int value)
{
    std::vector<qint64> &own = counts[static_cast<std::size_t>(indicator)];
    const auto index = static_cast<std::size_t>(std::max(value, 0));
    if (index >= own.size())
        own.resize(index + 1, 0);
    ++own[index];
}

} // namespace

QString LookIndicatorName(LookIndicator indicator)
{
    switch (indicator) {
    case LookIndicator::Sum:
        return QStringLiteral("和值");
    case LookIndicator::Odd:
        return QStringLiteral("奇数");
    case LookIndicator::Big:
        return QStringLiteral("大数");
    case LookIndicator::Span:
        return QStringLiteral("跨度");
    case LookIndicator::Ac:
        return QStringLiteral("AC值");
    case LookIndicator::Consecutive:
        return QStringLiteral("连号个数");
    case LookIndicator::Primes:
        return QStringLiteral("质数个数");
    }
    return {};
}

std::optional<SurvivorLook> LookAtSurvivors(
    const TicketSet &tickets, const FilterInputs &inputs, const Progress &progress)
{
    // Rows of a loaded two-zone file are looked at by their front numbers.
    const int m = inputs.backM > 0 && tickets.width() == inputs.m + inputs.backM ? inputs.m : tickets.width();
    if (tickets.rowCount() > 0 && (m < 1 || m > kMaxLookWidth))
        throw InputError(QStringLiteral("投注号码的个数与彩票的选择号码数%1不符！").arg(inputs.m));
    const int half = inputs.n / 2;
    const int *variant = inputs.variantValue.empty() ? nullptr : inputs.variantValue.data();
    const int variantSize = static_cast<int>(inputs.variantValue.size());
    // Primes of the values a ticket usually holds, looked up; others are computed.
    constexpr int kTable = 128;
    std::array<bool, kTable> prime {};
    for (int v = 0; v < kTable; ++v)
        prime[static_cast<std::size_t>(v)] = IsPrime(v);

    constexpr qint64 kBlock = 1 << 15;
    const qint64 rows = tickets.rowCount();
    std::vector<Counts> perThread(static_cast<std::size_t>(BlockThreadCount(rows, kBlock)));
    std::vector<qint64> alivePerThread(perThread.size(), 0);
    const bool finished = ForEachBlock(rows, kBlock, progress, [&](int thread, qint64 begin, qint64 end) {
        Counts &own = perThread[static_cast<std::size_t>(thread)];
        qint64 alive = 0;
        tickets.forRange(begin, end, [&](qint64 row, const int *stored) {
            if (tickets.state(row) != 0)
                return;
            ++alive;
            int w[kMaxLookWidth];
            for (int j = 0; j < m; ++j) {
                const int v = stored[j];
                w[j] = variant ? (v >= 1 && v < variantSize ? variant[v] : 0) : v;
            }
            std::sort(w, w + m);
            int odd = 0;
            int big = 0;
            int sum = 0;
            int pairs = 0;
            int primes = 0;
            std::uint64_t seen = 0;
            bool wide = false;
            for (int j = 0; j < m; ++j) {
                const int v = w[j];
                odd += v & 1;
                big += v >= half ? 1 : 0;
                sum += v;
                primes += (v >= 0 && v < kTable) ? prime[static_cast<std::size_t>(v)] : IsPrime(v);
                if (j > 0 && v - w[j - 1] == 1)
                    ++pairs;
                for (int k = 0; k < j; ++k) {
                    const int diff = v - w[k];
                    if (diff < 64)
                        seen |= std::uint64_t(1) << diff;
                    else
                        wide = true;
                }
            }
            // Differences beyond the mask (odd values from a ticket file) take the plain count.
            const int ac = wide ? AcValue(w, m, inputs.n) : std::popcount(seen);
            Count(own, LookIndicator::Sum, sum);
            Count(own, LookIndicator::Odd, odd);
            Count(own, LookIndicator::Big, big);
            Count(own, LookIndicator::Span, m > 0 ? w[m - 1] - w[0] : 0);
            Count(own, LookIndicator::Ac, ac);
            Count(own, LookIndicator::Consecutive, pairs);
            Count(own, LookIndicator::Primes, primes);
        });
        alivePerThread[static_cast<std::size_t>(thread)] += alive;
    });
    if (!finished)
        return std::nullopt;
    SurvivorLook look;
    for (std::size_t t = 0; t < perThread.size(); ++t) {
        look.survivors += alivePerThread[t];
        for (std::size_t k = 0; k < look.counts.size(); ++k) {
            std::vector<qint64> &total = look.counts[k];
            const std::vector<qint64> &own = perThread[t][k];
            if (own.size() > total.size())
                total.resize(own.size(), 0);
            for (std::size_t v = 0; v < own.size(); ++v)
                total[v] += own[v];
        }
    }
    return look;
}

QStringList SurvivorLookLines(const SurvivorLook &look)
{
    QStringList lines;
    for (int k = 0; k < kLookIndicatorCount; ++k) {
        const auto indicator = static_cast<LookIndicator>(k);
        QStringList parts;
        const std::vector<qint64> &counts = look.of(indicator);
        for (std::size_t v = 0; v < counts.size(); ++v) {
            if (counts[v] > 0)
                parts << QStringLiteral("%1:%2").arg(v).arg(counts[v]);
        }
        lines << LookIndicatorName(indicator) + QStringLiteral("：") + parts.join(QLatin1Char(' '));
    }
    return lines;
}

std::vector<qint64> PickSurvivors(const TicketSet &tickets, qint64 count, RandomSource &random)
{
    const qint64 alive = tickets.aliveCount();
    if (count < 1)
        throw InputError(QStringLiteral("随机选出的注数应至少为1！"));
    if (count > alive)
        throw InputError(QStringLiteral("过滤结果只有%1注，不能随机选出%2注！").arg(alive).arg(count));
    // Floyd's selection: count distinct ranks of 0 … alive - 1, every subset equally likely.
    std::set<qint64> ranks;
    for (qint64 j = alive - count; j < alive; ++j) {
        const qint64 t = j < (qint64(1) << 31) - 1 ? random.below(static_cast<int>(j + 1))
                                                   : static_cast<qint64>(random.next() % std::uint64_t(j + 1));
        if (!ranks.insert(t).second)
            ranks.insert(j);
    }
    // The ranks among the alive rows, turned into rows in one walk.
    std::vector<qint64> rows;
    rows.reserve(static_cast<std::size_t>(count));
    auto next = ranks.begin();
    qint64 rank = 0;
    for (qint64 row = 0; row < tickets.rowCount() && next != ranks.end(); ++row) {
        if (tickets.state(row) != 0)
            continue;
        if (rank == *next) {
            rows.push_back(row);
            ++next;
        }
        ++rank;
    }
    return rows;
}

TicketSet PickTwoZoneTickets(const TicketSet &tickets, const TwoZoneRows &rows, qint64 count, RandomSource &random)
{
    const qint64 sets = rows.setCount();
    const qint64 total = tickets.aliveCount() * sets;
    if (count < 1)
        throw InputError(QStringLiteral("随机选出的注数应至少为1！"));
    if (count > total)
        throw InputError(QStringLiteral("过滤结果只有%1注，不能随机选出%2注！").arg(total).arg(count));
    std::set<qint64> ranks;
    for (qint64 j = total - count; j < total; ++j) {
        const qint64 t = j < (qint64(1) << 31) - 1 ? random.below(static_cast<int>(j + 1))
                                                   : static_cast<qint64>(random.next() % std::uint64_t(j + 1));
        if (!ranks.insert(t).second)
            ranks.insert(j);
    }
    // Rank r is back set r mod sets of the alive row r div sets.
    std::vector<qint16> out;
    out.reserve(static_cast<std::size_t>(count * (rows.m + rows.k)));
    std::vector<int> numbers(static_cast<std::size_t>(tickets.width()));
    auto next = ranks.begin();
    qint64 alive = 0;
    for (qint64 row = 0; row < tickets.rowCount() && next != ranks.end(); ++row) {
        if (tickets.state(row) != 0)
            continue;
        tickets.numbers(row, numbers.data());
        for (; next != ranks.end() && *next / sets == alive; ++next) {
            for (int i = 0; i < rows.m; ++i)
                out.push_back(static_cast<qint16>(numbers[static_cast<std::size_t>(i)]));
            const int *back
                = rows.backSets.empty() ? numbers.data() + rows.m : rows.backSets.data() + (*next % sets) * rows.k;
            for (int i = 0; i < rows.k; ++i)
                out.push_back(static_cast<qint16>(back[i]));
        }
        ++alive;
    }
    return TicketSet::fromRows(rows.m + rows.k, std::move(out));
}

} // namespace lumaro
