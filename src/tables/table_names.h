#pragma once
// File names of the index tables in the data directory.

namespace tabelas {

inline constexpr const char* SalminFile = "salmin.tab";
inline constexpr const char* AtuaprevFile = "atuaprev.tab";
inline constexpr const char* CrMensalRev3File = "crmensalrev3.tab";
inline constexpr const char* CrMensalRevInssFile = "crmensalrevinss.tab";
inline constexpr const char* InssFile = "inss.tab";
inline constexpr const char* Inpc98File = "inpc98.tab";
inline constexpr const char* CoeficientesFile = "coeficientes.tab";
inline constexpr const char* MeuIndiceFile = "meuindice.tab";
// Shown by the simulation's conversion and grace-period windows.
inline constexpr const char* FatorFile = "fator.tab";
inline constexpr const char* PrazosFile = "prazosAI.tab";
// The ceiling table newest first is loaded only where insssc.tab marks it.
inline constexpr const char* InssScFile = "gridinsssc.tab";
inline constexpr const char* InssScMarkFile = "insssc.tab";
// The revision series: I ends in IGP-DI, II in INPC from 01/2004, and the
// third (also the INPC table) in INPC from 02/2004.
inline constexpr const char* SeriesIFile = "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi.tab";
inline constexpr const char* SeriesIIFile =
    "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(01-2004).tab";
inline constexpr const char* SeriesIIIFile =
    "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab";

} // namespace tabelas
