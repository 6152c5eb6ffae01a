// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/MessageWriting.h"

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageStore.h"
#include "reply/EditorText.h"
#include "reply/ReplyFile.h"
#include "reply/ReplySession.h"

#include <QFileInfo>

#include <algorithm>

namespace velk {

namespace {

std::string cutDos(const QString& text, int width) {
    return unicodeToDos(text).substr(0, std::size_t(width));
}

} // namespace

MessageWriting::MessageWriting(ReplySession& session, UiServices& ui, RecipientPrompt askRecipient,
                               Clock clock, const QRandomGenerator& random)
    : session_(session), ui_(ui), askRecipient_(std::move(askRecipient)), clock_(std::move(clock)),
      random_(random) {}

std::optional<EditorDocument> MessageWriting::startNew(int conference) {
    EditorDocument d;
    d.conference = conference;
    if (!reportedTo(ui_, [&](Diagnostics& said) {
            return NewMsg(session_, state_, said, d, 0, askRecipient_, clock_(), random_);
        }))
        return std::nullopt;
    return d;
}

EditorDocument MessageWriting::startAnswer(const MessageHeader& answered, const std::string& text,
                                           const ShownNames& shown) {
    state_.header = answered;
    state_.text = text;
    shown_ = shown;
    const QDateTime now = clock_();
    AnswerMsg(session_, state_, now);
    EditorDocument d;
    reportedTo(ui_, [&](Diagnostics& said) {
        DisplayMsg(session_, state_, said, d, 1, shown, now, random_);
    });
    return d;
}

std::optional<EditorDocument>
MessageWriting::startWriteFromMessage(const MessageHeader& shownHeader, const std::string& text,
                                      const ShownNames& shown, int conference) {
    state_.header = shownHeader;
    state_.text = text;
    shown_ = shown;
    state_.flags.ChosenRecipient = askRecipient_(shownHeader.author);
    if (state_.flags.ChosenRecipient.empty())
        return std::nullopt;
    const QDateTime now = clock_();
    EditorDocument d;
    if (padRight(state_.flags.ChosenRecipient, HeaderField::Author) == shownHeader.author) {
        AnswerMsg(session_, state_, now);
        reportedTo(ui_, [&](Diagnostics& said) {
            DisplayMsg(session_, state_, said, d, 0, shown, now, random_);
        });
        return d;
    }
    d.conference = conference;
    reportedTo(ui_, [&](Diagnostics& said) {
        NewMsg(session_, state_, said, d, 1, askRecipient_, now, random_);
    });
    return d;
}

std::optional<EditorDocument> MessageWriting::startForward(const MessageHeader& forwarded,
                                                           const std::string& text,
                                                           const ShownNames& shown) {
    state_.header = forwarded;
    state_.text = text;
    shown_ = shown;
    state_.flags.ForwardFlag = true;
    EditorDocument d;
    if (!reportedTo(ui_,
                    [&](Diagnostics& said) {
                        return ForwardMsg(session_, state_, said, d, askRecipient_, shown, clock_(),
                                          random_);
                    }) ||
        state_.flags.ChosenRecipient.empty())
        return std::nullopt;
    return d;
}

EditorDocument MessageWriting::startModification(int index) {
    const ReplyState& replies = session_.replies;
    if (index < 0 || index >= replies.ReplyCount())
        throw VelkError::io(IoCode::ReadPastEnd);
    const QString path = ReplyFilePath(session_);
    const std::int32_t record = replies.ReplyTable[std::size_t(index)].headerRecord;
    MessageStoreState read;
    ReadReplyHeader(path, record, read);
    ReadReplyText(path, record + 1, read.CurrentHeader.blockCount, read);
    if (session_.packet.control.readsQwke) // only then were kludge lines written above the text
        applyKludgeLines(read.CurrentHeader, read.MessageText);
    state_.header = read.CurrentHeader;
    state_.text = read.MessageText;
    modifiedIndex_ = index;
    countBeforeModification_ = replies.ReplyCount();
    UpDateMsg(state_);
    EditorDocument d;
    DisplayREPMsg(session_, state_, d, clock_().date());
    return d;
}

std::optional<ReplyDraft> MessageWriting::plainDraft(const PlainMessage& message) {
    QString text = message.text;
    text.remove(QLatin1Char('\r'));
    EditorLines paragraphs;
    for (const QString& line : text.split(QLatin1Char('\n')))
        paragraphs.push_back(unicodeToDos(line));
    EditorDocument d;
    d.lines = WrapLines(paragraphs, session_.settings.maxCar);
    if (std::all_of(d.lines.begin(), d.lines.end(), [](const std::string& line) {
            return line.find_first_not_of(" \t") == std::string::npos;
        }))
        return std::nullopt;
    const bool qwke = session_.packet.control.readsQwke;
    d.isPrivate = message.isPrivate;
    d.recipient = cutDos(message.recipient, nameWidth(qwke));
    d.author = cutDos(message.author, nameWidth(qwke));
    d.subject = cutDos(message.subject, subjectWidth(qwke));
    // An answer given by number is threaded as a stored reply's reference is.
    state_.flags.AnswerFlag = false;
    state_.keptReference = message.reference > 0 ? std::to_string(message.reference) : "";
    ReplyDraft draft = EditorDraft(session_, state_, d);
    // No conference list to choose from here: the number is the board's own.
    draft.conference = message.conference;
    return draft;
}

bool MessageWriting::send(const EditorDocument& document) {
    const bool written = SendEditorMessage(session_, state_, ui_, document, clock_());
    stored_ = stored_ || written;
    return written;
}

bool MessageWriting::send(ReplyDraft& draft) {
    const BusyCursor busy(ui_);
    const bool written = shown(AppendReply(session_, draft, clock_()), ui_);
    stored_ = stored_ || written;
    return written;
}

CancelOutcome MessageWriting::askCancel() {
    return AskCancel(state_, ui_);
}

bool MessageWriting::carbonCopy(EditorDocument& document, const std::string& name) {
    return shown(CarbonCopy(session_, state_, document, name, clock_(), random_), ui_);
}

std::optional<LibraryInsertion> MessageWriting::libraryInsertion(LibraryKind kind, int index,
                                                                 const EditorDocument& document) {
    if (kind == LibraryKind::Correspondents)
        return std::nullopt;
    const std::vector<LibraryEntry>& library = LibraryList(session_.libraries, kind);
    if (index < 0 || index >= int(library.size()))
        return std::nullopt;
    const std::string& text = library[std::size_t(index)].text;
    const InsertionContext context = EditorContext(session_, state_, document, clock_());
    LibraryInsertion insertion;
    switch (kind) {
    case LibraryKind::Headers:
        InsereEntete(text, context, state_.flags, insertion.lines);
        break;
    case LibraryKind::Footers:
        insertion.place = LibraryInsertion::Place::End;
        AddPdp(text, context, state_.flags, insertion.lines);
        break;
    default:
        insertion.place = LibraryInsertion::Place::TagBox;
        insertion.lines = document.tagBox;
        UpdateTagLine(text, context, insertion.lines);
        break;
    }
    return insertion;
}

void MessageWriting::setSubject(const std::string& dosSubject) {
    state_.header.subject =
        padRight(dosSubject.substr(0, HeaderField::Subject), HeaderField::Subject);
}

std::optional<EditorLines> MessageWriting::importText() {
    return ImportBtnClick(session_, ui_);
}

bool MessageWriting::exportText(const EditorDocument& document) {
    return ExportBtnClick(session_, ui_, document, clock_());
}

bool MessageWriting::finish() {
    if (!modifiedIndex_)
        return stored_;
    const bool cancelled = state_.flags.CancelFlag;
    state_.flags.CancelFlag = false;
    if (cancelled || !QFileInfo(ReplyFilePath(session_)).isFile())
        return false;
    // A write that failed was cut back: the file then holds no new version to put in place.
    BuildReplyTable(session_);
    if (session_.replies.ReplyCount() != countBeforeModification_ + 1)
        return false;
    ReplaceReply(session_, *modifiedIndex_);
    // The viewer that opened the modification goes on from the new version, at its place.
    session_.replies.SelectedReply = *modifiedIndex_;
    return true;
}

} // namespace velk
