#pragma once
// What the scenario driver reads and writes on the input controls beyond
// their text: a date edit's Date ("dd/mm/yyyy", or "NoDate"), a number
// edit's Value (as FloatToStr writes it) and Display (the unfocused text),
// a speed button's Down.
#include <string>

class TComponent;

// True when the component is one of the input controls and has the property;
// value receives its text.
bool ScriptControlValue(TComponent* component, const std::string& property, std::string& value);
// Sets Date or Value from a text ("01/02/2003", "1234,56"); true when done.
// Raises EConvertError for a text that is no date or number.
bool ScriptSetControlValue(TComponent* component, const std::string& property, const std::string& value);
