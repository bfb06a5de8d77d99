#include "fw/WidgetFileNamePrompt.h"

#include <QFileDialog>

namespace fw {

std::optional<QString> WidgetFileNamePrompt::ask(const FileNameRequest& request)
{
    const bool saving = request.mode == FileNameRequest::Mode::Save;
    QFileDialog dialog(m_owner, request.caption, QString(), request.filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace fw
