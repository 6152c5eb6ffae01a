// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/UiServices.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every harness shares: the input as bytes, a file that holds it (in memory, never on
// disk), and UI services that show nothing.

inline QByteArray fuzzBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One anonymous in-memory file per process, rewritten for each input; its path opens it
// like any file.
class FuzzFile {
public:
    FuzzFile();
    // Replaces the content; returns the path to open.
    QString hold(const QByteArray& bytes);

private:
    int fd_ = -1;
};

// A private directory per process under /dev/shm (or the temporary directory), for the
// code that wants a directory and names its files itself.
QString fuzzDirectory();
