#pragma once
// Text, amount and date helpers that the calculator's forms share. They belong
// to the simulation form (TForm6, unit simulacao) and to the revision form
// (TForm9, unit revisao); the forms call these functions and keep their
// names. Everything here works on text and numbers only.
#include <string>
#include <vector>

#include "platform/runtime/dates.h"

class TCellMatrix;

namespace simulacao {

// True when the text holds at least one of the characters 0 to 9.
bool checkinteiro(const std::string& text);

// Keeps the digits, commas and minus signs of the text, in order; a result
// without digits reads as 0. Several commas ("1,2,3") raise EConvertError.
long double RemovePonto(const std::string& text);

std::string formatfloatx(const std::string& format, long double value);

// Whole years, whole months and remaining days from `earlier` to `later`; all
// zero unless `later` is strictly after `earlier`. Months are stepped back with
// IncMonth, so a day clamped at a month's end stays clamped.
void EntreDatas(TDateTime later, TDateTime earlier, int& years, int& months, int& days);

} // namespace simulacao

namespace revisao {

// Keeps only "/" and the digits.
std::string RemoveChar(const std::string& text);
bool Bissexto(int year);

// Normalise a typed date "dd/mm/yyyy" (two-digit years, days beyond the month)
// or return "" for a text that is no date at all. A two-character field that
// is not a number raises EConvertError.
std::string validadata(const std::string& text);
// The same for a month "mm/yyyy".
std::string validadataMA(const std::string& text);

// The revision form's limiting of a monthly amount to the minimum wage
// (GridSalmin: date "dd/mm/yyyy", value) and the ceiling (gridiinss: month
// "mm/yyyy", ceiling) of its month. `marcalimite` is the form's clamp marker:
// "SM", "Teto" or "" after each call.
//
// The scans give the same rows as a linear first-match scan from row 1 (a key
// that is not a date raises ECellValueError when the scan would reach it)
// when the month's own row is there; a month the table lacks stops with
// "O mês mm/yyyy não está na tabela ..." instead of taking another row,
// but run on an index built on first use: the two tables must not change while a limiter
// lives. Create one per calculation pass.
class TValueLimiter {
public:
    TValueLimiter(const TCellMatrix& GridSalmin, const TCellMatrix& gridiinss, bool Cusetabsc,
                  std::string& marcalimite);

    // Amount text V limited by both values of the month of date text D;
    // formatted "#,##0.00".
    std::string devolvevalor(const std::string& V, const std::string& D);
    // As devolvevalor, but an amount above the ceiling is cut only when flag
    // is exactly "s" (the marker says "Teto" in both cases).
    std::string devolvevalorst(const std::string& V, const std::string& D, const std::string& flag);

    // The same for a D that is the first day of a month, already parsed
    // (the spreadsheet passes "01/" + month).
    std::string devolvevalorAtMonth(const std::string& V, TDateTime monthStart);
    std::string devolvevalorstAtMonth(const std::string& V, TDateTime monthStart,
                                      bool cutAtCeiling);

private:
    // First-match lookup over the key column of a table, parsed once.
    struct TKeyIndex {
        bool built = false;
        // Running max (or min) of the keys of data rows 1, 2, ... up to the
        // first key that is no date: its first entry at or past a date is
        // the first row a linear scan would stop at.
        std::vector<double> prefix;
        std::vector<double> key; // each data row's own month (or date)
        int firstBad = -1; // data index of the first key that is no date, or -1
        std::string badText;
    };
    std::string Limit(const std::string& V, TDateTime d, TDateTime d01, bool cutAtCeiling);
    void BuildSalmin();
    void BuildTeto();
    // The grid row of the month; a month the table lacks (in a gap, before
    // its first row or past its last) stops with MissingMonth.
    int FindSalmin(TDateTime d01);
    int FindTeto(TDateTime d);
    static int MonthRow(const TKeyIndex& ix, std::vector<double>::const_iterator it,
                        TDateTime month, const char* table);
    [[noreturn]] static void BadKey(const TKeyIndex& ix, const char* table);
    long double CellValue(const TCellMatrix& grid, std::vector<long double>& cache,
                          std::vector<char>& known, int row);

    const TCellMatrix& salmin_;
    const TCellMatrix& teto_;
    bool usetabsc_;
    std::string& marca_;
    TKeyIndex salminIndex_, tetoIndex_;
    std::vector<long double> salminValue_, tetoValue_;
    std::vector<char> salminKnown_, tetoKnown_;
};

} // namespace revisao
