// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/UiServices.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Reported.h"

#include <QObject>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <variant>

namespace velk {

// UI services for tests: every question takes its answer from a queue the test fills,
// every text shown or asked is recorded, and a prompt nobody scripted fails the test.
// A modal window runs the test's handler for its class instead of an event loop.
// At its end the test also fails when an answer was never used, or when a warning or an
// error was shown after the test last read the texts (events(), texts(), messages()).
class ScriptedUiServices : public UiServices {
public:
    ScriptedUiServices() = default;
    ScriptedUiServices(const ScriptedUiServices&) = delete;
    ScriptedUiServices& operator=(const ScriptedUiServices&) = delete;
    ~ScriptedUiServices() override;

    enum class Kind {
        Message,
        YesNo,
        YesNoCancel,
        OpenFile,
        SaveFile,
        Directory,
        Font,
        Colour,
        Find,
        Printer,
        Modal,
        Help
    };

    struct Event {
        Kind kind;
        QString text; // the message or question, the dialog title, the window class
        QString caption;
        MessageKind messageKind = MessageKind::Information;
    };

    using ModalHandler = std::function<int(QObject& window)>;

    // Answers, consumed in order by the matching kind of prompt.
    void answerYesNo(bool yes);
    void answerYesNoCancel(Answer a);
    void answerOpenFile(std::optional<QString> path);
    void answerSaveFile(std::optional<QString> path);
    void answerDirectory(std::optional<QString> path);
    void answerFont(std::optional<QFont> font);
    void answerColour(std::optional<QColor> colour);
    void answerFind(std::optional<FindRequest> find);
    void answerPrinter(bool accepted);

    // The handler runs in place of the event loop whenever a window of that class is shown
    // modally; its result is the window's result code.
    void onModal(const char* className, ModalHandler handler) {
        modal_[className] = std::move(handler);
    }

    const std::vector<Event>& events() const {
        markRead();
        return events_;
    }
    // Texts of the message boxes and questions, in order.
    QStringList texts() const;
    QStringList messages() const; // message boxes only
    bool allAnswersUsed() const { return answers_.empty(); }
    std::size_t pendingAnswers() const { return answers_.size(); }
    int busyDepth() const { return busy_; }
    QString lastFileRequestDirectory() const { return lastFileRequest_.directory; }
    const FileDialogRequest& lastFileRequest() const { return lastFileRequest_; }
    // Forgets the texts shown so far; a warning or error not yet read still fails the test.
    void clear();

    void message(const QString& text, MessageKind kind, const QString& caption) override;
    bool askYesNo(const QString& text, const QString& caption) override;
    Answer askYesNoCancel(const QString& text, const QString& caption) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QString> directoryName(const FileDialogRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<FindRequest> find(const FindRequest& initial) override;
    bool choosePrinter(QPrinter& printer) override;
    int runModal(QObject& window) override;
    // Really hides and shows the opener (through its slots), so that a window's handler sees
    // what a user would: the opener off the screen.
    void runHidden(QObject& opener, const std::function<void()>& run) override;
    void showHelp(int context) override;
    void setBusy(bool busy) override { busy_ += busy ? 1 : -1; }

private:
    using Value = std::variant<bool, Answer, std::optional<QString>, std::optional<QFont>,
                               std::optional<QColor>, std::optional<FindRequest>>;
    struct Scripted {
        Kind kind;
        Value value;
    };
    // The next scripted answer, which must be of this kind; nullopt (and a test failure)
    // when nobody expected the prompt.
    std::optional<Value> take(Kind kind, const QString& what);

    // Marks every text shown so far as seen by the test.
    void markRead() const { read_ = events_.size(); }

    std::deque<Scripted> answers_;
    std::vector<Event> events_;
    mutable std::size_t read_ = 0;
    QStringList unreadErrors_; // dropped by clear() before the test read them
    std::map<std::string, ModalHandler> modal_;
    FileDialogRequest lastFileRequest_;
    int busy_ = 0;
};

} // namespace velk
