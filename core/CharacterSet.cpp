// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/CharacterSet.h"

#include <QChar>
#include <QHash>

#include <array>

namespace velk {

namespace {

// Code page 437 with the screen glyphs for the control bytes, as a DOS screen shows them.
constexpr std::array<char16_t, 256> kCp437 = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642,
    0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, 0x00C7, 0x00FC, 0x00E9, 0x00E2,
    0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566,
    0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0,
    0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Code page 1252, upper half only; the five unassigned bytes keep their C1 value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// What a character becomes in a set that lacks it, when stripping accents is not enough.
char fallbackAscii(char32_t u) {
    switch (u) {
    case 0x2500:
    case 0x2501:
    case 0x2504:
    case 0x2505:
    case 0x2508:
    case 0x2509:
    case 0x2574:
    case 0x2576:
    case 0x2578:
    case 0x257A:
    case 0x257C:
    case 0x257E:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x00AD:
    case 0x2212:
        return '-';
    case 0x2550:
    case 0x2261:
        return '=';
    case 0x2502:
    case 0x2503:
    case 0x2506:
    case 0x2507:
    case 0x250A:
    case 0x250B:
    case 0x2551:
    case 0x2320:
    case 0x2321:
    case 0x00A6:
        return '|';
    case 0x2591:
    case 0x2592:
    case 0x2593:
    case 0x2588:
    case 0x2584:
    case 0x2580:
    case 0x258C:
    case 0x2590:
    case 0x25A0:
    case 0x25AC:
        return '#';
    case 0x2018:
    case 0x2019:
    case 0x201B:
    case 0x2032:
    case 0x00B4:
        return '\'';
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x201F:
    case 0x2033:
        return '"';
    case 0x201A:
    case 0x00B8:
        return ',';
    case 0x2026:
    case 0x2219:
    case 0x00B7:
        return '.';
    case 0x2039:
    case 0x2264:
    case 0x2190:
    case 0x25C4:
    case 0x25C0:
        return '<';
    case 0x203A:
    case 0x2265:
    case 0x2192:
    case 0x25BA:
    case 0x25B6:
        return '>';
    case 0x2191:
    case 0x25B2:
    case 0x02C6:
        return '^';
    case 0x2193:
    case 0x25BC:
    case 0x221A:
        return 'v';
    case 0x2248:
    case 0x02DC:
        return '~';
    case 0x2020:
    case 0x2021:
        return '+';
    case 0x2030:
        return '%';
    case 0x221E:
        return '8';
    case 0x2122:
        return 'T';
    case 0x00A9:
        return 'c';
    case 0x00AE:
        return 'r';
    case 0x00B9:
        return '1';
    case 0x00B3:
        return '3';
    case 0x00AF:
        return '-';
    case 0x207F:
        return 'n';
    case 0x20AC:
        return 'E';
    case 0x0152:
        return 'O';
    case 0x0153:
        return 'o';
    case 0x00C6:
        return 'A';
    case 0x00E6:
        return 'a';
    case 0x00D0:
        return 'D';
    case 0x00F0:
        return 'd';
    case 0x00DE:
        return 'P';
    case 0x00FE:
        return 'p';
    case 0x00D8:
        return 'O';
    case 0x00F8:
        return 'o';
    case 0x00D7:
        return 'x';
    case 0x00A4:
    case 0x263C:
        return '*';
    case 0x00BE:
        return '3';
    case 0x03B1:
        return 'a';
    case 0x00DF:
        return 's';
    case 0x0393:
        return 'G';
    case 0x03C0:
        return 'p';
    case 0x03A3:
        return 'S';
    case 0x03C3:
        return 's';
    case 0x03C4:
        return 't';
    case 0x03A6:
        return 'F';
    case 0x0398:
        return 'T';
    case 0x03A9:
        return 'O';
    case 0x03B4:
        return 'd';
    case 0x03C6:
        return 'f';
    case 0x03B5:
        return 'e';
    case 0x2229:
        return 'n';
    case 0x2022:
    case 0x25CB:
    case 0x25D8:
    case 0x25D9:
    case 0x263A:
    case 0x263B:
        return 'o';
    case 0x2302:
        return '^';
    case 0x2310:
    case 0x00AC:
        return '-';
    case 0x0192:
        return 'f';
    case 0x0141:
        return 'L';
    case 0x0142:
        return 'l';
    case 0x0110:
        return 'D';
    case 0x0111:
        return 'd';
    case 0x0131:
        return 'i';
    case 0x20A7:
        return 'P';
    }
    // Corners and junctions of every box-drawing style.
    if (u >= 0x2500 && u <= 0x257F)
        return '+';
    return '?';
}

struct ReverseTables {
    QHash<char32_t, unsigned char> dos;
    QHash<char32_t, unsigned char> windows;
    ReverseTables() {
        for (int b = 0xFF; b >= 0; --b) {
            dos.insert(kCp437[b], static_cast<unsigned char>(b));
            windows.insert(cp1252ToUnicode(static_cast<unsigned char>(b)),
                           static_cast<unsigned char>(b));
        }
        // Both ASCII control ranges round-trip as the bytes themselves.
        for (int b = 0; b < 0x20; ++b)
            dos.insert(char32_t(b), static_cast<unsigned char>(b));
        dos.insert(0x7F, 0x7F);
    }
};

const ReverseTables& reverse() {
    static const ReverseTables tables;
    return tables;
}

char32_t stripAccent(char32_t u) {
    if (u > 0xFFFF)
        return u;
    const QString d = QChar(char16_t(u)).decomposition();
    if (d.isEmpty())
        return u;
    return d.at(0).unicode();
}

unsigned char bestFit(const QHash<char32_t, unsigned char>& table, char32_t u) {
    if (auto it = table.constFind(u); it != table.constEnd())
        return *it;
    const char32_t base = stripAccent(u);
    if (base != u) {
        if (auto it = table.constFind(base); it != table.constEnd())
            return *it;
    }
    return static_cast<unsigned char>(fallbackAscii(u));
}

} // namespace

char32_t cp437ToUnicode(unsigned char b) {
    return kCp437[b];
}

char32_t cp1252ToUnicode(unsigned char b) {
    if (b >= 0x80 && b < 0xA0)
        return kCp1252High[b - 0x80];
    return b;
}

unsigned char unicodeToCp437(char32_t u) {
    return bestFit(reverse().dos, u);
}

unsigned char unicodeToCp1252(char32_t u) {
    return bestFit(reverse().windows, u);
}

std::string oemToAnsi(std::string_view dos) {
    std::string out(dos.size(), '\0');
    for (std::size_t i = 0; i < dos.size(); ++i) {
        const auto b = static_cast<unsigned char>(dos[i]);
        // Control bytes stay controls, as the platform conversion leaves them.
        out[i] = (b < 0x20 || b == 0x7F) ? char(b) : char(unicodeToCp1252(kCp437[b]));
    }
    return out;
}

std::string ansiToOem(std::string_view windows) {
    std::string out(windows.size(), '\0');
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const auto b = static_cast<unsigned char>(windows[i]);
        out[i] = b < 0x80 ? char(b) : char(unicodeToCp437(cp1252ToUnicode(b)));
    }
    return out;
}

