// The page and feed scrapers of the download. The first byte chooses the scraper, the second
// the last stored period; the rest is one to three pages separated by NUL bytes, decoded as the
// download decodes them. Every draw returned is newer than the last period and reads its period
// back, there are no more draws than lines (or feed rows), and the draws the download would
// store have M distinct numbers in 1..N.
#include "fuzz_support.h"

#include "common/errors.h"
#include "data/lottery_store.h"
#include "download/draw_scrapers.h"
#include "download/http_client.h"

#include <QList>

#include <limits>
#include <vector>

using namespace lumaro;
using namespace lumaro::scrape;

namespace {

enum Scraper {
    QlcPageScraper,
    Nanyue367List,
    Nanyue265List,
    NanyueDetail,
    Tc225Range,
    Tc225Pages,
    ElevenFiveDays,
    JiangxiDays,
    Feed,
    ShandongFeed,
    ScraperCount
};

constexpr qint64 kLastPeriods[] = {0, 1, 2024050, 2099999, 24010140, 99999999, std::numeric_limits<qint64>::max() - 1,
    std::numeric_limits<qint64>::max()};

LotteryDefinition lottery(int n, int m, int periodWidth)
{
    LotteryDefinition d;
    d.name = QStringLiteral("fuzz");
    d.n = n;
    d.m = m;
    d.periodWidth = periodWidth;
    return d;
}

// The candidates as the download checks them before it stores them: the period reads as its
// value and is newer than the last one; a draw that converts and fits the lottery has M
// distinct numbers in 1..N.
void checkDraws(const std::vector<DrawCandidate> &draws, const LotteryDefinition &d, qint64 lastPeriod, qint64 most)
{
    LUMARO_FUZZ_CHECK(static_cast<qint64>(draws.size()) <= most);
    for (const DrawCandidate &draw : draws) {
        LUMARO_FUZZ_CHECK(draw.periodValue > lastPeriod);
        qint64 value = -1;
        LUMARO_FUZZ_CHECK(ReadsAsWholeNumber(draw.period, &value));
        LUMARO_FUZZ_CHECK(value == draw.periodValue);
        LUMARO_FUZZ_CHECK(draw.numbers.size() <= d.m);
        DrawRow row;
        row.period = draw.period;
        row.date = draw.date;
        try {
            for (const QString &number : draw.numbers)
                row.numbers.push_back(toInteger(number));
            validateDraw(d, row);
        } catch (const InputError &) {
            continue;
        } catch (const ConversionError &) {
            continue;
        }
        LUMARO_FUZZ_CHECK(static_cast<int>(row.numbers.size()) == d.m);
        for (std::size_t i = 0; i < row.numbers.size(); ++i) {
            LUMARO_FUZZ_CHECK(row.numbers[i] >= 1 && row.numbers[i] <= d.n);
            for (std::size_t j = 0; j < i; ++j)
                LUMARO_FUZZ_CHECK(row.numbers[i] != row.numbers[j]);
        }
    }
}

void checkNanyue(const QStringList &lines, int m, qint64 lastPeriod)
{
    const NanyueList list = ReadNanyueList(lines, m, lastPeriod);
    std::vector<DrawCandidate> draws;
    for (const NanyueListDraw &listed : list.draws) {
        LUMARO_FUZZ_CHECK(listed.numbers.size() <= 2 * m);
        DrawCandidate draw;
        draw.period = listed.period;
        draw.periodValue = listed.periodValue;
        for (int k = 1; k <= m; ++k)
            draw.numbers << At(listed.numbers, 2 * k - 1, 2);
        draw.date = QStringLiteral("2024-01-01");
        draws.push_back(std::move(draw));
    }
    LUMARO_FUZZ_CHECK(list.hasDrawLines || draws.empty());
    checkDraws(draws, lottery(m == 7 ? 36 : 26, m, 7), lastPeriod, lines.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    if (size < 2)
        return 0;
    const int scraper = data[0] % ScraperCount;
    const qint64 lastPeriod = kLastPeriods[data[1] % std::size(kLastPeriods)];
    QList<QByteArray> bodies = fuzz::bytes(data + 2, size - 2).split('\0');
    while (bodies.size() > 3) {
        bodies[2] += '\0' + bodies.back();
        bodies.removeLast();
    }
    std::vector<QStringList> pages;
    qint64 lineCount = 0;
    for (const QByteArray &body : bodies) {
        pages.push_back(PageLines(DecodePage(body)));
        lineCount += pages.back().size();
    }
    const QStringList &lines = pages.front();

    switch (scraper) {
    case QlcPageScraper: {
        const QlcPage page = ReadQlcPage(lines, lastPeriod, 7);
        LUMARO_FUZZ_CHECK(page.hasDrawLines || page.draws.empty());
        for (const QlcPageDraw &draw : page.draws)
            LUMARO_FUZZ_CHECK(draw.pageDate.isEmpty() || ReadsAsDate(draw.pageDate));
        const std::vector<DrawCandidate> draws = DateQlcDraws(page.draws, QDate(2024, 1, 1));
        for (const DrawCandidate &draw : draws)
            LUMARO_FUZZ_CHECK(ReadDate(draw.date).isValid());
        checkDraws(draws, lottery(30, 7, 7), lastPeriod, lines.size());
        break;
    }
    case Nanyue367List:
        checkNanyue(lines, 7, lastPeriod);
        break;
    case Nanyue265List:
        checkNanyue(lines, 5, lastPeriod);
        break;
    case NanyueDetail: {
        const QString date = ReadNanyueDetailDate(lines);
        LUMARO_FUZZ_CHECK(date.size() <= 10);
        if (ReadsAsDate(date))
            LUMARO_FUZZ_CHECK(ReadDate(date).isValid());
        break;
    }
    case Tc225Range: {
        const std::optional<DateRange> range = ReadTc225Range(lines);
        if (range)
            LUMARO_FUZZ_CHECK(ReadsAsDate(range->start) && ReadsAsDate(range->end));
        break;
    }
    case Tc225Pages:
    case ElevenFiveDays:
    case JiangxiDays: {
        const bool jiangxi = scraper == JiangxiDays;
        QString accumulator;
        for (const QStringList &page : pages) {
            if (scraper == Tc225Pages)
                AccumulateTc225Page(page, accumulator);
            else
                AccumulateElevenFiveDay(page, jiangxi, accumulator);
        }
        const QStringList items = AccumulatorItems(accumulator);
        for (const QString &item : items)
            LUMARO_FUZZ_CHECK(!item.isEmpty() && !item.contains(QLatin1Char('*')));
        const Scraped scraped = scraper == Tc225Pages ? ReadTc225Accumulator(accumulator, lastPeriod)
                                                      : ReadElevenFiveAccumulator(accumulator, jiangxi, lastPeriod);
        for (const DrawCandidate &draw : scraped.draws)
            LUMARO_FUZZ_CHECK(draw.numbers.size() == 5);
        checkDraws(scraped.draws, scraper == Tc225Pages ? lottery(22, 5, 7) : lottery(11, 5, 8), lastPeriod,
            std::min<qint64>(lineCount, items.size()));
        break;
    }
    case Feed:
    case ShandongFeed: {
        const QString text = FeedText(DecodePage(bodies.front()));
        const FeedRows rows = ReadFeed(text, scraper == ShandongFeed, lastPeriod);
        const qint64 markers = text.count(QLatin1String("<row"));
        LUMARO_FUZZ_CHECK(rows.rows <= markers);
        LUMARO_FUZZ_CHECK(static_cast<qint64>(rows.draws.size()) <= rows.rows);
        LUMARO_FUZZ_CHECK(rows.draws.size() < static_cast<std::size_t>(rows.rows) ? rows.joinsStored : true);
        for (const DrawCandidate &draw : rows.draws)
            LUMARO_FUZZ_CHECK(draw.numbers.size() == 5);
        checkDraws(rows.draws, lottery(11, 5, 8), lastPeriod, markers);
        break;
    }
    default:
        break;
    }
    return 0;
}
