#include "invest/report_page.h"

namespace lumaro {

namespace {

ReportText CentredTitle(const QString &title, int width, int height, const TextWidthFn &textWidth)
{
    return {ReportFont::Title, (width - textWidth(ReportFont::Title, title)) / 2, height / 29 - 50, title};
}

} // namespace

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
            p.texts.push_back(CentredTitle(report.title, W, H, textWidth));
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

namespace lumaro {

ReportDocument TicketReportLayout(const TicketReport &report, int width, int height, const TextWidthFn &textWidth)
{
    const int W = width;
    const int H = height;
    const int n = static_cast<int>(report.tickets.size());
    const int pages = ReportPageCount(n, kTicketsPerPage);
    std::array<int, 9> x {};
    for (int c = 0; c <= 8; ++c)
        x[static_cast<std::size_t>(c)] = W / 14 + ((c * 9 * W) / 10) / 8;

    ReportDocument document;
    for (int page = 1; page <= pages; ++page) {
        ReportPage p;
        if (page == 1) {
            p.texts.push_back(CentredTitle(report.title, W, H, textWidth));
            p.texts.push_back(
                {ReportFont::Body, W / 14, (2 * H) / 29 - 20, QStringLiteral("共%1注 打印日期:").arg(n) + report.date});
        }
        for (int i = 0; i <= 26; ++i) {
            const int y = ((i + 3) * H) / 29 - 120;
            p.lines.push_back({x[0], y, x[8], y});
        }
        for (int c = 0; c <= 8; ++c)
            p.lines.push_back(
                {x[static_cast<std::size_t>(c)], (3 * H) / 29 - 120, x[static_cast<std::size_t>(c)], H - 120});
        for (int b = 0; b < 3; ++b) {
            p.texts.push_back(
                {ReportFont::Body, x[static_cast<std::size_t>(3 * b)] + 100, (3 * H) / 30, QStringLiteral("序号")});
            p.texts.push_back({ReportFont::Body, x[static_cast<std::size_t>(3 * b + 1)] + 120, (3 * H) / 30,
                QStringLiteral("投注号码")});
        }
        for (int r = kTicketsPerPage * (page - 1) + 1; r <= std::min(kTicketsPerPage * page, n); ++r) {
            const int k = r % 25 == 0 ? 25 : r % 25;
            const int blocks = ((r + 24) / 25) % 3;
            const int block = (blocks == 0 ? 3 : blocks) - 1;
            const int y = ((k + 3) * H) / 29;
            p.texts.push_back({ReportFont::Body, x[static_cast<std::size_t>(3 * block)] + 170, y, QString::number(r)});
            p.texts.push_back(
                {ReportFont::Body, x[static_cast<std::size_t>(3 * block + 1)] + 180, y, report.tickets[r - 1]});
        }
        p.texts.push_back({ReportFont::Body, (8 * W) / 10 + 330, (28 * H) / 29 + 130, ReportFooter(pages, page)});
        document.push_back(std::move(p));
    }
    return document;
}

ReportDocument SettingsReportLayout(const SettingsReport &report, int width, int height, const TextWidthFn &textWidth)
{
    const int W = width;
    const int H = height;
    ReportPage p;
    p.texts.push_back(CentredTitle(report.title, W, H, textWidth));
    p.texts.push_back({ReportFont::Body, W / 14, (2 * H) / 29 - 20, QStringLiteral("打印日期:") + report.date});
    int row = 4;
    for (const auto &[left, right] : report.lines) {
        p.texts.push_back({ReportFont::Body, W / 10, (H * row) / 30, left});
        p.texts.push_back({ReportFont::Body, W / 10 + W / 2, (H * row) / 30, right});
        ++row;
    }
    return {p};
}

} // namespace lumaro
