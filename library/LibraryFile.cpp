// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryFile.h"

#include "core/Diagnostics.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/VelkError.h"
#include "library/LibrarySession.h"

#include <QFileInfo>

namespace velk {

namespace {

const char* const kCrLf = "\r\n";

int kindIndex(LibraryKind kind) {
    return static_cast<int>(kind);
}

std::string withoutTrailingCrLf(const std::string& text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0)
        return text.substr(0, text.size() - 2);
    return text;
}

Diagnosed<bool> tooBig(const QString& path) {
    Diagnosed<bool> refused{false, {}};
    refused.diagnostics.add(QStringLiteral("Le fichier ") + path +
                                QStringLiteral(" est trop gros (>64Ko)"),
                            MessageKind::Warning);
    return refused;
}

std::string entryBytes(std::string_view text, bool isDefault) {
    std::string e;
    e += kEntryStart;
    if (isDefault)
        e += kDefaultMark;
    e += text;
    e += kEntryEnd;
    e += kCrLf;
    return e;
}

} // namespace

QString LibraryFileName(LibraryKind kind) {
    switch (kind) {
    case LibraryKind::Headers:
        return QStringLiteral("ENTETES.INI");
    case LibraryKind::Footers:
        return QStringLiteral("PIEDPAGE.INI");
    case LibraryKind::Taglines:
        return QStringLiteral("TAGLINES.INI");
    case LibraryKind::Correspondents:
        break;
    }
    return QStringLiteral("AMIS.INI");
}

QString LibraryPath(const QString& velkPath, LibraryKind kind) {
    return joinPath(velkPath, LibraryFileName(kind));
}

int LibraryReadLimit(LibraryKind kind) {
    switch (kind) {
    case LibraryKind::Headers:
    case LibraryKind::Footers:
        return 200;
    case LibraryKind::Taglines:
        return 2000;
    case LibraryKind::Correspondents:
        break;
    }
    return 100;
}

std::vector<LibraryEntry>& LibraryList(LibraryState& state, LibraryKind kind) {
    switch (kind) {
    case LibraryKind::Headers:
        return state.HeaderList;
    case LibraryKind::Footers:
        return state.FooterList;
    case LibraryKind::Taglines:
        return state.TaglineList;
    case LibraryKind::Correspondents:
        break;
    }
    return state.CorrespondentList;
}

bool* LibraryDefaultFlag(LibraryState& state, LibraryKind kind) {
    switch (kind) {
    case LibraryKind::Headers:
        return &state.HasDefaultHeader;
    case LibraryKind::Footers:
        return &state.HasDefaultFooter;
    case LibraryKind::Taglines:
        return &state.HasDefaultTagline;
    case LibraryKind::Correspondents:
        break;
    }
    return nullptr;
}

ExtractedEntry ExtractEntry(std::string_view buffer, std::size_t start) {
    ExtractedEntry result;
    bool collecting = false;
    for (std::size_t j = start; j < buffer.size(); ++j) {
        const char b = buffer[j];
        if (b == kDefaultMark) {
            if (j == start + 1)
                result.isDefault = true;
        } else if (b == kEntryStart) {
            collecting = true;
        } else if (b == kEntryEnd) {
            break;
        } else if (collecting) {
            result.text += b;
        }
    }
    return result;
}

std::string BuiltInLibraryContent(LibraryKind kind) {
    switch (kind) {
    case LibraryKind::Headers:
        return entryBytes("Bonjour %PRENOM_DEST%,\r\n", true);
    case LibraryKind::Footers:
        return entryBytes("Amicalement,\r\n%PRENOM_AUTEUR%.\r\n", true);
    case LibraryKind::Taglines:
        return entryBytes(">>> VELK : Le meilleur Reader Off-Line sous Windows ! <<<\r\n", true);
    case LibraryKind::Correspondents:
        break;
    }
    return entryBytes("ALL;1\r\n", false);
}

