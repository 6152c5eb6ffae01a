// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

struct ListedMessage;
struct MessageHeader;
struct MailSession;
class UiServices;

constexpr std::size_t kManagerLineWidth = 67;
inline constexpr const char kChooseMessageFirst[] =
    "Vous devez d'abord choisir un message dans la liste";
inline constexpr const char kConfirmErase[] = "Confirmez-vous l'effacement ?";

// A line of the written-messages manager: the private mark, the conference right-aligned in
// 5 columns, the date as dd/mm/yy, `name` and the subject, one blank between them; always
// 67 DOS bytes, NUL padding shown as blanks.
std::string managerLine(const MessageHeader& header, std::string_view name);
// A personal message names its author, a written one its recipient.
std::string personalLine(const MessageHeader& header);
std::string personalLine(const ListedMessage& message);
std::string writtenLine(const MessageHeader& header);

// "&Courrier personnel", before the manager opens: the personal list into the browser's
// tables (see loadPersonalList) and each message it lists, whose line personalLine makes.
// Throws VelkError, the personal list emptied, when a header cannot be read.
std::vector<ListedMessage> loadPersonalMessages(MailSession& session, Diagnostics& said);
// The same with the lines made at once.
std::vector<std::string> buildPersonalList(MailSession& session, Diagnostics& said);

// The messages of the reply file, listed in file order.
struct WrittenMessages {
    bool fileExists = false;
    std::vector<std::string> lines;
};

// AfficheMsgREP's reading: ReplyTable rebuilt from the reply file (emptied when there is
// none) and one line per message; the selection is forgotten. Throws VelkError, the table
// emptied, when the file cannot be read.
WrittenMessages listWrittenMessages(MailSession& session);

// Reads written message `index` into CurrentHeader and MessageText; for a board that reads
// QWKE, its kludge lines become its long fields (applyKludgeLines). Throws VelkError when
// there is no such message or the file cannot be read.
void readWrittenMessage(MailSession& session, int index);

// Whether a written message is selected; when none is while the list holds some, the user
// is told to choose one first.
Diagnosed<bool> checkReplySelected(MailSession& session);

// "Effa&cer un message": asks for confirmation, then removes the selected message (the reply
// file and the reply packet with the last one). True when a message was removed.
bool deleteSelectedReply(MailSession& session, UiServices& ui);

// "&Relire les messages": the selected message, or the first when none is, becomes
// SelectedReply and is read. False when the reply file holds no message.
bool startRereading(MailSession& session);

} // namespace velk
