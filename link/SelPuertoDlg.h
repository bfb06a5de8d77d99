#pragma once

#include "fw/TextKey.h"
#include "link/PortResolver.h"

#include <QDialog>

class QComboBox;
class QLabel;

namespace fw {
class Profile;
}

// The choice of the serial port both machine links use: the COM ports 0..12 that exist, in
// order, each with its device shown beside it. The choice is kept as the number in profile
// value `Ormi`/`SerialPort`.
class SelPuertoDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int FirstPort = 0;
    static constexpr int LastPort = 12;
    static constexpr int TemplateId = 152;
    static constexpr int OkId = 1;
    static constexpr int CancelId = 2;
    static constexpr int PortLabel = fw::TextKey::FirstStaticText;

    // The program's profile and devices.
    explicit SelPuertoDlg(QWidget* parent = nullptr);
    SelPuertoDlg(fw::Profile& profile, const PortResolver& resolver, QWidget* parent = nullptr);

    // Lists the ports that exist and selects the one of the port text, else the first.
    void LlenaPuertos();
    // "COM%d" of the profile's port when the dialog opened; the entry chosen after OK.
    const QString& portText() const { return m_portText; }
    QComboBox* portList() const { return m_ports; }
    QString devicePathShown() const;

public slots:
    void accept() override;

private:
    void showDevice(int index);

    fw::Profile& m_profile;
    PortResolver m_resolver;
    QString m_portText;
    QComboBox* m_ports;
    QLabel* m_device;
};
