#include "tables/tables_form.h"

#include <map>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "tables/series_generators.h"
#include "tables/table_check.h"
#include "tables/table_names.h"
#include "tables/table_status.h"
#include "tables/table_watch.h"

TForm8* Form8 = nullptr;

namespace tabelas {

namespace {

std::string KeyAfter(const std::string& key, bool dateKeys, int months) {
    if (dateKeys) return FormatDateTime("dd/mm/yyyy", IncMonth(StrToDate(key), months));
    return FormatDateTime("mm/yyyy", IncMonth(StrToDate("01/" + key), months));
}

} // namespace

void AppendMonthRow(TStringAlignGrid* grid, bool dateKeys) {
    const int row = grid->RowCount();
    const std::string previous = grid->Cells(0, row - 1);
    grid->InsertRow(row);
    grid->SetCells(0, row, KeyAfter(previous, dateKeys, 1));
    grid->SetRow(row);
}

void AppendRow(TStringAlignGrid* grid) {
    const int row = grid->RowCount();
    grid->InsertRow(row);
    grid->SetRow(row);
}

void InsertTopRow(TStringAlignGrid* grid) {
    grid->InsertRow(1);
}

void RemoveLastRow(TStringAlignGrid* grid) {
    grid->RemoveRow(grid->RowCount() - 1);
    grid->SetRow(grid->RowCount() - 1);
}

void RemoveTopRow(TStringAlignGrid* grid) {
    grid->RemoveRow(1);
}

void FillMonthKey(TStringAlignGrid* grid, int row, bool dateKeys) {
    if (!grid->Cells(0, row).empty()) return;
    // A click must never be refused: near the header, or in an empty table,
    // there is no month to count from and nothing is filled.
    const std::string key = grid->Cells(0, row - 2);
    TDateTime date;
    if (!TryStrToDate(dateKeys ? key : "01/" + key, date)) return;
    grid->SetCells(0, row, KeyAfter(key, dateKeys, 2));
}

void SaveGridTable(TStringAlignGrid* grid, const std::string& dir, const char* name) {
    if (TForm* form = grid->ParentForm()) form->SetActiveControl(nullptr);
    if (std::string reason = CheckTableCells(grid->Matrix(), TableRules(name)); !reason.empty())
        throw ETableError("A tabela " + std::string(name) + " não foi gravada: " + reason + ".");
    grid->SaveToFile(PathJoin(dir, name));
}

} // namespace tabelas

namespace {

constexpr int PanelHeight = 37;
constexpr int FactorPaneWidth = 190;

TStringAlignGrid* MakeTableGrid(TForm* form, TTabSheet* sheet, const char* name, int cols,
                                int fixedCols) {
    auto* grid = Make<TStringAlignGrid>(form, sheet, name);
    grid->SetColCount(cols);
    grid->SetRowCount(2);
    grid->SetFixedRows(1);
    grid->SetFixedCols(fixedCols);
    grid->SetDefaultColWidth(96);
    grid->SetDefaultRowHeight(20);
    // Index numbers are written with up to fourteen decimals.
    grid->SetColWidths(1, 140);
    grid->SetOptions(DefaultGridOptions | goEditing | goTabs | goColSizing);
    grid->SetAlign(TAlign::alClient);
    return grid;
}

TStringAlignGrid* MakeFactorGrid(TForm* form, TTabSheet* sheet, const char* name) {
    auto* grid = Make<TStringAlignGrid>(form, sheet, name);
    grid->SetFixedRows(0);
    grid->SetFixedCols(0);
    grid->SetColCount(1);
    grid->SetRowCount(1);
    grid->SetDefaultColWidth(88);
    grid->SetDefaultRowHeight(20);
    grid->SetWidth(FactorPaneWidth);
    grid->SetAlign(TAlign::alLeft);
    return grid;
}

template <class T>
T* MakeButton(TForm* form, TPanel* panel, const char* name, const char* caption, int index) {
    auto* button = Make<T>(form, panel, name);
    button->SetCaption(caption);
    button->SetBounds(8 + index * 104, 6, 96, 25);
    return button;
}

// Edits in the grids are never dropped unasked when a table's file changes.
bool AskReplaceEdits(const std::string& question) {
    TMessageBoxRequest r =
        MessageBoxRequest(question, Application->Title(), MB_YESNO | MB_ICONQUESTION);
    r.DefaultButton = mrNo;
    return DialogService().ShowMessageBox(r) == mrYes;
}

} // namespace

