// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessageView.h"

#include "core/CharacterSet.h"
#include "core/PacketDate.h"
#include "core/SettingsAppearance.h"
#include "core/SettingsFile.h"
#include "core/TextHelpers.h"
#include "mail/MailSession.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <array>

namespace velk {

namespace {

// What each DOS byte shows as in a font other than the DOS one: the Windows letter of the
// platform's conversion; a control byte, which that conversion leaves as it is, takes the
// nearest Windows letter of its DOS glyph so that no control reaches the text field.
const std::array<char16_t, 256>& windowsGlyphs() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[b] = char16_t(cp1252ToUnicode(unicodeToCp1252(cp437ToUnicode(char(b)))));
        t[0] = u' ';
        return t;
    }();
    return table;
}

bool isCapital(QChar c) {
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

// The next line from `p`: CR dropped, the LF ending it consumed; a line reaching the
// longest shown length continues on the next line without losing a byte.
bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string takeLine(std::string_view text, std::size_t& p, bool utf8) {
    std::string line;
    const std::size_t n = text.size();
    while (p < n && line.size() < kMaxBodyLine) {
        const char c = text[p++];
        if (c == '\n')
            return line;
        if (c != '\r')
            line.push_back(c);
    }
    if (utf8 && p < n && isContinuation(text[p])) {
        // The character cut by the length limit goes whole to the next line.
        std::size_t k = 1;
        while (k < 4 && k < line.size() && isContinuation(text[p - k]))
            ++k;
        if (k < line.size() && !isContinuation(text[p - k])) {
            line.resize(line.size() - k);
            p -= k;
            return line;
        }
    }
    while (p < n && text[p] == '\r')
        ++p;
    if (p < n && text[p] == '\n')
        ++p;
    return line;
}

bool isBlank(const QString& line) {
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c == QLatin1Char(' '); });
}

bool startsNear(const std::string& line, std::string_view word) {
    const std::size_t at = line.find(word);
    return at == 0 || at == 1;
}

// A header field in the panel: the board's full value when it gave one, else the field.
QString shownField(const MessageHeader& h, const std::string& field, const std::string& full) {
    const std::string_view bytes = full.empty() ? std::string_view(field) : std::string_view(full);
    return h.longFields.utf8 ? messageCharacters(h, bytes) : dosLabelText(bytes);
}

// The same in the DOS set, for the editor's quoting and forwarding.
std::string shownName(const MessageHeader& h, const std::string& field, const std::string& full) {
    if (full.empty() && !h.longFields.utf8)
        return field;
    return messageBytesInDos(h, full.empty() ? unpadded(field) : full);
}

} // namespace

std::string expandTabs(std::string_view line, bool utf8) {
    std::string out;
    out.reserve(line.size());
    std::size_t column = 0;
    for (char c : line) {
        if (c == '\t') {
            out.append(8 - column % 8, ' ');
            column += 8 - column % 8;
            continue;
        }
        out.push_back(c);
        if (!utf8 || !isContinuation(c))
            ++column;
    }
    return out;
}

void decodeQuotedPrintable(std::string& line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == '=' && i + 2 < line.size()) {
            if (const auto dos = quotedPrintableToDos(line[i + 1], line[i + 2])) {
                out.push_back(char(*dos));
                i += 3;
                continue;
            }
        }
        out.push_back(line[i++]);
    }
    line = std::move(out);
}

void convertIsoLetters(std::string& line) {
    for (char& c : line) {
        if (const auto dos = latinToDos(static_cast<unsigned char>(c)))
            c = char(*dos);
    }
}

MessageBody decodeMessageBody(std::string_view text, bool utf8) {
    MessageBody body;
    body.utf8 = utf8;
    bool quotedPrintable = false;
    bool news = false;
    std::size_t p = 0;
    const std::size_t n = text.size();
    for (;;) {
        std::string line = takeLine(text, p, utf8);
        // Those switches turn Latin-1 into DOS letters: a UTF-8 text has its own characters.
        if (!utf8 && !quotedPrintable && line.find("charset=iso-8859-1") != std::string::npos)
            quotedPrintable = true;
        if (!utf8 && startsNear(line, "Newsgroups:"))
            news = true;
        if (news && startsNear(line, "Organization:"))
            body.isoConversion = true;
        line = expandTabs(line, utf8);
        if (quotedPrintable)
            decodeQuotedPrintable(line);
        if (body.isoConversion)
            convertIsoLetters(line);
        body.lines.push_back(std::move(line));
        // A last line break alone opens no further line.
        if (p >= n || (p + 1 == n && (text[p] == '\n' || text[p] == '\r')))
            break;
        if (body.lines.size() == kMaxBodyLines) {
            body.cut = true;
            break;
        }
    }
    return body;
}

QString shownBodyLine(std::string_view dosLine, bool fontNotTerminal) {
    QString s;
    s.reserve(kBodyIndent + qsizetype(dosLine.size()));
    s.fill(QLatin1Char(' '), kBodyIndent);
    if (fontNotTerminal) {
        const auto& glyphs = windowsGlyphs();
        for (char c : dosLine)
            s.append(QChar(glyphs[static_cast<unsigned char>(c)]));
    } else {
        for (char c : dosLine)
            s.append(c == '\0' ? QChar(u' ')
                               : QChar(char16_t(cp437ToUnicode(static_cast<unsigned char>(c)))));
    }
    return s;
}

QString shownUtf8BodyLine(std::string_view utf8Line) {
    QString s(kBodyIndent, QLatin1Char(' '));
    s += utf8TextToUnicode(utf8Line);
    s.replace(QChar(u'\0'), QLatin1Char(' '));
    return s;
}

