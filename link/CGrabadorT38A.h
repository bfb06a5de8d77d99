#pragma once

#include "link/ExportarProgramacion.h"
#include "link/MandaTrama485.h"

#include <QByteArray>
#include <QString>

class SerialPort;

namespace fw {
class Clock;
class Profile;
class WaitUi;
} // namespace fw

// Writes the configuration into a T38A machine and reads it back, with one-character commands
// through the frame layer: hello "0", access code 'C', next block "2", write piece '3', end "9".
// Every record the compile step hands over becomes write pieces of at most 64 bytes. Status
// goes to the wait window, whose cancel is the frame layer's abort flag; while a reply is
// awaited the window is pumped, so the cancel is taken mid-exchange. A failure's text stays in
// the window with "Aceptar" until the user has seen it: later status texts do not replace it.
// A machine that gave no valid reply on any try of a command is taken as gone: further write
// pieces are refused without a send, and the end command is not sent; a refused piece (the
// machine answered) leaves the line as it was.
class CGrabadorT38A : public ExportarProgramacion {
public:
    static constexpr int Baud = 9600;
    static constexpr int HelloRetries = 12;
    static constexpr int HelloReplyCapacity = 4096;
    static constexpr int PieceReplyCapacity = 100;
    static constexpr int BlockReplyCapacity = 300;
    static constexpr int DataCapacity = 14384;
    static constexpr int MaxPiece = 64;
    static constexpr int MaxEmptyReplies = 10;
    static constexpr int RecordCapacity = 400;
    static constexpr int MaxHexBytes = 200;
    static constexpr int MaxHexText = 80;
    static constexpr int DefaultBreakMs = 1500;
    // The break is waited out in steps this long, the window pumped and the cancel looked at.
    static constexpr int BreakStepMs = 100;
    static constexpr const char* AccessCode = "9871";

    static constexpr int CannotConnectText = 20200;
    static constexpr int EnteringCodeText = 20201;
    static constexpr int WrongCodeText = 20202;
    static constexpr int CommunicationErrorText = 20203;
    static constexpr int ChecksumErrorText = 20204;
    static constexpr int WriteErrorText = 20205;
    static constexpr int RecordingText = 20206;

    // Starts the wait window. When it does not start (another transfer holds it), the
    // transfer does not run: Conecta gives false without touching the port (so Finaliza has
    // no line to send on) and CierraEspera leaves the window alone.
    CGrabadorT38A(fw::WaitUi& wait, const fw::Profile& profile, fw::Clock& clock);
    ~CGrabadorT38A() override;
    CGrabadorT38A(const CGrabadorT38A&) = delete;
    CGrabadorT38A& operator=(const CGrabadorT38A&) = delete;

    // Opens the profile's port on the given object at the machine's line, sends a break and the
    // hello (and the access code when switched on).
    bool Conecta(SerialPort* port);
    bool Saluda();
    // The end command, unless the machine answered nothing to the last command; then the
    // port's input is discarded.
    void Finaliza();
    void CierraEspera();

    bool EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload) override;
    // The value as two BCD digits b, sent as the record 00 b; the size is not used.
    bool EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size) override;
    bool EscribeTrozo(quint8 blockId, quint8 field, QByteArrayView piece);
    void MuestraMensaje(const QString& text) override;
    void MuestraProgreso(qint32 percent) override;

    // The machine's whole configuration data (the "2" replies end to end). A cancel seen at
    // any point, the window's pump after the last block included, fails it.
    bool LeeTodo(QByteArray& destination);
    // The bytes of every record with this id and field, appended, up to the end marker EC 01 or
    // the end of the data. False when none is there, or when they pass the capacity: then the
    // length still tells the full size and the destination holds the first capacity bytes.
    static bool BuscaRegistro(QByteArrayView data, quint8 blockId, quint8 field, QByteArray& destination,
                              int& length, int capacity = RecordCapacity);
    // Two characters per byte, each pair read as strtol base 16 reads it; at most 200 bytes.
    static QByteArray HexABytes(QByteArrayView text);
    // Those bytes as 8-bit text up to the first zero, at most 80 characters.
    static QByteArray HexATexto(QByteArrayView text);
    // 'C' and the first four characters of the code, blank-padded.
    static QByteArray ComponeComandoClave(QByteArrayView code);
    // A reply that ends the data: FF first, or EC 01 last after the EC 42 0E xx FF fix-up,
    // which is made in the reply itself.
    static bool EsFinDatos(QByteArray& reply);

    void AsignaLinea1(int stringId);
    void AsignaLinea2(const QString& text);
    void MuestraResultado(int stringId);

    // Switched on, Conecta sends the access code after the hello; off in the product.
    void AsignaClave(bool on) { m_accessCode = on; }
    bool Conectado() const { return m_connected; }
    // True once anything failed (a record was refused, the hello or a read went wrong),
    // whatever the caller did with the result.
    bool HaFallado() const { return m_failed; }
    const QString& portName() const { return m_portName; }
    MandaTrama485& frameLayer() { return m_layer; }
    void setBreakMs(int milliseconds) { m_breakMs = milliseconds; }

private:
    // The exchange with a reply buffer of the given capacity; the reply in reply.
    int exchange(QByteArrayView command, int capacity, QByteArray& reply);
    void sendBreak();
    void showLines();
    void message(int stringId);
    // The failure's text as the final text, unless one is shown already; always false.
    bool fail(int stringId);

    fw::WaitUi& m_wait;
    const fw::Profile& m_profile;
    fw::Clock& m_clock;
    MandaTrama485 m_layer;
    SerialPort* m_port = nullptr;
    QString m_line1;
    QString m_line2;
    QString m_portName;
    int m_breakMs = DefaultBreakMs;
    bool m_started = false;
    bool m_connected = false;
    bool m_accessCode = false;
    bool m_failed = false;
    bool m_finished = false;
    // The last command got no valid reply on any of its tries.
    bool m_silent = false;
};
