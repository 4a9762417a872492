#include "revision/revision_form.h"

#include "revision/state_values.h"

#include <algorithm>

#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "controls/speed_button.h"
#include "controls/spin_edit.h"
#include "grids/align_grid.h"
#include "grids/icon_grid.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "platform/runtime/text_file.h"
#include "revision/revision_core.h"
#include "revision/shared_helpers.h"
#include "revision/wizard_grid.h"
#include "revision/wizard_links.h"
#include "tables/cell_errors.h"

TForm9* Form9 = nullptr;

namespace {

constexpr int kEditH = 21;
constexpr int kButtonW = 95, kButtonH = 27;
constexpr int kClientW = 760, kClientH = 500;
const char* const kStateFile = "temprev.back";

TDateEdit* NewDate(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                   int top) {
    TDateEdit* edit = Make<TDateEdit>(owner, parent, name);
    edit->SetBounds(left, top, 112, kEditH);
    return edit;
}

// The field is named after its caption, without the closing " :".
TCurrencyEdit* NewAmount(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                         int top, int width, const std::string& caption, int decimals = 2) {
    TCurrencyEdit* edit = Make<TCurrencyEdit>(owner, parent, name);
    edit->FieldName = caption.substr(0, caption.find_last_not_of(" :") + 1);
    edit->SetDecimalPlaces(decimals);
    // The amounts in R$ keep the currency edit's own format ("R$ 1.234,50").
    if (caption.find("(R$)") == std::string::npos)
        edit->SetDisplayFormat(decimals == 8 ? "#,##0.00000000;-#,##0.00000000" : "#,##0.00;-#,##0.00");
    edit->SetBounds(left, top, width, kEditH);
    return edit;
}

revisao::TRevisionTables Tables() {
    revisao::TRevisionTables t;
    t.Gridanterior1994 = wizard_links::TableCells("Gridanterior1994");
    t.GridCorrRev = wizard_links::TableCells("GridCorrRev");
    t.GridSalmin = wizard_links::TableCells("GridSalmin");
    t.gridiinss = wizard_links::TableCells("gridiinss");
    t.SRVI = wizard_links::TableCells("SRVI");
    t.SRVII = wizard_links::TableCells("SRVII");
    t.SRVIII = wizard_links::TableCells("SRVIII");
    t.Cusetabsc = Form9 && Form9->Cusetabsc && Form9->Cusetabsc->Checked();
    return t;
}

// Runs a pass on a grid; the rows written before a stop must show too.
template <class F> void OnGrid(TStringAlignGrid* grid, F pass) {
    try {
        pass(grid->Matrix());
    } catch (...) {
        grid->MatrixChanged();
        throw;
    }
    grid->MatrixChanged();
}

} // namespace

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form9");
    SetCaption("Revisão de Aposentadoria");
    SetPosition(TPosition::poMainFormCenter);
    SetClientWidth(kClientW);
    SetClientHeight(kClientH);

    BuildToolbar();
    PageControl1 = Make<TPageControl>(this, this, "PageControl1");
    PageControl1->SetAlign(TAlign::alClient);
    PageControl1->MultiLine = true;
    auto sheet = [this](const std::string& name, const std::string& caption) {
        TTabSheet* page = Make<TTabSheet>(this, nullptr, name);
        page->SetPageControl(PageControl1);
        page->SetCaption(caption);
        return page;
    };
    TabSheet1 = sheet("TabSheet1", "Dados do Segurado");
    TabSheet2 = sheet("TabSheet2", "RMI/Nova RMI");
    TabSheet3 = sheet("TabSheet3", "Carta de Concessão");
    TabSheet4 = sheet("TabSheet4", "Salários");
    TabSheet4->SetTabVisible(false);
    TabSheet5 = sheet("TabSheet5", "Nova RMI");
    TabSheet6 = sheet("TabSheet6", "Evolução");
    TabSheet7 = sheet("TabSheet7", "Evolução desde a DIB");
    TabSheet8 = sheet("TabSheet8", "Cabeçalho");
    TabSheet9 = sheet("TabSheet9", "Salários D");
    BuildDados();
    BuildRmi();
    BuildCarta();
    BuildSalarios();
    BuildNovaRmi();
    BuildGrids();
    PageControl1->SetPageIndex(0);
    Defaults();

    Calculoate->OnExit = [this](TObject* Sender) { CalculoateExit(Sender); };
    Dataajuizamento->OnExit = [this](TObject* Sender) { DataajuizamentoExit(Sender); };
    EDIB->OnExit = [this](TObject* Sender) { EDIBExit(Sender); };
    ESalBeneficio->OnExit = [this](TObject* Sender) { ESalBeneficioExit(Sender); };
    STGSalarios->OnGetEditMask = [this](TObject* Sender, int ACol, int ARow, std::string& Value) {
        STGSalariosGetEditMask(Sender, ACol, ARow, Value);
    };
    STGSalarios->OnValidateEdit = [this](TObject* Sender, int ACol, int ARow, bool& Valid) {
        STGSalariosValidateEdit(Sender, ACol, ARow, Valid);
    };
    STGSalarios->OnAfterEdit = [this](TObject* Sender, int ACol, int ARow) {
        STGSalariosAfterEdit(Sender, ACol, ARow);
    };
    BRepetir->OnClick = [this](TObject* Sender) { BRepetirClick(Sender); };
    SpeedButton16->OnClick = [this](TObject* Sender) { SpeedButton16Click(Sender); };
    SpeedButton9->OnClick = [this](TObject* Sender) { SpeedButton9Click(Sender); };
    SpeedButton12->OnClick = [this](TObject* Sender) { SpeedButton12Click(Sender); };
    SpeedButton5->OnClick = [this](TObject* Sender) { SpeedButton5Click(Sender); };
    BitBtn1->OnClick = [this](TObject* Sender) { BitBtn1Click(Sender); };
    BitBtn2->OnClick = [this](TObject* Sender) { BitBtn2Click(Sender); };
    BitBtn3->OnClick = [this](TObject* Sender) { BitBtn3Click(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TForm9::BuildToolbar() {
    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetAlign(TAlign::alTop);
    Panel1->SetHeight(40);
    int left = 4;
    auto button = [this, &left](const std::string& name, const std::string& caption) {
        auto* b = Make<TRxSpeedButton>(this, Panel1, name);
        b->SetCaption(caption);
        b->SetFlat(true);
        b->SetBounds(left, 4, 68, 32);
        left += 70;
        return b;
    };
    SpeedButton9 = button("SpeedButton9", "Novo");
    SpeedButton12 = button("SpeedButton12", "Abrir");
    SpeedButton5 = button("SpeedButton5", "Salvar");
    left += 12;
    SpeedButton16 = button("SpeedButton16", "Sair");

    Panel2 = Make<TPanel>(this, this, "Panel2");
    Panel2->SetAlign(TAlign::alBottom);
    Panel2->SetHeight(44);
    BitBtn1 = MakeCaptioned<TButton>(this, Panel2, "BitBtn1", "&Anterior",
                                     kClientW - 3 * (kButtonW + 8), 8, kButtonW, kButtonH);
    BitBtn2 = MakeCaptioned<TButton>(this, Panel2, "BitBtn2", "&Próximo",
                                     kClientW - 2 * (kButtonW + 8), 8, kButtonW, kButtonH);
    BitBtn3 = MakeCaptioned<TButton>(this, Panel2, "BitBtn3", "Finaliza", kClientW - (kButtonW + 8),
                                     8, kButtonW, kButtonH);
}

void TForm9::BuildDados() {
    TTabSheet* p = TabSheet1;
    LabelEEspecie = MakeCaptionedAt<TLabel>(this, p, "LabelEEspecie", "Espécie/Número", 12, 12);
    EEspecie = MakeAt<TEdit>(this, p, "EEspecie", 12, 30, 200, kEditH);
    LabelEAutor = MakeCaptionedAt<TLabel>(this, p, "LabelEAutor", "Autor", 228, 12);
    EAutor = MakeAt<TEdit>(this, p, "EAutor", 228, 30, 508, kEditH);

    LabelDataajuizamento =
        MakeCaptionedAt<TLabel>(this, p, "LabelDataajuizamento", "Data do Ajuizamento", 12, 66);
    Dataajuizamento = NewDate(this, p, "Dataajuizamento", 12, 84);
    LabelCalculoate = MakeCaptionedAt<TLabel>(this, p, "LabelCalculoate", "Cálculo Até", 160, 66);
    Calculoate = NewDate(this, p, "Calculoate", 160, 84);
    LabelParcelafinal =
        MakeCaptionedAt<TLabel>(this, p, "LabelParcelafinal", "Parcela Final :", 308, 66);
    Parcelafinal = NewDate(this, p, "Parcelafinal", 308, 84);
    LabelPrescricao = MakeCaptionedAt<TLabel>(this, p, "LabelPrescricao", "Prescrição", 456, 66);
    Prescricao = NewDate(this, p, "Prescricao", 456, 84);

    LabelCatualizacao =
        MakeCaptionedAt<TLabel>(this, p, "LabelCatualizacao", "Atualização :", 12, 122);
    Catualizacao = Make<TComboBox>(this, p, "Catualizacao");
    for (const char* name : revisao::AtualizacaoNames)
        Catualizacao->Items.Add(name);
    Catualizacao->SetBounds(12, 140, 332, 22);

    GroupBox1 = MakeCaptioned<TGroupBox>(this, p, "GroupBox1", "Juros ", 12, 178, 440, 92);
    LabelEjurosmes = MakeCaptionedAt<TLabel>(this, GroupBox1, "LabelEjurosmes",
                                             "Valor dos juros ao mês: ", 12, 30);
    Ejurosmes = NewAmount(this, GroupBox1, "Ejurosmes", 190, 26, 100, "Valor dos juros ao mês");
    Ejurosmes->NotMoney = true; // percent a month
    LabelContagemjuros = MakeCaptionedAt<TLabel>(this, GroupBox1, "LabelContagemjuros",
                                                 "Juros de mora a partir de: ", 12, 60);
    Contagemjuros = NewDate(this, GroupBox1, "Contagemjuros", 190, 56);

    Cusetabsc = MakeCaptioned<TRadioButton>(this, p, "Cusetabsc", "Usar tabela Teto INSS SC", 476,
                                            186, 260, 20);
    Cusetab =
        MakeCaptioned<TRadioButton>(this, p, "Cusetab", "Usar tabela Teto INSS", 476, 210, 260, 20);
    Cusetab->SetChecked(true);
    Cnaoteto =
        MakeCaptioned<TRadioButton>(this, p, "Cnaoteto", "Não limitar ao Teto", 476, 234, 260, 20);
}

void TForm9::BuildRmi() {
    TTabSheet* p = TabSheet2;
    auto row = [&](TLabel*& label, TCurrencyEdit*& edit, const std::string& name,
                   const std::string& caption, int left, int top, int decimals) {
        label = MakeCaptionedAt<TLabel>(this, p, "Label" + name, caption, left, top + 3);
        edit = NewAmount(this, p, name, left + 170, top, 130, caption, decimals);
    };
    LabelEDIB = MakeCaptionedAt<TLabel>(this, p, "LabelEDIB", "DIB :", 12, 23);
    EDIB = NewDate(this, p, "EDIB", 182, 20);
    row(LabelESalBeneficio, ESalBeneficio, "ESalBeneficio", "Sal. Benefício (R$) :", 12, 52, 2);
    row(LabelECoeficienteRMI, ECoeficienteRMI, "ECoeficienteRMI", "Coeficiente RMI :", 12, 84, 2);
    row(LabelEIncrementoRMI, EIncrementoRMI, "EIncrementoRMI", "Incremento :", 12, 116, 8);
    row(LabelERMIMR, ERMIMR, "ERMIMR", "RMI/MR (R$) :", 12, 148, 2);
    row(LabelENSalBeneficio, ENSalBeneficio, "ENSalBeneficio", "Novo Sal. Benefício (R$) :", 380,
        52, 2);
    row(LabelENCoeficienteRMI, ENCoeficienteRMI, "ENCoeficienteRMI", "Coeficiente Nova RMI :", 380,
        84, 2);
    row(LabelENIncrementoRMI, ENIncrementoRMI, "ENIncrementoRMI", "Incremento :", 380, 116, 8);
    // The coefficients are percentages (100 by default).
    ECoeficienteRMI->NotMoney = true;
    ENCoeficienteRMI->NotMoney = true;
    row(LabelENRMIMR, ENRMIMR, "ENRMIMR", "Nova RMI/MR (R$) :", 380, 148, 2);
    Chek13 = MakeCaptioned<TCheckBox>(this, p, "Chek13", "Considerar 13º (GN) ?", 12, 192, 220, 20);
}

void TForm9::BuildCarta() {
    TTabSheet* p = TabSheet3;
    LabelEditA = MakeCaptionedAt<TLabel>(
        this, p, "LabelEditA",
        "a) Soma dos Salários-de-Contribuição corrigidos (Carta de Concessão) :", 12, 24);
    EditA = NewAmount(this, p, "EditA", 560, 20, 150, "a) Soma dos Salários-de-Contribuição");
    LabelEditB = MakeCaptionedAt<TLabel>(
        this, p, "LabelEditB",
        "b) Nº de Contribuições consideradas (até 36) - (Carta de Concessão) :", 12, 60);
    EditB = Make<TRxSpinEdit>(this, p, "EditB");
    EditB->SetMaxValue(36);
    EditB->SetBounds(560, 56, 60, kEditH);
}

void TForm9::BuildSalarios() {
    TTabSheet* p = TabSheet4;
    LabelSalarios = MakeCaptionedAt<TLabel>(
        this, p, "LabelSalarios",
        "Salários-de-Contribuição CORRIGIDOS anteriores a 03/1994 (exclusive) :", 12, 8);
    STGSalarios = Make<TIconGrid>(this, p, "STGSalarios");
    STGSalarios->SetColCount(5);
    STGSalarios->SetRowCount(37);
    STGSalarios->SetFixedRows(1);
    STGSalarios->SetFixedCols(0);
    STGSalarios->SetOptions(STGSalarios->Options() | goEditing | goTabs);
    STGSalarios->SetBounds(12, 28, 470, 306);
    wizard_grid::SetColWidths(STGSalarios, {70, 100, 90, 130, 30});
    BRepetir = MakeCaptioned<TButton>(this, p, "BRepetir", "Repetir", 496, 28, kButtonW, kButtonH);
    Ratualizar = MakeCaptioned<TRadioButton>(this, p, "Ratualizar", "Corrigir os salários lançados",
                                             496, 72, 250, 20);
    Rlancar = MakeCaptioned<TRadioButton>(this, p, "Rlancar", "Lançarei os salários já corrigidos",
                                          496, 96, 250, 20);
    LabelEditC = MakeCaptionedAt<TLabel>(
        this, p, "LabelEditC", "c) Somatório dos Salários-de-contribuição CORRIGIDOS", 12, 346);
    EditC = MakeAt<TEdit>(this, p, "EditC", 340, 342, 142, kEditH);
}

void TForm9::BuildNovaRmi() {
    TTabSheet* p = TabSheet5;
    struct Line {
        TLabel*& label;
        TEdit*& edit;
        const char* name;
        const char* caption;
    };
    Line lines[] = {
        {LabelEditD, EditD, "EditD",
         "d) Somatório dos Salários-de-Contribuições posteriores a 03/1994 (inclusive) :"},
        {LabelEditE, EditE, "EditE", "e) IRSM de 02/1994 (39,67%) sobre \"c\" :"},
        {LabelEditF, EditF, "EditF",
         "f) Soma dos Salários-de-Contribuição corrigidos + IRSM de 39,67% ( d + e ) :"},
        {LabelEditG, EditG, "EditG", "g) Teto :"},
        {LabelEditH, EditH, "EditH", "h) Novo Salário-de-Benefício ( f / b) :"},
    };
    int top = 16;
    for (Line& line : lines) {
        line.label = MakeCaptionedAt<TLabel>(this, p, std::string("Label") + line.name,
                                             line.caption, 12, top + 3);
        line.edit = MakeAt<TEdit>(this, p, line.name, 580, top, 150, kEditH);
        top += 32;
    }
    TPlacer place(p, 12, top + 3, 0);
    LabelEditI = MakeCaptionedAt<TLabel>(this, p, "LabelEditI", "i) Nova RMI em : ", 0, 0);
    place.Add(LabelEditI);
    Lnovarmiem = MakeCaptionedAt<TLabel>(this, p, "Lnovarmiem", "", 0, 0);
    Lnovarmiem->SetAutoSize(false);
    place.Add(Lnovarmiem, 72, 17);
    LabelEditI2 = MakeCaptionedAt<TLabel>(this, p, "LabelEditI2", " ( h * Coeficiente [", 0, 0);
    place.Add(LabelEditI2);
    Lcoeficiente = MakeCaptionedAt<TLabel>(this, p, "Lcoeficiente", "", 0, 0);
    Lcoeficiente->SetAutoSize(false);
    place.Add(Lcoeficiente, 80, 17);
    EditI = MakeAt<TEdit>(this, p, "EditI", 580, top, 150, kEditH);
    top += 32;
    LabelEditJ = MakeCaptionedAt<TLabel>(
        this, p, "LabelEditJ", "j) Eventual incremento (a ser aplicado no próximo reajuste) :", 12,
        top + 3);
    EditJ = MakeAt<TEdit>(this, p, "EditJ", 580, top, 150, kEditH);
}

void TForm9::BuildGrids() {
    SEvolucao = wizard_grid::NewGrid(this, TabSheet6, "SEvolucao", 13, 2, false);
    SEvolucao->SetAlign(TAlign::alClient);
    SEvolucao1 = wizard_grid::NewGrid(this, TabSheet7, "SEvolucao1", 13, 2, false);
    SEvolucao1->SetAlign(TAlign::alClient);
    for (TStringAlignGrid* grid : {SEvolucao, SEvolucao1}) {
        revisao::LayoutEvolucao(grid->Matrix());
        grid->MatrixChanged();
        wizard_grid::SetColWidths(grid, {84, 90, 76, 34, 94, 76, 34, 72, 78, 90, 60, 66, 90});
    }
    cabeca = wizard_grid::NewGrid(this, TabSheet8, "cabeca", 8, 8, false);
    cabeca->SetFixedRows(0);
    cabeca->SetAlign(TAlign::alClient);
    revisao::LayoutCabeca(cabeca->Matrix());
    cabeca->MatrixChanged();
    wizard_grid::SetColWidths(cabeca, {124, 100, 30, 30, 30, 30, 176, 100});
    Salariosd = wizard_grid::NewGrid(this, TabSheet9, "Salariosd", 8, 10, false);
    Salariosd->SetAlign(TAlign::alClient);
    revisao::LayoutSalariosd(Salariosd->Matrix());
    Salariosd->MatrixChanged();
}

// The values the form starts with (and "Novo" goes back to).
void TForm9::Defaults() {
    for (TEdit* e : {EEspecie, EAutor, EditC, EditD, EditE, EditF, EditG, EditH, EditI, EditJ})
        e->SetText("");
    for (TDateEdit* d : {Dataajuizamento, Calculoate, Parcelafinal, Prescricao, Contagemjuros})
        d->SetText("");
    Catualizacao->SetItemIndex(1);
    Catualizacao->SetText(revisao::AtualizacaoNames[1]);
    EDIB->SetText("01/07/1994");
    for (TCurrencyEdit* a : {Ejurosmes, ESalBeneficio, ERMIMR, ENSalBeneficio, ENRMIMR, EditA})
        a->SetText("");
    ECoeficienteRMI->SetValue(100);
    ENCoeficienteRMI->SetValue(100);
    EIncrementoRMI->SetValue(1);
    ENIncrementoRMI->SetValue(1);
    EditB->SetValue(36);
    Chek13->SetChecked(true);
    Rlancar->SetChecked(true);
    Lnovarmiem->SetCaption("");
    Lcoeficiente->SetCaption("");

    TCellMatrix& salarios = STGSalarios->Matrix();
    salarios.Clear();
    revisao::LayoutSalarios(salarios);
    for (TStringAlignGrid* grid : {SEvolucao, SEvolucao1}) {
        grid->Matrix().Clear();
        grid->Matrix().SetRowCount(2);
        revisao::LayoutEvolucao(grid->Matrix());
    }
    cabeca->Matrix().Clear();
    revisao::LayoutCabeca(cabeca->Matrix());
    Salariosd->Matrix().Clear();
    revisao::LayoutSalariosd(Salariosd->Matrix());
    GridsChanged();
    linhaeditada = 0;
}

void TForm9::GridsChanged() {
    for (TStringAlignGrid* grid : std::initializer_list<TStringAlignGrid*>{
             STGSalarios, SEvolucao, SEvolucao1, cabeca, Salariosd})
        grid->MatrixChanged();
}

// ---- handlers ---------------------------------------------------------------

void TForm9::NormaliseDate(TDateEdit* edit) {
    edit->SetText(validadata(edit->Text()));
}

void TForm9::CalculoateExit(TObject*) {
    NormaliseDate(Calculoate);
}
void TForm9::DataajuizamentoExit(TObject*) {
    NormaliseDate(Dataajuizamento);
}
void TForm9::EDIBExit(TObject*) {
    NormaliseDate(EDIB);
}

void TForm9::ESalBeneficioExit(TObject*) {
    ERMIMR->SetText(ESalBeneficio->Text());
}

void TForm9::STGSalariosGetEditMask(TObject*, int ACol, int, std::string& Value) {
    if (STGSalarios->Cells(ACol, 0) == "Data") Value = "!99/0000;1";
}

void TForm9::STGSalariosValidateEdit(TObject*, int ACol, int ARow, bool&) {
    if (STGSalarios->Cells(ACol, 0) == "Data")
        STGSalarios->SetCells(ACol, ARow, validadataMA(STGSalarios->Cells(ACol, ARow)));
}

void TForm9::STGSalariosAfterEdit(TObject*, int, int ARow) {
    linhaeditada = ARow;
}

std::string TForm9::DataajuizamentoGetEditMask() {
    return "!99/99/0000;1";
}

void TForm9::BRepetirClick(TObject*) {
    const int r = linhaeditada;
    if (r <= 0 || r >= STGSalarios->RowCount() - 1) return;
    const std::string month = STGSalarios->Cells(0, r);
    TDateTime d;
    if (!TryStrToDate("01/" + month, d))
        throw ECellValueError(CellValueMessage(RowLabel(month, r), "Data", month));
    // The list runs newest first: the next row is the month before.
    STGSalarios->SetCells(1, r + 1, STGSalarios->Cells(1, r));
    STGSalarios->SetCells(0, r + 1, FormatDateTime("mm/yyyy", IncMonth(d, -1)));
    linhaeditada = r + 1;
    STGSalarios->SetRow(r + 1);
}

void TForm9::SpeedButton16Click(TObject*) {
    Close();
}

void TForm9::SpeedButton9Click(TObject*) {
    SetActiveControl(nullptr);
    Defaults();
    PageControl1->SetPageIndex(0);
}

void TForm9::SpeedButton12Click(TObject*) {
    const std::string file = wizard_links::DataFile(kStateFile);
    if (!FileExists(file)) {
        ShowMessage(std::string("Não há cálculo gravado: o arquivo ") + kStateFile + " não existe");
        return;
    }
    ler(file);
    PageControl1->SetPageIndex(0);
}

void TForm9::SpeedButton5Click(TObject*) {
    SetActiveControl(nullptr);
    gravar();
}

void TForm9::BitBtn1Click(TObject*) {
    SetActiveControl(nullptr);
    PageControl1->SetPageIndex(std::max(0, PageControl1->PageIndex() - 1));
}

// The pages are a worksheet read top to bottom: reaching "Nova RMI" sums the
// salaries and computes the new RMI (when the concession letter's sum is
// there: without it a new RMI typed by hand stays), reaching "Evolução"
// evolves both benefits. A step that stops keeps the page.
void TForm9::BitBtn2Click(TObject*) {
    SetActiveControl(nullptr);
    const int next = std::min(PageControl1->PageIndex() + 1, PageControl1->PageCount() - 1);
    TTabSheet* page = PageControl1->Pages(next);
    if (page == TabSheet5) {
        if (Ratualizar->Checked()) corrigesalario();
        somasalarios();
        if (simulacao::checkinteiro(EditA->Text())) novarmi();
    } else if (page == TabSheet6) {
        evolucao2();
        evolucao3();
    }
    PageControl1->SetPageIndex(next);
}

void TForm9::BitBtn3Click(TObject*) {
    SetActiveControl(nullptr);
    evolucao2();
    evolucao3();
    cabecax();
    salariosdx();
    printrevisao();
    gravar();
    if (relatorioGravado) wizard_links::ShowReport(wizard_links::DataFile("revisao.html"));
    PageControl1->SetActivePage(TabSheet6);
}

void TForm9::FormShow(TObject*) {
    contador = 0;
}

// ---- worksheet --------------------------------------------------------------

void TForm9::corrigesalario() {
    OnGrid(STGSalarios, [this](TCellMatrix& cells) {
        revisao::corrigesalario(cells, Tables(), EDIB->Text(), marcalimite);
    });
}

void TForm9::somasalarios() {
    EditC->SetText(revisao::somasalarios(STGSalarios->Matrix(), Ratualizar->Checked()));
}

void TForm9::salariosdx() {
    OnGrid(Salariosd,
           [this](TCellMatrix& cells) { revisao::salariosdx(STGSalarios->Matrix(), cells); });
}

void TForm9::cabecax() {
    revisao::TCabecaInput in;
    in.EAutor = EAutor->Text();
    in.EEspecie = EEspecie->Text();
    in.Prescricao = Prescricao->Text();
    in.Calculoate = Calculoate->Text();
    in.Dataajuizamento = Dataajuizamento->Text();
    in.Contagemjuros = Contagemjuros->Text();
    in.Ejurosmes = Ejurosmes->Text();
    in.EDIB = EDIB->Text();
    in.ERMIMR = ERMIMR->Value();
    in.ENRMIMR = ENRMIMR->Text();
    in.EIncrementoRMI = EIncrementoRMI->Text();
    in.ENIncrementoRMI = ENIncrementoRMI->Text();
    in.Chek13 = Chek13->Checked();
    OnGrid(cabeca, [&](TCellMatrix& cells) { revisao::cabecax(in, cells); });
}

void TForm9::novarmi() {
    revisao::TNovaRmiInput in;
    in.Dataajuizamento = Dataajuizamento->Text();
    in.Prescricao = Prescricao->Text();
    in.EDIB = EDIB->Text();
    in.EditA = EditA->Text();
    in.EditB = EditB->Text();
    in.EditC = EditC->Text();
    in.ENCoeficienteRMI = ENCoeficienteRMI->Text();
    const revisao::TNovaRmiResult out = revisao::novarmi(in, Tables());
    Prescricao->SetText(out.Prescricao);
    EditD->SetText(out.EditD);
    EditE->SetText(out.EditE);
    EditF->SetText(out.EditF);
    EditG->SetText(out.EditG);
    EditH->SetText(out.EditH);
    EditI->SetText(out.EditI);
    EditJ->SetText(out.EditJ);
    Lnovarmiem->SetCaption(out.Lnovarmiem);
    Lcoeficiente->SetCaption(out.Lcoeficiente);
    ENSalBeneficio->SetText(out.ENSalBeneficio);
    ENIncrementoRMI->SetText(out.ENIncrementoRMI);
    ENRMIMR->SetText(out.ENRMIMR);
}

revisao::TEvolucaoInput TForm9::EvolucaoInput() {
    revisao::TEvolucaoInput in;
    in.EDIB = EDIB->Text();
    in.Calculoate = Calculoate->Text();
    in.Contagemjuros = Contagemjuros->Text();
    in.Ejurosmes = Ejurosmes->Text();
    in.Prescricao = Prescricao->Text();
    in.ERMIMR = ERMIMR->Text();
    in.ENRMIMR = ENRMIMR->Text();
    in.EIncrementoRMI = EIncrementoRMI->Text();
    in.ENIncrementoRMI = ENIncrementoRMI->Text();
    in.Catualizacao = Catualizacao->Text();
    in.Chek13 = Chek13->Checked();
    return in;
}

void TForm9::evolucao() {
    textoaux = "1";
    // This evolution starts at the DIB and takes every month into its totals.
    Prescricao->SetText(EDIB->Text());
    const revisao::TEvolucaoInput in = EvolucaoInput();
    OnGrid(SEvolucao, [&](TCellMatrix& cells) { revisao::evolucao(in, Tables(), cells); });
}

void TForm9::evolucao2() {
    const revisao::TEvolucaoInput in = EvolucaoInput();
    OnGrid(SEvolucao1,
           [&](TCellMatrix& cells) { revisao::evolucao2(in, Tables(), cells, marcalimite); });
}

void TForm9::evolucao3() {
    OnGrid(SEvolucao, [this](TCellMatrix& cells) {
        revisao::evolucao3(SEvolucao1->Matrix(), Prescricao->Text(), cells);
    });
}

void TForm9::printrevisao() {
    revisao::TRevisionReport in;
    in.Cfont = wizard_links::ReportFontSize();
    in.Cnomefont = wizard_links::ReportFontName();
    in.LabelA = LabelEditA->Caption();
    in.LabelB = LabelEditB->Caption();
    in.LabelSalarios = LabelSalarios->Caption();
    in.LabelC = LabelEditC->Caption();
    in.LabelD = LabelEditD->Caption();
    in.LabelE = LabelEditE->Caption();
    in.LabelF = LabelEditF->Caption();
    in.LabelG = LabelEditG->Caption();
    in.LabelH = LabelEditH->Caption();
    in.LabelI = LabelEditI->Caption();
    in.LabelI2 = LabelEditI2->Caption();
    in.LabelJ = LabelEditJ->Caption();
    in.EditAValue = EditA->Value();
    in.EditB = EditB->Text();
    in.EditC = EditC->Text();
    in.EditD = EditD->Text();
    in.EditE = EditE->Text();
    in.EditF = EditF->Text();
    in.EditG = EditG->Text();
    in.EditH = EditH->Text();
    in.EditI = EditI->Text();
    in.EditJ = EditJ->Text();
    in.Lnovarmiem = Lnovarmiem->Caption();
    in.Lcoeficiente = Lcoeficiente->Caption();
    in.Catualizacao = Catualizacao->Text();
    in.Ratualizar = Ratualizar->Checked();
    in.STGSalarios = &STGSalarios->Matrix();
    in.Salariosd = &Salariosd->Matrix();
    in.cabeca = &cabeca->Matrix();
    in.SEvolucao = &SEvolucao->Matrix();
    relatorioGravado = true;
    revisao::printrevisao(in, wizard_links::DataDir(), [this](const std::string& message) {
        relatorioGravado = false;
        ShowMessage(message);
    });
}

// ---- state file ---------------------------------------------------------------

std::vector<std::string> TForm9::StateValues() {
    std::vector<std::string> v(revisao::sfFieldCount);
    v[revisao::sfEEspecie] = EEspecie->Text();
    v[revisao::sfEAutor] = EAutor->Text();
    v[revisao::sfCalculoate] = Calculoate->Text();
    v[revisao::sfDataajuizamento] = Dataajuizamento->Text();
    v[revisao::sfParcelafinal] = Parcelafinal->Text();
    v[revisao::sfPrescricao] = Prescricao->Text();
    v[revisao::sfContagemjuros] = Contagemjuros->Text();
    v[revisao::sfEjurosmes] = Ejurosmes->Text();
    v[revisao::sfCatualizacao] = Catualizacao->Text();
    v[revisao::sfEDIB] = EDIB->Text();
    v[revisao::sfESalBeneficio] = ESalBeneficio->Text();
    v[revisao::sfECoeficienteRMI] = ECoeficienteRMI->Text();
    v[revisao::sfEIncrementoRMI] = EIncrementoRMI->Text();
    v[revisao::sfERMIMR] = ERMIMR->Text();
    v[revisao::sfENSalBeneficio] = ENSalBeneficio->Text();
    v[revisao::sfENCoeficienteRMI] = ENCoeficienteRMI->Text();
    v[revisao::sfENIncrementoRMI] = ENIncrementoRMI->Text();
    v[revisao::sfENRMIMR] = ENRMIMR->Text();
    v[revisao::sfChek13] = Chek13->Checked() ? "true" : "false";
    v[revisao::sfEditA] = EditA->Text();
    v[revisao::sfEditB] = EditB->Text();
    return v;
}

void TForm9::gravar() {
    const std::vector<std::string> lines =
        revisao::StateLines(StateValues(), STGSalarios->Matrix());
    TTextFileWriter file(wizard_links::DataFile(kStateFile));
    for (const std::string& line : lines)
        file.Writeln(line);
    file.Close();
}

int TForm9::StateFieldOf(const TCustomNumEdit* edit) const {
    using namespace revisao;
    if (edit == Ejurosmes) return sfEjurosmes;
    if (edit == ESalBeneficio) return sfESalBeneficio;
    if (edit == ECoeficienteRMI) return sfECoeficienteRMI;
    if (edit == EIncrementoRMI) return sfEIncrementoRMI;
    if (edit == ERMIMR) return sfERMIMR;
    if (edit == ENSalBeneficio) return sfENSalBeneficio;
    if (edit == ENCoeficienteRMI) return sfENCoeficienteRMI;
    if (edit == ENIncrementoRMI) return sfENIncrementoRMI;
    if (edit == ENRMIMR) return sfENRMIMR;
    return sfEditA;
}

void TForm9::ApplyState(const std::vector<std::string>& v, const std::vector<std::string>& months,
                        const std::vector<std::string>& salaries, int rowCount, bool hasRows) {
    using namespace revisao;
    for (TCurrencyEdit* edit : {Ejurosmes, ESalBeneficio, ECoeficienteRMI, EIncrementoRMI,
                                ERMIMR, ENSalBeneficio, ENCoeficienteRMI, ENIncrementoRMI, ENRMIMR,
                                EditA}) {
        const int field = StateFieldOf(edit);
        try {
            edit->SetText(v[field]);
        } catch (const EConvertError&) {
            throw calc::ECalcError(state_values::RefusedLine(
                kStateFile, field + 1, StateFieldNames[field], QuotedExcerpt(v[field]) + " não é um número"));
        }
    }
    EEspecie->SetText(v[sfEEspecie]);
    EAutor->SetText(v[sfEAutor]);
    Calculoate->SetText(v[sfCalculoate]);
    Dataajuizamento->SetText(v[sfDataajuizamento]);
    Parcelafinal->SetText(v[sfParcelafinal]);
    Prescricao->SetText(v[sfPrescricao]);
    Contagemjuros->SetText(v[sfContagemjuros]);
    Catualizacao->SetItemIndex(Catualizacao->Items.IndexOf(v[sfCatualizacao]));
    Catualizacao->SetText(v[sfCatualizacao]);
    EDIB->SetText(v[sfEDIB]);
    Chek13->SetChecked(v[sfChek13] != "false");
    // Within the spin edit's bounds, as leaving it would make it.
    EditB->SetText(v[sfEditB]);
    EditB->SetValue(EditB->Value());

    if (hasRows) {
        TCellMatrix& cells = STGSalarios->Matrix();
        cells.SetRowCount(std::max(rowCount, 2));
        for (int r = 1; r < cells.RowCount(); ++r)
            for (int c = 0; c < cells.ColCount(); ++c)
                cells.SetCell(c, r, "");
        for (size_t k = 0; k < months.size(); ++k) {
            cells.SetCell(0, static_cast<int>(k) + 1, months[k]);
            cells.SetCell(1, static_cast<int>(k) + 1, salaries[k]);
        }
        STGSalarios->MatrixChanged();
    }
}

void TForm9::ler(const std::string& fileName) {
    const std::string name = ExtractFileName(fileName);
    std::vector<std::string> lines;
    try {
        TTextFileReader file(fileName, kMaxStateFileSize);
        while (!file.Eof())
            lines.push_back(file.Readln());
    } catch (const EInOutError& e) {
        ShowMessage(state_values::Refused(name, e.Reason.empty() ? e.Message : e.Reason));
        Abort();
    }
    revisao::TRevisionState state;
    try {
        state = revisao::ParseState(lines, name);
        CheckStateValues(state, name);
    } catch (const calc::ECalcError& e) {
        ShowMessage(e.Message);
        Abort();
    }
    // What the form holds now comes back if a value is refused half-way.
    const std::vector<std::string> before = StateValues();
    const TCellMatrix& grid = STGSalarios->Matrix();
    std::vector<std::string> months, salaries;
    for (int r = 1; r < grid.RowCount(); ++r) {
        months.push_back(grid.Cell(0, r));
        salaries.push_back(grid.Cell(1, r));
    }
    const int rows = grid.RowCount();
    try {
        ApplyState(state.values, state.months, state.salaries, state.rowCount, state.hasRows);
    } catch (const calc::ECalcError& e) {
        ApplyState(before, months, salaries, rows, true);
        ShowMessage(e.Message);
        Abort();
    }
}

// Every value of the file must be one its control can hold as it is: an
// amount that does not read, or that the control would clamp, is refused.
void TForm9::CheckStateValues(const revisao::TRevisionState& state, const std::string& name) {
    using namespace revisao;
    auto refuse = [&](size_t line, const std::string& field, const std::string& why) {
        if (!why.empty())
            throw calc::ECalcError(state_values::RefusedLine(name, line, field, why));
    };
    for (const TCustomNumEdit* edit :
         {Ejurosmes, ESalBeneficio, ECoeficienteRMI, EIncrementoRMI, ERMIMR, ENSalBeneficio,
          ENCoeficienteRMI, ENIncrementoRMI, ENRMIMR, EditA}) {
        const int field = StateFieldOf(edit);
        refuse(field + 1, StateFieldNames[field],
               state_values::AmountProblem(state.values[field], edit->MinValue(),
                                           edit->MaxValue(), edit->DecimalPlaces()));
    }
    refuse(sfEditB + 1, StateFieldNames[sfEditB],
           state_values::AmountProblem(state.values[sfEditB], EditB->MinValue(), EditB->MaxValue(),
                                       0));
    for (TStateField f : {sfCalculoate, sfDataajuizamento, sfParcelafinal, sfPrescricao,
                          sfContagemjuros, sfEDIB})
        refuse(f + 1, StateFieldNames[f], state_values::DateProblem(state.values[f]));
    refuse(sfChek13 + 1, StateFieldNames[sfChek13],
           state_values::BooleanProblem(state.values[sfChek13]));
    for (size_t k = 0; k < state.salaries.size(); ++k)
        refuse(sfFieldCount + 3 + 2 * k, "salário da linha " + std::to_string(k + 1) + " da lista",
               state_values::AmountProblem(state.salaries[k], 0, 0));
}

// ---- shared helpers ---------------------------------------------------------------

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
