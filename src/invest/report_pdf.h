#pragma once

#include "invest/report_page.h"

#include <QByteArray>

// A small PDF writer for report pages where no painter is at hand (the command line). It uses
// the standard Chinese font STSong-Light without embedding it; every PDF reader with Chinese
// support brings a substitute. Half-width characters are half an em wide, all others one em,
// and ReportPdfTextWidth measures texts with the same rule, so centred titles stay centred.
namespace lumaro {

struct ReportPageSize {
    int width = 4961; // A4 at 600 dpi
    int height = 7016;
    int dpi = 600;
};

int ReportPdfTextWidth(ReportFont font, const QString &text, int dpi);

QByteArray ReportPdf(const ReportDocument &document, const ReportPageSize &size = {});
// Lays the document out on the page size and writes it; an IoError when it cannot be written.
void WriteReportPdf(const QString &path, const ReportLayoutFn &layout, const ReportPageSize &size = {});

} // namespace lumaro