TForm8::TForm8(TComponent* AOwner) : TForm(AOwner), DataDir(GetCurrentDir()) {
    SetName("Form8");
    SetCaption("Índices");
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(760);
    SetClientHeight(480);

    PageControl1 = Make<TPageControl>(this, this, "PageControl1");
    PageControl1->MultiLine = true;
    PageControl1->SetAlign(TAlign::alClient);

    TTabSheet** sheets[] = {&TabSheet1,  &TabSheet2,  &TabSheet3,  &TabSheet4,  &TabSheet5,
                            &TabSheet6,  &TabSheet7,  &TabSheet8,  &TabSheet9,  &TabSheet10,
                            &TabSheet11, &TabSheet12, &TabSheet13, &TabSheet14, &TabSheet15};
    TPanel** panels[] = {&Panel1,  &Panel2,  &Panel3,  &Panel4,  &Panel5,
                         &Panel6,  &Panel7,  &Panel8,  &Panel9,  &Panel10,
                         &Panel11, &Panel12, &Panel13, &Panel14, &Panel15};
    const char* captions[] = {"INPC",
                              "Exp. Sobrevida",
                              "Até 11/1998",
                              "INSS - Teto",
                              "Salário Mínimo",
                              "Correção de Renda Revisão INSS",
                              "Coeficientes",
                              "Revisão I",
                              "Revisão II",
                              "Revisão III",
                              "Correção de Renda Revisão",
                              "INSS teto SC",
                              "Correção de Renda 2",
                              "Correção INPC",
                              "Tabela de atualização de salários"};
    for (int i = 0; i < 15; ++i) {
        auto* sheet = Make<TTabSheet>(this, nullptr, "TabSheet" + std::to_string(i + 1));
        sheet->SetCaption(captions[i]);
        sheet->SetPageControl(PageControl1);
        *sheets[i] = sheet;
        auto* panel = Make<TPanel>(this, sheet, "Panel" + std::to_string(i + 1));
        panel->SetCaption("");
        panel->SetHeight(PanelHeight);
        panel->SetAlign(TAlign::alBottom);
        *panels[i] = panel;
    }
    // Reached by no command; kept for the simulation's 1998 factors.
    TabSheet3->SetTabVisible(false);

    // Factor grids first, so that they take the left of their tab.
    indicegrid = MakeFactorGrid(this, TabSheet1, "indicegrid");
    INPCGrid = MakeTableGrid(this, TabSheet1, "INPCGrid", 2, 1);
    gridsvida = MakeTableGrid(this, TabSheet2, "gridsvida", 2, 0);
    grid98 = MakeFactorGrid(this, TabSheet3, "grid98");
    gridinpc98 = MakeTableGrid(this, TabSheet3, "gridinpc98", 2, 1);
    gridiinss = MakeTableGrid(this, TabSheet4, "gridiinss", 2, 0);
    GridSalmin = MakeTableGrid(this, TabSheet5, "GridSalmin", 2, 1);
    Gridcrmensal = MakeTableGrid(this, TabSheet6, "Gridcrmensal", 2, 0);
    Gridcoeficientes = MakeTableGrid(this, TabSheet7, "Gridcoeficientes", 8, 0);
    SRVI = MakeFactorGrid(this, TabSheet8, "SRVI");
    SRevisaoI = MakeTableGrid(this, TabSheet8, "SRevisaoI", 2, 1);
    SRVII = MakeFactorGrid(this, TabSheet9, "SRVII");
    SRevisaoII = MakeTableGrid(this, TabSheet9, "SRevisaoII", 2, 1);
    SRVIII = MakeFactorGrid(this, TabSheet10, "SRVIII");
    SRevisaoIII = MakeTableGrid(this, TabSheet10, "SRevisaoIII", 2, 1);
    GridCorrRev = MakeTableGrid(this, TabSheet11, "GridCorrRev", 2, 0);
    gridinsssc = MakeTableGrid(this, TabSheet12, "gridinsssc", 2, 0);
    GridCorrRev2 = MakeTableGrid(this, TabSheet13, "GridCorrRev2", 2, 0);
    Gridanterior1994 = MakeTableGrid(this, TabSheet14, "Gridanterior1994", 2, 0);
    tabatusal = MakeTableGrid(this, TabSheet15, "tabatusal", 2, 1);
    const char* coeficientes[] = {"Benefício",  "Percentual", "Acréscimos",  "Contribuições",
                                  "Carência H", "Carência M", "Anos Ben. H", "Anos Ben. M"};
    for (int c = 0; c < 8; ++c)
        Gridcoeficientes->SetCells(c, 0, coeficientes[c]);

    Button1 = MakeButton<TButton>(this, Panel1, "Button1", "Gravar", 0);
    Button5 = MakeButton<TButton>(this, Panel1, "Button5", "Inserir Linha", 1);
    Button6 = MakeButton<TButton>(this, Panel1, "Button6", "Remover Linha", 2);
    SpeedButton4 = MakeButton<TRxSpeedButton>(this, Panel2, "SpeedButton4", "Inserir Linha", 0);
    SpeedButton5 = MakeButton<TRxSpeedButton>(this, Panel2, "SpeedButton5", "Remover Linha", 1);
    Button2 = MakeButton<TButton>(this, Panel4, "Button2", "Gravar", 0);
    Button8 = MakeButton<TButton>(this, Panel4, "Button8", "Inserir Linha", 1);
    Button7 = MakeButton<TButton>(this, Panel4, "Button7", "Remover Linha", 2);
    Button3 = MakeButton<TButton>(this, Panel5, "Button3", "Gravar", 0);
    Button9 = MakeButton<TButton>(this, Panel5, "Button9", "Inserir Linha", 1);
    Button10 = MakeButton<TButton>(this, Panel5, "Button10", "Remover Linha", 2);
    SpeedButton10 = MakeButton<TRxSpeedButton>(this, Panel6, "SpeedButton10", "Inserir Linha", 0);
    SpeedButton11 = MakeButton<TRxSpeedButton>(this, Panel6, "SpeedButton11", "Remover Linha", 1);
    SpeedButton12 = MakeButton<TRxSpeedButton>(this, Panel7, "SpeedButton12", "Inserir Linha", 0);
    SpeedButton13 = MakeButton<TRxSpeedButton>(this, Panel7, "SpeedButton13", "Remover Linha", 1);
    SpeedButton14 = MakeButton<TRxSpeedButton>(this, Panel8, "SpeedButton14", "Inserir Linha", 0);
    SpeedButton15 = MakeButton<TRxSpeedButton>(this, Panel8, "SpeedButton15", "Remover Linha", 1);
    SpeedButton16 = MakeButton<TRxSpeedButton>(this, Panel9, "SpeedButton16", "Inserir Linha", 0);
    SpeedButton17 = MakeButton<TRxSpeedButton>(this, Panel9, "SpeedButton17", "Remover Linha", 1);
    SpeedButton18 = MakeButton<TRxSpeedButton>(this, Panel10, "SpeedButton18", "Inserir Linha", 0);
    SpeedButton19 = MakeButton<TRxSpeedButton>(this, Panel10, "SpeedButton19", "Remover Linha", 1);
    Button4 = MakeButton<TButton>(this, Panel11, "Button4", "Gravar", 0);
    Button11 = MakeButton<TButton>(this, Panel11, "Button11", "Inserir Linha", 1);
    Button12 = MakeButton<TButton>(this, Panel11, "Button12", "Remover Linha", 2);
    SpeedButton22 = MakeButton<TRxSpeedButton>(this, Panel12, "SpeedButton22", "Inserir Linha", 0);
    SpeedButton23 = MakeButton<TRxSpeedButton>(this, Panel12, "SpeedButton23", "Remover Linha", 1);
    SpeedButton24 = MakeButton<TRxSpeedButton>(this, Panel13, "SpeedButton24", "Inserir Linha", 0);
    SpeedButton25 = MakeButton<TRxSpeedButton>(this, Panel13, "SpeedButton25", "Remover Linha", 1);
    SpeedButton26 = MakeButton<TRxSpeedButton>(this, Panel14, "SpeedButton26", "Inserir Linha", 0);
    SpeedButton27 = MakeButton<TRxSpeedButton>(this, Panel14, "SpeedButton27", "Remover Linha", 1);
    Button13 = MakeButton<TButton>(this, Panel15, "Button13", "Gravar", 0);
    Button14 = MakeButton<TButton>(this, Panel15, "Button14", "Inserir Linha", 1);
    Button15 = MakeButton<TButton>(this, Panel15, "Button15", "Remover Linha", 2);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
    Button3->OnClick = [this](TObject* Sender) { Button3Click(Sender); };
    Button4->OnClick = [this](TObject* Sender) { Button4Click(Sender); };
    Button13->OnClick = [this](TObject* Sender) { Button13Click(Sender); };
    Button5->OnClick = [this](TObject* Sender) { Button5Click(Sender); };
    Button8->OnClick = [this](TObject* Sender) { Button8Click(Sender); };
    Button9->OnClick = [this](TObject* Sender) { Button9Click(Sender); };
    Button11->OnClick = [this](TObject* Sender) { Button11Click(Sender); };
    Button14->OnClick = [this](TObject* Sender) { Button14Click(Sender); };
    SpeedButton14->OnClick = [this](TObject* Sender) { SpeedButton14Click(Sender); };
    SpeedButton16->OnClick = [this](TObject* Sender) { SpeedButton16Click(Sender); };
    SpeedButton18->OnClick = [this](TObject* Sender) { SpeedButton18Click(Sender); };
    SpeedButton10->OnClick = [this](TObject* Sender) { SpeedButton10Click(Sender); };
    SpeedButton12->OnClick = [this](TObject* Sender) { SpeedButton12Click(Sender); };
    SpeedButton24->OnClick = [this](TObject* Sender) { SpeedButton24Click(Sender); };
    SpeedButton26->OnClick = [this](TObject* Sender) { SpeedButton26Click(Sender); };
    SpeedButton4->OnClick = [this](TObject* Sender) { SpeedButton4Click(Sender); };
    SpeedButton22->OnClick = [this](TObject* Sender) { SpeedButton22Click(Sender); };
    Button6->OnClick = [this](TObject* Sender) { Button6Click(Sender); };
    Button7->OnClick = [this](TObject* Sender) { Button7Click(Sender); };
    Button10->OnClick = [this](TObject* Sender) { Button10Click(Sender); };
    Button12->OnClick = [this](TObject* Sender) { Button12Click(Sender); };
    Button15->OnClick = [this](TObject* Sender) { Button15Click(Sender); };
    SpeedButton15->OnClick = [this](TObject* Sender) { SpeedButton15Click(Sender); };
    SpeedButton17->OnClick = [this](TObject* Sender) { SpeedButton17Click(Sender); };
    SpeedButton19->OnClick = [this](TObject* Sender) { SpeedButton19Click(Sender); };
    SpeedButton11->OnClick = [this](TObject* Sender) { SpeedButton11Click(Sender); };
    SpeedButton13->OnClick = [this](TObject* Sender) { SpeedButton13Click(Sender); };
    SpeedButton25->OnClick = [this](TObject* Sender) { SpeedButton25Click(Sender); };
    SpeedButton27->OnClick = [this](TObject* Sender) { SpeedButton27Click(Sender); };
    SpeedButton5->OnClick = [this](TObject* Sender) { SpeedButton5Click(Sender); };
    SpeedButton23->OnClick = [this](TObject* Sender) { SpeedButton23Click(Sender); };
    auto inpc = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        INPCGridSelectCell(Sender, ACol, ARow, CanSelect);
    };
    INPCGrid->OnSelectCell = inpc;
    gridinpc98->OnSelectCell = inpc;
    auto salmin = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        GridSalminSelectCell(Sender, ACol, ARow, CanSelect);
    };
    GridSalmin->OnSelectCell = salmin;
    tabatusal->OnSelectCell = salmin;
    SRevisaoI->OnSelectCell = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        SRevisaoISelectCell(Sender, ACol, ARow, CanSelect);
    };
    SRevisaoII->OnSelectCell = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        SRevisaoIISelectCell(Sender, ACol, ARow, CanSelect);
    };
    SRevisaoIII->OnSelectCell = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        SRevisaoIIISelectCell(Sender, ACol, ARow, CanSelect);
    };
    tabelas::SetReplaceEditsQuestion(AskReplaceEdits);
}

