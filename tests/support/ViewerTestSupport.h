// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/AnsiTestSupport.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <string>

namespace velk {

namespace viewertest {

// Screens whose first cell is a full block in one palette colour: red (31) or green (32).
inline const std::string kRedScreen = "\x1b[31m\xDB\x1b[0m\r\n";
inline const std::string kGreenScreen = "\x1b[32m\xDB\x1b[0m\r\n";

// A packet unpacked into the configured work directory and read by InitQWK.
class PacketFixture : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    PacketBuilder builder;

    void SetUp() override { dirs.configure(s); }
    QString work(const QString& name) const { return joinPath(s.settings.workPath, name); }
    void unpack() {
        builder.conference(0, "Principal");
        builder.writeTo(s.settings.workPath);
        ASSERT_TRUE(shown(InitQWK(s.settings.workPath, s.packet.control), ui));
    }
};

} // namespace viewertest

} // namespace velk
