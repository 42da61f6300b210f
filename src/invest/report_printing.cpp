#include "invest/report_printing.h"

#include "common/errors.h"
#include "invest/report_pdf.h"
#include "shell/dialogs.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace lumaro {

namespace {

constexpr int kPageDpi = 600;

QString InstallPrinterText()
{
    return QStringLiteral("请安装打印机！");
}

enum class PrintTarget { Printer, Pdf, Cancel };

PrintTarget AskTarget(QWidget *parent)
{
    switch (dialogs::Choose(parent, QStringLiteral("打印"), QStringLiteral("请选择打印方式："),
        {QStringLiteral("打印机..."), QStringLiteral("打印到PDF"), QStringLiteral("取消")})) {
    case 0:
        return PrintTarget::Printer;
    case 1:
        return PrintTarget::Pdf;
    default:
        return PrintTarget::Cancel;
    }
}

} // namespace

QFont ReportQFont(ReportFont font, QPaintDevice *device)
{
    QFont result;
    if (font == ReportFont::Title) {
        result.setFamilies({QStringLiteral("录书"), QStringLiteral("LiSu"), QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Noto Sans CJK SC")});
        result.setBold(true);
        result.setItalic(true);
    } else {
        result.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Noto Sans CJK SC")});
    }
    result.setPointSize(ReportFontPoints(font));
    return device ? QFont(result, device) : result;
}

void PaintReport(QPagedPaintDevice &device, const ReportLayoutFn &layout)
{
    const QFont title = ReportQFont(ReportFont::Title, &device);
    const QFont body = ReportQFont(ReportFont::Body, &device);
    const QFontMetrics titleMetrics(title, &device);
    const QFontMetrics bodyMetrics(body, &device);
    const auto metrics = [&](ReportFont font) -> const QFontMetrics & {
        return font == ReportFont::Title ? titleMetrics : bodyMetrics;
    };
    const ReportDocument document = layout(device.width(), device.height(),
        [&](ReportFont font, const QString &text) { return metrics(font).horizontalAdvance(text); });

    QPainter painter;
    if (!painter.begin(&device))
        throw IoError(InstallPrinterText());
    QPen pen(Qt::black);
    pen.setWidth(std::max(1, device.logicalDpiY() / 150));
    for (std::size_t p = 0; p < document.size(); ++p) {
        if (p > 0 && !device.newPage())
            throw IoError(InstallPrinterText());
        painter.setPen(pen);
        for (const ReportLine &line : document[p].lines)
            painter.drawLine(line.x1, line.y1, line.x2, line.y2);
        for (const ReportText &text : document[p].texts) {
            painter.setFont(text.font == ReportFont::Title ? title : body);
            painter.drawText(text.x, text.y + metrics(text.font).ascent(), text.text);
        }
    }
    if (!painter.end())
        throw IoError(InstallPrinterText());
}

void PrintReport(QWidget *parent, const QString &proposedPdf, const ReportLayoutFn &layout)
{
    switch (AskTarget(parent)) {
    case PrintTarget::Cancel:
        return;
    case PrintTarget::Pdf: {
        const QString path = dialogs::SaveFile(parent, QStringLiteral("打印到PDF"),
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), proposedPdf,
            QStringLiteral("PDF文件(*.pdf)|*.pdf"), QStringLiteral("pdf"));
        if (path.isEmpty())
            return;
        try {
            WriteReportPdf(path, layout);
        } catch (const Error &error) {
            dialogs::Critical(parent, QStringLiteral("打印"), error.message());
        }
        return;
    }
    case PrintTarget::Printer:
        break;
    }
    try {
        if (QPrinterInfo::availablePrinters().isEmpty())
            throw IoError(InstallPrinterText());
        QPrinter printer(QPrinter::HighResolution);
        printer.setResolution(kPageDpi);
        if (!dialogs::ChoosePrinter(parent, printer, QStringLiteral("打印")))
            return;
        PaintReport(printer, layout);
    } catch (...) {
        dialogs::Critical(parent, QStringLiteral("打印"), InstallPrinterText());
    }
}

} // namespace lumaro
