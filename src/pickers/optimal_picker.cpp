#include "pickers/optimal_picker.h"

#include "common/errors.h"
#include "common/text_format.h"
#include "data/open_lottery.h"

#include <algorithm>

namespace lumaro {

NumberRange NumberRangeOf(const OpenLottery &lottery)
{
    const LotteryDefinition definition = lottery.definition();
    return NumberRange {definition.lowestNumber(), definition.highestNumber()};
}

LotteryKind KindOfRange(const NumberRange &range)
{
    return range.first == 0 ? LotteryKind::Digit : LotteryKind::Lotto;
}

ChanceModel ChanceModelOf(const NumberRange &range, int drawn)
{
    return ChanceModel(KindOfRange(range), range.count(), drawn);
}

QString RangeCoverageText(const NumberRange &range, int size, int drawn)
{
    return CoverageText(KindOfRange(range), size, drawn);
}

std::vector<NumberCount> ZeroCounts(const NumberRange &range)
{
    std::vector<NumberCount> list;
    list.reserve(static_cast<std::size_t>(std::max(0, range.count())));
    for (int x = range.first; x <= range.last; ++x)
        list.push_back(NumberCount {x, 0});
    return list;
}

void SortByCountDescending(std::vector<NumberCount> &list)
{
    ExchangeSort(
        list, [](const NumberCount &later, const NumberCount &earlier) { return later.count > earlier.count; });
}

QStringList TargetPeriods(const DrawTable &draws)
{
    QStringList periods;
    if (draws.isEmpty())
        return periods;
    periods.reserve(draws.rowCount() + 1);
    for (int row = 0; row < draws.rowCount(); ++row)
        periods << QString::number(draws.period(row));
    periods << QString::number(static_cast<qint64>(draws.period(draws.rowCount() - 1)) + 1);
    return periods;
}

namespace {

template<class Append>
QString NumbersText(const int *numbers, int count, Append append)
{
    QString text;
    text.reserve(count * 3);
    for (int i = 0; i < count; ++i) {
        append(text, numbers[i]);
        text += QLatin1Char(' ');
    }
    return text;
}

// "%.2d" without the formatter for the usual numbers 0 … 99: the back-tests write tens of
// thousands of them.
void AppendPadded(QString &text, int value)
{
    if (value >= 0 && value < 100) {
        text += QLatin1Char(static_cast<char>('0' + value / 10));
        text += QLatin1Char(static_cast<char>('0' + value % 10));
    } else {
        text += Pad2(value);
    }
}

void AppendPlain(QString &text, int value)
{
    text += QString::number(value);
}

} // namespace

QString PaddedNumbers(const std::vector<int> &numbers)
{
    return NumbersText(numbers.data(), static_cast<int>(numbers.size()), AppendPadded);
}

QString PaddedNumbers(const qint32 *numbers, int count)
{
    return NumbersText(numbers, count, AppendPadded);
}

QString PlainNumbers(const std::vector<int> &numbers)
{
    return NumbersText(numbers.data(), static_cast<int>(numbers.size()), AppendPlain);
}

QString PlainNumbers(const qint32 *numbers, int count)
{
    return NumbersText(numbers, count, AppendPlain);
}

QString ProposalLine(const QString &periodText, const QString &numbersText)
{
    return periodText + QStringLiteral("期推荐投注号码：") + numbersText;
}

HitCounter::HitCounter(const NumberRange &range)
    : m_range(range)
    , m_marked(static_cast<std::size_t>(std::max(0, range.count())), 0)
{ }

int HitCounter::count(const qint32 *numbers, int cells, const std::vector<int> &proposal)
{
    std::fill(m_marked.begin(), m_marked.end(), 0);
    for (int x : proposal)
        m_marked[static_cast<std::size_t>(m_range.slot(x))] = 1;
    int hits = 0;
    for (int k = 0; k < cells; ++k) {
        const int x = numbers[k];
        if (m_range.contains(x) && m_marked[static_cast<std::size_t>(m_range.slot(x))])
            ++hits;
    }
    return hits;
}

void BacktestResult::fillDraws(const DrawTable &draws, bool padded)
{
    const int m = draws.numberCount();
    rows.resize(static_cast<std::size_t>(draws.rowCount()));
    for (int p = 0; p < draws.rowCount(); ++p) {
        BacktestRow &row = rows[static_cast<std::size_t>(p)];
        row.period = draws.period(p);
        row.drawn = padded ? PaddedNumbers(draws.numbers(p), m) : PlainNumbers(draws.numbers(p), m);
    }
}

bool BacktestResult::interrupted(const Progress &progress, int done, int total)
{
    if (done % 256 != 0)
        return false;
    if (progress.cancelled()) {
        cancelled = true;
        return true;
    }
    progress.step(done, total);
    return false;
}

void BacktestResult::judge(int hits)
{
    if (judged == 0) {
        largest = hits;
        smallest = hits;
    } else {
        largest = std::max(largest, hits);
        smallest = std::min(smallest, hits);
    }
    ++judged;
}

void BacktestResult::addToTally(int hits)
{
    if (hits >= 0 && hits < static_cast<int>(tally.size()))
        ++tally[static_cast<std::size_t>(hits)];
}

QString BacktestMemo(const BacktestResult &result)
{
    const QString chance = ChanceLine(result.chance);
    return chance.isEmpty() ? result.memo : result.memo + QLatin1Char('\n') + chance;
}

QString HitRangeMemo(const BacktestResult &result)
{
    if (result.judged == 0)
        return NoJudgedDrawsMemo();
    return QStringLiteral("最大中奖号码数为%1个，最小中奖号码数为%2个").arg(result.largest).arg(result.smallest);
}

QString NoJudgedDrawsMemo()
{
    return QStringLiteral("历史开奖期数不足，没有可统计的中奖号码。");
}

QString NoDrawsMessage()
{
    return QStringLiteral("当前彩票没有开奖号码，无法生成推荐号码！");
}

void CheckTarget(int target, int drawCount)
{
    if (drawCount <= 0)
        throw InputError(NoDrawsMessage());
    if (target < 0 || target > drawCount)
        throw InputError(QStringLiteral("目前投注期不在历史期数之内！"));
}

void CheckSetting(const QString &label, int value, int first, int last)
{
    if (value < first || value > last)
        throw InputError(QStringLiteral("%1必须在%2到%3之间！").arg(label).arg(first).arg(last));
}

} // namespace lumaro
