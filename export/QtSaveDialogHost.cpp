#include "export/QtSaveDialogHost.h"

#include "fw/Application.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeView>

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
    // Qt's own sizes cut the places list and the type and date columns.
    const QFontMetrics metrics(dialog.font());
    dialog.resize(dialog.sizeHint().expandedTo(QSize(metrics.averageCharWidth() * 110, metrics.height() * 28)));
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({metrics.averageCharWidth() * 22, dialog.width()});
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        details->header()->setStretchLastSection(false);
        details->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
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
