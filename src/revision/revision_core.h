#pragma once
// The retirement-revision worksheet (TForm9, unit revisao) without a screen:
// the IRSM of 02/1994 on the salaries of contribution before 03/1994, the new
// salary of benefit and RMI with the ceiling and its increment, the monthly
// evolution of the paid and the revised benefit, the report "revisao.html"
// and the state file "temprev.back". The form gathers its controls into the
// structs below and runs these functions on its grids' cell matrices.
//
// Amounts stay "#,##0.00" texts and are read back at every use, so each month
// is rounded to cents before the next is computed from it. A cell or typed
// value that must be a number and is not stops the step with
// ECellValueError naming the place; a division that cannot be made stops it
// with calc::ECalcError. What was written before the stop stays.
#include <string>
#include <vector>

#include "platform/runtime/dates.h"
#include "revision/arrears_engine.h"

class TCellMatrix;

namespace revisao {

// The tables form's grids the worksheet reads (missing ones read as empty).
struct TRevisionTables {
    const TCellMatrix* Gridanterior1994 = nullptr; // month, INPC index number
    const TCellMatrix* GridCorrRev = nullptr;      // month, readjustment factor, ...
    const TCellMatrix* GridSalmin = nullptr;       // date, minimum wage
    const TCellMatrix* gridiinss = nullptr;        // month, ceiling
    const TCellMatrix* SRVI = nullptr;             // correction factors of each series
    const TCellMatrix* SRVII = nullptr;
    const TCellMatrix* SRVIII = nullptr;
    bool Cusetabsc = false; // ceiling table kept newest first
};

// ---- grid layouts -----------------------------------------------------------

extern const char* const SalariosHeaders[5];  // STGSalarios
extern const char* const EvolucaoHeaders[13]; // SEvolucao and SEvolucao1
// The items of Catualizacao, in the order of SRVI, SRVII, SRVIII.
extern const char* const AtualizacaoNames[3];
extern const char* const TotalLabel; // column 0 of the evolution's last row

void LayoutSalarios(TCellMatrix& STGSalarios); // 5 columns, 37 rows, headers
void LayoutEvolucao(TCellMatrix& SEvolucao);   // 13 columns, headers
void LayoutCabeca(TCellMatrix& cabeca);        // 8 x 8 with the fixed labels
void LayoutSalariosd(TCellMatrix& Salariosd);  // 8 columns "Data", "Valor", 10 rows

// ---- salaries ---------------------------------------------------------------

// Columns 2 to 4 of every row: the factor 3,55325 / the month's INPC index
// (eight decimals), the salary times the factor limited by the minimum wage
// and the ceiling of the DIB month, and the clamp marker. A row without a
// month in the table, or without a salary, keeps those columns empty.
// marcalimite is the revision form's clamp marker.
void corrigesalario(TCellMatrix& STGSalarios, const TRevisionTables& tables,
                    const std::string& EDIB, std::string& marcalimite);

// EditC: the sum of the corrected salaries (Ratualizar) or of the typed ones.
std::string somasalarios(const TCellMatrix& STGSalarios, bool Ratualizar);

// Months and salaries of STGSalarios in four column pairs of Salariosd, nine
// rows a pair (more when the list is longer than 36 rows).
void salariosdx(const TCellMatrix& STGSalarios, TCellMatrix& Salariosd);

// ---- report header ----------------------------------------------------------

struct TCabecaInput {
    std::string EAutor, EEspecie, Prescricao, Calculoate, Dataajuizamento, Contagemjuros, Ejurosmes,
        EDIB, ENRMIMR, EIncrementoRMI, ENIncrementoRMI;
    long double ERMIMR = 0; // the edit's value
    bool Chek13 = false;
};

void cabecax(const TCabecaInput& in, TCellMatrix& cabeca);

// ---- the new RMI --------------------------------------------------------------

// Texts of the controls novarmi reads. A value counts as present when it
// holds a digit.
struct TNovaRmiInput {
    std::string Dataajuizamento, Prescricao, EDIB;
    std::string EditA, EditB, EditC, ENCoeficienteRMI;
};

// What novarmi writes back into the controls.
struct TNovaRmiResult {
    std::string Prescricao;
    std::string EditD, EditE, EditF, EditG, EditH, EditI, EditJ;
    std::string Lnovarmiem, Lcoeficiente;
    std::string ENSalBeneficio, ENIncrementoRMI, ENRMIMR;
};

// The ceiling of the DIB month: the row of gridiinss that devolvevalor
// limits that month by. "" when the table has no data row; a month the
// table lacks stops with MissingMonth.
std::string TetoDoMes(const TCellMatrix& gridiinss, TDateTime monthStart, bool Cusetabsc);

// Computes everything first: on a stop nothing is to be written.
TNovaRmiResult novarmi(const TNovaRmiInput& in, const TRevisionTables& tables);

// ---- the evolution ------------------------------------------------------------

struct TEvolucaoInput {
    std::string EDIB, Calculoate, Contagemjuros, Ejurosmes, Prescricao;
    std::string ERMIMR, ENRMIMR, EIncrementoRMI, ENIncrementoRMI; // edit texts
    std::string Catualizacao;
    bool Chek13 = false;
};

// Index-driven evolution into SEvolucao. The form sets Prescricao to the DIB
// before the call, so its totals take every month.
void evolucao(const TEvolucaoInput& in, const TRevisionTables& tables, TCellMatrix& SEvolucao);
// The amounts evolved by the monthly factors and limited month by month, into
// SEvolucao1; totals of the months from the prescription on.
void evolucao2(const TEvolucaoInput& in, const TRevisionTables& tables, TCellMatrix& SEvolucao1,
               std::string& marcalimite);
// SEvolucao from the month of Prescricao on (every month when it is empty),
// copied from SEvolucao1, with its totals row.
void evolucao3(const TCellMatrix& SEvolucao1, const std::string& Prescricao,
               TCellMatrix& SEvolucao);

// ---- report ---------------------------------------------------------------------

struct TRevisionReport {
    std::string Cfont, Cnomefont; // the main window's report font
    std::string LabelA, LabelB, LabelSalarios, LabelC, LabelD, LabelE, LabelF, LabelG, LabelH,
        LabelI, LabelI2, LabelJ; // captions
    long double EditAValue = 0;
    std::string EditB, EditC, EditD, EditE, EditF, EditG, EditH, EditI, EditJ;
    std::string Lnovarmiem, Lcoeficiente, Catualizacao;
    bool Ratualizar = false;
    const TCellMatrix* STGSalarios = nullptr;
    const TCellMatrix* Salariosd = nullptr;
    const TCellMatrix* cabeca = nullptr;
    const TCellMatrix* SEvolucao = nullptr;
};

// The lines of "revisao.html" (some hold CR LF inside). Texts from fields and
// cells are escaped; the bold markup of the evolution's totals row is kept.
std::vector<std::string> printrevisaoLines(const TRevisionReport& in);
// Writes DataDir/"revisao.html". A failed write shows "File access error"
// and keeps the previous report.
void printrevisao(const TRevisionReport& in, const std::string& DataDir,
                  const calc::TShowMessage& showMessage);

// ---- state file "temprev.back" ------------------------------------------------

// The 21 values before the salary list, in the file's order.
enum TStateField {
    sfEEspecie,
    sfEAutor,
    sfCalculoate,
    sfDataajuizamento,
    sfParcelafinal,
    sfPrescricao,
    sfContagemjuros,
    sfEjurosmes,
    sfCatualizacao,
    sfEDIB,
    sfESalBeneficio,
    sfECoeficienteRMI,
    sfEIncrementoRMI,
    sfERMIMR,
    sfENSalBeneficio,
    sfENCoeficienteRMI,
    sfENIncrementoRMI,
    sfENRMIMR,
    sfChek13,
    sfEditA,
    sfEditB,
    sfFieldCount
};

struct TRevisionState {
    std::vector<std::string> values = std::vector<std::string>(sfFieldCount);
    // Month and salary of the data rows; rowCount counts the header too.
    std::vector<std::string> months, salaries;
    int rowCount = 0;
    bool hasRows = false; // the count line held a digit
};

std::vector<std::string> StateLines(const std::vector<std::string>& values,
                                    const TCellMatrix& STGSalarios);
// What the user knows each value by, for messages.
extern const char* const StateFieldNames[sfFieldCount];

// Parses the lines of a state file. A file that ends before its count line,
// a count line that is no number, or rows that do not match the count (too
// few, or more lines after them, even empty ones) raise calc::ECalcError naming the file and
// the line (fileName is only for the message). Values are not checked here.
TRevisionState ParseState(const std::vector<std::string>& lines, const std::string& fileName);

} // namespace revisao
