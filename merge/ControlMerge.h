// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/PacketControl.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

class UiServices;

// What the merge reads of a CONTROL.DAT. Texts are DOS bytes cut to their widths.
struct MergeControlData {
    std::string bbsName;    // 40
    std::string bbsId;      // 8
    std::string packetDate; // 10
    std::string packetTime; // 10
    std::string userName;   // 50
    std::int32_t totalMessages = 0;
    std::vector<ConferenceEntry> conferences; // names cut to the width asked
};

// Conference names are held at one width for both packets, so that a long name compares
// equal to itself.
constexpr std::size_t kMergeNameWidth = 80;

// Reads lines 1 to 13 + 2i; numbers are read with trailing blanks removed and throw the
// runtime's conversion error when they are none. Every conference, as the reader keeps them;
// one whose number lies outside 0-65535 is left out.
MergeControlData readMergeControlData(const std::vector<std::string>& lines,
                                      std::size_t nameWidth = kMergeNameWidth);

// The notes for the user that the control-file step collects.
struct MergeNotices {
    QStringList NoticeMemo;
    bool NoticesProduced = false;
    void add(const QString& notice) {
        NoticeMemo.append(notice);
        NoticesProduced = true;
    }
};

// A base conference that the integrated packet knows under another number: its messages
// go under the new one, before the integrated packet's.
struct Renumbering {
    std::uint16_t from = 0;
    std::uint16_t to = 0;
};

// The control-file step. Compares the two CONTROL.DAT (same BBS, same user: a question
// each when they differ), collects the notices of renamed, new and renumbered conferences,
// adds the new and renumbered ones to the base control file in number order (the renumbered
// ones listed in `renumbered`, in order), sets its date, time and message total, and writes
// it back. The integrated packet's identity and conferences go into `control`. False, after
// its message, when a control file is missing or a question was refused. Throws VelkError
// on a bad number or a file error.
bool GereControlDat(const QString& baseDirectory, const QString& integratedDirectory,
                    PacketControl& control, MergeNotices& notices, UiServices& ui,
                    std::vector<Renumbering>& renumbered);

} // namespace velk
