// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velk {

class UiServices;
struct IndexFileEntry;
struct MessageHeader;
struct PacketSession;

// A packet's message as mail programs and scripts receive it: Unicode, whole fields.
struct ExportedMessage {
    int conference = 0;
    QString conferenceName;
    std::optional<qint64> number; // none when the header's is no number
    qint64 reference = 0;         // 0: none
    QString status;               // the header's status character
    bool isPrivate = false;
    QDate date;                   // always a date (see exportedMessage)
    QTime time;                   // local time where the message was written
    std::optional<int> utcOffset; // of that local time, in seconds, when the board gave it
    QString headerDate;           // the header's date and time, when they gave no date
    QString from, to, subject;    // the board's long values where it gave some
    QByteArray text;              // UTF-8, every line ended by LF
    std::int32_t headerBlock = 0; // names the message when its number is none
};

// The message read into the store (ReadPacketMessage) as exported. A two-digit year is
// placed around `today`. Its date and time are those of HEADERS.DAT's "WhenWritten", with
// their zone, when it gives both; else the header's, in an unknown zone. A header date
// that is no date (02-30-96, letters) gives way to `packetDate`, the time the board made
// the packet, which no message postdates (1 January 1970 when that is no date either),
// and the header's text is kept in `headerDate`.
ExportedMessage exportedMessage(const MessageHeader& header, const std::string& text,
                                int conference, const QString& conferenceName,
                                std::int32_t headerBlock, const QDate& today,
                                const QDateTime& packetDate = QDateTime());

// The domain of the board's addresses and message identifiers: its id in lower case,
// letters, digits and hyphens only, then ".qwk".
QByteArray boardDomain(const std::string& bbsId);

// A header's value: printable ASCII as it is, anything else as RFC 2047 encoded words of
// UTF-8 on folded lines of at most 76 characters, the first one starting after `used`
// characters (the header's name). Control characters become blanks.
QByteArray encodedHeaderText(const QString& value, qsizetype used);

// One message of an mbox file ("mboxrd"): the "From " line, the headers, a blank line, the
// body in UTF-8 with ">" before each line that reads ">*From ", then a blank line. A body
// with a line longer than mail allows (998 bytes) goes quoted-printable instead, where no
// line reads ">*From ".
void appendMboxMessage(QByteArray& out, const ExportedMessage& message, const QByteArray& domain);

// One message as a JSON object, without separator.
void appendJsonMessage(QByteArray& out, const ExportedMessage& message);

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
                         UiServices& ui);

} // namespace velk
