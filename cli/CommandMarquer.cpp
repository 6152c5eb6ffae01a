// SPDX-License-Identifier: GPL-2.0-or-later
#include "board/BoardMarks.h"
#include "cli/CliBoard.h"
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "mail/ReadingState.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"

namespace velk {

namespace {

const QString kUsage = QStringLiteral(
    "Usage : velk-cli marquer PAQUET CONFÉRENCE NUMÉRO lu|non-lu|suivi [--repertoire RÉPERTOIRE]");

int run(const QStringList& arguments, CliIo& io) {
    QStringList args = arguments;
    const auto directory = cliProgramDirectory(args, kUsage, io);
    if (!directory)
        return 2;
    const std::optional<ReadMark> mark = args.size() == 4 ? readMarkOfWord(args[3]) : std::nullopt;
    if (!mark) {
        io.fail(kUsage);
        return 2;
    }
    args.removeLast();
    const auto numbers = cliPacketNumbers(args, 2, 2, kUsage, io);
    if (!numbers)
        return 2;
    const int conference = (*numbers)[0];
    const int number = (*numbers)[1];
    CliUiServices ui(io);
    const auto packet = openCliPacket(args[0], io, ui, conference);
    if (!packet)
        return 1;
    Session& s = packet->session;
    s.startDirectory = *directory;
    bool marked = false;
    const bool done = runAction(ui, [&] {
        const IndexFileEntry* index =
            indexFileOf(packet->indexFiles, *conferencePositionOf(s.packet.control, conference));
        std::optional<MessageKey> key;
        if (index) {
            HeaderKeys headers(s.settings.workPath);
            for (std::int32_t block : readConferenceIndex(s.settings.workPath, *index)) {
                key = headers.at(block);
                if (key && std::int64_t(key->number) == number)
                    break;
                key.reset();
            }
        }
        if (!key)
            throw VelkError(QStringLiteral("Il n'y a pas de message %1 dans la conférence %2.")
                                .arg(number)
                                .arg(conference));
        reportedTo(ui, [&](Diagnostics& said) -> ReadMarks& {
            return boardMarks(s, said);
        }).setMark(*key, *mark);
        if (!s.board.marksKept)
            throw VelkError(QStringLiteral("Les messages lus de ce BBS ne peuvent pas être "
                                           "retenus dans %1.")
                                .arg(*directory));
        saveBoardMarks(s);
        marked = true;
    });
    return done && marked ? 0 : 1;
}

const CliRegistrar registrar("marquer",
                             "PAQUET CONFÉRENCE NUMÉRO lu|non-lu|suivi [--repertoire RÉPERTOIRE]",
                             &run);

} // namespace

} // namespace velk
