#include "download/draw_scrapers.h"

#include "common/errors.h"

#include <QRegularExpression>

#include <limits>

namespace lumaro::scrape {

namespace {

const QString kBallMarker = QStringLiteral("span class=\"ball");
const QString kBall = QStringLiteral("ball");

// Blanks as the pages are trimmed: every control character and the space.
bool IsBlank(QChar ch)
{
    return ch.unicode() <= 0x20;
}

bool IsAsciiDigit(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

QString TrimBlanks(const QString &text)
{
    int begin = 0;
    int end = static_cast<int>(text.size());
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The period text without the leading blanks a whole number may have.
QString PeriodDigits(const QString &text)
{
    int begin = 0;
    while (begin < text.size() && (text[begin] == QLatin1Char(' ') || text[begin] == QLatin1Char('\t')))
        ++begin;
    return text.mid(begin);
}

QString LineAt(const QStringList &lines, qsizetype index)
{
    return index < lines.size() ? lines[index] : QString();
}

// The balls of a line: the two characters eight on from every "ball".
void AddBalls(const QString &line, QString &accumulator)
{
    if (!line.contains(kBallMarker))
        return;
    for (int p = 1; p + 3 <= line.size(); ++p) {
        if (At(line, p, 4) == kBall)
            accumulator += At(line, p + 8, 2);
    }
}

// The period of an accumulator item. False, with the reason in result, when it is not a whole
// number of the full width or the item is not as long as one draw's fields: reading stops
// there. A longer item holds the balls of a draw whose period line was not read (off the
// layout), a shorter one misses balls; either way a draw is missing.
bool ReadItemPeriod(
    const QString &item, const QString &period, int width, int itemLength, qint64 &value, Scraped &result)
{
    if (!ReadsAsWholeNumber(period, &value)) {
        result.failure = ConversionError::notInteger(period).message();
        return false;
    }
    if (period.size() != width || item.size() < itemLength) {
        result.failure = QStringLiteral("页面数据不完整：“%1”").arg(item);
        return false;
    }
    if (item.size() > itemLength) {
        result.failure = QStringLiteral("第%1期之前有一期的开奖号码读不出（页面格式不符）：“%2”").arg(period, item);
        return false;
    }
    return true;
}

} // namespace

QStringList PageLines(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(breaks);
    // A final line break does not start another line.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        line = TrimBlanks(line);
    return lines;
}

QString At(const QString &line, int position, int count)
{
    if (count <= 0)
        return QString();
    if (position < 1)
        position = 1;
    if (position > line.size())
        return QString();
    return line.mid(position - 1, count);
}

bool ReadsAsWholeNumber(const QString &text, qint64 *value)
{
    int i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    if (i == text.size())
        return false;
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
        const int digit = ch.unicode() - '0';
        if (result > (std::numeric_limits<qint64>::max() - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    if (value)
        *value = result;
    return true;
}

QDate ReadDate(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"yyyy-MM-dd", "yyyy/MM/dd", "yyyy-M-d", "yyyy/M/d"}) {
        const QDate date = QDate::fromString(t, QString::fromLatin1(format));
        if (date.isValid())
            return date;
    }
    return QDate();
}

bool ReadsAsDate(const QString &text)
{
    // Checked by hand: the 七乐彩 scraper asks at every position of a draw's text, and
    // QDate::fromString is slow (it consults the time zone on every call).
    if (text.size() != 10)
        return false;
    const QChar separator = text[4];
    if ((separator != QLatin1Char('-') && separator != QLatin1Char('/')) || text[7] != separator)
        return false;
    auto digits = [&text](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
                return -1;
            value = value * 10 + (text[i].unicode() - '0');
        }
        return value;
    };
    const int year = digits(0, 4);
    const int month = digits(5, 2);
    const int day = digits(8, 2);
    return year >= 0 && month >= 0 && day >= 0 && QDate::isValid(year, month, day);
}

// ---- periods ----

void AddPeriodsShown(const QString &line, PeriodForm form, std::vector<qint64> &periods)
{
    const qsizetype size = line.size();
    qsizetype i = 0;
    while (i < size) {
        if (!IsAsciiDigit(line[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < size && IsAsciiDigit(line[end]))
            ++end;
        const qsizetype width = end - i;
        const bool century = line[i] == QLatin1Char('2') && i + 1 < end && line[i + 1] == QLatin1Char('0');
        qint64 value = -1;
        auto digits = [&](qsizetype from) {
            qint64 v = 0;
            for (qsizetype k = from; k < end; ++k)
                v = v * 10 + (line[k].unicode() - '0');
            return v;
        };
        switch (form) {
        case PeriodForm::Year:
            if (width == 7)
                value = digits(i);
            break;
        case PeriodForm::ShortYear:
            if (width == 5)
                value = 2000000 + digits(i);
            else if (width == 7 && century)
                value = digits(i);
            break;
        case PeriodForm::Day:
            if (width == 8)
                value = digits(i);
            else if (width == 10 && century)
                value = digits(i + 2);
            break;
        }
        if (value >= 0)
            periods.push_back(value);
        i = end;
    }
}

void AddPeriodsShown(const QStringList &lines, PeriodForm form, std::vector<qint64> &periods)
{
    for (const QString &line : lines)
        AddPeriodsShown(line, form, periods);
}

QString PeriodProblem(qint64 period, PeriodForm form, const QDate &today)
{
    if (form == PeriodForm::Day) {
        const int day = static_cast<int>(period / 100 % 100);
        const int month = static_cast<int>(period / 10000 % 100);
        const qint64 year = 2000 + period / 1000000;
        if (period > 99999999 || !QDate::isValid(static_cast<int>(year), month, day))
            return QStringLiteral("第%1期的期号有误：期号中的日期不存在").arg(period);
        if (QDate(static_cast<int>(year), month, day) > today.addDays(1))
            return QStringLiteral("第%1期的期号有误：期号中的日期%2还没有到")
                .arg(period)
                .arg(QDate(static_cast<int>(year), month, day).toString(QStringLiteral("yyyy-MM-dd")));
        if (period % 100 == 0)
            return QStringLiteral("第%1期的期号有误：当天的期数不能为00").arg(period);
        return QString();
    }
    // The draws of a year are numbered within it; the year cannot lie after the next one.
    const qint64 year = period / 1000;
    if (year > today.year() + 1)
        return QStringLiteral("第%1期的期号有误：%2年还没有到").arg(period).arg(year);
    return QString();
}

// ---- 中国福彩七乐彩 ----

QlcPage ReadQlcPage(const QStringList &lines, qint64 lastPeriod, int m)
{
    QlcPage page;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (!line.contains(QLatin1String("detatilqlc")) || !line.contains(QLatin1String("onclick")))
            continue;
        page.hasDrawLines = true;
        const QString periodText = line.right(16).left(7);
        qint64 value = 0;
        if (!ReadsAsWholeNumber(periodText, &value)) {
            page.failure = ConversionError::notInteger(periodText).message();
            return page;
        }
        if (value <= lastPeriod)
            continue;
        QlcPageDraw draw;
        draw.period = PeriodDigits(periodText);
        draw.periodValue = value;
        // Two lines are dropped; the next three hold the numbers.
        const QString text
            = LineAt(lines, i + 3) + QStringLiteral("&nbsp;") + LineAt(lines, i + 4) + LineAt(lines, i + 5);
        ReadQlcNumbers(text, m, draw.numbers, draw.pageDate);
        page.draws.push_back(std::move(draw));
        i += 5;
    }
    return page;
}

void ReadQlcNumbers(const QString &text, int m, QStringList &numbers, QString &date)
{
    for (int p = 1; p < text.size(); ++p) {
        const QString two = At(text, p, 2);
        const QString three = At(text, p, 3);
        // A number at the very end of the text has no third character to look at.
        if (ReadsAsWholeNumber(two) && (three.size() < 3 || !ReadsAsWholeNumber(three))) {
            // Only M numbers fit a draw; further ones on the line are not part of it.
            if (numbers.size() < m)
                numbers << two;
        } else if (ReadsAsDate(At(text, p, 10))) {
            date = At(text, p, 10);
        }
    }
}

QDate NextQlcDate(const QDate &date)
{
    // Qt: Monday = 1 … Sunday = 7. Days to the next Monday, Wednesday or Friday.
    static const int step[8] = {0, 2, 1, 2, 1, 3, 2, 1};
    return date.addDays(step[date.dayOfWeek()]);
}

QString QlcDateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

std::vector<DrawCandidate> DateQlcDraws(const std::vector<QlcPageDraw> &draws, const QDate &lastDate)
{
    const std::size_t count = draws.size();
    std::vector<QDate> running(count);
    QDate date = lastDate;
    for (std::size_t j = 0; j < count; ++j) {
        if (date.isValid())
            date = NextQlcDate(date);
        running[j] = date;
    }
    std::vector<DrawCandidate> result;
    result.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        // The page is read newest first: the oldest new draw is the last one read and takes the
        // first running date.
        const QlcPageDraw &draw = draws[count - 1 - k];
        DrawCandidate candidate;
        candidate.period = draw.period;
        candidate.periodValue = draw.periodValue;
        candidate.numbers = draw.numbers;
        if (!draw.pageDate.isEmpty())
            candidate.date = draw.pageDate;
        else if (running[k].isValid())
            candidate.date = QlcDateText(running[k]);
        result.push_back(std::move(candidate));
    }
    return result;
}

// ---- 南粤风采 ----

NanyueList ReadNanyueList(const QStringList &lines, int m, qint64 lastPeriod)
{
    const int numbersFromRight = m == 7 ? 21 : 17;
    const int linesToLink = m == 7 ? 6 : 4;
    NanyueList list;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.size() != 49)
            continue;
        const QString periodText = line.right(12).left(7);
        qint64 value = 0;
        if (!ReadsAsWholeNumber(periodText, &value))
            continue;
        list.hasDrawLines = true;
        if (value <= lastPeriod)
            continue;
        NanyueListDraw draw;
        draw.period = PeriodDigits(periodText);
        draw.periodValue = value;
        draw.numbers = LineAt(lines, i + 1).right(numbersFromRight).left(2 * m);
        const QString link = LineAt(lines, i + 1 + linesToLink);
        draw.detailPath = At(link, 26, static_cast<int>(link.size()) - 39);
        list.draws.push_back(std::move(draw));
        i += 1 + linesToLink;
    }
    return list;
}

