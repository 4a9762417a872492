#pragma once
// The retirement simulation's calculation core (TForm6, unit simulacao)
// without a screen: the working table of monthly salaries and correction
// indexes, the ceiling, the mean of the largest 80 % (Lei 9.876/99), the mean
// of the last 36 months (older rules, to 10/1999 and to 11/1998 under EC 20),
// the social-security factor, the benefit coefficient, the minimum-wage floor
// and the two-column demonstrative. The form gathers its control values into
// TSimInput, runs these passes on the grids' cell matrices and shows what they
// return or raise.
//
// Amounts live in the cells as "#,##0.00" texts and are read back at each use.
// A cell that must hold a number and does not stops with ECellValueError
// naming the place; a rule that cannot go on (no contribution in the period,
// the minimum number of contributions not reached, a table without the month)
// stops with ESimulacaoError, whose message the form shows before it aborts.
#include <string>
#include <vector>

#include "platform/runtime/dates.h"
#include "platform/runtime/errors.h"

class TCellMatrix;

namespace simulacao {

class ESimulacaoError : public Exception {
public:
    using Exception::Exception;
};

// The kinds of benefit (items of ComboBox2).
extern const char* const Beneficios[5];
constexpr int kAuxilioDoenca = 0, kInvalidez = 1, kIdade = 2, kTempoContribuicao = 3,
              kProfessor = 4;

// Column headers of the form's grids.
extern const char* const GeralHeaders[5];
extern const char* const DemoHeaders[13];
extern const char* const CorrecaoHeaders[6];

// The tables of the tables form (TForm8) that the simulation reads. Missing
// grids read as empty tables.
struct TSimTables {
    const TCellMatrix* indicegrid = nullptr;       // month, factor to the last month
    const TCellMatrix* grid98 = nullptr;           // month, cumulative factor to 11/1998
    const TCellMatrix* gridsvida = nullptr;        // date, survival expectancy by age (row 0)
    const TCellMatrix* Gridcoeficientes = nullptr; // kind, percentage, additions...
    const TCellMatrix* gridiinss = nullptr;        // month, ceiling
    const TCellMatrix* GridSalmin = nullptr;       // date, minimum wage
    const TCellMatrix* Gridcrmensal = nullptr;     // month, readjustment factor
    TCellMatrix* INPCGrid = nullptr;               // month, index number; criaindice zeroes it
};

// What the passes read from the form's controls.
struct TSimInput {
    std::string ComboBox2;            // kind of benefit
    bool masculino = true;            // RBMasculino
    std::string MaskEdit3;            // birth date
    std::string MaskEdit1, MaskEdit2; // start and end dates
    std::string Edit9, Edit8, Edit6;  // current contribution time: years, months, days
    std::string Edit1;                // contribution rate ("0,31")
};

// The results the passes leave behind (the unit's variables).
struct TSimResults {
    long double soma = 0;          // sum of the corrected salaries taken
    long double media = 0;         // mean after factor and floor (salary of benefit)
    long double mediaSemFator = 0; // mean before the factor
    int divisor = 0;               // divisor of the mean
    long double divisorx = 0;
    // The current rules also keep the plain mean of every salary when there
    // are fewer than 90 of them, with that count as its divisor.
    long double mediaRelatorio = 0;
    int divisorRelatorio = 0;
    std::string salbeneficio;      // salary of benefit after floor and ceiling
    long double tempocontrib = 0;  // contribution time in years, without bonus
    long double idade = 0;         // age in years (fractions of 11 months)
    std::string idadeTexto;        // the age as "0.0"
    std::string aliquota;          // the contribution rate text
    long double fator = 0;         // social-security factor (a teacher's mean: both factors)
    long double coeficiente = 0;   // benefit coefficient
    std::string beneficio;         // benefit of coeficientex
    std::string beneficioEvoluido; // last evolved benefit of the EC 20 rules
};

// ---- small rules -------------------------------------------------------------

// The decimal digits of the text only.
std::string RemoveTPontoS(const std::string& text);
// The digits, commas and minus signs of the text ("0" when no digit is left).
std::string RemovePontoS(const std::string& text);
bool StrIsFloat(const std::string& text);
// True for an empty text (the blank mask "  /  /    " included) or a date.
bool tbStrIsDate(const std::string& text);

// Months from the first date to the second, both end months counted; "0" when
// the second date is before the first.
std::string retornameses(const std::string& first, const std::string& second);

// Contribution time as groups of 12 contributions.
std::string tempocontribuicao(int years, int months, int days);

// The amount limited to the minimum wage of the GridSalmin row whose date is
// `date` and to the ceiling of the gridiinss row whose month is that of
// `date` (exact texts); marca becomes "SM", "Teto" or "".
std::string devolvevalor(const TCellMatrix* GridSalmin, const TCellMatrix* gridiinss,
                         const std::string& amount, const std::string& date, std::string& marca);

// Ceiling in force in the month that starts at monthStart: the table row with
// the latest month not after it, whichever order the table keeps (the
// earliest row when every row is later). Raises ESimulacaoError for a table
// without rows.
long double TetoDoMes(const TCellMatrix* gridiinss, TDateTime monthStart);
// Minimum wage in force in the month that starts at monthStart; 0 when the
// table has no row on or before it.
long double SalarioMinimoDoMes(const TCellMatrix* GridSalmin, TDateTime monthStart);

// ---- the passes --------------------------------------------------------------

// The working table: the months from the start to the end date with their
// factors from indicegrid in columns 0 and 2 of geral. With salario (criaindice)
// its months are aligned to the table's; with demo (criaindice2) the
// demonstrative is cleared. The numbers of INPCGrid from the end month on
// (all of them when it lacks that month) become "0".
void criaindice(TCellMatrix& geral, TCellMatrix* salario, TCellMatrix* demo,
                const TSimTables& tables, const TSimInput& in);

// Salaries into geral, corrected by column 2 and cut at the ceiling; rows
// without a salary are removed.
void calcSalCorrigido(TCellMatrix& geral, const TCellMatrix& salario, const TSimTables& tables);
// The same on geral2 over the months of grid98 (up to 11/1998).
void calcSalCorrigido98(TCellMatrix& geral2, const TCellMatrix& salario, const TSimTables& tables);

// Social-security factor for years, months, rate and days texts; sets the
// contribution time and the age in res.
long double fatorx(const TSimInput& in, const TSimTables& tables, const std::string& years,
                   const std::string& months, const std::string& rate, const std::string& days,
                   TSimResults& res);

// Benefit for the kind, sex, time in years and salary of benefit, as
// "#,##0.00"; sets res.coeficiente.
std::string coeficientex(const TSimTables& tables, const std::string& kind, bool masculino,
                         long double tempo, long double salario, TSimResults& res);

// Lei 9.876/99: the largest 80 % of the salaries, the factor, the ceiling and
// the floor.
void calcAtual(TCellMatrix& geral, TCellMatrix& demo, const TSimTables& tables,
               const TSimInput& in, TSimResults& res);
// The last 36 salaries up to 10/1999 (or the end date, when earlier), in
// the 48 months before.
void calc99(TCellMatrix& geral, TCellMatrix& demo, const TSimTables& tables, const TSimInput& in,
            TSimResults& res);
// EC 20/98: the last 36 salaries up to 11/1998 (geral2 after
// calcSalCorrigido98), the coefficient, the floor of 11/1998 and the benefit
// evolved month by month in correcao from 12/1998 to the end date's month.
void calcEC20(TCellMatrix& geral2, TCellMatrix& demo, TCellMatrix& correcao,
              const TSimTables& tables, const TSimInput& in, TSimResults& res);

} // namespace simulacao
