// The simulation form's pages and small handlers, and the steps of the
// calculation around the core. The state file is in simulation_state.cpp.
#include "simulation/simulation_form.h"

#include <algorithm>

#include "platform/gui/dialogs.h"
#include "platform/runtime/arith.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/shared_helpers.h"
#include "revision/wizard_links.h"
#include "tables/tables_form.h"

TForm6* Form6 = nullptr;

namespace {

constexpr int kEditH = 21;

TMaskEdit* NewDate(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                   int top) {
    TMaskEdit* edit = Make<TMaskEdit>(owner, parent, name);
    edit->SetEditMask("!99/99/0000;1;_");
    edit->SetText("  /  /    ");
    edit->SetBounds(left, top, 88, kEditH);
    edit->SetTabStop(true);
    return edit;
}

// Years, months and days side by side in a group box.
void TimeFields(TComponent* owner, TGroupBox* box, TEdit*& years, TEdit*& months, TEdit*& days,
                const char* yearsName, const char* monthsName, const char* daysName,
                const std::string& labelPrefix) {
    int x = 14;
    struct Field {
        TEdit*& edit;
        const char* name;
        const char* caption;
    } fields[] = {
        {years, yearsName, "Anos"}, {months, monthsName, "Meses"}, {days, daysName, "Dias"}};
    int i = 0;
    for (Field& f : fields) {
        MakeCaptionedAt<TLabel>(owner, box, labelPrefix + IntToStr(++i), f.caption, x, 22);
        f.edit = MakeAt<TEdit>(owner, box, f.name, x, 40, 56, kEditH);
        x += 80;
    }
}

TStringAlignGrid* NewGrid(TComponent* owner, TWinControl* parent, const std::string& name, int cols,
                          const char* const* headers, int headerCount) {
    auto* grid = Make<TStringAlignGrid>(owner, parent, name);
    grid->SetColCount(cols);
    grid->SetRowCount(2);
    grid->SetFixedRows(1);
    grid->SetFixedCols(0);
    grid->SetDefaultRowHeight(20);
    grid->SetDefaultColWidth(84);
    for (int c = 0; c < headerCount; ++c)
        grid->SetCells(c, 0, headers[c]);
    return grid;
}

// A step of the core that cannot go on: its message, then the silent stop.
template <class F> auto Step(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const simulacao::ESimulacaoError& e) {
        ShowMessage(e.Message);
        Abort();
    }
}

} // namespace

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form6");
    SetCaption("Simulação do Cálculo de Renda Mensal");
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetClientWidth(680);
    SetClientHeight(452);

    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetCaption("");
    Panel1->SetHeight(40);
    Panel1->SetAlign(TAlign::alTop);
    auto topButton = [this](const char* name, const char* caption, int left) {
        TRxSpeedButton* b = Make<TRxSpeedButton>(this, Panel1, name);
        b->SetCaption(caption);
        b->SetBounds(left, 6, 84, 28);
        return b;
    };
    SpeedButton10 = topButton("SpeedButton10", "Novo", 8);
    SpeedButton13 = topButton("SpeedButton13", "Abrir", 96);
    SpeedButton15 = topButton("SpeedButton15", "Sair", 588);

    Panel2 = Make<TPanel>(this, this, "Panel2");
    Panel2->SetCaption("");
    Panel2->SetHeight(40);
    Panel2->SetAlign(TAlign::alBottom);
    SpeedButton1 = Make<TRxSpeedButton>(this, Panel2, "SpeedButton1");
    SpeedButton1->SetCaption("&Anterior");
    SpeedButton1->SetBounds(384, 6, 92, 28);
    SpeedButton2 = Make<TRxSpeedButton>(this, Panel2, "SpeedButton2");
    SpeedButton2->SetCaption("&Próximo");
    SpeedButton2->SetBounds(480, 6, 92, 28);
    BFinaliza = Make<TButton>(this, Panel2, "BFinaliza");
    BFinaliza->SetCaption("&Finaliza");
    BFinaliza->SetBounds(580, 6, 92, 28);
    BFinaliza->SetEnabled(false);

    PageControl1 = Make<TPageControl>(this, this, "PageControl1");
    PageControl1->SetAlign(TAlign::alClient);
    BuildPages();
    PageControl1->SetPageIndex(0);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    MaskEdit2->OnExit = [this](TObject* Sender) { MaskEdit2Exit(Sender); };
    MaskEdit3->OnExit = [this](TObject* Sender) { MaskEdit3Exit(Sender); };
    DateTimePicker2->OnChange = [this](TObject* Sender) { DateTimePicker2Click(Sender); };
    DateTimePicker3->OnChange = [this](TObject* Sender) { DateTimePicker3Click(Sender); };
    Edit6->OnExit = [this](TObject* Sender) { Edit6Exit(Sender); };
    Edit8->OnExit = [this](TObject* Sender) { Edit8Exit(Sender); };
    Edit9->OnExit = [this](TObject* Sender) { Edit9Exit(Sender); };
    Edit10->OnExit = [this](TObject* Sender) { Edit10Exit(Sender); };
    Edit11->OnExit = [this](TObject* Sender) { Edit11Exit(Sender); };
    Edit12->OnExit = [this](TObject* Sender) { Edit12Exit(Sender); };
    Edit13->OnExit = [this](TObject* Sender) { Edit13Exit(Sender); };
    Edit14->OnExit = [this](TObject* Sender) { Edit14Exit(Sender); };
    Edit15->OnExit = [this](TObject* Sender) { Edit15Exit(Sender); };
    Edit16->OnExit = [this](TObject* Sender) { Edit16Exit(Sender); };
    Edit17->OnExit = [this](TObject* Sender) { Edit17Exit(Sender); };
    Edit18->OnExit = [this](TObject* Sender) { Edit18Exit(Sender); };
    SpeedButton15->OnClick = [this](TObject* Sender) { SpeedButton15Click(Sender); };
}

