// The contribution-time form's tabs, its handlers and the module's
// operations around the core.
#include "simulation/contribution_time_form.h"

#include <algorithm>
#include <cmath>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/arith.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/help_text_form.h"
#include "revision/shared_helpers.h"
#include "revision/wizard_links.h"
#include "simulation/conversion_form.h"
#include "simulation/date_reentry_form.h"
#include "simulation/grace_periods_form.h"
#include "simulation/simulation_core.h"
#include "tables/cell_errors.h"

TForm2* Form2 = nullptr;

namespace {

constexpr int kEditH = 21;
const char* const kStateFile = "temp.back";
const char* const kDateMask = "!99/99/0000;1";

TMaskEdit* NewDate(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                   int top) {
    TMaskEdit* edit = Make<TMaskEdit>(owner, parent, name);
    edit->SetEditMask("!99/99/0000;1;_");
    edit->SetText("  /  /    ");
    edit->SetBounds(left, top, 88, kEditH);
    edit->SetTabStop(true);
    return edit;
}

bool IsDateHeader(const std::string& header) {
    return header == "Data Inicial" || header == "Data Final";
}

// A step of the core that cannot go on: its message, then the silent stop.
template <class F> void Step(F&& f) {
    try {
        f();
    } catch (const soma::ESomaError& e) {
        ShowMessage(e.Message);
        Abort();
    }
}

} // namespace

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form2");
    SetCaption("Soma do Tempo de Contribuição");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(640);
    SetClientHeight(440);

    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetCaption("");
    Panel1->SetHeight(40);
    Panel1->SetAlign(TAlign::alTop);
    SpeedButton9 =
        MakeCaptioned<TRxSpeedButton>(this, Panel1, "SpeedButton9", "Novo", 8, 6, 84, 28);
    SpeedButton12 =
        MakeCaptioned<TRxSpeedButton>(this, Panel1, "SpeedButton12", "Abrir", 96, 6, 84, 28);
    SpeedButton14 =
        MakeCaptioned<TRxSpeedButton>(this, Panel1, "SpeedButton14", "Prazos", 184, 6, 84, 28);
    SpeedButton15 =
        MakeCaptioned<TRxSpeedButton>(this, Panel1, "SpeedButton15", "Fator", 272, 6, 84, 28);
    SpeedButton16 =
        MakeCaptioned<TRxSpeedButton>(this, Panel1, "SpeedButton16", "Sair", 548, 6, 84, 28);

    Panel2 = Make<TPanel>(this, this, "Panel2");
    Panel2->SetCaption("");
    Panel2->SetHeight(40);
    Panel2->SetAlign(TAlign::alBottom);
    SpeedButton1 =
        MakeCaptioned<TRxSpeedButton>(this, Panel2, "SpeedButton1", "&Anterior", 344, 6, 92, 28);
    SpeedButton2 =
        MakeCaptioned<TRxSpeedButton>(this, Panel2, "SpeedButton2", "&Próximo", 440, 6, 92, 28);
    SpeedButton3 =
        MakeCaptioned<TRxSpeedButton>(this, Panel2, "SpeedButton3", "&Finaliza", 540, 6, 92, 28);

    PageControl1 = Make<TPageControl>(this, this, "PageControl1");
    PageControl1->SetAlign(TAlign::alClient);
    BuildPages();
    PageControl1->SetPageIndex(0);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    SpeedButton1->OnClick = [this](TObject* Sender) { SpeedButton1Click(Sender); };
    // The date edit is the picker: a date picked or typed whole is its close-up.
    DateTimePicker1->OnChange = [this](TObject* Sender) { DateTimePicker1CloseUp(Sender); };
    DateTimePicker2->OnChange = [this](TObject* Sender) { DateTimePicker2Change(Sender); };
    MaskEdit1->OnExit = [this](TObject* Sender) { MaskEdit1Exit(Sender); };
    MaskEdit2->OnExit = [this](TObject* Sender) { MaskEdit2Exit(Sender); };
    IconGrid3->OnGetEditMask = [this](TObject* Sender, int ACol, int ARow, std::string& Value) {
        IconGrid3GetEditMask(Sender, ACol, ARow, Value);
    };
    auto grid1Mask = [this](TObject* Sender, int ACol, int ARow, std::string& Value) {
        IconGrid1GetEditMask(Sender, ACol, ARow, Value);
    };
    IconGrid1->OnGetEditMask = grid1Mask;
    IconGrid2->OnGetEditMask = grid1Mask;
    IconGrid3->OnSelectCell = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        IconGrid3SelectCell(Sender, ACol, ARow, CanSelect);
    };
    IconGrid3->OnSetEditText = [this](TObject* Sender, int ACol, int ARow,
                                      const std::string& Value) {
        IconGrid3SetEditText(Sender, ACol, ARow, Value);
    };
    IconGrid3->OnValidateEdit = [this](TObject* Sender, int ACol, int ARow, bool& Valid) {
        IconGrid3ValidateEdit(Sender, ACol, ARow, Valid);
    };
    IconGrid1->OnSetEditText = [this](TObject* Sender, int ACol, int ARow,
                                      const std::string& Value) {
        IconGrid1SetEditText(Sender, ACol, ARow, Value);
    };
    SpeedButton4->OnClick = [this](TObject* Sender) { SpeedButton4Click(Sender); };
    SpeedButton5->OnClick = [this](TObject* Sender) { SpeedButton5Click(Sender); };
    SpeedButton6->OnClick = [this](TObject* Sender) { SpeedButton6Click(Sender); };
    SpeedButton7->OnClick = [this](TObject* Sender) { SpeedButton7Click(Sender); };
    SpeedButton8->OnClick = [this](TObject* Sender) { SpeedButton8Click(Sender); };
    SpeedButton12->OnClick = [this](TObject* Sender) { SpeedButton12Click(Sender); };
    SpeedButton14->OnClick = [this](TObject* Sender) { SpeedButton14Click(Sender); };
    SpeedButton15->OnClick = [this](TObject* Sender) { SpeedButton15Click(Sender); };
    SpeedButton16->OnClick = [this](TObject* Sender) { SpeedButton16Click(Sender); };
}