QString ReadNanyueDetailDate(const QStringList &lines)
{
    for (const QString &line : lines) {
        if (line.contains(QLatin1String("play_R_tbox")))
            return At(line, 26, 10);
    }
    return QString();
}

// ---- the result portal ----

std::optional<DateRange> ReadTc225Range(const QStringList &lines)
{
    const QString marker = QStringLiteral("<div class=\"search\">");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].contains(marker))
            continue;
        const QString line = LineAt(lines, i + 2);
        const DateRange range {At(line, 50, 10), At(line, 171, 10)};
        if (!ReadsAsDate(range.start) || !ReadsAsDate(range.end))
            return std::nullopt;
        return range;
    }
    return std::nullopt;
}

void AccumulateTc225Page(const QStringList &lines, QString &accumulator)
{
    for (const QString &line : lines) {
        const QString date = At(line, 17, 10);
        if (ReadsAsDate(date))
            accumulator += QLatin1Char('*') + date;
        const QString period = At(line, 44, 5);
        if (line.size() == 52 && ReadsAsWholeNumber(period))
            accumulator += QStringLiteral("20") + period;
        AddBalls(line, accumulator);
    }
}

void AccumulateElevenFiveDay(const QStringList &lines, bool jiangxi, QString &accumulator)
{
    const int width = jiangxi ? 10 : 8;
    for (const QString &line : lines) {
        if (line.size() == width && ReadsAsWholeNumber(line))
            accumulator += QLatin1Char('*') + line;
        AddBalls(line, accumulator);
    }
}

