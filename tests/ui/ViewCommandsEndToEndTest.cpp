// A configuration built, saved, reopened and sent through the running program's own window:
// keys, clicks and menu commands, every dialog the real one, answered by script; the T38A
// configuration also goes into the suite's T38A machine, comes back from it and out to a
// programming device's folder.
#include "app/CCfg.h"
#include "app/CMainFrame.h"
#include "app/COrmiApp.h"
#include "app/COrmiDoc.h"
#include "app/CommandIds.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "fw/UpDownEdit.h"
#include "fw/WaitUi.h"
#include "link/CEspereDlg.h"
#include "tests/res/BundledCatalogue.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedFileNamePrompt.h"
#include "tests/support/T38AMachine.h"
#include "tests/support/TestApplication.h"
#include "tests/ui/ModalDialogScript.h"
#include "ui/CDispositivoDlg.h"
#include "ui/COrmiView.h"
#include "ui/CProductDlg.h"
#include "ui/CSugarDlg.h"
#include "ui/CTemperDlg.h"
#include "ui/DispositivoT38ADlg.h"
#include "ui/TipoMaquinaDlg.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using namespace CommandIds;
using Step = ModalDialogScript::Step;

// The dialog as its class, filled in by fill, which also closes it.
template <class D>
Step on(std::function<void(D&)> fill)
{
    return [fill](QDialog& dialog) {
        auto* typed = qobject_cast<D*>(&dialog);
        if (!typed) {
            ADD_FAILURE() << "expected " << D::staticMetaObject.className() << ", got "
                          << dialog.metaObject()->className();
            dialog.reject();
            return true;
        }
        fill(*typed);
        return true;
    };
}

Step product(const QString& name)
{
    return on<CProductDlg>([name](CProductDlg& d) {
        d.item<QComboBox>(CProductDlg::NameCombo)->setEditText(name);
        d.accept();
    });
}

// The type at its place in the dialog's list.
Step device(int typePosition, int start, int end)
{
    return on<CDispositivoDlg>([=](CDispositivoDlg& d) {
        d.item<QComboBox>(CDispositivoDlg::TypeList)->setCurrentIndex(typePosition);
        d.item<fw::UpDownEdit>(CDispositivoDlg::StartEdit)->setText(QString::number(start));
        d.item<fw::UpDownEdit>(CDispositivoDlg::EndEdit)->setText(QString::number(end));
        d.accept();
    });
}

Step deviceT38A(int typePosition, int turns, int pulses)
{
    return on<DispositivoT38ADlg>([=](DispositivoT38ADlg& d) {
        d.item<QComboBox>(DispositivoT38ADlg::TypeList)->setCurrentIndex(typePosition);
        d.item<fw::UpDownEdit>(DispositivoT38ADlg::TurnsEdit)->setText(QString::number(turns));
        d.item<fw::UpDownEdit>(DispositivoT38ADlg::PulsesEdit)->setText(QString::number(pulses));
        d.accept();
    });
}

Step model(int code)
{
    return on<TipoMaquinaDlg>([code](TipoMaquinaDlg& d) {
        for (QTreeWidgetItemIterator it(d.tree()); *it; ++it) {
            if ((*it)->parent() && (*it)->data(0, Qt::UserRole).toInt() == code)
                d.tree()->setCurrentItem(*it);
        }
        d.okButton()->click();
    });
}

// The transfer's window, once it shows its final text.
Step waitForTheEnd()
{
    return [](QDialog& dialog) {
        auto& wait = static_cast<CEspereDlg&>(dialog);
        if (wait.buttonText() != QStringLiteral("Aceptar"))
            return false;
        ModalDialogScript::snapshot(wait, QStringLiteral("CEspereDlg-final"));
        wait.button()->click();
        return true;
    };
}