void TForm2::BuildPages() {
    auto sheet = [this](const char* name, const char* caption) {
        TTabSheet* page = Make<TTabSheet>(this, nullptr, name);
        page->SetPageControl(PageControl1);
        page->SetCaption(caption);
        return page;
    };
    TabSheet1 = sheet("TabSheet1", "Dados do Segurado");
    TabSheet2 = sheet("TabSheet2", "Opções");
    TabSheet3 = sheet("TabSheet3", "Períodos de Contribuição");
    TabSheet4 = sheet("TabSheet4", "");
    TabSheet5 = sheet("TabSheet5", "");
    TabSheet4->SetTabVisible(false);
    TabSheet5->SetTabVisible(false);

    // Dados do Segurado
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label1", "Número", 16, 14);
    Edit1 = MakeAt<TEdit>(this, TabSheet1, "Edit1", 16, 32, 120, kEditH);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label2", "Nome", 152, 14);
    Edit2 = MakeAt<TEdit>(this, TabSheet1, "Edit2", 152, 32, 460, kEditH);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label3", "Endereço", 16, 62);
    Edit4 = MakeAt<TEdit>(this, TabSheet1, "Edit4", 16, 80, 460, kEditH);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label4", "UF", 492, 62);
    ComboBox1 = Make<TComboBox>(this, TabSheet1, "ComboBox1");
    for (const char* uf :
         {"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT", "PA",
          "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"})
        ComboBox1->Items.Add(uf);
    ComboBox1->SetBounds(492, 80, 64, kEditH);
    ComboBox1->SetTabStop(true);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label5", "Cidade", 16, 110);
    Edit5 = MakeAt<TEdit>(this, TabSheet1, "Edit5", 16, 128, 280, kEditH);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label6", "Profissão", 312, 110);
    Edit7 = MakeAt<TEdit>(this, TabSheet1, "Edit7", 312, 128, 300, kEditH);
    GroupBox1 = MakeCaptioned<TGroupBox>(this, TabSheet1, "GroupBox1", "Sexo ", 16, 164, 200, 76);
    RadioButton1 = Make<TRadioButton>(this, GroupBox1, "RadioButton1");
    RadioButton1->SetCaption("Masculino");
    RadioButton1->SetBounds(14, 22, 120, 20);
    RadioButton1->SetChecked(true);
    RadioButton2 = Make<TRadioButton>(this, GroupBox1, "RadioButton2");
    RadioButton2->SetCaption("Feminino");
    RadioButton2->SetBounds(14, 46, 120, 20);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label7", "Data do Nascimento", 236, 164);
    MaskEdit1 = NewDate(this, TabSheet1, "MaskEdit1", 236, 182);
    DateTimePicker1 = Make<TDateEdit>(this, TabSheet1, "DateTimePicker1");
    DateTimePicker1->SetBounds(332, 182, 112, kEditH);
    MakeCaptionedAt<TLabel>(this, TabSheet1, "Label8", "Data do Requerimento", 236, 212);
    MaskEdit2 = NewDate(this, TabSheet1, "MaskEdit2", 236, 230);
    DateTimePicker2 = Make<TDateEdit>(this, TabSheet1, "DateTimePicker2");
    DateTimePicker2->SetBounds(332, 230, 112, kEditH);

    // Opções
    GroupBox2 = MakeCaptioned<TGroupBox>(this, TabSheet2, "GroupBox2", "Atividade Concomitantes ",
                                         16, 12, 280, 76);
    RadioButton5 = Make<TRadioButton>(this, GroupBox2, "RadioButton5");
    RadioButton5->SetCaption("Calcular juntas");
    RadioButton5->SetBounds(14, 22, 240, 20);
    RadioButton5->SetChecked(true);
    RadioButton6 = Make<TRadioButton>(this, GroupBox2, "RadioButton6");
    RadioButton6->SetCaption("Calcular separadamente");
    RadioButton6->SetBounds(14, 46, 240, 20);
    GroupBox3 = MakeCaptioned<TGroupBox>(this, TabSheet2, "GroupBox3", "Opções de Cálculo", 16, 100,
                                         600, 150);
    SpeedButton8 = MakeCaptioned<TRxSpeedButton>(this, GroupBox3, "SpeedButton8", "Configurar ->",
                                                 480, 20, 104, 28);
    auto box = [this](const char* name, const char* caption, int top, bool checked) {
        TCheckBox* b = Make<TCheckBox>(this, GroupBox3, name);
        b->SetCaption(caption);
        b->SetBounds(14, top, 440, 20);
        b->SetChecked(checked);
        b->SetTabStop(true);
        return b;
    };
    ckpedagio = box("ckpedagio", "Calcular Pedágio", 24, true);
    Ck9876 = box("Ck9876", "Calcular Lei 9.876", 50, true);
    Ck20 = box("Ck20", "Calcular Emenda Constitucional 20", 76, true);
    for (TCheckBox* b : {ckpedagio, Ck9876, Ck20})
        b->SetEnabled(false);
    simulaRMI = box("simulaRMI", "Simular cálculo de renda mensal", 112, false);

    // Períodos de Contribuição
    IconGrid3 = Make<TIconGrid>(this, TabSheet3, "IconGrid3");
    IconGrid3->SetColCount(5);
    IconGrid3->SetRowCount(10);
    IconGrid3->SetFixedCols(0);
    IconGrid3->SetFixedRows(1);
    IconGrid3->SetDefaultRowHeight(20);
    IconGrid3->SetBounds(8, 8, 616, 268);
    const int widths[5] = {170, 150, 90, 90, 70};
    for (int c = 0; c < 5; ++c) {
        IconGrid3->SetColWidths(c, widths[c]);
        IconGrid3->SetCells(c, 0, soma::PeriodoHeaders[c]);
    }
    IconGrid3->SetOptions(IconGrid3->Options() | goEditing | goTabs | goRowMoving);
    IconGrid3->AutoEditNextCell = true;
    IconGrid3->AfterLastCellTab = lc_newcolrow;
    SpeedButton4 = MakeCaptioned<TRxSpeedButton>(this, TabSheet3, "SpeedButton4", "Apagar linha", 8,
                                                 284, 104, 28);
    SpeedButton5 = MakeCaptioned<TRxSpeedButton>(this, TabSheet3, "SpeedButton5", "Remover linha",
                                                 116, 284, 104, 28);
    SpeedButton6 = MakeCaptioned<TRxSpeedButton>(this, TabSheet3, "SpeedButton6", "Inserir linha",
                                                 224, 284, 104, 28);
    SpeedButton7 = MakeCaptioned<TRxSpeedButton>(this, TabSheet3, "SpeedButton7",
                                                 "Inserir linha abaixo", 332, 284, 136, 28);
    MakeCaptionedAt<TLabel>(this, TabSheet3, "Label9", "Fonte:", 508, 290);
    Cfont = Make<TComboBox>(this, TabSheet3, "Cfont");
    for (const char* item : {"12", "10", "8", "7"})
        Cfont->Items.Add(item);
    Cfont->SetText("10");
    Cfont->SetBounds(552, 287, 56, kEditH);

    IconGrid1 = Make<TIconGrid>(this, TabSheet4, "IconGrid1");
    IconGrid1->SetColCount(7);
    IconGrid1->SetRowCount(2);
    IconGrid1->SetFixedCols(0);
    IconGrid1->SetDefaultRowHeight(20);
    IconGrid1->SetAlign(TAlign::alClient);
    for (int c = 0; c < 5; ++c) {
        IconGrid1->SetColWidths(c, widths[c]);
        IconGrid1->SetCells(c, 0, soma::PeriodoHeaders[c]);
    }
    IconGrid1->SetColWidths(5, 130);

    IconGrid2 = Make<TIconGrid>(this, TabSheet5, "IconGrid2");
    IconGrid2->SetColCount(15);
    IconGrid2->SetRowCount(3);
    IconGrid2->SetFixedCols(0);
    IconGrid2->SetFixedRows(2);
    IconGrid2->SetDefaultRowHeight(20);
    IconGrid2->SetDefaultColWidth(44);
    IconGrid2->SetAlign(TAlign::alClient);
    for (int c = 0; c < 4; ++c)
        IconGrid2->SetColWidths(c, c < 2 ? 120 : 76);
    for (int c = 0; c < 15; ++c)
        IconGrid2->SetCells(c, 1, soma::RelatorioHeaders[c]);
    const std::pair<int, const char*> groups[] = {{0, "Período"},    {4, "Tempo"},
                                                  {5, " Comum"},     {9, "Tempo"},
                                                  {10, " Especial"}, {12, "Diferença"}};
    for (const auto& [col, title] : groups)
        IconGrid2->SetCells(col, 0, title);
}

