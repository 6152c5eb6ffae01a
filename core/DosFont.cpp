// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DosFont.h"

#include <QFontDatabase>

namespace velk {

int registerDosFont(const QString& fontFile) {
    return QFontDatabase::addApplicationFont(fontFile);
}

void unregisterDosFont(int id) {
    if (id >= 0)
        QFontDatabase::removeApplicationFont(id);
}

QFont dosFont() {
    QFont f(kDosFontFamily);
    f.setPixelSize(16);
    setDosFontRendering(f);
    return f;
}

void setDosFontRendering(QFont& font) {
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::NoAntialias));
    // Full hinting runs the font's own hinting program, which moves nothing; lighter
    // settings may hand the squares to an auto-hinter, which shifts their edges.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
}

} // namespace velk
