// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/main/TParam0.h"

#include "core/ActionGuard.h"
#include "core/UiServices.h"
#include "session/Session.h"
#include "ui/widgets/Keyboard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velk {

TParam0::TParam0(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("Param0"));
    setWindowTitle(QStringLiteral("Configuration"));
    auto* grid = new QGridLayout(this);
    struct Row {
        DirectoryField field;
        const char* label;
        const char* name;
    };
    // Rows are shown in this order; the checks run in the field order.
    const Row rows[] = {
        {DirectoryField::Installation, "Répertoire d'installation de VELK :", "InstallEdit"},
        {DirectoryField::QWK, "Répertoire par défaut des fichiers *.QWK :", "QWKEdit"},
        {DirectoryField::REP, "Répertoire par défaut des fichiers *.REP :", "REPEdit"},
        {DirectoryField::Work, "Répertoire temporaire de travail :", "WorkEdit"},
    };
    int line = 0;
    for (const Row& r : rows) {
        const std::size_t i = std::size_t(r.field);
        auto* label = new QLabel(QString::fromUtf8(r.label), this);
        fields_[i] = new QLineEdit(this);
        fields_[i]->setObjectName(QString::fromLatin1(r.name));
        label->setBuddy(fields_[i]);
        browse_[i] = new QPushButton(QStringLiteral("&Parcourir ..."), this);
        browse_[i]->setAutoDefault(false);
        grid->addWidget(label, line, 0);
        grid->addWidget(fields_[i], line, 1);
        grid->addWidget(browse_[i], line, 2);
        QLineEdit* edit = fields_[i];
        connect(browse_[i], &QPushButton::clicked, this,
                [this, edit] { edit->setText(GetRepertoire(edit->text())); });
        ++line;
    }
    grid->setColumnStretch(1, 1);

    OKBtn = new QPushButton(QStringLiteral("&Fermer"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&nnuler"), this);
    CancelBtn->setAutoDefault(false);
    HelpBtn = new QPushButton(QStringLiteral("&Aide"), this);
    HelpBtn->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    grid->setRowStretch(line, 1);
    grid->addLayout(buttons, line + 1, 0, 1, 3);

    connect(OKBtn, &QPushButton::clicked, this, &TParam0::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connectHelp(*this, *HelpBtn, ui_, 8000);
    resize(621, 199);
}

void TParam0::ChargeConfig() {
    const DirectoryFields values = loadDirectoryFields(session_);
    for (std::size_t i = 0; i < values.size(); ++i)
        fields_[i]->setText(values[i]);
}

QString TParam0::GetRepertoire(const QString& startFolder) {
    return chooseDirectory(ui_, startFolder);
}

void TParam0::OKBtnClick() {
    DirectoryFields values;
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = fields_[i]->text();
    std::optional<DirectoryField> refused;
    const bool done = runAction(ui_, [&] { refused = saveDirectoryFields(session_, values, ui_); });
    for (std::size_t i = 0; i < values.size(); ++i)
        fields_[i]->setText(values[i]);
    if (!done)
        return;
    if (refused) {
        field(*refused)->setFocus();
        field(*refused)->selectAll();
        return;
    }
    accept();
}

} // namespace velk
