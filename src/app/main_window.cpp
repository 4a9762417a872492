#include "app/main_window.h"

#include <cerrno>
#include <functional>

#include "app/about_box.h"
#include "app/desktop.h"
#include "app/toolbar_glyphs.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "grids/align_grid.h"
#include "html/view/print_preview.h"
#include "platform/gui/application.h"
#include "platform/net/http.h"
#include "platform/runtime/arith.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "platform/runtime/text_file.h"
#include "revision/arrears_wizard.h"
#include "revision/prop_form.h"
#include "revision/report_font.h"
#include "revision/state_values.h"
#include "revision/wizard_links.h"
#include "revision/wizard_state_file.h"
#include "simulation/conversion_form.h"
#include "simulation/grace_periods_form.h"
#include "tables/startup_tables.h"

TForm1* Form1 = nullptr;

namespace {

// A component that is no control (dialogs, menus), named.
template <class T>
T* Named(TComponent* owner, const std::string& name) {
    auto* component = new T(owner);
    component->SetName(name);
    return component;
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& name, const std::string& caption) {
    auto* item = new TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TComboBox* MarginBox(TComponent* owner, TWinControl* parent, const std::string& name) {
    auto* box = Make<TComboBox>(owner, parent, name);
    for (const char* item : {"1", "2", "3", "4"}) box->Items.Add(item);
    box->SetText("2");
    return box;
}

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form1");
    SetCaption("Velorim - Revisão de Benefício Free");
    SetClientWidth(800);
    SetClientHeight(560);
    SetPosition(TPosition::poDesktopCenter);
    SetWindowState(TWindowState::wsMaximized);

    // Toolbar: a page control whose first page holds the commands and the
    // second the report's font and print margins.
    PageControl1 = Make<TPageControl>(this, this, "PageControl1");
    PageControl1->MultiLine = true;
    PageControl1->HotTrack = true;
    PageControl1->SetHeight(82);
    PageControl1->SetAlign(TAlign::alTop);
    TabSheet1 = Make<TTabSheet>(this, nullptr, "TabSheet1");
    TabSheet1->SetCaption("Revisional");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet2 = Make<TTabSheet>(this, nullptr, "TabSheet2");
    TabSheet2->SetCaption("Configurações");
    TabSheet2->SetPageControl(PageControl1);

    auto button = [this](const std::string& name, const std::string& caption, TToolbarGlyph glyph, int left) {
        auto* b = Make<TRxSpeedButton>(this, TabSheet1, name);
        b->SetCaption(caption);
        b->SetGlyph(ToolbarGlyph(glyph));
        b->SetFlat(true);
        b->SetGrayedInactive(false);
        b->SetBounds(left, 2, 68, 48);
        return b;
    };
    BtnRevisaoNovo = button("BtnRevisaoNovo", "Novo", TToolbarGlyph::Novo, 4);
    SpeedButton20 = button("SpeedButton20", "Editar", TToolbarGlyph::Editar, 74);
    SpeedButton17 = button("SpeedButton17", "A. Backup", TToolbarGlyph::Backup, 144);
    SpeedButton18 = button("SpeedButton18", "Abrir", TToolbarGlyph::Abrir, 214);
    SpeedButton19 = button("SpeedButton19", "Salvar", TToolbarGlyph::Salvar, 284);
    SpeedButton1 = button("SpeedButton1", "Impressão", TToolbarGlyph::Impressao, 366);
    SpeedButton21 = button("SpeedButton21", "Sair", TToolbarGlyph::Sair, 448);

    GroupBox1 = Make<TGroupBox>(this, TabSheet2, "GroupBox1");
    GroupBox1->SetCaption("Fonte do relatório");
    GroupBox1->SetBounds(4, 0, 334, 50);
    Label1 = Make<TLabel>(this, GroupBox1, "Label1");
    Label1->SetCaption("Nome");
    Label1->SetBounds(8, 22, 32, 13);
    Cnomefont = Make<TComboBox>(this, GroupBox1, "Cnomefont");
    Cnomefont->SetBounds(42, 18, 170, 21);
    Cnomefont->DropDownCount = 16;
    Cnomefont->SetText("Arial");
    Label2 = Make<TLabel>(this, GroupBox1, "Label2");
    Label2->SetCaption("Tamanho");
    Label2->SetBounds(222, 22, 52, 13);
    Cfont = Make<TComboBox>(this, GroupBox1, "Cfont");
    Cfont->SetBounds(278, 18, 48, 21);
    for (const char* item : {"12", "11", "10", "9", "8", "7"}) Cfont->Items.Add(item);
    Cfont->SetText("8");

    GroupBox2 = Make<TGroupBox>(this, TabSheet2, "GroupBox2");
    GroupBox2->SetCaption("Margens de impressão (cm)");
    GroupBox2->SetBounds(346, 0, 442, 50);
    auto margin = [this](TLabel*& label, const std::string& labelName, const std::string& caption, TComboBox*& box,
                         const std::string& name, int left) {
        label = Make<TLabel>(this, GroupBox2, labelName);
        label->SetCaption(caption);
        label->SetBounds(left, 22, 56, 13);
        box = MarginBox(this, GroupBox2, name);
        box->SetBounds(left + 58, 18, 44, 21);
    };
    margin(Label3, "Label3", "Superior", Ctop, "Ctop", 8);
    margin(Label4, "Label4", "Inferior", Cbotton, "Cbotton", 116);
    margin(Label5, "Label5", "Esquerda", Cleft, "Cleft", 224);
    margin(Label6, "Label6", "Direita", Crigth, "Crigth", 332);

    HTMLViewer1 = Make<THTMLViewer>(this, this, "HTMLViewer1");
    HTMLViewer1->SetAlign(TAlign::alClient);
    HTMLViewer1->SetDefBackground(clWhite);
    HTMLViewer1->SetDefFontName("Times New Roman");
    HTMLViewer1->SetDefPreFontName("Courier New");
    HTMLViewer1->SetHistoryMaxCount(0);

    // Line buffers and controls no command shows.
    Memofont = Make<TMemo>(this, this, "Memofont");
    Memofont->SetVisible(false);
    Memo1 = Make<TMemo>(this, this, "Memo1");
    Memo1->SetVisible(false);
    Edit1 = Make<TEdit>(this, this, "Edit1");
    Edit1->SetVisible(false);

    OpenDialog1 = Named<TOpenDialog>(this, "OpenDialog1");
    OpenDialog1->Filter = "STC|*.stc";
    OpenDialog1->DefaultExt = "stc";
    OpenDialog2 = Named<TOpenDialog>(this, "OpenDialog2");
    OpenDialog2->Filter = "Bev|*.bev";
    OpenDialog2->DefaultExt = "bev";
    SaveDialog1 = Named<TSaveDialog>(this, "SaveDialog1");
    SaveDialog2 = Named<TSaveDialog>(this, "SaveDialog2");
    SaveDialog2->Filter = "Bev|*.bev";
    SaveDialog2->DefaultExt = "bev";
    SaveDialog2->Options |= ofOverwritePrompt;
    FontDialog1 = Named<TFontDialog>(this, "FontDialog1");
    PrinterSetupDialog1 = Named<TPrinterSetupDialog>(this, "PrinterSetupDialog1");

    MainMenu1 = Named<TMainMenu>(this, "MainMenu1");
    TMenuItem* root = MainMenu1->Items();
    Editar1 = AddItem(this, root, "Editar1", "&Editar");
    Selecionartudo1 = AddItem(this, Editar1, "Selecionartudo1", "Selecionar tudo");
    Selecionartudo1->SetShortCut(TextToShortCut("Ctrl+T"));
    Copiar1 = AddItem(this, Editar1, "Copiar1", "Copiar");
    Copiar1->SetShortCut(TextToShortCut("Ctrl+C"));
    ConfigurarImpresso1 = AddItem(this, Editar1, "ConfigurarImpresso1", "Configurar Impressão");
    ndices1 = AddItem(this, Editar1, "ndices1", "Índices");
    ndices1->SetVisible(false);
    Sobre1 = AddItem(this, root, "Sobre1", "&Sobre");
    Ajuda1 = AddItem(this, Sobre1, "Ajuda1", "Ajuda");
    Ajuda1->SetVisible(false);
    Sobre2 = AddItem(this, Sobre1, "Sobre2", "Sobre");
    Atualizaes1 = AddItem(this, root, "Atualizaes1", "Atualizações");
    SiteBravenaSoftware1 = AddItem(this, Atualizaes1, "SiteBravenaSoftware1", "Site - Bravena Software");
    Ajuda2 = AddItem(this, root, "Ajuda2", "Ajuda");
    AjudanositedaBravenaSoftware1 =
        AddItem(this, Ajuda2, "AjudanositedaBravenaSoftware1", "Ajuda no site da Bravena Software");
    SetMenu(MainMenu1);

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    BtnRevisaoNovo->OnClick = [this](TObject* Sender) { BtnRevisaoNovoClick(Sender); };
    SpeedButton20->OnClick = [this](TObject* Sender) { SpeedButton20Click(Sender); };
    SpeedButton17->OnClick = [this](TObject* Sender) { SpeedButton17Click(Sender); };
    SpeedButton18->OnClick = [this](TObject* Sender) { SpeedButton18Click(Sender); };
    SpeedButton19->OnClick = [this](TObject* Sender) { SpeedButton19Click(Sender); };
    SpeedButton1->OnClick = [this](TObject* Sender) { SpeedButton1Click(Sender); };
    SpeedButton21->OnClick = [this](TObject* Sender) { SpeedButton4Click(Sender); };
    Selecionartudo1->OnClick = [this](TObject* Sender) { Selecionartudo1Click(Sender); };
    Copiar1->OnClick = [this](TObject* Sender) { Copiar1Click(Sender); };
    ConfigurarImpresso1->OnClick = [this](TObject* Sender) { ConfigurarImpresso1Click(Sender); };
    ndices1->OnClick = [this](TObject* Sender) { ndices1Click(Sender); };
    Ajuda1->OnClick = [this](TObject* Sender) { Ajuda1Click(Sender); };
    Sobre2->OnClick = [this](TObject* Sender) { Sobre2Click(Sender); };
    SiteBravenaSoftware1->OnClick = [this](TObject* Sender) { SiteBravenaSoftware1Click(Sender); };
    AjudanositedaBravenaSoftware1->OnClick = [this](TObject* Sender) { AjudanositedaBravenaSoftware1Click(Sender); };
    Cnomefont->OnClick = [this](TObject* Sender) { CnomefontClick(Sender); };
    Cnomefont->OnExit = [this](TObject* Sender) { CnomefontExit(Sender); };
    Cfont->OnClick = [this](TObject* Sender) { CfontClick(Sender); };
    Cfont->OnExit = [this](TObject* Sender) { CfontExit(Sender); };
    Cleft->OnClick = [this](TObject* Sender) { CleftClick(Sender); };
    Cleft->OnExit = [this](TObject* Sender) { CleftExit(Sender); };
    Crigth->OnClick = [this](TObject* Sender) { CrigthClick(Sender); };
    Crigth->OnExit = [this](TObject* Sender) { CrigthExit(Sender); };
    Cbotton->OnClick = [this](TObject* Sender) { CbottonClick(Sender); };
    Cbotton->OnExit = [this](TObject* Sender) { CbottonExit(Sender); };
    Ctop->OnClick = [this](TObject* Sender) { CtopClick(Sender); };
    Ctop->OnExit = [this](TObject* Sender) { CtopExit(Sender); };
    // Sair, or the window closed: typed work is not dropped without a word.
    OnCloseQuery = [](TObject*, bool& CanClose) {
        if (Form12 && !Form12->MayDiscardInput()) CanClose = false;
    };
    for (int i = 0; i < 6; ++i) settings_[i] = SettingsBoxes()[i]->Text();
}

// ------------------------------------------------------------------ start-up

void TForm1::FormCreate(TObject*) {
    FormatSettings.ShortDateFormat = "dd/mm/yyyy";
    FormatSettings.DateSeparator = '/';
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    DataDir = GetCurrentDir();
    while (DataDir.size() > 1 && DataDir.back() == PathDelim) DataDir.pop_back();
    wizard_links::SetMainWindowLinks({
        [this] { return DataDir; },
        [this] { return settings_[1]; },
        [this] { return settings_[0]; },
        [this](const std::string& fileName) {
            HTMLViewer1->LoadFromFile(fileName);
            ShowReportFromTop();
        },
        [this](const std::string& source, const std::string& fileName) {
            HTMLViewer1->LoadFromString(source, fileName);
            ShowReportFromTop();
            HTMLViewer1->Repaint();
        },
    });
}

void TForm1::FormShow(TObject*) {
    SetToolbarEnabled(false);
    Cnomefont->Items.Assign(Screen->Fonts());
    PageControl1->SetPageIndex(0);
    if (!FormsAfterFirstPaint) {
        LoadAtStart();
        return;
    }
    // "Sobre" shows a form that is not made yet.
    Sobre2->SetEnabled(false);
    AfterFirstPaint([this, makeForms = std::move(FormsAfterFirstPaint)] {
        makeForms();
        Sobre2->SetEnabled(true);
        LoadAtStart();
    });
    FormsAfterFirstPaint = nullptr;
}

void TForm1::LoadAtStart() {
    // A damaged settings file or table is reported and the load goes on:
    // stopping half-way would leave the toolbar disabled for the whole run.
    auto step = [this](const std::function<void()>& fn) {
        try {
            fn();
        } catch (const EAbort&) {
        } catch (...) {
            Application->HandleException(this, std::current_exception());
        }
    };
    step([this] { LoadSettings(); });
    step([this] { LoadProportionalStart(); });
    step([this] { LoadStartupTables(DataDir); });
    SetToolbarEnabled(true);
}

void TForm1::SetToolbarEnabled(bool enabled) {
    for (TRxSpeedButton* b : {BtnRevisaoNovo, SpeedButton20, SpeedButton17, SpeedButton18, SpeedButton19})
        b->SetEnabled(enabled);
}

namespace {

// What font.ini may hold: the program's own choices and some room around
// them. A value outside is damage (a hand edit, a broken disk).
constexpr int kMaxMargin = 10;  // centimetres
// Two opposite margins must leave this much of A4's shorter side.
constexpr int kPaperSide = 21, kMinPrintable = 5;  // centimetres

const char* const kSettingNames[6] = {"fonte do relatório", "tamanho da fonte", "margem esquerda",
                                      "margem direita", "margem inferior", "margem superior"};

// Why a margin text cannot be used, "" when it can: a number whose whole
// part is 0 .. kMaxMargin.
std::string MarginProblem(const std::string& text, long double& value) {
    if (!TryStrToFloat(text, value) || !(value >= 0 && value < kMaxMargin + 1))
        return QuotedExcerpt(text) + " não é um número de 0 a " + std::to_string(kMaxMargin);
    return "";
}

// Margins are whole centimetres: a typed "2,9" prints with 2.
int WholeMargin(const std::string& text) {
    long double value = 0;
    MarginProblem(text, value);
    return static_cast<int>(Trunc(value));
}

std::string SettingProblem(int line, const std::string& text) {
    if (line == 0) return report_font::NameProblem(text);
    if (line == 1) return report_font::SizeProblem(text);
    long double value;
    return MarginProblem(text, value);
}

// A refused setting: its lines in font.ini (0-based) and why.
struct TRefusal {
    int first, last;
    std::string why;
};

// Checks the wanted settings one by one, then the opposite margins two by
// two; each refused text is replaced by the one in effect (which passes).
std::vector<TRefusal> CheckSettings(std::array<std::string, 6>& wanted,
                                    const std::array<std::string, 6>& inEffect) {
    std::vector<TRefusal> refused;
    for (int i = 0; i < 6; ++i)
        if (std::string why = SettingProblem(i, wanted[i]); !why.empty()) {
            refused.push_back({i, i, why});
            wanted[i] = inEffect[i];
        }
    for (int first : {2, 4}) {
        const int sum = WholeMargin(wanted[first]) + WholeMargin(wanted[first + 1]);
        if (kPaperSide - sum >= kMinPrintable) continue;
        refused.push_back({first, first + 1,
                           "juntas somam " + std::to_string(sum) + " cm e deixam menos de " +
                               std::to_string(kMinPrintable) + " cm para imprimir numa folha de " +
                               std::to_string(kPaperSide) + " cm"});
        wanted[first] = inEffect[first];
        wanted[first + 1] = inEffect[first + 1];
    }
    return refused;
}

// "linha 4 (margem direita)" or, for a pair, "linhas 3 e 4 (margem
// esquerda e margem direita)"; without line numbers for the boxes.
std::string RefusalPlace(const TRefusal& r, bool lines) {
    std::string names = kSettingNames[r.first];
    if (r.last != r.first) names += std::string(" e ") + kSettingNames[r.last];
    if (!lines) return names;
    const std::string numbers = r.last != r.first ? "linhas " + std::to_string(r.first + 1) + " e " +
                                                        std::to_string(r.last + 1)
                                                  : "linha " + std::to_string(r.first + 1);
    return numbers + " (" + names + ")";
}

std::string RefusalList(const std::vector<TRefusal>& refused, bool lines) {
    std::string list;
    for (const TRefusal& r : refused) list += "\n" + RefusalPlace(r, lines) + ": " + r.why;
    return list;
}

// A settings file's text: its bytes as the program's text files are taken
// (an editor may have saved it in UTF-8, with its mark or without), or
// EInOutError with the reason. Its last line may lack its line end: the
// program writes the file whole, and a hand may leave it so.
std::string ReadSettingsText(const std::string& fileName) {
    std::string text, problem;
    if (!DecodeText(ReadFileBytes(fileName, kMaxSettingsFileSize), text, problem))
        throw EInOutError(OpenErrorText(fileName, problem), 0, problem);
    return text;
}

} // namespace

std::array<TComboBox*, 6> TForm1::SettingsBoxes() const {
    return {Cnomefont, Cfont, Cleft, Crigth, Cbotton, Ctop};
}

void TForm1::LoadSettings() {
    const std::string fileName = PathJoin(DataDir, "font.ini");
    // Only a missing file keeps the defaults without a word: a folder at its
    // name is told, as any file that cannot be read.
    if (!EntryExists(fileName)) return;
    try {
        Memofont->Lines.SetText(ReadSettingsText(fileName));
    } catch (const EInOutError& e) {
        Memofont->Lines.Clear();
        ShowMessage("O arquivo font.ini não foi lido: " + e.Reason +
                    ". Foram mantidas as configurações padrão.");
        return;
    }
    // A shorter file (written by hand) keeps the defaults of the lines it
    // lacks; a value the program cannot use keeps its default too.
    std::array<std::string, 6> wanted = settings_;
    for (int i = 0; i < 6 && i < Memofont->Lines.Count(); ++i) wanted[i] = Memofont->Lines[i];
    const std::vector<TRefusal> refused = CheckSettings(wanted, settings_);
    settings_ = wanted;
    for (int i = 0; i < 6; ++i) SettingsBoxes()[i]->SetText(settings_[i]);
    ApplyMargins();
    // The next visit to the boxes writes the values in effect over it.
    settingsFileDamaged_ = !refused.empty();
    if (!refused.empty())
        ShowMessage("O arquivo font.ini tem valores que não podem ser usados; foram mantidos os "
                    "valores padrão:" + RefusalList(refused, true));
}

void TForm1::LoadProportionalStart() {
    const std::string fileName = PathJoin(DataDir, "prop.ini");
    if (!EntryExists(fileName)) return;
    try {
        Fprop->Memo1->Lines.SetText(ReadSettingsText(fileName));
    } catch (const EInOutError& e) {
        Fprop->Memo1->Lines.Clear();
        ShowMessage("O arquivo prop.ini não foi lido: " + e.Reason + ". Foi mantida a data " +
                    Fprop->DateEdit1->Text() + ".");
        return;
    }
    if (Fprop->Memo1->Lines.Count() == 0) return;
    const std::string date = Fprop->Memo1->Lines[0];
    if (std::string why = state_values::DateProblem(date); !why.empty())
        ShowMessage("O arquivo prop.ini, linha 1 (início da correção proporcional): " + why +
                    ". Foi mantida a data " + Fprop->DateEdit1->Text() + ".");
    else
        Fprop->DateEdit1->SetText(date);
}

// ------------------------------------------------------------------ settings

void TForm1::SaveSettings() {
    std::array<std::string, 6> wanted;
    for (int i = 0; i < 6; ++i) wanted[i] = SettingsBoxes()[i]->Text();
    const std::vector<TRefusal> refused = CheckSettings(wanted, settings_);
    for (int i = 0; i < 6; ++i)
        if (SettingsBoxes()[i]->Text() != wanted[i]) SettingsBoxes()[i]->SetText(wanted[i]);
    // Each click into a box and each exit from one comes here. Only a change
    // (or a file read with values refused) is written: an unchanged file stays
    // as it is on disk, and a folder that cannot be written does not hold the
    // user in the box with its message.
    if (wanted != settings_ || settingsFileDamaged_) {
        settingsFileDamaged_ = false;
        settings_ = wanted;
        ApplyMargins();
        Memofont->Lines.Clear();
        for (const std::string& line : wanted) Memofont->Lines.Add(line);
        try {
            Memofont->Lines.SaveToFile(PathJoin(DataDir, "font.ini"));
        } catch (const EInOutError& e) {
            ShowMessage(e.Message + ".\nA configuração vale até o programa ser fechado.");
        }
    }
    if (!refused.empty())
        ShowMessage("Configuração não aceita; foram mantidos os valores anteriores:" +
                    RefusalList(refused, false));
}

void TForm1::ApplyMargins() {
    // The settings in effect always pass their checks.
    HTMLViewer1->PrintMarginLeft = WholeMargin(settings_[2]);
    HTMLViewer1->PrintMarginRight = WholeMargin(settings_[3]);
    HTMLViewer1->PrintMarginBottom = WholeMargin(settings_[4]);
    HTMLViewer1->PrintMarginTop = WholeMargin(settings_[5]);
}

void TForm1::CnomefontClick(TObject*) { SaveSettings(); }
void TForm1::CnomefontExit(TObject*) { SaveSettings(); }
void TForm1::CfontClick(TObject*) { SaveSettings(); }
void TForm1::CfontExit(TObject*) { SaveSettings(); }
void TForm1::CleftClick(TObject*) { SaveSettings(); }
void TForm1::CleftExit(TObject*) { SaveSettings(); }
void TForm1::CrigthClick(TObject*) { SaveSettings(); }
void TForm1::CrigthExit(TObject*) { SaveSettings(); }
void TForm1::CbottonClick(TObject*) { SaveSettings(); }
void TForm1::CbottonExit(TObject*) { SaveSettings(); }
void TForm1::CtopClick(TObject*) { SaveSettings(); }
void TForm1::CtopExit(TObject*) { SaveSettings(); }

// ------------------------------------------------------------------ toolbar

void TForm1::BtnRevisaoNovoClick(TObject*) {
    if (!Form12->MayDiscardInput()) return;
    // A new case starts empty: nothing of the last one (its salaries, its
    // road) carries over.
    Form12->ClearCase();
    Form12->KeepInput();
    wizardShown_ = true;
    Form12->Show();
}

void TForm1::SpeedButton20Click(TObject*) {
    wizardShown_ = true;
    Form12->Show();
    Form12->PageControl1->SetPageIndex(0);
}

void TForm1::SpeedButton17Click(TObject*) {
    const std::string fileName = PathJoin(DataDir, "atualrev.back");
    if (FileExists(fileName) && Form12->MayDiscardInput()) OpenStateFile(fileName);
}

void TForm1::SpeedButton18Click(TObject*) {
    if (!Form12->MayDiscardInput()) return;
    if (OpenDialog2->Execute()) OpenStateFile(OpenDialog2->FileName);
}

void TForm1::OpenStateFile(const std::string& fileName) {
    // A refused calculation ends the reading with the silent abort: the
    // wizard then stays hidden.
    Form12->ReadStateFile(fileName);
    Form12->PageControl1->SetPageIndex(0);
    Form12->KeepInput();
    wizardShown_ = true;
    Form12->Show();
}

bool TForm1::SavesTheFinishedCase(const std::string& stateFile) {
    if (!wizardShown_ || !FileExists(stateFile)) return true;
    TStringList saved;
    try {
        saved.SetText(ReadFileBytes(stateFile, kMaxStateFileSize));
    } catch (const EInOutError&) {
        return true;  // the copy reports it
    }
    if (saved.Items() == wizard_state::StateLines(*Form12)) return true;
    TMessageBoxRequest r = MessageBoxRequest(
        "\"Salvar\" grava o último cálculo finalizado (" + (saved.Count() > 0 ? saved[0] : std::string()) +
            "), não o caso que está no assistente, que ainda não foi finalizado. Para gravar o caso do "
            "assistente, use antes \"Finalizar\".\nDeseja gravar o último cálculo finalizado assim mesmo?",
        "Salvar", MB_YESNO | MB_ICONQUESTION);
    r.DefaultButton = mrNo;
    return DialogService().ShowMessageBox(r) == mrYes;
}

void TForm1::SpeedButton19Click(TObject*) {
    const std::string source = PathJoin(DataDir, "atualrev.back");
    if (!SavesTheFinishedCase(source)) return;
    if (!SaveDialog2->Execute()) return;
    std::string reason;
    if (!CopyFile(source, SaveDialog2->FileName, false, &reason))
        ShowMessage("Erro ao copiar " + source + " para " + SaveDialog2->FileName + " (" + reason + ")");
}

void TForm1::SpeedButton1Click(TObject*) { ShowPrintPreview(); }

void TForm1::ShowPrintPreview() {
    if (HTMLViewer1->CurrentFile().empty()) {
        ShowMessage("Não há relatório para imprimir: finalize um cálculo para que o relatório "
                    "apareça nesta janela.");
        return;
    }
    bool abort = false;
    auto* preview = new TPreviewForm(nullptr, HTMLViewer1, abort);
    try {
        if (!abort) preview->ShowModal();
    } catch (...) {
        preview->Free();
        throw;
    }
    preview->Free();
}

void TForm1::ShowReportFromTop() {
    // The viewer keeps its place when the same file comes back (a shorter
    // case would show its blank end): a newly computed report starts at its top.
    HTMLViewer1->ScrollTo(0);
    HTMLViewer1->HScrollBar()->SetPosition(0);
}

void TForm1::SpeedButton4Click(TObject*) { Close(); }

// ------------------------------------------------------------------ menus

void TForm1::Selecionartudo1Click(TObject*) { HTMLViewer1->SelectAll(); }

void TForm1::Copiar1Click(TObject*) { HTMLViewer1->CopyToClipboard(); }

void TForm1::ConfigurarImpresso1Click(TObject*) { PrinterSetupDialog1->Execute(); }

void TForm1::Sobre2Click(TObject*) { AboutBox->Show(); }

void TForm1::Ajuda1Click(TObject*) {
    const std::string fileName = PathJoin(DataDir, "ajudav.htm");
    if (FileExists(fileName)) HTMLViewer1->LoadFromFile(fileName);
}

void TForm1::ndices1Click(TObject*) {}

void TForm1::SiteBravenaSoftware1Click(TObject*) { OpenPage("velorimrev.htm"); }

void TForm1::AjudanositedaBravenaSoftware1Click(TObject*) { OpenPage("ajudaqvr_free.htm"); }

void TForm1::OpenPage(const std::string& name) {
    const std::string fileName = PathJoin(DataDir, name);
    if (!FileExists(fileName)) {
        MessageDlg("Página não encontrada: " + fileName, TMsgDlgType::mtWarning, mbOK);
        return;
    }
    // The browser may refuse to start after the opener did (as it does for
    // root): that is told too, when the opener ends.
    const auto failed = [fileName] {
        MessageDlg("Não foi possível abrir a página no navegador.\nPara vê-la, abra no navegador o "
                   "arquivo \"" + fileName + "\".",
                   TMsgDlgType::mtWarning, mbOK);
    };
    if (!DesktopOpen(fileName, failed)) failed();
}

// ------------------------------------------------------------------ unbound

void TForm1::Sair1Click(TObject*) { Close(); }

void TForm1::SpeedButton3Click(TObject*) { ShowPrintPreview(); }

void TForm1::SpeedButton7Click(TObject*) { Form3->Show(); }

void TForm1::SpeedButton8Click(TObject*) { Form4->Show(); }

void TForm1::Copiartudo1Click(TObject*) {
    HTMLViewer1->SelectAll();
    HTMLViewer1->CopyToClipboard();
}

void TForm1::Copiar3Click(TObject*) { HTMLViewer1->CopyToClipboard(); }

void TForm1::Atualizarndices1Click(TObject*) {}

std::string TForm1::horax(const std::string& fileName) {
    const TDateTime age = FileAgeDateTime(fileName);
    if (age < 0) throw EFOpenError(OpenErrorText(fileName, SysErrorText(ENOENT)), ENOENT);
    return DateTimeToStr(age);
}

std::string TForm1::getdesktopdirectory() { return DesktopDirectory(); }

void TForm1::ExecutePrograma(const std::string& program, const std::string& parameters) {
    DesktopRun(program, parameters);
}

bool TForm1::DownloadFile(const std::string& sourceUrl, const std::string& destFile) {
    return HttpDownloadFile(sourceUrl, destFile, THttpOptions{"", 60000});
}

bool TForm1::CheckUrl(const std::string& url) {
    // An address without a scheme is a web address.
    const std::string lower = LowerCase(url);
    const bool hasScheme = lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
    const int status =
        HttpStatusCode(hasScheme ? url : "http://" + url, THttpOptions{"InetURL:/1.0", 15000});
    return status == 200 || status == 302;
}
