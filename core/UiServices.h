// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;
class QPrinter;

namespace velk {

enum class MessageKind { Information, Warning, Error };
enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
    QString title;
    QString directory;            // initial folder
    QString fileName;             // preset name or pattern ("*.Q*")
    QStringList filters;          // "Fichiers QWK (*.QWK)", ...
    QString defaultSuffix;        // without the dot
    bool confirmOverwrite = true; // false where the caller appends to an existing file
};

struct FindRequest {
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
};

// The only way windows and actions talk to the user. The Qt implementation shows real
// dialogs; the tests' implementation answers from a script and records every text.
// A caption that is empty but not null: a box without a title.
inline const QString kEmptyTitle = QString(0, QChar());

class UiServices {
public:
    virtual ~UiServices() = default;

    // A message box with an OK button. A null caption (the default) means the program's title;
    // kEmptyTitle gives the box no title at all.
    virtual void message(const QString& text, MessageKind kind = MessageKind::Information,
                         const QString& caption = {}) = 0;
    // "&Oui" / "&Non"; true for Oui.
    virtual bool askYesNo(const QString& text, const QString& caption = {}) = 0;
    // "&Oui" / "&Non" / "Annuler".
    virtual Answer askYesNoCancel(const QString& text, const QString& caption = {}) = 0;

    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> directoryName(const FileDialogRequest& request) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    virtual std::optional<FindRequest> find(const FindRequest& initial) = 0;
    // Lets the user set up the printer; false when cancelled.
    virtual bool choosePrinter(QPrinter& printer) = 0;

    // Runs a window (a QDialog) modally and returns its result code.
    virtual int runModal(QObject& window) = 0;
    // Hides the opener while `run` runs, without ending the opener's own modal run, and
    // shows it again afterwards, whatever `run` throws.
    virtual void runHidden(QObject& opener, const std::function<void()>& run) = 0;
    // The windows' one way of opening another: the opener hides while the window runs.
    int runModalOver(QObject& window, QObject& opener) {
        int result = 0;
        runHidden(opener, [&] { result = runModal(window); });
        return result;
    }

    // Opens the help file at the anchor of the context number.
    virtual void showHelp(int context) = 0;

    // The busy cursor; nested calls stack. Prefer BusyCursor below.
    virtual void setBusy(bool busy) = 0;
};

// Shows nothing and answers every prompt with No, Cancel or nothing: the base of the
// services of the command line and the benchmarks, which override what they report.
class HeadlessUiServices : public UiServices {
public:
    void message(const QString&, MessageKind, const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return false; }
    Answer askYesNoCancel(const QString&, const QString&) override { return Answer::Cancel; }
    std::optional<QString> openFileName(const FileDialogRequest&) override { return {}; }
    std::optional<QString> saveFileName(const FileDialogRequest&) override { return {}; }
    std::optional<QString> directoryName(const FileDialogRequest&) override { return {}; }
    std::optional<QFont> chooseFont(const QFont&) override { return {}; }
    std::optional<QColor> chooseColor(const QColor&) override { return {}; }
    std::optional<FindRequest> find(const FindRequest&) override { return {}; }
    bool choosePrinter(QPrinter&) override { return false; }
    int runModal(QObject&) override { return 0; }
    void runHidden(QObject&, const std::function<void()>& run) override { run(); }
    void showHelp(int) override {}
    void setBusy(bool) override {}
};

// Shows the busy cursor for its lifetime.
class BusyCursor {
public:
    // `show` false: nothing to wait for, no cursor (the guard does nothing).
    explicit BusyCursor(UiServices& ui, bool show = true) : ui_(show ? &ui : nullptr) {
        if (ui_)
            ui_->setBusy(true);
    }
    ~BusyCursor() { release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    // Restores the normal cursor before the guard ends (before showing a window).
    void release() {
        if (ui_)
            ui_->setBusy(false);
        ui_ = nullptr;
    }

private:
    UiServices* ui_;
};

} // namespace velk
