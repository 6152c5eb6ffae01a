// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/ExportedMessage.h"

#include <QByteArray>
#include <QString>

namespace velk {

// One message as a JSON object, without separator.
void appendJsonMessage(QByteArray& out, const ExportedMessage& message);

// `{"conference":5,"conferenceName":"Technique"`, the same for every message of a
// conference, which the packet's export writes once.
QByteArray jsonConference(int conference, const QString& name);
// One message after its conference's opening, without separator.
void appendJson(QByteArray& out, const ExportedMessage& m, const QByteArray& conference);

} // namespace velk
