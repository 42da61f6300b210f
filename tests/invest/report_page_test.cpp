#include "common/errors.h"
#include "invest/report_page.h"
#include "invest/report_pdf.h"
#include "support/pdf_text.h"
#include "support/test_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

PlanReport ReportOf(int rows, int columns)
{
    PlanReport report;
    report.title = QStringLiteral("固定投资计划表");
    report.info = QStringLiteral("前期亏损:0");
    for (int c = 0; c < columns; ++c)
        report.headers << QStringLiteral("列%1").arg(c);
    for (int r = 1; r <= rows; ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << QString::number(r * 10 + c);
        report.rows.push_back(cells);
    }
    return report;
}

int FixedWidth(ReportFont, const QString &text)
{
    return 50 * static_cast<int>(text.size());
}

} // namespace

TEST(PlanReportLayout, TwentySixRowsMakeTwoPages)
{
    const int W = 4800, H = 6960;
    const ReportDocument doc = PlanReportLayout(ReportOf(26, 7), W, H, FixedWidth);
    ASSERT_EQ(doc.size(), 2u);
    // Title and info line only on the first page, centred title.
    const ReportText *title = doc[0].findText(QStringLiteral("固定投资计划表"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, (W - 350) / 2);
    EXPECT_EQ(title->y, H / 29 - 50);
    EXPECT_EQ(title->font, ReportFont::Title);
    EXPECT_EQ(doc[1].findText(QStringLiteral("固定投资计划表")), nullptr);
    EXPECT_EQ(doc[0].findText(QStringLiteral("前期亏损:0"))->x, W / 12);

    // 27 rules across and C + 1 down on every page.
    EXPECT_EQ(doc[1].lines.size(), 27u + 8u);
    EXPECT_EQ(doc[1].lines[0].y1, 3 * H / 29 - 120);
    EXPECT_EQ(doc[1].lines[26].y1, 29 * H / 29 - 120);
    EXPECT_EQ(doc[1].lines[27].x1, W / 13);
    EXPECT_EQ(doc[1].lines.back().x1, W / 13 + (7 * 9 * W / 10) / 7);

    // Row 25 is the last line of page 1, row 26 the first of page 2.
    const ReportText *row25 = doc[0].findText(QStringLiteral("250"));
    ASSERT_NE(row25, nullptr);
    EXPECT_EQ(row25->y, 28 * H / 29);
    EXPECT_EQ(row25->x, W / 13 + 220);
    const ReportText *row26 = doc[1].findText(QStringLiteral("262"));
    ASSERT_NE(row26, nullptr);
    EXPECT_EQ(row26->y, 4 * H / 29);
    EXPECT_EQ(row26->x, W / 13 + (2 * 9 * W / 10) / 7 + 220);
    EXPECT_EQ(doc[1].findText(QStringLiteral("250")), nullptr);
    EXPECT_NE(doc[1].findText(QStringLiteral("列0")), nullptr); // headers on every page

    const ReportText *footer = doc[1].findText(QStringLiteral("共2页\\第2页"));
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->x, 7 * W / 10 + 800);
    EXPECT_EQ(footer->y, 28 * H / 29 + 130);
    EXPECT_NE(doc[0].findText(QStringLiteral("共2页\\第1页")), nullptr);
}

TEST(PlanReportLayout, EightColumnOffsetsAndPageCounts)
{
    const int W = 4800, H = 6960;
    const ReportDocument doc = PlanReportLayout(ReportOf(25, 8), W, H, FixedWidth);
    ASSERT_EQ(doc.size(), 1u);
    EXPECT_EQ(doc[0].findText(QStringLiteral("列1"))->x, W / 13 + (9 * W / 10) / 8 + 80);
    EXPECT_EQ(doc[0].findText(QStringLiteral("列1"))->y, 3 * H / 30);
    EXPECT_EQ(doc[0].findText(QStringLiteral("10"))->x, W / 13 + 180);
    EXPECT_EQ(doc[0].findText(QStringLiteral("共1页\\第1页"))->x, 8 * W / 10 + 350);
    EXPECT_TRUE(PlanReportLayout(ReportOf(0, 7), W, H, FixedWidth).empty());
    EXPECT_EQ(ReportPageCount(50, 25), 2);
    EXPECT_EQ(ReportPageCount(51, 25), 3);
    EXPECT_EQ(ReportDate(QDate(2008, 5, 3)), QStringLiteral("2008-5-3"));
    EXPECT_EQ(PlanInfoLine({QStringLiteral("a:"), QStringLiteral("b:")}, {QStringLiteral("1"), QStringLiteral("2")},
                  QStringLiteral("  "), QDate(2008, 12, 25)),
        QStringLiteral("a:1  b:2  打印日期:2008-12-25"));
}

