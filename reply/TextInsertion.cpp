// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/TextInsertion.h"

#include "core/CharacterSet.h"
#include "library/LibraryFile.h"
#include "reply/ReplySession.h"

#include <QRandomGenerator>

#include <algorithm>

namespace velk {

namespace {

std::string cut(std::string line, int maxCar) {
    if (std::int64_t(line.size()) > maxCar)
        line.resize(std::size_t(std::max(0, maxCar - 1)));
    return line;
}

const LibraryEntry* firstDefault(const std::vector<LibraryEntry>& list) {
    for (const LibraryEntry& e : list) {
        if (e.isDefault && !e.deleted)
            return &e;
    }
    return nullptr;
}

} // namespace

EditorLines LibraryTextLines(std::string_view text, int maxCar) {
    EditorLines lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(from, end - from));
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        lines.push_back(cut(std::move(line), maxCar));
        from = next;
    }
    return lines;
}

void InsereEntete(const std::string& entryText, const InsertionContext& context,
                  const EditorFlags& flags, EditorLines& lines) {
    EditorLines block = LibraryTextLines(ExpandMacros(entryText, context.sources), context.maxCar);
    block.emplace_back(" ");
    if (flags.ForwardFlag) {
        block.push_back(
            unicodeToDos(QStringLiteral("Copie d'un message initialement envoyé par ")));
        block.push_back(NameCase(context.shownAuthor) + unicodeToDos(QStringLiteral(" à ")) +
                        NameCase(context.shownRecipient));
        block.push_back(kHyphenLine);
    }
    lines.insert(lines.begin(), block.begin(), block.end());
}

void AddPdp(const std::string& entryText, const InsertionContext& context, EditorFlags& flags,
            EditorLines& lines) {
    if (flags.ForwardFlag) {
        flags.ForwardFlag = false;
        lines.push_back(kHyphenLine);
        lines.emplace_back(" ");
    }
    const EditorLines footer =
        LibraryTextLines(ExpandMacros(entryText, context.sources), context.maxCar);
    lines.emplace_back();
    lines.insert(lines.end(), footer.begin(), footer.end());
}

void UpdateTagLine(const std::string& entryText, const InsertionContext& context,
                   EditorLines& tagBox) {
    // Expanded first: a bad date leaves the box as it was.
    const std::string expanded = ExpandMacros(entryText, context.sources);
    tagBox.clear();
    const std::string signature = cut(SignatureLine(context.signature), context.maxCar);
    for (std::string& line : LibraryTextLines(expanded, context.maxCar)) {
        tagBox.push_back(signature);
        tagBox.push_back(std::move(line));
    }
}

void LettreType(ReplySession& session, Diagnostics& said, const InsertionContext& context,
                EditorFlags& flags, EditorLines& lines, EditorLines& tagBox,
                QRandomGenerator& random) {
    LibraryState& libs = session.libraries;
    if (libs.HasDefaultHeader) {
        said.append(LoadHeaders(session).diagnostics);
        if (const LibraryEntry* e = firstDefault(libs.HeaderList))
            InsereEntete(e->text, context, flags, lines);
    }
    if (libs.HasDefaultFooter) {
        said.append(LoadFooters(session).diagnostics);
        if (const LibraryEntry* e = firstDefault(libs.FooterList))
            AddPdp(e->text, context, flags, lines);
    }
    said.append(LoadTaglines(session).diagnostics);
    lines.emplace_back();
    if (libs.HasDefaultTagline) {
        if (const LibraryEntry* e = firstDefault(libs.TaglineList))
            UpdateTagLine(e->text, context, tagBox);
    } else if (!libs.TaglineList.empty()) {
        const auto pick = random.bounded(std::uint32_t(libs.TaglineList.size()));
        UpdateTagLine(libs.TaglineList[pick].text, context, tagBox);
    }
}

} // namespace velk