// ---- handlers ------------------------------------------------------------------------

void TForm2::FormCreate(TObject*) {
    page_ = 0;
}

void TForm2::FormShow(TObject*) {
    selRow_ = 0;
    page_ = 0;
}

void TForm2::SpeedButton1Click(TObject*) {
    if (page_ > 0) {
        --page_;
        PageControl1->SetPageIndex(page_);
    }
}

void TForm2::DateTimePicker1CloseUp(TObject*) {
    // A date still being typed in the picker is not copied.
    if (DateTimePicker1->HasDateText() && DateTimePicker1->Date() != DateUtil::NoDate)
        MaskEdit1->SetText(DateToStr(DateTimePicker1->Date()));
}

void TForm2::DateTimePicker2CloseUp(TObject*) {
    if (DateTimePicker2->HasDateText() && DateTimePicker2->Date() != DateUtil::NoDate)
        MaskEdit2->SetText(DateToStr(DateTimePicker2->Date()));
}

void TForm2::DateTimePicker2Change(TObject* Sender) {
    DateTimePicker2CloseUp(Sender);
}

void TForm2::DateExit(TMaskEdit* edit) {
    if (tbStrIsDate(edit->Text())) return;
    ShowMessage(edit->Text() + " NÃO é data válida.");
    edit->SetFocus();
}