void TForm8::FormShow(TObject*) {
    PageControl1->SetActivePageIndex(0);
}

void TForm8::SaveTable(TStringAlignGrid* grid, const char* file) {
    tabelas::SaveGridTable(grid, DataDir, file);
}

void TForm8::ReloadTable(TStringAlignGrid* grid, const char* file) {
    // A calculation never runs on a table that is missing or damaged.
    tabelas::ReloadCheckedTable(grid->Matrix(), DataDir, file);
    grid->MatrixChanged();
}

void TForm8::Button1Click(TObject*) {
    SaveTable(INPCGrid, tabelas::SeriesIIIFile);
}
void TForm8::Button2Click(TObject*) {
    SaveTable(gridiinss, tabelas::InssFile);
}
void TForm8::Button3Click(TObject*) {
    SaveTable(GridSalmin, tabelas::SalminFile);
}
void TForm8::Button4Click(TObject*) {
    SaveTable(GridCorrRev, tabelas::CrMensalRev3File);
}
void TForm8::Button13Click(TObject*) {
    SaveTable(tabatusal, tabelas::AtuaprevFile);
}

void TForm8::Button5Click(TObject*) {
    tabelas::AppendMonthRow(INPCGrid, false);
}
void TForm8::Button8Click(TObject*) {
    tabelas::AppendMonthRow(gridiinss, false);
}
void TForm8::Button9Click(TObject*) {
    tabelas::AppendMonthRow(GridSalmin, true);
}
void TForm8::Button11Click(TObject*) {
    tabelas::AppendMonthRow(GridCorrRev, false);
}
void TForm8::Button14Click(TObject*) {
    tabelas::AppendMonthRow(tabatusal, false);
}
void TForm8::SpeedButton14Click(TObject*) {
    tabelas::AppendMonthRow(SRevisaoI, false);
}
void TForm8::SpeedButton16Click(TObject*) {
    tabelas::AppendMonthRow(SRevisaoII, false);
}
void TForm8::SpeedButton18Click(TObject*) {
    tabelas::AppendMonthRow(SRevisaoIII, false);
}
void TForm8::SpeedButton10Click(TObject*) {
    tabelas::AppendRow(Gridcrmensal);
}
void TForm8::SpeedButton12Click(TObject*) {
    tabelas::AppendRow(Gridcoeficientes);
}
void TForm8::SpeedButton24Click(TObject*) {
    tabelas::AppendRow(GridCorrRev2);
}
void TForm8::SpeedButton26Click(TObject*) {
    tabelas::AppendRow(Gridanterior1994);
}
void TForm8::SpeedButton4Click(TObject*) {
    tabelas::InsertTopRow(gridsvida);
}
void TForm8::SpeedButton22Click(TObject*) {
    tabelas::InsertTopRow(gridinsssc);
}

