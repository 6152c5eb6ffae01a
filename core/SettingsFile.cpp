// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/SettingsFile.h"

#include "core/DosFont.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"

#include <QDir>

#include <algorithm>
#include <limits>

namespace velk {

namespace K = SettingsKeys;

QString defaultVelkPath() {
    return joinPath(QDir::homePath(), QStringLiteral("VELK"));
}

QString defaultWorkPath() {
    return joinPath(defaultVelkPath(), QStringLiteral("WORK"));
}

QString defaultRootPath() {
    return QDir::homePath();
}

QString readSettingText(const ProfileFile& file, const QString& section, const QString& key,
                        const QString& defaultValue) {
    return file.readString(section, key, defaultValue).left(kSettingsValueWidth);
}

QString readSettingDirectory(const ProfileFile& file, const QString& key,
                             const QString& defaultValue) {
    return file.readString(K::Repertoire, key, defaultValue);
}

namespace {

struct ParsedNumber {
    qint64 value = 0;
    bool anyDigit = false;
    bool overflow = false;
    qsizetype end = 0; // index of the first character not taken
};

// Blanks, sign, then decimal digits or "$" and hexadecimal digits; stops at the first
// character that does not belong to the number.
ParsedNumber parseNumber(const QString& text) {
    ParsedNumber n;
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    constexpr qint64 limit = qint64(1) << 33;
    for (; i < text.size(); ++i) {
        const int digit = QChar(text[i]).isDigit() && text[i].unicode() < 128
                              ? text[i].unicode() - '0'
                          : base == 16 && text[i].toLower() >= QLatin1Char('a') &&
                                  text[i].toLower() <= QLatin1Char('f')
                              ? text[i].toLower().unicode() - 'a' + 10
                              : -1;
        if (digit < 0)
            break;
        n.anyDigit = true;
        if (n.value < limit)
            n.value = n.value * base + digit;
        else
            n.overflow = true;
    }
    if (n.value >= limit)
        n.overflow = true;
    if (negative)
        n.value = -n.value;
    n.end = i;
    return n;
}

} // namespace

int toIntegerStrict(const QString& text) {
    const ParsedNumber n = parseNumber(text);
    const bool hex = text.contains(QLatin1Char('$'));
    const bool inRange = hex ? n.value >= std::numeric_limits<int>::min() && n.value <= 0xFFFFFFFFLL
                             : n.value >= std::numeric_limits<int>::min() &&
                                   n.value <= std::numeric_limits<int>::max();
    if (!n.anyDigit || n.overflow || n.end != text.size() || !inRange)
        throw VelkError::notAnInteger(text);
    // "$FFFFFFFF" is -1, as the 32-bit runtime reads it.
    return static_cast<int>(static_cast<std::uint32_t>(n.value));
}

std::uint32_t parseColourValue(const QString& text) {
    return static_cast<std::uint32_t>(parseNumber(text).value);
}

int readSettingInteger(const ProfileFile& file, const QString& section, const QString& key,
                       int defaultValue) {
    return toIntegerStrict(readSettingText(file, section, key, QString::number(defaultValue)));
}

void readDirectories(const ProfileFile& file, Settings& s) {
    s.velkPath = readSettingDirectory(file, K::VELKPath, defaultVelkPath());
    s.workPath = readSettingDirectory(file, K::WorkPath, defaultWorkPath());
    s.qwkPath = readSettingDirectory(file, K::QWKPath, defaultRootPath());
    s.repPath = readSettingDirectory(file, K::REPPath, defaultRootPath());
}

int readFirstUse(const ProfileFile& file) {
    // The value is a 16-bit number in memory.
    return static_cast<qint16>(readSettingInteger(file, K::Divers, K::FirstUse, 1));
}

void readLineWidth(const ProfileFile& file, Settings& s) {
    s.maxCar = readSettingInteger(file, K::Divers, K::MaxCar, 78);
}

namespace {
std::uint32_t readColour(const ProfileFile& file, const QString& key, std::uint32_t def) {
    return parseColourValue(readSettingText(file, K::Divers, key, QString::number(def)));
}
} // namespace

void readColours(const ProfileFile& file, Settings& s) {
    s.quoteColour = readColour(file, K::CouleurQuote, 32768);
    s.inkColour = readColour(file, K::CouleurEncre, 0);
    s.backColour = readColour(file, K::CouleurFond, 16777215);
}

void readMessageFont(const ProfileFile& file, Settings& s) {
    FontSetting font;
    font.family = readSettingText(file, K::Police, K::Nom, QStringLiteral("Times New Roman"));
    s.fontNotTerminal = font.family != kDosFontFamily;
    const int size = readSettingInteger(file, K::Police, K::Taille, 12);
    font.pointSize = std::max(size, 0);
    const int style = readSettingInteger(file, K::Police, K::Style, 0);
    font.bold = style == 1 || style == 3;
    font.italic = style == 2 || style == 3;
    s.messageFont = font;
}

void readPrinterSettings(const ProfileFile& file, Settings& s) {
    s.lineHeight = readSettingInteger(file, K::Imprimante, K::HauteurLigne, 80);
    s.linesPerPage = readSettingInteger(file, K::Imprimante, K::NbLignes, 66);
}

const QString& colourKeyName(ColourKey key) {
    switch (key) {
    case ColourKey::Quote:
        return K::CouleurQuote;
    case ColourKey::Ink:
        return K::CouleurEncre;
    case ColourKey::Back:
        break;
    }
    return K::CouleurFond;
}

std::uint32_t& colourOf(Settings& s, ColourKey key) {
    switch (key) {
    case ColourKey::Quote:
        return s.quoteColour;
    case ColourKey::Ink:
        return s.inkColour;
    case ColourKey::Back:
        break;
    }
    return s.backColour;
}

void writeDirectories(const ProfileFile& file, const QString& velkPath, const QString& qwkPath,
                      const QString& repPath, const QString& workPath) {
    file.writeString(K::Repertoire, K::VELKPath, velkPath);
    file.writeString(K::Repertoire, K::QWKPath, qwkPath);
    file.writeString(K::Repertoire, K::REPPath, repPath);
    file.writeString(K::Repertoire, K::WorkPath, workPath);
}

void writeFirstUse(const ProfileFile& file, int value) {
    file.writeString(K::Divers, K::FirstUse, QString::number(value));
}

void writeLineWidth(const ProfileFile& file, const QString& text) {
    file.writeString(K::Divers, K::MaxCar, text);
}

void writeColour(const ProfileFile& file, ColourKey key, std::uint32_t value) {
    file.writeString(K::Divers, colourKeyName(key), QString::number(value));
}

void writePrinterSettings(const ProfileFile& file, const QString& lineHeight,
                          const QString& linesPerPage) {
    file.writeString(K::Imprimante, K::HauteurLigne, lineHeight);
    file.writeString(K::Imprimante, K::NbLignes, linesPerPage);
}

namespace {
constexpr unsigned char kSignatureKey(std::size_t i) {
    return static_cast<unsigned char>(0xA5 + 11 * i);
}
} // namespace

std::string scrambledProgramSignature() {
    static constexpr unsigned char scrambled[] = {0xF3, 0xF5, 0xF7, 0x8D, 0xF1, 0xEC,
                                                  0xC9, 0xC0, 0xCF, 0x26, 0x20, 0x2C};
    return std::string(reinterpret_cast<const char*>(scrambled), sizeof scrambled);
}

std::string programSignature(const Settings& settings) {
    std::string plain = settings.scrambledSignature;
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<char>(static_cast<unsigned char>(plain[i]) ^ kSignatureKey(i));
    return plain;
}

} // namespace velk
