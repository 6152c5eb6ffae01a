// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"
#include "packet/PacketControl.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velk {

struct PacketSession;

// The packet merge keeps at most this many conferences; reading keeps them all.
constexpr int kMaxConferences = 1000;
// The longest conference name kept from the control file.
constexpr std::size_t kConferenceNameWidth = 255;

// Loads the unpacked packet of the work directory into session.packet.control: the bulletin
// names, CONTROL.DAT and DOOR.ID; the reply writer's logical counter starts again at 1.
// False, with its French message, when there is no control file. A numeric line that is
// no number throws the runtime's conversion error.
Diagnosed<bool> InitQWK(PacketSession& session);
Diagnosed<bool> InitQWK(const QString& workPath, PacketControl& control);

// The lines of a text file whose lines end with CR LF or LF alone; the last may have none.
std::vector<std::string> splitTextLines(const QByteArray& data);

// CONTROL.DAT field helpers shared with the packet merge: a text cut to a width, and the
// parts of a line before and after its first comma (no comma: empty before, all after).
std::string cutToWidth(std::string text, std::size_t width);
std::string beforeComma(const std::string& line);
std::string afterComma(const std::string& line);

// Whether DOOR.ID tells that the board reads QWKE kludge lines: a line "QWKE = ..." or
// "CONTROLTYPE = QWKE", in any case.
bool doorSaysQwke(const std::vector<std::string>& lines);

// DOOR.ID's "CONTROLNAME" and whether its "CONTROLTYPE" lines name ADD and DROP (in any
// case, blanks around "=" or none).
void readDoorControl(const std::vector<std::string>& lines, PacketControl& control);

// The number of a conference line, trailing blanks removed; nullopt when it lies outside
// 0-65535, where it could only wrap into the number of another conference. Throws the
// runtime's conversion error when the line is no number.
std::optional<std::uint16_t> conferenceNumber(const std::string& line);

// Fills the control fields from the lines of CONTROL.DAT (missing lines read as empty). A
// conference whose number is out of range is left out, with a message for the user.
Diagnostics parseControlLines(const std::vector<std::string>& lines, PacketControl& control);

// The bulletin files named in scan order, sorted by the number after their separator; a
// name without a readable number comes after the others.
std::vector<std::string> sortBulletins(const std::vector<std::string>& names, bool afterDot);

// The BBS identifier names the reply file and packet: a French message explaining why
// this one cannot (empty, over 8 characters, a path separator, "..", a control character
// or a blank), or an empty string when it is fine.
QString bbsIdProblem(const std::string& bbsId);

// Only the user's own replies may go into the reply packet: a reply file of this BBS (in
// any case) that came with the packet itself is deleted from the work directory. The
// French message telling the user, or an empty string when there was none.
QString removeReplyFilesFromPacket(const QString& workPath, const std::string& bbsId);

// The one name a board's own files take on disk, for the editor, the closing, the restoring
// and velk-cli alike: the identifier read in the DOS set, as the packet window shows it
// ("ÉTÉ" gives "ÉTÉ.MSG"), and the extension. Only for an identifier bbsIdProblem accepts.
enum class BoardFile { ReplyFile, ReplyPacket };
QString boardFileName(const std::string& bbsId, BoardFile kind);

// Earlier versions named the files of an identifier with bytes from 0x80 on by reading it as
// Latin-1: such a file of `directory`, when the right name is free, takes the right name, so
// that the replies it holds are found again.
void adoptOlderBoardFileName(const QString& directory, const std::string& bbsId, BoardFile kind);

// The reply file (work directory) and the reply packet (REP directory) of the open packet.
QString replyFilePath(const PacketSession& session);
QString replyPacketPath(const PacketSession& session);

} // namespace velk
