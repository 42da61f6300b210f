#include "data/combination.h"

#include "common/errors.h"

#include <limits>

namespace lumaro {

namespace {

// Wide enough for a 64-bit count times one more factor.
__extension__ using Wide = __int128;

[[noreturn]] void tooMany(int k, int a)
{
    throw CapacityError(QStringLiteral("号码总数%1、选择号码数%2的投注号码数超出程序的计算范围。").arg(a).arg(k));
}

} // namespace

qint64 Choose(int a, int k)
{
    if (k <= 0)
        return 1;
    if (a < k || a <= 0)
        return 0;
    if (k > a - k)
        k = a - k;
    // result * (a - i + 1) / i stays exact at every step: the partial result is C(a-k+i, i).
    Wide result = 1;
    for (int i = 1; i <= k; ++i) {
        result = result * (a - k + i) / i;
        if (result > std::numeric_limits<qint64>::max())
            tooMany(k, a);
    }
    return static_cast<qint64>(result);
}

qint64 TicketCount(int k, int a, LotteryKind kind)
{
    if (k <= 0)
        return 1;
    if (kind != LotteryKind::Digit)
        return Choose(a, k);
    Wide result = 1;
    for (int i = 0; i < k; ++i) {
        result *= a;
        if (result > std::numeric_limits<qint64>::max() || result < 0)
            tooMany(k, a);
    }
    return static_cast<qint64>(result);
}

qint64 CombinationRank(const int *c, int n, int m)
{
    qint64 r = 1;
    for (int i = 0; i < m; ++i) {
        const int lo = i == 0 ? 1 : c[i - 1] + 1;
        for (int v = lo; v < c[i]; ++v)
            r += Choose(n - v, m - i - 1);
    }
    return r;
}

bool IsAscendingCombination(const int *c, int n, int m)
{
    int previous = 0;
    for (int i = 0; i < m; ++i) {
        if (c[i] <= previous || c[i] > n)
            return false;
        previous = c[i];
    }
    return true;
}

void CombinationUnrank(qint64 r, int n, int m, int *out)
{
    // Walk the positions: at each one skip whole blocks of combinations that start smaller.
    qint64 remaining = r - 1;
    int v = 1;
    for (int i = 0; i < m; ++i) {
        for (;; ++v) {
            const qint64 block = Choose(n - v, m - i - 1);
            if (remaining < block)
                break;
            remaining -= block;
        }
        out[i] = v;
        ++v;
    }
}

bool NextCombination(int *c, int n, int m)
{
    int i = m - 1;
    while (i >= 0 && c[i] == n - m + 1 + i)
        --i;
    if (i < 0)
        return false;
    ++c[i];
    for (int j = i + 1; j < m; ++j)
        c[j] = c[j - 1] + 1;
    return true;
}

} // namespace lumaro
