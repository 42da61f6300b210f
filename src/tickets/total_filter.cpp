#include "tickets/total_filter.h"

#include "analysis/indicators.h"
#include "common/errors.h"
#include "common/parallel_blocks.h"
#include "data/combination.h"
#include "data/open_lottery.h"
#include "tickets/ticket_file.h"
#include "tickets/ticket_tester.h"
#include "trend/variant_trend.h"

#include <QFileInfo>

#include <algorithm>
#include <tuple>

namespace lumaro {

bool FilterBounds::ordered() const
{
    if (lower > upper)
        return false;
    return std::all_of(more.begin(), more.end(), [](const auto &range) { return range.first <= range.second; });
}

QString FilterBounds::text() const
{
    const auto one = [](int a, int b) { return a == b ? QString::number(a) : QStringLiteral("%1-%2").arg(a).arg(b); };
    QString text = one(lower, upper);
    for (const auto &[a, b] : more)
        text += QLatin1Char(',') + one(a, b);
    return text;
}

bool TotalFilterConditions::anyActive() const
{
    return !active().empty();
}

std::vector<ConditionRef> TotalFilterConditions::active() const
{
    std::vector<ConditionRef> list;
    for (int k = 0; k < kScalarConditionCount; ++k) {
        if (bounds(static_cast<FilterCondition>(k)))
            list.emplace_back(static_cast<FilterCondition>(k));
    }
    if (zoneCount > 0) {
        for (int z = 0; z < std::min<int>(zoneCount, static_cast<int>(zones.size())); ++z) {
            if (zones[static_cast<std::size_t>(z)])
                list.emplace_back(FilterCondition::Zone, z);
        }
    }
    for (int g = 0; g < static_cast<int>(bankerGroups.size()); ++g)
        list.emplace_back(FilterCondition::BankerGroup, g);
    return list;
}

const FilterBounds &TotalFilterConditions::boundsOf(ConditionRef condition) const
{
    if (condition.kind == FilterCondition::Zone)
        return *zones[static_cast<std::size_t>(condition.index)];
    if (condition.kind == FilterCondition::BankerGroup)
        return bankerGroups[static_cast<std::size_t>(condition.index)].hits;
    return *bounds(condition.kind);
}

const std::optional<FilterBounds> &TotalFilterConditions::bounds(FilterCondition condition) const
{
    switch (condition) {
    case FilterCondition::Big:
        return big;
    case FilterCondition::Odd:
        return odd;
    case FilterCondition::Sum:
        return sum;
    case FilterCondition::Span:
        return span;
    case FilterCondition::Dispersion:
        return dispersion;
    case FilterCondition::Deviation:
        return deviation;
    case FilterCondition::Ac:
        return ac;
    case FilterCondition::Chooser:
        return chooser;
    case FilterCondition::Banker:
        return banker;
    case FilterCondition::Repeat:
        return repeat;
    case FilterCondition::RepeatRecent:
        return repeatRecent;
    case FilterCondition::Consecutive:
        return consecutive;
    case FilterCondition::LongestRun:
        return longestRun;
    case FilterCondition::TailCount:
        return tailCount;
    case FilterCondition::TailSum:
        return tailSum;
    case FilterCondition::Road0:
        return road0;
    case FilterCondition::Road1:
        return road1;
    case FilterCondition::Road2:
        return road2;
    case FilterCondition::Primes:
        return primes;
    case FilterCondition::Zone:
    case FilterCondition::BankerGroup:
        break;
    }
    static const std::optional<FilterBounds> kNone;
    return kNone;
}

int TotalFilterConditions::chosenBallCount(int n) const
{
    int count = 0;
    for (int v = 1; v <= std::min(n, 50); ++v)
        count += balls[static_cast<std::size_t>(v)] ? 1 : 0;
    return count;
}

namespace {

std::vector<int> DistinctSorted(std::vector<int> values)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

std::optional<FilterBounds> ZoneAt(const TotalFilterConditions &c, int zone)
{
    return zone < static_cast<int>(c.zones.size()) ? c.zones[static_cast<std::size_t>(zone)] : std::nullopt;
}

} // namespace

bool operator==(const TotalFilterConditions &a, const TotalFilterConditions &b)
{
    for (int k = 0; k < kScalarConditionCount; ++k) {
        if (a.bounds(static_cast<FilterCondition>(k)) != b.bounds(static_cast<FilterCondition>(k)))
            return false;
    }
    if (a.chooser && a.balls != b.balls)
        return false;
    if (a.banker && DistinctSorted(a.bankers) != DistinctSorted(b.bankers))
        return false;
    if (a.repeatRecent && a.repeatPeriods != b.repeatPeriods)
        return false;
    if (a.zoneCount != b.zoneCount || a.tolerance != b.tolerance || a.bankerGroups.size() != b.bankerGroups.size())
        return false;
    for (int z = 0; z < static_cast<int>(std::max(a.zones.size(), b.zones.size())); ++z) {
        if (ZoneAt(a, z) != ZoneAt(b, z))
            return false;
    }
    for (std::size_t g = 0; g < a.bankerGroups.size(); ++g) {
        if (a.bankerGroups[g].hits != b.bankerGroups[g].hits
            || DistinctSorted(a.bankerGroups[g].numbers) != DistinctSorted(b.bankerGroups[g].numbers))
            return false;
    }
    return true;
}

std::vector<int> ParseBankerTokens(const QString &text)
{
    std::vector<int> tokens;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size) {
        while (i < size && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char(',')))
            ++i;
        if (i >= size)
            break;
        const qsizetype start = i;
        while (i < size && text[i] != QLatin1Char(' '))
            ++i;
        const QString token = text.mid(start, i - start);
        bool ok = false;
        const int value = token.toInt(&ok, 10);
        if (!ok)
            throw ConversionError::notInteger(token);
        tokens.push_back(value);
    }
    return tokens;
}

