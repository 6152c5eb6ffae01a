// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/MessageHeader.h"
#include "reply/ReplyFile.h"
#include "reply/ReplyState.h"
#include "reply/TextInsertion.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QRandomGenerator;

namespace velk {

class UiServices;
struct PacketControl;
struct ReplySession;

// Everything the editor window shows, as DOS bytes; the preparations fill it and the window
// hands it back when the message is sent, exported or copied.
struct EditorDocument {
    bool isPrivate = false;                  // chStatut
    std::vector<std::string> conferenceList; // chConf's items
    int conference = 0;                      // chConf's chosen item
    QString dateLabel;                       // ChDate
    std::string author;                      // ChAuteur
    std::string recipient;                   // chDest
    std::string subject;                     // chSujet
    EditorLines lines;                       // Reponse, one entry per line
    EditorLines tagBox;                      // Tag: signature line and tagline
};

// One message being written: a copy of the header it starts from (the message answered or
// forwarded, the stored reply modified, then the header the editor fills), the text it
// quotes, and the editor's flags. The message on screen is never touched.
struct WritingState {
    MessageHeader header;
    std::string text; // lines ended by LF; UTF-8 bytes when the header says so, else DOS
    EditorFlags flags;
    // A stored reply's reference, which its new version keeps: the board threads by it.
    std::string keptReference;
};

// The recipient dialog: shown with `preset` in its name field, it returns ChosenRecipient
// (empty when cancelled).
using RecipientPrompt = std::function<std::string(const std::string& preset)>;

// The forwarded message's author and recipient as the viewer showed them.
struct ShownNames {
    std::string author;
    std::string recipient;
};

// "100   Nom de la conférence", one per conference in table order.
std::vector<std::string> ConferenceList(const PacketControl& control);
// The first item of that number; 0 when none has it.
int ConferenceItemOf(const PacketControl& control, std::uint16_t number);
// "3 février 1996".
QString EditorDateLabel(const QDate& today);
// The header's date and time set to `now`, in the packet's own form.
void StampHeaderDate(MessageHeader& header, const QDateTime& now);

// The context of the insertions: macro sources from the document and the header written.
InsertionContext EditorContext(const ReplySession& session, const WritingState& w,
                               const EditorDocument& document, const QDateTime& now,
                               const ShownNames& shown = {});

// A new message. With preset 0 the recipient dialog is asked first ("ALL" in it); false when
// it was cancelled: the editor is then not shown. With preset 1 the caller has put the
// recipient in ChosenRecipient. The document's conference is the one preselected.
bool NewMsg(ReplySession& session, WritingState& w, Diagnostics& said, EditorDocument& document,
            int preset, const RecipientPrompt& prompt, const QDateTime& now,
            QRandomGenerator& random);
// The message in the header becomes the one answered: to its author (long name included),
// from the user.
void AnswerMsg(ReplySession& session, WritingState& w, const QDateTime& now);
// Shows nothing: fills the document the editor will show from the header and the text;
// quote 1 quotes the text. A UTF-8 message's names and text come in the DOS set; where the
// board reads QWKE kludge lines the recipient and subject are the full ones.
void DisplayMsg(ReplySession& session, WritingState& w, Diagnostics& said, EditorDocument& document,
                int quote, const ShownNames& shown, const QDateTime& now, QRandomGenerator& random);
// A forwarded copy of the message in the header, after asking its recipient; false when
// the dialog was cancelled. The caller sets ForwardFlag first.
bool ForwardMsg(ReplySession& session, WritingState& w, Diagnostics& said, EditorDocument& document,
                const RecipientPrompt& prompt, const ShownNames& shown, const QDateTime& now,
                QRandomGenerator& random);
// Updates no message: clears AnswerFlag and keeps the stored reference for the new version
// of a stored reply about to be modified.
void UpDateMsg(WritingState& w);
// Shows nothing: fills the document from the stored reply read into the header and the
// text; the date label says `today`.
void DisplayREPMsg(const ReplySession& session, const WritingState& w, EditorDocument& document,
                   const QDate& today);

// The draft AppendReply stores for this document.
ReplyDraft EditorDraft(const ReplySession& session, const WritingState& w,
                       const EditorDocument& document);
// The send button: stores the message; true when it was written whole (the failure's
// message has been shown otherwise).
bool SendEditorMessage(ReplySession& session, WritingState& w, UiServices& ui,
                       const EditorDocument& document, const QDateTime& now);

enum class CancelOutcome {
    Save,    // "&Oui": send, then close
    Discard, // "&Non": CancelFlag set, close
    Stay,    // "Annuler": the window stays
};
// "Enregistrer ce message ?".
CancelOutcome AskCancel(WritingState& w, UiServices& ui);

// The copy's text (the document's text is cleaned at its end first, as the copy takes it).
EditorLines BuildCarbonCopy(const ReplySession& session, const WritingState& w,
                            EditorDocument& document, const QDateTime& now,
                            QRandomGenerator& random);
// Builds and stores a carbon copy to `name`; true when it was written whole.
Diagnosed<bool> CarbonCopy(ReplySession& session, WritingState& w, EditorDocument& document,
                           const std::string& name, const QDateTime& now, QRandomGenerator& random);

// The lines of a text file to import: "&Oui" to the question keeps its bytes, "&Non" reads
// it in the desktop's set (UTF-8, else code page 1252) and converts it to DOS. Lines longer
// than maxCar are cut to maxCar - 1; an empty line becomes one space. Throws VelkError when
// the file cannot be read.
EditorLines ReadImportedText(const QString& path, bool dosAccents, int maxCar);
// "&Importer": the file dialog and the question; nothing when the dialog is cancelled.
std::optional<EditorLines> ImportBtnClick(ReplySession& session, UiServices& ui);

// "E&xporter": the message appended to a text file the user chooses; false when cancelled.
bool ExportBtnClick(ReplySession& session, UiServices& ui, const EditorDocument& document,
                    const QDateTime& now);

} // namespace velk
