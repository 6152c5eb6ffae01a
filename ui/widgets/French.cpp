// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/French.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QTranslator>
#include <QTreeView>

#include <algorithm>

namespace velk {

namespace {

// The columns of Qt's file model.
enum Column { Name, Size, Type, Modified };

class FrenchFileModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        const QLocale french;
        switch (index.column()) {
        case Size:
            if (info.isFile())
                return french.formattedDataSize(info.size(), 2, QLocale::DataSizeTraditionalFormat);
            break;
        case Type:
            // Qt's French translation lacks the type of folders and drives.
            if (info.isRoot())
                return QStringLiteral("Lecteur");
            if (info.isDir())
                return QStringLiteral("Dossier");
            break;
        case Modified:
            return french.toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            break;
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// Widens the dialog when it is shown by what its list lacks to show every column: the
// default size was made for the shorter English titles.
class ColumnsShownWhole : public QObject {
public:
    ColumnsShownWhole(QFileDialog& dialog, QTreeView& view)
        : QObject(&dialog), dialog_(dialog), view_(view) {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &dialog_ && event->type() == QEvent::Show) {
            const int missing = view_.header()->length() - view_.viewport()->width();
            if (missing > 0)
                dialog_.resize(dialog_.width() + missing, dialog_.height());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QFileDialog& dialog_;
    QTreeView& view_;
};

} // namespace

void installFrench(QCoreApplication& app) {
    auto* qtFrench = new QTranslator(&app);
    if (qtFrench->load(QStringLiteral("qtbase_fr"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtFrench);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void showFilesInFrench(QFileDialog& dialog) {
    dialog.setProxyModel(new FrenchFileModel(&dialog));
    auto* view = dialog.findChild<QTreeView*>();
    if (!view)
        return;
    // The column of the dates holds its French title and a French date...
    QHeaderView* header = view->header();
    const int date = 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) +
                     view->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00 "));
    header->resizeSection(Modified, std::max(header->sectionSizeHint(Modified), date));
    // ...and the dialog opens wide enough to show it whole.
    new ColumnsShownWhole(dialog, *view);
}

} // namespace velk
