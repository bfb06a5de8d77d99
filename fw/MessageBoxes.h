#pragma once

#include "fw/MessageSink.h"

namespace fw {

// The program's ways to ask and tell, all through the application's message sink.
class MessageBoxes {
public:
    // The framework's box, captioned with the application name.
    static MessageAnswer box(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                             MessageIcon icon = MessageIcon::None);
    // A Yes/No question; true only for Yes.
    static bool askYesNo(const QString& text, MessageIcon icon = MessageIcon::Question);
    // The plain stop box without owner or caption.
    static void stop(const QString& text);
    // A plain box with a caption of its own and the information icon.
    static void information(const QString& text, const QString& caption);
};

} // namespace fw