void TForm2::MaskEdit1Exit(TObject*) {
    DateExit(MaskEdit1);
}

void TForm2::MaskEdit2Exit(TObject*) {
    DateExit(MaskEdit2);
}

void TForm2::IconGrid3GetEditMask(TObject*, int ACol, int, std::string& Value) {
    if (IsDateHeader(IconGrid3->Cells(ACol, 0))) Value = kDateMask;
}

void TForm2::IconGrid1GetEditMask(TObject*, int ACol, int, std::string& Value) {
    if (IsDateHeader(IconGrid1->Cells(ACol, 0))) Value = kDateMask;
}

void TForm2::IconGrid3SelectCell(TObject*, int ACol, int ARow, bool&) {
    selRow_ = ARow;
    selCol_ = ACol;
}

void TForm2::IconGrid3SetEditText(TObject*, int ACol, int ARow, const std::string&) {
    editRow_ = ARow;
    editCol_ = ACol;
    const std::string factor = IconGrid3->Cells(4, ARow);
    if (!simulacao::checkinteiro(factor)) return;
    try {
        IconGrid3->SetCells(4, ARow, simulacao::formatfloatx("0.00#", RemovePonto(factor)));
    } catch (const EConvertError&) {
        // Whichever cell of the row was edited; the cell keeps what was typed.
        // Shown, not raised: the grid is still writing the editor's text.
        ShowMessage(CellValueMessage(IntToStr(ARow), "Fator", factor));
    }
}

