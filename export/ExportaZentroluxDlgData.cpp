#include "export/ExportaZentroluxDlgData.h"

#include "fw/Application.h"

namespace {

const QString Section = QStringLiteral("Ormi");
const QString ProductsEntry = QStringLiteral("ExportarProds");
const QString UnionEntry = QStringLiteral("ExportarUnion");

} // namespace

ExportaZentroluxDlgData::ExportaZentroluxDlgData(int machineType, DBConnection* connection)
    : machineType(machineType)
    , connection(connection)
    , ExportarProds(fw::Application::get().profile().GetInt(Section, ProductsEntry, 0))
    , ExportarUnion(fw::Application::get().profile().GetInt(Section, UnionEntry, 0))
{
}

void ExportaZentroluxDlgData::saveOptions() const
{
    fw::Profile& profile = fw::Application::get().profile();
    profile.WriteInt(Section, ProductsEntry, ExportarProds);
    profile.WriteInt(Section, UnionEntry, ExportarUnion);
}
