// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/EncodedWords.h"
#include "mail/ExportedMessage.h"
#include "mail/JsonExport.h"
#include "mail/MboxExport.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

namespace velk {

class Diagnostics;
struct IndexFileEntry;
struct PacketSession;

enum class ExportFormat { Mbox, Json };

struct ExportTarget {
    ExportFormat format;
    QString path;
};

// Writes every message of the packet, conference by conference in the control file's order
// and each in its index order (only conference `only` when given), into each target, which
// is replaced only once whole. Returns how many messages went. Throws VelkError.
std::size_t exportPacket(PacketSession& session, const std::vector<IndexFileEntry>& indexFiles,
                         std::optional<int> only, const std::vector<ExportTarget>& targets,
                         Diagnostics& said);

} // namespace velk
