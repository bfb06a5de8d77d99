#include "ui/WidgetViewDialogs.h"

#include "app/CCfg.h"
#include "app/SetupT38A.h"
#include "db/IdiomaTextosDlg.h"
#include "fw/ProgramWide.h"
#include "link/SelPuertoDlg.h"
#include "ui/CDispositivoDlg.h"
#include "ui/CProductDlg.h"
#include "ui/CSugarDlg.h"
#include "ui/CTemperDlg.h"
#include "ui/DispositivoT38ADlg.h"
#include "ui/ParametrizGrupoT38ADlg.h"
#include "ui/ParametrizacionDlg.h"
#include "ui/SelIdiomaDlg.h"

bool WidgetViewDialogs::Product(ProductDlgData& record) { return CProductDlg(record, m_parent).DoModal(); }

bool WidgetViewDialogs::Device(DispositivoDlgData& record)
{
    return CDispositivoDlg(record, fw::ProgramWide<CCfg>::get(), m_parent).DoModal();
}

bool WidgetViewDialogs::DeviceT38A(DispositivoT38ADlgData& record)
{
    return DispositivoT38ADlg(record, fw::ProgramWide<SetupT38A>::get(), m_parent).DoModal();
}

bool WidgetViewDialogs::Sugar(SugarDlgData& record) { return CSugarDlg(record, m_parent).DoModal(); }

bool WidgetViewDialogs::Temperature(TemperDlgData& record) { return CTemperDlg(record, m_parent).DoModal(); }

bool WidgetViewDialogs::Parametrizacion(ParametrizacionDlgData& record)
{
    return ParametrizacionDlg(record, fw::ProgramWide<CCfg>::get(), m_parent).DoModal();
}

bool WidgetViewDialogs::ParametrizGrupoT38A(SetupT38A& setup, int family)
{
    return ParametrizGrupoT38ADlg(setup, family, m_parent).DoModal();
}

std::optional<quint32> WidgetViewDialogs::ProductNameLanguage(bool codePageChoice)
{
    IdiomaTextosDlg dialog(m_parent);
    dialog.SetCodePageChoice(codePageChoice);
    if (!dialog.DoModal())
        return std::nullopt;
    return quint32(dialog.GetCodePage());
}

void WidgetViewDialogs::InterfaceLanguage() { SelIdiomaDlg(m_parent).DoModal(); }

void WidgetViewDialogs::SerialPort() { SelPuertoDlg(m_parent).exec(); }
