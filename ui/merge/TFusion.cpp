// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/merge/TFusion.h"

#include "core/ActionGuard.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "merge/Fusion.h"
#include "merge/PacketChoice.h"
#include "session/Session.h"
#include "ui/merge/TWaitFusion.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/Keyboard.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace velk {

namespace {

struct PacketFilter {
    const char* caption;
    const char* mask;
};
// QWK files first: "*.Q*" also shows the numbered copies (.QW1, .QW2) some boards send.
constexpr PacketFilter kFilters[] = {
    {"Fichiers QWK (*.Q*)", "*.Q*"},
    {"Tous les fichiers (*.*)", "*.*"},
};

QString chosenName(const QListWidget* list) {
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? QString() : chosen.first()->text();
}

} // namespace

TFusion::TFusion(Session& session, UiServices& ui, TWaitFusion& waitFusion, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui), waitFusion_(waitFusion) {
    setObjectName(QStringLiteral("Fusion"));
    setWindowTitle(QStringLiteral("Fusion de paquets QWK"));

    folders_ = new QFileSystemModel(this);

    Label1 = new QLabel(QStringLiteral("Paquet QWK à intégrer :"));
    Label2 = new QLabel(QStringLiteral("Paquet QWK servant de base d'intégration :"));
    choosers_ = new QWidget(this);
    auto* halves = new QVBoxLayout(choosers_);
    halves->setContentsMargins(0, 0, 0, 0);
    halves->addWidget(buildHalf(Label1, DestDirectoryListBox, DestFileListBox, DestFilterComboBox));
    halves->addSpacing(8);
    halves->addWidget(
        buildHalf(Label2, SourceDirectoryListBox, SourceFileListBox, SourceFilterComboBox));
    DestDirectoryListBox->setObjectName(QStringLiteral("DestDirectoryListBox"));
    DestFileListBox->setObjectName(QStringLiteral("DestFileListBox"));
    DestFilterComboBox->setObjectName(QStringLiteral("DestFilterComboBox"));
    SourceDirectoryListBox->setObjectName(QStringLiteral("SourceDirectoryListBox"));
    SourceFileListBox->setObjectName(QStringLiteral("SourceFileListBox"));
    SourceFilterComboBox->setObjectName(QStringLiteral("SourceFilterComboBox"));

    NoticeMemo = new QPlainTextEdit(this);
    NoticeMemo->setObjectName(QStringLiteral("NoticeMemo"));
    NoticeMemo->setReadOnly(true);
    NoticeMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    NoticeMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NoticeMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NoticeMemo->setMinimumSize(400, 360);
    NoticeMemo->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    FusionBtn = addButton(buttons, QStringLiteral("&Fusion"), QStringLiteral("Valider ce message"));
    CancelBtn =
        addButton(buttons, QStringLiteral("Ann&uler"), QStringLiteral("Annuler ce message"));
    HelpBtn = addButton(buttons, QStringLiteral("&Aide"), QStringLiteral("Aide contextuelle"));
    CloseBtn = addButton(buttons, QStringLiteral("&Fermer"), QStringLiteral("Valider ce message"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(choosers_, 1);
    layout->addWidget(NoticeMemo, 1);
    layout->addLayout(buttons);

    connect(DestDirectoryListBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFusion::DestDirectoryListBoxChange);
    connect(SourceDirectoryListBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFusion::SourceDirectoryListBoxChange);
    connect(DestFilterComboBox, &QComboBox::currentIndexChanged, this,
            &TFusion::DestFilterComboBoxChange);
    connect(SourceFilterComboBox, &QComboBox::currentIndexChanged, this,
            &TFusion::SourceFilterComboBoxChange);
    connect(folders_, &QFileSystemModel::directoryLoaded, this, &TFusion::folderLoaded);
    connect(FusionBtn, &QPushButton::clicked, this, &TFusion::FusionBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFusion::CancelBtnClick);
    connectHelp(*this, *HelpBtn, ui_, 10000);
    connect(CloseBtn, &QPushButton::clicked, this, &TFusion::CloseBtnClick);

    setNormalLayout();
    resize(560, 520);
}

QWidget* TFusion::buildHalf(QLabel* label, QTreeView*& directories, QListWidget*& files,
                            QComboBox*& filter) {
    auto* half = new QWidget;
    auto* grid = new QGridLayout(half);
    grid->setContentsMargins(0, 0, 0, 0);
    directories = new QTreeView;
    directories->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        directories->hideColumn(column);
    directories->setHeaderHidden(true);
    directories->setSelectionMode(QAbstractItemView::SingleSelection);
    files = new QListWidget;
    files->setSelectionMode(QAbstractItemView::SingleSelection);
    filter = new QComboBox;
    for (const PacketFilter& f : kFilters)
        filter->addItem(QString::fromUtf8(f.caption), QString::fromLatin1(f.mask));
    label->setBuddy(files);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(directories, 1, 0, 2, 1);
    grid->addWidget(files, 1, 1);
    grid->addWidget(filter, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return half;
}

void TFusion::showEvent(QShowEvent* event) {
    // The folders are read from the first showing on, not at start-up: reading them (and the
    // file types their icons need) would hold the event loop while a packet opens. Even the
    // filter waits, since setting it queues a sort that looks up the root's icon.
    if (folders_->rootPath() != QLatin1String("/")) {
        folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
        folders_->setRootPath(QStringLiteral("/"));
    }
    QDialog::showEvent(event);
    FormActivate();
}

void TFusion::FormActivate() {
    for (const Half& half : {dest(), source()}) {
        {
            // The list is filled once below, for the folder and the mask together.
            const QSignalBlocker quiet(half.filter);
            half.filter->setCurrentIndex(0);
        }
        showDirectory(half, session_.settings.qwkPath);
    }
}

void TFusion::showDirectory(const Half& half, const QString& directory) {
    *half.directory = directory;
    const QModelIndex index = folders_->index(directory);
    if (index.isValid() && half.directories->currentIndex() != index) {
        half.directories->setCurrentIndex(index);
        half.directories->scrollTo(index, QAbstractItemView::PositionAtCenter);
        return;
    }
    fillFileList(half);
}

void TFusion::folderLoaded(const QString& folder) {
    // Folders are read in the background: the chosen one comes into view once its parents
    // are there.
    for (const Half& half : {dest(), source()}) {
        if (isSameOrInside(*half.directory, folder))
            half.directories->scrollTo(half.directories->currentIndex());
    }
}

void TFusion::fillFileList(const Half& half) {
    half.files->clear();
    half.files->addItems(packetFileNames(*half.directory, half.filter->currentData().toString()));
}

void TFusion::SourceDirectoryListBoxChange() {
    takeDirectory(source());
}

void TFusion::DestDirectoryListBoxChange() {
    takeDirectory(dest());
}

void TFusion::takeDirectory(const Half& half) {
    if (const QString path = folders_->filePath(half.directories->currentIndex()); !path.isEmpty())
        *half.directory = path;
    fillFileList(half);
}

void TFusion::SourceFilterComboBoxChange() {
    fillFileList(source());
}

void TFusion::DestFilterComboBoxChange() {
    fillFileList(dest());
}

QString TFusion::SourceMask() const {
    return SourceFilterComboBox->currentData().toString();
}

QString TFusion::DestMask() const {
    return DestFilterComboBox->currentData().toString();
}

QString TFusion::SourceFileName() const {
    return chosenPacketPath(sourceDirectory_, chosenName(SourceFileListBox));
}

QString TFusion::DestFileName() const {
    return chosenPacketPath(destDirectory_, chosenName(DestFileListBox));
}

void TFusion::setNormalLayout() {
    NoticeMemo->hide();
    CloseBtn->hide();
    choosers_->show();
    FusionBtn->show();
    CancelBtn->show();
    HelpBtn->show();
    FusionBtn->setDefault(true);
}

void TFusion::setNoticeLayout() {
    choosers_->hide();
    FusionBtn->hide();
    CancelBtn->hide();
    HelpBtn->hide();
    NoticeMemo->show();
    CloseBtn->show();
    CloseBtn->setDefault(true);
}

void TFusion::FusionBtnClick() {
    const QString base = SourceFileName();
    const QString integrated = DestFileName();
    std::optional<FusionFocus> refused;
    if (!runAction(ui_, [&] { refused = CheckFusion(session_, base, integrated, ui_); }))
        return;
    if (refused) {
        (*refused == FusionFocus::SourceFileListBox ? SourceFileListBox : DestFileListBox)
            ->setFocus();
        return;
    }
    DoFusion();
}

void TFusion::DoFusion() {
    const QString base = SourceFileName();
    const QString integrated = DestFileName();
    FusionResult result;
    ui_.runHidden(*this, [&] {
        waitFusion_.Statut->clear();
        waitFusion_.showNow();
        runAction(ui_, [&] {
            result = velk::DoFusion(session_, base, integrated, ui_, [this](const QString& text) {
                // The merge empties its status when its work is over, before it tells the
                // user anything.
                if (text.isEmpty()) {
                    waitFusion_.Statut->clear();
                    waitFusion_.hide();
                } else {
                    waitFusion_.ShowStatut(text);
                }
            });
        });
        waitFusion_.hide();
    });
    if (result.merged && result.notices.NoticesProduced) {
        NoticeMemo->setPlainText(result.notices.NoticeMemo.join(QLatin1Char('\n')));
        setNoticeLayout();
        return;
    }
    setNormalLayout();
    done(result.merged ? Accepted : Rejected);
}

void TFusion::CancelBtnClick() {
    reject();
}

void TFusion::CloseBtnClick() {
    setNormalLayout();
    accept();
}

void TFusion::FormClose() {
    waitFusion_.hide();
    setNormalLayout();
}

void TFusion::done(int result) {
    FormClose();
    QDialog::done(result);
}

} // namespace velk
