// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DosFont.h"

#include <QFontDatabase>

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
    // The font has no hinting program: full hinting only rounds its metrics, where light
    // hinting would hand the squares to the auto-hinter, which moves their edges.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
}
