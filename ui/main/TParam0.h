// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/SettingsDialogs.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace velk {

struct Session;
class UiServices;

// The directories dialog, "Configuration".
class TParam0 : public QDialog {
    Q_OBJECT
public:
    TParam0(Session& session, UiServices& ui);

    // Fills the four fields from the settings file.
    void ChargeConfig();
    // The folder picked from the field's current text, or that text when cancelled.
    QString GetRepertoire(const QString& startFolder);

    QLineEdit* field(DirectoryField f) const { return fields_[std::size_t(f)]; }
    QPushButton* browseButton(DirectoryField f) const { return browse_[std::size_t(f)]; }

    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

    void OKBtnClick();

private:
    Session& session_;
    UiServices& ui_;
    std::array<QLineEdit*, 4> fields_{};
    std::array<QPushButton*, 4> browse_{};
};

} // namespace velk