void TForm8::Button6Click(TObject*) {
    tabelas::RemoveLastRow(INPCGrid);
}
void TForm8::Button7Click(TObject*) {
    tabelas::RemoveLastRow(gridiinss);
}
void TForm8::Button10Click(TObject*) {
    tabelas::RemoveLastRow(GridSalmin);
}
void TForm8::Button12Click(TObject*) {
    tabelas::RemoveLastRow(GridCorrRev);
}
void TForm8::Button15Click(TObject*) {
    tabelas::RemoveLastRow(tabatusal);
}
void TForm8::SpeedButton15Click(TObject*) {
    tabelas::RemoveLastRow(SRevisaoI);
}
void TForm8::SpeedButton17Click(TObject*) {
    tabelas::RemoveLastRow(SRevisaoII);
}
void TForm8::SpeedButton19Click(TObject*) {
    tabelas::RemoveLastRow(SRevisaoIII);
}
void TForm8::SpeedButton11Click(TObject*) {
    tabelas::RemoveLastRow(Gridcrmensal);
}
void TForm8::SpeedButton13Click(TObject*) {
    tabelas::RemoveLastRow(Gridcoeficientes);
}
void TForm8::SpeedButton25Click(TObject*) {
    tabelas::RemoveLastRow(GridCorrRev2);
}
void TForm8::SpeedButton27Click(TObject*) {
    tabelas::RemoveLastRow(Gridanterior1994);
}
void TForm8::SpeedButton5Click(TObject*) {
    tabelas::RemoveTopRow(gridsvida);
}
void TForm8::SpeedButton23Click(TObject*) {
    tabelas::RemoveTopRow(gridinsssc);
}

