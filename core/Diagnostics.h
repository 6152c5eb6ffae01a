// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/UiServices.h"

#include <QString>

#include <type_traits>
#include <utility>
#include <vector>

namespace velk {

// What a step that asks the user nothing has to tell: its French messages in order, kept as
// a value so that the logic does not need the user's services, and shown afterwards by the
// window or velk-cli (showTo). Nodiscard: a message dropped by mistake would be a silent
// failure.
struct Diagnostic {
    QString text;
    MessageKind kind = MessageKind::Information;
    QString caption; // null: the program's title, as UiServices::message
};

class [[nodiscard]] Diagnostics {
public:
    void add(QString text, MessageKind kind = MessageKind::Information, QString caption = {}) {
        items_.push_back({std::move(text), kind, std::move(caption)});
    }
    void append(const Diagnostics& other) {
        items_.insert(items_.end(), other.items_.begin(), other.items_.end());
    }
    const std::vector<Diagnostic>& items() const { return items_; }
    bool empty() const { return items_.empty(); }

    // Shows each message in order, as the step would have shown it itself.
    void showTo(UiServices& ui) const {
        for (const Diagnostic& d : items_)
            ui.message(d.text, d.kind, d.caption);
    }

private:
    std::vector<Diagnostic> items_;
};

// A result with the messages that go with it.
template <typename T> struct [[nodiscard]] Diagnosed {
    T value;
    Diagnostics diagnostics;
};

// Shows a result's messages and gives its value: the caller's one line.
template <typename T> T shown(Diagnosed<T> result, UiServices& ui) {
    result.diagnostics.showTo(ui);
    return std::move(result.value);
}

// Runs a step that reports into a Diagnostics and shows what it said, also when the step
// stops by an exception (its messages then come before the exception's own), and gives the
// step's result: the caller's one line for logic deep in a chain that cannot return a value.
template <typename F> decltype(auto) reportedTo(UiServices& ui, F&& step) {
    Diagnostics said;
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<F, Diagnostics&>>) {
            std::forward<F>(step)(said);
            said.showTo(ui);
        } else {
            decltype(auto) result = std::forward<F>(step)(said);
            said.showTo(ui);
            return result;
        }
    } catch (...) {
        said.showTo(ui);
        throw;
    }
}

} // namespace velk
