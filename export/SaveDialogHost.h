#pragma once

#include <QList>
#include <QString>

#include <optional>

// One entry of a save dialog's type list: the text shown and the pattern it lists.
struct SaveDialogFilter {
    QString label;
    QString pattern;
};

// What a save dialog is asked: where it starts (empty: wherever the dialog likes), the
// extension added to a name typed without one, the name proposed and the type list.
struct SaveDialogRequest {
    QString initialFolder;
    QString defaultExtension;
    QString fileName;
    QList<SaveDialogFilter> filters;
};

// Where the exports ask for a file to save to: the program installs one that shows a real
// dialog (fw::ProgramWide<SaveDialogHost>), tests one that answers by script. The dialog
// asks itself before an existing file is replaced.
class SaveDialogHost {
public:
    virtual ~SaveDialogHost() = default;
    // The chosen path, or none on Cancel.
    virtual std::optional<QString> Run(const SaveDialogRequest& request) = 0;
};
