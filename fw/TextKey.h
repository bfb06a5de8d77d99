#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace fw {

// Which text of the program's resources: the id spaces of strings, menu commands, dialogs and
// their controls overlap, so a text is named by its kind and id. In the text files a key is
// written as "1584" (string), "menu.57600" (menu item by command), "popup.2" (the menu's
// popup at a position), "toolbar.204" (a toolbar's title), "dialog.203" (a dialog's caption)
// or "dialog.203.1026" (a control of a dialog).
struct TextKey {
    enum class Kind { String, Menu, Popup, Toolbar, Dialog };

    Kind kind = Kind::String;
    int id = 0;
    // The control of a dialog; NoControl for its caption.
    int control = NoControl;

    static constexpr int NoControl = -1;
    // Labels and group boxes without an id of their own take control ids from here on,
    // numbered within their dialog, so that a language file can name their texts too.
    static constexpr int FirstStaticText = 21400;

    static TextKey string(int id) { return {Kind::String, id}; }
    static TextKey menu(int command) { return {Kind::Menu, command}; }
    static TextKey popup(int position) { return {Kind::Popup, position}; }
    static TextKey toolbar(int id) { return {Kind::Toolbar, id}; }
    static TextKey dialog(int dialogId, int controlId = NoControl) { return {Kind::Dialog, dialogId, controlId}; }

    // The key as the text files write it.
    QString name() const;
    // Nothing for a line that names no key.
    static std::optional<TextKey> parse(QStringView name);

    bool operator==(const TextKey&) const = default;
};

} // namespace fw
