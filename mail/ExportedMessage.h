// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstdint>
#include <optional>
#include <string>

namespace velk {

struct MessageHeader;

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

// "hh:mm" as a time; midnight when it is none.
QTime clockOf(const std::string& field);

} // namespace velk
