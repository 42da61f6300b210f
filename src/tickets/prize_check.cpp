#include "tickets/prize_check.h"

#include "common/errors.h"
#include "common/parallel_blocks.h"
#include "common/text_format.h"
#include "data/open_lottery.h"
#include "tickets/ticket_file.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace lumaro {

namespace {

// Tickets a block of ForEachBlock; each block is checked against every draw in runs of
// kRunTickets tickets, whose masks stay in the first-level cache while the draws go by.
constexpr qint64 kBlockTickets = 8192;
constexpr int kRunTickets = 1024;
// The most pairs a game can have: M up to 20, K up to kMaxBackNumbers.
constexpr int kMaxPairs = 21 * (kMaxBackNumbers + 1);
// Separate histograms for neighbouring tickets, so that a run of tickets with the same hits
// does not wait on one counter.
constexpr int kLanes = 4;

// How a ticket or a draw is laid out as bits: the front zone in frontWords words (a lotto number
// v is bit v - 1; a digit d at position k is bit k × N + d, so that the AND of two masks holds
// one bit per position where they agree), then the back zone in backWords words.
struct MaskLayout {
    int frontWords = 1;
    int backWords = 0;
    int stride() const { return frontWords + backWords; }

    explicit MaskLayout(const PrizeGame &game)
    {
        const int frontBits = game.kind == LotteryKind::Digit ? game.m * game.n : game.n;
        frontWords = std::max(1, (frontBits + 63) / 64);
        backWords = game.twoZone() ? (game.backN + 63) / 64 : 0;
    }
};

void SetBit(quint64 *words, int bit)
{
    words[bit / 64] |= quint64(1) << (bit % 64);
}

// The masks of one ticket (or draw) at out, stride() words, cleared first.
template<class Number>
void FillMask(const PrizeGame &game, const MaskLayout &layout, const Number *numbers, quint64 *out)
{
    std::fill(out, out + layout.stride(), 0);
    if (game.kind == LotteryKind::Digit) {
        for (int k = 0; k < game.m; ++k)
            SetBit(out, k * game.n + numbers[k]);
        return;
    }
    for (int k = 0; k < game.m; ++k)
        SetBit(out, numbers[k] - 1);
    for (int k = 0; k < game.backM; ++k)
        SetBit(out + layout.frontWords, numbers[game.m + k] - 1);
}

struct KernelArgs {
    const quint64 *tickets = nullptr; // count × stride words
    int count = 0;
    const quint64 *draws = nullptr; // drawCount × stride words
    int drawCount = 0;
    int frontWords = 0;
    int backWords = 0;
    int backStride = 1; // K + 1
    int pairs = 0;
    quint32 *histogram = nullptr; // drawCount × pairs, added to
};

// The hot loop: for every draw, the hits of every ticket of the run as popcounts of ANDs,
// counted by pair. FW and BW are the word counts when known at compile time, else -1.
template<int FW, int BW>
inline __attribute__((always_inline)) void CountBody(const KernelArgs &a)
{
    const int fw = FW >= 0 ? FW : a.frontWords;
    const int bw = BW >= 0 ? BW : a.backWords;
    const int stride = fw + bw;
    const int k1 = a.backStride;
    std::array<std::array<quint32, kMaxPairs>, kLanes> lane;
    for (int d = 0; d < a.drawCount; ++d) {
        const quint64 *draw = a.draws + static_cast<std::ptrdiff_t>(d) * stride;
        for (auto &counts : lane)
            std::fill(counts.begin(), counts.begin() + a.pairs, 0);
        for (int i = 0; i < a.count; ++i) {
            const quint64 *ticket = a.tickets + static_cast<std::ptrdiff_t>(i) * stride;
            int front = 0;
            for (int w = 0; w < fw; ++w)
                front += __builtin_popcountll(ticket[w] & draw[w]);
            int back = 0;
            for (int w = 0; w < bw; ++w)
                back += __builtin_popcountll(ticket[fw + w] & draw[fw + w]);
            ++lane[static_cast<std::size_t>(i) % kLanes][static_cast<std::size_t>(front * k1 + back)];
        }
        quint32 *out = a.histogram + static_cast<std::ptrdiff_t>(d) * a.pairs;
        for (int p = 0; p < a.pairs; ++p) {
            const auto q = static_cast<std::size_t>(p);
            out[p] += lane[0][q] + lane[1][q] + lane[2][q] + lane[3][q];
        }
    }
}

using Kernel = void (*)(const KernelArgs &);

template<int FW, int BW>
void CountPlain(const KernelArgs &a)
{
    CountBody<FW, BW>(a);
}

#if defined(__x86_64__) || defined(__i386__)
template<int FW, int BW>
__attribute__((target("popcnt"))) void CountPopcnt(const KernelArgs &a)
{
    CountBody<FW, BW>(a);
}
#endif

template<int FW, int BW>
Kernel KernelFor(bool popcnt)
{
#if defined(__x86_64__) || defined(__i386__)
    if (popcnt)
        return &CountPopcnt<FW, BW>;
#endif
    (void)popcnt;
    return &CountPlain<FW, BW>;
}

Kernel ChooseKernel(const MaskLayout &layout)
{
#if defined(__x86_64__) || defined(__i386__)
    const bool popcnt = __builtin_cpu_supports("popcnt");
#else
    const bool popcnt = false;
#endif
    const int f = layout.frontWords;
    const int b = layout.backWords;
    if (f == 1 && b == 0)
        return KernelFor<1, 0>(popcnt);
    if (f == 1 && b == 1)
        return KernelFor<1, 1>(popcnt);
    if (f == 2 && b == 0)
        return KernelFor<2, 0>(popcnt);
    if (f == 2 && b == 1)
        return KernelFor<2, 1>(popcnt);
    if (f == 1 && b == 2)
        return KernelFor<1, 2>(popcnt);
    if (f == 2 && b == 2)
        return KernelFor<2, 2>(popcnt);
    return KernelFor<-1, -1>(popcnt);
}

// a + b × c, refused rather than wrapped.
qint64 AddProduct(qint64 a, qint64 b, qint64 c)
{
    qint64 product = 0;
    qint64 sum = 0;
    if (__builtin_mul_overflow(b, c, &product) || __builtin_add_overflow(a, product, &sum))
        throw CapacityError(QStringLiteral("奖金合计太大，无法计算！"));
    return sum;
}

// The line of the content holding its row-th (from 0) non-blank line, as the ticket readers
// number lines.
qint64 LineOfRow(const QByteArray &content, qint64 row)
{
    qint64 line = 0;
    qint64 seen = -1;
    qsizetype start = 0;
    while (start <= content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        ++line;
        const QByteArrayView text(content.constData() + start, end - start);
        if (!text.trimmed().isEmpty() && ++seen == row)
            return line;
        start = end + 1;
    }
    return line;
}

// Why a row of m + k numbers (front then back) is no ticket of the game; empty when it is one.
template<class Number>
QString RowProblem(const PrizeGame &game, const Number *row)
{
    const bool digit = game.kind == LotteryKind::Digit;
    auto zoneProblem = [&](int from, int count, int lowest, int highest, const QString &zone) -> QString {
        for (int k = from; k < from + count; ++k) {
            const int v = row[k];
            if (v < lowest || v > highest)
                return QStringLiteral("%1号码%2不在%3到%4之间").arg(zone).arg(v).arg(lowest).arg(highest);
            if (!digit && std::find(row + from, row + k, row[k]) != row + k)
                return QStringLiteral("%1号码%2重复").arg(zone, Pad2(v));
        }
        return QString();
    };
    const QString front = zoneProblem(
        0, game.m, digit ? 0 : 1, digit ? game.n - 1 : game.n, game.twoZone() ? QStringLiteral("前区") : QString());
    if (!front.isEmpty() || !game.twoZone())
        return front;
    return zoneProblem(game.m, game.backM, 1, game.backN, QStringLiteral("后区"));
}

} // namespace

