#include "tickets/total_filter.h"

#include "analysis/indicators.h"
#include "common/errors.h"
#include "common/parallel_blocks.h"
#include "data/open_lottery.h"
#include "tickets/ticket_file.h"
#include "tickets/ticket_tester.h"
#include "trend/variant_trend.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>

namespace lumaro {

bool TotalFilterConditions::anyActive() const
{
    return big || odd || sum || span || dispersion || deviation || ac || chooser || banker;
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
        break;
    }
    return banker;
}

int TotalFilterConditions::chosenBallCount(int n) const
{
    int count = 0;
    for (int v = 1; v <= std::min(n, 50); ++v)
        count += balls[static_cast<std::size_t>(v)] ? 1 : 0;
    return count;
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

FilterBounds ParseBoundsText(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype dash = trimmed.indexOf(QLatin1Char('-'), 1);
    if (dash < 0) {
        const int value = ToInteger(trimmed);
        return {value, value};
    }
    return {ToInteger(trimmed.left(dash)), ToInteger(trimmed.mid(dash + 1))};
}

QString CheckConditions(const TotalFilterConditions &c, int n, int m)
{
    if (!c.anyActive())
        return filter_text::NoCondition();
    if (c.banker && c.bankers.empty())
        return filter_text::BankerMissing();
    for (const auto *b : {&c.big, &c.odd, &c.sum, &c.span, &c.dispersion, &c.deviation, &c.ac}) {
        if (*b && (*b)->lower > (*b)->upper)
            return filter_text::ListOrder();
    }
    if (c.banker && c.banker->lower > c.banker->upper)
        return filter_text::BankerOrder();
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
    const int rows = lottery.drawTable.rowCount();
    if (rows > 0) {
        const qint32 *last = lottery.drawTable.numbers(rows - 1);
        inputs.latestDraw.assign(last, last + lottery.m);
    }
    if (lottery.variantMode) {
        inputs.variantValue.assign(static_cast<std::size_t>(lottery.n) + 1, 0);
        for (int v = 1; v <= lottery.n; ++v)
            inputs.variantValue[static_cast<std::size_t>(v)] = VariantValue(lottery, v);
    }
    return inputs;
}

std::optional<qint64> ApplyConditions(
    TicketSet &tickets, const FilterInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress)
{
    const qint64 rows = tickets.rowCount();
    if (rows == 0)
        return 0;
    if (tickets.width() != inputs.m || inputs.m > kTesterMaxWidth)
        throw InputError(QStringLiteral("投注号码的个数与彩票的选择号码数%1不符！").arg(inputs.m));
    const TicketTester tester(inputs, conditions, tickets.layout() == TicketSet::Layout::Lexicographic);
    quint8 *states = tickets.stateData();

    // Blocks of rows split over the cores, each thread marking its own rows.
    std::atomic<qint64> alive {0};
    const bool finished = ForEachBlock(rows, 1 << 15, progress, [&](int, qint64 begin, qint64 end) {
        qint64 kept = 0;
        tickets.forRange(begin, end, [&](qint64 row, const int *numbers) {
            quint8 &state = states[row];
            if (state != 0)
                return;
            if (tester.passes(numbers))
                ++kept;
            else
                state = 1;
        });
        alive.fetch_add(kept, std::memory_order_relaxed);
    });
    if (!finished)
        return std::nullopt;
    return alive.load();
}

TotalFilter::TotalFilter(OpenLottery &lottery)
    : m_lottery(lottery)
{ }

TotalFilter::Job TotalFilter::prepare(const TotalFilterConditions &conditions, const QString &resultListPath)
{
    const QString reason = TotalFilterUnsupportedReason(m_lottery);
    if (!reason.isEmpty())
        throw InputError(reason);
    Job job;
    m_lottery.transformReferencePeriod = m_lottery.drawCount;
    job.inputs = FilterInputs::fromLottery(m_lottery);
    job.conditions = conditions;
    job.resultListPath = resultListPath;
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
        const std::optional<qint64> alive = ApplyConditions(job.tickets, job.inputs, job.conditions, progress);
        if (!alive) {
            job.cancelled = true;
            return;
        }
        job.survivors = *alive;
        if (job.survivors > 0) {
            WriteResultList(job.resultListPath, job.tickets, progress);
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
    if (job.survivors > 0)
        m_state = State::Narrowed;
    else if (m_state != State::Pending)
        m_state = State::Exhausted;
}

qint64 TotalFilter::run(
    const TotalFilterConditions &conditions, const QString &resultListPath, const Progress &progress)
{
    Job job = prepare(conditions, resultListPath);
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
    LoadedTickets loaded = ParseTicketFile(result.content, m_lottery.m, QFileInfo(path).fileName(), options);
    result.lines = loaded.fileLines;
    result.tickets = loaded.tickets.rowCount();
    result.balls = loaded.balls;
    m_lottery.setTicketSet(std::move(loaded.tickets));
    m_state = State::Loaded;
    return result;
}

} // namespace lumaro
