#include "invest/report_pdf.h"

#include "common/errors.h"
#include "common/file_io.h"

#include <QCryptographicHash>

#include <cmath>
#include <map>

namespace lumaro {

namespace {

QByteArray Number(double value)
{
    return QByteArray::number(value, 'f', 2);
}

QByteArray Hex4(quint32 value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

// The glyphs one font draws in a document, numbered as the CIDs of its subset (1 … n).
struct FontUse {
    std::vector<int> glyphs;
    std::map<int, int> cidOfGlyph;
    std::map<int, char32_t> charOfCid;

    int cid(const CjkFont &font, char32_t c)
    {
        const int glyph = font.glyph(c);
        if (glyph == 0)
            return 0;
        const auto [it, added] = cidOfGlyph.emplace(glyph, static_cast<int>(glyphs.size()) + 1);
        if (added) {
            glyphs.push_back(glyph);
            charOfCid[it->second] = c;
        }
        return it->second;
    }
};

QByteArray ToUnicodeMap(const FontUse &use)
{
    QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<std::pair<int, char32_t>> entries(use.charOfCid.begin(), use.charOfCid.end());
    for (std::size_t from = 0; from < entries.size(); from += 100) {
        const std::size_t to = std::min(entries.size(), from + 100);
        map += QByteArray::number(static_cast<qulonglong>(to - from)) + " beginbfchar\n";
        for (std::size_t i = from; i < to; ++i) {
            QByteArray utf16;
            const char32_t c = entries[i].second;
            if (c > 0xffff) {
                utf16 = Hex4(0xd800 + ((c - 0x10000) >> 10)) + Hex4(0xdc00 + ((c - 0x10000) & 0x3ff));
            } else {
                utf16 = Hex4(c);
            }
            map += '<' + Hex4(static_cast<quint32>(entries[i].first)) + "> <" + utf16 + ">\n";
        }
        map += "endbfchar\n";
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return map;
}

// Six capital letters naming the subset, the same for the same glyphs.
QByteArray SubsetTag(const CjkFont &font, const FontUse &use)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(font.postScriptName().toUtf8());
    for (int glyph : use.glyphs)
        hash.addData(QByteArray(QByteArray::number(glyph) + ','));
    const QByteArray digest = hash.result();
    QByteArray tag;
    for (int i = 0; i < 6; ++i)
        tag += char('A' + quint8(digest[i]) % 26);
    return tag;
}

} // namespace

ReportPdfFonts::ReportPdfFonts()
{
    const QString regular = FindCjkFontFile(false);
    if (regular.isEmpty())
        throw Error(QStringLiteral("没有找到中文字体 Noto CJK，无法生成PDF文件！请安装 fonts-noto-cjk。"));
    m_regular = std::make_unique<CjkFont>(regular, QStringLiteral("CJKsc"));
    m_bold = std::make_unique<CjkFont>(FindCjkFontFile(true), QStringLiteral("CJKsc"));
}

ReportPdfFonts::ReportPdfFonts(const QString &regularPath, const QString &boldPath)
    : m_regular(std::make_unique<CjkFont>(regularPath, QStringLiteral("CJKsc")))
    , m_bold(std::make_unique<CjkFont>(boldPath, QStringLiteral("CJKsc")))
{ }

int ReportPdfFonts::textWidth(ReportFont which, const QString &text, int dpi) const
{
    const CjkFont &f = font(which);
    qint64 units = 0;
    for (char32_t c : text.toUcs4())
        units += f.advance(f.glyph(c));
    return static_cast<int>(std::lround(double(units) * ReportFontPoints(which) * dpi / (72.0 * f.unitsPerEm())));
}

int ReportPdfFonts::ascent(ReportFont which, int dpi) const
{
    const CjkFont &f = font(which);
    return static_cast<int>(
        std::lround(double(f.ascender()) * ReportFontPoints(which) * dpi / (72.0 * f.unitsPerEm())));
}

QByteArray ReportPdf(const ReportDocument &document, const ReportPdfFonts &fonts, const ReportPageSize &size)
{
    const double scale = 72.0 / size.dpi;
    const double pageWidth = size.width * scale;
    const double pageHeight = size.height * scale;
    const auto px = [&](double x) { return Number(x * scale); };
    const auto py = [&](double y) { return Number(pageHeight - y * scale); };

    // The page contents first: they decide which glyphs each font embeds.
    const ReportFont fontOrder[] = {ReportFont::Body, ReportFont::Title};
    FontUse uses[2];
    std::vector<QByteArray> contents;
    for (const ReportPage &page : document) {
        QByteArray content = "0.5 w\n";
        for (const ReportLine &line : page.lines)
            content += px(line.x1) + ' ' + py(line.y1) + " m " + px(line.x2) + ' ' + py(line.y2) + " l S\n";
        for (const ReportText &text : page.texts) {
            const bool title = text.font == ReportFont::Title;
            FontUse &use = uses[title ? 1 : 0];
            QByteArray codes;
            for (char32_t c : text.text.toUcs4())
                codes += Hex4(static_cast<quint32>(use.cid(fonts.font(text.font), c)));
            const int baseline = text.y + fonts.ascent(text.font, size.dpi);
            // The title is slanted by 12 degrees, as an italic face would be.
            content += "BT /" + QByteArray(title ? "F2 " : "F1 ") + Number(ReportFontPoints(text.font)) + " Tf "
                + QByteArray(title ? "1 0 0.21 1 " : "1 0 0 1 ") + px(text.x) + ' ' + py(baseline) + " Tm <" + codes
                + "> Tj ET\n";
        }
        contents.push_back(content);
    }

    // Objects: 1 catalog, 2 page tree, five per font (font, CID font, descriptor, font
    // program, ToUnicode map), then a page and its content stream per page.
    QByteArray pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::vector<qsizetype> offsets;
    const auto add = [&](const QByteArray &body) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(static_cast<qsizetype>(offsets.size())) + " 0 obj\n" + body + "\nendobj\n";
    };
    const auto stream = [&](const QByteArray &dictionary, const QByteArray &data) {
        add("<< " + dictionary + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" + data
            + "\nendstream");
    };
    const int pages = static_cast<int>(document.size());
    const int firstPage = 3 + 5 * 2;
    QByteArray kids;
    for (int p = 0; p < pages; ++p)
        kids += QByteArray::number(firstPage + 2 * p) + " 0 R ";
    add("<< /Type /Catalog /Pages 2 0 R >>");
    add("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>");

