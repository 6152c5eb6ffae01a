// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "cli/CliRegistry.h"
#include "core/UiServices.h"
#include "session/Session.h"

#include "core/FileUtil.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace velk {

class BlockFile;
struct HeadersFile;

// What the reader commands say to the user goes to standard error; a question gets "Non"
// and a dialog is cancelled, since nobody is there to answer.
class CliUiServices : public HeadlessUiServices {
public:
    explicit CliUiServices(CliIo& io) : io_(io) {}
    void message(const QString& text, MessageKind kind, const QString& caption) override;
    bool askYesNo(const QString& text, const QString& caption) override;
    Answer askYesNoCancel(const QString& text, const QString& caption) override;

private:
    CliIo& io_;
};

// A packet unpacked into a private temporary directory, removed when it goes; the
// configured work directory is never used.
struct CliPacket {
    TemporaryDirectory directory;
    Session session;
    std::vector<IndexFileEntry> indexFiles;
};

// What a command reads of the packet: its messages, or only the control and index files;
// MESSAGES.DAT, the bulk of a packet, is then unpacked only to count the messages of a
// conference that has no index file.
enum class CliMessages { Read, CountedOnly };

// Unpacks and loads the packet, which must have `conference` when one is asked for; on
// failure the French message is on standard error and the result is null.
std::unique_ptr<CliPacket> openCliPacket(const QString& packetPath, CliIo& io, UiServices& ui,
                                         std::optional<int> conference = std::nullopt,
                                         CliMessages messages = CliMessages::Read);

// DOS bytes as UTF-8 text, with their trailing blanks and NULs removed; a NUL never prints.
QString cliText(std::string_view dos);

// A header field on a line of its own or in a column: a tab, CR or LF shows as its DOS sign
// and any other control as a blank, so that a script reads one line and one column per field.
QString cliField(QString text);

// Reads a number argument; prints the French message and returns nullopt when it is not.
std::optional<int> cliNumber(const QString& arg, CliIo& io);

// The arguments of a packet command: the packet path, then `minNumbers` to `maxNumbers`
// numbers. The numbers read, or nullopt after the usage (wrong count) or the first bad
// number's French message.
std::optional<std::vector<int>> cliPacketNumbers(const QStringList& args, int minNumbers,
                                                 int maxNumbers, const QString& usage, CliIo& io);

// The message header at `block`, read into the store, as `list` prints it: conference,
// number, date, author, recipient and subject, tab-separated, in the message's own set; a
// tab, CR or LF of a field shows as its DOS sign, so each message is one line of six columns.
QString cliListLine(Session& s, BlockFile& messages, const HeadersFile& headers, int conference,
                    std::int32_t block, UiServices& ui);

// The same line for a message the browser has listed.
QString cliListLine(const HeadersFile& headers, int conference, const ListedMessage& message);

// The position in the table of the conference with this number.
std::optional<int> conferencePositionOf(const PacketControl& control, int number);

} // namespace velk
