// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "merge/ControlMerge.h"
#include "packet/HeaderExtensions.h"

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

namespace velk {

class UiServices;

// What a reader reaches of one unpacked packet, as the packet window lists it: each
// conference's header blocks (its index file, or the messages MESSAGES.DAT holds where it
// has none) and the user's.
struct PacketEntries {
    std::map<std::uint16_t, std::vector<std::int32_t>> conferences;
    std::vector<std::int32_t> personal;
};
// Throws VelkError when a file cannot be read, or the control file holds a bad number.
PacketEntries readPacketEntries(const QString& directory);

// Two unpacked packets made into one in the base directory, step by step: the messages,
// then (after the control-file step) the index files and the check of the result. Every
// step throws VelkError, with the French text of what failed, and never touches anything
// outside the two directories.
class PacketMerge {
public:
    // Whose TOREADER.EXT leads: the newer packet's.
    PacketMerge(QString baseDirectory, QString integratedDirectory, bool integratedIsNewer = true);

    // Reads what a reader reaches of both packets, then appends the integrated messages to
    // the base's and carries both HEADERS.DAT and VOTING.DAT, the integrated sections
    // under the offsets their messages now have.
    void combineMessages();

    // Writes an index file for every conference with messages and PERSONAL.NDX, carries
    // TOREADER.EXT, adds the notices of sections left out, then checks the result.
    void finish(const std::vector<Renumbering>& renumbered, MergeNotices& notices);

    // What the merged packet lacks, read back as a reader reads it: messages of either packet
    // it does not reach, integrated texts not carried whole, long fields lost. Empty when
    // nothing is.
    QString check() const;

    // N1: the base file's blocks, where the integrated messages begin.
    std::int64_t baseBlocks() const { return n1_; }

private:
    void carrySections(const QString& name);
    void carryToReader(const std::vector<Renumbering>& renumbered) const;
    void patchOverrunningCounts() const;
    std::int32_t baseTarget(std::int32_t block) const;
    std::int32_t integratedTarget(std::int32_t block) const;

    QString base_;
    QString integrated_;
    bool integratedIsNewer_;
    PacketEntries baseEntries_;
    PacketEntries integratedEntries_;
    std::int64_t n1_ = 0;
    std::int64_t integratedBlocks_ = 0;
    HeadersFile baseHeaders_;
    HeadersFile integratedHeaders_;
    QStringList sectionNotices_;
    std::map<std::uint16_t, std::vector<std::int32_t>> written_;
    std::vector<std::int32_t> writtenPersonal_;
};

// The whole combining of two unpacked packets: the messages, the control-file step, the
// index files and the check. False when the control-file step stopped (after its message).
bool MergePackets(const QString& baseDirectory, const QString& integratedDirectory,
                  PacketControl& control, MergeNotices& notices, UiServices& ui);

} // namespace velk
