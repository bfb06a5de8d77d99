#pragma once

#include "export/SaveDialogHost.h"

#include <QPointer>
#include <QWidget>

class QFileDialog;

// The real save dialog: Qt's own (not the desktop's), so that it looks and behaves the same
// everywhere; it asks before replacing a file and leaves the current folder alone.
class QtSaveDialogHost : public SaveDialogHost {
public:
    static constexpr int CaptionText = 20507;

    explicit QtSaveDialogHost(QWidget* owner = nullptr);

    std::optional<QString> Run(const SaveDialogRequest& request) override;
    // Sets a dialog up for a request without showing it.
    static void configure(QFileDialog& dialog, const SaveDialogRequest& request);

private:
    QPointer<QWidget> m_owner;
};
