#include "shell/toolbar_icons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lumaro {

QIcon GlyphIcon(const QString &glyph, const QColor &colour)
{
    QIcon icon;
    for (int size : {24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        QPainterPath tile;
        const double margin = size * 0.06;
        tile.addRoundedRect(QRectF(margin, margin, size - 2 * margin, size - 2 * margin), size * 0.2, size * 0.2);
        QLinearGradient g(0, 0, 0, size);
        g.setColorAt(0, colour.lighter(130));
        g.setColorAt(1, colour.darker(120));
        p.fillPath(tile, g);
        QFont font;
        font.setPixelSize(static_cast<int>(size * 0.6));
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, glyph);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ProgramIcon()
{
    return QIcon(QStringLiteral(":/icons/lumaro.png"));
}

} // namespace lumaro
