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
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::NoAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
}