    for (int f = 0; f < 2; ++f) {
        const CjkFont &font = fonts.font(fontOrder[f]);
        const FontUse &use = uses[f];
        const int first = 3 + 5 * f;
        const auto ref = [&](int i) -> QByteArray { return QByteArray::number(first + i) + " 0 R"; };
        const QByteArray name = SubsetTag(font, use) + '+' + font.postScriptName().toLatin1();
        const auto thousandths
            = [&](double units) { return QByteArray::number(std::lround(units * 1000.0 / font.unitsPerEm())); };
        QByteArray widths;
        for (int glyph : use.glyphs)
            widths += thousandths(font.advance(glyph)) + ' ';
        const std::array<int, 4> &box = font.boundingBox();

        add("<< /Type /Font /Subtype /Type0 /BaseFont /" + name + " /Encoding /Identity-H /DescendantFonts [" + ref(1)
            + "] /ToUnicode " + ref(4) + " >>");
        add("<< /Type /Font /Subtype /CIDFontType0 /BaseFont /" + name
            + " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " + ref(2)
            + " /DW " + thousandths(font.advance(0)) + (use.glyphs.empty() ? QByteArray() : " /W [1 [" + widths + "]]")
            + " >>");
        add("<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [" + thousandths(box[0]) + ' '
            + thousandths(box[1]) + ' ' + thousandths(box[2]) + ' ' + thousandths(box[3]) + "] /ItalicAngle 0 /Ascent "
            + thousandths(font.ascender()) + " /Descent " + thousandths(font.descender()) + " /CapHeight "
            + thousandths(font.ascender()) + " /StemV 80 /FontFile3 " + ref(3) + " >>");
        // qCompress puts the length in front of a zlib stream; FlateDecode takes the stream.
        const QByteArray program = qCompress(font.cff().subset(use.glyphs, name, font.unitsPerEm()), 9).mid(4);
        stream("/Subtype /CIDFontType0C /Filter /FlateDecode", program);
        stream(QByteArray(), ToUnicodeMap(use));
    }

    for (int p = 0; p < pages; ++p) {
        add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(pageWidth) + ' ' + Number(pageHeight)
            + "] /Resources << /Font << /F1 3 0 R /F2 8 0 R >> >> /Contents "
            + QByteArray::number(firstPage + 2 * p + 1) + " 0 R >>");
        stream(QByteArray(), contents[static_cast<std::size_t>(p)]);
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
    const ReportPdfFonts fonts;
    const ReportDocument document = layout(size.width, size.height,
        [&](ReportFont font, const QString &text) { return fonts.textWidth(font, text, size.dpi); });
    WriteWholeFile(path, ReportPdf(document, fonts, size));
}

} // namespace lumaro
