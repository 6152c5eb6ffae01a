// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "reply/TextInsertion.h"

#include <string>
#include <string_view>

namespace velk {

// What a message text has said about itself so far: once on, a switch stays on for the rest
// of the message.
struct PrepareLineSwitches {
    bool quotedPrintable = false;
    bool newsMessage = false;
    bool isoConversion = false;
};

// One line of a message on its way into the editor: tabs expanded (stops every 8 columns),
// quoted-printable codes and ISO letters turned into DOS letters once the text asked for it.
std::string PrepareLine(std::string_view line, PrepareLineSwitches& switches);

// The lines of MessageText (LF ends; CR dropped; the end after a last LF makes no line).
EditorLines MessageTextLines(std::string_view text);

// An answer's quotation: a line of one space and an empty line stay, every other line gets
// the prefix, cut first so that it stays within maxCar.
std::string QuoteLine(const std::string& line, const std::string& prefix, int maxCar);

// Paragraphs as the text area holds them, cut into the lines it shows and stores: at most
// maxCar characters, broken after the last blank that fits, inside a word when none does.
EditorLines WrapLines(const EditorLines& paragraphs, int maxCar);

// Two capitals (maybe after one blank) followed within two places by ">", "|" or "[".
bool IsQuotationLine(std::string_view dosLine);

} // namespace velk
