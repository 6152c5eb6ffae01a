// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/Recipients.h"

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "reply/ReplySession.h"

namespace velk {

namespace {

Diagnosed<NameDialogOutcome> closing(NameDialogKind kind, const std::string& name) {
    Diagnosed<NameDialogOutcome> closed{{true, name}, {}};
    if (kind == NameDialogKind::Carbon)
        closed.diagnostics.add(QStringLiteral("Message envoyé en Carbon Copy à : ") +
                               dosToUnicode(name));
    return closed;
}

} // namespace

Diagnosed<NameDialogOutcome> NameOkClick(NameDialogKind kind, const std::string& name) {
    if (name.empty()) {
        Diagnosed<NameDialogOutcome> staying{{}, {}};
        staying.diagnostics.add(QStringLiteral("Vous devez choisir/saisir un nom ou Annuler"));
        return staying;
    }
    return closing(kind, name);
}

Diagnosed<NameDialogOutcome> CorrespondentChosen(NameDialogKind kind, const std::string& name) {
    return closing(kind, name);
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

} // namespace velk
