#include "invest/report_page.h"

namespace lumaro {

const ReportText *ReportPage::findText(const QString &text) const
{
    for (const ReportText &t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

QString ReportDate(const QDate &date)
{
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day());
}

QString PlanInfoLine(const QStringList &labels, const QStringList &values, const QString &separator, const QDate &date)
{
    QStringList parts;
    for (qsizetype i = 0; i < labels.size() && i < values.size(); ++i)
        parts << labels[i] + values[i];
    parts << QStringLiteral("打印日期:") + ReportDate(date);
    return parts.join(separator);
}

int ReportPageCount(int rows, int rowsPerPage)
{
    return rows <= 0 ? 0 : (rows + rowsPerPage - 1) / rowsPerPage;
}

QString ReportFooter(int pages, int page)
{
    return QStringLiteral("共%1页\\第%2页").arg(pages).arg(page);
}

ReportDocument PlanReportLayout(const PlanReport &report, int width, int height, const TextWidthFn &textWidth)
{
    const int W = width;
    const int H = height;
    const int C = static_cast<int>(report.headers.size());
    const bool eight = C == 8;
    const int rows = static_cast<int>(report.rows.size());
    const int pages = ReportPageCount(rows, kReportRowsPerPage);

    std::vector<int> x(static_cast<std::size_t>(C + 1));
    for (int c = 0; c <= C; ++c)
        x[c] = W / 13 + ((c * 9 * W) / 10) / C;

    ReportDocument document;
    for (int page = 1; page <= pages; ++page) {
        ReportPage p;
        if (page == 1) {
            p.texts.push_back(
                {ReportFont::Title, (W - textWidth(ReportFont::Title, report.title)) / 2, H / 29 - 50, report.title});
            p.texts.push_back({ReportFont::Body, W / 12, (2 * H) / 29 - 20, report.info});
        }
        for (int i = 0; i <= 26; ++i) {
            const int y = ((i + 3) * H) / 29 - 120;
            p.lines.push_back({x[0], y, x[C], y});
        }
        for (int c = 0; c <= C; ++c)
            p.lines.push_back({x[c], (3 * H) / 29 - 120, x[c], H - 120});
        for (int c = 0; c < C; ++c)
            p.texts.push_back({ReportFont::Body, x[c] + (eight ? 80 : 100), (3 * H) / 30, report.headers[c]});
        const int first = kReportRowsPerPage * (page - 1) + 1;
        const int last = std::min(kReportRowsPerPage * page, rows);
        for (int r = first; r <= last; ++r) {
            const int k = r % kReportRowsPerPage == 0 ? kReportRowsPerPage : r % kReportRowsPerPage;
            const QStringList &cells = report.rows[r - 1];
            for (int c = 0; c < C && c < cells.size(); ++c)
                p.texts.push_back({ReportFont::Body, x[c] + (eight ? 180 : 220), ((k + 3) * H) / 29, cells[c]});
        }
        p.texts.push_back({ReportFont::Body, eight ? (8 * W) / 10 + 350 : (7 * W) / 10 + 800, (28 * H) / 29 + 130,
            ReportFooter(pages, page)});
        document.push_back(std::move(p));
    }
    return document;
}

} // namespace lumaro
