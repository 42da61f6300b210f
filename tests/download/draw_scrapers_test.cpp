#include "download/draw_scrapers.h"
#include "download/http_client.h"
#include "download/site_config.h"
#include "fixture_pages.h"

#include <QStringEncoder>

#include <limits>

#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::scrape;
namespace pages = lumaro::test::pages;

namespace {

QStringList LinesOf(const QByteArray &page)
{
    return PageLines(DecodePage(page));
}

QStringList Periods(const std::vector<DrawCandidate> &draws)
{
    QStringList result;
    for (const DrawCandidate &draw : draws)
        result << draw.period;
    return result;
}

} // namespace

TEST(PageText, LinesAreTrimmedAndPositionsAreOneBased)
{
    const QStringList lines = PageLines(QStringLiteral("  a b \r\n\tc\rd\n\n e \n"));
    EXPECT_EQ(lines,
        (QStringList {
            QStringLiteral("a b"), QStringLiteral("c"), QStringLiteral("d"), QString(), QStringLiteral("e")}));
    EXPECT_EQ(At(QStringLiteral("abcdef"), 2, 3), QStringLiteral("bcd"));
    EXPECT_EQ(At(QStringLiteral("abcdef"), 5, 10), QStringLiteral("ef"));
    EXPECT_EQ(At(QStringLiteral("abc"), 4, 2), QString());
    EXPECT_EQ(At(QStringLiteral("abc"), 1, -3), QString()); // a negative length is no text
}

TEST(PageText, WholeNumbersAndDates)
{
    qint64 value = 0;
    EXPECT_TRUE(ReadsAsWholeNumber(QStringLiteral("05"), &value));
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(ReadsAsWholeNumber(QStringLiteral(" 7"), &value));
    EXPECT_FALSE(ReadsAsWholeNumber(QStringLiteral("7 ")));
    EXPECT_FALSE(ReadsAsWholeNumber(QStringLiteral("-7")));
    EXPECT_FALSE(ReadsAsWholeNumber(QStringLiteral("")));
    EXPECT_FALSE(ReadsAsWholeNumber(QStringLiteral("99999999999999999999")));
    EXPECT_TRUE(ReadsAsWholeNumber(QStringLiteral("9223372036854775807"), &value));

    EXPECT_TRUE(ReadsAsDate(QStringLiteral("2024-02-29")));
    EXPECT_TRUE(ReadsAsDate(QStringLiteral("2024/02/29")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2023-02-29")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2024-2-9")));
    EXPECT_EQ(ReadDate(QStringLiteral("2024-2-9")), QDate(2024, 2, 9)); // stored dates may be short
}

TEST(PageText, DatesNeedOneSeparatorDigitsAndACalendarDay)
{
    EXPECT_TRUE(ReadsAsDate(QStringLiteral("2000-02-29")));
    EXPECT_TRUE(ReadsAsDate(QStringLiteral("1999/12/31")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("1900-02-29")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2024-02/29"))); // two different separators
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2024.02.29")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2024-13-01")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2024-00-10")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2024-01-00")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("0000-01-01"))); // there is no year 0
    EXPECT_FALSE(ReadsAsDate(QStringLiteral(" 024-01-01")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("-024-01-01")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2024-0a-01")));
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("２０２４-01-01"))); // full-width digits
    EXPECT_FALSE(ReadsAsDate(QStringLiteral("2024-01-011")));
}

TEST(PageText, DecodesGbkPagesByCharacters)
{
    const QString text = QStringLiteral("<p>南粤风采</p>\n<div class=\"play_R_tbox\">2024-01-03</div>");
    QStringEncoder gbk("GB18030");
    ASSERT_TRUE(gbk.isValid());
    const QByteArray bytes = gbk.encode(text);
    EXPECT_EQ(DecodePage(bytes, "text/html; charset=GBK"), text);
    EXPECT_EQ(DecodePage(bytes), text); // not UTF-8, so read as GB18030
    EXPECT_EQ(DecodePage(text.toUtf8(), "text/html"), text);
}

TEST(SiteRoots, HostsAreCheckedAndNormalised)
{
    EXPECT_EQ(SiteRootFromText(QString()).problem, QStringLiteral("站点未配置"));
    EXPECT_EQ(SiteRootFromText(QStringLiteral("  ")).problem, QStringLiteral("站点未配置"));
    EXPECT_EQ(SiteRootFromText(QStringLiteral("kj.example.com")).url, QStringLiteral("http://kj.example.com"));
    EXPECT_EQ(SiteRootFromText(QStringLiteral("https://kj.example.com:8443/mirror/")).url,
        QStringLiteral("https://kj.example.com:8443/mirror"));
    EXPECT_FALSE(SiteRootFromText(QStringLiteral("ftp://kj.example.com")).configured());
    EXPECT_FALSE(SiteRootFromText(QStringLiteral("http://kj.example.com/?a=1")).configured());
    EXPECT_FALSE(SiteRootFromText(QStringLiteral("http://user:pw@kj.example.com")).configured());
}

