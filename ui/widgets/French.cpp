// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/French.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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
}

} // namespace velk
