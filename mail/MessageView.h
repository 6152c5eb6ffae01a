// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QDate>
#include <QFont>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

struct MessageHeader;
struct PacketControl;
struct MailSession;

// Every body line is shown after this indent, which export and printing drop again.
inline constexpr int kBodyIndent = 6;
// A line longer than this is shown over several lines.
inline constexpr std::size_t kMaxBodyLine = 255;
// The body shows no more lines than this: a hostile text of nothing but line feeds would
// otherwise hold the program for minutes.
inline constexpr std::size_t kMaxBodyLines = 65535;

// The body as DOS bytes, line by line: tabs expanded, and quoted-printable codes or ISO
// letters turned into DOS letters once the message has said it carries them. The body of a
// UTF-8 message keeps its UTF-8 bytes, with no such conversion, and no line is cut inside
// a character.
struct MessageBody {
    std::vector<std::string> lines; // never empty: an empty text is one blank line
    bool cut = false;               // the text had more than kMaxBodyLines lines
    bool isoConversion = false;     // a news message: its header block is scrolled past
    bool utf8 = false;
};
MessageBody decodeMessageBody(std::string_view text, bool utf8 = false);

// Each tab becomes the spaces up to the next stop (columns 9, 17, 25 ...); in UTF-8 a
// character counts one column whatever its bytes.
std::string expandTabs(std::string_view line, bool utf8 = false);
// Every "=" followed by a code of LatinToDosTable becomes that DOS letter; any other "="
// (a soft line break, "=3D", a code cut by the end of the line) stays as it is.
void decodeQuotedPrintable(std::string& line);
// Every ISO letter of LatinToDosTable becomes its DOS letter.
void convertIsoLetters(std::string& line);

// The line as the body shows it: the indent, then the DOS bytes as the DOS font draws
// them, or converted to the Windows set for any other font. A NUL shows as a blank.
QString shownBodyLine(std::string_view dosLine, bool fontNotTerminal);
// A line of a UTF-8 message: the indent, then its characters, in any font.
QString shownUtf8BodyLine(std::string_view utf8Line);
// Initials (two capitals, maybe after one blank) followed within two places by ">", "|"
// or "[": a quotation, shown in the quote colour. `shown` starts with the indent.
bool isQuotationLine(const QString& shown);

// "25 décembre 1996  à 10:30"; a date that is none shows as "  /  /  ".
QString messageDateText(const std::string& date, const std::string& time,
                        const QDate& today = QDate::currentDate());
// Position in the conference table of the last conference with this number; 0 when none.
int conferencePosition(const PacketControl& control, std::uint16_t number);
// Header bytes as the DOS font draws them (NUL as a blank).
QString dosLabelText(std::string_view dos);

struct ShownLine {
    QString text; // with its indent
    bool quoted = false;
};

// Everything the viewer shows for CurrentHeader and MessageText.
struct MessageView {
    bool privateMessage = false;
    QString ChStatut; // "Privé" on red, "Public" on the button face
    QString ChDate;
    QString ChAuteur, ChDest, ChSujet; // in the DOS font
    QString chConf;                    // in the DOS font
    bool numberVisible = true;         // packet mode only
    QString chNum;
    QString NbLabel;
    QString NbLignesLabel;

    // The names shown, in the DOS set, for ShownAuthor and ShownRecipient: the header's
    // fields, or the board's long values when it gave some.
    std::string shownAuthor;
    std::string shownRecipient;
    int conference = 0; // becomes CurrentConference

    MessageBody body;             // the DOS lines shown
    std::vector<ShownLine> lines; // the same, as shown in the font
    // A news message: how many lines to scroll so that its own text is at the top.
    std::optional<int> scrollLines;

    // A UTF-8 message shows in the message font helped by others for the characters that the
    // DOS font lacks.
    QFont font;
    bool fontNotTerminal = true;
    bool utf8 = false;
    QColor ink, quote, background;
};

inline const QColor kPrivateStatusColour = QColor(255, 0, 0);

// Builds the view of the session's current message in the viewer's mode, without
// changing the session.
MessageView buildMessageView(const MailSession& session, const QDate& today = QDate::currentDate());

// The body lines again after a change of font, with their quotation marks.
std::vector<ShownLine> shownBodyLines(const MessageBody& body, bool fontNotTerminal);

// What the clipboard receives for a selection of the body: DOS text as its code page 437
// characters. In another font the selection is Windows text, turned back into DOS first;
// a UTF-8 message's characters go as they are. Paragraph separators become line feeds.
QString clipboardText(const QString& selection, bool fontNotTerminal, bool utf8 = false);
void copyToClipboard(const QString& selection, bool fontNotTerminal, bool utf8 = false);

} // namespace velk