void TForm6::BuildPages() {
    auto sheet = [this](const char* name, const char* caption) {
        TTabSheet* page = Make<TTabSheet>(this, nullptr, name);
        page->SetPageControl(PageControl1);
        page->SetCaption(caption);
        page->SetTabVisible(false);
        return page;
    };
    TabSheet1 = sheet("TabSheet1", "Cálculo de Benefício");
    TabSheet2 = sheet("TabSheet2", "Pedágio ");
    TabSheet3 = sheet("TabSheet3", "Lei n° 9.876");
    TabSheet4 = sheet("TabSheet4", "EC 20");
    TabSheet5 = sheet("TabSheet5", "Opções");
    TabSheet6 = sheet("TabSheet6", "Datas para cálculo");
    TabSheet7 = sheet("TabSheet7", "Salários");
    TabSheet8 = sheet("TabSheet8", "Demonstrativo");
    TabSheet9 = sheet("TabSheet9", "Demonstrativo Correção");
    TabSheet10 = sheet("TabSheet10", "Tabela Geral");
    TabSheet11 = sheet("TabSheet11", "Tabela Geral 2");

    // Cálculo de Benefício
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label1", "Benefício:", 16, 16);
    ComboBox2 = Make<TComboBox>(this, TabSheet1, "ComboBox2");
    for (const char* kind : simulacao::Beneficios)
        ComboBox2->Items.Add(kind);
    ComboBox2->SetItemIndex(0);
    ComboBox2->SetBounds(16, 34, 400, kEditH);
    ComboBox2->SetTabStop(true);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label2", "Nome:", 16, 66);
    Edit3 = MakeAt<TEdit>(this, TabSheet1, "Edit3", 16, 84, 400, kEditH);
    GroupBox1 = MakeCaptioned<TGroupBox>(this, TabSheet1, "GroupBox1", "Sexo ", 16, 118, 200, 76);
    RBMasculino = Make<TRadioButton>(this, GroupBox1, "RBMasculino");
    RBMasculino->SetCaption("Masculino");
    RBMasculino->SetBounds(14, 22, 120, 20);
    RBMasculino->SetChecked(true);
    RBFeminino = Make<TRadioButton>(this, GroupBox1, "RBFeminino");
    RBFeminino->SetCaption("Feminino");
    RBFeminino->SetBounds(14, 46, 120, 20);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label3", "Data de Nascimento:", 236, 124);
    MaskEdit3 = NewDate(this, TabSheet1, "MaskEdit3", 236, 142);
    DateTimePicker3 = Make<TDateEdit>(this, TabSheet1, "DateTimePicker3");
    DateTimePicker3->SetBounds(332, 142, 112, kEditH);
    GroupBox2 = MakeCaptioned<TGroupBox>(this, TabSheet1, "GroupBox2",
                                         "Tempo de Contribuição Atual ", 16, 206, 260, 76);
    TimeFields(this, GroupBox2, Edit9, Edit8, Edit6, "Edit9", "Edit8", "Edit6", "Label1_");

    // Pedágio
    GroupBox3 = MakeCaptioned<TGroupBox>(this, TabSheet2, "GroupBox3", "Tempo de Pedágio ", 16, 12,
                                         260, 76);
    TimeFields(this, GroupBox3, Edit12, Edit11, Edit10, "Edit12", "Edit11", "Edit10", "Label2_");
    Memo1 = Make<TMemo>(this, TabSheet2, "Memo1");
    Memo1->SetBounds(16, 100, 648, 250);
    Memo1->SetReadOnly(true);
    Memo1->SetScrollBars(TScrollStyle::ssVertical);

    // Lei n° 9.876
    GroupBox4 = MakeCaptioned<TGroupBox>(this, TabSheet3, "GroupBox4",
                                         "Tempo de Contribuição - Lei n° 9.876 de 29/11/1999).", 16,
                                         12, 360, 76);
    TimeFields(this, GroupBox4, Edit15, Edit14, Edit13, "Edit15", "Edit14", "Edit13", "Label3_");
    Memo2 = Make<TMemo>(this, TabSheet3, "Memo2");
    Memo2->SetBounds(16, 100, 648, 250);
    Memo2->SetReadOnly(true);
    Memo2->SetScrollBars(TScrollStyle::ssVertical);

    // EC 20
    Memo3 = Make<TMemo>(this, TabSheet4, "Memo3");
    Memo3->SetBounds(16, 12, 648, 250);
    Memo3->SetReadOnly(true);
    Memo3->SetScrollBars(TScrollStyle::ssVertical);
    GroupBox5 = MakeCaptioned<TGroupBox>(this, TabSheet4, "GroupBox5",
                                         "Tempo de Contribuição - Emenda Constitucional nº 20", 16,
                                         272, 360, 76);
    TimeFields(this, GroupBox5, Edit18, Edit17, Edit16, "Edit18", "Edit17", "Edit16", "Label4_");

    // Opções
    GroupBox6 = MakeCaptioned<TGroupBox>(this, TabSheet5, "GroupBox6", "Usar para o cálculo ", 16,
                                         12, 648, 124);
    auto box = [this](const char* name, const char* caption, int top, bool checked) {
        TCheckBox* b = Make<TCheckBox>(this, GroupBox6, name);
        b->SetCaption(caption);
        b->SetBounds(14, top, 620, 20);
        b->SetChecked(checked);
        b->SetTabStop(true);
        return b;
    };
    Ck8213 = box("Ck8213",
                 "Direito à Aposentadoria Integral ou Proporcional em data anterior ou igual a "
                 "16/12/1998 (EC20)",
                 24, true);
    Ck9876 = box("Ck9876",
                 "Direito à Aposentadoria Integral ou Proporcional no período entre 16/12/1998  e "
                 "28/11/1999",
                 54, true);
    CkB80 = box("CkB80", "Cálculo de Benefícios segundo a Lei 9.876 de 29/11/99", 84, true);
    CkRPS31 = box("CkRPS31", "", 24, false);
    Ck113 = box("Ck113", "", 24, false);
    Ck242 = box("Ck242", "", 24, false);
    for (TCheckBox* hidden : {CkRPS31, Ck113, Ck242})
        hidden->SetVisible(false);

    // Datas para cálculo
    MakeCaptionedAt<TLabel>(this, TabSheet6, "Label5", "Data Inicial:", 16, 16);
    MaskEdit1 = NewDate(this, TabSheet6, "MaskEdit1", 16, 34);
    MaskEdit1->SetText("01/07/1994");
    MaskEdit1->SetEnabled(false);
    MakeCaptionedAt<TLabel>(this, TabSheet6, "Label6", "Data Final:", 16, 66);
    MaskEdit2 = NewDate(this, TabSheet6, "MaskEdit2", 16, 84);
    DateTimePicker2 = Make<TDateEdit>(this, TabSheet6, "DateTimePicker2");
    DateTimePicker2->SetBounds(112, 84, 112, kEditH);
    MakeCaptionedAt<TLabel>(this, TabSheet6, "Label7", "Alíquota:", 16, 116);
    Edit1 = MakeAt<TEdit>(this, TabSheet6, "Edit1", 16, 134, 88, kEditH);
    Edit1->SetText("0,31");

    // Salários
    salariogrid = NewGrid(this, TabSheet7, "salariogrid", 2, simulacao::GeralHeaders, 2);
    salariogrid->SetBounds(16, 12, 300, 330);
    salariogrid->SetColWidths(0, 96);
    salariogrid->SetColWidths(1, 160);
    salariogrid->SetOptions(salariogrid->Options() | goEditing | goTabs);
    salariogrid->AutoEditNextCell = true;
    salariogrid->NextCellEdit = nc_downright;
    salariogrid->NextCellTab = nc_downright;
    salariogrid->AfterLastCellEdit = lc_stop;
    salariogrid->AfterLastCellTab = lc_stop;
    Button1 = Make<TButton>(this, TabSheet7, "Button1");
    Button1->SetCaption("Repetir");
    Button1->SetBounds(332, 12, 92, 25);

    // Demonstrativo
    griddemo = NewGrid(this, TabSheet8, "griddemo", 13, simulacao::DemoHeaders, 13);
    griddemo->SetBounds(8, 8, 664, 290);
    const int widths[13] = {26, 52, 72, 52, 84, 28, 8, 26, 52, 72, 52, 84, 28};
    for (int c = 0; c < 13; ++c)
        griddemo->SetColWidths(c, widths[c]);
    griddemo->SetLeftCol(0);
    MakeCaptionedAt<TLabel>(this, TabSheet8, "Label8", "Salário de Benefício", 8, 308);
    Edit2 = MakeAt<TEdit>(this, TabSheet8, "Edit2", 8, 326, 140, kEditH);
    MakeCaptionedAt<TLabel>(this, TabSheet8, "Label9", "Renda Mensal Inicial", 164, 308);
    Edit4 = MakeAt<TEdit>(this, TabSheet8, "Edit4", 164, 326, 140, kEditH);

    gridcorrecao = NewGrid(this, TabSheet9, "gridcorrecao", 6, simulacao::CorrecaoHeaders, 6);
    gridcorrecao->SetAlign(TAlign::alClient);
    gridcorrecao->SetColWidths(2, 24);
    gridcorrecao->SetColWidths(5, 120);

    geralgrid = NewGrid(this, TabSheet10, "geralgrid", 11, simulacao::GeralHeaders, 5);
    geralgrid->SetAlign(TAlign::alClient);
    geralgrid2 = NewGrid(this, TabSheet11, "geralgrid2", 11, simulacao::GeralHeaders, 5);
    geralgrid2->SetAlign(TAlign::alClient);
    for (TStringAlignGrid* g : {geralgrid, geralgrid2})
        g->SetColWidths(4, 140);
}

