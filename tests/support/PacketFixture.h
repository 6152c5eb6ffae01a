// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

namespace velk {

// A session on configured directories and a packet to build; unpack() writes it to the work
// directory and opens it.
class PacketFixture : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    PacketBuilder b;

    void SetUp() override { dirs.configure(s); }
    void unpack() {
        b.writeTo(s.settings.workPath);
        ASSERT_TRUE(shown(InitQWK(s), ui));
    }
};

} // namespace velk
