#include "tickets/line_printer.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace lumaro {

int PrintTextLines(
    QPrinter &printer, const QString &heading, qint64 lineCount, const std::function<QString(qint64 line)> &lineAt)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    QFont body = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    body.setPointSize(10);
    QFont title = body;
    title.setBold(true);
    painter.setFont(body);
    const QFontMetrics metrics(body, &printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect area(0, 0, page.width(), page.height());
    const int lineHeight = metrics.lineSpacing();
    const int headerHeight = lineHeight * 2;
    const int perColumn = std::max(1, (area.height() - headerHeight) / lineHeight);
    // Result lines are short: put as many columns side by side as fit.
    const int columnWidth = metrics.horizontalAdvance(QStringLiteral("0000000    00 00 00 00 00 00 00   "));
    const int columns = std::max(1, area.width() / std::max(1, columnWidth));
    const qint64 perPage = qint64(perColumn) * columns;
    const int pages = static_cast<int>(std::max<qint64>(1, (lineCount + perPage - 1) / perPage));
    int first = 1;
    int last = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = std::min(pages, std::max(first, printer.toPage()));
    }
    int printed = 0;
    for (int p = first; p <= last; ++p) {
        if (printed > 0)
            printer.newPage();
        painter.setFont(title);
        painter.drawText(
            QRect(area.left(), area.top(), area.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, heading);
        painter.drawText(QRect(area.left(), area.top(), area.width(), lineHeight), Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("第%1页，共%2页").arg(p).arg(pages));
        painter.drawLine(area.left(), area.top() + lineHeight + lineHeight / 3, area.right(),
            area.top() + lineHeight + lineHeight / 3);
        painter.setFont(body);
        const qint64 begin = qint64(p - 1) * perPage;
        for (qint64 i = begin; i < std::min(lineCount, begin + perPage); ++i) {
            const qint64 slot = i - begin;
            const int column = static_cast<int>(slot / perColumn);
            const int row = static_cast<int>(slot % perColumn);
            painter.drawText(area.left() + column * columnWidth,
                area.top() + headerHeight + row * lineHeight + metrics.ascent(), lineAt(i));
        }
        ++printed;
    }
    painter.end();
    return printed;
}

} // namespace lumaro
