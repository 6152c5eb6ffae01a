// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velk {

struct HeadersFile;
struct MessageFileIndex;

// One conference of the control file. Elsewhere a conference is named by its position.
struct ConferenceEntry {
    std::uint16_t ConferenceNumber = 0;
    std::string ConferenceName; // DOS bytes, as the control file names it (at most 255)
};

// What describes the open packet: CONTROL.DAT, DOOR.ID and the bulletin names.
// Texts stay DOS bytes, cut to their widths.
struct PacketControl {
    std::string BbsName;    // 40
    std::string BbsCity;    // 40
    std::string BbsRegion;  // 40
    std::string BbsPhone;   // 40
    std::string SysopName;  // 80
    std::string BbsId;      // 8
    std::string PacketDate; // 10
    std::string PacketTime; // 10
    std::string UserName;   // 50
    std::int32_t TotalMessages = 0;
    std::int32_t ConferenceCount = 0;
    std::vector<ConferenceEntry> Conferences;
    std::string WelcomeFile; // 12
    std::string NewsFile;    // 12
    std::string GoodbyeFile; // 12
    std::string DoorName;    // 20
    std::string DoorVersion; // 10
    std::int32_t BulletinCount = 0;
    std::vector<std::string> BulletinFiles; // sorted by bulletin number
    bool BulletinsNumberedAfterDot = true;
    // The board reads QWKE kludge lines in replies: TOREADER.EXT is in the packet or DOOR.ID
    // says so.
    bool readsQwke = false;
    // Where DOOR.ID says the door takes requests as messages: the name to write to
    // ("CONTROLNAME"), and whether it takes "ADD" and "DROP" ("CONTROLTYPE = ADD" / "DROP").
    std::string ControlName; // 25 at most, DOS bytes
    bool ControlAdd = false;
    bool ControlDrop = false;
};

// A conference that has messages, as the packet window lists it for the browser: from its
// index file, or, when it has none, from the messages of MESSAGES.DAT.
struct IndexFileEntry {
    std::string fileName;        // empty: no index file, see builtIndex
    int conferencePosition = -1; // -1: no conference of the control file has its number
    std::int32_t messageCount = 0;
    std::uint16_t conferenceNumber = 0;
    std::vector<std::int32_t> builtIndex; // header blocks found in MESSAGES.DAT, file order
};

// The open packet as the windows share it.
struct PacketState {
    PacketControl control;
    QString packetFileName;
    std::vector<IndexFileEntry> indexFiles;
    // Numbers the replies written since this packet was opened.
    std::uint16_t LogicalCounter = 1;
    // Read from the packet's files on first use and kept until the next opening.
    std::shared_ptr<const MessageFileIndex> builtIndex;
    std::shared_ptr<const HeadersFile> headersFile;
};

} // namespace velk
