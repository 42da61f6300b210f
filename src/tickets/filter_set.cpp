#include "tickets/filter_set.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "common/text_format.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <map>

namespace lumaro {

namespace {

const QString kHeading = QStringLiteral("# Lumaro 总体过滤条件");
const QString kNotLimited = QStringLiteral("不限");

// The keys of the conditions written as a plain value set, with the largest value a ticket of
// M numbers out of N can have for them (the smallest is 0).
struct PlainKey {
    FilterCondition kind;
    const char *key;
    int (*largest)(int n, int m);
};

const PlainKey kPlainKeys[] = {
    {FilterCondition::Big, "大数", [](int, int m) { return m; }},
    {FilterCondition::Odd, "奇数", [](int, int m) { return m; }},
    {FilterCondition::Sum, "和值", [](int n, int m) { return n * m; }},
    {FilterCondition::Span, "跨度", [](int n, int) { return n; }},
    {FilterCondition::Dispersion, "散度", [](int n, int) { return n; }},
    {FilterCondition::Deviation, "偏度", [](int n, int) { return n; }},
    {FilterCondition::Ac, "AC值", [](int, int m) { return m * (m - 1) / 2; }},
    {FilterCondition::Repeat, "重码", [](int, int m) { return m; }},
    {FilterCondition::Consecutive, "连号个数", [](int, int m) { return std::max(m - 1, 0); }},
    {FilterCondition::LongestRun, "最长连号", [](int, int m) { return m; }},
    {FilterCondition::TailCount, "尾数个数", [](int, int m) { return std::min(m, 10); }},
    {FilterCondition::TailSum, "尾数和", [](int, int m) { return 9 * m; }},
    {FilterCondition::Road0, "0路个数", [](int, int m) { return m; }},
    {FilterCondition::Road1, "1路个数", [](int, int m) { return m; }},
    {FilterCondition::Road2, "2路个数", [](int, int m) { return m; }},
    {FilterCondition::Primes, "质数个数", [](int, int m) { return m; }},
};

const QString kChooserKey = QStringLiteral("选择球号");
const QString kBankerKey = QStringLiteral("胆码");
const QString kRecentKey = QStringLiteral("近期重码");
const QString kZoneKey = QStringLiteral("分区");
const QString kGroupKey = QStringLiteral("胆码组");
const QString kToleranceKey = QStringLiteral("容错");
const QString kVariantKey = QStringLiteral("变幻走势");
const QString kBackKey = QStringLiteral("后区号码");

std::optional<FilterBounds> &Member(TotalFilterConditions &c, FilterCondition kind)
{
    return const_cast<std::optional<FilterBounds> &>(static_cast<const TotalFilterConditions &>(c).bounds(kind));
}

QString NumbersText(std::vector<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QStringList parts;
    for (int v : numbers)
        parts << Pad2(v);
    return parts.join(QLatin1Char(' '));
}

QString HitsText(const std::vector<int> &numbers, const FilterBounds &hits)
{
    return NumbersText(numbers) + QStringLiteral(" 中 ") + hits.text();
}

// One line of a file being read: its number and its text, for the messages.
struct Line {
    int number = 0;
    QString text;

