#include "app/CCfg.h"
#include "fw/UpDownEdit.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestDeviceTypes.h"
#include "ui/CDispositivoDlg.h"

#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

constexpr int Model = 7;

// Sixteen named types: 0..12 dispensers and whippers, 13 a valve, 14 another, 15 "VALVULA 2"
// coded as a whipper (found by its name).
class DispositivoDlgTest : public ::testing::Test {
protected:
    DispositivoDlgTest()
    {
        catalogue.ResetDeviceTypes();
        catalogue.ResetDispenserTable();
        catalogue.SetDispenserRow(0, {1, 3, 0, 0, 0, 0}); // dispenser 1 holds milk
        for (int k = 0; k < 13; ++k)
            catalogue.SetDeviceType(k, k == 2 ? deviceType("DISPENSADOR 1", DeviceTypeRecord::DispenserCode, 1)
                                              : deviceType("batidor " + QByteArray::number(k), DeviceTypeRecord::WhipperCode, k));
        catalogue.SetDeviceType(13, deviceType("ELECTROVALVULA", DeviceTypeRecord::WaterValveCode, 1));
        catalogue.SetDeviceType(14, deviceType("AGUA", DeviceTypeRecord::WaterValveCode, 2));
        catalogue.SetDeviceType(15, deviceType("VALVULA 2", DeviceTypeRecord::WhipperCode, 20));
    }

    std::unique_ptr<CDispositivoDlg> open(DispositivoDlgData& record, bool flowMeter)
    {
        auto dialog = std::make_unique<CDispositivoDlg>(record, catalogue, nullptr, [flowMeter, this](int model) {
            ++questions;
            EXPECT_EQ(model, Model);
            return flowMeter;
        });
        dialog->show();
        return dialog;
    }
    static QComboBox* types(const CDispositivoDlg& d) { return d.item<QComboBox>(CDispositivoDlg::TypeList); }
    static fw::UpDownEdit* edit(const CDispositivoDlg& d, int id) { return d.item<fw::UpDownEdit>(id); }
    static QString unit(const CDispositivoDlg& d) { return d.item<QLabel>(CDispositivoDlg::EndUnit)->text(); }
    static void choose(CDispositivoDlg& d, int type)
    {
        QComboBox* list = types(d);
        list->setCurrentIndex(list->findData(type));
        emit list->activated(list->currentIndex());
    }

    TestApplication app;
    CCfg catalogue{30, 10};
    int questions = 0;
};

QStringList itemTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

} // namespace

TEST_F(DispositivoDlgTest, WithoutListFlagsTypes0_1_13_14AreLeftOutAndTheListSortsIgnoringCase)
{
    // A new device: every field 0.
    DispositivoDlgData record(Model);
    record.type = 0;
    record.colour = 0;
    auto dialog = open(record, false);
    const QStringList texts = itemTexts(types(*dialog));
    EXPECT_EQ(texts.size(), 12);
    EXPECT_EQ(texts.first(), "batidor 10");
    EXPECT_TRUE(texts.contains("DISPENSADOR 1 (LECHE)"));
    EXPECT_LT(texts.indexOf("DISPENSADOR 1 (LECHE)"), texts.indexOf("VALVULA 2"));
    EXPECT_LT(texts.indexOf("batidor 9"), texts.indexOf("DISPENSADOR 1 (LECHE)"));
    for (const char* absent : {"batidor 0", "batidor 1", "ELECTROVALVULA", "AGUA"})
        EXPECT_FALSE(texts.contains(absent)) << absent;
    // Type 0 is not listed: nothing is selected; colour 0 is.
    EXPECT_EQ(types(*dialog)->currentIndex(), -1);
    EXPECT_EQ(dialog->item<QComboBox>(CDispositivoDlg::ColourList)->currentText(), "NEGRO");
    EXPECT_EQ(questions, 1);
}

TEST_F(DispositivoDlgTest, WithListFlagsOnlyFlaggedTypesAreListed)
{
    catalogue.SetListFlagMark(true);
    DeviceTypeRecord hidden = deviceType("batidor 5", DeviceTypeRecord::WhipperCode, 5);
    hidden.listFlag = false;
    catalogue.SetDeviceType(5, hidden);
    DispositivoDlgData record(Model);
    record.type = 13;
    record.colour = 4;
    auto dialog = open(record, false);
    const QStringList texts = itemTexts(types(*dialog));
    EXPECT_EQ(texts.size(), 15);
    EXPECT_TRUE(texts.contains("batidor 0"));
    EXPECT_TRUE(texts.contains("AGUA"));
    EXPECT_FALSE(texts.contains("batidor 5"));
    EXPECT_EQ(types(*dialog)->currentText(), "ELECTROVALVULA");
    EXPECT_EQ(dialog->item<QComboBox>(CDispositivoDlg::ColourList)->currentText(), "ROJO");
    // Without flow-meter pulses a valve is timed in tenths.
    EXPECT_EQ(unit(*dialog), "Segundos/10");
}