QString dosToUnicode(std::string_view dos) {
    QString s;
    s.reserve(qsizetype(dos.size()));
    for (char c : dos)
        s.append(QChar(kCp437[static_cast<unsigned char>(c)]));
    return s;
}

QString dosTextToUnicode(std::string_view dos) {
    QString s;
    s.reserve(qsizetype(dos.size()));
    for (char c : dos) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\n' || b == '\r' || b == '\t')
            s.append(QChar(char16_t(b)));
        else
            s.append(QChar(kCp437[b]));
    }
    return s;
}

QString windowsToUnicode(std::string_view windows) {
    QString s;
    s.reserve(qsizetype(windows.size()));
    for (char c : windows)
        s.append(QChar(char16_t(cp1252ToUnicode(static_cast<unsigned char>(c)))));
    return s;
}

QString dosForDisplay(std::string_view dos, bool terminalFont) {
    return terminalFont ? dosTextToUnicode(dos) : windowsToUnicode(oemToAnsi(dos));
}

std::string unicodeToDos(const QString& text) {
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (char32_t u : text.toUcs4())
        out.push_back(char(unicodeToCp437(u)));
    return out;
}

std::string unicodeToWindows(const QString& text) {
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (char32_t u : text.toUcs4())
        out.push_back(char(unicodeToCp1252(u)));
    return out;
}

