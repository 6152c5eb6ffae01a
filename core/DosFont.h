// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFont>
#include <QString>

namespace velk {

inline const QString kDosFontFamily = QStringLiteral("TerminalDOS");
inline const QString kDosFontFile = QStringLiteral("VELKFONT.FON");

// Registers the font file with the application; the font id, or -1 when the file is
// missing or not a font.
int registerDosFont(const QString& fontFile);
void unregisterDosFont(int id);

// The DOS screen font: 8 x 16 cells, never merged with another font, so every cell keeps
// its width and a missing glyph shows as a box rather than a wider character.
QFont dosFont();

// Draws a font of the TerminalDOS family the way its glyphs were made: whole pixels,
// without greying their edges, at any screen scale.
void setDosFontRendering(QFont& font);

} // namespace velk
