// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

#include <gtest/gtest.h>

namespace velk {

// A quoted-printable body as a mail program reads it: soft breaks joined, "=XX" as its byte.
// A malformed escape fails the test.
inline QByteArray decodedQuotedPrintable(const QByteArray& encoded) {
    QByteArray out;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '=') {
            out += encoded[i];
        } else if (encoded.mid(i + 1, 1) == "\n") {
            ++i;
        } else {
            const QByteArray hex = encoded.mid(i + 1, 2);
            bool ok = false;
            const int byte = hex.toInt(&ok, 16);
            EXPECT_TRUE(ok && hex == hex.toUpper()) << "bad escape =" << hex.toStdString();
            out += char(byte);
            i += 2;
        }
    }
    return out;
}

} // namespace velk