    [[noreturn]] void refuse(const QString &reason) const
    {
        throw InputError(QStringLiteral("第%1行：%2").arg(number).arg(reason));
    }
    [[noreturn]] void refuseQuoted(const QString &reason) const { refuse(QStringLiteral("“%1”%2").arg(text, reason)); }
};

int LineInteger(const QString &text, const Line &line)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        line.refuseQuoted(QStringLiteral("中的“%1”不是整数").arg(text.trimmed()));
    return value;
}

// A value set "a-b,c-d", each end within 0..largest and in order.
FilterBounds LineBounds(QString text, int largest, const Line &line)
{
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    FilterBounds bounds;
    try {
        if (text.isEmpty())
            throw InputError(QString());
        bounds = ParseBoundsText(text);
    } catch (const Error &) {
        line.refuseQuoted(QStringLiteral("不是有效的范围"));
    }
    if (!bounds.ordered())
        line.refuseQuoted(QStringLiteral("的范围前面的数应小于等于后面的数"));
    const auto inside = [largest](int v) { return v >= 0 && v <= largest; };
    bool fits = inside(bounds.lower) && inside(bounds.upper);
    for (const auto &[a, b] : bounds.more)
        fits = fits && inside(a) && inside(b);
    if (!fits)
        line.refuseQuoted(QStringLiteral("超出本彩票可能的值0到%1").arg(largest));
    return bounds;
}

// "n n … 中 a-b": distinct numbers of 1..highest and the bounds of how many a ticket holds.
std::pair<std::vector<int>, FilterBounds> LineHits(const QString &text, int highest, int m, const Line &line)
{
    const qsizetype at = text.indexOf(QStringLiteral("中"));
    if (at < 0)
        line.refuseQuoted(QStringLiteral("应写成“号码 号码 … 中 最少-最多”"));
    std::vector<int> numbers;
    for (const QString &part :
        text.left(at).split(QRegularExpression(QStringLiteral("[\\s,，]+")), Qt::SkipEmptyParts)) {
        const int v = LineInteger(part, line);
        if (v < 1 || v > highest)
            line.refuse(QStringLiteral("号码%1不在1到%2之间").arg(v).arg(highest));
        if (std::find(numbers.begin(), numbers.end(), v) != numbers.end())
            line.refuse(QStringLiteral("号码%1重复").arg(v));
        numbers.push_back(v);
    }
    if (numbers.empty())
        line.refuseQuoted(QStringLiteral("没有号码"));
    return {numbers, LineBounds(text.mid(at + 1), m, line)};
}

// "P 期：…" and "Z 区：…": the count before the colon and the rest.
std::pair<int, QString> LineCounted(const QString &text, const QString &unit, const Line &line)
{
    static const QRegularExpression kForm(QStringLiteral("^\\s*(\\S+?)\\s*%1\\s*[:：](.*)$"));
    const QRegularExpression form(kForm.pattern().arg(unit));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        line.refuseQuoted(QStringLiteral("应写成“数 %1：…”").arg(unit));
    return {LineInteger(match.captured(1), line), match.captured(2)};
}

} // namespace

