#include "revision/shared_helpers.h"

#include <algorithm>

#include "platform/runtime/arith.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/amount_text.h"
#include "tables/cell_errors.h"
#include "tables/table_names.h"

namespace simulacao {

bool checkinteiro(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

long double RemovePonto(const std::string& text) {
    std::string kept = amount_text::KeepNumberChars(text);
    if (!checkinteiro(kept)) kept = "0";
    return amount_text::ParseKept(kept);
}

std::string formatfloatx(const std::string& format, long double value) {
    return FormatFloat(format, value);
}

void EntreDatas(TDateTime later, TDateTime earlier, int& years, int& months, int& days) {
    years = months = days = 0;
    if (!(later > earlier)) return;
    TDateTime a = later;
    // Each step back is undone from the moved date when it overshoots, so a
    // day clamped at a month's end stays clamped (as the count is defined).
    for (;;) {
        TDateTime back = IncMonth(a, -12);
        if (back < earlier) {
            a = IncMonth(back, 12);
            break;
        }
        a = back;
        ++years;
    }
    for (;;) {
        TDateTime back = IncMonth(a, -1);
        if (back < earlier) {
            a = IncMonth(back, 1);
            break;
        }
        a = back;
        ++months;
    }
    days = static_cast<int>(Round(a - earlier));
}

} // namespace simulacao

namespace revisao {

std::string RemoveChar(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c == '/' || (c >= '0' && c <= '9')) out += c;
    return out;
}

bool Bissexto(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

namespace {

std::string TwoDigits(int v) {
    std::string s = IntToStr(v);
    return s.size() < 2 ? "0" + s : s;
}

// Replaces the two characters at 1-based position pos.
void SetField(std::string& t, int pos, int value) {
    std::string v = TwoDigits(value);
    t.replace(pos - 1, 2, v);
}

} // namespace

std::string validadata(const std::string& text) {
    std::string t = RemoveChar(text);
    if (Length(t) < 8) return "";
    if (StrToInt(Copy(t, 1, 2)) == 0 || StrToInt(Copy(t, 4, 2)) == 0) return "";
    if (StrToInt(Copy(t, 7, 4)) == 0 && Length(t) == 10) return "";
    if (Length(t) == 8) {
        int yy = StrToInt(Copy(t, 7, 2));
        if (yy > 30)
            t = Copy(t, 1, 6) + "19" + Copy(t, 7, 2);
        else if (yy < 30)
            t = Copy(t, 1, 6) + "20" + Copy(t, 7, 2);
    }
    if (StrToInt(Copy(t, 1, 2)) > 31) SetField(t, 1, 31);
    int month = StrToInt(Copy(t, 4, 2));
    if (month > 12) {
        month = 12;
        SetField(t, 4, 12);
    }
    int day = StrToInt(Copy(t, 1, 2));
    if (month == 2) {
        if (day > 29) {
            SetField(t, 1, 29);
            if (!Bissexto(StrToInt(Copy(t, 7, 4)))) SetField(t, 1, 28);
        }
    } else if (month == 4 || month == 6 || month == 9 || month == 11) {
        if (day > 30) SetField(t, 1, 30);
    }
    return t;
}

std::string validadataMA(const std::string& text) {
    std::string t = RemoveChar(text);
    if (Length(t) < 5 || StrToInt(Copy(t, 1, 2)) == 0) return "";
    if (StrToInt(Copy(t, 4, 4)) == 0 && Length(t) == 7) return "";
    if (Length(t) == 5) {
        int yy = StrToInt(Copy(t, 4, 2));
        if (yy > 30)
            t = Copy(t, 1, 3) + "19" + Copy(t, 4, 2);
        else if (yy < 30)
            t = Copy(t, 1, 3) + "20" + Copy(t, 4, 2);
    }
    if (StrToInt(Copy(t, 1, 2)) > 12) SetField(t, 1, 12);
    return t;
}

// ---------------------------------------------------------------------------

TValueLimiter::TValueLimiter(const TCellMatrix& GridSalmin, const TCellMatrix& gridiinss,
                             bool Cusetabsc, std::string& marcalimite)
    : salmin_(GridSalmin), teto_(gridiinss), usetabsc_(Cusetabsc), marca_(marcalimite) {}

namespace {

// The minimum-wage table compares dates with their day replaced by "01".
std::string FirstOfMonth(const std::string& date) {
    return "01" + Copy(date, 3, 0x7fffffff);
}

} // namespace

void TValueLimiter::BuildSalmin() {
    TKeyIndex& ix = salminIndex_;
    ix.built = true;
    int n = std::max(0, salmin_.RowCount() - 1);
    ix.prefix.clear();
    double run = 0;
    for (int i = 0; i < n; ++i) {
        const std::string& key = salmin_.Cell(0, i + 1);
        TDateTime d;
        if (!TryStrToDate(FirstOfMonth(key), d)) {
            ix.firstBad = i;
            ix.badText = key;
            break;
        }
        run = i == 0 ? d : std::max(run, d);
        ix.prefix.push_back(run);
        ix.key.push_back(d);
    }
    salminValue_.assign(salmin_.RowCount(), 0.0L);
    salminKnown_.assign(salmin_.RowCount(), 0);
}

void TValueLimiter::BuildTeto() {
    TKeyIndex& ix = tetoIndex_;
    ix.built = true;
    int n = std::max(0, teto_.RowCount() - 1);
    ix.prefix.clear();
    double run = 0;
    for (int i = 0; i < n; ++i) {
        const std::string& key = teto_.Cell(0, i + 1);
        TDateTime d;
        if (!TryStrToDate("01/" + key, d)) {
            ix.firstBad = i;
            ix.badText = key;
            break;
        }
        // A table kept newest first is searched for the first month starting
        // on or before the date: a running minimum answers that.
        if (i == 0)
            run = d;
        else
            run = usetabsc_ ? std::min(run, d) : std::max(run, d);
        ix.prefix.push_back(run);
        ix.key.push_back(d);
    }
    tetoValue_.assign(teto_.RowCount(), 0.0L);
    tetoKnown_.assign(teto_.RowCount(), 0);
}

int TValueLimiter::FindSalmin(TDateTime d01) {
    if (!salminIndex_.built) BuildSalmin();
    const TKeyIndex& ix = salminIndex_;
    auto it = std::lower_bound(ix.prefix.begin(), ix.prefix.end(), d01);
    // The table has a row for every month it covers: the first row on or
    // after the month is another month's wage when the month is missing.
    if (it != ix.prefix.end()) return MonthRow(ix, it, d01, tabelas::SalminFile);
    if (ix.firstBad >= 0) BadKey(ix, tabelas::SalminFile); // the scan reaches it
    MissingMonth(FormatDateTime("mm/yyyy", d01), tabelas::SalminFile);
}

int TValueLimiter::MonthRow(const TKeyIndex& ix, std::vector<double>::const_iterator it,
                            TDateTime month, const char* table) {
    const auto i = it - ix.prefix.begin();
    if (ix.key[i] != month) MissingMonth(FormatDateTime("mm/yyyy", month), table);
    return static_cast<int>(i) + 1;
}

int TValueLimiter::FindTeto(TDateTime d) {
    if (!tetoIndex_.built) BuildTeto();
    const TKeyIndex& ix = tetoIndex_;
    std::vector<double>::const_iterator it;
    // The month whose ceiling a complete monthly table gives: the first
    // month starting on or after the date.
    TDateTime month = d;
    if (usetabsc_) {
        it = std::lower_bound(ix.prefix.begin(), ix.prefix.end(), d,
                              [](double run, double date) { return run > date; });
    } else {
        it = std::lower_bound(ix.prefix.begin(), ix.prefix.end(), d);
        int y, m, day;
        DecodeDate(d, y, m, day);
        const TDateTime first = EncodeDate(y, m, 1);
        month = first < d ? IncMonth(first, 1) : first;
    }
    if (it != ix.prefix.end()) {
        // A table newest first holds the months of change: the row in force
        // is the one wanted.
        if (usetabsc_) return static_cast<int>(it - ix.prefix.begin()) + 1;
        return MonthRow(ix, it, month, tabelas::InssFile);
    }
    if (ix.firstBad >= 0) BadKey(ix, tabelas::InssFile);
    // Past the last row there is no ceiling to take.
    MissingMonth(FormatDateTime("mm/yyyy", month), tabelas::InssFile);
}

void TValueLimiter::BadKey(const TKeyIndex& ix, const char* table) {
    throw ECellValueError("Data inválida na linha " + IntToStr(ix.firstBad + 1) + " da tabela " +
                          table + ": '" + ix.badText + "'");
}

long double TValueLimiter::CellValue(const TCellMatrix& grid, std::vector<long double>& cache,
                                     std::vector<char>& known, int row) {
    if (row >= 0 && row < static_cast<int>(known.size()) && known[row]) return cache[row];
    const std::string& text = grid.Cell(1, row);
    long double v;
    try {
        v = simulacao::RemovePonto(text);
    } catch (const EConvertError&) {
        throw ECellValueError(
            CellValueMessage(RowLabel(grid.Cell(0, row), row) + " da tabela " +
                                 (&grid == &salmin_ ? tabelas::SalminFile : tabelas::InssFile),
                             "1", text));
    }
    if (row >= 0 && row < static_cast<int>(known.size())) {
        cache[row] = v;
        known[row] = 1;
    }
    return v;
}

std::string TValueLimiter::Limit(const std::string& V, TDateTime d, TDateTime d01,
                                 bool cutAtCeiling) {
    // The amount stands for the text it came from: replacing the text by the
    // minimum wage's or the ceiling's cell and reading it back gives the same
    // value as reading that cell (both go through RemovePonto).
    marca_.clear();
    long double amount = simulacao::RemovePonto(V);

    long double minimo = CellValue(salmin_, salminValue_, salminKnown_, FindSalmin(d01));
    if (amount < minimo) {
        amount = minimo;
        marca_ = "SM";
    }

    int j = FindTeto(d);
    long double teto = CellValue(teto_, tetoValue_, tetoKnown_, j);
    if (teto < amount) {
        if (cutAtCeiling) amount = teto;
        marca_ = "Teto";
    }
    return FormatFloat("#,##0.00", amount);
}

std::string TValueLimiter::devolvevalor(const std::string& V, const std::string& D) {
    TDateTime d01 = StrToDate(FirstOfMonth(D));
    return Limit(V, StrToDate(D), d01, true);
}

std::string TValueLimiter::devolvevalorst(const std::string& V, const std::string& D,
                                          const std::string& flag) {
    TDateTime d01 = StrToDate(FirstOfMonth(D));
    return Limit(V, StrToDate(D), d01, flag == "s");
}

std::string TValueLimiter::devolvevalorAtMonth(const std::string& V, TDateTime monthStart) {
    return Limit(V, monthStart, monthStart, true);
}

std::string TValueLimiter::devolvevalorstAtMonth(const std::string& V, TDateTime monthStart,
                                                 bool cutAtCeiling) {
    return Limit(V, monthStart, monthStart, cutAtCeiling);
}

} // namespace revisao