// ---- shared helpers ---------------------------------------------------------------

bool TForm6::checkinteiro(const std::string& text) {
    return simulacao::checkinteiro(text);
}

long double TForm6::RemovePonto(const std::string& text) {
    return simulacao::RemovePonto(text);
}

std::string TForm6::formatfloatx(const std::string& format, long double value) {
    return simulacao::formatfloatx(format, value);
}

void TForm6::EntreDatas(TDateTime later, TDateTime earlier, int& years, int& months, int& days) {
    simulacao::EntreDatas(later, earlier, years, months, days);
}

std::string TForm6::RemoveTPontoS(const std::string& text) {
    return simulacao::RemoveTPontoS(text);
}

std::string TForm6::RemovePontoS(const std::string& text) {
    return simulacao::RemovePontoS(text);
}

bool TForm6::StrIsFloat(const std::string& text) {
    return simulacao::StrIsFloat(text);
}

bool TForm6::tbStrIsDate(const std::string& text) {
    return simulacao::tbStrIsDate(text);
}

std::string TForm6::retornameses(const std::string& first, const std::string& second) {
    return simulacao::retornameses(first, second);
}

namespace {

// A typed count as a whole number; absurd sizes are held to a billion.
int Whole(const std::string& text) {
    return static_cast<int>(
        std::clamp<int64_t>(Trunc(simulacao::RemovePonto(text)), -1000000000, 1000000000));
}

} // namespace

