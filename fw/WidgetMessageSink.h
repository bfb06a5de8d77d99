#pragma once

#include "fw/MessageSink.h"

class QWidget;

namespace fw {

// Shows the program's messages as real modal message boxes.
class WidgetMessageSink : public MessageSink {
public:
    // Framework boxes are owned by the window the function gives at the time (may be null).
    explicit WidgetMessageSink(QWidget* (*mainWindow)() = nullptr) : m_mainWindow(mainWindow) {}

    MessageAnswer show(const Message& message) override;

private:
    QWidget* (*m_mainWindow)();
};

} // namespace fw
