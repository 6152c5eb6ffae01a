// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/ReplyFile.h"

#include "core/Diagnostics.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "library/LibraryFile.h"
#include "packet/ControlFile.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageStore.h"
#include "reply/ReplySession.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace velk {

namespace {

constexpr qint64 kRecord = qint64(kBlockSize);
// What the header's six-character record count can say.
constexpr std::size_t kMaxReplyRecords = 999999;

bool isBlankLine(const std::string& line) {
    return line.empty() || line == " ";
}

// The board's file name; an identifier that could name a file elsewhere never gets one.
QString boardFile(const ReplySession& session, BoardFile kind) {
    const std::string& id = session.packet.control.BbsId;
    if (const QString problem = bbsIdProblem(id); !problem.isEmpty())
        throw VelkError(problem);
    return boardFileName(id, kind);
}

QByteArray bytes(std::string_view s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

bool writeWhole(QFile& file, const QByteArray& data) {
    return file.write(data) == data.size();
}

// A board that reads QWKE kludge lines gets the fields its header cannot hold whole at the top
// of the text; any other gets the text alone.
EditorLines withQwkeKludges(const ReplySession& session, const std::string& recipient,
                            const ReplyDraft& draft, const EditorLines& lines) {
    if (!session.packet.control.readsQwke)
        return lines;
    EditorLines out = replyKludgeLines(recipient, draft.author, draft.subject);
    out.insert(out.end(), lines.begin(), lines.end());
    return out;
}

// Writes one message at the end of the reply file. On a short write the file goes back to
// the bytes it had, so later reads never meet half a message.
bool writeMessage(ReplySession& session, Diagnostics& said, const EditorLines& lines,
                  bool isPrivate, const std::string& recipient, const ReplyDraft& draft,
                  const QDateTime& now) {
    const QString path = ReplyFilePath(session);
    const EditorLines written = withQwkeKludges(session, recipient, draft, lines);
    std::size_t length = 0;
    for (const std::string& line : written)
        length += line.size() + 1;
    const std::size_t records = length / kBlockSize + 2;
    if (records > kMaxReplyRecords) {
        said.add(QStringLiteral("Ce message est trop long : il occuperait %1 blocs de 128 "
                                "octets, et un message en admet au plus %2.\n"
                                "Il n'a pas été écrit ; le fichier de réponses est inchangé.")
                     .arg(records)
                     .arg(kMaxReplyRecords),
                 MessageKind::Error);
        return false;
    }
    if (const QString problem = irregularFileProblem(path); !problem.isEmpty())
        throw VelkError(problem);
    const bool existed = QFileInfo::exists(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw fileError(path, errno, FileAction::Write);
    // What the user is told when a write falls short: the file and why.
    const auto shortWrite = [&path](const QString& what) -> QString {
        return what + QStringLiteral("\nFichier \"") + QFileInfo(path).absoluteFilePath() +
               QStringLiteral("\" : ") + fileErrorCause(errno ? errno : ENOSPC, path);
    };

    const qint64 oldSize = file.size();
    // An existing file too short to hold record 0 is begun again.
    const bool needsRecord0 = !existed || oldSize < kRecord;
    const qint64 position = needsRecord0 ? kRecord : oldSize / kRecord * kRecord;
    const qint64 tailStart = needsRecord0 ? 0 : position;
    QByteArray tail; // bytes overwritten below, put back on failure
    if (existed && tailStart < oldSize) {
        file.seek(tailStart);
        tail = file.read(oldSize - tailStart);
    }
    const auto rollBack = [&] {
        if (!existed) {
            file.close();
            QFile::remove(path);
            return;
        }
        file.resize(oldSize);
        if (!tail.isEmpty() && file.seek(tailStart))
            file.write(tail);
        file.close();
    };

    if (needsRecord0) {
        const Block record0 = ReplyFileHeaderRecord(session.packet.control.BbsId);
        errno = 0;
        if (!file.seek(0) || !writeWhole(file, QByteArray(record0.data(), kRecord))) {
            const int error = errno;
            rollBack();
            errno = error;
            said.add(QStringLiteral("Problème lors de l'écriture de l'entête du fichier : ") +
                         QFileInfo(path).absoluteFilePath() + QStringLiteral(" (") +
                         fileErrorCause(error ? error : ENOSPC, path) + QStringLiteral(")"),
                     MessageKind::Error);
            return false;
        }
    }

    const std::string body = EncodeReplyBody(written);
    const MessageHeader header =
        BuildReplyHeader(draft, isPrivate, recipient, now, session.packet.LogicalCounter, records);
    const Block headerRecord = headerBlock(header);
    errno = 0;
    if (!file.seek(position) || !writeWhole(file, QByteArray(headerRecord.data(), kRecord))) {
        const QString told = shortWrite(QStringLiteral("Problème lors de l'écriture de l'entête "
                                                       "du message"));
        rollBack();
        said.add(told, MessageKind::Error);
        return false;
    }
    if (!writeWhole(file, bytes(body))) {
        const QString told = shortWrite(QStringLiteral("Problème lors de l'écriture du message"));
        rollBack();
        said.add(told, MessageKind::Error);
        return false;
    }
    file.close();
    ++session.packet.LogicalCounter;

    // The message is stored whatever becomes of the correspondents file.
    try {
        said.append(RecordCorrespondent(session, trimRight(recipient)).diagnostics);
    } catch (const VelkError& e) {
        said.add(e.message(), MessageKind::Error);
    }
    return true;
}

std::int64_t recordOffset(std::int32_t record) {
    return std::int64_t(record) * std::int64_t(kBlockSize);
}

void checkIndex(const ReplySession& session, int index) {
    if (index < 0 || index >= session.replies.ReplyCount())
        throw VelkError::io(IoCode::ReadPastEnd);
}

} // namespace

QString ReplyFilePath(const ReplySession& session) {
    return joinPath(session.settings.workPath, boardFile(session, BoardFile::ReplyFile));
}

QString ReplyPacketPath(const ReplySession& session) {
    return joinPath(session.settings.repPath, boardFile(session, BoardFile::ReplyPacket));
}

std::string PadRight(std::string_view text, std::size_t width) {
    std::string s(text);
    if (s.size() <= width)
        s.resize(width + 1, ' ');
    return s;
}

std::string EncodeReplyBody(const EditorLines& lines) {
    std::size_t total = 0;
    for (const std::string& line : lines)
        total += line.size() + 1;
    const std::size_t records = total / kBlockSize + 1;
    std::string body;
    body.reserve(records * kBlockSize);
    for (const std::string& line : lines) {
        body += line;
        body += kReplyLineSeparator;
    }
    body.resize(records * kBlockSize, ' ');
    return body;
}

Block ReplyFileHeaderRecord(std::string_view bbsId) {
    Block b;
    const std::string padded = padRight(bbsId, kBlockSize);
    std::copy(padded.begin(), padded.end(), b.begin());
    return b;
}

std::uint16_t ConferenceNumberAt(const PacketControl& control, int position) {
    if (position < 0 || position >= int(control.Conferences.size()))
        return 0;
    return control.Conferences[std::size_t(position)].ConferenceNumber;
}

MessageHeader BuildReplyHeader(const ReplyDraft& draft, bool isPrivate,
                               const std::string& recipient, const QDateTime& now,
                               std::uint16_t logicalCounter, std::size_t records) {
    MessageHeader h;
    h.status = std::string(1, isPrivate ? '*' : ' ');
    h.number = std::to_string(draft.conference);
    h.date = now.date().toString(QStringLiteral("MM-dd-yy")).toStdString();
    h.time = now.time().toString(QStringLiteral("HH:mm")).toStdString();
    h.recipient = PadRight(recipient, HeaderField::Recipient);
    h.author = PadRight(draft.author, HeaderField::Author);
    h.subject = PadRight(draft.subject, HeaderField::Subject);
    h.password = std::string(HeaderField::Password, ' ');
    h.reference = draft.answer ? draft.answeredNumber.substr(0, HeaderField::Number) : "0";
    h.blockCount = std::to_string(records);
    h.active = kReplyActive;
    h.conference = draft.conference;
    h.logicalNumber = logicalCounter;
    h.networkTag = ' ';
    return h;
}

Diagnosed<bool> AppendReply(ReplySession& session, ReplyDraft& draft, const QDateTime& now) {
    EditorLines& lines = draft.lines;
    while (!lines.empty() && isBlankLine(lines.back()))
        lines.pop_back();
    if (!lines.empty())
        lines.emplace_back(" ");

    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    for (std::size_t i = 0; i < 2; ++i)
        lines.push_back(i < draft.tagBox.size() ? draft.tagBox[i] : std::string());

    draft.recipient = PadRight(draft.recipient, HeaderField::Recipient);
    draft.author = PadRight(draft.author, HeaderField::Author);
    draft.subject = PadRight(draft.subject, HeaderField::Subject);
    Diagnosed<bool> written{false, {}};
    written.value = writeMessage(session, written.diagnostics, lines, draft.isPrivate,
                                 draft.recipient, draft, now);
    return written;
}

Diagnosed<bool> AppendCarbonCopy(ReplySession& session, const EditorLines& copyLines,
                                 const std::string& copyRecipient, const ReplyDraft& draft,
                                 const QDateTime& now) {
    Diagnosed<bool> written{false, {}};
    written.value =
        writeMessage(session, written.diagnostics, copyLines, true, copyRecipient, draft, now);
    return written;
}

std::vector<ReplyTableEntry> ListReplyFile(const QString& path) {
    std::vector<ReplyTableEntry> table;
    const std::int64_t size = fileSizeBytes(path);
    MessageStoreState store;
    std::int32_t next = 1;
    // The first message is always listed, then every header that has a record after it.
    while (next == 1 ? size >= 2 * kRecord : (qint64(next) + 1) * kRecord < size) {
        ReadReplyHeader(path, next, store);
        table.push_back({next, store.ReplyBlockCount});
        // A count below 1 in a damaged file would never move on.
        next += std::max(store.ReplyBlockCount, 1);
    }
    return table;
}

void BuildReplyTable(ReplySession& session) {
    session.replies.ReplyTable.clear();
    session.replies.ReplyTable = ListReplyFile(ReplyFilePath(session));
}

void DeleteReply(ReplySession& session, int index) {
    checkIndex(session, index);
    ReplyState& replies = session.replies;
    const QString path = ReplyFilePath(session);
    const QByteArray data = readWholeFile(path);
    const std::int64_t start = recordOffset(replies.ReplyTable[std::size_t(index)].headerRecord);
    QByteArray kept = data.left(qsizetype(start));
    if (index + 1 < replies.ReplyCount()) {
        const std::int64_t following =
            recordOffset(replies.ReplyTable[std::size_t(index) + 1].headerRecord);
        kept += data.mid(qsizetype(following));
    }
    if (kept.size() <= kRecord) {
        if (!QFile::remove(path))
            throw VelkError::io(IoCode::AccessDenied);
        const QString packet = ReplyPacketPath(session);
        if (QFileInfo::exists(packet) && !QFile::remove(packet))
            throw VelkError::io(IoCode::AccessDenied);
        replies.ReplyTable.clear();
    } else {
        writeFileAtomically(path, kept);
        BuildReplyTable(session);
    }
    replies.SelectedReply.reset();
}

void MoveLastReplyTo(ReplySession& session, int index) {
    checkIndex(session, index);
    ReplyState& replies = session.replies;
    const QString path = ReplyFilePath(session);
    const QByteArray data = readWholeFile(path);
    const qsizetype target =
        qsizetype(recordOffset(replies.ReplyTable[std::size_t(index)].headerRecord));
    const qsizetype last = qsizetype(recordOffset(replies.ReplyTable.back().headerRecord));
    const QByteArray moved = data.left(target) + data.mid(last) + data.mid(target, last - target);
    writeFileAtomically(path, moved);
    BuildReplyTable(session);
    replies.SelectedReply.reset();
}

void ReplaceReply(ReplySession& session, int index) {
    BuildReplyTable(session);
    DeleteReply(session, index);
    MoveLastReplyTo(session, index);
}

} // namespace velk