// What the file keeps of a document: model, sugar times, temperature, then each product's
// header followed by its devices (in any order: loading regroups them).
QStringList describe(const COrmiDoc& doc)
{
    QStringList out;
    out << QStringLiteral("model %1 sugar %2 %3 %4 temperature %5")
               .arg(doc.GetMachineModel())
               .arg(doc.GetSugar().GetBitter())
               .arg(doc.GetSugar().GetNormal())
               .arg(doc.GetSugar().GetExtraSweet())
               .arg(doc.GetWorkingTemperature());
    QStringList devices;
    const auto flush = [&] {
        devices.sort();
        out << devices;
        devices.clear();
    };
    for (auto at = doc.GetFirstRowPosition(); at; at = doc.GetNextRowPosition(at)) {
        const CDeviceCoffee& row = *doc.GetRowAt(at);
        if (row.IsProductHeader()) {
            flush();
            out << QStringLiteral("product %1 selection %2 \"%3\" flags %4%5%6")
                       .arg(row.GetProductNumber())
                       .arg(row.GetSelectionNumber())
                       .arg(QString::fromLatin1(row.GetName()))
                       .arg(row.GetSugarFlag())
                       .arg(row.GetStirrerFlag())
                       .arg(row.GetCupFlag());
        } else {
            devices << QStringLiteral("  type %1 colour %2 %3..%4 turns %5 pulses %6")
                           .arg(row.GetTypeIndex())
                           .arg(row.GetColour())
                           .arg(row.GetStart())
                           .arg(row.GetEnd())
                           .arg(row.GetContainerTurns())
                           .arg(row.GetWaterPulses());
        }
    }
    flush();
    return out;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ViewCommandsEndToEndTest : public ::testing::Test {
protected:
    ViewCommandsEndToEndTest()
    {
        app.application().setProgramFolder(BundledCatalogue::programFolder());
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
        ormi = std::make_unique<COrmiApp>(app.application(), COrmiApp::Options());
        started = ormi->InitInstance();
        frame().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame()));
        view().setFocus();
    }

    CMainFrame& frame() const { return *ormi->frame(); }
    COrmiDoc& doc() const { return ormi->document(); }
    COrmiView& view() const { return *ormi->view(); }

    // A command, with the steps for the windows it opens; all of them used.
    void run(int command, std::initializer_list<Step> steps)
    {
        for (const Step& step : steps)
            dialogs.queue(step);
        frame().action(command)->trigger();
        EXPECT_EQ(dialogs.pending(), 0) << "command " << command;
    }
    void key(Qt::Key key, std::initializer_list<Step> steps)
    {
        for (const Step& step : steps)
            dialogs.queue(step);
        QTest::keyClick(&view(), key, Qt::AltModifier);
        EXPECT_EQ(dialogs.pending(), 0) << "key " << key;
    }
    // A click on the row at display index k (rows stand at x 200, y -40, -80, ...).
    void click(int k, std::initializer_list<Step> steps)
    {
        for (const Step& step : steps)
            dialogs.queue(step);
        // The rows take their places when drawn.
        view().viewport()->repaint();
        const QPoint pixel = pixelOf(QPoint(300, -40 * (k + 1) + 20));
        QTest::mouseClick(view().viewport(), Qt::LeftButton, Qt::NoModifier, pixel);
        EXPECT_EQ(dialogs.pending(), 0) << "click on row " << k;
    }
    QPoint pixelOf(QPoint logical) const
    {
        for (int py = 0; py < view().viewport()->height(); ++py) {
            const QPoint at = view().ViewportToLogical(QPoint(0, py));
            if (at.y() > logical.y())
                continue;
            for (int px = 0; px < view().viewport()->width(); ++px) {
                if (view().ViewportToLogical(QPoint(px, py)).x() >= logical.x())
                    return QPoint(px, py);
            }
        }
        ADD_FAILURE() << "row not on the screen";
        return {};
    }
    // The prompt of a command, shown as the mouse passes over its menu item.
    void prompt(int command)
    {
        QStatusTipEvent tip(frame().action(command)->statusTip());
        QCoreApplication::sendEvent(&frame(), &tip);
        ASSERT_EQ(frame().statusText(), tip.tip());
    }
    QString productName(int k) const
    {
        auto at = doc().GetFirstRowPosition();
        while (k-- > 0)
            at = doc().GetNextRowPosition(at);
        return QString::fromLatin1(doc().GetRowAt(at)->GetName());
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    CEspereDlg wait;
    fw::ProgramWide<fw::WaitUi>::Install waitInstall{wait};
    PtyPair pty;
    ModalDialogScript dialogs;
    std::unique_ptr<COrmiApp> ormi;
    bool started = false;
};

