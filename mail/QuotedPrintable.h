// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

namespace velk {

// The body as it is, with ">" before each line that reads ">*From "; false, and nothing
// written, when a line would be longer than mail carries (998 bytes).
bool appendQuotedBody(QByteArray& out, const QByteArray& body);

// The body quoted-printable: lines of at most 76 characters with their soft breaks, and
// none that reads ">*From ", whose first character goes encoded.
void appendQuotedPrintable(QByteArray& out, const QByteArray& body);

} // namespace velk
