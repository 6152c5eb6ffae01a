// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// One conference of the control file. Elsewhere a conference is named by its position.
struct ConferenceEntry {
    std::uint16_t ConferenceNumber = 0;
    std::string ConferenceName; // DOS bytes, at most 30
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
};

// A conference that has an index file, as the packet window lists it for the browser.
struct IndexFileEntry {
    std::string fileName;
    int conferencePosition = -1; // -1: no conference of the control file has its number
    std::int32_t messageCount = 0;
};

// The open packet as the windows share it.
struct PacketState {
    PacketControl control;
    QString packetFileName;
    std::vector<IndexFileEntry> indexFiles;
    // Numbers the replies written since this packet was opened.
    std::uint16_t LogicalCounter = 1;
};
