#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace lumaro {

// A toolbar icon drawn by the program: a coloured rounded tile with one Chinese character.
QIcon GlyphIcon(const QString &glyph, const QColor &colour);

// The program's own icon (the window icon and the desktop entry).
QIcon ProgramIcon();

} // namespace lumaro
