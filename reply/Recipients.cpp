// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/Recipients.h"

#include "core/CharacterSet.h"
#include "core/UiServices.h"
#include "reply/ReplySession.h"

namespace {

void tellCopy(UiServices& ui, NameDialogKind kind, const std::string& name) {
    if (kind == NameDialogKind::Carbon)
        ui.message(QStringLiteral("Message envoyé en Carbon Copy à : ") + dosToUnicode(name));
}

} // namespace

NameDialogOutcome NameOkClick(UiServices& ui, NameDialogKind kind, const std::string& name) {
    if (name.empty()) {
        ui.message(QStringLiteral("Vous devez choisir/saisir un nom ou Annuler"));
        return {};
    }
    tellCopy(ui, kind, name);
    return {true, name};
}

NameDialogOutcome CorrespondentChosen(UiServices& ui, NameDialogKind kind,
                                      const std::string& name) {
    tellCopy(ui, kind, name);
    return {true, name};
}

std::optional<std::string> CorrespondentName(const ReplySession& session,
                                             std::optional<int> index) {
    const auto& list = session.libraries.CorrespondentList;
    if (!index || *index < 0 || *index >= int(list.size()))
        return std::nullopt;
    std::string name = list[std::size_t(*index)].text;
    if (name.size() >= 2 && name.compare(name.size() - 2, 2, "\r\n") == 0)
        name.resize(name.size() - 2);
    return name;
}