bool isQuotationLine(const QString& shown) {
    qsizetype indent = 0;
    while (indent < kBodyIndent && indent < shown.size() && shown.at(indent) == QLatin1Char(' '))
        ++indent;
    // Without its whole indent the line is looked at from its start.
    const qsizetype from = indent == kBodyIndent ? kBodyIndent : 0;
    auto at = [&](qsizetype position) {
        return from + position <= shown.size() ? shown.at(from + position - 1) : QChar();
    };
    for (const QChar quote : {QLatin1Char('>'), QLatin1Char('|'), QLatin1Char('[')}) {
        if (isCapital(at(1)) && isCapital(at(2)) && (at(3) == quote || at(4) == quote))
            return true;
        if (at(1) == QLatin1Char(' ') && isCapital(at(2)) && isCapital(at(3)) &&
            (at(4) == quote || at(5) == quote))
            return true;
    }
    return false;
}

QString dosLabelText(std::string_view dos) {
    QString s = dosToUnicode(dos);
    s.replace(QChar(u'\0'), QLatin1Char(' '));
    return s;
}

QString messageDateText(const std::string& date, const std::string& time, const QDate& today) {
    const QDate d = packetDateValue(date, today);
    const QString dateText = d.isValid() ? QString::number(d.day()) + QLatin1Char(' ') +
                                               frenchMonthName(d.month()) + QLatin1Char(' ') +
                                               QString::number(d.year())
                                         : QStringLiteral("  /  /  ");
    return dateText + QStringLiteral("  à ") + dosLabelText(time);
}

int conferencePosition(const PacketControl& control, std::uint16_t number) {
    int position = 0;
    for (std::size_t i = 0; i < control.Conferences.size(); ++i) {
        if (control.Conferences[i].ConferenceNumber == number)
            position = int(i);
    }
    return position;
}

std::vector<ShownLine> shownBodyLines(const MessageBody& body, bool fontNotTerminal) {
    std::vector<ShownLine> lines;
    lines.reserve(body.lines.size());
    for (const std::string& line : body.lines) {
        ShownLine shown{body.utf8 ? shownUtf8BodyLine(line) : shownBodyLine(line, fontNotTerminal),
                        false};
        shown.quoted = isQuotationLine(shown.text);
        lines.push_back(std::move(shown));
    }
    return lines;
}

MessageView buildMessageView(const MailSession& session, const QDate& today) {
    const MessageHeader& h = session.store.CurrentHeader;
    const Settings& settings = session.settings;
    const PacketControl& control = session.packet.control;
    MessageView v;

    v.privateMessage = h.isPrivate();
    v.ChStatut = v.privateMessage ? QStringLiteral("Privé") : QStringLiteral("Public");
    v.ChDate = messageDateText(h.date, h.time, today);
    v.ChAuteur = shownField(h, h.author, h.longFields.author);
    v.ChDest = shownField(h, h.recipient, h.longFields.recipient);
    v.ChSujet = shownField(h, h.subject, h.longFields.subject);
    v.shownAuthor = shownName(h, h.author, h.longFields.author);
    v.shownRecipient = shownName(h, h.recipient, h.longFields.recipient);

    v.conference = conferencePosition(control, h.conference);
    const bool known =
        std::any_of(control.Conferences.begin(), control.Conferences.end(),
                    [&](const auto& c) { return c.ConferenceNumber == h.conference; });
    // A conference missing from the table shows its number rather than another's name.
    v.chConf = known ? dosLabelText(control.Conferences[std::size_t(v.conference)].ConferenceName)
                     : QString::number(h.conference);

    const bool replyMode = session.viewer.ReplyMode;
    v.numberVisible = !replyMode;
    v.chNum = QStringLiteral("Numéro : ") + dosLabelText(h.number);
    const int position = replyMode ? session.replies.SelectedReply.value_or(0) + 1
                                   : session.browser.CurrentListIndex + 1;
    const int total = replyMode ? session.replies.ReplyCount() : session.browser.LastListIndex + 1;
    v.NbLabel = QStringLiteral("Msg N° ") + QString::number(position) + QStringLiteral(" / ") +
                QString::number(total);

    v.utf8 = h.longFields.utf8;
    v.body = decodeMessageBody(session.store.MessageText, v.utf8);
    v.fontNotTerminal = settings.fontNotTerminal;
    v.lines = shownBodyLines(v.body, v.fontNotTerminal);
    v.NbLignesLabel = QStringLiteral("Nb de lignes : ") + QString::number(v.lines.size());

    if (v.body.isoConversion) {
        for (int i = 0; i <= 30; ++i) {
            if (std::size_t(i) >= v.lines.size() || isBlank(v.lines[std::size_t(i)].text)) {
                v.scrollLines = i + 1;
                break;
            }
        }
    }

    v.font = fontOf(settings.messageFont);
    if (v.utf8)
        v.font.setStyleStrategy(
            QFont::StyleStrategy(v.font.styleStrategy() & ~QFont::NoFontMerging));
    v.ink = colourFromWindows(settings.inkColour);
    v.quote = colourFromWindows(settings.quoteColour);
    v.background = colourFromWindows(settings.backColour);
    return v;
}

QString clipboardText(const QString& selection, bool fontNotTerminal, bool utf8) {
    QString text = selection;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    if (!fontNotTerminal || utf8)
        return text;
    return dosTextToUnicode(ansiToOem(unicodeToWindows(text)));
}

void copyToClipboard(const QString& selection, bool fontNotTerminal, bool utf8) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(clipboardText(selection, fontNotTerminal, utf8));
}

} // namespace velk
