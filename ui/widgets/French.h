// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class QCoreApplication;
class QFileDialog;

namespace velk {

// Qt's own texts in French (the translation of its base module, when installed) and the
// French locale as default, for the numbers, dates and sizes of the standard dialogs.
void installFrench(QCoreApplication& app);

// The file list of a dialog shows dates, sizes and folder types in French whatever the
// system locale, which Qt's file model would use instead.
void showFilesInFrench(QFileDialog& dialog);

} // namespace velk