namespace {

std::pair<int, int> ParseRange(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype dash = trimmed.indexOf(QLatin1Char('-'), 1);
    if (dash < 0) {
        const int value = ToInteger(trimmed);
        return {value, value};
    }
    return {ToInteger(trimmed.left(dash)), ToInteger(trimmed.mid(dash + 1))};
}

} // namespace

FilterBounds ParseBoundsText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    FilterBounds bounds;
    std::tie(bounds.lower, bounds.upper) = ParseRange(parts.front());
    for (qsizetype i = 1; i < parts.size(); ++i)
        bounds.more.push_back(ParseRange(parts[i]));
    return bounds;
}

std::vector<int> ParsePatternText(const QString &text)
{
    std::vector<int> values;
    for (const QString &part : text.split(QLatin1Char(':')))
        values.push_back(ToInteger(part.trimmed()));
    return values;
}

QString filter_text::ToleranceCounts(const std::vector<qint64> &byFailures)
{
    QString text = QStringLiteral("其中");
    for (std::size_t f = 0; f < byFailures.size(); ++f) {
        text += (f == 0 ? QStringLiteral("不满足%1个条件的%2注") : QStringLiteral("，%1个条件的%2注"))
                    .arg(f)
                    .arg(byFailures[f]);
    }
    return text;
}

BackChoice BackChoice::all(int l, int k)
{
    BackChoice choice;
    choice.l = l;
    choice.k = k;
    for (int v = 1; v <= l; ++v)
        choice.numbers.push_back(v);
    return choice;
}

qint64 BackChoice::setCount() const
{
    return k > 0 ? Choose(static_cast<int>(numbers.size()), k) : 1;
}

std::vector<int> BackChoice::sets() const
{
    std::vector<int> out;
    const int chosen = static_cast<int>(numbers.size());
    if (k <= 0 || chosen < k)
        return out;
    std::vector<int> c(static_cast<std::size_t>(k));
    for (int i = 0; i < k; ++i)
        c[static_cast<std::size_t>(i)] = i + 1;
    do {
        for (int i : c)
            out.push_back(numbers[static_cast<std::size_t>(i - 1)]);
    } while (NextCombination(c.data(), chosen, k));
    return out;
}

bool BackChoice::holds(const int *back) const
{
    for (int i = 0; i < k; ++i) {
        if ((i > 0 && back[i] <= back[i - 1]) || !std::binary_search(numbers.begin(), numbers.end(), back[i]))
            return false;
    }
    return true;
}

QString CheckBackChoice(const BackChoice &choice)
{
    if (!choice.twoZone())
        return {};
    for (std::size_t i = 0; i < choice.numbers.size(); ++i) {
        const int v = choice.numbers[i];
        if (v < 1 || v > choice.l)
            return QStringLiteral("后区号码%1不在1到%2之间！").arg(v).arg(choice.l);
        if (i > 0 && v <= choice.numbers[i - 1])
            return QStringLiteral("后区号码%1重复了！").arg(v);
    }
    if (static_cast<int>(choice.numbers.size()) < choice.k)
        return QStringLiteral("请至少选择%1个后区号码（现在选了%2个）！").arg(choice.k).arg(choice.numbers.size());
    return {};
}

