// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessagePrint.h"

#include "core/CharacterSet.h"
#include "core/VelkError.h"
#include "mail/MailSession.h"
#include "packet/MessageHeader.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velk {

namespace {

QString field(std::string_view dos, std::size_t width) {
    return headerFieldText(padRight(dos, width));
}

// Tab stops every eight blanks of the printer font line the header's values up.
void drawTabbed(QPainter& painter, const QFontMetricsF& metrics, qreal top, const QString& text) {
    const qreal tabStop = 8 * metrics.horizontalAdvance(u' ');
    const qreal baseline = top + metrics.ascent();
    qreal x = 0;
    const QStringList parts = text.split(u'\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            x = (std::floor(x / tabStop) + 1) * tabStop;
        painter.drawText(QPointF(x, baseline), parts[i]);
        x += metrics.horizontalAdvance(parts[i]);
    }
}

VelkError printFailure() {
    return VelkError(QStringLiteral("Impossible d'imprimer ce message."));
}

} // namespace

QString ToPrintCharset(const QString& line, bool fontNotTerminal) {
    if (fontNotTerminal)
        return line;
    return windowsToUnicode(oemToAnsi(unicodeToDos(line)));
}

QStringList printHeaderLines(const MailSession& session, const QString& subject,
                             const QString& conference) {
    const MessageHeader& h = session.store.CurrentHeader;
    const std::string& bbs = session.packet.control.BbsName;
    QStringList lines;
    lines << QString(79, u'=');
    lines << QStringLiteral(" BBS: \t") +
                 headerFieldText(bbs.substr(0, std::min<std::size_t>(40, bbs.size())));
    lines << QStringLiteral(" Date: \t") + field(h.date, HeaderField::Date) + u' ' +
                 QChar(cp437ToUnicode(0x85)) + u' ' + field(h.time, HeaderField::Time);
    lines << QStringLiteral(" De: \t\t") +
                 fullHeaderField(h, h.author, h.longFields.author, HeaderField::Author);
    lines << QStringLiteral(" A: \t\t") +
                 fullHeaderField(h, h.recipient, h.longFields.recipient, HeaderField::Recipient);
    lines << QStringLiteral(" Sujet: \t") + subject;
    lines << QStringLiteral(" Conf.: \t") + conference;
    lines << QString(79, u'=');
    return lines;
}

QStringList printedLines(const MailSession& session, const ExportSource& source) {
    // A UTF-8 message is shown in its own characters, which the printer font draws as they are.
    const bool fontNotTerminal =
        session.settings.fontNotTerminal || session.store.CurrentHeader.longFields.utf8;
    QStringList lines;
    // Every header line is converted, the conference's too: its name is DOS text as well.
    for (const QString& line : printHeaderLines(session, source.subject, source.conference))
        lines << ToPrintCharset(line, fontNotTerminal);
    for (const QString& line : source.bodyLines)
        lines << ToPrintCharset(line, fontNotTerminal);
    return lines;
}

std::vector<PrintedPage> layoutPrintedPages(int lineCount, int lineHeight, int linesPerPage,
                                            int pageHeight) {
    const qint64 b = lineHeight < 1 ? kDefaultPrintLineHeight : lineHeight;
    const qint64 pageEnd = qint64(linesPerPage) * b;
    std::vector<PrintedPage> pages;
    if (lineCount <= 0)
        return pages;
    pages.emplace_back();
    qint64 y = 0;
    for (int i = 0; i < lineCount; ++i) {
        pages.back().push_back({i, int(y)});
        y += b;
        const bool bodyBreak = i >= kPrintHeaderLines && y > pageEnd;
        const bool offPaper = pageHeight > 0 && y + b > pageHeight;
        // No page is started for nothing: a last line that fills a page ends the job there.
        if ((bodyBreak || offPaper) && i + 1 < lineCount) {
            pages.emplace_back();
            y = 0;
        }
    }
    return pages;
}

QFont printFont() {
    return QFont(QStringLiteral("Times New Roman"), 11);
}

void drawPrintedPages(QPagedPaintDevice& device, const QStringList& lines, int lineHeight,
                      int linesPerPage) {
    const std::vector<PrintedPage> pages =
        layoutPrintedPages(int(lines.size()), lineHeight, linesPerPage, device.height());
    QPainter painter;
    if (!painter.begin(&device))
        throw printFailure();
    const QFont font(printFont(), &device);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !device.newPage()) {
            painter.end();
            throw printFailure();
        }
        for (const PlacedLine& placed : pages[p])
            drawTabbed(painter, metrics, placed.y, lines[placed.line]);
    }
    if (!painter.end())
        throw printFailure();
}

} // namespace velk
