#pragma once

#include "tests/support/T38APeer.h"

#include <QByteArray>
#include <QList>
#include <QMap>

#include <memory>
#include <mutex>
#include <optional>
#include <utility>

// A T38A machine behind the frame peer: hello "0" answers FF and starts a session; 'C' takes
// the access code "9871" ('O') or refuses it ('?'); '3' stores a piece, extending the record
// when the previous piece had the same id and field, else replacing it; "2" gives the records
// in id and field order as stream records (EC 'R' id field, at most 64 bytes) in replies of at
// most 256 bytes, the last ending EC 01; "9" answers 'O'. Replies can be scripted per piece or
// per "2" request, and the machine can fall silent at a given command.
class T38AMachine {
public:
    using Key = std::pair<quint8, quint8>;

    explicit T38AMachine(int masterFd);

    T38APeer& peer() { return *m_peer; }

    QMap<Key, QByteArray> records() const;
    void setRecord(quint8 blockId, quint8 field, const QByteArray& bytes);
    // The replies of "2" in order, in place of the records' stream.
    void scriptBlocks(const QList<QByteArray>& replies);
    // The reply to the piece with this number (from 0), which is then not stored.
    void scriptPieceReply(int piece, const QByteArray& reply);
    void setHelloReply(const QByteArray& reply);
    // From the first command that starts with these bytes on, the machine answers nothing and
    // runs nothing, as one switched off or unplugged.
    void fallSilentAt(const QByteArray& commandStart);
    bool silent() const;

    int sessions() const;
    int piecesStored() const;
    QList<QByteArray> commands() const;

    static constexpr int MaxStreamRecord = 64;
    static constexpr int MaxReply = 256;

private:
    QByteArray handle(const QByteArray& command);
    QByteArray nextBlock();
    QList<QByteArray> stream() const;

    mutable std::mutex m_mutex;
    QMap<Key, QByteArray> m_records;
    std::optional<Key> m_lastPiece;
    QMap<int, QByteArray> m_pieceReplies;
    QList<QByteArray> m_scriptedBlocks;
    QList<QByteArray> m_blocks;
    QList<QByteArray> m_commands;
    QByteArray m_helloReply = QByteArray(1, char(0xFF));
    QByteArray m_silentFrom;
    bool m_silent = false;
    int m_pieces = 0;
    int m_piecesStored = 0;
    int m_sessions = 0;
    std::unique_ptr<T38APeer> m_peer;
};
