// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PersonalMail.h"

#include "core/UiServices.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "mail/MailSession.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"
#include "reply/ReplyFile.h"

#include <QFileInfo>

#include <algorithm>

namespace velk {

namespace {

std::string managerLine(bool isPrivate, std::uint16_t conferenceNumber, std::string_view date,
                        std::string_view name, std::string_view subject) {
    const std::string conference = std::to_string(conferenceNumber);
    std::string line;
    line.reserve(kManagerLineWidth);
    line += isPrivate ? 'P' : ' ';
    line += std::string(5 - std::min<std::size_t>(conference.size(), 5), ' ');
    line += conference;
    line += ' ';
    line += DateToDayFirst(date);
    line += ' ';
    line += padRight(name, HeaderField::Author);
    line += ' ';
    line += padRight(subject, HeaderField::Subject);
    std::replace(line.begin(), line.end(), '\0', ' ');
    return line;
}

} // namespace

std::string managerLine(const MessageHeader& header, std::string_view name) {
    return managerLine(header.isPrivate(), header.conference, header.date, name, header.subject);
}

std::string personalLine(const MessageHeader& header) {
    return managerLine(header, header.author);
}

std::string personalLine(const ListedMessage& message) {
    return managerLine(message.privateMark == 'P', message.conference,
                       {message.date.data(), message.date.size()},
                       {message.author.data(), message.author.size()},
                       {message.subject.data(), message.subject.size()});
}

std::string writtenLine(const MessageHeader& header) {
    return managerLine(header, header.recipient);
}

std::vector<ListedMessage> loadPersonalMessages(MailSession& session, Diagnostics& said) {
    BrowserState& b = session.browser;
    try {
        loadPersonalList(session);
        if (b.ListOrder.empty())
            return {};
        BlockFile messages(messagesFilePath(session.settings.workPath));
        return readListedMessages(messages, b.ListOrder, said);
    } catch (...) {
        // The viewer must not step through messages the list does not show.
        b.ConferenceIndex.clear();
        b.ListOrder.clear();
        b.LastListIndex = -1;
        throw;
    }
}

std::vector<std::string> buildPersonalList(MailSession& session, Diagnostics& said) {
    std::vector<std::string> lines;
    for (const ListedMessage& m : loadPersonalMessages(session, said))
        lines.push_back(personalLine(m));
    return lines;
}

WrittenMessages listWrittenMessages(MailSession& session) {
    ReplyState& replies = session.replies;
    replies.SelectedReply.reset();
    replies.ReplyTable.clear();
    WrittenMessages result;
    const QString path = ReplyFilePath(session);
    if (!QFileInfo(path).isFile())
        return result;
    try {
        BuildReplyTable(session);
        MessageStoreState store;
        result.lines.reserve(replies.ReplyTable.size());
        for (const ReplyTableEntry& entry : replies.ReplyTable) {
            ReadReplyHeader(path, entry.headerRecord, store);
            result.lines.push_back(writtenLine(store.CurrentHeader));
        }
    } catch (...) {
        replies.ReplyTable.clear();
        throw;
    }
    result.fileExists = true;
    return result;
}

void readWrittenMessage(MailSession& session, int index) {
    const ReplyState& replies = session.replies;
    if (index < 0 || index >= replies.ReplyCount())
        throw VelkError::io(IoCode::ReadPastEnd);
    const QString path = ReplyFilePath(session);
    const std::int32_t record = replies.ReplyTable[std::size_t(index)].headerRecord;
    MessageStoreState& store = session.store;
    ReadReplyHeader(path, record, store);
    ReadReplyText(path, record + 1, store.CurrentHeader.blockCount, store);
    if (session.packet.control.readsQwke) // only then did this program write kludge lines
        applyKludgeLines(store.CurrentHeader, store.MessageText);
}

Diagnosed<bool> checkReplySelected(MailSession& session) {
    const ReplyState& replies = session.replies;
    Diagnosed<bool> selected{replies.SelectedReply && *replies.SelectedReply < replies.ReplyCount(),
                             {}};
    if (!selected.value && replies.ReplyCount() > 0)
        selected.diagnostics.add(QString::fromUtf8(kChooseMessageFirst));
    return selected;
}

bool deleteSelectedReply(MailSession& session, UiServices& ui) {
    if (!shown(checkReplySelected(session), ui))
        return false;
    if (!ui.askYesNo(QString::fromUtf8(kConfirmErase), kEmptyTitle))
        return false;
    DeleteReply(session, *session.replies.SelectedReply);
    return true;
}

bool startRereading(MailSession& session) {
    ReplyState& replies = session.replies;
    if (replies.ReplyCount() == 0)
        return false;
    if (!replies.SelectedReply || *replies.SelectedReply >= replies.ReplyCount())
        replies.SelectedReply = 0;
    readWrittenMessage(session, *replies.SelectedReply);
    return true;
}

} // namespace velk
