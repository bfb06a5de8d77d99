#pragma once

#include <QString>

namespace fw {

// The three kinds of box the program shows.
enum class MessageKind {
    Framework,   // the framework's box, captioned with the application name
    PlainStop,   // the plain box without owner or caption, stop icon
    Information, // a plain box with its own caption and the information icon
};

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Question, Warning, Stop };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message {
    MessageKind kind = MessageKind::Framework;
    QString text;
    QString caption;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    // The answer given when the box is closed without a choice (Esc, or a default button).
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

// Where every message box and question of the program goes: the program installs one that
// shows real boxes, tests one that answers by script.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

} // namespace fw
