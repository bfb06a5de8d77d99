#pragma once

#include <QObject>

class CMainFrame;

// Alt+B, D, E, I and N are the edit commands' keys and also menu mnemonics ("&Editar"); the
// keys win, as the users know them. Installed on the application while the frame lives.
class AltKeyCommands : public QObject {
public:
    explicit AltKeyCommands(CMainFrame& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CMainFrame& m_frame;
};