QByteArray FilterSetText(const FilterSet &set)
{
    const TotalFilterConditions &c = set.conditions;
    QStringList lines {kHeading};
    const auto add
        = [&lines](const QString &key, const QString &value) { lines << key + QStringLiteral(" = ") + value; };
    // The scalar conditions in the order of active().
    for (int k = 0; k < kScalarConditionCount; ++k) {
        const auto kind = static_cast<FilterCondition>(k);
        const std::optional<FilterBounds> &bounds = c.bounds(kind);
        if (!bounds)
            continue;
        if (kind == FilterCondition::Chooser) {
            std::vector<int> balls;
            for (int v = 1; v <= 50; ++v) {
                if (c.balls[static_cast<std::size_t>(v)])
                    balls.push_back(v);
            }
            add(kChooserKey, HitsText(balls, *bounds));
        } else if (kind == FilterCondition::Banker) {
            add(kBankerKey, HitsText(c.bankers, *bounds));
        } else if (kind == FilterCondition::RepeatRecent) {
            add(kRecentKey, QStringLiteral("%1 期：%2").arg(c.repeatPeriods).arg(bounds->text()));
        } else {
            const auto plain = std::find_if(
                std::begin(kPlainKeys), std::end(kPlainKeys), [kind](const PlainKey &key) { return key.kind == kind; });
            add(QString::fromUtf8(plain->key), bounds->text());
        }
    }
    if (c.zoneCount > 0) {
        QStringList zones;
        for (int z = 0; z < c.zoneCount; ++z) {
            const bool set = z < static_cast<int>(c.zones.size()) && c.zones[static_cast<std::size_t>(z)];
            zones << (set ? c.zones[static_cast<std::size_t>(z)]->text() : kNotLimited);
        }
        add(kZoneKey, QStringLiteral("%1 区：%2").arg(c.zoneCount).arg(zones.join(QStringLiteral(" / "))));
    }
    for (std::size_t g = 0; g < c.bankerGroups.size(); ++g)
        add(kGroupKey + QString::number(g + 1), HitsText(c.bankerGroups[g].numbers, c.bankerGroups[g].hits));
    if (c.tolerance != 0)
        add(kToleranceKey, QString::number(c.tolerance));
    if (set.variant)
        add(kVariantKey, QStringLiteral("是"));
    if (!set.backNumbers.empty())
        add(kBackKey, NumbersText(set.backNumbers));
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

FilterSet ParseFilterSet(const QByteArray &bytes, int n, int m, int backN, int backM)
{
    QByteArray content = bytes;
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    const QString text = QString::fromUtf8(content);
    if (text.contains(QChar::ReplacementCharacter))
        throw InputError(QStringLiteral("过滤条件文件不是UTF-8文本！"));

    FilterSet set;
    TotalFilterConditions &c = set.conditions;
    std::map<QString, int> seen; // key -> line number
    std::map<int, Line> groups; // group number -> its line
    const QStringList rows = text.split(QLatin1Char('\n'));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const Line line {static_cast<int>(r + 1), rows[r].trimmed()};
        if (line.text.isEmpty() || line.text.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.text.indexOf(QLatin1Char('='));
        if (equals < 0)
            line.refuseQuoted(QStringLiteral("应写成“条件 = 值”"));
        const QString key = line.text.left(equals).trimmed();
        const QString value = line.text.mid(equals + 1).trimmed();
        if (const auto earlier = seen.find(key); earlier != seen.end())
            line.refuse(QStringLiteral("条件“%1”重复（第%2行已有）").arg(key).arg(earlier->second));
        seen[key] = line.number;

        const auto plain = std::find_if(std::begin(kPlainKeys), std::end(kPlainKeys),
            [&key](const PlainKey &p) { return key == QString::fromUtf8(p.key); });
        if (plain != std::end(kPlainKeys)) {
            Member(c, plain->kind) = LineBounds(value, plain->largest(n, m), line);
        } else if (key == kChooserKey) {
            auto [balls, hits] = LineHits(value, std::min(n, 50), m, line);
            for (int v : balls)
                c.balls[static_cast<std::size_t>(v)] = true;
            c.chooser = hits;
        } else if (key == kBankerKey) {
            std::tie(c.bankers, c.banker) = LineHits(value, n, m, line);
        } else if (key == kRecentKey) {
            const auto [periods, rest] = LineCounted(value, QStringLiteral("期"), line);
            if (periods < 1 || periods > kMaxRepeatPeriods)
                line.refuse(QStringLiteral("近期重码的期数应在1到%1之间").arg(kMaxRepeatPeriods));
            c.repeatPeriods = periods;
            c.repeatRecent = LineBounds(rest, m, line);
        } else if (key == kZoneKey) {
            const auto [count, rest] = LineCounted(value, QStringLiteral("区"), line);
            if (count < kMinFilterZones || count > std::min(kMaxFilterZones, n))
                line.refuse(
                    QStringLiteral("分区数应在%1到%2之间").arg(kMinFilterZones).arg(std::min(kMaxFilterZones, n)));
            const QStringList parts = rest.split(QLatin1Char('/'));
            if (parts.size() != count)
                line.refuse(
                    QStringLiteral("%1个分区应有%1个范围（不限的写“不限”），这里有%2个").arg(count).arg(parts.size()));
            c.zoneCount = count;
            c.zones.assign(static_cast<std::size_t>(count), std::nullopt);
            for (int z = 0; z < count; ++z) {
                if (parts[z].trimmed() != kNotLimited)
                    c.zones[static_cast<std::size_t>(z)] = LineBounds(parts[z], m, line);
            }
        } else if (key.startsWith(kGroupKey)) {
            bool ok = false;
            const int group = key.mid(kGroupKey.size()).toInt(&ok, 10);
            if (!ok || group < 1 || group > kMaxBankerGroups)
                line.refuse(QStringLiteral("胆码组应写成“胆码组k”，k在1到%1之间").arg(kMaxBankerGroups));
            if (const auto earlier = groups.find(group); earlier != groups.end())
                line.refuse(QStringLiteral("胆码组%1重复（第%2行已有）").arg(group).arg(earlier->second.number));
            groups[group] = line;
            auto [numbers, hits] = LineHits(value, n, m, line);
            if (static_cast<int>(c.bankerGroups.size()) < group)
                c.bankerGroups.resize(static_cast<std::size_t>(group));
            c.bankerGroups[static_cast<std::size_t>(group - 1)] = {std::move(numbers), std::move(hits)};
        } else if (key == kToleranceKey) {
            c.tolerance = LineInteger(value, line);
            if (c.tolerance < 0)
                line.refuse(QStringLiteral("容错个数不能小于0"));
        } else if (key == kVariantKey) {
            if (value != QStringLiteral("是") && value != QStringLiteral("否"))
                line.refuseQuoted(QStringLiteral("应为“是”或“否”"));
            set.variant = value == QStringLiteral("是");
        } else if (key == kBackKey) {
            if (backM <= 0)
                line.refuse(QStringLiteral("这个彩票没有后区，不能选择后区号码"));
            try {
                set.backNumbers = ParseBackChoice(value, backN, backM).numbers;
            } catch (const Error &error) {
                line.refuse(error.message());
            }
        } else {
            line.refuse(QStringLiteral("不认识的条件“%1”").arg(key));
        }
    }
    // Banker groups are numbered 1, 2, … without a gap.
    for (int g = 1; g <= static_cast<int>(c.bankerGroups.size()); ++g) {
        if (groups.find(g) == groups.end())
            groups.rbegin()->second.refuse(QStringLiteral("缺少胆码组%1（胆码组应从1起依次编号）").arg(g));
    }
    const auto lineOf = [&seen](const QString &key) {
        const auto at = seen.find(key);
        return at == seen.end() ? 0 : at->second;
    };
    if (set.variant && c.chooser)
        Line {lineOf(kChooserKey), {}}.refuse(QStringLiteral("变幻走势下不能按选择球号过滤"));
    QString problem = CheckConditions(c, n, m);
    if (!problem.isEmpty()) {
        problem.remove(QRegularExpression(QStringLiteral("！$")));
        int number = 0;
        if (problem.startsWith(kToleranceKey))
            number = lineOf(kToleranceKey);
        else if (c.chooser
            && (problem + QStringLiteral("！") == filter_text::NoBall()
                || problem + QStringLiteral("！") == filter_text::TooFewBalls(m)))
            number = lineOf(kChooserKey);
        if (number > 0)
            Line {number, {}}.refuse(problem);
        throw InputError(QStringLiteral("过滤条件文件：%1").arg(problem));
    }
    return set;
}

FilterSet ReadFilterSet(const QString &path, int n, int m, int backN, int backM)
{
    return ParseFilterSet(ReadWholeFile(path, kMaxFilterSetBytes), n, m, backN, backM);
}

void WriteFilterSet(const QString &path, const FilterSet &set)
{
    WriteWholeFile(path, FilterSetText(set));
}

QString ProposedFilterSetName(const QString &lotteryName)
{
    return lotteryName + QStringLiteral("过滤条件.txt");
}

} // namespace lumaro
