// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessageNavigation.h"

#include "core/Diagnostics.h"
#include "core/SettingsAppearance.h"
#include "core/SettingsFile.h"
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "mail/MailSession.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageStore.h"
#include "reply/ReplyFile.h"

#include <QFontInfo>

#include <algorithm>

namespace velk {

std::optional<int> navigationTarget(int current, int count, NavigationStep step) {
    if (count <= 0)
        return std::nullopt;
    const int last = count - 1;
    switch (step) {
    case NavigationStep::First:
        if (current != 0)
            return 0;
        break;
    case NavigationStep::Previous:
        if (current > 0)
            return std::min(current - 1, last);
        break;
    case NavigationStep::Next:
        if (current >= -1 && current + 1 <= last)
            return current + 1;
        break;
    case NavigationStep::Last:
        if (current != last)
            return last;
        break;
    }
    return std::nullopt;
}

namespace {

// The lines the viewer may reach: up to the last line, within the list actually filled.
int listedCount(const BrowserState& b) {
    return std::min(b.LastListIndex + 1, int(b.ListOrder.size()));
}

} // namespace

bool readSelectedReply(MailSession& session) {
    const ReplyState& r = session.replies;
    if (!r.SelectedReply || *r.SelectedReply < 0 || *r.SelectedReply >= r.ReplyCount())
        return false;
    const QString file = ReplyFilePath(session);
    const std::int32_t header = r.ReplyTable[std::size_t(*r.SelectedReply)].headerRecord;
    ReadReplyHeader(file, header, session.store);
    ReadReplyText(file, header + 1, session.store.CurrentHeader.blockCount, session.store);
    if (session.packet.control.readsQwke) // only then did this program write kludge lines
        applyKludgeLines(session.store.CurrentHeader, session.store.MessageText);
    return true;
}

bool navigateMessages(MailSession& session, Diagnostics& said, NavigationStep step) {
    // A failed read leaves the list where it was and the message shown intact.
    const MessageStoreState kept = session.store;
    if (session.viewer.ReplyMode) {
        ReplyState& r = session.replies;
        const auto target = navigationTarget(r.SelectedReply.value_or(-1), r.ReplyCount(), step);
        if (!target)
            return false;
        const std::optional<int> before = r.SelectedReply;
        r.SelectedReply = *target;
        try {
            readSelectedReply(session);
        } catch (...) {
            r.SelectedReply = before;
            session.store = kept;
            throw;
        }
        return true;
    }
    BrowserState& b = session.browser;
    const auto target = navigationTarget(b.CurrentListIndex, listedCount(b), step);
    if (!target)
        return false;
    const int before = b.CurrentListIndex;
    try {
        readListedMessage(session, said, *target);
    } catch (...) {
        b.CurrentListIndex = before;
        session.store = kept;
        throw;
    }
    return true;
}

std::optional<FontChange> chooseMessageFont(MailSession& session, UiServices& ui) {
    // The dialog shows the family actually drawn: a font the system lacks is replaced by
    // another, and accepting the dialog unchanged must not change the look.
    QFont shown = fontOf(session.settings.messageFont);
    shown.setFamily(QFontInfo(shown).family());
    const auto chosen = ui.chooseFont(shown);
    if (!chosen)
        return std::nullopt;
    QFont font = *chosen;
    // The settings keep points; a size given in pixels is counted at 96 dots per inch.
    if (font.pointSize() <= 0 && font.pixelSize() > 0)
        font.setPointSize(std::max(1, font.pixelSize() * 3 / 4));
    FontChange change;
    change.wasNotTerminal = session.settings.fontNotTerminal;
    const ProfileFile file = session.settingsFile();
    writeMessageFont(file, font);
    readMessageFont(file, session.settings);
    change.isNotTerminal = session.settings.fontNotTerminal;
    return change;
}

} // namespace velk