TEST(ReportPdf, PagesEmbedTheirGlyphsAndReadBack)
{
    // fonts-noto-cjk is part of the set-up; the report fonts are found without help.
    const ReportPdfFonts fonts;
    EXPECT_TRUE(fonts.font(ReportFont::Body).postScriptName().startsWith(QStringLiteral("NotoSerifCJKsc")))
        << fonts.font(ReportFont::Body).path().toStdString();
    ReportPageSize size;
    const ReportDocument doc = PlanReportLayout(ReportOf(26, 7), size.width, size.height,
        [&](ReportFont font, const QString &text) { return fonts.textWidth(font, text, size.dpi); });
    const QByteArray pdf = ReportPdf(doc, fonts, size);
    EXPECT_TRUE(pdf.startsWith("%PDF-1.4"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(pdf.contains("/Count 2"));

    // Both fonts travel with the file, as subsets of the Noto faces.
    const QStringList embedded = test::PdfEmbeddedFonts(pdf);
    ASSERT_EQ(embedded.size(), 2) << pdf.left(2000).toStdString();
    EXPECT_TRUE(embedded[0].contains(QStringLiteral("+NotoSerifCJKsc-Regular")));
    EXPECT_TRUE(embedded[1].contains(QStringLiteral("+NotoSerifCJKsc-Bold")));

    // Every text of the layout reads back in order through the fonts' ToUnicode maps.
    const std::vector<QStringList> pages = test::PdfPageTexts(pdf);
    ASSERT_EQ(pages.size(), 2u);
    for (std::size_t p = 0; p < 2; ++p) {
        QStringList expected;
        for (const ReportText &text : doc[p].texts)
            expected << text.text;
        EXPECT_EQ(pages[p], expected);
    }
    EXPECT_TRUE(pages[1].contains(QStringLiteral("共2页\\第2页")));

    // The cross-reference offsets point at the objects.
    const qsizetype xref = pdf.indexOf("\nxref\n") + 1;
    const QList<QByteArray> entries = pdf.mid(xref).split('\n');
    const qsizetype third = entries[5].left(10).toLongLong();
    EXPECT_TRUE(pdf.mid(third).startsWith("3 0 obj"));

    // Widths are the fonts' own: a CJK character is one em, a digit narrower.
    const int em = 10 * 720 / 72;
    EXPECT_EQ(fonts.textWidth(ReportFont::Body, QStringLiteral("共页"), 720), 2 * em);
    EXPECT_LT(fonts.textWidth(ReportFont::Body, QStringLiteral("1"), 720), em);
    EXPECT_GT(fonts.textWidth(ReportFont::Body, QStringLiteral("1"), 720), 0);
}

TEST(ReportPdf, SubsetKeepsEveryOutline)
{
    const CjkFont font(FindCjkFontFile(false), QStringLiteral("CJKsc"));
    const QString text = QStringLiteral("固定投资计划表共2页\\第1页(%)当期利润率:-0123456789");
    std::vector<int> glyphs;
    for (char32_t c : text.toUcs4()) {
        const int glyph = font.glyph(c);
        ASSERT_GT(glyph, 0) << int(c);
        if (std::find(glyphs.begin(), glyphs.end(), glyph) == glyphs.end())
            glyphs.push_back(glyph);
    }
    const CffProgram subset(font.cff().subset(glyphs, "TEST+Font", font.unitsPerEm()));
    ASSERT_EQ(subset.glyphCount(), int(glyphs.size()) + 1);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const GlyphOutline original = font.cff().outline(glyphs[i]);
        EXPECT_FALSE(original.empty());
        EXPECT_EQ(subset.outline(int(i) + 1), original) << glyphs[i];
    }
    // A subset of few glyphs is small: the whole font is some twenty megabytes.
    EXPECT_LT(font.cff().subset(glyphs, "TEST+Font", font.unitsPerEm()).size(), 40000);

    // The regular face's metrics, as the page geometry uses them.
    EXPECT_EQ(font.unitsPerEm(), 1000);
    EXPECT_EQ(font.advance(font.glyph(U'共')), 1000);
    EXPECT_EQ(font.glyph(U'\x1'), 0);
}

TEST(ReportPdf, FontProgramsKeepOutlinesToTheSixteenthBit)
{
    std::vector<GlyphOutline> outlines {{},
        {{OutlineStep::Move, 0, 0, 0, 0, 100.5, -20.25}, {OutlineStep::Curve, 200, 300, 400.125, 300, 500, -20.25},
            {OutlineStep::Line, 0, 0, 0, 0, 100.5, -20.25}, {OutlineStep::Move, 0, 0, 0, 0, 1200, 5},
            {OutlineStep::Curve, -1200, 900, 2000, 900, 1300, 5}}};
    // A font of 2048 units an em writes its font matrix as real numbers, which read back.
    const CffProgram program(CffProgram::FromOutlines(outlines, "TEST+Font", 2048));
    ASSERT_EQ(program.glyphCount(), 2);
    EXPECT_TRUE(program.outline(0).empty());
    EXPECT_EQ(program.outline(1), outlines[1]);
    // A point a third of a unit away lands on the nearest 1/65536, the next point stays exact.
    outlines[1][2].x3 = 100.0 + 1.0 / 3;
    const GlyphOutline rounded = CffProgram(CffProgram::FromOutlines(outlines, "TEST+Font", 1000)).outline(1);
    EXPECT_NEAR(rounded[2].x3, 100.0 + 1.0 / 3, 1.0 / 65536);
    EXPECT_EQ(rounded[3], outlines[1][3]);
    outlines[1][3].x3 = 70000;
    EXPECT_THROW(CffProgram::FromOutlines(outlines, "TEST+Font", 1000), Error);
}

TEST(ReportPdf, NoFontIsAClearError)
{
    QTemporaryDir dir;
    const QString notAFont = dir.path() + QStringLiteral("/NotoSerifCJK-Regular.ttc");
    test::WriteFile(notAFont, QByteArray(4096, 'x'));
    try {
        ReportPdfFonts fonts(notAFont, notAFont);
        FAIL();
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("字体"))) << e.message().toStdString();
    }
    EXPECT_THROW(ReportPdfFonts(dir.path() + QStringLiteral("/missing.ttc"), notAFont), IoError);
    // A damaged outline program is refused, not read past its end.
    EXPECT_THROW(CffProgram(QByteArray("\x01\x00\x04\x04\x00\x01\x01\x01\xff", 9)), Error);
}