TEST_F(ViewCommandsEndToEndTest, AClassicConfigurationIsBuiltSavedAndReopenedFromTheRecentList)
{
    ASSERT_TRUE(started);
    run(FileNew, {});
    run(ModeloMaquina, {model(2)});
    ASSERT_EQ(doc().GetMachineModel(), 2);
    app.messages().clear();

    key(Qt::Key_N, {product(QStringLiteral("CAFE SOLO"))});
    key(Qt::Key_D, {device(1, 0, 40)});
    key(Qt::Key_D, {device(2, 10, 60)});
    key(Qt::Key_N, {product(QStringLiteral("MI CAFE ESPECIAL"))});
    key(Qt::Key_D, {device(3, 5, 25)});
    // Insert mode: a device above the second product's device.
    key(Qt::Key_I, {});
    click(4, {device(1, 0, 30)});
    // Edit mode: the first product's header renamed to a name of no list, then a device.
    key(Qt::Key_E, {});
    click(0, {product(QStringLiteral("CAFE DE LA CASA"))});
    click(2, {on<CDispositivoDlg>([](CDispositivoDlg& d) {
        d.item<fw::UpDownEdit>(CDispositivoDlg::EndEdit)->setText(QStringLiteral("75"));
        d.accept();
    })});
    run(ConfiguracionAzucar, {on<CSugarDlg>([](CSugarDlg& d) {
        d.item<fw::UpDownEdit>(CSugarDlg::NormalEdit)->setText(QStringLiteral("30"));
        d.item<fw::UpDownEdit>(CSugarDlg::ExtraSweetEdit)->setText(QStringLiteral("45"));
        d.accept();
    })});
    run(TemperaturaTrabajo, {on<CTemperDlg>([](CTemperDlg& d) {
        d.item<fw::UpDownEdit>(CTemperDlg::TemperatureEdit)->setText(QStringLiteral("92"));
        d.accept();
    })});
    ASSERT_EQ(doc().GetRowCount(), 6);
    EXPECT_EQ(productName(0), "CAFE DE LA CASA");
    EXPECT_EQ(productName(3), "MI CAFE ESPECIAL");
    EXPECT_EQ(doc().GetRowAt(doc().GetLastRowPosition())->GetStart(), 5);
    EXPECT_EQ(doc().GetRowAt(doc().GetFirstRowPosition())->GetNameIndex(), 0);
    const QStringList built = describe(doc());
    EXPECT_TRUE(built.first().endsWith("sugar 0 30 45 temperature 92")) << built.first().toStdString();

    const QString path = app.tempPath("casa.caf");
    run(FileSaveAs, {ModalDialogScript::saveAs(path)});
    ASSERT_EQ(doc().GetPathName(), path);
    run(FileNew, {});
    EXPECT_EQ(doc().GetRowCount(), 0);
    run(FileMruFirst, {});
    ASSERT_EQ(doc().GetPathName(), path);
    EXPECT_EQ(describe(doc()), built);
    EXPECT_EQ(productName(0), "CAFE DE LA CASA");

    const QString again = app.tempPath("otra vez.caf");
    run(FileSaveAs, {ModalDialogScript::saveAs(again)});
    EXPECT_EQ(contents(again), contents(path));
    EXPECT_FALSE(contents(path).isEmpty());
    EXPECT_TRUE(app.messages().texts().isEmpty()) << app.messages().texts().join('\n').toStdString();
}