void TForm2::IconGrid3ValidateEdit(TObject*, int ACol, int ARow, bool& Valid) {
    Valid = true;
    if (!IsDateHeader(IconGrid3->Cells(ACol, 0))) return;
    // A date with a field that is no number raises the conversion error; the
    // cell keeps what was typed.
    IconGrid3->SetCells(ACol, ARow, validadata(IconGrid3->Cells(ACol, ARow)));
}

void TForm2::IconGrid1SetEditText(TObject*, int ACol, int ARow, const std::string&) {
    (void)ACol;
    for (int c : {2, 3})
        if (IconGrid1->Cells(c, ARow) == "  /  /    ") IconGrid1->SetCells(c, ARow, "");
    for (int c : {2, 3}) {
        const std::string text = IconGrid1->Cells(c, ARow);
        if (tbStrIsDate(text)) continue;
        Form5->MaskEdit1->SetText(text);
        IconGrid1->SetCells(c, ARow, "");
        Form5->linhaini = c == 2 ? ARow : 0;
        Form5->linhafim = c == 3 ? ARow : 0;
        Form5->Show();
        return; // one date at a time
    }
}

int TForm2::RowForButtons() const {
    // Until a cell is chosen the buttons act on the grid's current row, never
    // on its header.
    int row = selRow_;
    if (row < IconGrid3->FixedRows() || row >= IconGrid3->RowCount()) row = IconGrid3->Row();
    return row >= IconGrid3->FixedRows() && row < IconGrid3->RowCount() ? row : -1;
}

void TForm2::SpeedButton4Click(TObject*) {
    const int row = RowForButtons();
    if (row < 0) return;
    for (int c = 0; c < IconGrid3->ColCount(); ++c)
        IconGrid3->SetCells(c, row, "");
}

void TForm2::SpeedButton5Click(TObject*) {
    const int row = RowForButtons();
    if (row >= 0 && IconGrid3->RowCount() > 2) IconGrid3->RemoveRow(row);
}

void TForm2::SpeedButton6Click(TObject*) {
    const int row = RowForButtons();
    if (row >= 0) IconGrid3->InsertRow(row);
}

void TForm2::SpeedButton7Click(TObject*) {
    const int row = RowForButtons();
    if (row >= 0) IconGrid3->InsertRow(row + 1);
}

void TForm2::SpeedButton8Click(TObject*) {
    if (Form7) Form7->Show();
}

TOpenDialog* TForm2::OpenDialog() {
    // The main window's "STC|*.stc" dialog; a dialog of its own when the form
    // lives without one.
    if (TForm* main = Screen->FindForm("Form1"))
        if (auto* dialog = dynamic_cast<TOpenDialog*>(main->FindComponent("OpenDialog1")))
            return dialog;
    if (!ownOpenDialog_) {
        ownOpenDialog_ = new TOpenDialog(this);
        ownOpenDialog_->Filter = "STC|*.stc";
        ownOpenDialog_->DefaultExt = "stc";
    }
    return ownOpenDialog_;
}

