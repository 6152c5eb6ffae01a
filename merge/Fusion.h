// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "merge/ControlMerge.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace velk {

struct PacketControl;
struct PacketSession;
class UiServices;

// Which file list of the merge window gets the focus after a refused check.
enum class FusionFocus { SourceFileListBox, DestFileListBox };

// The checks made before a merge, in order: both packets chosen, not the same file, the
// ".QWK" extensions, the integrated packet not older than the base, enough free space on the
// file system holding `spacePath` (five times both sizes). Each refusal is a message or a
// question answered No: the list to focus is returned. nullopt when the merge may run.
// Throws VelkError when a chosen file cannot be read.
std::optional<FusionFocus> CheckFusion(const QString& basePath, const QString& integratedPath,
                                       const QString& spacePath, UiServices& ui);

// The same, with the free space of the file system holding the QWK directory.
std::optional<FusionFocus> CheckFusion(const PacketSession& session, const QString& basePath,
                                       const QString& integratedPath, UiServices& ui);

// Whether the free space is short for unpacking both packets: not more than five times
// their sizes together.
bool lowOnSpace(std::uint64_t available, std::int64_t baseSize, std::int64_t integratedSize);

// Receives the progress text of each step (the empty text at the end).
using FusionStatus = std::function<void(const QString& Statut)>;

enum class IntegratedDeletion { Ask, Keep, Delete };

struct FusionResult {
    bool merged = false;
    bool integratedDeleted = false;
    MergeNotices notices;
};

// The merge itself: empties the work directory, unpacks the base packet into "tmp1" and the
// integrated one into "tmp2" below it, combines them, packs the result and puts it in place
// of the base packet (keeping its date and time, through a temporary file beside it and a
// rename), empties the work directory again, tells the user, and deletes the integrated
// packet when asked to. Every failure is told through `ui` and leaves the base packet as it
// was. `workPath` must be a directory the merge may empty. The integrated packet's identity
// and conferences go into `control`.
FusionResult DoFusion(const QString& basePath, const QString& integratedPath,
                      const QString& workPath, PacketControl& control, UiServices& ui,
                      const FusionStatus& Statut,
                      IntegratedDeletion deletion = IntegratedDeletion::Ask);

// The same in the configured work directory, once it has passed the work-directory guard.
FusionResult DoFusion(PacketSession& session, const QString& basePath,
                      const QString& integratedPath, UiServices& ui, const FusionStatus& Statut);

} // namespace velk
