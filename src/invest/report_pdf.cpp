#include "invest/report_pdf.h"

#include "common/errors.h"
#include "invest/plan_file.h"

namespace lumaro {

namespace {

bool halfWidth(QChar c)
{
    return c.unicode() >= 0x20 && c.unicode() < 0x7f;
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'f', 2);
}

QByteArray hexText(const QString &text)
{
    QByteArray hex = "<";
    for (QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    return hex + ">";
}

// The three objects of a non-embedded Type0 font: the font, its CID font and its descriptor.
std::vector<QByteArray> fontObjects(int firstObject, const QByteArray &baseName, bool boldItalic)
{
    const QByteArray cid = QByteArray::number(firstObject + 1);
    const QByteArray descriptor = QByteArray::number(firstObject + 2);
    return {"<< /Type /Font /Subtype /Type0 /BaseFont /" + baseName + " /Encoding /UniGB-UCS2-H /DescendantFonts ["
            + cid + " 0 R] >>",
        "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /" + baseName
            + " /CIDSystemInfo << /Registry (Adobe) /Ordering (GB1) /Supplement 2 >> /FontDescriptor " + descriptor
            + " 0 R /DW 1000 /W [1 95 500 814 907 500] >>",
        "<< /Type /FontDescriptor /FontName /" + baseName + " /Flags " + (boldItalic ? "262246" : "6")
            + " /FontBBox [-25 -254 1000 880] /ItalicAngle " + (boldItalic ? "-11" : "0")
            + " /Ascent 880 /Descent -120 /CapHeight 880 /StemV " + (boldItalic ? "160" : "93") + " >>"};
}

} // namespace

int ReportPdfTextWidth(ReportFont font, const QString &text, int dpi)
{
    const int em = ReportFontPoints(font) * dpi / 72;
    int halves = 0;
    for (QChar c : text)
        halves += halfWidth(c) ? 1 : 2;
    return halves * em / 2;
}

QByteArray ReportPdf(const ReportDocument &document, const ReportPageSize &size)
{
    const double scale = 72.0 / size.dpi;
    const double pageWidth = size.width * scale;
    const double pageHeight = size.height * scale;
    const auto px = [&](int x) { return number(x * scale); };
    const auto py = [&](double y) { return number(pageHeight - y * scale); };

    // Objects: 1 catalog, 2 page tree, 3-5 body font, 6-8 title font, then a page and its
    // content stream per page, numbered in the order they are added.
    QByteArray pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::vector<qsizetype> offsets;
    const auto add = [&](const QByteArray &body) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(static_cast<qsizetype>(offsets.size())) + " 0 obj\n" + body + "\nendobj\n";
    };
    const int pages = static_cast<int>(document.size());
    QByteArray kids;
    for (int p = 0; p < pages; ++p)
        kids += QByteArray::number(9 + 2 * p) + " 0 R ";
    add("<< /Type /Catalog /Pages 2 0 R >>");
    add("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>");
    for (const QByteArray &object : fontObjects(3, "STSong-Light", false))
        add(object);
    for (const QByteArray &object : fontObjects(6, "STSong-Light,BoldItalic", true))
        add(object);

    for (int p = 0; p < pages; ++p) {
        const ReportPage &page = document[static_cast<std::size_t>(p)];
        QByteArray content = "0.5 w\n";
        for (const ReportLine &line : page.lines)
            content += px(line.x1) + ' ' + py(line.y1) + " m " + px(line.x2) + ' ' + py(line.y2) + " l S\n";
        for (const ReportText &text : page.texts) {
            const double points = ReportFontPoints(text.font);
            const double baseline = text.y + 0.88 * points * size.dpi / 72.0;
            content += "BT /" + QByteArray(text.font == ReportFont::Title ? "F2 " : "F1 ") + number(points) + " Tf "
                + px(text.x) + ' ' + py(baseline) + " Td " + hexText(text.text) + " Tj ET\n";
        }
        add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(pageWidth) + ' ' + number(pageHeight)
            + "] /Resources << /Font << /F1 3 0 R /F2 6 0 R >> >> /Contents " + QByteArray::number(10 + 2 * p)
            + " 0 R >>");
        add("<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "endstream");
    }

    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(static_cast<qsizetype>(offsets.size()) + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(static_cast<qsizetype>(offsets.size()) + 1)
        + " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

void WriteReportPdf(const QString &path, const ReportLayoutFn &layout, const ReportPageSize &size)
{
    const ReportDocument document = layout(size.width, size.height,
        [&](ReportFont font, const QString &text) { return ReportPdfTextWidth(font, text, size.dpi); });
    WriteWholeFile(path, ReportPdf(document, size));
}

} // namespace lumaro
