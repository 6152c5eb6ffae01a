// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace velk {

struct PacketSession;
class UiServices;

// What the packet window's six read-only fields show.
struct PacketFields {
    QString PaquetName;
    QString PaquetDate;
    QString PaquetTime;
    QString PaquetUserName;
    QString PaquetBBSID;
    QString PaquetDoor;
};

// The part of a path after its last "/", or the whole path.
QString FileNamePart(const QString& path);

// The six fields of the open packet. Throws the date conversion error for a packet date
// that is no date.
PacketFields packetFields(const PacketSession& session);

// What every reader of a packet does once it is unpacked in the work directory, the packet
// window and velk-cli alike: the control file read, the BBS identifier checked, the reply
// files a packet may not bring removed (with a message for the user). False, with the
// message saying why, when the packet cannot be read. Errors of the runtime (a bad number)
// are thrown.
Diagnosed<bool> loadUnpackedPacket(PacketSession& session);

// Unpacks the packet into the work directory, which the caller emptied, then
// loadUnpackedPacket; false with the messages saying why. `messagesLater`: MESSAGES.DAT is
// left for messagesFileReady.
Diagnosed<bool> unpackAndLoadPacket(PacketSession& session, const QString& packet,
                                    bool messagesLater = false);

// "&Ouvrir un paquet QWK" up to the packet window: the work directory's test and question,
// the packet (the command-line one, else the file dialog on "*.Q*" in the QWK directory),
// emptying the work directory, unpacking, the control file, the BBS identifier's check, and
// the earlier reply packet offered for deletion or unpacked again. The fields to show when
// the packet window should open; nullopt when the opening stopped (after its messages) or
// was cancelled. Errors of the runtime (a bad number, a failed deletion) are thrown.
std::optional<PacketFields> openQwkPacket(PacketSession& session, UiServices& ui);

// A large MESSAGES.DAT is left out of the opening's unzip and unpacked once the packet
// window is on screen: an unzip beside the building of the windows slows it by more than the
// file's share, and the user takes a moment to choose the mail. Starts that unpacking.
void startMessagesUnpack(PacketSession& session);
// Everything that reads the messages first waits here, with the busy cursor; false, after
// the unpacking's messages (shown at each call), when it failed.
bool messagesFileReady(PacketSession& session, UiServices& ui);

// At start-up, for a packet named on the command line: when the work directory is there
// and may be emptied, empties it and starts unzip at once, so that the windows are built
// while it runs; openQwkPacket then waits for that unpacking instead of starting its own.
// Does nothing otherwise: the opening then asks and reports as usual.
void startCommandLineUnpack(PacketSession& session);

enum class CloseOutcome {
    Packed,        // the reply file went into the reply packet
    NothingToPack, // no reply file, or one of a single block
    PackFailed,    // zip failed: the work directory keeps its files
};

// "&Fermer" of the packet window without the closing itself: packs the reply file with
// zip -j into the reply packet, then empties the work directory (never deleting the packet
// itself) and forgets the command-line packet. On PackFailed nothing is deleted.
// With `files`, the reply packet is made afresh of those files instead (through a temporary
// archive renamed over it, so that a failure leaves the earlier one whole); no file at all
// removes it, nothing being left to send.
CloseOutcome closePacket(PacketSession& session, UiServices& ui,
                         const std::optional<QStringList>& files = std::nullopt);

// Which of the packet window's buttons have something to show: bulletins when there is one,
// news when the news file is there, new files when NEWFILES.DAT is there. The mail buttons
// always have.
struct PacketButtons {
    bool bulletins = false;
    bool news = false;
    bool newFiles = false;
    bool mail = true;
    bool personalMail = true;
};
PacketButtons packetButtons(const PacketSession& session);

// The news file named by the control file, found in the work directory; nullopt when
// there is none or its name is not a plain file name.
std::optional<QString> newsFilePath(const PacketSession& session);

} // namespace velk
