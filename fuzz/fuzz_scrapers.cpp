// The page and feed scrapers of the download. The first byte chooses the scraper, the second
// the last stored period (0: an empty table); the rest is one to three pages separated by NUL
// bytes, decoded as the download decodes them. Every draw returned is newer than the last
// period and reads its period back, there are no more draws than lines (or feed rows), and the
// draws the download would store have M distinct numbers in 1..N. Whatever the pages hold, the
// periods stored after the download have no hole the pages did not have: no period the pages
// show lies between two stored periods (the last one stored before counting) without being
// stored itself.
#include "fuzz_support.h"

#include "common/errors.h"
#include "data/lottery_store.h"
#include "download/draw_download.h"
#include "download/draw_scrapers.h"
#include "download/http_client.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>

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

LotteryDefinition Lottery(int n, int m, int periodWidth)
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
void CheckDraws(const std::vector<DrawCandidate> &draws, const LotteryDefinition &d, qint64 lastPeriod, qint64 most)
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
                row.numbers.push_back(ToInteger(number));
            ValidateDraw(d, row);
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

// The periods a text shows, found here without the scrapers: runs of digits of the width
// the lottery writes (short), or of two more starting with the century "20" (full).
void PeriodsIn(const QString &text, int shortWidth, qint64 shortOffset, bool fullToo, std::vector<qint64> &periods)
{
    static const QRegularExpression runs(QStringLiteral("(?<![0-9])[0-9]+(?![0-9])"));
    for (auto match = runs.globalMatch(text); match.hasNext();) {
        const QString run = match.next().captured();
        if (run.size() == shortWidth)
            periods.push_back(shortOffset + run.toLongLong());
        else if (fullToo && run.size() == shortWidth + 2 && run.startsWith(QLatin1String("20")))
            periods.push_back((shortWidth == 5 ? 2000000 : 0) + run.mid(2).toLongLong());
    }
}

const QDate kToday(2024, 6, 30);

// What the download stores from the candidates: the new draws oldest first, none past a draw
// it could not read. Checks the stored rows and that they leave no hole the texts did not have.
void CheckStored(std::vector<DrawCandidate> draws, QString failure, const QStringList &texts,
    const LotteryDefinition &d, scrape::PeriodForm form, qint64 lastPeriod)
{
    PagesRead read;
    read.draws = std::move(draws);
    read.failure = std::move(failure);
    std::vector<qint64> shown;
    for (const QString &text : texts) {
        scrape::AddPeriodsShown(text, form, read.periodsShown);
        switch (form) {
        case scrape::PeriodForm::Year:
            PeriodsIn(text, 7, 0, false, shown);
            break;
        case scrape::PeriodForm::ShortYear:
            PeriodsIn(text, 5, 2000000, true, shown);
            break;
        case scrape::PeriodForm::Day:
            PeriodsIn(text, 8, 0, true, shown);
            break;
        }
    }
    const bool empty = lastPeriod == 0;
    const StorableDraws stored = DrawsToStore(std::move(read), StoredEnd {empty, lastPeriod}, d, form, kToday);
    std::vector<qint64> periods;
    for (const DrawRow &row : stored.rows) {
        ValidateDraw(d, row);
        qint64 value = -1;
        LUMARO_FUZZ_CHECK(ReadsAsWholeNumber(row.period, &value));
        LUMARO_FUZZ_CHECK(value > lastPeriod);
        LUMARO_FUZZ_CHECK(periods.empty() || value > periods.back());
        LUMARO_FUZZ_CHECK(PeriodProblem(value, form, kToday).isEmpty());
        periods.push_back(value);
    }
    if (periods.empty())
        return;
    const qint64 low = empty ? periods.front() : lastPeriod;
    for (qint64 period : shown) {
        if (period > low && period < periods.back())
            LUMARO_FUZZ_CHECK(std::binary_search(periods.begin(), periods.end(), period));
    }
}

void CheckNanyue(const QStringList &lines, int m, qint64 lastPeriod)
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
    CheckDraws(draws, Lottery(m == 7 ? 36 : 26, m, 7), lastPeriod, lines.size());
    CheckStored(draws, QString(), lines, Lottery(m == 7 ? 36 : 26, m, 7), scrape::PeriodForm::Year, lastPeriod);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 2)
        return 0;
    const int scraper = data[0] % ScraperCount;
    const qint64 lastPeriod = kLastPeriods[data[1] % std::size(kLastPeriods)];
    QList<QByteArray> bodies = fuzz::BytesOf(data + 2, size - 2).split('\0');
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
        CheckDraws(draws, Lottery(30, 7, 7), lastPeriod, lines.size());
        // A draw line whose period is no number ends the branch before anything is stored.
        if (page.failure.isEmpty())
            CheckStored(draws, QString(), lines, Lottery(30, 7, 7), scrape::PeriodForm::Year, lastPeriod);
        // Without a stored date the draws keep only the dates the page gives.
        for (const DrawCandidate &draw : DateQlcDraws(page.draws, QDate()))
            LUMARO_FUZZ_CHECK(draw.date.isEmpty() || ReadsAsDate(draw.date));
        break;
    }
    case Nanyue367List:
        CheckNanyue(lines, 7, lastPeriod);
        break;
    case Nanyue265List:
        CheckNanyue(lines, 5, lastPeriod);
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
        CheckDraws(scraped.draws, scraper == Tc225Pages ? Lottery(22, 5, 7) : Lottery(11, 5, 8), lastPeriod,
            std::min<qint64>(lineCount, items.size()));
        QStringList texts;
        for (const QStringList &page : pages)
            texts << page;
        CheckStored(scraped.draws, scraped.failure, texts,
            scraper == Tc225Pages ? Lottery(22, 5, 7) : Lottery(11, 5, 8),
            scraper == Tc225Pages ? scrape::PeriodForm::ShortYear : scrape::PeriodForm::Day, lastPeriod);
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
        CheckDraws(rows.draws, Lottery(11, 5, 8), lastPeriod, markers);
        CheckStored(rows.draws, QString(), {text}, Lottery(11, 5, 8), scrape::PeriodForm::Day, lastPeriod);
        break;
    }
    default:
        break;
    }
    return 0;
}
