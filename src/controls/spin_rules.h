#pragma once
// The value and text rules of the spin edit and the geometry of its diagonal
// button: plain functions of text and numbers.
#include <string>

enum TValueType { vtInteger, vtFloat, vtHex };
enum TSpinButtonKind { bkStandard, bkDiagonal };
enum TSpinPressState { spNotDown, spTopDown, spBottomDown };

namespace RXSpin {

// Min..Max when they differ, else V as it is.
long double ClampValue(long double V, long double MinValue, long double MaxValue);
// The value a text holds; never raises: an unreadable text gives MinValue
// (vtFloat) or its whole part (vtInteger, vtHex, the text read as "$" + text).
long double ValueOfText(const std::string& Text, TValueType Type, long double MinValue);
// The text of a value clamped to Min..Max: Decimals fixed decimals (vtFloat),
// a whole number rounded half to even (vtInteger), or upper-case hexadecimal.
std::string TextOfValue(long double V, TValueType Type, int Decimals, long double MinValue,
                        long double MaxValue);
// Whether a typed key is taken: "+", "-", digits, the decimal separator
// (vtFloat, once), "E"/"e" (vtFloat, once), "A".."F" (vtHex) and control
// characters; without the editor only control characters but backspace.
bool AcceptsKey(char Key, const std::string& Text, TValueType Type, bool EditorEnabled);
// The increment of a whole-number spin edit: rounded, and 1 for 0.
long double WholeIncrement(long double Increment);

// The diagonal button: a point belongs to the upper half when
// Y <= Height - (Height / Width) x X (the diagonal itself included).
bool InTopHalf(int X, int Y, int Width, int Height);
TSpinPressState HalfAt(int X, int Y, int Width, int Height);

}  // namespace RXSpin