void TForm8::INPCGridSelectCell(TObject* Sender, int, int ARow, bool& CanSelect) {
    CanSelect = true;
    auto* grid = Sender == gridinpc98 ? gridinpc98 : INPCGrid;
    tabelas::FillMonthKey(grid, ARow, false);
}

void TForm8::GridSalminSelectCell(TObject* Sender, int, int ARow, bool& CanSelect) {
    CanSelect = true;
    // tabatusal is keyed by months, the minimum wages by dates.
    if (Sender == tabatusal)
        tabelas::FillMonthKey(tabatusal, ARow, false);
    else
        tabelas::FillMonthKey(GridSalmin, ARow, true);
}

void TForm8::SRevisaoISelectCell(TObject*, int, int ARow, bool& CanSelect) {
    CanSelect = true;
    tabelas::FillMonthKey(SRevisaoI, ARow, false);
}

void TForm8::SRevisaoIISelectCell(TObject*, int, int ARow, bool& CanSelect) {
    CanSelect = true;
    tabelas::FillMonthKey(SRevisaoII, ARow, false);
}

void TForm8::SRevisaoIIISelectCell(TObject*, int, int ARow, bool& CanSelect) {
    CanSelect = true;
    tabelas::FillMonthKey(SRevisaoIII, ARow, false);
}