std::string TForm6::tempocontribuicao(const std::string& years, const std::string& months,
                                      const std::string& days) {
    return simulacao::tempocontribuicao(Whole(years), Whole(months), Whole(days));
}

std::string TForm6::devolvevalor(const std::string& amount, const std::string& date) {
    simulacao::TSimTables t = Tabelas();
    return simulacao::devolvevalor(t.GridSalmin, t.gridiinss, amount, date, marcalimite);
}

// ---- handlers ---------------------------------------------------------------------

void TForm6::FormShow(TObject*) {
    const std::pair<TMemo*, const char*> memos[] = {
        {Memo3, "ec20.ver"}, {Memo2, "periodo.ver"}, {Memo1, "pedagio.ver"}};
    for (const auto& [memo, file] : memos) {
        std::string path = wizard_links::DataFile(file);
        if (FileExists(path)) memo->Lines.LoadFromFile(path);
    }
    PageControl1->SetPageIndex(0);
    if (!Form8) return;
    TStringAlignGrid* indice = Form8->indicegrid;
    const std::string tabela = wizard_links::DataFile("tabela.tab");
    const bool loaded = FileExists(tabela);
    if (loaded) {
        // The file replaces the series whole: rows of a longer one must not stay.
        indice->Matrix().Clear();
        indice->Matrix().SetRowCount(1);
        indice->LoadFromFile(tabela);
    }
    // Without the file the series comes from the correction table (see
    // SerieDeIndices); its last month is the default end, and an end date
    // already typed stays.
    if (!loaded && tbStrIsDate(MaskEdit2->Text()) && checkinteiro(MaskEdit2->Text())) return;
    const TCellMatrix* source = loaded ? &indice->Matrix() : wizard_links::TableCells("INPCGrid");
    if (!source) return;
    TDateTime last;
    const std::string month = source->Cell(0, source->RowCount() - 1);
    if (TryStrToDate("01/" + month, last)) MaskEdit2->SetText(FormatDateTime("dd/mm/yyyy", last));
}

