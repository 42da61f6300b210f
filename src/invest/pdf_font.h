#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class QFile;

// The Chinese fonts the report PDFs embed: OpenType fonts with CFF outlines (the Noto CJK fonts,
// one face of a .ttc collection or a single .otf). Only what a PDF needs is read: the character
// map, the advance widths, the vertical metrics and the outlines of the glyphs a document uses,
// which are written out again as a small CID-keyed font program.
namespace lumaro {

// One step of a glyph outline in font units: a move to (x3, y3), a line to it, or a cubic curve
// through (x1, y1) and (x2, y2) to it. A move starts a new closed contour.
struct OutlineStep {
    enum Kind : char { Move = 'M', Line = 'L', Curve = 'C' };
    Kind kind = Move;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    bool operator==(const OutlineStep &) const = default;
};
using GlyphOutline = std::vector<OutlineStep>;

// A CFF font program: the 'CFF ' table of an OpenType font, or the font file of a PDF. A
// malformed program is an Error naming the font.
class CffProgram {
public:
    CffProgram() = default;
    explicit CffProgram(QByteArray data);

    int glyphCount() const { return m_charStrings.count; }
    // The outline of a glyph with its subroutines expanded; an Error for a glyph number out of
    // range or a charstring that cannot be read.
    GlyphOutline outline(int glyph) const;
    // A CID-keyed font program holding .notdef as CID 0 and the given glyphs, in their order,
    // as CIDs 1 … n. The outlines are kept exactly; hints and subroutines are left out, which
    // costs nothing on paper and keeps the program small.
    QByteArray subset(const std::vector<int> &glyphs, const QByteArray &name, int unitsPerEm) const;
    // A CID-keyed font program of the outlines as CIDs 0 … n − 1 (the first is .notdef).
    // Coordinates are kept to 1/65536 of a unit; an Error for one beyond ±32767 units.
    static QByteArray FromOutlines(const std::vector<GlyphOutline> &outlines, const QByteArray &name, int unitsPerEm);

    struct Index {
        int count = 0;
        int offSize = 0;
        qsizetype offsets = 0; // where the offsets start
        qsizetype base = 0; // the offsets count from here
        qsizetype end = 0;
    };

private:
    QByteArray m_data;
    Index m_charStrings;
    Index m_globalSubrs;
    std::vector<Index> m_localSubrs; // one per font dictionary
    std::vector<std::uint8_t> m_fdOfGlyph; // empty: every glyph uses dictionary 0
};

// One face of an OpenType font file with CFF outlines. The file is mapped, not read whole.
class CjkFont {
public:
    // Reads the face of the file whose PostScript name contains preferredFace (the first face
    // when none does). An IoError when the file cannot be read, an Error when it is not an
    // OpenType font with CFF outlines.
    CjkFont(const QString &path, const QString &preferredFace);
    ~CjkFont();
    CjkFont(const CjkFont &) = delete;
    CjkFont &operator=(const CjkFont &) = delete;

    const QString &path() const { return m_path; }
    const QString &postScriptName() const { return m_postScriptName; }
    int unitsPerEm() const { return m_unitsPerEm; }
    int ascender() const { return m_ascender; }
    int descender() const { return m_descender; }
    const std::array<int, 4> &boundingBox() const { return m_bbox; }
    // The glyph of a character; 0 (.notdef) when the font has none.
    int glyph(char32_t c) const;
    int advance(int glyph) const;
    const CffProgram &cff() const { return m_cff; }

private:
    QString m_path;
    std::unique_ptr<QFile> m_file;
    QByteArray m_data;
    QString m_postScriptName;
    int m_unitsPerEm = 1000;
    int m_ascender = 880;
    int m_descender = -120;
    std::array<int, 4> m_bbox {0, -120, 1000, 880};
    QByteArray m_hmtx;
    int m_longMetrics = 0;
    QByteArray m_cmap; // the subtable used: format 4 or 12
    CffProgram m_cff;
};

// The installed Noto CJK font file for the report's body (regular) or title (bold) text: Noto
// Serif CJK where installed, else Noto Sans CJK; the bold face falls back to the regular one.
// Empty when none is installed. Looks in the system's font folders and in extraFolder.
QString FindCjkFontFile(bool bold, const QString &extraFolder = QString());

} // namespace lumaro
