// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/SettingsAppearance.h"

#include "core/DosFont.h"
#include "core/SettingsFile.h"

namespace velk {

namespace K = SettingsKeys;

QColor colourFromWindows(std::uint32_t value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

std::uint32_t windowsFromColour(const QColor& colour) {
    const QColor c = colour.toRgb();
    return std::uint32_t(c.red()) | std::uint32_t(c.green()) << 8 | std::uint32_t(c.blue()) << 16;
}

QFont fontOf(const FontSetting& setting) {
    QFont font;
    if (setting.family.isEmpty())
        return font;
    font.setFamily(setting.family);
    if (setting.family == kDosFontFamily)
        setDosFontRendering(font);
    if (setting.pointSize > 0)
        font.setPointSize(setting.pointSize);
    font.setBold(setting.bold);
    font.setItalic(setting.italic);
    return font;
}

int fontStyleCode(const QFont& font) {
    if (font.underline() || font.strikeOut())
        return 0;
    if (font.bold())
        return font.italic() ? 3 : 1;
    return font.italic() ? 2 : 0;
}

void writeMessageFont(const ProfileFile& file, const QFont& font) {
    file.writeString(K::Police, K::Nom, font.family());
    file.writeString(K::Police, K::Taille, QString::number(font.pointSize()));
    file.writeString(K::Police, K::Style, QString::number(fontStyleCode(font)));
}

} // namespace velk
