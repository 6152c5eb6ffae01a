// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>

class QAbstractButton;
class QAbstractItemView;
class QWidget;

namespace velk {

class UiServices;

// A click on a line of `list` calls `act` with its row; so does Enter (either key) on the
// current line. A double-click acts through its first click, once.
void actOnClick(QAbstractItemView& list, const std::function<void(int row)>& act);

// For a list that acts when its current line changes: Enter and a double-click act again,
// so that a keyboard or mouse user can "open" the line already current.
void actOnEnter(QAbstractItemView& list, std::function<void()> act);

// The Help button and F1 open the help at the window's context number; F1 does nothing
// while the button is hidden or disabled.
void connectHelp(QWidget& window, QAbstractButton& button, UiServices& ui, int context);

} // namespace velk
