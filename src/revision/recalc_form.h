#pragma once
#include "grids/align_grid.h"
#include "platform/gui/forms.h"

// Holds a copy of the wizard's monthly spreadsheet.
class TForm10 : public TForm {
public:
    explicit TForm10(TComponent* AOwner);

    TStringAlignGrid* planilha;
};

extern TForm10* Form10;
