#pragma once
// The contribution-time sum (TForm2, unit soma) without a screen: the period
// list put in date order with the overlap of concurrent periods removed, the
// day arithmetic of contribution time (360-day years, 30-day months, both
// ends of a period counted), the toll of 40 % of the time missing, the grace
// periods of an old-age retirement by birth year, the period report
// "teste.html" and the state file "temp.back".
//
// A period row: column 0 employer, 1 occupation, 2 start "dd/mm/yyyy", 3 end,
// 4 conversion factor (decimal comma); in the organised copy column 5 holds
// the note "Retirada Duplicidade" when the period was cut.
//
// A cell or file line that must hold a date or a number and does not stops
// the step with ESomaError naming the place; nothing has changed by then.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/runtime/dates.h"
#include "platform/runtime/errors.h"

class TCellMatrix;

namespace soma {

class ESomaError : public Exception {
public:
    using Exception::Exception;
};

extern const char* const PeriodoHeaders[5];    // IconGrid3, IconGrid1 columns 0-4
extern const char* const RelatorioHeaders[15]; // IconGrid2 row 1
extern const char* const NotaDuplicidade;      // "Retirada Duplicidade"

// A time in the social-security convention.
struct TTempo {
    int Anos = 0;
    int Meses = 0;
    int Dias = 0;
    bool operator==(const TTempo&) const = default;
};

// ---- day arithmetic -----------------------------------------------------------

// Years, months and days from B to A (B the earlier date), both ends counted:
// the whole months from B's day of month to the same day of a later month,
// then the days with 30-day months (a start on the 31st counts as the 30th);
// 30 days make a month and 12 months a year. All zero when A <= B.
TTempo EntreDatas(TDateTime A, TDateTime B);

// A day total as years of 360 days, months of 30 days and days; a negative
// total stays whole in the days. Totals beyond any lifetime (more than a
// million years) raise ESomaError.
TTempo Divide(int64_t total);
int64_t EmDias(int anos, int meses, int dias);

// The totals the form's operations split (see TForm2).
int64_t DiasPedagio(int R, int Y, int M, int D);        // 40 % of the time missing to R years
int64_t DiasApoMaisPedagio(int A, int Y, int M, int D); // A years added to a time
int64_t DiasCumprop(int Y1, int M1, int D1, int Y2, int M2, int D2); // first time less second
int64_t DiasApoint(int R, int Y, int M, int D);                      // time missing to R years
int64_t DiasFator(int Y, int M, long double fator, int D);           // a time converted by a factor

// B - A in days when B >= A, else 1.
double DifDias(TDateTime A, TDateTime B);

// Unit texts: " ano"/" anos", " mês"/" meses", " dia"/" dias" (singular up to 1).
std::string formatano(int n);
std::string formatmes(int n);
std::string formatdia(int n);

// ---- the period list ----------------------------------------------------------

// Selection sort of the rows from 1 by their start date (column 2); rows with
// an empty start stay where they are. Every non-empty start must be a date.
void sortcol(TCellMatrix& periodos);

// Prepares the periods: rows with a start date and no factor get factor "1",
// rows without a start are removed (the last data row stays), the rows are
// sorted, copied into `organizados` and, with `juntas`, each period is cut
// where it overlaps the one before it (noted "Retirada Duplicidade").
// `periodos` keeps its row count, the removed rows coming back empty at the
// end. Every start and end is checked first: a row with a start date needs a
// date at both ends when the overlap is removed.
void organiza(TCellMatrix& periodos, TCellMatrix& organizados, bool juntas);

// ---- grace periods of an old-age retirement -------------------------------------

// Whole 360-day years from A to B; 0 when B is before A.
int AnosDe360(TDateTime A, TDateTime B);

// Rows 1-3 of `idades` (4 columns: label, year, the term of Lei 8.213/91 and
// of Lei 9.032/95) for the ages 55, 60 and 65 that the person had passed at
// the requirement date: the year of the month before the birthday, and the
// terms of that year in `prazos` (column 0 the year, from "1991" on). Rows of
// ages not reached stay empty; a year the table lacks gives empty terms.
void prazosCarencia(TDateTime nascimento, TDateTime requerimento, const TCellMatrix& prazos,
                    TCellMatrix& idades);

// ---- report "teste.html" ------------------------------------------------------------

// The page of the report table: a head, one table row per grid row with every
// cell escaped, and the closing line. Lines may hold CR LF inside.
std::vector<std::string> LinhasTeste(const TCellMatrix& relatorio);

// ---- state file "temp.back" -----------------------------------------------------------

struct TSomaEstado {
    std::string Edit1, Edit2, Edit4, Edit5, Edit7; // number, name, address, city, occupation
    std::string MaskEdit2;                         // requirement date
    std::string MaskEdit1;                         // birth date
    std::string ComboBox1;                         // UF
    bool masculino = true;
    int rowCount = 2;                               // IconGrid3.RowCount
    std::vector<std::array<std::string, 5>> linhas; // grid rows from 0, the header first
    bool juntos = true;
    bool operator==(const TSomaEstado&) const = default;
};

// The largest period table a state file may ask for.
constexpr int MaxLinhas = 10000;

std::vector<std::string> EstadoLinhas(const TSomaEstado& estado);
// Reads the lines of a state file; a date that is none, a count that is no
// number or out of range, or a file that ends before its rows raise
// ESomaError naming the file and the line.
TSomaEstado LerEstado(const std::vector<std::string>& lines, const std::string& fileName);

// True for an empty text, an untouched date mask or a date.
bool DataOuVazio(const std::string& text);
bool DataVazia(const std::string& text);

} // namespace soma
