#pragma once

#include "invest/pdf_font.h"
#include "invest/report_page.h"

#include <QByteArray>

#include <memory>

// The PDF files of the report pages, for the windows' 打印到PDF and the command line alike. The
// pages embed the glyphs they use from the installed Noto CJK fonts (fonts-noto-cjk), so every
// PDF reader shows the Chinese texts as they were laid out: the body in the regular face, the
// title in the bold face, slanted as italics. Texts are measured with the same fonts, so centred
// titles stay centred, and a ToUnicode map keeps the texts searchable and copyable.
namespace lumaro {

struct ReportPageSize {
    int width = 4961; // A4 at 600 dpi
    int height = 7016;
    int dpi = 600;
};

class ReportPdfFonts {
public:
    // The installed fonts (FindCjkFontFile); an Error saying what to install when there are none.
    ReportPdfFonts();
    ReportPdfFonts(const QString &regularPath, const QString &boldPath);

    const CjkFont &font(ReportFont font) const { return font == ReportFont::Title ? *m_bold : *m_regular; }
    // Width of a text in pixels, at the font's point size on a page of dpi dots per inch.
    int textWidth(ReportFont font, const QString &text, int dpi) const;
    // From the top of a text line to its baseline, in pixels.
    int ascent(ReportFont font, int dpi) const;

private:
    std::unique_ptr<CjkFont> m_regular;
    std::unique_ptr<CjkFont> m_bold;
};

QByteArray ReportPdf(const ReportDocument &document, const ReportPdfFonts &fonts, const ReportPageSize &size = {});
// Lays the document out on the page size, measured with the fonts, and writes it; an IoError
// when it cannot be written, an Error when no Chinese font is installed.
void WriteReportPdf(const QString &path, const ReportLayoutFn &layout, const ReportPageSize &size = {});

} // namespace lumaro
