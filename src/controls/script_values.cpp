#include "controls/script_values.h"

#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "controls/number_rules.h"
#include "controls/speed_button.h"
#include "controls/spin_edit.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

bool ScriptControlValue(TComponent* component, const std::string& property, std::string& value) {
    const std::string p = UpperCase(property);
    if (auto* d = dynamic_cast<TCustomDateEdit*>(component)) {
        if (p != "DATE") return false;
        const TDateTime date = d->Date();
        value = date == DateUtil::NoDate ? "NoDate" : FormatDateTime("dd/mm/yyyy", date);
        return true;
    }
    if (auto* n = dynamic_cast<TCustomNumEdit*>(component)) {
        if (p == "VALUE") {
            value = FloatToStr(n->Value());
            return true;
        }
        if (p == "DISPLAY") {
            value = n->FormatForDisplay(n->Value());
            return true;
        }
        return false;
    }
    if (auto* e = dynamic_cast<TRxSpinEdit*>(component)) {
        if (p != "VALUE") return false;
        value = FloatToStr(e->Value());
        return true;
    }
    if (auto* b = dynamic_cast<TRxSpeedButton*>(component)) {
        if (p != "DOWN") return false;
        value = b->Down() ? "on" : "off";
        return true;
    }
    return false;
}

bool ScriptSetControlValue(TComponent* component, const std::string& property, const std::string& value) {
    const std::string p = UpperCase(property);
    if (auto* d = dynamic_cast<TCustomDateEdit*>(component); d && p == "DATE") {
        d->SetDate(DateUtil::StrToDateWithFormat(d->DateFormat(), value));
        return true;
    }
    if (auto* n = dynamic_cast<TCustomNumEdit*>(component); n && p == "VALUE") {
        n->SetValue(CurrEdit::ReadNumber(CurrEdit::NormalizeNumberText(value)));
        return true;
    }
    if (auto* e = dynamic_cast<TRxSpinEdit*>(component); e && p == "VALUE") {
        e->SetValue(StrToFloat(value));
        return true;
    }
    return false;
}