QStringList AccumulatorItems(const QString &accumulator)
{
    QStringList items;
    for (const QString &part : accumulator.split(QLatin1Char('*'))) {
        QString item;
        item.reserve(part.size());
        for (const QChar ch : part) {
            if (!IsBlank(ch) && !ch.isSpace())
                item += ch;
        }
        if (!item.isEmpty())
            items << item;
    }
    return items;
}

Scraped ReadTc225Accumulator(const QString &accumulator, qint64 lastPeriod)
{
    // Item: date (10 characters), period (7), five numbers (10).
    Scraped result;
    const QStringList items = AccumulatorItems(accumulator);
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        const QString &item = items[i];
        const QString period = At(item, 11, 7);
        qint64 value = 0;
        if (!ReadItemPeriod(item, period, 7, 27, value, result))
            return result;
        if (value <= lastPeriod)
            continue;
        DrawCandidate draw;
        draw.period = period;
        draw.periodValue = value;
        for (int k = 1; k <= 5; ++k)
            draw.numbers << At(item, 16 + 2 * k, 2);
        draw.date = At(item, 1, 10);
        result.draws.push_back(std::move(draw));
    }
    return result;
}

Scraped ReadElevenFiveAccumulator(const QString &accumulator, bool jiangxi, qint64 lastPeriod)
{
    // Item: period line (8 characters, or 10 with a leading "20" for 江西), five numbers (10).
    Scraped result;
    const QStringList items = AccumulatorItems(accumulator);
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        const QString &item = items[i];
        const QString period = jiangxi ? At(item, 3, 8) : At(item, 1, 8);
        qint64 value = 0;
        if (!ReadItemPeriod(item, period, 8, jiangxi ? 20 : 18, value, result))
            return result;
        if (value <= lastPeriod)
            continue;
        const QString numbers = jiangxi ? At(item, 11, 10) : At(item, 9, 10);
        DrawCandidate draw;
        draw.period = period;
        draw.periodValue = value;
        for (int k = 1; k <= 5; ++k)
            draw.numbers << At(numbers, 2 * k - 1, 2);
        // The period starts with the two-digit year, month and day.
        draw.date = QStringLiteral("20") + At(period, 1, 2) + QLatin1Char('-') + At(period, 3, 2) + QLatin1Char('-')
            + At(period, 5, 2);
        result.draws.push_back(std::move(draw));
    }
    return result;
}

