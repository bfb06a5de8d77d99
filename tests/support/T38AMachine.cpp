#include "tests/support/T38AMachine.h"

namespace {
constexpr char RecordStart = char(0xEC);
} // namespace

T38AMachine::T38AMachine(int masterFd)
    : m_peer(std::make_unique<T38APeer>(masterFd, [this](const QByteArray& command) { return handle(command); }))
{
}

QMap<T38AMachine::Key, QByteArray> T38AMachine::records() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

void T38AMachine::setRecord(quint8 blockId, quint8 field, const QByteArray& bytes)
{
    std::lock_guard lock(m_mutex);
    m_records.insert({blockId, field}, bytes);
}

void T38AMachine::scriptBlocks(const QList<QByteArray>& replies)
{
    std::lock_guard lock(m_mutex);
    m_scriptedBlocks = replies;
}

void T38AMachine::scriptPieceReply(int piece, const QByteArray& reply)
{
    std::lock_guard lock(m_mutex);
    m_pieceReplies.insert(piece, reply);
}

void T38AMachine::setHelloReply(const QByteArray& reply)
{
    std::lock_guard lock(m_mutex);
    m_helloReply = reply;
}

void T38AMachine::fallSilentAt(const QByteArray& commandStart)
{
    std::lock_guard lock(m_mutex);
    m_silentFrom = commandStart;
}

bool T38AMachine::silent() const
{
    std::lock_guard lock(m_mutex);
    return m_silent;
}

int T38AMachine::sessions() const
{
    std::lock_guard lock(m_mutex);
    return m_sessions;
}

int T38AMachine::piecesStored() const
{
    std::lock_guard lock(m_mutex);
    return m_piecesStored;
}

QList<QByteArray> T38AMachine::commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

QByteArray T38AMachine::handle(const QByteArray& command)
{
    std::lock_guard lock(m_mutex);
    m_commands.append(command);
    m_silent = m_silent || (!m_silentFrom.isEmpty() && command.startsWith(m_silentFrom));
    if (m_silent) {
        // The reply to this command and to every later one is dropped.
        m_peer->setDefaultFault(T38APeer::Fault::DropReply);
        return {};
    }
    if (command.isEmpty())
        return "?";
    switch (command[0]) {
    case '0':
        ++m_sessions;
        m_lastPiece.reset();
        m_blocks = m_scriptedBlocks.isEmpty() ? stream() : m_scriptedBlocks;
        return m_helloReply;
    case 'C':
        return command.mid(1) == "9871" ? "O" : "?";
    case '3': {
        if (command.size() < 4)
            return "?";
        const int piece = m_pieces++;
        if (m_pieceReplies.contains(piece))
            return m_pieceReplies.value(piece);
        const Key key{quint8(command[1]), quint8(command[2])};
        if (m_lastPiece == key)
            m_records[key] += command.mid(3);
        else
            m_records[key] = command.mid(3);
        m_lastPiece = key;
        ++m_piecesStored;
        return "O";
    }
    case '2':
        return nextBlock();
    case '9':
        return "O";
    default:
        return "?";
    }
}

QByteArray T38AMachine::nextBlock()
{
    return m_blocks.isEmpty() ? QByteArray() : m_blocks.takeFirst();
}

QList<QByteArray> T38AMachine::stream() const
{
    QByteArray all;
    for (auto it = m_records.cbegin(); it != m_records.cend(); ++it) {
        const QByteArray& bytes = it.value();
        qsizetype at = 0;
        do {
            const QByteArray part = bytes.mid(at, MaxStreamRecord - 4);
            all += RecordStart;
            all += 'R';
            all += char(it.key().first);
            all += char(it.key().second);
            all += part;
            at += part.size();
        } while (at < bytes.size());
    }
    all += RecordStart;
    all += char(0x01);

    // Replies of at most 256 bytes; none but the last may look like the end of the data.
    QList<QByteArray> replies;
    qsizetype at = 0;
    while (at < all.size()) {
        qsizetype size = std::min<qsizetype>(MaxReply, all.size() - at);
        const auto looksLikeEnd = [&](qsizetype n) {
            const QByteArray piece = all.mid(at, n);
            const bool last = at + n >= all.size();
            return !last && (quint8(piece[0]) == 0xFF || piece.endsWith(QByteArray("\xEC\x01", 2)));
        };
        while (size > 1 && looksLikeEnd(size))
            --size;
        replies.append(all.mid(at, size));
        at += size;
    }
    return replies;
}
