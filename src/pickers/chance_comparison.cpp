#include "pickers/chance_comparison.h"

#include "common/errors.h"
#include "data/combination.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumaro {

namespace {

constexpr int kTicketPrice = 2; // yuan
constexpr double kClearDifference = 2.0; // standard errors

// C(a, b) as a double; exact for every count the program's lotteries reach (N ≤ 99).
double RealChoose(int a, int b)
{
    if (b < 0 || b > a)
        return 0;
    b = std::min(b, a - b);
    double result = 1;
    for (int i = 1; i <= b; ++i)
        result = result * (a - b + i) / i;
    return result;
}

std::vector<double> LottoDistribution(int n, int m, int k)
{
    std::vector<double> p(static_cast<std::size_t>(m) + 1, 0.0);
    const double all = RealChoose(n, k);
    for (int h = 0; h <= m; ++h)
        p[static_cast<std::size_t>(h)] = RealChoose(m, h) * RealChoose(n - m, k - h) / all;
    return p;
}

std::vector<double> DigitDistribution(int n, int m, int k)
{
    const double q = static_cast<double>(k) / n;
    std::vector<double> p(static_cast<std::size_t>(m) + 1, 0.0);
    for (int h = 0; h <= m; ++h)
        p[static_cast<std::size_t>(h)] = RealChoose(m, h) * std::pow(q, h) * std::pow(1 - q, m - h);
    return p;
}

// "1.52"; a value that rounds to zero is written without a minus sign.
QString Rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0)
        rounded = 0; // no "-0.0"
    return QString::number(rounded, 'f', decimals);
}

} // namespace

ChanceModel::ChanceModel(LotteryKind kind, int n, int m)
    : m_kind(kind)
    , m_n(std::max(0, n))
    , m_m(std::max(0, m))
{
    m_distributions.reserve(static_cast<std::size_t>(m_n) + 1);
    for (int k = 0; k <= m_n; ++k) {
        if (m_n == 0)
            m_distributions.push_back(std::vector<double>(static_cast<std::size_t>(m_m) + 1, 0.0));
        else if (kind == LotteryKind::Digit)
            m_distributions.push_back(DigitDistribution(m_n, m_m, k));
        else
            m_distributions.push_back(LottoDistribution(m_n, std::min(m_m, m_n), k));
        m_distributions.back().resize(static_cast<std::size_t>(m_m) + 1, 0.0);
    }
}

int ChanceModel::clamp(int size) const
{
    return std::clamp(size, 0, m_n);
}

double ChanceModel::mean(int size) const
{
    if (m_n <= 0)
        return 0;
    return static_cast<double>(m_m) * clamp(size) / m_n;
}

double ChanceModel::variance(int size) const
{
    if (m_n <= 0)
        return 0;
    const double q = static_cast<double>(clamp(size)) / m_n;
    const double spread = m_m * q * (1 - q);
    if (m_kind == LotteryKind::Digit)
        return spread;
    // Drawing without putting back narrows the spread; a single number drawn has none.
    return m_n > 1 ? spread * (m_n - m_m) / (m_n - 1) : 0.0;
}

const std::vector<double> &ChanceModel::distribution(int size) const
{
    static const std::vector<double> none;
    if (m_distributions.empty())
        return none;
    return m_distributions[static_cast<std::size_t>(clamp(size))];
}

void ChanceComparison::add(const ChanceModel &model, int size, int drawHits)
{
    ++judged;
    hits += drawHits;
    chanceHits += model.mean(size);
    variance += model.variance(size);
    const std::vector<double> &p = model.distribution(size);
    if (expected.size() < p.size())
        expected.resize(p.size(), 0.0);
    for (std::size_t h = 0; h < p.size(); ++h)
        expected[h] += p[h];
}

double ChanceComparison::observedMean() const
{
    return judged > 0 ? static_cast<double>(hits) / judged : 0.0;
}

double ChanceComparison::chanceMean() const
{
    return judged > 0 ? chanceHits / judged : 0.0;
}

double ChanceComparison::standardErrors() const
{
    // (Σhits/n − Σmean/n) / (sqrt(Σvar)/n): the n cancel. Without any spread every hit count was
    // certain and equals its mean.
    if (judged == 0 || variance <= 0)
        return 0;
    return (static_cast<double>(hits) - chanceHits) / std::sqrt(variance);
}

ChanceVerdict ChanceComparison::verdict() const
{
    return VerdictOf(standardErrors());
}

ChanceVerdict VerdictOf(double standardErrors)
{
    if (standardErrors >= kClearDifference)
        return ChanceVerdict::Better;
    if (standardErrors <= -kClearDifference)
        return ChanceVerdict::Worse;
    return ChanceVerdict::NoClearDifference;
}

QString VerdictText(ChanceVerdict verdict)
{
    switch (verdict) {
    case ChanceVerdict::Better:
        return QStringLiteral("明显好于随机选号");
    case ChanceVerdict::Worse:
        return QStringLiteral("明显差于随机选号");
    case ChanceVerdict::NoClearDifference:
        break;
    }
    return QStringLiteral("与随机选号无明显差别");
}

QString ChanceLine(const ChanceComparison &comparison)
{
    if (comparison.judged == 0)
        return QString();
    return QStringLiteral("随机对照：判断%1期，平均每期中%2个，随机选同样多号码平均中%3个，相差%4个标准误；%5")
        .arg(comparison.judged)
        .arg(Rounded(comparison.observedMean(), 2), Rounded(comparison.chanceMean(), 2),
            Rounded(comparison.standardErrors(), 1), VerdictText(comparison.verdict()));
}

QString CoverageText(LotteryKind kind, int size, int m)
{
    const bool digits = kind == LotteryKind::Digit;
    if (m <= 0 || size <= 0 || (!digits && size < m))
        return QString();
    const QString formula
        = digits ? QStringLiteral("%1^%2").arg(size).arg(m) : QStringLiteral("C(%1,%2)").arg(size).arg(m);
    qint64 tickets = 0;
    try {
        tickets = TicketCount(m, size, kind);
    } catch (const CapacityError &) {
        tickets = -1;
    }
    if (tickets < 0 || tickets > std::numeric_limits<qint64>::max() / kTicketPrice)
        return QStringLiteral(" 全包需%1注，注数超出计算范围").arg(formula);
    return QStringLiteral(" 全包需%1=%2注，%3元").arg(formula).arg(tickets).arg(tickets * kTicketPrice);
}

int RollingMeanWindow(int points)
{
    return points >= 200 ? 50 : std::max(1, points / 4);
}

std::vector<double> RollingMean(const std::vector<double> &values, int window)
{
    std::vector<double> means;
    if (window < 1 || values.size() < static_cast<std::size_t>(window))
        return means;
    means.reserve(values.size() - static_cast<std::size_t>(window) + 1);
    // Whole-number hit counts: a running sum stays exact.
    double sum = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        sum += values[i];
        if (i >= static_cast<std::size_t>(window))
            sum -= values[i - static_cast<std::size_t>(window)];
        if (i + 1 >= static_cast<std::size_t>(window))
            means.push_back(sum / window);
    }
    return means;
}

} // namespace lumaro