TEST(QlcScraper, NewDrawsInReadingOrderWithTheFirstSevenNumbers)
{
    const QByteArray page = pages::QlcHistoryPage({
        {QStringLiteral("2024003"), {1, 5, 9, 12, 19, 23, 28}, {}},
        {QStringLiteral("2024002"), {2, 4, 6, 8, 10, 12, 14}, {}},
        {QStringLiteral("2024001"), {3, 6, 9, 15, 18, 21, 30}, {}},
    });
    const QlcPage read = ReadQlcPage(LinesOf(page), 2024001, 7);
    EXPECT_TRUE(read.hasDrawLines);
    EXPECT_TRUE(read.failure.isEmpty());
    ASSERT_EQ(read.draws.size(), 2u);
    EXPECT_EQ(read.draws[0].period, QStringLiteral("2024003"));
    // The special number after the seven is not part of the draw.
    EXPECT_EQ(read.draws[0].numbers.join(QLatin1Char(' ')), QStringLiteral("01 05 09 12 19 23 28"));
    EXPECT_EQ(read.draws[1].period, QStringLiteral("2024002"));

    const QlcPage none = ReadQlcPage(LinesOf(page), 2024003, 7);
    EXPECT_TRUE(none.hasDrawLines);
    EXPECT_TRUE(none.draws.empty());
}

TEST(QlcScraper, NumberTextRules)
{
    QStringList numbers;
    QString date;
    // Three digits in a row are no number; a number that ends the text still counts; a date
    // after the numbers is the draw's date and its digits are not numbers.
    ReadQlcNumbers(QStringLiteral("<em>123 04 05</em>&nbsp;06 07 08 09 10 11"), 7, numbers, date);
    EXPECT_EQ(numbers.join(QLatin1Char(' ')), QStringLiteral("23 04 05 06 07 08 09"));
    numbers.clear();
    ReadQlcNumbers(QStringLiteral("01 02 03 04 05 06 07&nbsp;<em>2024-01-05</em>"), 7, numbers, date);
    EXPECT_EQ(numbers.size(), 7);
    EXPECT_EQ(date, QStringLiteral("2024-01-05"));
    numbers.clear();
    ReadQlcNumbers(QStringLiteral("01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 20"), 7, numbers, date);
    EXPECT_EQ(numbers.size(), 7);
    numbers.clear();
    ReadQlcNumbers(QStringLiteral("<em>01 02"), 7, numbers, date);
    EXPECT_EQ(numbers, (QStringList {QStringLiteral("01"), QStringLiteral("02")}));
}

TEST(QlcScraper, RunningDatesFallOnMondayWednesdayFriday)
{
    // Monday 2024-01-01 … Sunday 2024-01-07.
    const QDate expected[] = {QDate(2024, 1, 3), QDate(2024, 1, 3), QDate(2024, 1, 5), QDate(2024, 1, 5),
        QDate(2024, 1, 8), QDate(2024, 1, 8), QDate(2024, 1, 8)};
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(NextQlcDate(QDate(2024, 1, 1 + day)), expected[day]) << "weekday " << day + 1;
}

TEST(QlcScraper, DatesAreReversedSoTheOldestDrawGetsTheFirstDate)
{
    std::vector<QlcPageDraw> read(3);
    read[0].period = QStringLiteral("2024004");
    read[1].period = QStringLiteral("2024003");
    read[2].period = QStringLiteral("2024002");
    read[1].pageDate = QStringLiteral("2024-01-06"); // a date given by the page stays with its draw
    const std::vector<DrawCandidate> dated = DateQlcDraws(read, QDate(2001, 1, 1));
    ASSERT_EQ(dated.size(), 3u);
    EXPECT_EQ(Periods(dated),
        (QStringList {QStringLiteral("2024002"), QStringLiteral("2024003"), QStringLiteral("2024004")}));
    EXPECT_EQ(dated[0].date, QStringLiteral("2001-01-03"));
    EXPECT_EQ(dated[1].date, QStringLiteral("2024-01-06"));
    EXPECT_EQ(dated[2].date, QStringLiteral("2001-01-08"));
}