BackChoice ParseBackChoice(const QString &text, int l, int k)
{
    BackChoice choice;
    choice.l = l;
    choice.k = k;
    QString spaced = text;
    spaced.replace(QChar(0xFF0C), QLatin1Char(' ')).replace(QLatin1Char(','), QLatin1Char(' '));
    for (const QString &token : spaced.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        choice.numbers.push_back(ToInteger(token));
    std::vector<int> sorted = choice.numbers;
    std::sort(sorted.begin(), sorted.end());
    const auto twice = std::adjacent_find(sorted.begin(), sorted.end());
    if (twice != sorted.end())
        throw InputError(QStringLiteral("后区号码%1重复了！").arg(*twice));
    choice.numbers = std::move(sorted);
    const QString problem = CheckBackChoice(choice);
    if (!problem.isEmpty())
        throw InputError(problem);
    return choice;
}

QString CheckConditions(const TotalFilterConditions &c, int n, int m)
{
    if (!c.anyActive())
        return filter_text::NoCondition();
    if (c.banker && c.bankers.empty())
        return filter_text::BankerMissing();
    for (const ConditionRef &condition : c.active()) {
        const bool banker = condition.kind == FilterCondition::Banker || condition.kind == FilterCondition::BankerGroup;
        if (condition.kind != FilterCondition::Chooser && !c.boundsOf(condition).ordered())
            return banker ? filter_text::BankerOrder() : filter_text::ListOrder();
    }
    if (c.repeatRecent && (c.repeatPeriods < 1 || c.repeatPeriods > kMaxRepeatPeriods))
        return QStringLiteral("近期重码的期数应在1到%1之间！").arg(kMaxRepeatPeriods);
    const bool anyZone = std::any_of(c.zones.begin(), c.zones.end(), [](const auto &z) { return z.has_value(); });
    if (anyZone || c.zoneCount != 0) {
        if (c.zoneCount < kMinFilterZones || c.zoneCount > kMaxFilterZones || c.zoneCount > n)
            return QStringLiteral("分区数应在%1到%2之间，且不大于%3！")
                .arg(kMinFilterZones)
                .arg(kMaxFilterZones)
                .arg(n);
        if (static_cast<int>(c.zones.size()) > c.zoneCount)
            return QStringLiteral("只有%1个分区，没有第%2区！").arg(c.zoneCount).arg(c.zones.size());
    }
    if (static_cast<int>(c.bankerGroups.size()) > kMaxBankerGroups)
        return QStringLiteral("胆码组最多%1组！").arg(kMaxBankerGroups);
    for (std::size_t g = 0; g < c.bankerGroups.size(); ++g) {
        if (c.bankerGroups[g].numbers.empty())
            return QStringLiteral("胆码组%1没有胆码！").arg(g + 1);
    }
    const int active = static_cast<int>(c.active().size());
    if (c.tolerance < 0)
        return QStringLiteral("容错个数不能小于0！");
    if (c.tolerance > 0 && c.tolerance > active - 1)
        return QStringLiteral("容错个数%1太大：所选的%2个条件最多只能容错%3个！")
            .arg(c.tolerance)
            .arg(active)
            .arg(active - 1);
    if (c.chooser) {
        const int chosen = c.chosenBallCount(n);
        if (chosen == 0)
            return filter_text::NoBall();
        if (chosen < m)
            return filter_text::TooFewBalls(m);
    }
    return {};
}

QString TotalFilterUnsupportedReason(const OpenLottery &lottery)
{
    if (!lottery.lotteryOpen)
        return QStringLiteral("请先打开彩票！");
    if (lottery.kind != LotteryKind::Lotto || lottery.m < 3 || lottery.m > 7 || lottery.n < lottery.m)
        return QStringLiteral("总体过滤只适用于选择3到7个号码的乐透型彩票，《%1》不能使用总体过滤。").arg(lottery.name);
    return {};
}

QString ProposedSaveName(const OpenLottery &lottery)
{
    const int rows = lottery.drawTable.rowCount();
    const qint64 next = rows > 0 ? qint64(lottery.drawTable.period(rows - 1)) + 1 : 1;
    return lottery.name + QString::number(next) + QStringLiteral("期总体过滤投注号码.txt");
}

FilterInputs FilterInputs::fromLottery(const OpenLottery &lottery)
{
    FilterInputs inputs;
    inputs.n = lottery.n;
    inputs.m = lottery.m;
    if (lottery.twoZone()) {
        inputs.backN = lottery.backN;
        inputs.backM = lottery.backM;
    }
    const int rows = lottery.drawTable.rowCount();
    if (rows > 0) {
        const qint32 *last = lottery.drawTable.numbers(rows - 1);
        inputs.latestDraw.assign(last, last + lottery.m);
        for (int r = std::max(0, rows - kMaxRepeatPeriods); r < rows; ++r) {
            const qint32 *numbers = lottery.drawTable.numbers(r);
            inputs.recentDraws.insert(inputs.recentDraws.end(), numbers, numbers + lottery.m);
        }
    }
    if (lottery.variantMode) {
        inputs.variantValue.assign(static_cast<std::size_t>(lottery.n) + 1, 0);
        for (int v = 1; v <= lottery.n; ++v)
            inputs.variantValue[static_cast<std::size_t>(v)] = VariantValue(lottery, v);
    }
    return inputs;
}

std::optional<qint64> ApplyConditions(TicketSet &tickets, const FilterInputs &inputs,
    const TotalFilterConditions &conditions, const Progress &progress, std::vector<qint64> *byFailures)
{
    const qint64 rows = tickets.rowCount();
    const int tolerance = std::max(conditions.tolerance, 0);
    if (byFailures)
        byFailures->assign(static_cast<std::size_t>(tolerance) + 1, 0);
    if (rows == 0)
        return 0;
    const bool withBack = inputs.backM > 0 && tickets.width() == inputs.m + inputs.backM;
    if ((tickets.width() != inputs.m && !withBack) || inputs.m > kTesterMaxWidth)
        throw InputError(QStringLiteral("投注号码的个数与彩票的选择号码数%1不符！").arg(inputs.m));
    const bool lexicographic = tickets.layout() == TicketSet::Layout::Lexicographic;
    const TicketTester tester(inputs, conditions, lexicographic);
    const bool prefixed = lexicographic && tester.prefixServes();
    quint8 *states = tickets.stateData();

    // Blocks of rows split over the cores, each thread marking its own rows and counting the
    // survivors by failures in its own slot.
    constexpr qint64 kBlock = 1 << 15;
    const std::size_t slots = static_cast<std::size_t>(tolerance) + 1;
    std::vector<std::vector<qint64>> kept(
        static_cast<std::size_t>(BlockThreadCount(rows, kBlock)), std::vector<qint64>(slots, 0));
    const bool finished = ForEachBlock(rows, kBlock, progress, [&](int thread, qint64 begin, qint64 end) {
        qint64 *own = kept[static_cast<std::size_t>(thread)].data();
        if (prefixed) {
            // In lexicographic order the first M - 1 numbers change exactly after a ticket
            // ending in N; the prefix follows every row, rejected ones too.
            TicketTester::Prefix prefix;
            int last = inputs.n;
            tickets.forRange(begin, end, [&](qint64 row, const int *numbers) {
                if (last == inputs.n)
                    prefix = tester.prefix(numbers);
                last = numbers[inputs.m - 1];
                quint8 &state = states[row];
                if (state != 0)
                    return;
                const int failed = tolerance == 0 ? (tester.passesAfter(prefix, numbers) ? 0 : 1)
                                                  : tester.failureCountAfter(prefix, numbers);
                if (failed <= tolerance)
                    ++own[failed];
                else
                    state = 1;
            });
            return;
        }
        if (tolerance == 0) {
            tickets.forRange(begin, end, [&](qint64 row, const int *numbers) {
                quint8 &state = states[row];
                if (state != 0)
                    return;
                if (tester.passes(numbers))
                    ++own[0];
                else
                    state = 1;
            });
            return;
        }
        tickets.forRange(begin, end, [&](qint64 row, const int *numbers) {
            quint8 &state = states[row];
            if (state != 0)
                return;
            const int failed = tester.failureCount(numbers);
            if (failed <= tolerance)
                ++own[failed];
            else
                state = 1;
        });
    });
    if (!finished)
        return std::nullopt;
    qint64 alive = 0;
    for (const std::vector<qint64> &own : kept) {
        for (std::size_t f = 0; f < slots; ++f) {
            alive += own[f];
            if (byFailures)
                (*byFailures)[f] += own[f];
        }
    }
    return alive;
}

TotalFilter::TotalFilter(OpenLottery &lottery)
    : m_lottery(lottery)
{ }

TotalFilter::Job TotalFilter::prepare(
    const TotalFilterConditions &conditions, const QString &resultListPath, const std::optional<BackChoice> &back)
{
    const QString reason = TotalFilterUnsupportedReason(m_lottery);
    if (!reason.isEmpty())
        throw InputError(reason);
    Job job;
    if (m_lottery.twoZone()) {
        job.back = back ? *back : BackChoice::all(m_lottery.backN, m_lottery.backM);
        job.back.l = m_lottery.backN;
        job.back.k = m_lottery.backM;
        const QString problem = CheckBackChoice(job.back);
        if (!problem.isEmpty())
            throw InputError(problem);
    }
    m_lottery.transformReferencePeriod = m_lottery.drawCount;
    job.inputs = FilterInputs::fromLottery(m_lottery);
    job.conditions = conditions;
    job.resultListPath = resultListPath;
    job.listLimit = m_listLimit;
    if (m_state == State::Pending) {
        job.tickets = TicketSet::lexicographic(m_lottery.n, m_lottery.m);
        job.enumerated = true;
    } else {
        job.tickets = m_lottery.ticketSet();
    }
    return job;
}

void TotalFilter::execute(Job &job, const Progress &progress)
{
    try {
        const std::optional<qint64> alive
            = ApplyConditions(job.tickets, job.inputs, job.conditions, progress, &job.byFailures);
        if (!alive) {
            job.cancelled = true;
            return;
        }
        job.survivors = *alive;
        if (!job.back.twoZone()) {
            if (job.survivors > 0) {
                WriteResultList(job.resultListPath, job.tickets, progress);
                job.cancelled = progress.cancelled();
            }
            return;
        }
        TwoZoneRows rows {job.inputs.m, job.back.k, {}};
        if (job.tickets.width() == job.inputs.m) {
            rows.backSets = job.back.sets();
        } else {
            // Loaded rows keep their own back numbers when they are one of the chosen sets.
            quint8 *states = job.tickets.stateData();
            job.tickets.forEach([&](qint64 row, const int *numbers) {
                if (states[row] == 0 && !job.back.holds(numbers + job.inputs.m)) {
                    states[row] = 1;
                    --job.survivors;
                }
            });
        }
        job.ticketCount = job.survivors * rows.setCount();
        if (job.survivors > 0) {
            job.listed = WriteTwoZoneResultList(job.resultListPath, job.tickets, rows, progress, job.listLimit);
            job.cancelled = progress.cancelled();
        }
    } catch (...) {
        job.error = std::current_exception();
    }
}

void TotalFilter::finish(Job &job)
{
    if (job.error)
        std::rethrow_exception(job.error);
    if (job.cancelled)
        return;
    // The rejections of a run stay even when nothing survives: after a narrowing run that
    // leaves nothing, later runs find every ticket rejected until a reset or a load.
    m_lottery.setTicketSet(std::move(job.tickets));
    m_back = job.back;
    if (job.survivors > 0)
        m_state = State::Narrowed;
    else if (m_state != State::Pending)
        m_state = State::Exhausted;
}

qint64 TotalFilter::run(const TotalFilterConditions &conditions, const QString &resultListPath,
    const Progress &progress, const std::optional<BackChoice> &back)
{
    Job job = prepare(conditions, resultListPath, back);
    execute(job, progress);
    finish(job);
    return job.cancelled ? 0 : job.survivors;
}

TotalFilter::LoadResult TotalFilter::load(const QString &path)
{
    const QString reason = TotalFilterUnsupportedReason(m_lottery);
    if (!reason.isEmpty())
        throw InputError(reason);
    LoadResult result;
    result.content = ReadFileContent(path, TicketFileByteLimit(kMaxLoadedTickets));
    TicketFileOptions options;
    options.maxTickets = kMaxLoadedTickets;
    const QString fileName = QFileInfo(path).fileName();
    LoadedTickets loaded = m_lottery.twoZone()
        ? ParseTwoZoneTicketFile(result.content, m_lottery.m, m_lottery.backM, fileName, options)
        : ParseTicketFile(result.content, m_lottery.m, fileName, options);
    result.lines = loaded.fileLines;
    result.tickets = loaded.tickets.rowCount();
    result.balls = loaded.balls;
    m_lottery.setTicketSet(std::move(loaded.tickets));
    m_state = State::Loaded;
    m_back = {};
    if (m_lottery.twoZone()) {
        m_back.l = m_lottery.backN;
        m_back.k = m_lottery.backM;
    }
    return result;
}

TwoZoneRows TotalFilter::twoZoneRows() const
{
    TwoZoneRows rows {m_lottery.m, m_back.k, {}};
    if (m_lottery.ticketSet().width() == m_lottery.m)
        rows.backSets = m_back.sets();
    return rows;
}

qint64 TotalFilter::writeTwoZoneTickets(const QString &path, const Progress &progress) const
{
    if (!m_back.twoZone())
        throw InputError(QStringLiteral("《%1》没有后区号码！").arg(m_lottery.name));
    return WriteTwoZoneTicketFile(path, m_lottery.ticketSet(), twoZoneRows(), progress);
}

} // namespace lumaro