TEST_F(ViewCommandsEndToEndTest, AT38AConfigurationGoesToTheMachineComesBackAndOutToTheDevice)
{
    ASSERT_TRUE(started);
    T38AMachine machine(pty.master());
    run(FileNew, {});
    run(ModeloMaquina, {model(21)});
    ASSERT_TRUE(doc().IsT38AFamily());
    key(Qt::Key_N, {product(QStringLiteral("CAFE SOLO"))});
    key(Qt::Key_D, {deviceT38A(2, 10, 0)});
    key(Qt::Key_D, {deviceT38A(0, 0, 130)});
    key(Qt::Key_N, {product(QStringLiteral("CHOCOLATE"))});
    key(Qt::Key_D, {deviceT38A(3, 12, 0)});
    ASSERT_EQ(doc().GetRowCount(), 5);
    const QStringList built = describe(doc());

    // Each transfer starts from its menu item, whose prompt shows as it is chosen; once the
    // wait window has closed the status bar shows its idle text again.
    prompt(GrabarRs232);
    run(GrabarRs232, {model(21), waitForTheEnd()});
    EXPECT_GT(machine.piecesStored(), 0);
    EXPECT_EQ(frame().statusText(), QStringLiteral("Preparado"));

    app.messages().queueAnswer(fw::MessageAnswer::No); // the built document is not saved
    prompt(LeerRs232);
    run(LeerRs232, {model(21), waitForTheEnd()});
    EXPECT_EQ(describe(doc()), built) << describe(doc()).join("\n").toStdString() << "\n----\n" << built.join("\n").toStdString();
    EXPECT_EQ(frame().statusText(), QStringLiteral("Preparado"));

    // A machine that no longer takes the hello: the read fails, the document stays.
    machine.peer().setDefaultFault(T38APeer::Fault::Refusal);
    app.messages().clear();
    app.messages().queueAnswer(fw::MessageAnswer::No);
    prompt(LeerRs232);
    run(LeerRs232, {model(21), waitForTheEnd()});
    EXPECT_EQ(wait.messageText(), QStringLiteral("Imposible conectar"));
    EXPECT_EQ(describe(doc()), built);
    EXPECT_EQ(frame().statusText(), QStringLiteral("Preparado"));

    const QString folder = app.tempPath("QUORVANEL");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString prg = QDir(folder).filePath("CAFE.prg");
    app.messages().clear();
    app.messages().queueAnswer(fw::MessageAnswer::Yes); // no device plugged in: go on
    run(ExportarQuorvanel, {model(21), ModalDialogScript::saveAs(prg)});
    EXPECT_FALSE(contents(prg).isEmpty());
    ASSERT_FALSE(app.messages().texts().isEmpty());
    EXPECT_TRUE(app.messages().texts().first().startsWith("No hay ningún dispositivo Quorvanel conectado"));
}

// While a transfer runs, and while its window settles after "Aceptar", the program still pumps
// events: commands given then (by a timer, as clicks would come) are refused, and the transfer
// ends as it would alone.
TEST_F(ViewCommandsEndToEndTest, CommandsDuringATransferAndItsSettlingAreRefused)
{
    ASSERT_TRUE(started);
    T38AMachine machine(pty.master());
    run(FileNew, {});
    run(ModeloMaquina, {model(21)});
    key(Qt::Key_N, {product(QStringLiteral("CAFE SOLO"))});
    key(Qt::Key_D, {deviceT38A(0, 0, 130)});
    const QStringList built = describe(doc());
    ASSERT_TRUE(doc().IsModified());
    dialogs.take();
    app.messages().clear();

    bool duringTransfer = false;
    bool duringSettling = false;
    QTimer second;
    second.setInterval(40);
    QObject::connect(&second, &QTimer::timeout, [&] {
        if (!wait.EstaActivo())
            return;
        if (wait.isVisible())
            duringTransfer = true;
        else
            duringSettling = true;
        for (int id : {LeerRs232, GrabarRs232, FileNew, FileOpen, NuevoProducto, ModeloMaquina, ExportarQuorvanel})
            frame().action(id)->trigger();
    });
    second.start();
    run(GrabarRs232, {model(21), waitForTheEnd()});
    second.stop();

    EXPECT_TRUE(duringTransfer);
    EXPECT_TRUE(duringSettling);
    EXPECT_EQ(dialogs.take(), (QStringList{"TipoMaquinaDlg", "CEspereDlg"}));
    EXPECT_TRUE(app.messages().texts().isEmpty()) << app.messages().texts().join('\n').toStdString();
    EXPECT_EQ(wait.messageText(), QStringLiteral("CAFETERA CONFIGURADA CORRECTAMENTE"));
    EXPECT_EQ(machine.sessions(), 1);
    EXPECT_EQ(describe(doc()), built);
}

} // namespace
