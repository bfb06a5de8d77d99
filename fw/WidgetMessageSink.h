#pragma once

#include "fw/MessageSink.h"

#include <QPointer>
#include <QWidget>

namespace fw {

// Shows the program's messages as real modal message boxes.
class WidgetMessageSink : public MessageSink {
public:
    // Framework boxes are owned by this window while it exists; the plain boxes have no owner.
    void setOwner(QWidget* owner) { m_owner = owner; }

    MessageAnswer show(const Message& message) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace fw
