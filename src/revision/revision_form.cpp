#include "revision/revision_form.h"

#include "platform/runtime/cell_matrix.h"
#include "revision/shared_helpers.h"
#include "revision/wizard_links.h"

TForm9* Form9 = nullptr;

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form9");
    SetCaption("Revisão de Aposentadoria");
    SetBounds(0, 0, 420, 120);
    TPlacer place(this, 12, 12);
    Cusetab = Make<TRadioButton>(this, this, "Cusetab");
    Cusetab->SetCaption("Usar tabela Teto INSS");
    Cusetab->SetChecked(true);
    place.Add(Cusetab, 180, 20);
    Cusetabsc = Make<TRadioButton>(this, this, "Cusetabsc");
    Cusetabsc->SetCaption("Usar tabela Teto INSS SC");
    place.Add(Cusetabsc, 200, 20);
}

std::string TForm9::RemoveChar(const std::string& text) {
    return revisao::RemoveChar(text);
}

bool TForm9::Bissexto(int year) {
    return revisao::Bissexto(year);
}

std::string TForm9::validadata(const std::string& text) {
    return revisao::validadata(text);
}

std::string TForm9::validadataMA(const std::string& text) {
    return revisao::validadataMA(text);
}

namespace {

const TCellMatrix& OrEmpty(const TCellMatrix* grid) {
    static const TCellMatrix empty(1, 1);
    return grid ? *grid : empty;
}

} // namespace

// One limiter per call: the tables may change between calls (a reload), and
// the limiter indexes them on first use.
std::string TForm9::devolvevalor(const std::string& V, const std::string& D) {
    calc::TTableGrids t = wizard_links::Tables();
    revisao::TValueLimiter limiter(OrEmpty(t.GridSalmin), OrEmpty(t.gridiinss), t.Cusetabsc,
                                   marcalimite);
    return limiter.devolvevalor(V, D);
}

std::string TForm9::devolvevalorst(const std::string& V, const std::string& D,
                                   const std::string& flag) {
    calc::TTableGrids t = wizard_links::Tables();
    revisao::TValueLimiter limiter(OrEmpty(t.GridSalmin), OrEmpty(t.gridiinss), t.Cusetabsc,
                                   marcalimite);
    return limiter.devolvevalorst(V, D, flag);
}
