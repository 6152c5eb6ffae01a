// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/UiServices.h"

#include <QByteArray>
#include <QDateTime>
#include <QFont>
#include <QString>
#include <QStringList>

#include <string_view>

namespace velk {

struct MailSession;
struct MessageHeader;
struct Settings;

// The viewer shows the message it reads; the editor exports what is being written, under
// the user's own name and the time of writing.
enum class ExportMode { Viewer, Editor };

// What the caller hands over, as its controls hold it (Unicode, as shown).
struct ExportSource {
    QStringList bodyLines;    // viewer mode: each one starting with the viewer's indent
    QString subject;          // text of the subject field
    QString conference;       // text of the conference label or item
    QStringList closingLines; // editor mode only: the two lines of the tagline box
};

// The viewer lays its body out in a hidden area of these widths before exporting or
// printing it, so a long line goes out as several.
inline constexpr int kExportWrapWidth = 700;
inline constexpr int kPrintWrapWidth = 737;
// The indent the viewer puts before each body line, which the export drops again.
inline constexpr int kViewerIndent = 6;
// The longest line an export writes; a longer one goes on over the next lines.
inline constexpr int kMaxExportLine = 200;

// Breaks each line at word boundaries (anywhere within a word wider than the width) so
// that it fits `widthPixels` in `font`. Blanks stay at the end of the piece they follow,
// so only a line's first piece can start with the viewer's indent.
QStringList wrapLines(const QStringList& lines, const QFont& font, int widthPixels);

// The source of a viewer export or print: the shown lines laid out at the width, in the
// window's default font.
ExportSource viewerSource(const QStringList& shownLines, const QString& subject,
                          const QString& conference, const QFont& windowFont, int widthPixels);

// Header bytes as text: each DOS byte as its code page 437 character, a NUL as a blank.
QString headerFieldText(std::string_view dos);
// A name of the current message as export and printing write it: the field of `width`
// characters, or the board's full value (at least `width` characters) when it gave one; in
// the message's character set.
QString fullHeaderField(const MessageHeader& header, const std::string& field,
                        const std::string& full, std::size_t width);

// The eight lines that open an exported message.
QStringList exportHeaderLines(const MailSession& session, ExportMode mode, const QString& subject,
                              const QString& conference, const QDateTime& now);
// Every line the export writes, header first.
QStringList exportLines(const MailSession& session, ExportMode mode, const ExportSource& source,
                        const QDateTime& now);
// The lines as the file receives them: UTF-8, each ended by CR LF.
QByteArray exportBytes(const QStringList& lines);

// The save dialog of the export: the user chooses a text file to create or to add to.
FileDialogRequest exportDialogRequest(const Settings& settings);

// Adds `block` at the end of the file, creating it when there is none. The file is
// rewritten through a temporary file and a rename: a failure leaves it as it was.
// Throws VelkError with the runtime's message.
void appendToTextFile(const QString& path, const QByteArray& block);

// Asks for the file, writes the message and confirms. Cancelling does nothing; a write
// error shows its message and no confirmation. Returns whether the message was written.
bool ExportMessage(MailSession& session, UiServices& ui, ExportMode mode,
                   const ExportSource& source, const QDateTime& now = QDateTime::currentDateTime());

// The viewer's "&Exporter": its shown body lines, subject and conference labels and its
// default font.
bool exportViewerMessage(MailSession& session, UiServices& ui, const QStringList& shownLines,
                         const QString& subject, const QString& conference,
                         const QFont& windowFont);

} // namespace velk
