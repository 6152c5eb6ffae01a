// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/UiServices.h"

#include <QPoint>

class QWidget;

namespace velk {

// The real dialogs, in French.
class QtUiServices : public UiServices {
public:
    // The help file (VELK.HLP) the Help buttons open.
    explicit QtUiServices(QString helpFile) : helpFile_(std::move(helpFile)) {}

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
    void runHidden(QObject& opener, const std::function<void()>& run) override;
    void showHelp(int context) override;
    void setBusy(bool busy) override;

    void setHelpFile(const QString& helpFile) { helpFile_ = helpFile; }

private:
    QString helpFile_;
    // Where the user left the find box: it comes back there, not over the message shown
    // between two searches.
    std::optional<QPoint> findPlace_;
};

} // namespace velk
