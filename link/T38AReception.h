#pragma once

#include <QByteArray>

// The byte-by-byte reception of one try. A frame starts at SOH, or at '<' after an ENQ
// (an out-of-band frame, stored as SOH '<' like a reply); a second SOH before any ETX
// restarts it; a second byte other than '<' drops it. The reception ends at the EOT that
// stands two bytes after the first ETX of the try, or when more than 1020 bytes are stored.
// The out-of-band mark outlives the reception: the exchange decides by it what a frame was.
class T38AReception {
public:
    static constexpr int MaxStored = 1020;

    enum class Mark { None, OutOfBandPending };

    struct Feed {
        bool restarted = false;  // a second SOH dropped the frame begun
        bool inFrame = false;    // the byte stays stored in a frame (the last-byte time moves)
        bool ended = false;      // the reception is complete
    };

    // A new try: nothing stored, no ETX seen. The mark stays.
    void start();
    Feed feed(quint8 byte);

    const QByteArray& stored() const { return m_stored; }
    Mark mark() const { return m_mark; }
    void clearMark() { m_mark = Mark::None; }

private:
    // The one place the out-of-band mark changes with a byte outside a frame.
    void markOutside(quint8 byte);

    QByteArray m_stored;
    bool m_inFrame = false;
    int m_etxCount = 0;
    Mark m_mark = Mark::None;
};
