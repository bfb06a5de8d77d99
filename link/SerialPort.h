#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// The program's one wrapper of a serial port, on POSIX termios. Open takes the port name the
// user knows ("COM1"), finds its device (PortResolver), opens it exclusively and sets the
// machine links' line: raw, the baud given, 8 data bits, no parity, one stop bit or two by
// profile value `GlobalCom`/`UseTwoBits`, no software or hardware flow control. Every read
// and write has a deadline. A failure keeps the system's error, taken before any close, for
// ShowLastError.
class SerialPort {
public:
    // The read time-outs: a read returns when every wanted byte came, when the interval passed
    // after a byte without the next, or when per-byte × wanted + constant passed since the call.
    // A zero interval is not used; the total always is, so no read waits without an end.
    struct ReadTimeouts {
        int intervalMs = 50;
        int perByteMs = 4;
        int constantMs = 40;
    };

    static constexpr int DefaultWriteTimeoutMs = 2000;
    static constexpr int CannotAccessTextId = 20110;
    static constexpr int AlreadyOpenTextId = 20111;

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool Open(const QString& name, bool showErrors, quint32 baud);
    void Close();
    // True once every byte is queued for the line (not necessarily sent).
    bool Write(const quint8* bytes, quint32 count);
    bool Write(QByteArrayView bytes) { return Write(reinterpret_cast<const quint8*>(bytes.data()), quint32(bytes.size())); }
    bool WriteByte(quint8 byte) { return Write(&byte, 1); }
    // One read of up to the count wanted, bounded by the read time-outs; the count read is 0
    // when nothing came in time. False when the read itself failed (device gone, hang-up).
    bool Read(quint8* buffer, quint32 wanted, quint32& read) { return Read(buffer, wanted, read, m_readTimeouts); }
    // The same read bounded by other time-outs, for this read alone.
    bool Read(quint8* buffer, quint32 wanted, quint32& read, const ReadTimeouts& timeouts);
    // What has come in, up to the capacity, as soon as anything is there: waits at most waitMs
    // for the first byte (0: only looks), then takes what the device holds without waiting for
    // more. The count read is 0 when nothing came in time.
    bool ReadSome(quint8* buffer, quint32 capacity, quint32& read, int waitMs);
    // Discards what was received and not yet read; the transmit side is untouched.
    bool PurgeRx();
    bool ClearHandshake();
    bool ClearCtsFlow();
    bool IsOpen() const { return m_fd >= 0; }
    void SetTwoStopBits();
    bool SetBreak(bool on);

    // An existing character device stands behind the name; it is not opened.
    static bool PortExists(const QString& name);
    // The framework's box with the port name, its device and the system's text of the error.
    void ShowLastError() const;

    const QString& portName() const { return m_name; }
    const QString& devicePath() const { return m_path; }
    int lastError() const { return m_lastError; }
    QString lastErrorText() const;

    void setReadTimeouts(const ReadTimeouts& timeouts) { m_readTimeouts = timeouts; }
    const ReadTimeouts& readTimeouts() const { return m_readTimeouts; }
    void setWriteTimeoutMs(int milliseconds) { m_writeTimeoutMs = milliseconds; }

    // Milliseconds a read may still wait; 0 or less when it is over. sinceLastByte is empty
    // before the first byte.
    static qint64 readWaitLeft(const ReadTimeouts& timeouts, quint32 wanted, qint64 sinceStart,
                               std::optional<qint64> sinceLastByte);

private:
    // Keeps errno as the last error and gives false.
    bool fail();
    bool failAndClose(bool showErrors);
    bool applyLine(bool twoStopBits, quint32 baud);
    bool changeFlags(unsigned clear, unsigned set);

    QString m_name;
    QString m_path;
    int m_fd = -1;
    int m_lastError = 0;
    ReadTimeouts m_readTimeouts;
    int m_writeTimeoutMs = DefaultWriteTimeoutMs;
};
