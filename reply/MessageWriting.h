// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "library/LibraryFile.h"
#include "packet/HeaderExtensions.h"
#include "reply/Editor.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <functional>
#include <optional>
#include <string>

namespace velk {

struct ReplySession;
class UiServices;

// A message written without the editor (velk-cli write): names, subject and text as typed, in
// Unicode; the text's lines end with LF (a CR is dropped).
struct PlainMessage {
    QString recipient;
    QString author;
    QString subject;
    QString text;
    bool isPrivate = false;
    std::uint16_t conference = 0; // the board's number
    int reference = 0;            // the number of the message answered; 0 for none
};

// What a header, footer or tagline of the libraries adds, and where.
struct LibraryInsertion {
    enum class Place { Top, End, TagBox };
    Place place = Place::Top;
    EditorLines lines; // for the tagline box, its new content
};

// One message written from start to end: a new message, an answer, a forwarded copy or a new
// version of a stored reply, with its carbon copies. Every window that opens the editor goes
// through it. It owns the editor's flags and works on its own copy of the header it starts
// from, so the message its opener shows is never changed.
class MessageWriting {
public:
    using Clock = std::function<QDateTime()>;

    // The widths of the editor's fields, in characters. A board that reads QWKE kludge lines
    // takes names and subjects longer than the header's 25 characters.
    static constexpr int nameWidth(bool qwke) {
        return qwke ? kQwkeNameWidth : int(HeaderField::Recipient);
    }
    static constexpr int subjectWidth(bool qwke) {
        return qwke ? kQwkeSubjectWidth : int(HeaderField::Subject);
    }

    MessageWriting(ReplySession& session, UiServices& ui, RecipientPrompt askRecipient,
                   Clock clock = &QDateTime::currentDateTime,
                   QRandomGenerator random = QRandomGenerator::securelySeeded());

    // Each start prepares what the editor shows; nothing when the recipient dialog was
    // cancelled (the editor is then not shown). `conference` is the one preselected.
    std::optional<EditorDocument> startNew(int conference);
    // An answer to `answered`, its text quoted.
    EditorDocument startAnswer(const MessageHeader& answered, const std::string& text,
                               const ShownNames& shown);
    // The viewer's "Ecrire": the recipient dialog preset with the author; choosing the author
    // answers without quoting, anybody else gets a new message.
    std::optional<EditorDocument> startWriteFromMessage(const MessageHeader& shownHeader,
                                                        const std::string& text,
                                                        const ShownNames& shown, int conference);
    std::optional<EditorDocument> startForward(const MessageHeader& forwarded,
                                               const std::string& text, const ShownNames& shown);
    // A new version of stored reply `index`; it takes the old one's place when it is
    // stored whole (finish). Throws VelkError when there is no such reply.
    EditorDocument startModification(int index);

    // A message from outside the editor, as the editor would store it: the recipient in
    // capitals, the fields cut to the editor's widths, the text wrapped at the line width, all
    // in the DOS set. Nothing when the text is blank.
    std::optional<ReplyDraft> plainDraft(const PlainMessage& message);

    // "&Envoyer": true when the message was written whole.
    bool send(const EditorDocument& document);
    // Stores a draft from plainDraft; true when it was written whole.
    bool send(ReplyDraft& draft);
    // "Annuler": the question "Enregistrer ce message ?".
    CancelOutcome askCancel();
    // A carbon copy to `name`; the document's text is cleaned at its end as the copy takes it.
    bool carbonCopy(EditorDocument& document, const std::string& name);
    // The header, footer or tagline at `index` of its library, with its macros filled from the
    // document; nothing when the library has no such entry. A footer closes a forward block.
    std::optional<LibraryInsertion> libraryInsertion(LibraryKind kind, int index,
                                                     const EditorDocument& document);
    // The subject typed so far, which the macros of the insertions take.
    void setSubject(const std::string& dosSubject);
    // "&Importer": the lines of a text file; nothing when the file dialog is cancelled.
    std::optional<EditorLines> importText();
    // "E&xporter": the message appended to a text file; false when cancelled.
    bool exportText(const EditorDocument& document);

    // After the editor closed. A modification replaces the old version only when the new one
    // was stored whole and not cancelled, and selects it; true when a message was stored.
    bool finish();

    const EditorFlags& flags() const { return state_.flags; }

private:
    ReplySession& session_;
    UiServices& ui_;
    RecipientPrompt askRecipient_;
    Clock clock_;
    QRandomGenerator random_;
    WritingState state_;
    ShownNames shown_;
    bool stored_ = false;
    std::optional<int> modifiedIndex_;
    int countBeforeModification_ = 0;
};

} // namespace velk
