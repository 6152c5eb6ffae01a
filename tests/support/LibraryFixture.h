// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/FileUtil.h"
#include "library/LibraryFile.h"
#include "library/LibraryState.h"
#include "tests/support/ScriptedUiServices.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <string>

#include <gtest/gtest.h>

namespace velk {

// The marks of a library entry (start, default, end) and the DOS line end.
inline const std::string AE = "\xAE", AD = "\xAD", AF = "\xAF", CRLF = "\r\n";

// An entry as a library file holds it.
inline std::string entry(const std::string& text, bool isDefault = false) {
    return AE + (isDefault ? AD : "") + text + AF + CRLF;
}

inline QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

// The library files of a temporary VELK directory and the state they load into.
class LibraryFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    LibraryState state;
    ScriptedUiServices ui;

    QString path(LibraryKind kind) const { return LibraryPath(dir.path(), kind); }
    void write(LibraryKind kind, const std::string& content) {
        writeFileAtomically(path(kind), bytes(content));
    }
    QByteArray onDisk(LibraryKind kind) const { return readWholeFile(path(kind)); }
};

} // namespace velk