Diagnosed<bool> LoadLibrary(LibraryState& state, LibraryKind kind, const QString& velkPath) {
    const QString path = LibraryPath(velkPath, kind);
    const QFileInfo info(path);
    const std::int64_t size = info.exists() ? fileSizeBytes(path) : 0;
    if (size >= kLibraryTooBig) {
        state.refusedAtLoad[kindIndex(kind)] = true;
        return tooBig(path);
    }
    std::string content;
    if (size > 0) {
        const QByteArray bytes = readWholeFile(path);
        content.assign(bytes.constData(), std::size_t(bytes.size()));
    } else {
        content = BuiltInLibraryContent(kind);
    }

    // Built aside so that a bad correspondent count leaves the list as it was.
    std::vector<LibraryEntry> list;
    bool sawDefault = false;
    const std::size_t limit = std::size_t(LibraryReadLimit(kind));
    std::size_t start = 0;
    while (!content.empty()) {
        ExtractedEntry e = ExtractEntry(content, start);
        if (!e.text.empty()) {
            LibraryEntry entry;
            if (kind == LibraryKind::Correspondents) {
                // The last ";" separates the count: a name holding ";" still reads back.
                const std::size_t semi = e.text.rfind(';');
                const std::string countText = withoutTrailingCrLf(
                    semi == std::string::npos ? e.text : e.text.substr(semi + 1));
                entry.number = StrToInt(countText);
                entry.text =
                    (semi == std::string::npos ? std::string() : e.text.substr(0, semi)) + kCrLf;
            } else {
                entry.text = e.text;
                entry.isDefault = e.isDefault;
                sawDefault = sawDefault || e.isDefault;
                if (kind == LibraryKind::Taglines)
                    entry.number = std::int32_t(list.size() + 1);
            }
            list.push_back(std::move(entry));
            if (list.size() == limit)
                break;
        }
        // The written length of an entry without default mark; after a default entry the
        // next search starts one byte early, on the LF, which is skipped.
        start += e.text.size() + 4;
        if (start >= content.size() - 1)
            break;
    }
    LibraryList(state, kind) = std::move(list);
    if (sawDefault)
        *LibraryDefaultFlag(state, kind) = true;
    state.refusedAtLoad[kindIndex(kind)] = false;
    return {true, {}};
}

QByteArray LibraryFileContent(const std::vector<LibraryEntry>& list, LibraryKind kind) {
    std::string out;
    for (const LibraryEntry& e : list) {
        if (e.deleted)
            continue;
        if (kind == LibraryKind::Correspondents) {
            out += entryBytes(withoutTrailingCrLf(e.text) + ';' + std::to_string(e.number) + kCrLf,
                              false);
        } else {
            out += entryBytes(e.text, e.isDefault);
        }
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

Diagnosed<bool> SaveLibrary(LibraryState& state, LibraryKind kind, const QString& velkPath) {
    const QString path = LibraryPath(velkPath, kind);
    // A file the next load would refuse is not written, nor is a list that never held the
    // content of a refused file.
    const QByteArray content = LibraryFileContent(LibraryList(state, kind), kind);
    if (state.refusedAtLoad[kindIndex(kind)] || content.size() >= kLibraryTooBig)
        return tooBig(path);
    try {
        writeFileAtomically(path, content);
    } catch (const VelkError&) {
        Diagnosed<bool> failed{false, {}};
        failed.diagnostics.add(QStringLiteral("Problème lors de l'écriture de ") + path,
                               MessageKind::Error);
        return failed;
    }
    if (kind != LibraryKind::Correspondents) {
        bool hasDefault = false;
        for (const LibraryEntry& e : LibraryList(state, kind))
            hasDefault = hasDefault || (!e.deleted && e.isDefault);
        *LibraryDefaultFlag(state, kind) = hasDefault;
    }
    return {true, {}};
}

Diagnosed<bool> RecordCorrespondent(LibraryState& state, const std::string& name,
                                    const QString& velkPath) {
    const std::string key = name + kCrLf;
    if (Diagnosed<bool> loaded = LoadLibrary(state, LibraryKind::Correspondents, velkPath);
        !loaded.value)
        return loaded;
    bool found = false;
    for (LibraryEntry& e : state.CorrespondentList) {
        if (e.text == key) {
            ++e.number;
            found = true;
            break;
        }
    }
    if (!found && state.CorrespondentList.size() <= 100) {
        LibraryEntry e;
        e.text = key;
        e.number = 1;
        state.CorrespondentList.push_back(std::move(e));
    }
    return SaveLibrary(state, LibraryKind::Correspondents, velkPath);
}

Diagnosed<bool> LoadHeaders(LibrarySession& session) {
    return LoadLibrary(session.libraries, LibraryKind::Headers, session.settings.velkPath);
}

Diagnosed<bool> LoadFooters(LibrarySession& session) {
    return LoadLibrary(session.libraries, LibraryKind::Footers, session.settings.velkPath);
}

Diagnosed<bool> LoadTaglines(LibrarySession& session) {
    return LoadLibrary(session.libraries, LibraryKind::Taglines, session.settings.velkPath);
}

Diagnosed<bool> LoadCorrespondents(LibrarySession& session) {
    return LoadLibrary(session.libraries, LibraryKind::Correspondents, session.settings.velkPath);
}

Diagnosed<bool> SaveLibrary(LibrarySession& session, LibraryKind kind) {
    return SaveLibrary(session.libraries, kind, session.settings.velkPath);
}

Diagnosed<bool> RecordCorrespondent(LibrarySession& session, const std::string& name) {
    return RecordCorrespondent(session.libraries, name, session.settings.velkPath);
}

void LoadAllLibraries(LibrarySession& session, Diagnostics& said) {
    said.append(LoadHeaders(session).diagnostics);
    said.append(LoadFooters(session).diagnostics);
    said.append(LoadTaglines(session).diagnostics);
    said.append(LoadCorrespondents(session).diagnostics);
}

} // namespace velk