namespace {

// The grids show what the generator wrote, also when it stopped half-way.
class TMatrixRefresh {
public:
    TMatrixRefresh(TStringAlignGrid* a, TStringAlignGrid* b) : a_(a), b_(b) {}
    ~TMatrixRefresh() {
        a_->MatrixChanged();
        b_->MatrixChanged();
    }
    TMatrixRefresh(const TMatrixRefresh&) = delete;
    TMatrixRefresh& operator=(const TMatrixRefresh&) = delete;

private:
    TStringAlignGrid *a_, *b_;
};

} // namespace

void TForm8::geraindice() {
    TMatrixRefresh refresh(indicegrid, INPCGrid);
    tabelas::geraindice(indicegrid->Matrix(), INPCGrid->Matrix());
}

void TForm8::geraindiceI() {
    TMatrixRefresh refresh(SRVI, SRevisaoI);
    tabelas::geraindiceI(SRVI->Matrix(), SRevisaoI->Matrix());
}

void TForm8::geraindicexII() {
    TMatrixRefresh refresh(SRVII, SRevisaoII);
    tabelas::geraindicexII(SRVII->Matrix(), SRevisaoII->Matrix());
}

void TForm8::geraindicexIII() {
    TMatrixRefresh refresh(SRVIII, SRevisaoIII);
    tabelas::geraindicexIII(SRVIII->Matrix(), SRevisaoIII->Matrix());
}