void TForm6::DateExit(TMaskEdit* edit) {
    if (tbStrIsDate(edit->Text())) return;
    ShowMessage(edit->Text() + " NÃO é data válida.");
    edit->SetFocus();
}

void TForm6::MaskEdit2Exit(TObject*) {
    DateExit(MaskEdit2);
}

void TForm6::MaskEdit3Exit(TObject*) {
    DateExit(MaskEdit3);
}

void TForm6::DateTimePicker2Click(TObject*) {
    // A date still being typed in the picker is not copied.
    if (DateTimePicker2->HasDateText() && DateTimePicker2->Date() != DateUtil::NoDate)
        MaskEdit2->SetText(FormatDateTime("dd/mm/yyyy", DateTimePicker2->Date()));
}

void TForm6::DateTimePicker3Click(TObject*) {
    if (DateTimePicker3->HasDateText() && DateTimePicker3->Date() != DateUtil::NoDate)
        MaskEdit3->SetText(FormatDateTime("dd/mm/yyyy", DateTimePicker3->Date()));
}

void TForm6::OnlyDigits(TEdit* edit) {
    if (checkinteiro(edit->Text())) edit->SetText(RemoveTPontoS(edit->Text()));
}

void TForm6::Edit6Exit(TObject*) {
    OnlyDigits(Edit6);
}
void TForm6::Edit8Exit(TObject*) {
    OnlyDigits(Edit8);
}
void TForm6::Edit9Exit(TObject*) {
    OnlyDigits(Edit9);
}
void TForm6::Edit10Exit(TObject*) {
    OnlyDigits(Edit10);
}
void TForm6::Edit11Exit(TObject*) {
    OnlyDigits(Edit11);
}
void TForm6::Edit12Exit(TObject*) {
    OnlyDigits(Edit12);
}
void TForm6::Edit13Exit(TObject*) {
    OnlyDigits(Edit13);
}
void TForm6::Edit14Exit(TObject*) {
    OnlyDigits(Edit14);
}
void TForm6::Edit15Exit(TObject*) {
    OnlyDigits(Edit15);
}
void TForm6::Edit16Exit(TObject*) {
    OnlyDigits(Edit16);
}
void TForm6::Edit17Exit(TObject*) {
    OnlyDigits(Edit17);
}
void TForm6::Edit18Exit(TObject*) {
    OnlyDigits(Edit18);
}

void TForm6::SpeedButton15Click(TObject*) {
    Close();
}

void TForm6::travaedit() {
    const std::string kind = ComboBox2->Text();
    const bool enable = kind != simulacao::Beneficios[simulacao::kAuxilioDoenca] &&
                        kind != simulacao::Beneficios[simulacao::kInvalidez];
    for (TEdit* e : {Edit10, Edit11, Edit12, Edit13, Edit14, Edit15, Edit16, Edit17, Edit18})
        e->SetEnabled(enable);
    Ck8213->SetEnabled(enable);
    Ck9876->SetEnabled(enable);
}

// ---- the calculation steps ----------------------------------------------------------