TEST(NanyueScraper, ListAndDetailPages)
{
    const QByteArray list = pages::NanyueListPage(
        265, 5, {{QStringLiteral("2024102"), {1, 2, 3, 4, 26}, {}}, {QStringLiteral("2024101"), {5, 6, 7, 8, 9}, {}}});
    const NanyueList read = ReadNanyueList(LinesOf(list), 5, 2024101);
    ASSERT_EQ(read.draws.size(), 1u);
    EXPECT_EQ(read.draws[0].period, QStringLiteral("2024102"));
    EXPECT_EQ(read.draws[0].numbers, QStringLiteral("0102030426"));
    EXPECT_EQ(read.draws[0].detailPath, pages::NanyueDetailPath(265, QStringLiteral("2024102")));
    EXPECT_EQ(ReadNanyueDetailDate(LinesOf(pages::NanyueDetailPage(QStringLiteral("2024-03-01")))),
        QStringLiteral("2024-03-01"));
    EXPECT_TRUE(ReadNanyueDetailDate(LinesOf(pages::EmptyPage())).isEmpty());
}

TEST(PortalScrapers, Tc225DateRangeMustReadAsDates)
{
    const auto range
        = ReadTc225Range(LinesOf(pages::Tc225StartPage(QStringLiteral("2024-01-01"), QStringLiteral("2024-03-31"))));
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->start, QStringLiteral("2024-01-01"));
    EXPECT_EQ(range->end, QStringLiteral("2024-03-31"));
    EXPECT_FALSE(ReadTc225Range(LinesOf(pages::EmptyPage())).has_value());
    EXPECT_FALSE(
        ReadTc225Range(LinesOf(pages::Tc225StartPage(QStringLiteral("2024-01-01"), QStringLiteral("xxxx-03-31")))));
}

TEST(PortalScrapers, ElevenFivePeriodsAndJiangxiPrefix)
{
    const std::vector<pages::Draw> day = {
        {QStringLiteral("24010302"), {11, 1, 5, 7, 2}, {}},
        {QStringLiteral("24010301"), {3, 4, 6, 8, 10}, {}},
    };
    for (bool jiangxi : {false, true}) {
        QString accumulator;
        AccumulateElevenFiveDay(LinesOf(pages::ElevenFiveDayPage(day, jiangxi)), jiangxi, accumulator);
        // 8- and 10-character period lines are told apart: read with the other game's rule the
        // page starts no draw.
        QString other;
        AccumulateElevenFiveDay(LinesOf(pages::ElevenFiveDayPage(day, jiangxi)), !jiangxi, other);
        EXPECT_FALSE(other.contains(QLatin1Char('*')));
        const Scraped read = ReadElevenFiveAccumulator(accumulator, jiangxi, 0);
        ASSERT_EQ(read.draws.size(), 2u) << jiangxi;
        EXPECT_EQ(Periods(read.draws), (QStringList {QStringLiteral("24010301"), QStringLiteral("24010302")}));
        EXPECT_EQ(read.draws[1].numbers.join(QLatin1Char(' ')), QStringLiteral("11 01 05 07 02"));
        EXPECT_EQ(read.draws[1].date, QStringLiteral("2024-01-03"));
    }
    // An item whose period is not a number ends the reading; the older items read before stay.
    const Scraped broken
        = ReadElevenFiveAccumulator(QStringLiteral("*2401xx010102030405*240103020102030405"), false, 0);
    EXPECT_EQ(Periods(broken.draws), QStringList {QStringLiteral("24010302")});
    EXPECT_EQ(broken.failure, QStringLiteral("'2401xx01' 不是一个有效的整形值"));
}