void CheckTiersFit(const PrizeGame &game, const std::vector<PrizeTier> &tiers)
{
    for (const PrizeTier &tier : tiers) {
        for (const HitPair &pair : tier.pairs) {
            if (pair.back > 0 && !game.twoZone())
                throw InputError(QStringLiteral("奖级表中《%1》的%2含中奖组合%3+%4，但这种彩票没有后区！")
                                     .arg(game.name, tier.name)
                                     .arg(pair.front)
                                     .arg(pair.back));
            if (pair.front > game.m || pair.back > game.backM)
                throw InputError(
                    QStringLiteral("奖级表中《%1》的%2含中奖组合%3，超出了每注%4个号码%5！")
                        .arg(game.name, tier.name, HitPairText(pair, game.twoZone()))
                        .arg(game.m)
                        .arg(game.twoZone() ? QStringLiteral("加后区%1个号码").arg(game.backM) : QString()));
        }
    }
}

PrizeCheckInputs PrizeCheckInputs::fromLottery(const OpenLottery &lottery, const PrizeTable &table)
{
    PrizeCheckInputs inputs;
    PrizeGame &game = inputs.game;
    game.name = lottery.name;
    game.kind = lottery.twoZone() ? LotteryKind::TwoZone : lottery.kind;
    game.n = lottery.n;
    game.m = lottery.m;
    game.backN = lottery.twoZone() ? lottery.backN : 0;
    game.backM = lottery.twoZone() ? lottery.backM : 0;
    const int rows = lottery.drawTable.rowCount();
    if (rows == 0)
        throw InputError(QStringLiteral("《%1》还没有开奖号码，无法查询中奖！").arg(lottery.name));
    inputs.draws.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        CheckDraw draw;
        draw.period
            = r < lottery.drawPeriods.size() ? lottery.drawPeriods[r] : QString::number(lottery.drawTable.period(r));
        const qint32 *front = lottery.drawTable.numbers(r);
        draw.front.assign(front, front + lottery.m);
        if (game.twoZone()) {
            const qint32 *back = lottery.backTable.numbers(r);
            draw.back.assign(back, back + game.backM);
        }
        inputs.draws.push_back(std::move(draw));
    }
    inputs.tiers = table.tiersOf(lottery.name);
    CheckTiersFit(game, inputs.tiers);
    return inputs;
}

