// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

// Library texts are DOS bytes; the editors show them as code page 437 glyphs. These are the
// crossings between what the user types or pastes and the bytes of an entry.

// A typed character: its keyboard-table DOS byte when it has one, else its code page 437
// byte or best fit. The entry markers never come out (see withoutEntryMarkers).
std::string typedToDos(const QString& typed);

// Text that is already shown in glyphs, or pasted: code page 437 byte or best fit, without
// the entry markers.
std::string glyphsToDos(const QString& shown);

// The three marker bytes would end or open an entry when the file is read back: « and »
// become a plain double quote, ¡ an exclamation mark.
std::string withoutEntryMarkers(std::string dos);

// The correspondent editor keeps names in capitals: a to z only, accented letters stay.
void upperAsciiLetters(std::string& dos);

// One line of an entry as the editor shows it: glyphs, tabs kept as tabs.
QString dosLineForDisplay(std::string_view line);

// An entry's text cut into its lines (CR LF or LF ends a line; the end after the last line
// makes no extra empty line).
std::vector<std::string> entryLines(std::string_view text);
// The lines back into an entry text, each followed by CR LF.
std::string joinEntryLines(const std::vector<std::string>& lines);

// The first line of a text (up to the first CR or LF), at most `width` bytes.
std::string firstLine(std::string_view text, std::size_t width);
