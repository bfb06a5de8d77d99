#include "link/T38AReception.h"

#include "link/T38AFrame.h"

using namespace T38AFrame;

void T38AReception::start()
{
    m_stored.clear();
    m_inFrame = false;
    m_etxCount = 0;
}

T38AReception::Feed T38AReception::feed(quint8 byte)
{
    Feed result;
    if (byte == Soh && m_inFrame && m_etxCount == 0) {
        m_inFrame = false;
        result.restarted = true;
    }
    if (!m_inFrame) {
        if (byte == Soh) {
            m_inFrame = true;
            m_stored = QByteArray(1, char(Soh));
            m_mark = Mark::None;
        } else if (m_mark == Mark::OutOfBandPending && byte == ReplyAddress) {
            m_inFrame = true;
            m_stored = QByteArray(1, char(Soh)) + char(ReplyAddress);
        } else {
            markOutside(byte);
        }
        return result;
    }
    m_stored.append(char(byte));
    const bool dropped = m_stored.size() >= 2 && quint8(m_stored[1]) != ReplyAddress;
    if (dropped) {
        m_stored.clear();
        m_inFrame = false;
    }
    if (m_etxCount != 0)
        ++m_etxCount;
    if (byte == Etx && m_etxCount == 0)
        m_etxCount = 1;
    else if (byte == Eot && m_etxCount == 3)
        result.ended = true;
    // A dropped frame's bytes are not a reply coming: they must not hold the reception open.
    result.inFrame = !dropped;
    if (m_stored.size() > MaxStored)
        result.ended = true;
    return result;
}

void T38AReception::markOutside(quint8 byte)
{
    m_mark = byte == Enq ? Mark::OutOfBandPending : Mark::None;
}
