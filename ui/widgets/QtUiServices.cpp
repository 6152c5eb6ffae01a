// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/QtUiServices.h"

#include "ui/widgets/French.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace velk {

namespace {

QWidget* activeParent() {
    return QApplication::activeWindow();
}

QString titleOr(const QString& caption) {
    if (caption.isNull())
        return QStringLiteral("VELK");
    // Qt gives a window with an empty title the program's name in the title bar.
    return caption.isEmpty() ? QStringLiteral(" ") : caption;
}

QMessageBox::StandardButton ask(const QString& text, const QString& caption, bool withCancel) {
    QMessageBox box(QMessageBox::Question, titleOr(caption), text, QMessageBox::NoButton,
                    activeParent());
    // buttons() lists the buttons by role, not in the order they were added: keep each one.
    QPushButton* yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    QPushButton* cancel = nullptr;
    if (withCancel) {
        cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(no);
    }
    box.setDefaultButton(yes);
    box.exec();
    QAbstractButton* pressed = box.clickedButton();
    if (pressed == yes)
        return QMessageBox::Yes;
    if (cancel && pressed == cancel)
        return QMessageBox::Cancel;
    return QMessageBox::No;
}

QString joinedFilters(const FileDialogRequest& r) {
    return r.filters.join(QStringLiteral(";;"));
}

} // namespace

void QtUiServices::message(const QString& text, MessageKind kind, const QString& caption) {
    const QMessageBox::Icon icon = kind == MessageKind::Error     ? QMessageBox::Critical
                                   : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                  : QMessageBox::Information;
    QMessageBox box(icon, titleOr(caption), text, QMessageBox::Ok, activeParent());
    box.exec();
}

bool QtUiServices::askYesNo(const QString& text, const QString& caption) {
    return ask(text, caption, false) == QMessageBox::Yes;
}

Answer QtUiServices::askYesNoCancel(const QString& text, const QString& caption) {
    switch (ask(text, caption, true)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::No;
    }
}

std::optional<QString> QtUiServices::openFileName(const FileDialogRequest& r) {
    QFileDialog dialog(activeParent(), r.title, r.directory, joinedFilters(r));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    showFilesInFrench(dialog);
    if (!r.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(r.defaultSuffix);
    if (!r.fileName.isEmpty() && !r.fileName.contains(QLatin1Char('*')))
        dialog.selectFile(r.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUiServices::saveFileName(const FileDialogRequest& r) {
    QFileDialog dialog(activeParent(), r.title, r.directory, joinedFilters(r));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    showFilesInFrench(dialog);
    if (!r.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(r.defaultSuffix);
    if (!r.fileName.isEmpty())
        dialog.selectFile(r.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUiServices::directoryName(const FileDialogRequest& r) {
    QFileDialog dialog(activeParent(), r.title, r.directory);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    showFilesInFrench(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QFont> QtUiServices::chooseFont(const QFont& initial) {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, activeParent());
    if (!ok)
        return std::nullopt;
    return f;
}

std::optional<QColor> QtUiServices::chooseColor(const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, activeParent());
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<FindRequest> QtUiServices::find(const FindRequest& initial) {
    QDialog dialog(activeParent());
    dialog.setWindowTitle(QStringLiteral("Rechercher"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QStringLiteral("&Rechercher :"), &dialog);
    layout->addWidget(label);
    auto* text = new QLineEdit(initial.text, &dialog);
    // Typing replaces the previous search instead of adding to it.
    text->selectAll();
    label->setBuddy(text);
    layout->addWidget(text);
    auto* matchCase = new QCheckBox(QStringLiteral("&Respecter la casse"), &dialog);
    matchCase->setChecked(initial.matchCase);
    auto* wholeWord = new QCheckBox(QStringLiteral("&Mot entier seulement"), &dialog);
    wholeWord->setChecked(initial.wholeWord);
    auto* up = new QRadioButton(QStringLiteral("Vers le &haut"), &dialog);
    auto* down = new QRadioButton(QStringLiteral("Vers le &bas"), &dialog);
    (initial.down ? down : up)->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(matchCase), static_cast<QWidget*>(wholeWord),
                       static_cast<QWidget*>(up), static_cast<QWidget*>(down)})
        layout->addWidget(w);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("&Suivant"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (findPlace_)
        dialog.move(*findPlace_);
    const int result = dialog.exec();
    findPlace_ = dialog.pos();
    if (result != QDialog::Accepted || text->text().isEmpty())
        return std::nullopt;
    return FindRequest{text->text(), matchCase->isChecked(), wholeWord->isChecked(),
                       down->isChecked()};
}

bool QtUiServices::choosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, activeParent());
    return dialog.exec() == QDialog::Accepted;
}

int QtUiServices::runModal(QObject& window) {
    auto* dialog = qobject_cast<QDialog*>(&window);
    Q_ASSERT(dialog);
    return dialog ? dialog->exec() : QDialog::Rejected;
}

void QtUiServices::runHidden(QObject& opener, const std::function<void()>& run) {
    auto* widget = qobject_cast<QWidget*>(&opener);
    if (!widget || !widget->isVisible()) {
        run();
        return;
    }
    // QDialog's own hide would end the opener's modal run: hide the widget only.
    widget->QWidget::setVisible(false);
    struct ShowAgain {
        QWidget* widget;
        ~ShowAgain() {
            widget->show();
            widget->raise();
            widget->activateWindow();
        }
    } showAgain{widget};
    run();
}

void QtUiServices::showHelp(int context) {
    QDialog dialog(activeParent());
    dialog.setWindowTitle(QStringLiteral("Aide de VELK"));
    dialog.resize(520, 400);
    auto* layout = new QVBoxLayout(&dialog);
    auto* browser = new QTextBrowser(&dialog);
    QUrl url = QUrl::fromLocalFile(helpFile_);
    url.setFragment(QString::number(context));
    browser->setSource(url, QTextDocument::HtmlResource);
    layout->addWidget(browser);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}

void QtUiServices::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace velk
