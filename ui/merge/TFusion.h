// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTreeView;
class QWidget;

namespace velk {

class TWaitFusion;
struct Session;
class UiServices;

// "Fusion de paquets QWK": the packet to integrate is chosen in the upper half, the packet
// it goes into in the lower half. Each half has a folder tree, the list of the folder's
// files and the filter of that list.
class TFusion : public QDialog {
    Q_OBJECT
public:
    TFusion(Session& session, UiServices& ui, TWaitFusion& waitFusion, QWidget* parent = nullptr);

    // Both halves back to the QWK folder and the QWK files; runs each time the window shows.
    void FormActivate();
    void SourceDirectoryListBoxChange();
    void DestDirectoryListBoxChange();
    void SourceFilterComboBoxChange();
    void DestFilterComboBoxChange();
    void FusionBtnClick();
    void CancelBtnClick();
    void CloseBtnClick();
    // Whatever closes the window: the progress window goes, the next use starts in the
    // normal layout.
    void FormClose();

    // The merge of the two chosen packets; the window comes back for the notices if any.
    void DoFusion();

    // Full path of the chosen file of each half; empty when none is chosen.
    QString SourceFileName() const;
    QString DestFileName() const;
    // The folder each file list shows.
    QString SourceDirectory() const { return sourceDirectory_; }
    QString DestDirectory() const { return destDirectory_; }
    QString SourceMask() const;
    QString DestMask() const;

    void setNormalLayout();
    void setNoticeLayout();

    QLabel* Label1;
    QTreeView* DestDirectoryListBox;
    QListWidget* DestFileListBox;
    QComboBox* DestFilterComboBox;
    QLabel* Label2;
    QTreeView* SourceDirectoryListBox;
    QListWidget* SourceFileListBox;
    QComboBox* SourceFilterComboBox;
    QPushButton* FusionBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;
    QPushButton* CloseBtn;
    QPlainTextEdit* NoticeMemo;

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Half {
        QTreeView* directories;
        QListWidget* files;
        QComboBox* filter;
        QString* directory;
    };
    Half source() {
        return {SourceDirectoryListBox, SourceFileListBox, SourceFilterComboBox, &sourceDirectory_};
    }
    Half dest() {
        return {DestDirectoryListBox, DestFileListBox, DestFilterComboBox, &destDirectory_};
    }
    QWidget* buildHalf(QLabel* label, QTreeView*& directories, QListWidget*& files,
                       QComboBox*& filter);
    // Points the folder tree at the folder; its change handler refills the file list.
    void showDirectory(const Half& half, const QString& directory);
    // The folder now current in the tree; its files fill the list.
    void takeDirectory(const Half& half);
    void fillFileList(const Half& half);
    void folderLoaded(const QString& folder);

    Session& session_;
    UiServices& ui_;
    TWaitFusion& waitFusion_;
    QFileSystemModel* folders_;
    QWidget* choosers_;
    QString sourceDirectory_;
    QString destDirectory_;
};

} // namespace velk
