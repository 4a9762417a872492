#pragma once
// Number formatting and conversion under the process-wide format settings.
// The host locale is never consulted.
#include <cstdint>
#include <string>

struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongDateFormat = "dddd, d' de 'mmmm' de 'yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string CurrencyString = "R$";
    int CurrencyFormat = 2;     // "R$ 1" (currency, blank, amount)
    int NegCurrFormat = 12;     // "R$ -1"
    int CurrencyDecimals = 2;
    std::string ShortMonthNames[12] = {"jan", "fev", "mar", "abr", "mai", "jun",
                                       "jul", "ago", "set", "out", "nov", "dez"};
    std::string LongMonthNames[12] = {"janeiro", "fevereiro", "março",    "abril",
                                      "maio",    "junho",     "julho",    "agosto",
                                      "setembro", "outubro",  "novembro", "dezembro"};
    std::string ShortDayNames[7] = {"dom", "seg", "ter", "qua", "qui", "sex", "sáb"};
    std::string LongDayNames[7] = {"domingo",      "segunda-feira", "terça-feira", "quarta-feira",
                                   "quinta-feira", "sexta-feira",   "sábado"};
    int TwoDigitYearCenturyWindow = 50;
};

// The one settings record every formatting and conversion function reads.
extern TFormatSettings FormatSettings;

// The format language: up to three sections "positive;negative;zero"; "0" and
// "#" digit places; "." the decimal separator's place; "," before it turns on
// thousands grouping; "E+", "E-", "e+", "e-" exponents; quoted text and any
// other character are literals. The value is first written to 18 significant
// digits (round to nearest), then rounded half away from zero at the format's
// decimals. A value that rounds to zero at the positive section's decimals
// prints with the zero section when there is a non-empty one, else with the
// positive section, and never with a minus sign. A negative value prints with
// the negative section (which supplies any sign of its own) or, when that is
// empty or absent, with the positive one after a leading "-". Leading "#"
// places print nothing for a zero integer part ("#.##" of 0,5 is ",5"); the
// decimal separator is left out when no decimal digit follows it. NaN and
// infinities print "NAN", "INF" and "-INF"; an empty format prints as FloatToStr.
std::string FormatFloat(const std::string& format, long double value);

// The first `count` (1 to 18) significant digits of a finite value, rounded
// to nearest with ties to even, as "%.*Le" writes them with count - 1
// decimals: `digits` gets them (no sign, no point) and `exponent` the power of
// ten of the first ("%.11Le" of -0,00123 gives "123000000000" and -3).
// Negative is the sign; zero gives count zeros and exponent 0.
void SignificantDigits(long double value, int count, char* digits, int& exponent, bool& negative);

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
// ffGeneral: shortest of fixed/scientific within Precision digits (FloatToStr
// uses Precision 15); ffFixed/ffNumber: Digits decimals, ffNumber grouped.
std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits);
std::string FloatToStr(long double value);
std::string CurrToStr(long double value);

// Optional sign, digits, at most one decimal separator, optional exponent
// ("E"/"e", optional sign, digits), surrounding blanks allowed; nothing else.
// Raises EConvertError "'<text>' não é um número válido".
long double StrToFloat(const std::string& text);
bool TryStrToFloat(const std::string& text, long double& value);
long double StrToFloatDef(const std::string& text, long double defaultValue);

// Optional sign and decimal digits (or "$"/"0x" hexadecimal), leading blanks
// allowed. Raises EConvertError "'<text>' não é um número inteiro válido".
int StrToInt(const std::string& text);
bool TryStrToInt(const std::string& text, int& value);
int StrToIntDef(const std::string& text, int defaultValue);
int64_t StrToInt64(const std::string& text);
bool TryStrToInt64(const std::string& text, int64_t& value);

std::string IntToStr(int64_t value);
std::string IntToHex(int64_t value, int digits);