void TForm8::geraindice98() {
    TMatrixRefresh refresh(grid98, gridinpc98);
    tabelas::geraindice98(grid98->Matrix(), gridinpc98->Matrix());
}

void TForm8::geraindiceII(const std::string& key, TStringAlignGrid* target,
                          TStringAlignGrid* source) {
    TMatrixRefresh refresh(target, source);
    tabelas::geraindiceII(key, target->Matrix(), source->Matrix());
}

void TForm8::geraindiceIII() {
    TMatrixRefresh refresh(SRVIII, SRevisaoIII);
    tabelas::geraindiceIII(SRVIII->Matrix(), SRevisaoIII->Matrix());
}

namespace {

// What each truncating reloader last derived, by its source grid.
struct TDerived {
    bool valid = false;
    std::string path, month;
    uint64_t source = 0, target = 0; // versions of both grids then
};

std::map<const TStringAlignGrid*, TDerived>& Derived() {
    static std::map<const TStringAlignGrid*, TDerived> derived;
    return derived;
}

} // namespace

void TForm8::Derive(TStringAlignGrid* source, const char* file, TStringAlignGrid* target,
                    const std::string& D, TDerivation derive) {
    // A calculation run again on the same case finds the series as it left
    // them: reloading, cutting and deriving them again would give the same.
    TDerived& last = Derived()[source];
    const std::string path = PathJoin(DataDir, file), month = Copy(D, 4, 7);
    TDateTime date;
    if (last.valid && last.path == path && last.month == month && TryStrToDate(D, date) &&
        tabelas::FileUnchanged(DataDir, file, source->Matrix()) &&
        source->Matrix().Version() == last.source && target->Matrix().Version() == last.target)
        return;
    last.valid = false;
    ReloadTable(source, file);
    TMatrixRefresh refresh(target, source);
    derive(D, source->Matrix(), target->Matrix());
    last = {true, path, month, source->Matrix().Version(), target->Matrix().Version()};
}

void TForm8::geraindicex(const std::string& D) {
    Derive(INPCGrid, tabelas::SeriesIIIFile, indicegrid, D, tabelas::geraindicex);
}

void TForm8::geraindiceINSSI(const std::string& D) {
    Derive(SRevisaoI, tabelas::SeriesIFile, SRVI, D, tabelas::geraindiceINSSI);
}

void TForm8::geraindiceINSSII(const std::string& D) {
    Derive(SRevisaoII, tabelas::SeriesIIFile, SRVII, D, tabelas::geraindiceINSSII);
}

void TForm8::geraindiceINSSIII(const std::string& D) {
    Derive(SRevisaoIII, tabelas::SeriesIIIFile, SRVIII, D, tabelas::geraindiceINSSIII);
}

std::string TForm8::formatfloatx(long double value) const {
    return tabelas::formatfloatx(value);
}

long double TForm8::RoundNum(long double value, int n) const {
    return tabelas::RoundNum(value, n);
}

namespace {

std::string NumberChars(const std::string& text) {
    std::string kept;
    for (char c : text)
        if ((c >= '0' && c <= '9') || c == ',' || c == '-') kept += c;
    return kept;
}

} // namespace

long double TForm8::RemovePonto(const std::string& text) const {
    return StrToFloat(NumberChars(text));
}

long double TForm8::RemovePontoS(long double number) const {
    return StrToFloat(NumberChars(FloatToStr(number)));
}
