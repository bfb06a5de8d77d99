#pragma once

#include "fw/FileNamePrompt.h"

#include <QPointer>
#include <QWidget>

namespace fw {

// Asks file names with the file dialog, owned by a window while it exists.
class WidgetFileNamePrompt : public FileNamePrompt {
public:
    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<QString> ask(const FileNameRequest& request) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace fw
