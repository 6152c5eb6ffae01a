// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace velk {

// A header's value: printable ASCII as it is, anything else as RFC 2047 encoded words of
// UTF-8 on folded lines of at most 76 characters, the first one starting after `used`
// characters (the header's name). Control characters become blanks.
QByteArray encodedHeaderText(const QString& value, qsizetype used);

// The name in an address header, a quoted string or encoded words, after `used`
// characters; returns whether it holds encoded words.
bool appendDisplayName(QByteArray& out, const QString& name, qsizetype used);

} // namespace velk
