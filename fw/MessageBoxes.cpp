#include "fw/MessageBoxes.h"

#include "fw/Application.h"

namespace fw {

namespace {
MessageAnswer deliver(const Message& message) { return Application::get().messages().show(message); }
} // namespace

MessageAnswer MessageBoxes::box(const QString& text, MessageButtons buttons, MessageIcon icon)
{
    Message message;
    message.kind = MessageKind::Framework;
    message.text = text;
    message.caption = Application::get().name();
    message.buttons = buttons;
    message.icon = icon;
    message.defaultAnswer = buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    return deliver(message);
}

bool MessageBoxes::askYesNo(const QString& text, MessageIcon icon)
{
    return box(text, MessageButtons::YesNo, icon) == MessageAnswer::Yes;
}

void MessageBoxes::stop(const QString& text)
{
    Message message;
    message.kind = MessageKind::PlainStop;
    message.text = text;
    message.icon = MessageIcon::Stop;
    deliver(message);
}

void MessageBoxes::information(const QString& text, const QString& caption)
{
    Message message;
    message.kind = MessageKind::Information;
    message.text = text;
    message.caption = caption;
    message.icon = MessageIcon::Information;
    deliver(message);
}

} // namespace fw
