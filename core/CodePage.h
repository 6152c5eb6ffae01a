// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <string>
#include <string_view>

// The model keeps texts as DOS bytes (code page 437); these are the only crossings to
// Unicode and to the Windows set (code page 1252). A character missing from the target
// set takes its best fit: the accent stripped, box drawing as + - | =, else "?".

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

// Text a board marks as UTF-8. A byte that starts no valid sequence (a field cut in the
// middle of a character, a stray DOS letter) shows as its code page 437 glyph, so nothing
// is lost; line ends and tabs stay controls.
QString utf8TextToUnicode(std::string_view bytes);
