// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "reply/Editor.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <functional>
#include <optional>
#include <string>

namespace velk {

struct ReplySession;
class UiServices;

// One message written from start to end: a new message, an answer, a forwarded copy or a new
// version of a stored reply, with its carbon copies. Every window that opens the editor goes
// through it. It owns the editor's flags and works on its own copy of the header it starts
// from, so the message its opener shows is never changed.
class MessageWriting {
public:
    using Clock = std::function<QDateTime()>;

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

    // "&Envoyer": true when the message was written whole.
    bool send(const EditorDocument& document);
    // "Annuler": the question "Enregistrer ce message ?".
    CancelOutcome askCancel();
    // A carbon copy to `name`; the document's text is cleaned at its end as the copy takes it.
    bool carbonCopy(EditorDocument& document, const std::string& name);
    // The macro context for the header, footer and tagline buttons.
    InsertionContext insertionContext(const EditorDocument& document);

    // After the editor closed. A modification replaces the old version only when the new one
    // was stored whole and not cancelled, and selects it; true when a message was stored.
    bool finish();

    EditorFlags& flags() { return state_.flags; }
    WritingState& state() { return state_; }

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