void PrizeCheckInputs::keepPeriod(const QString &period)
{
    const QString wanted = period.trimmed();
    const auto found
        = std::find_if(draws.begin(), draws.end(), [&](const CheckDraw &draw) { return draw.period == wanted; });
    if (found == draws.end())
        throw InputError(QStringLiteral("《%1》没有第%2期的开奖号码！").arg(game.name, wanted));
    CheckDraw kept = *found;
    draws.assign(1, std::move(kept));
}

CheckTickets ParseCheckTickets(const QByteArray &content, const PrizeGame &game, const QString &fileName)
{
    TicketFileOptions options;
    options.stopAtBlankLine = false;
    options.collapseRepeats = false;
    const LoadedTickets loaded = game.twoZone() ? ParseTwoZoneTicketFile(content, game.m, game.backM, fileName, options)
                                                : ParseTicketFile(content, game.m, fileName, options);
    CheckTickets tickets;
    tickets.width = game.m + game.backM;
    const qint64 rows = loaded.tickets.rowCount();
    tickets.numbers.resize(static_cast<std::size_t>(rows * tickets.width));
    std::vector<int> row(static_cast<std::size_t>(tickets.width));
    for (qint64 r = 0; r < rows; ++r) {
        loaded.tickets.numbers(r, row.data());
        const QString why = RowProblem(game, row.data());
        if (!why.isEmpty())
            throw InputError(QStringLiteral("文件%1第%2行：%3").arg(fileName).arg(LineOfRow(content, r)).arg(why));
        std::copy(row.begin(), row.end(), tickets.numbers.begin() + static_cast<std::ptrdiff_t>(r * tickets.width));
    }
    return tickets;
}

CheckTickets ReadCheckTickets(const QString &path, const PrizeGame &game)
{
    const TicketFileOptions options;
    return ParseCheckTickets(
        ReadFileContent(path, TicketFileByteLimit(options.maxTickets)), game, QFileInfo(path).fileName());
}