void TForm2::SpeedButton12Click(TObject*) {
    TOpenDialog* dialog = OpenDialog();
    if (!dialog->Execute()) return;
    const std::string fileName = dialog->FileName;
    std::vector<std::string> lines;
    try {
        TTextFileReader in(fileName);
        while (!in.Eof())
            lines.push_back(in.Readln());
    } catch (const EInOutError&) {
        ShowMessage("Não foi possível ler o arquivo " + fileName + ".");
        Abort();
    }
    soma::TSomaEstado estado;
    Step([&] { estado = soma::LerEstado(lines, ExtractFileName(fileName)); });
    AplicaEstado(estado);
    Show();
}

void TForm2::SpeedButton14Click(TObject*) {
    if (Form3) Form3->Show();
}

void TForm2::SpeedButton15Click(TObject*) {
    if (Form4) Form4->Show();
}

void TForm2::SpeedButton16Click(TObject*) {
    Close();
}

// ---- state file ------------------------------------------------------------------------

soma::TSomaEstado TForm2::Estado() const {
    soma::TSomaEstado e;
    e.Edit1 = Edit1->Text();
    e.Edit2 = Edit2->Text();
    e.Edit4 = Edit4->Text();
    e.Edit5 = Edit5->Text();
    e.Edit7 = Edit7->Text();
    e.MaskEdit2 = MaskEdit2->Text();
    e.MaskEdit1 = MaskEdit1->Text();
    e.ComboBox1 = ComboBox1->Text();
    e.masculino = RadioButton1->Checked();
    // The count and the rows come from the same grid, so the file always
    // reads back as written.
    const TCellMatrix& grid = IconGrid3->Matrix();
    e.rowCount = grid.RowCount();
    for (int r = 0; r < grid.RowCount(); ++r) {
        if (grid.Cell(2, r).empty()) continue;
        std::array<std::string, 5> row;
        for (int c = 0; c < 5; ++c)
            row[c] = grid.Cell(c, r);
        e.linhas.push_back(row);
    }
    e.juntos = RadioButton5->Checked();
    return e;
}

void TForm2::AplicaEstado(const soma::TSomaEstado& e) {
    Edit1->SetText(e.Edit1);
    Edit2->SetText(e.Edit2);
    Edit4->SetText(e.Edit4);
    Edit5->SetText(e.Edit5);
    Edit7->SetText(e.Edit7);
    // The picker first: its change handler copies its own date into the field.
    TDateTime d;
    if (TryStrToDate(e.MaskEdit2, d)) DateTimePicker2->SetDate(d);
    MaskEdit2->SetText(e.MaskEdit2);
    if (TryStrToDate(e.MaskEdit1, d)) DateTimePicker1->SetDate(d);
    MaskEdit1->SetText(e.MaskEdit1);
    ComboBox1->SetText(e.ComboBox1);
    ComboBox1->SetItemIndex(ComboBox1->Items.IndexOf(e.ComboBox1));
    if (e.masculino)
        RadioButton1->SetChecked(true);
    else
        RadioButton2->SetChecked(true);

    TCellMatrix& grid = IconGrid3->Matrix();
    grid.SetRowCount(e.rowCount);
    // The header stays unless the file brings its own.
    for (int r = 1; r < grid.RowCount(); ++r)
        for (int c = 0; c < 5; ++c)
            grid.SetCell(c, r, "");
    for (size_t r = 0; r < e.linhas.size(); ++r)
        for (int c = 0; c < 5; ++c)
            grid.SetCell(c, static_cast<int>(r), e.linhas[r][c]);
    TCellMatrix& organised = IconGrid1->Matrix();
    for (int r = 1; r < organised.RowCount(); ++r)
        for (int c = 0; c < organised.ColCount(); ++c)
            organised.SetCell(c, r, "");
    IconGrid3->MatrixChanged();
    IconGrid1->MatrixChanged();

    if (e.juntos)
        RadioButton5->SetChecked(true);
    else
        RadioButton6->SetChecked(true);
}

void TForm2::gravar() {
    // The writer replaces the file only once every line is written.
    TTextFileWriter out(wizard_links::DataFile(kStateFile));
    for (const std::string& line : soma::EstadoLinhas(Estado()))
        out.Writeln(line);
    out.Close();
}

// ---- the module's operations --------------------------------------------------------------

void TForm2::organiza() {
    Step(
        [&] { soma::organiza(IconGrid3->Matrix(), IconGrid1->Matrix(), RadioButton5->Checked()); });
    IconGrid3->MatrixChanged();
    IconGrid1->MatrixChanged();
}

