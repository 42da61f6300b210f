#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>

#include <functional>
#include <vector>

// The printed pages of the investment windows, laid out in printer pixels. A layout is a list
// of texts and rules per page, computed here from the page size and a text-width measure, and
// drawn afterwards by a painter (printer, PDF) that knows nothing of the geometry.
namespace lumaro {

enum class ReportFont {
    Title, // "录书", 18 points, bold and italic
    Body // "宋体", 10 points
};
constexpr int ReportFontPoints(ReportFont font)
{
    return font == ReportFont::Title ? 18 : 10;
}

// A text at (x, y): y is the top of the text line, as the page geometry gives it.
struct ReportText {
    ReportFont font = ReportFont::Body;
    int x = 0;
    int y = 0;
    QString text;
};
struct ReportLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
struct ReportPage {
    std::vector<ReportText> texts;
    std::vector<ReportLine> lines;
    // The first text drawn with this content, or null.
    const ReportText *findText(const QString &text) const;
};
using ReportDocument = std::vector<ReportPage>;

// Width in pixels of a text in a font on the page being laid out.
using TextWidthFn = std::function<int(ReportFont, const QString &)>;
// Lays out a whole document on a page of W × H pixels.
using ReportLayoutFn = std::function<ReportDocument(int width, int height, const TextWidthFn &)>;

// The date on the pages: year, month and day without leading zeros, joined by "-" (2008-5-3).
QString ReportDate(const QDate &date);

// The table and texts of a plan report.
struct PlanReport {
    QString title;
    QString info;
    QStringList headers; // the column count C is the header count (7 or 8)
    std::vector<QStringList> rows;
};

// The info line of a plan report: each label followed by its value, then "打印日期:" and the
// date, the parts joined by the separator.
QString PlanInfoLine(const QStringList &labels, const QStringList &values, const QString &separator, const QDate &date);

constexpr int kReportRowsPerPage = 25;
int ReportPageCount(int rows, int rowsPerPage);

// The plan report page: title and info line on the first page, 27 rules across and C + 1
// down, the headers on every page, 25 rows a page and the page footer.
ReportDocument PlanReportLayout(const PlanReport &report, int width, int height, const TextWidthFn &textWidth);

// "共N页\第P页".
QString ReportFooter(int pages, int page);

} // namespace lumaro

namespace lumaro {

// The ticket list of the investment analysis: 75 tickets a page in three blocks of 25.
struct TicketReport {
    QString title; // name + "  " + last period + "期" + play type + "投注号码"
    QString date; // ReportDate of the printing day
    QStringList tickets; // the digits of each ticket joined ("073"); serials are 1 … n
};
constexpr int kTicketsPerPage = 75;
ReportDocument TicketReportLayout(const TicketReport &report, int width, int height, const TextWidthFn &textWidth);

// The settings page of the investment analysis: two columns of lines at rows 4 … 9.
struct SettingsReport {
    QString title;
    QString date;
    std::vector<std::pair<QString, QString>> lines; // left and right text of rows 4, 5, …
};
ReportDocument SettingsReportLayout(const SettingsReport &report, int width, int height, const TextWidthFn &textWidth);

} // namespace lumaro