PrizeCheckResult RunPrizeCheck(const PrizeCheckInputs &inputs, const CheckTickets &tickets, const Progress &progress)
{
    const PrizeGame &game = inputs.game;
    if (tickets.width != game.m + game.backM)
        throw InputError(QStringLiteral("投注号码每注应有%1个号码！").arg(game.m + game.backM));
    if (game.pairCount() > kMaxPairs)
        throw InputError(QStringLiteral("每注号码太多，无法查询中奖！"));
    const int pairs = game.pairCount();
    const int drawCount = static_cast<int>(inputs.draws.size());
    const qint64 count = tickets.count();
    const MaskLayout layout(game);
    const int stride = layout.stride();

    std::vector<quint64> drawMasks(static_cast<std::size_t>(drawCount) * static_cast<std::size_t>(stride));
    std::vector<int> drawNumbers(static_cast<std::size_t>(tickets.width));
    for (int d = 0; d < drawCount; ++d) {
        const CheckDraw &draw = inputs.draws[static_cast<std::size_t>(d)];
        QString why = QStringLiteral("号码个数不对");
        if (draw.front.size() == std::size_t(game.m) && draw.back.size() == std::size_t(game.backM)) {
            std::copy(draw.front.begin(), draw.front.end(), drawNumbers.begin());
            std::copy(draw.back.begin(), draw.back.end(), drawNumbers.begin() + game.m);
            why = RowProblem(game, drawNumbers.data());
        }
        if (!why.isEmpty())
            throw InputError(QStringLiteral("第%1期开奖号码：%2！").arg(draw.period, why));
        FillMask(game, layout, drawNumbers.data(), drawMasks.data() + static_cast<std::ptrdiff_t>(d) * stride);
    }

    // The masks have room for the game's numbers only: every ticket is checked before any is
    // counted.
    for (qint64 r = 0; r < count; ++r) {
        const QString why = RowProblem(game, tickets.numbers.data() + r * tickets.width);
        if (!why.isEmpty())
            throw InputError(QStringLiteral("第%1注投注号码：%2！").arg(r + 1).arg(why));
    }

    const Kernel kernel = ChooseKernel(layout);
    const int threads = BlockThreadCount(count, kBlockTickets);
    std::vector<std::vector<quint32>> histograms(static_cast<std::size_t>(threads),
        std::vector<quint32>(static_cast<std::size_t>(drawCount) * static_cast<std::size_t>(pairs), 0));
    const bool finished = ForEachBlock(count, kBlockTickets, progress, [&](int thread, qint64 begin, qint64 end) {
        std::vector<quint64> masks(static_cast<std::size_t>(kRunTickets) * static_cast<std::size_t>(stride));
        for (qint64 run = begin; run < end; run += kRunTickets) {
            const int size = static_cast<int>(std::min<qint64>(kRunTickets, end - run));
            for (int i = 0; i < size; ++i)
                FillMask(game, layout, tickets.numbers.data() + (run + i) * tickets.width,
                    masks.data() + static_cast<std::ptrdiff_t>(i) * stride);
            KernelArgs args;
            args.tickets = masks.data();
            args.count = size;
            args.draws = drawMasks.data();
            args.drawCount = drawCount;
            args.frontWords = layout.frontWords;
            args.backWords = layout.backWords;
            args.backStride = game.backM + 1;
            args.pairs = pairs;
            args.histogram = histograms[static_cast<std::size_t>(thread)].data();
            kernel(args);
        }
    });
    PrizeCheckResult result;
    result.tickets = count;
    if (!finished) {
        result.cancelled = true;
        return result;
    }

    std::vector<int> tierOfPair(static_cast<std::size_t>(pairs), -1);
    for (std::size_t t = 0; t < inputs.tiers.size(); ++t) {
        for (const HitPair &pair : inputs.tiers[t].pairs)
            tierOfPair[static_cast<std::size_t>(game.pairIndex(pair.front, pair.back))] = static_cast<int>(t);
    }
    result.totalPairs.assign(static_cast<std::size_t>(pairs), 0);
    result.totalTiers.assign(inputs.tiers.size(), 0);
    result.draws.reserve(static_cast<std::size_t>(drawCount));
    for (int d = 0; d < drawCount; ++d) {
        DrawPrizes draw;
        draw.draw = d;
        draw.pairs.assign(static_cast<std::size_t>(pairs), 0);
        draw.tiers.assign(inputs.tiers.size(), 0);
        for (const std::vector<quint32> &histogram : histograms) {
            for (int p = 0; p < pairs; ++p)
                draw.pairs[static_cast<std::size_t>(p)]
                    += histogram[static_cast<std::size_t>(d) * static_cast<std::size_t>(pairs)
                        + static_cast<std::size_t>(p)];
        }
        for (int p = 0; p < pairs; ++p) {
            const qint64 tickets = draw.pairs[static_cast<std::size_t>(p)];
            result.totalPairs[static_cast<std::size_t>(p)] += tickets;
            const int tier = tierOfPair[static_cast<std::size_t>(p)];
            if (tier >= 0)
                draw.tiers[static_cast<std::size_t>(tier)] += tickets;
        }
        for (std::size_t t = 0; t < inputs.tiers.size(); ++t) {
            const qint64 won = draw.tiers[t];
            result.totalTiers[t] += won;
            if (won == 0)
                continue;
            if (inputs.tiers[t].floating())
                draw.floatingHit = true;
            else
                draw.money = AddProduct(draw.money, won, *inputs.tiers[t].prize);
        }
        result.totalMoney = AddProduct(result.totalMoney, draw.money, 1);
        result.floatingDraws += draw.floatingHit ? 1 : 0;
        result.draws.push_back(std::move(draw));
    }
    return result;
}

