// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"

#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "merge/Fusion.h"
#include "packet/PacketControl.h"

#include <QDir>
#include <QFileInfo>

namespace velk {

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kQuestionRefused = 3;

// Nobody answers a scheduled job: a question is refused and printed, unless --yes said Yes
// to all of them. Messages wait for the outcome: the output after a merge, the error stream
// after a failure.
class MergeUiServices : public HeadlessUiServices {
public:
    MergeUiServices(CliIo& io, bool yes) : io_(io), yes_(yes) {}

    bool refused() const { return refused_; }
    void flush(bool merged) {
        for (const QString& text : messages_) {
            if (merged)
                io_.print(text + QLatin1Char('\n'));
            else
                io_.fail(text);
        }
        messages_.clear();
    }

    void message(const QString& text, MessageKind, const QString&) override {
        messages_.append(text);
    }
    bool askYesNo(const QString& text, const QString&) override {
        if (yes_) {
            io_.print(text + QStringLiteral(" Oui\n"));
            return true;
        }
        refused_ = true;
        io_.fail(text);
        io_.fail(QStringLiteral("Question refusée (--yes pour répondre Oui)."));
        return false;
    }
    Answer askYesNoCancel(const QString& text, const QString& caption) override {
        return askYesNo(text, caption) ? Answer::Yes : Answer::Cancel;
    }

private:
    CliIo& io_;
    bool yes_;
    bool refused_ = false;
    QStringList messages_;
};

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

int run(const QStringList& args, CliIo& io) {
    QStringList paths;
    bool yes = false;
    bool deleteIntegrated = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--yes"))
            yes = true;
        else if (a == QLatin1String("--delete-integrated"))
            deleteIntegrated = true;
        else if (a.startsWith(QLatin1String("--")))
            paths.append(QString()); // an unknown option spoils the count
        else
            paths.append(a);
    }
    if (paths.size() != 2 || paths[0].isEmpty() || paths[1].isEmpty()) {
        io.fail(QStringLiteral(
            "Usage : velk-cli merge BASE.QWK A_INTEGRER.QWK [--yes] [--delete-integrated]"));
        return kUsage;
    }
    const QString base = absolute(paths[0]);
    const QString integrated = absolute(paths[1]);
    for (const QString& p : {base, integrated}) {
        if (!QFileInfo(p).isFile()) {
            io.fail(QStringLiteral("Fichier introuvable : ") + p);
            return kFailed;
        }
    }

    // A private work directory: the configured one may hold an open packet.
    TemporaryDirectory work;
    if (!work.isValid()) {
        io.fail(QStringLiteral("Impossible de créer un répertoire temporaire de travail."));
        return kFailed;
    }
    MergeUiServices ui(io, yes);
    PacketControl control;
    FusionResult result;
    try {
        if (CheckFusion(base, integrated, work.path(), ui)) {
            ui.flush(false);
            return ui.refused() ? kQuestionRefused : kFailed;
        }
        result = DoFusion(base, integrated, work.path(), control, ui, {},
                          deleteIntegrated ? IntegratedDeletion::Delete : IntegratedDeletion::Keep);
    } catch (const VelkError& e) {
        ui.flush(false);
        io.fail(e.message());
        return kFailed;
    }
    ui.flush(result.merged);
    if (!result.merged)
        return ui.refused() ? kQuestionRefused : kFailed;
    for (const QString& notice : result.notices.NoticeMemo)
        io.print(notice + QLatin1Char('\n'));
    if (result.integratedDeleted)
        io.print(QStringLiteral("Fichier intégré effacé : ") + integrated + QLatin1Char('\n'));
    return deleteIntegrated && !result.integratedDeleted ? kFailed : 0;
}

const CliRegistrar registrar("merge", "BASE.QWK A_INTEGRER.QWK [--yes] [--delete-integrated]",
                             &run);

} // namespace

} // namespace velk
