// The fonts the report PDFs embed: a CFF font program (first byte even) or an OpenType font file
// (first byte odd) is read or refused with an Error; every outline it gives is written into a
// font program that reads back as the same outline, to 1/65536 of a unit.
#include "fuzz_support.h"

#include "common/errors.h"
#include "invest/pdf_font.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

using namespace lumaro;

namespace {

bool Near(double a, double b)
{
    return std::abs(a - b) <= 1.0 / 65536;
}

bool SameOutline(const GlyphOutline &a, const GlyphOutline &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || !Near(a[i].x3, b[i].x3) || !Near(a[i].y3, b[i].y3))
            return false;
        if (a[i].kind == OutlineStep::Curve
            && !(Near(a[i].x1, b[i].x1) && Near(a[i].y1, b[i].y1) && Near(a[i].x2, b[i].x2) && Near(a[i].y2, b[i].y2)))
            return false;
    }
    return true;
}

// Writes what outlines can be read and checks they read back alike.
void RoundTrip(const CffProgram &program)
{
    std::vector<GlyphOutline> outlines;
    for (int g = 0; g < program.glyphCount() && g < 16; ++g) {
        try {
            outlines.push_back(program.outline(g));
        } catch (const Error &) { }
    }
    if (outlines.empty())
        return;
    QByteArray written;
    try {
        written = CffProgram::FromOutlines(outlines, "FUZZ+Font", 1000);
    } catch (const Error &) {
        return; // a coordinate beyond the range of a charstring
    }
    const CffProgram again(written);
    LUMARO_FUZZ_CHECK(again.glyphCount() == static_cast<int>(outlines.size()));
    for (std::size_t g = 0; g < outlines.size(); ++g)
        LUMARO_FUZZ_CHECK(SameOutline(again.outline(static_cast<int>(g)), outlines[g]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    const QByteArray content = fuzz::BytesOf(data + 1, size - 1);
    try {
        if (data[0] % 2 == 0) {
            RoundTrip(CffProgram(content));
            return 0;
        }
        static QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("font.otf"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return 0;
        file.close();
        const CjkFont font(path, QStringLiteral("CJKsc"));
        for (char32_t c : {U'0', U'共', U'页', char32_t(0x20000)})
            LUMARO_FUZZ_CHECK(font.advance(font.glyph(c)) >= 0);
        RoundTrip(font.cff());
    } catch (const Error &) { }
    return 0;
}
