#pragma once
// The retirement-simulation form. For now it holds the helpers other forms
// call.
#include <string>

#include "platform/gui/forms.h"
#include "platform/runtime/dates.h"

class TForm6 : public TForm {
public:
    explicit TForm6(TComponent* AOwner);

    bool checkinteiro(const std::string& text);
    long double RemovePonto(const std::string& text);
    std::string formatfloatx(const std::string& format, long double value);
    void EntreDatas(TDateTime later, TDateTime earlier, int& years, int& months, int& days);
};

extern TForm6* Form6;
