// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/MessageExport.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;

namespace velk {

struct MailSession;

// The header block of a printed message: eight lines at the top of the first page.
inline constexpr int kPrintHeaderLines = 8;
// What a line height below one pixel prints with: the setting's default.
inline constexpr int kDefaultPrintLineHeight = 80;

// Text for the printer font: the DOS font's characters become those of the Windows set
// (box drawing as + - |); text already in the Windows set is left as it is.
QString ToPrintCharset(const QString& line, bool fontNotTerminal);

// The header block as printed, before ToPrintCharset.
QStringList printHeaderLines(const MailSession& session, const QString& subject,
                             const QString& conference);
// Every printed line, header first, converted for the printer font.
QStringList printedLines(const MailSession& session, const ExportSource& source);

struct PlacedLine {
    int line; // index in the printed lines
    int y;    // top of the line, in printer pixels from the top of the page
};
using PrintedPage = std::vector<PlacedLine>;

// Which line goes on which page and where. A page takes lines down to linesPerPage ×
// lineHeight; pages after the first carry body lines only. `pageHeight` (0: unknown)
// starts a new page before a line that would fall off the paper.
std::vector<PrintedPage> layoutPrintedPages(int lineCount, int lineHeight, int linesPerPage,
                                            int pageHeight = 0);

// "Times New Roman", 11 points, whatever the message font.
QFont printFont();

// Draws the lines page by page at the left edge of the device. Throws VelkError when the
// device cannot be drawn on or cannot start a page.
void drawPrintedPages(QPagedPaintDevice& device, const QStringList& lines, int lineHeight,
                      int linesPerPage);

} // namespace velk
