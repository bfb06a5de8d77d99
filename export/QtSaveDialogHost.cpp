#include "export/QtSaveDialogHost.h"

#include "fw/Application.h"

#include <QFileDialog>

QtSaveDialogHost::QtSaveDialogHost(QWidget* owner)
    : m_owner(owner)
{
}

std::optional<QString> QtSaveDialogHost::Run(const SaveDialogRequest& request)
{
    QFileDialog dialog(m_owner);
    configure(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void QtSaveDialogHost::configure(QFileDialog& dialog, const SaveDialogRequest& request)
{
    dialog.setWindowTitle(fw::Application::get().strings().text(CaptionText));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultExtension);
    // Each label is shown as it stands; the pattern behind it may differ from the one it names.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const SaveDialogFilter& filter : request.filters)
        filters.append(QStringLiteral("%1 (%2)").arg(filter.label, filter.pattern));
    dialog.setNameFilters(filters);
    if (!request.initialFolder.isEmpty())
        dialog.setDirectory(request.initialFolder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
}
