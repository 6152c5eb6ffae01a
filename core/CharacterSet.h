// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velk {

// The model keeps texts as DOS bytes (code page 437); this module holds every crossing to
// Unicode, to the Windows set (code page 1252), from ISO letters and from what the user
// types or pastes. A character missing from the target set takes its best fit: the accent
// stripped, box drawing as + - | =, else "?".

char32_t cp437ToUnicode(unsigned char b);
char32_t cp1252ToUnicode(unsigned char b);
unsigned char unicodeToCp437(char32_t u);
unsigned char unicodeToCp1252(char32_t u);

// The platform's OEM/ANSI conversions, byte for byte.
std::string oemToAnsi(std::string_view dos);
std::string ansiToOem(std::string_view windows);

// Every byte as its code page 437 glyph, control bytes included (screen files).
QString dosToUnicode(std::string_view dos);
// Message text: line ends and tabs stay controls, every other byte is its glyph.
QString dosTextToUnicode(std::string_view dos);
QString windowsToUnicode(std::string_view windows);
// What a text field shows: the glyphs in the DOS font, the converted text in any other font.
QString dosForDisplay(std::string_view dos, bool terminalFont);

std::string unicodeToDos(const QString& text);
std::string unicodeToWindows(const QString& text);

// A user's own text file: UTF-8 when it is valid UTF-8, else code page 1252.
QString decodeUserText(const QByteArray& bytes);

// The length of the valid UTF-8 sequence starting at `i` (its character in `out` when
// given), or 0 when none starts there: overlong forms, surrogates and values past Unicode
// are no characters.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i, char32_t* out = nullptr);

// Text a board marks as UTF-8. A byte that starts no valid sequence (a field cut in the
// middle of a character, a stray DOS letter) shows as its code page 437 glyph, so nothing
// is lost; line ends and tabs stay controls.
QString utf8TextToUnicode(std::string_view bytes);

// One line as a text box shows it: every byte its glyph, tabs kept as tabs.
QString dosLineForDisplay(std::string_view line);

// An ISO-8859-1 letter that boards send in news and quoted-printable mail, its
// quoted-printable code (capitals) and the DOS byte shown in its place.
struct LatinToDosRow {
    unsigned char iso;
    char code[3];
    unsigned char dos;
};

extern const std::array<LatinToDosRow, 20> LatinToDosTable;

// The DOS byte for an ISO byte of the table.
std::optional<unsigned char> latinToDos(unsigned char iso);
// The DOS byte for the two characters after a "=", when they are one of the table's codes.
std::optional<unsigned char> quotedPrintableToDos(char high, char low);

// A typed Windows character and the DOS byte stored in its place.
struct KeyboardRow {
    unsigned char windows;
    unsigned char dos;
};

// ² ° é è ç à ù £ µ § ¤ ä ë ï ö ü â ê î ô û, in that order.
extern const std::array<KeyboardRow, 21> KeyboardTable;

// Every byte found in the table's Windows row from `firstRow` on takes its DOS byte; the
// others stay as they are.
std::string keyboardToDos(std::string_view windows, std::size_t firstRow = 0);

// What a text box refuses of the text typed or pasted into it.
struct DosInputRules {
    bool capitals = false;       // letters become capitals (names, see nameCapitals)
    bool markersRefused = false; // library texts: the marker bytes cannot come in
};

// The bytes a library file uses to open an entry, mark the default one and close it.
constexpr char kMarkerOpen = char(0xAE);    // «
constexpr char kMarkerDefault = char(0xAD); // ¡
constexpr char kMarkerClose = char(0xAF);   // »

// Typed text: each character its keyboard-table DOS byte when it has one, else its code
// page 437 byte or best fit; then the rules.
std::string typedToDos(const QString& typed, DosInputRules rules = {});
// Pasted text, or text already shown in glyphs: code page 437 byte or best fit, carriage
// returns dropped; then the rules.
std::string pastedToDos(QString pasted, DosInputRules rules = {});
std::string withRules(std::string dos, DosInputRules rules);

// The marker bytes would end or open an entry when a library file is read back: « and »
// become a plain double quote, ¡ an exclamation mark.
std::string withoutMarkerBytes(std::string dos);
// Names are kept in capitals: a to z only, accented letters stay.
std::string upperAsciiLetters(std::string dos);
// A name in capitals as boards keep them: each letter's Unicode capital in the DOS set, its
// best fit where the set lacks it ("è" gives "E", "é" gives "É").
std::string nameCapitals(std::string dos);

} // namespace velk
