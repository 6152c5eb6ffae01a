// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"
#include "core/UiServices.h"
#include "core/VelkError.h"

#include <new>
#include <utility>

namespace velk {

// The boundary of one user action: a VelkError stops the action and its French text is
// shown; the program goes on. Returns false when the action was stopped.
template <typename F> bool runAction(UiServices& ui, F&& action) {
    try {
        std::forward<F>(action)();
        return true;
    } catch (const VelkError& e) {
        ui.message(e.message(), MessageKind::Error);
    } catch (const std::bad_alloc&) {
        ui.message(QStringLiteral("Pas assez de mémoire pour travailler."), MessageKind::Error);
    }
    return false;
}

// An action whose logic reports into a Diagnostics instead of showing: what it said is shown
// when it ends, and before the error that stopped it, as the logic once showed it itself.
template <typename F> bool runReported(UiServices& ui, F&& action) {
    return runAction(ui, [&] { reportedTo(ui, std::forward<F>(action)); });
}

} // namespace velk