TEST_F(DispositivoDlgTest, AValveOfAFlowMeterMachineShowsPulsesAndStoresTheEnd)
{
    catalogue.SetListFlagMark(true);
    DispositivoDlgData record(Model);
    record.type = 13;
    record.startTime = 20;
    record.endTime = 70;
    auto dialog = open(record, true);
    EXPECT_EQ(unit(*dialog), "Pulsos caudalímetro");
    EXPECT_EQ(edit(*dialog, CDispositivoDlg::EndEdit)->text(), "50");
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(record.endTime, 70);
    EXPECT_EQ(record.startTime, 20);
    EXPECT_EQ(record.type, 13);
    EXPECT_TRUE(record.valveMode);
}

TEST_F(DispositivoDlgTest, ChangingTheTypeSwitchesTheUnitAtOnceWithoutConvertingTheNumber)
{
    catalogue.SetListFlagMark(true);
    DispositivoDlgData record(Model);
    record.type = 2;
    record.startTime = 10;
    record.endTime = 40;
    auto dialog = open(record, true);
    EXPECT_EQ(unit(*dialog), "Segundos/10");
    choose(*dialog, 15); // a whipper, but named VALVULA
    EXPECT_EQ(unit(*dialog), "Pulsos caudalímetro");
    EXPECT_EQ(edit(*dialog, CDispositivoDlg::EndEdit)->text(), "40");
    choose(*dialog, 3);
    EXPECT_EQ(unit(*dialog), "Segundos/10");
    choose(*dialog, 14);
    dialog->accept();
    EXPECT_EQ(record.endTime, 50);
    EXPECT_EQ(record.type, 14);
    EXPECT_EQ(questions, 1);
}

TEST_F(DispositivoDlgTest, SavingRefusalsKeepTheDialogOpenAndTheRecord)
{
    struct Case {
        int type;
        const char* start;
        const char* end;
        QString message; // empty: accepted
        int focused;
    };
    const Case cases[] = {
        {13, "1000", "30", "La suma del tiempo de activación más el numero de pulsos del caudalímetro no pueden ser mayor de 1024.",
         CDispositivoDlg::StartEdit},
        {13, "1000", "24", {}, 0},
        {3, "50", "40", "El tiempo de final debe ser mayor que el tiempo inicial", CDispositivoDlg::StartEdit},
        {3, "50", "50", {}, 0},
        {3, "0", "1025", "Especifique un entero entre 0 y 1024.", CDispositivoDlg::EndEdit},
        {3, "-1", "5", "Especifique un entero entre 0 y 1024.", CDispositivoDlg::StartEdit},
        {3, "", "5", "Especifique un entero.", CDispositivoDlg::StartEdit},
        {-1, "0", "5", "Seleccione un tipo de dispositivo.", CDispositivoDlg::TypeList},
    };
    catalogue.SetListFlagMark(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + "/" + c.end);
        app.messages().clear();
        DispositivoDlgData record(Model);
        record.type = c.type;
        record.colour = 2;
        record.startTime = 1;
        record.endTime = 2;
        auto dialog = open(record, true);
        edit(*dialog, CDispositivoDlg::StartEdit)->setText(c.start);
        edit(*dialog, CDispositivoDlg::EndEdit)->setText(c.end);
        dialog->accept();
        if (c.message.isEmpty()) {
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
            EXPECT_EQ(record.colour, 2);
            EXPECT_TRUE(app.messages().shown().isEmpty());
        } else {
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(app.messages().texts(), QStringList{c.message});
            EXPECT_EQ(dialog->focusWidget(), dialog->GetDlgItem(c.focused));
            EXPECT_EQ(record.startTime, 1);
            EXPECT_EQ(record.endTime, 2);
            EXPECT_EQ(record.type, c.type);
        }
    }
}

TEST_F(DispositivoDlgTest, AColourOutsideTheListSelectsNoneAndTheDialogStillOpensWhole)
{
    DispositivoDlgData record(Model);
    record.colour = 12;
    record.type = 3;
    auto dialog = open(record, false);
    EXPECT_EQ(dialog->item<QComboBox>(CDispositivoDlg::ColourList)->currentIndex(), -1);
    EXPECT_EQ(dialog->item<QComboBox>(CDispositivoDlg::ColourList)->count(), 9);
    EXPECT_EQ(types(*dialog)->currentText(), "batidor 3");
    EXPECT_EQ(edit(*dialog, CDispositivoDlg::EndEdit)->maximum(), 1024);
}
