// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/FileUtil.h"

#include <thread>

namespace velk {

// Every temporary file of velk-cli lies below one private directory (it becomes TMPDIR),
// removed when the program ends, normally or by SIGINT, SIGTERM or SIGHUP. On a signal the
// children are killed first, so that no unpacker goes on filling the directory, and the
// program ends with 128 + the signal's number, having said nothing more. A run killed
// outright (SIGKILL) leaves its directory, named after its process: the next run removes it.
//
// Construct it first in main(), before any thread starts: the signals are blocked for every
// thread to come and one thread of its own waits for them.
class CliTemporaryRoot {
public:
    CliTemporaryRoot();
    ~CliTemporaryRoot();
    CliTemporaryRoot(const CliTemporaryRoot&) = delete;
    CliTemporaryRoot& operator=(const CliTemporaryRoot&) = delete;

    bool isValid() const { return directory_.isValid(); }
    QString path() const { return directory_.path(); }

private:
    TemporaryDirectory directory_;
    std::thread watcher_;
};

} // namespace velk
