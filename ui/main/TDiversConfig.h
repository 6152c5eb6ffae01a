// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/SettingsFile.h"
#include "ui/widgets/SavedOnCloseDialog.h"

class QFrame;
class QLineEdit;
class QPushButton;

namespace velk {

struct Session;
class UiServices;

// The editor settings: line width and the three message colours. Every way of closing
// writes the width the field shows; a colour is saved as soon as it is changed.
class TDiversConfig : public SavedOnCloseDialog {
    Q_OBJECT
public:
    TDiversConfig(Session& session, UiServices& ui);

    // Re-reads the width and colours from the file into the settings and shows them.
    void ChargeConfig();

    QLineEdit* NbCar;
    QFrame* QuoteColor;
    QFrame* InkColor;
    QFrame* BackColor;
    QPushButton* ChangeQuoteColor;
    QPushButton* ChangeInkColor;
    QPushButton* ChangeBackColor;

protected:
    // Writes the width; false when it was refused (message already shown).
    bool save() override;
    void refused() override;

private:
    void changeColour(ColourKey key, QFrame* swatch);

    Session& session_;
    UiServices& ui_;
};

// Paints a swatch with a colour of the settings file.
void paintSwatch(QFrame* swatch, std::uint32_t windowsColour);

} // namespace velk
