#include "pickers/stem_branch_picker.h"

#include <QRegularExpression>

namespace lumaro {

namespace {

const QDate &CycleStart()
{
    static const QDate start(2001, 5, 1);
    return start;
}

// Stems 甲乙丙丁戊己庚辛壬癸, branches 子丑寅卯辰巳午末申酉戍亥, as the window writes them.
const char16_t kStems[] = u"甲乙丙丁戊己庚辛壬癸";
const char16_t kBranches[] = u"子丑寅卯辰巳午末申酉戍亥";

constexpr std::array<int, 10> kStemElements = {3, 3, 2, 2, 5, 5, 4, 4, 1, 1};
constexpr std::array<int, 12> kBranchElements = {1, 5, 3, 3, 5, 2, 2, 5, 4, 4, 5, 1};
// Indexed by element 1 … 5 (slot 0 unused).
constexpr std::array<int, 6> kGenerates = {0, 3, 5, 2, 1, 4};
constexpr std::array<int, 6> kGeneratedBy = {0, 4, 3, 1, 5, 2};
constexpr std::array<int, 6> kOvercomes = {0, 2, 4, 5, 3, 1};

constexpr int kStemGui = 9; // 癸
constexpr int kBranchHai = 11; // 亥

int NonNegativeRemainder(qint64 value, int divisor)
{
    const int r = static_cast<int>(value % divisor);
    return r < 0 ? r + divisor : r;
}

// The two last digits of an element: 1 → 1, 6; 2 → 2, 7; 3 → 3, 8; 4 → 4, 9; 5 → 5, 0.
void SetElementDigits(DigitFlags &flags, int element, bool value)
{
    flags[static_cast<std::size_t>(element % 5)] = value;
    flags[static_cast<std::size_t>(element % 5 + 5)] = value;
}

} // namespace

StemBranch StemBranchOf(const QDate &date)
{
    const qint64 days = CycleStart().daysTo(date);
    return StemBranch {NonNegativeRemainder(days, 10), NonNegativeRemainder(days, 12)};
}

QString StemName(int stem)
{
    return stem >= 0 && stem < 10 ? QString(QChar(kStems[stem])) : QString();
}

QString BranchName(int branch)
{
    return branch >= 0 && branch < 12 ? QString(QChar(kBranches[branch])) : QString();
}

int StemIndex(const QString &name)
{
    for (int i = 0; i < 10; ++i) {
        if (name == StemName(i))
            return i;
    }
    return -1;
}

int BranchIndex(const QString &name)
{
    for (int i = 0; i < 12; ++i) {
        if (name == BranchName(i))
            return i;
    }
    return -1;
}

int StemElement(int stem)
{
    return kStemElements[static_cast<std::size_t>(stem)];
}

int BranchElement(int branch)
{
    return kBranchElements[static_cast<std::size_t>(branch)];
}

int ElementGenerates(int element)
{
    return kGenerates[static_cast<std::size_t>(element)];
}

int ElementGeneratedBy(int element)
{
    return kGeneratedBy[static_cast<std::size_t>(element)];
}

int ElementOvercomes(int element)
{
    return kOvercomes[static_cast<std::size_t>(element)];
}

DigitFlags SelectDigits(int stem, int branch, bool extra)
{
    const int v = StemElement(stem);
    const int c = BranchElement(branch);
    DigitFlags flags {};
    if (stem == kStemGui || branch == kBranchHai) {
        SetElementDigits(flags, v, true);
        SetElementDigits(flags, c, true);
        SetElementDigits(flags, 3, true); // 3 and 8
    } else if (v == c) {
        SetElementDigits(flags, c, true);
        SetElementDigits(flags, ElementGenerates(c), true);
        SetElementDigits(flags, ElementOvercomes(c), true);
    } else {
        flags.fill(true);
        SetElementDigits(flags, v, false);
        SetElementDigits(flags, c, false);
    }
    if (extra) {
        SetElementDigits(flags, ElementGenerates(c), false);
        SetElementDigits(flags, ElementGeneratedBy(c), false);
    }
    return flags;
}

std::optional<QDate> ParseDrawDate(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{4})[-/.年](\\d{1,2})[-/.月](\\d{1,2})"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QDate NextDrawDate(const QString &lotteryName, const QDate &lastDraw)
{
    if (lotteryName != QStringLiteral("中国福彩七乐彩"))
        return lastDraw.addDays(1);
    // Drawn on Monday, Wednesday and Friday. Qt counts Monday 1 … Sunday 7.
    static constexpr std::array<int, 8> kDaysToNext = {0, 2, 1, 2, 1, 3, 2, 1};
    return lastDraw.addDays(kDaysToNext[static_cast<std::size_t>(lastDraw.dayOfWeek())]);
}

std::optional<QDate> TargetDate(const QString &lotteryName, const QStringList &drawDates, int target)
{
    const int rows = static_cast<int>(drawDates.size());
    if (target < 0 || target > rows || rows == 0)
        return std::nullopt;
    if (target < rows)
        return ParseDrawDate(drawDates[target]);
    const std::optional<QDate> last = ParseDrawDate(drawDates[rows - 1]);
    if (!last)
        return std::nullopt;
    return NextDrawDate(lotteryName, *last);
}

std::vector<int> StemBranchProposal(const DigitFlags &digits, const NumberRange &range)
{
    std::vector<int> numbers;
    for (int x = range.first; x <= range.last; ++x) {
        if (digits[static_cast<std::size_t>(x % 10)])
            numbers.push_back(x);
    }
    return numbers;
}

BacktestResult StemBranchBacktest(const DrawTable &draws, const QStringList &drawDates, const NumberRange &range,
    bool extra, const Progress &progress)
{
    const int rows = draws.rowCount();
    const int m = draws.numberCount();
    BacktestResult result;
    result.fillDraws(draws, false);
    const ChanceModel chance = ChanceModelOf(range, m);
    for (int p = 0; p < rows; ++p) {
        if (result.interrupted(progress, p, rows))
            return result;
        const std::optional<QDate> date = p < drawDates.size() ? ParseDrawDate(drawDates[p]) : std::nullopt;
        if (!date)
            continue;
        const StemBranch day = StemBranchOf(*date);
        const DigitFlags digits = SelectDigits(day.stem, day.branch, extra);
        BacktestRow &row = result.rows[static_cast<std::size_t>(p)];
        const std::vector<int> proposal = StemBranchProposal(digits, range);
        row.proposed = PlainNumbers(proposal);
        const qint32 *numbers = draws.numbers(p);
        for (int k = 0; k < m; ++k) {
            if (numbers[k] >= 0 && digits[static_cast<std::size_t>(numbers[k] % 10)])
                ++row.hitCount;
        }
        row.hits = QString::number(row.hitCount);
        result.judge(row.hitCount);
        // A drawn number is a hit exactly when it is one of the proposed numbers: the proposal
        // is every number of the range with a chosen last digit.
        result.chance.add(chance, static_cast<int>(proposal.size()), row.hitCount);
    }
    progress.step(rows, rows);
    result.memo = HitRangeMemo(result);
    return result;
}

} // namespace lumaro
