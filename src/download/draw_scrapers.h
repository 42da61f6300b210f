#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The page scrapers: pure functions from the text of a result page or feed to draws. Nothing is
// parsed as HTML; a draw is recognised by fixed markers and fixed character positions on a line.
// Positions are 1-based character positions in a line whose leading and trailing blanks have
// been trimmed, as the pages are read.
namespace lumaro::scrape {

// The trimmed lines of a page.
QStringList PageLines(const QString &text);

// The count characters of line from the 1-based position (fewer at the end of the line, none
// before its start).
QString At(const QString &line, int position, int count);

// Leading blanks, then decimal digits only, fitting in 64 bits.
bool ReadsAsWholeNumber(const QString &text, qint64 *value = nullptr);
// A 10-character date "yyyy-mm-dd" or "yyyy/mm/dd" of the calendar.
bool ReadsAsDate(const QString &text);
QDate ReadDate(const QString &text); // invalid when it does not read as a date

// A new draw found on a page, before its numbers are converted: the period text, its value,
// the number texts in drawn order and the date text.
struct DrawCandidate {
    QString period;
    qint64 periodValue = 0;
    QStringList numbers;
    QString date;
    QStringList back {}; // the back zone of a two-zone lottery
};

// Draws read up to a point where reading had to stop, and why it stopped (empty when the whole
// text was read).
struct Scraped {
    std::vector<DrawCandidate> draws;
    QString failure;
};

// ---- periods ----

// How a lottery writes its periods.
enum class PeriodForm {
    Year, // 7 digits: the year and the draw's number within it (七乐彩, 南粤风采)
    ShortYear, // the same 7 digits "20YYNNN", which the list pages show as the last 5 (中国体彩22选5)
    Day, // 8 digits: two-digit year, month, day and the draw's number within the day (11选5),
         // which pages and feeds may show with the century "20" in front
};

// The periods a line shows in the form, draw or not: every run of digits, not part of a
// longer run, of the form's width as the pages show it (7; 5 or 7 starting "20" for
// ShortYear; 8 or 10 starting "20" for Day). A line off the layout the scraper expects still
// shows the period of its draw here, so the download knows which draws it could not read.
void AddPeriodsShown(const QString &line, PeriodForm form, std::vector<qint64> &periods);
// The same for every line of a page.
void AddPeriodsShown(const QStringList &lines, PeriodForm form, std::vector<qint64> &periods);

// Why a period cannot follow stored draws, or empty when it can: a Year or ShortYear period
// of a year after the next one; a Day period whose date is no calendar date or is more than
// a day after today, or whose number within the day is 0. Real periods, the first draw of a
// new year included, always can.
QString PeriodProblem(qint64 period, PeriodForm form, const QDate &today);

// ---- 中国福彩七乐彩: the history page ----

// A new draw of the history page in reading order.
struct QlcPageDraw {
    QString period;
    qint64 periodValue = 0;
    QStringList numbers; // the first M two-digit numbers of the draw's text
    QString pageDate; // a date found in the draw's text, if any
};

struct QlcPage {
    std::vector<QlcPageDraw> draws; // new draws, in reading order (the page lists the newest first)
    bool hasDrawLines = false; // some line carried the draw markers, new or not
    QString failure; // a draw line whose period is not a whole number
};

// Lines holding both "detatilqlc" and "onclick" start a draw; its period is the first 7 of the
// line's last 16 characters. Only periods above lastPeriod are kept. For a kept draw, two lines
// are dropped and the next three form its number text.
QlcPage ReadQlcPage(const QStringList &lines, qint64 lastPeriod, int m);

// The numbers and date of one draw's text (trim(a) + "&nbsp;" + trim(b) + trim(c)): a
// two-character whole number not followed by a third digit is the next number, up to m of them;
// otherwise a 10-character date there is the draw's date.
void ReadQlcNumbers(const QString &text, int m, QStringList &numbers, QString &date);

// The draw date that follows date: the game draws on Monday, Wednesday and Friday.
QDate NextQlcDate(const QDate &date);

// Dates the new draws and returns them oldest first. The running date starts at lastDate and
// moves on to the next draw day once per new draw; the first computed date goes to the oldest
// draw (the last one read). A date the page gives for a draw is kept with that draw. Without a
// valid lastDate (stored draws without dates, as a history text gives them) the draws have no
// computed date: only the dates the page gives.
std::vector<DrawCandidate> DateQlcDraws(const std::vector<QlcPageDraw> &draws, const QDate &lastDate);

// The date text the 七乐彩 download stores.
QString QlcDateText(const QDate &date);

// ---- 南粤风采36选7 and 南粤风采26选5: list and detail pages ----

struct NanyueListDraw {
    QString period;
    qint64 periodValue = 0;
    QString numbers; // m two-digit numbers side by side
    QString detailPath; // path of the detail page on the same site
};

struct NanyueList {
    std::vector<NanyueListDraw> draws; // new draws in page order
    bool hasDrawLines = false;
};

// A draw line is exactly 49 characters long and the first 7 of its last 12 characters read as
// the period. The next line holds the numbers; the link to the detail page is on the 6th (36选7)
// or 4th (26选5) line after that, from position 26, (length − 39) characters long.
NanyueList ReadNanyueList(const QStringList &lines, int m, qint64 lastPeriod);

// The draw date of a detail page: the 10 characters from position 26 of the first line with
// "play_R_tbox". Empty when there is no such line.
QString ReadNanyueDetailDate(const QStringList &lines);

// ---- 中国体彩22选5 and the 11选5 day pages of the result portal ----

struct DateRange {
    QString start; // ds
    QString end; // de
};

// The start and end dates of the 22选5 list: the second line after the first one holding
// <div class="search">, from positions 50 and 171. Nothing when the marker is missing or the
// texts there are not dates.
std::optional<DateRange> ReadTc225Range(const QStringList &lines);

// Adds one 22选5 list page to the accumulator: "*" and a date, "20" and a period, the balls.
void AccumulateTc225Page(const QStringList &lines, QString &accumulator);

// Adds one 11选5 day page: "*" and each period line (8 characters, 10 for 江西), the balls.
void AccumulateElevenFiveDay(const QStringList &lines, bool jiangxi, QString &accumulator);

// The accumulator's items ("*"-separated, blanks dropped, empty items skipped).
QStringList AccumulatorItems(const QString &accumulator);

// The new draws of the accumulator, read back from its last item, so the oldest comes first.
Scraped ReadTc225Accumulator(const QString &accumulator, qint64 lastPeriod);
Scraped ReadElevenFiveAccumulator(const QString &accumulator, bool jiangxi, qint64 lastPeriod);

// ---- the 11选5 feeds of the quick update ----

// The feed text: every line trimmed, all joined without separator.
QString FeedText(const QString &document);

struct FeedRows {
    std::vector<DrawCandidate> draws; // new rows in feed order
    int rows = 0; // rows whose period reads as a whole number
    // Some row is at or below lastPeriod, or follows it directly: the feed joins the stored
    // history without a hole.
    bool joinsStored = false;
};

// Every "<row" of the feed, read at fixed offsets from its "<": period (8 characters) from
// +14, numbers text (14 characters, "nn,nn,nn,nn,nn") from +33, date (10) from +58; for 山东
// the period and numbers are two characters earlier (+12, +31).
FeedRows ReadFeed(const QString &feedText, bool shandong, qint64 lastPeriod);

} // namespace lumaro::scrape
