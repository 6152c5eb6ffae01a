// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/ReadMarks.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace velk {

struct MailSession;
class Diagnostics;

inline const QString kNoMoreUnread = QStringLiteral("Il n'y a plus de message non lu.");

// The keys of headers of the work directory's MESSAGES.DAT: their conference and number
// fields, read without the checks of a whole header. The file is mapped, so that counting
// the unread messages of a whole packet costs no read a message.
class HeaderKeys {
public:
    explicit HeaderKeys(const QString& workPath);
    std::optional<MessageKey> at(std::int32_t block);

private:
    QFile file_;
    const uchar* data_ = nullptr;
    std::int64_t size_ = 0;
};

// The mark of each line of the viewer's list (ListOrder): the browser's conference or the
// personal list.
std::vector<ReadMark> listedMarks(MailSession& session, Diagnostics& said);
// The unread messages of each line of the conference list (session.packet.indexFiles).
std::vector<std::int32_t> unreadCounts(MailSession& session, Diagnostics& said);

// The viewer has shown CurrentHeader: an unread message becomes read. Nothing in reply
// mode. True when the mark changed.
bool markShownRead(MailSession& session, Diagnostics& said);
// The current message's mark; nullopt when it has none to have (reply mode, no number).
std::optional<ReadMark> shownMark(MailSession& session, Diagnostics& said);
// "À suivre" on or off for the current message, or for line `line` of the list; the mark
// it now has.
std::optional<ReadMark> toggleShownFollowed(MailSession& session, Diagnostics& said);
std::optional<ReadMark> toggleListedFollowed(MailSession& session, Diagnostics& said, int line);

// "Suivant non lu": the next unread message after the current one in the list, then in the
// conferences after the loaded one (each listed in the browser's order), becomes the
// current message and is read. False when there is none, nothing changed. Throws VelkError
// when a file cannot be read.
bool goToNextUnread(MailSession& session, Diagnostics& said);

// "Tout marquer comme lu": every message of the conference-list line is read, except those
// marked "à suivre". The count of messages that changed.
int markConferenceRead(MailSession& session, Diagnostics& said, int line);

} // namespace velk
