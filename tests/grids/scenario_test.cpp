// The scenario driver's grid steps (cell, rows, select, key, dump) against a
// table grid on a form with a mask, a validator and an after-edit handler.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "grids/align_grid.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/formats.h"
#include "script_runner.h"

namespace fs = std::filesystem;

namespace {

class TFormTabela : public TForm {
public:
    explicit TFormTabela(TComponent* AOwner) : TForm(AOwner) {
        SetName("FormTabela");
        SetClientWidth(420);
        SetClientHeight(240);
        Tabela = new TStringAlignGrid(this);
        Tabela->SetName("Tabela");
        Tabela->SetParent(this);
        Tabela->SetBounds(8, 8, 400, 160);
        Tabela->SetColCount(3);
        Tabela->SetRowCount(3);
        Tabela->SetFixedCols(0);
        Tabela->SetOptions(Tabela->Options() | goEditing);
        Tabela->SetRows(0, MakeList("Mês,Valor,Dobro"));
        Tabela->OnGetEditMask = [](TObject*, int col, int, std::string& mask) {
            if (col == 0) mask = "!99/0000;1";
        };
        Tabela->OnValidateEdit = [this](TObject*, int col, int row, bool& valid) {
            if (col != 1 || Tabela->Cells(col, row).empty()) return;
            long double v;
            valid = TryStrToFloat(Tabela->Cells(col, row), v);
            if (!valid) ShowMessage("Valor inválido");
        };
        Tabela->OnAfterEdit = [this](TObject*, int col, int row) {
            if (col == 1) Tabela->SetCells(2, row, FormatFloat("#,##0.00", 2 * StrToFloat(Tabela->Cells(1, row))));
        };
        Tabela->OnSelectCell = [this](TObject*, int col, int row, bool&) {
            Posicao->SetCaption(std::to_string(col) + "," + std::to_string(row));
        };
        Posicao = new TLabel(this);
        Posicao->SetName("Posicao");
        Posicao->SetParent(this);
        Posicao->SetBounds(8, 180, 100, 13);
    }
    static TStringList MakeList(const std::string& comma) {
        TStringList l;
        l.SetCommaText(comma);
        return l;
    }
    TStringAlignGrid* Tabela;
    TLabel* Posicao;
};

TFormTabela* FormTabela = nullptr;

TEST(GridScenario, TheDriverTypesSelectsAndDumpsThroughTheGrid) {
    RegisterScriptStartup("tabela", [] { Application->CreateForm(FormTabela); });
    const fs::path dir = fs::temp_directory_path() / "velorim_grid_scenario";
    fs::remove_all(dir);
    fs::create_directories(dir / "dados");
    std::ostringstream out;
    {
        TScriptRunner runner(out, dir.string(), dir.string());
        runner.RunText(
            "startwith tabela dados\n"
            "print FormTabela.Tabela\n"
            "select FormTabela.Tabela 1 2\n"
            "print FormTabela.Posicao\n"
            "print FormTabela.Tabela Focused\n"
            "cell FormTabela.Tabela 0 1 012000\n"
            "cell FormTabela.Tabela 1 1 1234,5\n"
            "cell FormTabela.Tabela 1 2 abc\n"
            "messages\n"
            "key FormTabela.Tabela Esc\n"
            "rows FormTabela.Tabela 4\n"
            "cell FormTabela.Tabela 0 3 02x/2001\n"
            "key FormTabela.Tabela Right 7 Enter\n"
            "cell FormTabela.Tabela 9 9 fora\n"
            "select FormTabela.Nada 1 1\n"
            "dump FormTabela.Tabela\n"
            "messages\n");
    }
    fs::remove_all(dir);
    EXPECT_EQ(out.str(),
              "FormTabela.Tabela=3\n"
              "FormTabela.Posicao=1,2\n"
              "FormTabela.Tabela.Focused=on\n"
              "MSG: Valor inv\xC3\xA1lido\n"  // the driver prints UTF-8
              "ERROR: unknown component FormTabela.Nada\n"
              "== FormTabela.Tabela 4\n"
              "M\xC3\xAAs\tValor\tDobro\n"
              "01/2000\t1234,5\t2.469,00\n"
              "\t\t\n"
              "02/2001\t7\t14,00\n"
              "MSG: Grid index out of range\n");
}

}  // namespace
