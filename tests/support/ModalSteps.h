// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velk {

// A user in front of the real modal windows: each step waits until the window on top is a
// new modal window of its class, then acts on it (types, clicks) from the event loop that
// window's exec() runs. Two steps in a row never act on the same window. A modal window that
// no step expects fails the test after a few seconds and is rejected, so nothing hangs.
class ModalSteps {
public:
    using Step = std::function<void(QWidget&)>;

    ModalSteps() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
    }

    // Each step on the next new modal window, whatever its class.
    explicit ModalSteps(std::vector<Step> steps) : ModalSteps() {
        for (Step& step : steps)
            then("QWidget", std::move(step));
    }

    // `className` is Qt's own ("QMessageBox") or one of ours without its namespace.
    ModalSteps& then(const char* className, Step step) {
        std::string name = className;
        if (name.rfind('Q', 0) != 0)
            name = "velk::" + name;
        steps_.emplace_back(std::move(name), std::move(step));
        return *this;
    }

    bool done() const { return steps_.empty(); }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (steps_.empty() || modal == last_ || !modal->inherits(steps_.front().first.c_str())) {
            // A window no step expects would wait for ever: the test fails and goes on.
            if (++idlePolls_ == kPatience) {
                ADD_FAILURE() << "modal window left waiting: " << modal->metaObject()->className()
                              << " " << modal->property("text").toString().toStdString();
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                idlePolls_ = 0;
            }
            return;
        }
        idlePolls_ = 0;
        last_ = modal;
        // Run from a timer of its own: a timer never fires again while its own handler runs,
        // and the step may open a modal window the next step must see.
        QTimer::singleShot(0, modal,
                           [step = std::move(steps_.front().second), modal] { step(*modal); });
        steps_.pop_front();
    }

    static constexpr int kPatience = 500; // polls, five seconds

    QTimer timer_;
    int idlePolls_ = 0;
    std::deque<std::pair<std::string, Step>> steps_;
    QPointer<QWidget> last_;
};

} // namespace velk