std::vector<HitPair> PairsBestFirst(const PrizeGame &game)
{
    std::vector<HitPair> pairs;
    for (int front = game.m; front >= 0; --front) {
        for (int back = game.backM; back >= 0; --back)
            pairs.push_back({front, back});
    }
    return pairs;
}

QString DrawText(const PrizeGame &game, const CheckDraw &draw)
{
    QString text = JoinPadded(draw.front.data(), static_cast<int>(draw.front.size()));
    if (game.twoZone())
        text += QStringLiteral(" + ") + JoinPadded(draw.back.data(), static_cast<int>(draw.back.size()));
    return text;
}

QString PairHeader(const PrizeGame &game, const HitPair &pair)
{
    if (game.twoZone())
        return HitPairText(pair, true);
    return game.kind == LotteryKind::Digit ? QStringLiteral("中%1位").arg(pair.front)
                                           : QStringLiteral("中%1个").arg(pair.front);
}

QString MoneyText(qint64 money, bool floatingHit)
{
    return QString::number(money) + (floatingHit ? QStringLiteral("+浮动") : QString());
}

namespace {

// The pair columns of the table: every pair for a one-zone game, and for a two-zone game
// without tiers; none for a two-zone game with tiers (its tiers say it).
bool ShowsPairs(const PrizeCheckInputs &inputs)
{
    return !inputs.game.twoZone() || inputs.tiers.empty();
}

QStringList Cells(const PrizeCheckInputs &inputs, const std::vector<qint64> &pairCounts,
    const std::vector<qint64> &tierCounts, qint64 money, bool floatingHit)
{
    QStringList cells;
    if (ShowsPairs(inputs)) {
        for (const HitPair &pair : PairsBestFirst(inputs.game))
            cells << QString::number(
                pairCounts[static_cast<std::size_t>(inputs.game.pairIndex(pair.front, pair.back))]);
    }
    if (!inputs.tiers.empty()) {
        for (qint64 count : tierCounts)
            cells << QString::number(count);
        cells << MoneyText(money, floatingHit);
    }
    return cells;
}

} // namespace

QStringList PrizeTableHeaders(const PrizeCheckInputs &inputs)
{
    QStringList headers {QStringLiteral("期号"), QStringLiteral("开奖号码")};
    if (ShowsPairs(inputs)) {
        for (const HitPair &pair : PairsBestFirst(inputs.game))
            headers << PairHeader(inputs.game, pair);
    }
    if (!inputs.tiers.empty()) {
        for (const PrizeTier &tier : inputs.tiers)
            headers << tier.name;
        headers << QStringLiteral("奖金");
    }
    return headers;
}

QStringList PrizeTableRow(const PrizeCheckInputs &inputs, const DrawPrizes &draw)
{
    const CheckDraw &drawn = inputs.draws[static_cast<std::size_t>(draw.draw)];
    return QStringList {drawn.period, DrawText(inputs.game, drawn)}
    + Cells(inputs, draw.pairs, draw.tiers, draw.money, draw.floatingHit);
}

QStringList PrizeTotalsRow(const PrizeCheckInputs &inputs, const PrizeCheckResult &result)
{
    return QStringList {QStringLiteral("合计"), QStringLiteral("%1期").arg(result.draws.size())}
    + Cells(inputs, result.totalPairs, result.totalTiers, result.totalMoney, result.floatingDraws > 0);
}

QString PrizeSummaryLine(const PrizeCheckInputs &inputs, const PrizeCheckResult &result)
{
    const QString checked = QStringLiteral("检查%1期，每期%2注；").arg(result.draws.size()).arg(result.tickets);
    if (inputs.tiers.empty())
        return checked + QStringLiteral("奖级表中没有《%1》的奖级，只统计中奖个数。").arg(inputs.game.name);
    return checked
        + QStringLiteral("固定奖金合计%1元；中浮动奖级的有%2期。").arg(result.totalMoney).arg(result.floatingDraws);
}

} // namespace lumaro