QString decodeUserText(const QByteArray& bytes) {
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (!decoder.hasError())
        return text;
    return windowsToUnicode(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

std::size_t utf8SequenceLength(std::string_view s, std::size_t i, char32_t* out) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    std::size_t length = 0;
    char32_t u = 0;
    char32_t least = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        u = b & 0x1F;
        least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        u = b & 0x0F;
        least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        u = b & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char c = byte(i + k);
        if ((c & 0xC0) != 0x80)
            return 0;
        u = (u << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are no characters.
    if (u < least || (u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF)
        return 0;
    if (out)
        *out = u;
    return length;
}

QString utf8TextToUnicode(std::string_view bytes) {
    QString s;
    s.reserve(qsizetype(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            s.append(b == '\n' || b == '\r' || b == '\t' ? QChar(char16_t(b)) : QChar(kCp437[b]));
            ++i;
            continue;
        }
        char32_t u = 0;
        if (const std::size_t n = utf8SequenceLength(bytes, i, &u)) {
            s.append(QString::fromUcs4(&u, 1));
            i += n;
        } else {
            s.append(QChar(kCp437[b]));
            ++i;
        }
    }
    return s;
}

QString dosLineForDisplay(std::string_view line) {
    QString out;
    out.reserve(qsizetype(line.size()));
    for (const char c : line)
        out.append(c == '\t' ? QChar(u'\t') : QChar(kCp437[static_cast<unsigned char>(c)]));
    return out;
}

// « » à â ä å ç è é ê ë ì î ï ò ô ö ù û ü
const std::array<LatinToDosRow, 20> LatinToDosTable = {{
    {0xAB, "AB", 0xAE}, {0xBB, "BB", 0xAF}, {0xE0, "E0", 0x85}, {0xE2, "E2", 0x83},
    {0xE4, "E4", 0x84}, {0xE5, "E5", 0x86}, {0xE7, "E7", 0x87}, {0xE8, "E8", 0x8A},
    {0xE9, "E9", 0x82}, {0xEA, "EA", 0x88}, {0xEB, "EB", 0x89}, {0xEC, "EC", 0x8D},
    {0xEE, "EE", 0x8C}, {0xEF, "EF", 0x8B}, {0xF2, "F2", 0x95}, {0xF4, "F4", 0x93},
    {0xF6, "F6", 0x94}, {0xF9, "F9", 0x97}, {0xFB, "FB", 0x96}, {0xFC, "FC", 0x81},
}};

std::optional<unsigned char> latinToDos(unsigned char iso) {
    for (const LatinToDosRow& row : LatinToDosTable) {
        if (row.iso == iso)
            return row.dos;
    }
    return std::nullopt;
}

std::optional<unsigned char> quotedPrintableToDos(char high, char low) {
    for (const LatinToDosRow& row : LatinToDosTable) {
        if (row.code[0] == high && row.code[1] == low)
            return row.dos;
    }
    return std::nullopt;
}

const std::array<KeyboardRow, 21> KeyboardTable = {{
    {0xB2, 0xFD}, {0xB0, 0xF8}, {0xE9, 0x82}, {0xE8, 0x8A}, {0xE7, 0x87}, {0xE0, 0x85},
    {0xF9, 0x97}, {0xA3, 0x9C}, {0xB5, 0xE6}, {0xA7, 0xEC}, {0xA4, 0xF8}, {0xE4, 0x84},
    {0xEB, 0x89}, {0xEF, 0x8B}, {0xF6, 0x94}, {0xFC, 0x81}, {0xE2, 0x83}, {0xEA, 0x88},
    {0xEE, 0x8C}, {0xF4, 0x93}, {0xFB, 0x96},
}};

std::string keyboardToDos(std::string_view windows, std::size_t firstRow) {
    std::string out(windows);
    for (char& c : out) {
        for (std::size_t i = firstRow; i < KeyboardTable.size(); ++i) {
            if (static_cast<unsigned char>(c) == KeyboardTable[i].windows) {
                c = static_cast<char>(KeyboardTable[i].dos);
                break;
            }
        }
    }
    return out;
}

namespace {

unsigned char typedCharacterToDos(char32_t u) {
    // The table is looked up by the Windows byte, so only characters that code page 1252
    // holds exactly can match a row (one it lacks comes back as "?").
    const unsigned char windows = unicodeToCp1252(u);
    if (cp1252ToUnicode(windows) == u) {
        for (const KeyboardRow& row : KeyboardTable) {
            if (row.windows == windows)
                return row.dos;
        }
    }
    return unicodeToCp437(u);
}

} // namespace

std::string withoutMarkerBytes(std::string dos) {
    for (char& c : dos) {
        if (c == kMarkerOpen || c == kMarkerClose)
            c = '"';
        else if (c == kMarkerDefault)
            c = '!';
    }
    return dos;
}

std::string upperAsciiLetters(std::string dos) {
    for (char& c : dos) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return dos;
}

std::string nameCapitals(std::string dos) {
    for (char& c : dos) {
        const auto b = static_cast<unsigned char>(c);
        const char32_t capital = QChar::toUpper(kCp437[b]);
        if (capital == kCp437[b])
            continue;
        // A capital the DOS set cannot even approach (Greek mu) leaves the letter as it was.
        const unsigned char fit = unicodeToCp437(capital);
        if (fit != '?')
            c = char(fit);
    }
    return dos;
}

std::string withRules(std::string dos, DosInputRules rules) {
    if (rules.markersRefused)
        dos = withoutMarkerBytes(std::move(dos));
    if (rules.capitals)
        dos = nameCapitals(std::move(dos));
    return dos;
}

std::string typedToDos(const QString& typed, DosInputRules rules) {
    std::string out;
    for (const char32_t u : typed.toUcs4())
        out.push_back(char(typedCharacterToDos(u)));
    return withRules(std::move(out), rules);
}

std::string pastedToDos(QString pasted, DosInputRules rules) {
    pasted.remove(QLatin1Char('\r'));
    return withRules(unicodeToDos(pasted), rules);
}

} // namespace velk
