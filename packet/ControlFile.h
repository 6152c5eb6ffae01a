// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/PacketControl.h"

#include <QString>

#include <string>
#include <vector>

struct PacketSession;
class UiServices;

constexpr int kMaxConferences = 1000;

// Loads the unpacked packet of the work directory into session.packet.control: the bulletin
// names, CONTROL.DAT and DOOR.ID; the reply writer's logical counter starts again at 1.
// False, after its French message, when there is no control file. A numeric line that is
// no number throws the runtime's conversion error.
bool InitQWK(PacketSession& session, UiServices& ui);
bool InitQWK(const QString& workPath, PacketControl& control, UiServices& ui);

// The lines of a text file whose lines end with CR LF or LF alone; the last may have none.
std::vector<std::string> splitTextLines(const QByteArray& data);

// CONTROL.DAT field helpers shared with the packet merge: a text cut to a width, and the
// parts of a line before and after its first comma (no comma: empty before, all after).
std::string cutToWidth(std::string text, std::size_t width);
std::string beforeComma(const std::string& line);
std::string afterComma(const std::string& line);

// Fills the control fields from the lines of CONTROL.DAT (missing lines read as empty).
void parseControlLines(const std::vector<std::string>& lines, PacketControl& control,
                       UiServices& ui);

// The bulletin files named in scan order, sorted by the number after their separator; a
// name without a readable number comes after the others.
std::vector<std::string> sortBulletins(const std::vector<std::string>& names, bool afterDot);

// The BBS identifier names the reply file and packet: a French message explaining why
// this one cannot (empty, over 8 characters, a path separator, "..", a control character
// or a blank), or an empty string when it is fine.
QString bbsIdProblem(const std::string& bbsId);

// The reply file (work directory) and the reply packet (REP directory) of the open packet.
QString replyFilePath(const PacketSession& session);
QString replyPacketPath(const PacketSession& session);
