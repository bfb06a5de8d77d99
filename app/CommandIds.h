#pragma once

// Command ids of the menu, the toolbars and the accelerators. The status-bar prompt and the
// tooltip of a command are the string-table entry with the same id.
namespace CommandIds {
inline constexpr int Separator = 0;

inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintDirect = 57608;
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileMruFirst = 57616;
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;

inline constexpr int Borrar = 1520;
inline constexpr int Editar = 1522;
inline constexpr int NuevoDispositivo = 1523;
inline constexpr int GrabarRs232 = 1525;
inline constexpr int LeerRs232 = 1527;
inline constexpr int NuevoProducto = 1528;
inline constexpr int Insertar = 1530;
inline constexpr int ConfiguracionAzucar = 1535;
inline constexpr int TemperaturaTrabajo = 1537;
inline constexpr int ExportarZentrolux = 1539;
inline constexpr int ParametrizacionMaquina = 1593;
inline constexpr int ModeloMaquina = 1596;
inline constexpr int IdiomaNombresProductos = 1597;
inline constexpr int Checksum = 1598;
inline constexpr int SeleccionarPuertoSerie = 1599;
inline constexpr int IdiomaSoftware = 1600;
inline constexpr int ExportarQuorvanel = 1607;
} // namespace CommandIds
