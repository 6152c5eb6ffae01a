// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/Editor.h"

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "core/FileUtil.h"
#include "core/SettingsFile.h"
#include "core/TextFileChoice.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "packet/HeaderExtensions.h"
#include "reply/EditorText.h"
#include "reply/Macros.h"
#include "reply/MessageWriting.h"
#include "reply/Recipients.h"
#include "reply/ReplySession.h"

#include <QFile>
#include <QLocale>
#include <QRandomGenerator>

#include <utility>

namespace velk {

namespace {

std::string cut(std::string_view line, int width) {
    return std::string(line.substr(0, std::size_t(std::max(width, 0))));
}

bool isBlankLine(const std::string& line) {
    return line.empty() || line == " ";
}

std::string firstLineOf(std::string_view text) {
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}

void fillConferences(const ReplySession& session, EditorDocument& document, int selected) {
    document.conferenceList = ConferenceList(session.packet.control);
    const int count = int(document.conferenceList.size());
    document.conference = selected >= 0 && selected < count ? selected : 0;
}

// A name or the subject of the message answered, as the reply takes them, in the DOS set:
// where the board reads QWKE kludge lines, the full value, up to the editor's field; else the
// header's field, as always.
std::string answeredField(const ReplySession& session, const MessageHeader& header,
                          const std::string& field, const std::string& full, int width) {
    if (!session.packet.control.readsQwke || full.empty())
        return trimRight(messageBytesInDos(header, field));
    return cut(messageBytesInDos(header, full), width);
}

void dress(ReplySession& session, WritingState& w, Diagnostics& said, EditorDocument& document,
           const ShownNames& shown, const QDateTime& now, QRandomGenerator& random) {
    LettreType(session, said, EditorContext(session, w, document, now, shown), w.flags,
               document.lines, document.tagBox, random);
}

} // namespace

std::vector<std::string> ConferenceList(const PacketControl& control) {
    std::vector<std::string> items;
    items.reserve(control.Conferences.size());
    for (const ConferenceEntry& c : control.Conferences) {
        std::string number = std::to_string(c.ConferenceNumber);
        if (number.size() < 5)
            number.resize(5, ' ');
        items.push_back(number + ' ' + c.ConferenceName);
    }
    return items;
}

int ConferenceItemOf(const PacketControl& control, std::uint16_t number) {
    for (std::size_t i = 0; i < control.Conferences.size(); ++i) {
        if (control.Conferences[i].ConferenceNumber == number)
            return int(i);
    }
    return 0;
}

QString EditorDateLabel(const QDate& today) {
    return QLocale(QLocale::French, QLocale::France).toString(today, QStringLiteral("d MMMM yyyy"));
}

void StampHeaderDate(MessageHeader& header, const QDateTime& now) {
    header.date = now.date().toString(QStringLiteral("MM-dd-yy")).toStdString();
    header.time = now.time().toString(QStringLiteral("HH:mm")).toStdString();
}

InsertionContext EditorContext(const ReplySession& session, const WritingState& w,
                               const EditorDocument& document, const QDateTime& now,
                               const ShownNames& shown) {
    InsertionContext context;
    context.sources = MajMacros(session, w.header, document.recipient, document.subject, now);
    context.maxCar = session.settings.maxCar;
    context.signature = programSignature(session.settings);
    context.shownAuthor = trimRight(shown.author);
    context.shownRecipient = trimRight(shown.recipient);
    return context;
}

bool NewMsg(ReplySession& session, WritingState& w, Diagnostics& said, EditorDocument& document,
            int preset, const RecipientPrompt& prompt, const QDateTime& now,
            QRandomGenerator& random) {
    EditorFlags& flags = w.flags;
    const std::string& userName = session.packet.control.UserName;
    document.isPrivate = false;
    document.author = userName;
    if (preset == 0) {
        flags.ChosenRecipient.clear();
        flags.ChosenRecipient = prompt(std::string("ALL"));
        if (flags.ChosenRecipient.empty())
            return false;
    }
    document.recipient = trimRight(flags.ChosenRecipient);
    document.subject.clear();
    flags.AnswerFlag = false;
    fillConferences(session, document, document.conference);
    document.dateLabel = EditorDateLabel(now.date());
    document.lines.clear();
    document.tagBox.clear();

    MessageHeader& header = w.header;
    StampHeaderDate(header, now);
    header.recipient = padRight(document.recipient, HeaderField::Recipient);
    header.author = padRight(userName, HeaderField::Author);
    header.subject = std::string(HeaderField::Subject, ' ');
    header.longFields = {};
    dress(session, w, said, document, {}, now, random);
    return true;
}

void AnswerMsg(ReplySession& session, WritingState& w, const QDateTime& now) {
    w.flags.AnswerFlag = true;
    MessageHeader& header = w.header;
    StampHeaderDate(header, now);
    header.recipient = header.author;
    header.author = padRight(session.packet.control.UserName, HeaderField::Author);
    header.longFields.recipient = std::exchange(header.longFields.author, std::string());
}

void DisplayMsg(ReplySession& session, WritingState& w, Diagnostics& said, EditorDocument& document,
                int quote, const ShownNames& shown, const QDateTime& now,
                QRandomGenerator& random) {
    const EditorFlags& flags = w.flags;
    const MessageHeader& header = w.header;
    document.isPrivate = header.isPrivate();
    fillConferences(session, document, ConferenceItemOf(session.packet.control, header.conference));
    document.dateLabel = EditorDateLabel(now.date());
    document.author = session.packet.control.UserName;
    const std::string answered =
        answeredField(session, header, header.recipient, header.longFields.recipient,
                      MessageWriting::nameWidth(true));
    document.recipient = flags.ForwardFlag ? trimRight(flags.ChosenRecipient) : answered;
    document.subject = answeredField(session, header, header.subject, header.longFields.subject,
                                     MessageWriting::subjectWidth(true));
    document.lines.clear();
    document.tagBox.clear();

    if (quote == 1) {
        const std::string prefix = QuotePrefix(flags.ForwardFlag ? shown.author : answered);
        PrepareLineSwitches switches;
        for (const std::string& raw : MessageTextLines(messageBytesInDos(header, w.text)))
            document.lines.push_back(
                QuoteLine(PrepareLine(raw, switches), prefix, session.settings.maxCar));
    }
    dress(session, w, said, document, shown, now, random);
}

bool ForwardMsg(ReplySession& session, WritingState& w, Diagnostics& said, EditorDocument& document,
                const RecipientPrompt& prompt, const ShownNames& shown, const QDateTime& now,
                QRandomGenerator& random) {
    EditorFlags& flags = w.flags;
    const std::string& userName = session.packet.control.UserName;
    document.isPrivate = false;
    document.author = userName;
    document.recipient = "ALL";
    flags.ChosenRecipient.clear();
    flags.ChosenRecipient = prompt(std::string("ALL"));
    if (flags.ChosenRecipient.empty())
        return false;
    flags.AnswerFlag = false;

    MessageHeader& header = w.header;
    StampHeaderDate(header, now);
    header.author = padRight(userName, HeaderField::Author);
    header.recipient = padRight(flags.ChosenRecipient, HeaderField::Recipient);
    header.longFields.author.clear();
    header.longFields.recipient.clear();
    DisplayMsg(session, w, said, document, 1, shown, now, random);
    return true;
}

void UpDateMsg(WritingState& w) {
    w.flags.AnswerFlag = false;
    w.keptReference = unpadded(w.header.reference);
}

void DisplayREPMsg(const ReplySession& session, const WritingState& w, EditorDocument& document,
                   const QDate& today) {
    const EditorFlags& flags = w.flags;
    const MessageHeader& header = w.header;
    document.isPrivate = header.isPrivate();
    fillConferences(session, document, ConferenceItemOf(session.packet.control, header.conference));
    document.dateLabel = EditorDateLabel(today);
    document.author = trimRight(header.author);
    document.recipient =
        trimRight(flags.ForwardFlag ? flags.ChosenRecipient : fullRecipient(header));
    document.subject = fullSubject(header);

    document.lines.clear();
    PrepareLineSwitches switches;
    for (const std::string& raw : MessageTextLines(w.text))
        document.lines.push_back(PrepareLine(raw, switches));
    // The stored signature line and tagline go back into their box.
    const std::size_t kept =
        document.lines.size() - std::min<std::size_t>(2, document.lines.size());
    document.tagBox.assign(document.lines.begin() + std::ptrdiff_t(kept), document.lines.end());
    document.lines.resize(kept);
}

ReplyDraft EditorDraft(const ReplySession& session, const WritingState& w,
                       const EditorDocument& document) {
    ReplyDraft draft;
    draft.lines = document.lines;
    draft.tagBox = document.tagBox;
    draft.isPrivate = document.isPrivate;
    draft.conference = ConferenceNumberAt(session.packet.control, document.conference);
    // Boards store the recipient in capitals, whether typed, chosen or answered.
    draft.recipient = nameCapitals(document.recipient);
    draft.author = document.author;
    draft.subject = document.subject;
    draft.answer = w.flags.AnswerFlag;
    draft.answeredNumber = trimRight(w.header.number);
    if (!draft.answer && !w.keptReference.empty() && w.keptReference != "0") {
        draft.answer = true;
        draft.answeredNumber = w.keptReference;
    }
    return draft;
}

bool SendEditorMessage(ReplySession& session, WritingState& w, UiServices& ui,
                       const EditorDocument& document, const QDateTime& now) {
    ReplyDraft draft = EditorDraft(session, w, document);
    w.flags.CancelFlag = false;
    const BusyCursor busy(ui);
    return shown(AppendReply(session, draft, now), ui);
}

CancelOutcome AskCancel(WritingState& w, UiServices& ui) {
    w.flags.CancelFlag = false;
    switch (ui.askYesNoCancel(QStringLiteral("Enregistrer ce message ?"))) {
    case Answer::Yes:
        return CancelOutcome::Save;
    case Answer::No:
        w.flags.CancelFlag = true;
        return CancelOutcome::Discard;
    case Answer::Cancel:
        break;
    }
    return CancelOutcome::Stay;
}

EditorLines BuildCarbonCopy(const ReplySession& session, const WritingState& w,
                            EditorDocument& document, const QDateTime& now,
                            QRandomGenerator& random) {
    EditorLines& lines = document.lines;
    if (lines.size() >= 2) {
        std::size_t i = lines.size() - 2;
        while (isBlankLine(lines[i])) {
            lines.erase(lines.begin() + std::ptrdiff_t(i));
            if (i == 0)
                break;
            --i;
        }
    }
    const int maxCar = session.settings.maxCar;
    EditorLines copy;
    copy.emplace_back(" ");
    copy.push_back(unicodeToDos(QStringLiteral(" Copie d'un message transmis à ")) +
                   NameCase(trimRight(document.recipient)));
    copy.push_back(kHyphenLine);
    copy.emplace_back(" ");
    copy.insert(copy.end(), lines.begin(), lines.end());
    for (std::size_t i = 0; i < 2; ++i)
        copy.push_back(
            cut(i < document.tagBox.size() ? document.tagBox[i] : std::string(), maxCar));
    copy.push_back(kHyphenLine);
    copy.emplace_back(" ");
    const std::string signature = SignatureLine(programSignature(session.settings));
    copy.push_back(cut(signature, maxCar));
    const std::vector<LibraryEntry>& taglines = session.libraries.TaglineList;
    if (!taglines.empty()) {
        const auto pick = random.bounded(std::uint32_t(taglines.size()));
        const MacroSources sources =
            MajMacros(session, w.header, document.recipient, document.subject, now);
        copy.push_back(cut(firstLineOf(ExpandMacros(taglines[pick].text, sources)), maxCar));
    }
    return copy;
}

Diagnosed<bool> CarbonCopy(ReplySession& session, WritingState& w, EditorDocument& document,
                           const std::string& name, const QDateTime& now,
                           QRandomGenerator& random) {
    const EditorLines copy = BuildCarbonCopy(session, w, document, now, random);
    const ReplyDraft draft = EditorDraft(session, w, document);
    w.flags.CancelFlag = false;
    return AppendCarbonCopy(session, copy, trimRight(name), draft, now);
}

EditorLines ReadImportedText(const QString& path, bool dosAccents, int maxCar) {
    const QByteArray data = readWholeFile(path);
    std::vector<std::string> raw;
    if (dosAccents) {
        for (const std::string& line :
             MessageTextLines(std::string_view(data.constData(), std::size_t(data.size()))))
            raw.push_back(line);
    } else {
        const QString text = decodeUserText(data);
        const std::string dos = unicodeToDos(text);
        raw = MessageTextLines(dos);
    }
    EditorLines lines;
    for (std::string& line : raw) {
        if (int(line.size()) > maxCar)
            line.resize(std::size_t(std::max(maxCar - 1, 0)));
        lines.push_back(line.empty() ? std::string(" ") : line);
    }
    return lines;
}

std::optional<EditorLines> ImportBtnClick(ReplySession& session, UiServices& ui) {
    const std::optional<TextFileChoice> chosen =
        chooseTextFile(ui, QStringLiteral("Importation d'un fichier"), session.settings.velkPath,
                       QStringLiteral("Fichiers texte (*.TXT)"));
    if (!chosen)
        return std::nullopt;
    const BusyCursor busy(ui);
    return ReadImportedText(chosen->path, chosen->dosAccents, session.settings.maxCar);
}

bool ExportBtnClick(ReplySession& session, UiServices& ui, const EditorDocument& document,
                    const QDateTime& now) {
    FileDialogRequest request;
    request.title = QStringLiteral("Exportation d'un message");
    request.directory = session.settings.velkPath;
    request.fileName = QStringLiteral("*.TXT");
    request.filters = {QStringLiteral("Fichiers texte (*.TXT)")};
    request.defaultSuffix = QStringLiteral("TXT");
    request.confirmOverwrite = false; // the message is added at the end of the file
    const std::optional<QString> path = ui.saveFileName(request);
    if (!path)
        return false;

    const PacketControl& control = session.packet.control;
    const std::string conference =
        document.conference >= 0 && document.conference < int(document.conferenceList.size())
            ? document.conferenceList[std::size_t(document.conference)]
            : std::string();
    EditorLines out;
    out.push_back(std::string(79, '='));
    out.push_back("  BBS: " + cut(control.BbsName, 40));
    out.push_back(" Date: " + LongDateDos(now.date()) + " \x85 " +
                  now.time().toString(QStringLiteral("HH:mm")).toStdString());
    out.push_back("   De: " + cut(control.UserName, 50));
    // A long name, which a board reading QWKE takes whole, is exported whole.
    out.push_back("    A: " + (document.recipient.size() > HeaderField::Recipient
                                   ? document.recipient
                                   : padRight(document.recipient, HeaderField::Recipient)));
    out.push_back("Sujet: " + document.subject);
    out.push_back("Conf.: " + conference);
    out.push_back(std::string(80, '-'));
    out.insert(out.end(), document.lines.begin(), document.lines.end());
    for (std::size_t i = 0; i < 2; ++i)
        out.push_back(i < document.tagBox.size() ? document.tagBox[i] : std::string());
    QByteArray bytes;
    for (const std::string& line : out) {
        bytes.append(line.data(), qsizetype(line.size()));
        bytes.append("\r\n");
    }

    QFile file(*path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw VelkError::io(IoCode::AccessDenied);
    const qint64 oldSize = file.size();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        // The user's earlier exports stay as they were.
        file.resize(oldSize);
        throw VelkError::io(IoCode::DiskFull);
    }
    file.close();
    ui.message(QStringLiteral("Message sauvegardé."), MessageKind::Information,
               QStringLiteral("Confirmation"));
    return true;
}

} // namespace velk
