// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/StartUpWarmUp.h"

#include <QDBusConnection>

#include <fontconfig/fontconfig.h>

namespace velk {

StartUpWarmUp::StartUpWarmUp(bool wanted) : wanted_(wanted) {
    if (wanted_)
        fonts_ = std::thread([] { FcInit(); });
}

void StartUpWarmUp::finish() {
    if (fonts_.joinable())
        fonts_.join();
    if (bus_.joinable())
        bus_.join();
}

void StartUpWarmUp::applicationReady() {
    if (fonts_.joinable())
        fonts_.join();
    if (!wanted_)
        return;
    // The connection is the process's shared one: the bridge finds it made, or being made.
    bus_ = std::thread([] { QDBusConnection::sessionBus(); });
}

} // namespace velk
