#pragma once

#include "invest/report_page.h"

#include <QString>

class QPainter;
class QPagedPaintDevice;
class QPaintDevice;
class QFont;
class QWidget;

// Drawing the report pages on a printer; PDF files are written by report_pdf.h. The geometry
// comes from the layouts of report_page.h; here only fonts and painting.
namespace lumaro {

// The fonts of the pages: "录书" and "宋体" where installed, otherwise an installed Chinese
// font, at the point size of the page, resolved for the device (its pixels per inch).
QFont ReportQFont(ReportFont font, QPaintDevice *device);

// Lays the document out for the device's page and paints it, one device page per page.
void PaintReport(QPagedPaintDevice &device, const ReportLayoutFn &layout);

// The 打印 action of the investment windows: asks whether to use a printer or write a PDF
// file (proposedPdf is the proposed file name, written by WriteReportPdf as the command line
// writes its PDF files), then prints. Any printing failure shows
// "请安装打印机！". In the test mode of the dialogs a queued Yes answer chooses the PDF and the
// queued file is its path.
void PrintReport(QWidget *parent, const QString &proposedPdf, const ReportLayoutFn &layout);

} // namespace lumaro