// ---- feeds ----

QString FeedText(const QString &document)
{
    return PageLines(document).join(QString());
}

FeedRows ReadFeed(const QString &feedText, bool shandong, qint64 lastPeriod)
{
    const int periodOffset = shandong ? 12 : 14;
    const int numbersOffset = shandong ? 31 : 33;
    const int dateOffset = 58;
    const QString rowMarker = QStringLiteral("<row");
    FeedRows rows;
    for (qsizetype found = feedText.indexOf(rowMarker); found >= 0; found = feedText.indexOf(rowMarker, found + 1)) {
        const int p = static_cast<int>(found) + 1;
        const QString periodText = At(feedText, p + periodOffset, 8);
        qint64 value = 0;
        if (!ReadsAsWholeNumber(periodText, &value))
            continue;
        ++rows.rows;
        // value - 1 cannot overflow: a whole number read is never negative.
        if (value <= lastPeriod || value - 1 == lastPeriod)
            rows.joinsStored = true;
        if (value <= lastPeriod)
            continue;
        const QString numbers = At(feedText, p + numbersOffset, 14);
        DrawCandidate draw;
        draw.period = PeriodDigits(periodText);
        draw.periodValue = value;
        for (int k = 1; k <= 5; ++k)
            draw.numbers << At(numbers, 3 * k - 2, 2);
        draw.date = At(feedText, p + dateOffset, 10);
        rows.draws.push_back(std::move(draw));
    }
    return rows;
}

} // namespace lumaro::scrape
