// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <thread>

namespace velk {

// Two waits of the start-up whose results no window needs at once, run on a second thread
// so that they overlap the main thread's own work instead of adding to it: fontconfig
// reading its configuration and font caches (some 5 ms, which the first text laid out would
// otherwise pay), and the connection to the session bus that the accessibility bridge opens
// when the first widget announces itself (a round trip to the bus, or some 4 ms where no bus
// runs and libdbus tries to launch one). Both are what the toolkit does anyway, only sooner.
class StartUpWarmUp {
public:
    // Before the application object (fontconfig needs none), once the unpacking has started.
    // `wanted` false: nothing is warmed. A second thread only helps while a processor is free,
    // and a long unzip keeps one busy: taking from it would delay the window it waits for.
    explicit StartUpWarmUp(bool wanted);
    ~StartUpWarmUp() { finish(); }
    StartUpWarmUp(const StartUpWarmUp&) = delete;
    StartUpWarmUp& operator=(const StartUpWarmUp&) = delete;

    // Once the application object exists: the fonts are waited for, so that the main thread
    // does not load a second configuration of its own, and the bus connection starts.
    void applicationReady();
    // Waits for whatever still runs: before the application object is destroyed.
    void finish();

private:
    bool wanted_;
    std::thread fonts_;
    std::thread bus_;
};

} // namespace velk
