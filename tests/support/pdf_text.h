#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

// Reads back what the report PDFs draw: the texts of each page, decoded through the ToUnicode
// map of the font that draws them, and the names of the fonts whose program is embedded. Only
// the plain (uncompressed) page streams the report writer makes are read.
namespace lumaro::test {

// The body of object n ("n 0 obj … endobj").
inline QByteArray PdfObject(const QByteArray &pdf, int n)
{
    const QByteArray head = "\n" + QByteArray::number(n) + " 0 obj\n";
    const qsizetype from = pdf.indexOf(head);
    if (from < 0)
        return {};
    const qsizetype to = pdf.indexOf("\nendobj", from + head.size());
    return pdf.mid(from + head.size(), to - from - head.size());
}

inline int PdfReference(const QByteArray &object, const char *key)
{
    const QRegularExpression re(QStringLiteral("/%1 (\\d+) 0 R").arg(QLatin1String(key)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(object));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// Code → text of a ToUnicode map's bfchar entries.
inline std::map<QString, QString> PdfUnicodeMap(const QByteArray &cmap)
{
    std::map<QString, QString> map;
    const QRegularExpression entry(QStringLiteral("<([0-9A-Fa-f]{4})> <([0-9A-Fa-f]+)>"));
    for (const QRegularExpressionMatch &m : entry.globalMatch(QString::fromLatin1(cmap))) {
        QString text;
        const QString hex = m.captured(2);
        for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
            text += QChar(static_cast<char16_t>(hex.mid(i, 4).toUInt(nullptr, 16)));
        map[m.captured(1).toUpper()] = text;
    }
    return map;
}

inline std::vector<QStringList> PdfPageTexts(const QByteArray &pdf)
{
    std::vector<QStringList> pages;
    const QRegularExpression pageRe(QStringLiteral("\\n(\\d+) 0 obj\\n<< /Type /Page /"));
    for (const QRegularExpressionMatch &page : pageRe.globalMatch(QString::fromLatin1(pdf))) {
        const QByteArray object = PdfObject(pdf, page.captured(1).toInt());
        std::map<QString, std::map<QString, QString>> fonts;
        const QRegularExpression fontRe(QStringLiteral("/(F\\d+) (\\d+) 0 R"));
        for (const QRegularExpressionMatch &font : fontRe.globalMatch(QString::fromLatin1(object)))
            fonts[font.captured(1)]
                = PdfUnicodeMap(PdfObject(pdf, PdfReference(PdfObject(pdf, font.captured(2).toInt()), "ToUnicode")));
        const QByteArray content = PdfObject(pdf, PdfReference(object, "Contents"));
        QStringList texts;
        const QRegularExpression textRe(QStringLiteral("/(F\\d+) [^<]*<([0-9A-Fa-f]*)> Tj"));
        for (const QRegularExpressionMatch &text : textRe.globalMatch(QString::fromLatin1(content))) {
            const std::map<QString, QString> &map = fonts[text.captured(1)];
            QString decoded;
            const QString hex = text.captured(2).toUpper();
            for (qsizetype i = 0; i + 4 <= hex.size(); i += 4) {
                const auto found = map.find(hex.mid(i, 4));
                decoded += found == map.end() ? QStringLiteral("?") : found->second;
            }
            texts << decoded;
        }
        pages.push_back(texts);
    }
    return pages;
}

// The fonts with an embedded program: their BaseFont names.
inline QStringList PdfEmbeddedFonts(const QByteArray &pdf)
{
    QStringList names;
    const QRegularExpression re(QStringLiteral("/FontName /([^ ]+) [^>]*/FontFile[23]? (\\d+) 0 R"));
    for (const QRegularExpressionMatch &m : re.globalMatch(QString::fromLatin1(pdf))) {
        if (PdfObject(pdf, m.captured(2).toInt()).contains("stream\n"))
            names << m.captured(1);
    }
    return names;
}

} // namespace lumaro::test
