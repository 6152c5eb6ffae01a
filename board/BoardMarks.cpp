// SPDX-License-Identifier: GPL-2.0-or-later
#include "board/BoardMarks.h"

#include "board/BoardSession.h"
#include "core/Diagnostics.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/ControlFile.h"

#include <QFile>
#include <QFileInfo>

namespace velk {

QString readMarksPath(const QString& programDirectory, const std::string& bbsId) {
    return joinPath(programDirectory, QString::fromLatin1(bbsId) + QStringLiteral(".LUS"));
}

QString damagedMarksPath(const QString& marksPath) {
    return marksPath + QStringLiteral(".ABIME");
}

ReadMarks& boardMarks(BoardSession& s, Diagnostics& said, bool lookOnly) {
    BoardState& b = s.board;
    const std::string& bbsId = s.packet.control.BbsId;
    if (!b.marksPath.isEmpty() && b.bbsId == bbsId)
        return b.marks;
    if (!b.marksPath.isEmpty() && b.marksKept && b.marks.changed()) {
        try {
            saveBoardMarks(s);
        } catch (const VelkError& e) {
            said.add(e.message(), MessageKind::Error);
        }
    }
    b = BoardState();
    b.bbsId = bbsId;
    b.marksKept = bbsIdProblem(bbsId).isEmpty() && !s.startDirectory.isEmpty();
    b.marksPath = readMarksPath(s.startDirectory, b.marksKept ? bbsId : std::string("-"));
    if (!b.marksKept || !QFileInfo(b.marksPath).isFile())
        return b.marks;
    ReadMarks::Decoded decoded;
    try {
        decoded = ReadMarks::decode(readWholeFile(b.marksPath), QFileInfo(b.marksPath).fileName());
    } catch (const VelkError& e) {
        b.marksKept = false;
        said.add(e.message(), MessageKind::Error);
        return b.marks;
    }
    b.marks = std::move(decoded.marks);
    if (decoded.problem == MarksFileProblem::None)
        return b.marks;
    b.marksKept = false;
    if (decoded.problem == MarksFileProblem::Damaged) {
        const QString aside = damagedMarksPath(b.marksPath);
        if (!lookOnly) {
            QFile::remove(aside);
            b.marksKept = QFile::rename(b.marksPath, aside);
        }
        decoded.message += b.marksKept ? QStringLiteral(" Il est mis de côté sous le nom %1 et "
                                                        "les messages de ce BBS sont de nouveau "
                                                        "tous non lus.")
                                             .arg(QFileInfo(aside).fileName())
                                       : QStringLiteral(" Il est laissé tel quel et les messages "
                                                        "de ce BBS sont montrés non lus.");
    }
    said.add(decoded.message, MessageKind::Warning);
    return b.marks;
}

void saveBoardMarks(BoardSession& s) {
    BoardState& b = s.board;
    if (!b.marksKept || b.marksPath.isEmpty() || !b.marks.changed())
        return;
    writeFileAtomically(b.marksPath, b.marks.encode());
    b.marks.markSaved();
    b.lastSave = std::chrono::steady_clock::now();
}

bool saveBoardMarksWhenDue(BoardSession& s) {
    BoardState& b = s.board;
    if (!b.marksKept || !b.marks.changed())
        return false;
    if (std::chrono::steady_clock::now() - b.lastSave < kMarksSaveDelay)
        return true;
    saveBoardMarks(s);
    return false;
}

} // namespace velk
