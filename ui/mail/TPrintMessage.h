// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/UiServices.h"
#include "mail/MessageExport.h"

#include <QFont>
#include <QString>
#include <QStringList>

class QPrinter;

namespace velk {

struct Session;

// The printer pixel of the line-height setting is 1/600 inch: its default of 80 pixels
// and 66 lines per page fill a Letter or A4 sheet.
inline constexpr int kPrinterResolution = 600;
void setUpMessagePrinter(QPrinter& printer);

// Shows the print dialog and prints the message. Cancelling does nothing; a failure
// shows its message. Returns whether the message was printed.
bool PrintMessage(Session& session, UiServices& ui, QPrinter& printer, const ExportSource& source);

// The viewer's "&Imprimer": its shown body lines, subject and conference labels and its
// default font.
bool printViewerMessage(Session& session, UiServices& ui, const QStringList& shownLines,
                        const QString& subject, const QString& conference, const QFont& windowFont);

} // namespace velk
