#include "link/ExportarProgramacion.h"

ExportarProgramacion::~ExportarProgramacion() = default;

void ExportarProgramacion::AsignaProducto(qint32, const QByteArray&) {}
