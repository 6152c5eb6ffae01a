// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/main/TDiversConfig.h"

#include "core/ActionGuard.h"
#include "core/SettingsAppearance.h"
#include "core/SettingsDialogs.h"
#include "core/UiServices.h"
#include "session/Session.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velk {

void paintSwatch(QFrame* swatch, std::uint32_t windowsColour) {
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, colourFromWindows(windowsColour));
    swatch->setPalette(p);
    swatch->update();
}

namespace {
QLabel* twoLineLabel(const QString& first, const QString& second, QWidget* parent) {
    return new QLabel(second.isEmpty() ? first : first + QLatin1Char('\n') + second, parent);
}
} // namespace

TDiversConfig::TDiversConfig(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("DiversConfig"));
    setWindowTitle(QStringLiteral("Paramêtres de l'éditeur"));
    auto* grid = new QGridLayout;

    NbCar = new QLineEdit(this);
    NbCar->setObjectName(QStringLiteral("NbCar"));
    NbCar->setMaximumWidth(60);
    auto* widthLabel = twoLineLabel(QStringLiteral("Largeur d'une ligne dans l'éditeur"),
                                    QStringLiteral("(en nombre de caractères)"), this);
    widthLabel->setBuddy(NbCar);
    grid->addWidget(widthLabel, 0, 0);
    grid->addWidget(NbCar, 0, 1, Qt::AlignLeft);

    struct Row {
        QFrame** swatch;
        QPushButton** button;
        const char* name;
        QString label;
        QString detail;
        ColourKey key;
    };
    const Row rows[] = {
        {&QuoteColor, &ChangeQuoteColor, "QuoteColor", QStringLiteral("Couleur de quote :"),
         QStringLiteral("( citation de message)"), ColourKey::Quote},
        {&InkColor, &ChangeInkColor, "InkColor", QStringLiteral("Couleur d'encre :"),
         QStringLiteral("( écriture de message)"), ColourKey::Ink},
        {&BackColor, &ChangeBackColor, "BackColor", QStringLiteral("Couleur de fond :"), QString(),
         ColourKey::Back},
    };
    int line = 1;
    for (const Row& r : rows) {
        auto* swatch = new QFrame(this);
        swatch->setObjectName(QString::fromLatin1(r.name));
        swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        swatch->setAutoFillBackground(true);
        swatch->setFixedSize(60, 24);
        auto* button = new QPushButton(QStringLiteral("Changer"), this);
        button->setAutoDefault(false);
        *r.swatch = swatch;
        *r.button = button;
        grid->addWidget(twoLineLabel(r.label, r.detail, this), line, 0);
        grid->addWidget(swatch, line, 1);
        grid->addWidget(button, line, 2);
        const ColourKey key = r.key;
        connect(button, &QPushButton::clicked, this,
                [this, key, swatch] { changeColour(key, swatch); });
        ++line;
    }

    makeCloseButtons();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TDiversConfig::ChargeConfig() {
    const ProfileFile file = session_.settingsFile();
    readLineWidth(file, session_.settings);
    readColours(file, session_.settings);
    NbCar->setText(QString::number(session_.settings.maxCar));
    paintSwatch(QuoteColor, session_.settings.quoteColour);
    paintSwatch(InkColor, session_.settings.inkColour);
    paintSwatch(BackColor, session_.settings.backColour);
}

// Closing by any way writes the width shown, as "&Fermer" does, and closes all the same.
bool TDiversConfig::save() {
    bool saved = false;
    runAction(ui_, [&] { saved = shown(saveLineWidth(session_, NbCar->text()), ui_); });
    return saved;
}

void TDiversConfig::refused() {
    NbCar->setFocus();
}

void TDiversConfig::changeColour(ColourKey key, QFrame* swatch) {
    runAction(ui_, [&] { paintSwatch(swatch, velk::changeColour(session_, key, ui_)); });
}

} // namespace velk