simulacao::TSimInput TForm6::Entrada() const {
    simulacao::TSimInput in;
    in.ComboBox2 = ComboBox2->Text();
    in.masculino = RBMasculino->Checked();
    in.MaskEdit3 = MaskEdit3->Text();
    in.MaskEdit1 = MaskEdit1->Text();
    in.MaskEdit2 = MaskEdit2->Text();
    in.Edit9 = Edit9->Text();
    in.Edit8 = Edit8->Text();
    in.Edit6 = Edit6->Text();
    in.Edit1 = Edit1->Text();
    return in;
}

simulacao::TSimTables TForm6::Tabelas() {
    simulacao::TSimTables t;
    t.indicegrid = wizard_links::TableCells("indicegrid");
    t.grid98 = wizard_links::TableCells("grid98");
    t.gridsvida = wizard_links::TableCells("gridsvida");
    t.Gridcoeficientes = wizard_links::TableCells("Gridcoeficientes");
    t.gridiinss = wizard_links::TableCells("gridiinss");
    t.GridSalmin = wizard_links::TableCells("GridSalmin");
    t.Gridcrmensal = wizard_links::TableCells("Gridcrmensal");
    t.INPCGrid = wizard_links::TableCells("INPCGrid");
    return t;
}

namespace {

// Refreshes the grids once the step is over, whether it finished or stopped.
class TRefresh {
public:
    TRefresh(std::initializer_list<TStringAlignGrid*> grids) : grids_(grids) {}
    ~TRefresh() {
        for (TStringAlignGrid* g : grids_)
            if (g) g->MatrixChanged();
    }

private:
    std::vector<TStringAlignGrid*> grids_;
};

} // namespace

void TForm6::SerieDeIndices() {
    // Without tabela.tab the series comes from the salary-correction table
    // the program ships, carried to the end month as the wizard does.
    if (FileExists(wizard_links::DataFile("tabela.tab"))) return;
    TDateTime end;
    if (Form8 && TryStrToDate(MaskEdit2->Text(), end)) wizard_links::geraindicex(DateToStr(end));
}

void TForm6::criaindice() {
    SerieDeIndices();
    TRefresh refresh{geralgrid, salariogrid, Form8 ? Form8->INPCGrid : nullptr};
    Step([&] {
        simulacao::criaindice(geralgrid->Matrix(), &salariogrid->Matrix(), nullptr, Tabelas(),
                              Entrada());
    });
}

void TForm6::criaindice2() {
    SerieDeIndices();
    TRefresh refresh{geralgrid, griddemo, Form8 ? Form8->INPCGrid : nullptr};
    Step([&] {
        simulacao::criaindice(geralgrid->Matrix(), nullptr, &griddemo->Matrix(), Tabelas(),
                              Entrada());
    });
}

void TForm6::calcSalCorrigido() {
    TRefresh refresh{geralgrid};
    Step([&] {
        simulacao::calcSalCorrigido(geralgrid->Matrix(), salariogrid->Matrix(), Tabelas());
    });
}

void TForm6::calcSalCorrigido98() {
    TRefresh refresh{geralgrid2};
    Step([&] {
        simulacao::calcSalCorrigido98(geralgrid2->Matrix(), salariogrid->Matrix(), Tabelas());
    });
}

void TForm6::calcAtual() {
    TRefresh refresh{geralgrid, griddemo};
    Step([&] {
        simulacao::calcAtual(geralgrid->Matrix(), griddemo->Matrix(), Tabelas(), Entrada(),
                             Resultados);
    });
}

void TForm6::calc99() {
    TRefresh refresh{geralgrid, griddemo};
    Step(
        [&] { simulacao::calc99(geralgrid->Matrix(), griddemo->Matrix(), Tabelas(), Entrada(), Resultados); });
}

void TForm6::calcEC20() {
    TRefresh refresh{geralgrid2, griddemo, gridcorrecao};
    Step([&] {
        simulacao::calcEC20(geralgrid2->Matrix(), griddemo->Matrix(), gridcorrecao->Matrix(),
                            Tabelas(), Entrada(), Resultados);
    });
}

long double TForm6::fatorx(const std::string& years, const std::string& months,
                           const std::string& rate, const std::string& days) {
    return Step([&] {
        return simulacao::fatorx(Entrada(), Tabelas(), years, months, rate, days, Resultados);
    });
}

std::string TForm6::coeficientex(const std::string& kind, bool male, long double time,
                                 long double salary) {
    return Step(
        [&] { return simulacao::coeficientex(Tabelas(), kind, male, time, salary, Resultados); });
}

// ---- the whole simulation and its report ---------------------------------------------
