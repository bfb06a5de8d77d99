#include "export/QtSaveDialogHost.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

namespace {

SaveDialogRequest prgRequest(const QString& folder)
{
    return {folder,
            QStringLiteral("prg"),
            QString(),
            {{QStringLiteral("Ficheros prg(*.prg)"), QStringLiteral("*.prg")},
             {QStringLiteral("All Files (*.*)"), QStringLiteral("*")}}};
}

} // namespace

TEST(QtSaveDialogHost, SetsUpQtsOwnSaveDialogThatAsksBeforeReplacing)
{
    TestApplication app;
    QTemporaryDir folder;
    QFileDialog dialog;
    QtSaveDialogHost::configure(dialog, prgRequest(folder.path()));

    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Guardar como"));
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("prg"));
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(folder.path()).canonicalPath());

    // The labels show as they stand; "All Files (*.*)" lists every name, with a dot or not.
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), QStringLiteral("Ficheros prg(*.prg)"));
    EXPECT_EQ(types->itemText(1), QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(dialog.nameFilters().at(1), QStringLiteral("All Files (*.*) (*)"));
}

TEST(QtSaveDialogHost, AnEmptyFolderLeavesTheDialogWhereItIs)
{
    TestApplication app;
    QFileDialog dialog;
    const QString before = dialog.directory().path();
    QtSaveDialogHost::configure(dialog, prgRequest(QString()));
    EXPECT_EQ(dialog.directory().path(), before);
}
