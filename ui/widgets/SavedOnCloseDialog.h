// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

namespace velk {

// A settings dialog whose fields are written whichever way it closes: "OK" writes them and
// stays open when they are refused; "Annuler", Escape and the close box write them as
// typed all the same.
class SavedOnCloseDialog : public QDialog {
public:
    using QDialog::QDialog;

    void OKBtnClick() {
        if (!save()) {
            refused();
            return;
        }
        savedByOk_ = true;
        accept();
    }
    void CancelBtnClick() { reject(); }

    void done(int result) override {
        if (!savedByOk_)
            save();
        savedByOk_ = false;
        QDialog::done(result);
    }

protected:
    // Writes the fields; false when they were refused (the user has been told).
    virtual bool save() = 0;
    // After "OK" was refused.
    virtual void refused() {}

private:
    bool savedByOk_ = false;
};

} // namespace velk
