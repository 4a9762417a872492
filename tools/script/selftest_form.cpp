#include "selftest_form.h"

#include "platform/gui/application.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/formats.h"

TSelfTestGrid::TSelfTestGrid(TComponent* AOwner) : TCustomControl(AOwner), cells_(2, std::vector<std::string>(3)) {
    SetTabStop(true);
}

void TSelfTestGrid::SetRowCount(int rows) {
    if (rows < 1) rows = 1;
    cells_.resize(static_cast<size_t>(rows), std::vector<std::string>(static_cast<size_t>(cols_)));
}

std::string TSelfTestGrid::Cell(int col, int row) const {
    if (row < 0 || row >= RowCount() || col < 0 || col >= cols_) return "";
    return cells_[row][col];
}

void TSelfTestGrid::SetCell(int col, int row, const std::string& text) {
    if (row < 0 || col < 0 || col >= cols_) return;
    if (row >= RowCount()) SetRowCount(row + 1);
    cells_[row][col] = text;
}

void TSelfTestGrid::ScriptSetCell(int col, int row, const std::string& text) {
    ScriptSelect(col, row);
    SetCell(col, row, text);
    if (OnCellChanged) OnCellChanged(this);
}

void TSelfTestGrid::ScriptSelect(int col, int row) {
    Col = col;
    Row = row;
    SetFocus();
}

namespace {

constexpr UINT WM_SELFTEST = WM_USER + 1;

class TFormTeste : public TForm {
public:
    explicit TFormTeste(TComponent* AOwner) : TForm(AOwner) {
        SetName("FormTeste");
        SetCaption("Formulário de teste");
        SetClientWidth(420);
        SetClientHeight(300);
        SetPosition(TPosition::poScreenCenter);

        Nome = Make<TEdit>("Nome");
        Saudar = Make<TButton>("Saudar");
        Saudar->SetCaption("Saudar");
        Saudar->SetDefault(true);
        Saudar->OnClick = [this](TObject*) { SaudarClick(); };
        Saudacao = Make<TLabel>("Saudacao");
        TPlacer(this).Add(Nome).Add(Saudar).Add(Saudacao);

        Data = Make<TMaskEdit>("Data");
        Data->SetEditMask("!99/99/9999;1;_");
        Data->OnExit = [this](TObject*) { DataLida->SetCaption("[" + Data->Text() + "]"); };
        DataLida = Make<TLabel>("DataLida");
        Ativo = Make<TCheckBox>("Ativo");
        Ativo->SetCaption("Ativo");
        Ativo->OnClick = [this](TObject*) { Estado->SetCaption(Ativo->Checked() ? "ligado" : "desligado"); };
        Estado = Make<TLabel>("Estado");
        TPlacer(this, 8, 40).Add(Data).Add(DataLida).Add(Ativo).Add(Estado);

        Erro = Make<TButton>("Erro");
        Erro->SetCaption("Erro");
        Erro->OnClick = [](TObject*) { StrToFloat("abc"); };
        Postar = Make<TButton>("Postar");
        Postar->SetCaption("Postar");
        Postar->OnClick = [this](TObject*) {
            PostMessage(this, WM_SELFTEST, 7, 0);
            PostMessage(this, WM_SELFTEST, 8, 0);
            Registro->SetCaption(Registro->Caption() + "clique;");
        };
        Salvar = Make<TButton>("Salvar");
        Salvar->SetCaption("Salvar");
        Salvar->OnClick = [this](TObject*) {
            if (SaveDialog1->Execute()) ShowMessage("Salvo em " + SaveDialog1->FileName);
        };
        Registro = Make<TLabel>("Registro");
        TPlacer(this, 8, 72).Add(Erro).Add(Postar).Add(Salvar).Add(Registro);

        Grade = Make<TSelfTestGrid>("Grade");
        Grade->SetBounds(8, 104, 200, 80);
        Grade->OnCellChanged = [this](TObject*) {
            Total->SetCaption(FormatFloat("#,##0.00", StrToFloatDef(Grade->Cell(1, 1), 0) + StrToFloatDef(Grade->Cell(2, 1), 0)));
        };
        Total = Make<TLabel>("Total");
        Total->SetBounds(216, 104, 100, 13);

        Paginas = Make<TPageControl>("Paginas");
        Paginas->SetBounds(8, 190, 400, 100);
        for (const char* name : {"Pagina1", "Pagina2"}) {
            auto* sheet = new TTabSheet(this);
            sheet->SetName(name);
            sheet->SetCaption(name);
            sheet->SetPageControl(Paginas);
        }

        SaveDialog1 = new TSaveDialog(this);
        SaveDialog1->SetName("SaveDialog1");
        SaveDialog1->Filter = "Bev|*.bev";
        SaveDialog1->DefaultExt = "bev";
        SaveDialog1->Options |= ofOverwritePrompt;

        Menu1 = new TMainMenu(this);
        Menu1->SetName("Menu1");
        auto* arquivo = new TMenuItem(this);
        arquivo->SetName("Arquivo");
        arquivo->SetCaption("&Arquivo");
        auto* limpar = new TMenuItem(this);
        limpar->SetName("Limpar");
        limpar->SetCaption("Limpar");
        limpar->SetShortCut(TextToShortCut("Ctrl+L"));
        limpar->OnClick = [this](TObject*) { Nome->SetText(""); };
        arquivo->Add(limpar);
        Menu1->Items()->Add(arquivo);
        SetMenu(Menu1);
    }

    void WndProc(TMessage& m) override {
        if (m.Msg == WM_SELFTEST) Registro->SetCaption(Registro->Caption() + std::to_string(m.WParam) + ";");
        TForm::WndProc(m);
    }

    void SaudarClick() {
        if (Nome->Text().empty()) {
            MessageDlg("Digite o nome", TMsgDlgType::mtWarning, mbOK);
            Nome->SetFocus();
            Abort();
        }
        Saudacao->SetCaption("Olá, " + Nome->Text());
    }

    template <class T>
    T* Make(const char* name) {
        auto* c = new T(this);
        c->SetName(name);
        c->SetParent(this);
        return c;
    }

    TEdit* Nome;
    TButton *Saudar, *Erro, *Postar, *Salvar;
    TLabel *Saudacao, *DataLida, *Estado, *Registro, *Total;
    TMaskEdit* Data;
    TCheckBox* Ativo;
    TSelfTestGrid* Grade;
    TPageControl* Paginas;
    TSaveDialog* SaveDialog1;
    TMainMenu* Menu1;
};

TFormTeste* FormTeste = nullptr;

}  // namespace

void CreateSelfTestForms() {
    Application->SetTitle("Teste");
    Application->CreateForm(FormTeste);
}
