// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "reply/Macros.h"

#include <string>
#include <vector>

class QRandomGenerator;

namespace velk {

class Diagnostics;
struct EditorFlags;
struct ReplySession;

// The editor's text and its tagline box are plain lists of DOS lines; the window shows
// them and forwards its clicks here.
using EditorLines = std::vector<std::string>;

struct InsertionContext {
    MacroSources sources;
    int maxCar = 78;
    std::string signature = "VELK"; // the program's signature in the tagline box
    // The forwarded message's author and recipient as the viewer shows them.
    std::string shownAuthor;
    std::string shownRecipient;
};

inline const std::string kHyphenLine(59, '-');

// The lines of a library text (CR LF ends), each cut to MaxCar - 1 characters when longer
// than MaxCar.
EditorLines LibraryTextLines(std::string_view text, int maxCar);

// The header at the top, a line of one space, and the forward block when forwarding.
void InsereEntete(const std::string& entryText, const InsertionContext& context,
                  const EditorFlags& flags, EditorLines& lines);
// Closes a forward block (clearing ForwardFlag), then an empty line and the footer.
void AddPdp(const std::string& entryText, const InsertionContext& context, EditorFlags& flags,
            EditorLines& lines);
// Replaces the box with the signature line and the tagline, for each of its lines.
void UpdateTagLine(const std::string& entryText, const InsertionContext& context,
                   EditorLines& tagBox);

// The automatic dressing of a message: default header and footer, then the default tagline
// or one picked at random. Reloads the three libraries; throws VelkError when one cannot be
// read or a macro's date cannot be.
void LettreType(ReplySession& session, Diagnostics& said, const InsertionContext& context,
                EditorFlags& flags, EditorLines& lines, EditorLines& tagBox,
                QRandomGenerator& random);

} // namespace velk
