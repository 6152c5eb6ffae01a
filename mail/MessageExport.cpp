// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessageExport.h"

#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "mail/MailSession.h"
#include "packet/MessageHeader.h"

#include <QFileInfo>
#include <QLocale>
#include <QTextLayout>

#include <algorithm>

namespace velk {

namespace {

// The DOS letter à the date lines carry between date and time.
const QString kDateTimeJoin = QStringLiteral(" ") + QChar(cp437ToUnicode(0x85)) + u' ';

QString field(std::string_view dos, std::size_t width) {
    return headerFieldText(padRight(dos, width));
}

QString cut(std::string_view dos, std::size_t width) {
    return headerFieldText(dos.substr(0, std::min(width, dos.size())));
}

} // namespace

QString fullHeaderField(const MessageHeader& h, const std::string& dos, const std::string& full,
                        std::size_t width) {
    if (full.empty() && !h.longFields.utf8)
        return field(dos, width);
    return messageCharacters(h, full.empty() ? unpadded(dos) : full)
        .leftJustified(qsizetype(width));
}

namespace {} // namespace

QStringList wrapLines(const QStringList& lines, const QFont& font, int widthPixels) {
    QStringList out;
    for (const QString& line : lines) {
        if (line.isEmpty()) {
            out.append(line);
            continue;
        }
        QTextLayout layout(line, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine piece = layout.createLine(); piece.isValid(); piece = layout.createLine()) {
            piece.setLineWidth(qMax(1, widthPixels));
            out.append(line.mid(piece.textStart(), piece.textLength()));
        }
        layout.endLayout();
    }
    return out;
}

ExportSource viewerSource(const QStringList& shownLines, const QString& subject,
                          const QString& conference, const QFont& windowFont, int widthPixels) {
    ExportSource source;
    source.bodyLines = wrapLines(shownLines, windowFont, widthPixels);
    source.subject = subject;
    source.conference = conference;
    return source;
}

QString headerFieldText(std::string_view dos) {
    QString s = dosToUnicode(dos);
    s.replace(QChar(u'\0'), QChar(u' '));
    return s;
}

QStringList exportHeaderLines(const MailSession& session, ExportMode mode, const QString& subject,
                              const QString& conference, const QDateTime& now) {
    const MessageHeader& h = session.store.CurrentHeader;
    const PacketControl& control = session.packet.control;
    QStringList lines;
    lines << QString(79, u'=');
    lines << QStringLiteral("  BBS: ") + cut(control.BbsName, 40);
    if (mode == ExportMode::Viewer) {
        lines << QStringLiteral(" Date: ") + field(h.date, HeaderField::Date) + kDateTimeJoin +
                     field(h.time, HeaderField::Time);
        lines << QStringLiteral("   De: ") +
                     fullHeaderField(h, h.author, h.longFields.author, HeaderField::Author);
        lines << QStringLiteral("    A: ") + fullHeaderField(h, h.recipient, h.longFields.recipient,
                                                             HeaderField::Recipient);
    } else {
        const QLocale french(QLocale::French, QLocale::France);
        lines << QStringLiteral(" Date: ") +
                     french.toString(now.date(), QStringLiteral("d MMMM yyyy")) + kDateTimeJoin +
                     now.time().toString(QStringLiteral("hh:mm"));
        lines << QStringLiteral("   De: ") + cut(control.UserName, 50);
        lines << QStringLiteral("    A: ") + field(h.author, HeaderField::Author);
    }
    lines << QStringLiteral("Sujet: ") + subject;
    lines << QStringLiteral("Conf.: ") + conference;
    lines << QString(80, u'-');
    return lines;
}

QStringList exportLines(const MailSession& session, ExportMode mode, const ExportSource& source,
                        const QDateTime& now) {
    QStringList lines = exportHeaderLines(session, mode, source.subject, source.conference, now);
    if (mode == ExportMode::Editor) {
        lines << source.bodyLines << source.closingLines;
        return lines;
    }
    const QString indent(kViewerIndent, u' ');
    for (const QString& shown : source.bodyLines) {
        // Only a line's first piece carries the indent: the rest of a wrapped line is text.
        const QString text = shown.startsWith(indent) ? shown.mid(kViewerIndent) : shown;
        if (text.isEmpty())
            lines << text;
        // A longer line goes on over the next lines rather than losing its end.
        for (qsizetype at = 0; at < text.size(); at += kMaxExportLine)
            lines << text.mid(at, kMaxExportLine);
    }
    return lines;
}

QByteArray exportBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

FileDialogRequest exportDialogRequest(const Settings& settings) {
    FileDialogRequest request;
    request.title = QStringLiteral("Exportation d'un message");
    request.directory = settings.velkPath;
    request.fileName = QStringLiteral("*.TXT");
    request.filters = {QStringLiteral("Fichiers texte (*.TXT)")};
    request.confirmOverwrite = false; // the message is added to a file that exists
    return request;
}

void appendToTextFile(const QString& path, const QByteArray& block) {
    QByteArray data;
    if (QFileInfo::exists(path))
        data = readWholeFile(path);
    data += block;
    writeFileAtomically(path, data);
}

bool ExportMessage(MailSession& session, UiServices& ui, ExportMode mode,
                   const ExportSource& source, const QDateTime& now) {
    const std::optional<QString> path = ui.saveFileName(exportDialogRequest(session.settings));
    if (!path || path->isEmpty())
        return false;
    const bool written = runAction(ui, [&] {
        BusyCursor busy(ui);
        appendToTextFile(*path, exportBytes(exportLines(session, mode, source, now)));
    });
    if (written)
        ui.message(QStringLiteral("Message sauvegardé."), MessageKind::Information,
                   QStringLiteral("Confirmation"));
    return written;
}

bool exportViewerMessage(MailSession& session, UiServices& ui, const QStringList& shownLines,
                         const QString& subject, const QString& conference,
                         const QFont& windowFont) {
    return ExportMessage(
        session, ui, ExportMode::Viewer,
        viewerSource(shownLines, subject, conference, windowFont, kExportWrapWidth));
}

} // namespace velk
