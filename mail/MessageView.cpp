// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessageView.h"

#include "core/CodePage.h"
#include "core/LatinToDosTable.h"
#include "core/PacketDate.h"
#include "core/SettingsFile.h"
#include "core/TextHelpers.h"
#include "mail/MailSession.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <array>

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
std::string takeLine(std::string_view text, std::size_t& p) {
    std::string line;
    const std::size_t n = text.size();
    while (p < n && line.size() < kMaxBodyLine) {
        const char c = text[p++];
        if (c == '\n')
            return line;
        if (c != '\r')
            line.push_back(c);
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

} // namespace

std::string expandTabs(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c == '\t')
            out.append(8 - out.size() % 8, ' ');
        else
            out.push_back(c);
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

MessageBody decodeMessageBody(std::string_view text) {
    MessageBody body;
    bool quotedPrintable = false;
    bool news = false;
    std::size_t p = 0;
    const std::size_t n = text.size();
    for (;;) {
        std::string line = takeLine(text, p);
        if (!quotedPrintable && line.find("charset=iso-8859-1") != std::string::npos)
            quotedPrintable = true;
        if (startsNear(line, "Newsgroups:"))
            news = true;
        if (news && startsNear(line, "Organization:"))
            body.isoConversion = true;
        line = expandTabs(line);
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

bool isQuotationLine(const QString& shown) {
    const QString rest =
        shown.startsWith(QString(kBodyIndent, QLatin1Char(' '))) ? shown.mid(kBodyIndent) : shown;
    auto at = [&](qsizetype position) {
        return position <= rest.size() ? rest.at(position - 1) : QChar();
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
        ShownLine shown{shownBodyLine(line, fontNotTerminal), false};
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
    v.ChAuteur = dosLabelText(h.author);
    v.ChDest = dosLabelText(h.recipient);
    v.ChSujet = dosLabelText(h.subject);
    v.shownAuthor = h.author;
    v.shownRecipient = h.recipient;

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
    const int position =
        replyMode ? int(session.replies.SelectedReply) + 1 : session.browser.CurrentListIndex + 1;
    const int total = replyMode ? session.replies.ReplyCount() : session.browser.LastListIndex + 1;
    v.NbLabel = QStringLiteral("Msg N° ") + QString::number(position) + QStringLiteral(" / ") +
                QString::number(total);

    v.body = decodeMessageBody(session.store.MessageText);
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

    v.font = settings.messageFont;
    v.ink = colourFromWindows(settings.inkColour);
    v.quote = colourFromWindows(settings.quoteColour);
    v.background = colourFromWindows(settings.backColour);
    return v;
}

QString clipboardText(const QString& selection, bool fontNotTerminal) {
    QString text = selection;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    if (!fontNotTerminal)
        return text;
    return dosTextToUnicode(ansiToOem(unicodeToWindows(text)));
}

void copyToClipboard(const QString& selection, bool fontNotTerminal) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(clipboardText(selection, fontNotTerminal));
}
