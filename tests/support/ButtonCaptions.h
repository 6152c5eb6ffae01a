// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPushButton>
#include <QString>

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>

namespace velk {

// One row of a window's table of buttons: what the user reads on it and in its hint, and
// whether it can be pressed when that matters.
struct ButtonCaption {
    QPushButton* button;
    const char* caption;
    const char* hint;
    std::optional<bool> enabled = std::nullopt;
};

inline void expectButtons(std::initializer_list<ButtonCaption> buttons) {
    for (const ButtonCaption& b : buttons) {
        EXPECT_EQ(b.button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(b.button->toolTip(), QString::fromUtf8(b.hint)) << b.caption;
        if (b.enabled) {
            EXPECT_EQ(b.button->isEnabled(), *b.enabled) << b.caption;
        }
    }
}

} // namespace velk