TEST(FeedScraper, OffsetsNewnessAndJoining)
{
    const std::vector<pages::Draw> rows = {
        {QStringLiteral("24010305"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-03")},
        {QStringLiteral("24010304"), {6, 7, 8, 9, 10}, QStringLiteral("2024-01-03")},
    };
    for (bool shandong : {false, true}) {
        const QString text = FeedText(DecodePage(pages::Feed(rows, shandong)));
        const FeedRows all = ReadFeed(text, shandong, 0);
        EXPECT_EQ(all.rows, 2);
        ASSERT_EQ(all.draws.size(), 2u);
        EXPECT_EQ(Periods(all.draws), (QStringList {QStringLiteral("24010305"), QStringLiteral("24010304")}));
        EXPECT_EQ(all.draws[1].numbers.join(QLatin1Char(' ')), QStringLiteral("06 07 08 09 10"));
        EXPECT_EQ(all.draws[1].date, QStringLiteral("2024-01-03"));

        EXPECT_TRUE(ReadFeed(text, shandong, 24010305).draws.empty());
        EXPECT_TRUE(ReadFeed(text, shandong, 24010304).joinsStored);
        EXPECT_TRUE(ReadFeed(text, shandong, 24010303).joinsStored); // the next draw follows directly
        EXPECT_FALSE(ReadFeed(text, shandong, 24010301).joinsStored);
    }
    // The newest stored period of any size: every row is old, and none is taken for the next one.
    const QString text = FeedText(DecodePage(pages::Feed(rows, false)));
    const FeedRows none = ReadFeed(text, false, std::numeric_limits<qint64>::max());
    EXPECT_EQ(none.rows, 2);
    EXPECT_TRUE(none.draws.empty());
    EXPECT_TRUE(none.joinsStored);
    // A row marker at the very end of the feed has nothing after it.
    EXPECT_EQ(ReadFeed(text + QStringLiteral("<row"), false, 0).rows, 2);
    // A 山东 row read at the other games' offsets has no period there.
    EXPECT_EQ(ReadFeed(FeedText(DecodePage(pages::Feed(rows, true))), false, 0).rows, 0);
    EXPECT_EQ(ReadFeed(FeedText(QStringLiteral("<xml><item/></xml>")), false, 0).rows, 0);
}

TEST(PagePeriods, RunsOfTheLotterysWidthWhateverTheLayout)
{
    auto shown = [](const QString &line, PeriodForm form) {
        std::vector<qint64> periods;
        AddPeriodsShown(line, form, periods);
        return periods;
    };
    using P = std::vector<qint64>;
    EXPECT_EQ(
        shown(QStringLiteral("<A CLASS=\"DetatilQlc\" onClick=\"show('2024003')\">2024003</a>"), PeriodForm::Year),
        (P {2024003, 2024003}));
    // Longer runs (a date without separators, a sum of money) are no periods.
    EXPECT_EQ(shown(QStringLiteral("/20240105/ 31964128 2024-01-05 12"), PeriodForm::Year), P {});
    EXPECT_EQ(shown(QStringLiteral("<a href=\"#\"> 24059</a> 2024060"), PeriodForm::ShortYear), (P {2024059, 2024060}));
    EXPECT_EQ(
        shown(QStringLiteral("2401 0303|24010302|2024010301|1924010301"), PeriodForm::Day), (P {24010302, 24010301}));
}

TEST(PagePeriods, RealNextPeriodsCanFollowFarFutureOnesCannot)
{
    const QDate newYearsEve(2024, 12, 31);
    // The first draw of the new year, on the last day of the old one (clocks differ).
    EXPECT_EQ(PeriodProblem(2025001, PeriodForm::Year, newYearsEve), QString());
    EXPECT_EQ(PeriodProblem(25010101, PeriodForm::Day, newYearsEve), QString());
    EXPECT_EQ(PeriodProblem(24123185, PeriodForm::Day, newYearsEve), QString());
    EXPECT_EQ(PeriodProblem(2024999, PeriodForm::ShortYear, newYearsEve), QString());

    EXPECT_EQ(
        PeriodProblem(2026001, PeriodForm::Year, newYearsEve), QStringLiteral("第2026001期的期号有误：2026年还没有到"));
    EXPECT_EQ(
        PeriodProblem(9999999, PeriodForm::Year, newYearsEve), QStringLiteral("第9999999期的期号有误：9999年还没有到"));
    EXPECT_EQ(PeriodProblem(99999999, PeriodForm::Day, newYearsEve),
        QStringLiteral("第99999999期的期号有误：期号中的日期不存在"));
    EXPECT_EQ(PeriodProblem(25010201, PeriodForm::Day, newYearsEve),
        QStringLiteral("第25010201期的期号有误：期号中的日期2025-01-02还没有到"));
    EXPECT_EQ(PeriodProblem(24022901, PeriodForm::Day, newYearsEve), QString()); // a leap day
    EXPECT_FALSE(PeriodProblem(23022901, PeriodForm::Day, newYearsEve).isEmpty());
    EXPECT_FALSE(PeriodProblem(24123100, PeriodForm::Day, newYearsEve).isEmpty());
}

TEST(PortalScrapers, AnItemWithTheBallsOfAnUnreadDrawEndsTheReading)
{
    // 24010303's period line was not read: its balls follow those of 24010304.
    const Scraped read = ReadElevenFiveAccumulator(
        QStringLiteral("*2401030401020304050607080910*240103020102030405"), false, 24010301);
    EXPECT_EQ(Periods(read.draws), QStringList {QStringLiteral("24010302")});
    EXPECT_TRUE(read.failure.startsWith(QStringLiteral("第24010304期之前有一期的开奖号码读不出")))
        << read.failure.toStdString();
    // A 22选5 item without its period.
    const Scraped tc
        = ReadTc225Accumulator(QStringLiteral("*2024-03-020102030405*2024-03-0120240580102030405"), 2024057);
    EXPECT_EQ(Periods(tc.draws), QStringList {QStringLiteral("2024058")});
    EXPECT_TRUE(tc.failure.startsWith(QStringLiteral("页面数据不完整"))) << tc.failure.toStdString();
}