void TForm2::sortcol() {
    Step([&] { soma::sortcol(IconGrid3->Matrix()); });
    IconGrid3->MatrixChanged();
}

void TForm2::EntreDatas(int& Y, int& M, int& D, TDateTime A, TDateTime B) {
    const soma::TTempo t = soma::EntreDatas(A, B);
    Y = t.Anos;
    M = t.Meses;
    D = t.Dias;
}

void TForm2::Split(const soma::TTempo& t) {
    SplitYears = t.Anos;
    SplitMonths = t.Meses;
    SplitDays = t.Dias;
}

void TForm2::pedagio(int R, int Y, int M, int D) {
    Step([&] { Split(soma::Divide(soma::DiasPedagio(R, Y, M, D))); });
}

void TForm2::apomaispedagio(int A, int Y, int M, int D) {
    Step([&] { Split(soma::Divide(soma::DiasApoMaisPedagio(A, Y, M, D))); });
}

void TForm2::cumprop(int Y1, int M1, int D1, int Y2, int M2, int D2) {
    Step([&] { Split(soma::Divide(soma::DiasCumprop(Y1, M1, D1, Y2, M2, D2))); });
}

void TForm2::apoint(int R, int Y, int M, int D) {
    Step([&] { Split(soma::Divide(soma::DiasApoint(R, Y, M, D))); });
}

void TForm2::Datafinalx(int Y, int M, long double factor, int D) {
    Step([&] { Split(soma::Divide(soma::DiasFator(Y, M, factor, D))); });
}

void TForm2::retornacerto(int64_t days) {
    Step([&] {
        const soma::TTempo t = soma::Divide(days);
        ExactYears = t.Anos;
        ExactMonths = t.Meses;
        ExactDays = t.Dias;
    });
}

void TForm2::cvx1() {
    Step([&] { Split(soma::Divide(TotalDays)); });
}

double TForm2::DifDias(TDateTime A, TDateTime B) {
    return soma::DifDias(A, B);
}

std::string TForm2::formatano(int n) {
    return soma::formatano(n);
}

std::string TForm2::formatmes(int n) {
    return soma::formatmes(n);
}

std::string TForm2::formatdia(int n) {
    return soma::formatdia(n);
}

std::string TForm2::tempocontribuicao(const std::string& years, const std::string& months,
                                      const std::string& days) {
    // Typed counts as whole numbers; absurd sizes are held to a billion.
    auto whole = [](const std::string& text) {
        return static_cast<int>(
            std::clamp<int64_t>(Trunc(simulacao::RemovePonto(text)), -1000000000, 1000000000));
    };
    return simulacao::tempocontribuicao(whole(years), whole(months), whole(days));
}

void TForm2::calculovisualizar() {}

void TForm2::impx() {
    const std::string path = wizard_links::DataFile("teste.html");
    TTextFileWriter out(path);
    for (const std::string& line : soma::LinhasTeste(IconGrid2->Matrix()))
        out.Writeln(line);
    out.Close();
    if (FileExists(path)) wizard_links::ShowReport(path);
}

void TForm2::finalvisualizar() {
    if (relatorioFinal) {
        relatorioFinal->Writeln("</font></td></tr></table></div></body></html>");
        relatorioFinal->Close();
        relatorioFinal.reset();
    }
    const std::string path = wizard_links::DataFile("apos.html");
    if (FileExists(path)) wizard_links::ShowReport(path);
}

// ---- shared routines -------------------------------------------------------------------------

std::string TForm2::validadata(const std::string& text) {
    return revisao::validadata(text);
}

bool TForm2::Bissexto(int year) {
    return revisao::Bissexto(year);
}

bool TForm2::tbStrIsDate(const std::string& text) {
    return soma::DataOuVazio(text);
}

long double TForm2::RemovePonto(const std::string& text) {
    std::string kept;
    for (char c : text)
        if ((c >= '0' && c <= '9') || c == ',' || c == '-') kept += c;
    const long double value = StrToFloat(kept);
    // Thousands of digits overflow: no infinity reaches a cell.
    if (!std::isfinite(value))
        throw EConvertError("'" + kept + "' não é um número válido");
    return value;
}
