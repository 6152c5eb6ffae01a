// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TPrintMessage.h"

#include "core/ActionGuard.h"
#include "mail/MessagePrint.h"
#include "session/Session.h"

#include <QPrinter>

namespace velk {

void setUpMessagePrinter(QPrinter& printer) {
    printer.setResolution(kPrinterResolution);
    printer.setDocName(QStringLiteral("Message"));
}

bool PrintMessage(Session& session, UiServices& ui, QPrinter& printer, const ExportSource& source) {
    if (!ui.choosePrinter(printer))
        return false;
    return runAction(ui, [&] {
        BusyCursor busy(ui);
        drawPrintedPages(printer, printedLines(session, source), session.settings.lineHeight,
                         session.settings.linesPerPage);
    });
}

bool printViewerMessage(Session& session, UiServices& ui, const QStringList& shownLines,
                        const QString& subject, const QString& conference,
                        const QFont& windowFont) {
    QPrinter printer(QPrinter::HighResolution);
    setUpMessagePrinter(printer);
    return PrintMessage(session, ui, printer,
                        viewerSource(shownLines, subject, conference, windowFont, kPrintWrapWidth));
}

} // namespace velk
