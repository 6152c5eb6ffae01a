// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QPushButton>

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

    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    void done(int result) override {
        if (!savedByOk_)
            save();
        savedByOk_ = false;
        QDialog::done(result);
    }

protected:
    // "Fermer" and "Annuler", wired to OKBtnClick and CancelBtnClick; the dialog lays them out.
    void makeCloseButtons() {
        OKBtn = new QPushButton(QStringLiteral("&Fermer"), this);
        OKBtn->setDefault(true);
        OKBtn->setToolTip(QStringLiteral("Sortir de la fenêtre"));
        CancelBtn = new QPushButton(QStringLiteral("&Annuler"), this);
        CancelBtn->setAutoDefault(false);
        CancelBtn->setToolTip(QStringLiteral("Annuler vos modifications"));
        connect(OKBtn, &QPushButton::clicked, this, &SavedOnCloseDialog::OKBtnClick);
        connect(CancelBtn, &QPushButton::clicked, this, &SavedOnCloseDialog::CancelBtnClick);
    }

    // Writes the fields; false when they were refused (the user has been told).
    virtual bool save() = 0;
    // After "OK" was refused.
    virtual void refused() {}

private:
    bool savedByOk_ = false;
};

} // namespace velk
