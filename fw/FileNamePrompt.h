#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace fw {

// One file name the program asks the user for.
struct FileNameRequest {
    enum class Mode { Open, Save };

    Mode mode = Mode::Open;
    QString caption;
    // The name the dialog starts with (empty: none).
    QString proposedName;
    // Filters as "label (patterns)", the first one chosen.
    QStringList filters;
};

// Where every file name of the program is asked: the program installs one that shows the
// file dialog, tests one that answers by script. Program-wide (fw::ProgramWide<FileNamePrompt>).
class FileNamePrompt {
public:
    virtual ~FileNamePrompt() = default;
    // The chosen path; nothing when the user cancelled.
    virtual std::optional<QString> ask(const FileNameRequest& request) = 0;
};

} // namespace fw
