// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/ExportedMessage.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <unordered_map>

namespace velk {

// The domain of the board's addresses and message identifiers: its id in lower case,
// letters, digits and hyphens only, then ".qwk".
QByteArray boardDomain(const std::string& bbsId);

// One message of an mbox file ("mboxrd"): the "From " line, the headers, a blank line, the
// body in UTF-8 with ">" before each line that reads ">*From ", then a blank line. A body
// with a line longer than mail allows (998 bytes) goes quoted-printable instead, where no
// line reads ">*From ".
void appendMboxMessage(QByteArray& out, const ExportedMessage& message, const QByteArray& domain);

// "X-QWK-Conference: 5 Technique", which the packet's export makes once per conference.
QByteArray conferenceHeader(int conference, const QString& name);

// The addresses made for the names met so far: a packet holds few names, many times over.
class LocalParts {
public:
    QByteArray of(const QString& name);

private:
    static constexpr std::size_t kMostNames = 10000;
    std::unordered_map<QString, QByteArray> known_;
};

// One message, with its conference's header line and the addresses made so far.
void appendMbox(QByteArray& out, const ExportedMessage& m, const QByteArray& domain,
                const QByteArray& conferenceLine, LocalParts& locals);

} // namespace velk
