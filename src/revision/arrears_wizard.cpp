// The arrears wizard's pages, navigation and small handlers. The computing
// handlers are in arrears_wizard_calc.cpp, the state file in
// wizard_state_file.cpp.
#include "revision/arrears_wizard.h"

#include <algorithm>

#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/string_list.h"
#include "revision/arrears_engine.h"
#include "revision/help_text_form.h"
#include "revision/prop_form.h"
#include "revision/revision_form.h"
#include "grids/align_grid.h"
#include "revision/wizard_grid.h"
#include "revision/wizard_links.h"
#include "revision/wizard_state_file.h"
#include "tables/own_index_form.h"

TForm12* Form12 = nullptr;

namespace {

constexpr int kPageWidth = 716;
constexpr int kButtonW = 95, kButtonH = 27;
constexpr int kEditH = 21;
constexpr int kHelpW = 22;
// The bottom row of buttons of every page.
constexpr int kButtonsTop = 404;

template <class T>
T* Captioned(TComponent* owner, TWinControl* parent, const std::string& name,
             const std::string& caption, int left, int top, int width, int height) {
    T* control = Make<T>(owner, parent, name);
    control->SetCaption(caption);
    control->SetBounds(left, top, width, height);
    return control;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, const std::string& name,
                 const std::string& caption, int left, int top, int width = -1) {
    TLabel* label = Make<TLabel>(owner, parent, name);
    label->SetCaption(caption);
    label->SetLeft(left);
    label->SetTop(top);
    if (width > 0) {
        label->SetAutoSize(false);
        label->SetBounds(left, top, width, 17);
    }
    return label;
}

TDateEdit* NewDateEdit(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                       int top) {
    TDateEdit* edit = Make<TDateEdit>(owner, parent, name);
    edit->SetBounds(left, top, 112, kEditH);
    return edit;
}

TCurrencyEdit* NewAmount(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                         int top, int width, const std::string& format, const std::string& field) {
    TCurrencyEdit* edit = Make<TCurrencyEdit>(owner, parent, name);
    edit->FieldName = field;
    edit->SetDisplayFormat(format);
    edit->SetBounds(left, top, width, kEditH);
    return edit;
}

} // namespace

TForm12::TForm12(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form12");
    SetCaption("Atualização de nova RMI");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poMainFormCenter);
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetClientWidth(kPageWidth + 8);
    SetClientHeight(kButtonsTop + kButtonH + 44);

    BuildMenu();
    PageControl1 = Make<TPageControl>(this, this, "PageControl1");
    PageControl1->SetAlign(TAlign::alClient);
    auto sheet = [this](const std::string& name, const std::string& caption) {
        TTabSheet* page = Make<TTabSheet>(this, nullptr, name);
        page->SetPageControl(PageControl1);
        page->SetCaption(caption);
        page->SetTabVisible(false);
        return page;
    };
    TabSheet6 = sheet("TabSheet6", "");
    TabSheet5 = sheet("TabSheet5", "");
    TabSheet7 = sheet("TabSheet7", "");
    TabSheet4 = sheet("TabSheet4", "Nova RMI");
    TabSheet3 = sheet("TabSheet3", "Correção de salários (para cálculo da nova RMI)");
    TabSheet1 = sheet("TabSheet1", "Dados para o Cálculo");
    TabSheet2 = sheet("TabSheet2", "Planilha");
    BuildPage0();
    BuildPage1();
    BuildPage2();
    BuildPage3();
    BuildPage4();
    BuildPage5();
    BuildPage6();
    PageControl1->SetPageIndex(0);

    BindStep(Button20, &TForm12::Button20Click);
    BindStep(Button22, &TForm12::Button20Click);
    BindStep(Button23, &TForm12::Button23Click);
    BindStep(Button5, &TForm12::Button5Click);
    BindStep(Button2, &TForm12::Button2Click);
    BindStep(BTNcorrigir, &TForm12::BTNcorrigirClick);
    for (TButton* b : {Button6, Button7, Button8, Button25, Button26, Button27})
        BindStep(b, &TForm12::Button6Click);
    BindStep(Button31, &TForm12::Button31Click);
    Button3->OnClick = [this](TObject* Sender) { Button3Click(Sender); };
    Fechar->OnClick = [this](TObject* Sender) { FecharClick(Sender); };
    Button4->OnClick = [this](TObject* Sender) { FecharClick(Sender); };

    Dataini->OnExit = [this](TObject* Sender) { DatainiExit(Sender); };
    Datafim->OnExit = [this](TObject* Sender) { DatafimExit(Sender); };
    Dateinicialjuros->OnExit = [this](TObject* Sender) { DateinicialjurosExit(Sender); };
    Datefinaljuros->OnExit = [this](TObject* Sender) { DatefinaljurosExit(Sender); };
    DatePrescricao->OnExit = [this](TObject* Sender) { DatePrescricaoExit(Sender); };
    DateEdit1->OnExit = [this](TObject* Sender) { DateEdit1Exit(Sender); };
    DateEdit2->OnExit = [this](TObject* Sender) { DateEdit2Exit(Sender); };
    DateEdit3->OnExit = [this](TObject* Sender) { DateEdit3Exit(Sender); };

    Cadct1->OnClick = [this](TObject* Sender) { Cadct1Click(Sender); };
    Cadct2->OnClick = [this](TObject* Sender) { Cadct2Click(Sender); };
    Cadct1inss->OnClick = [this](TObject* Sender) { Cadct1inssClick(Sender); };
    Cadct2inss->OnClick = [this](TObject* Sender) { Cadct2inssClick(Sender); };
    Curv->OnClick = [this](TObject* Sender) { CurvClick(Sender); };

    Button33->OnClick = [this](TObject* Sender) { Button33Click(Sender); };
    Button34->OnClick = [this](TObject* Sender) { Button34Click(Sender); };
    Button35->OnClick = [this](TObject* Sender) { Button35Click(Sender); };
    Button36->OnClick = [this](TObject* Sender) { Button35Click(Sender); };
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    Button28->OnClick = [this](TObject* Sender) { Button28Click(Sender); };
    Button32->OnClick = [this](TObject* Sender) { Button32Click(Sender); };
    ndiceProporcional1->OnClick = [this](TObject* Sender) { ndiceProporcional1Click(Sender); };
    Meundice1->OnClick = [this](TObject* Sender) { Meundice1Click(Sender); };
    putVinss_ = Vinss->FormatForDisplay(Vinss->Value());
    putVautor_ = Vautor->FormatForDisplay(Vautor->Value());
    KeepInput();
}

TForm12::~TForm12() = default;

void TForm12::BuildMenu() {
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    Configuracoes1 = new TMenuItem(this);
    Configuracoes1->SetName("Configuraes1");
    Configuracoes1->SetCaption("Configurações");
    MainMenu1->Items()->Add(Configuracoes1);
    ndiceProporcional1 = new TMenuItem(this);
    ndiceProporcional1->SetName("ndiceProporcional1");
    ndiceProporcional1->SetCaption("Correção proporcional do benefício");
    Configuracoes1->Add(ndiceProporcional1);
    Meundice1 = new TMenuItem(this);
    Meundice1->SetName("Meundice1");
    Meundice1->SetCaption("Configurar Meu Índice");
    Configuracoes1->Add(Meundice1);
    SetMenu(MainMenu1);
}

TButton* TForm12::HelpButton(TWinControl* parent, const std::string& name,
                             void (TForm12::*handler)(TObject*)) {
    TButton* button = Make<TButton>(this, parent, name);
    button->SetCaption("?");
    button->OnClick = [this, handler](TObject* Sender) { (this->*handler)(Sender); };
    return button;
}

void TForm12::BuildPage0() {
    TTabSheet* p = TabSheet6;
    caplicar = Captioned<TRadioButton>(this, p, "caplicar",
                                       "Calcular a nova RMI na vigência do Decreto 83.080/79 ",
                                       40, 60, 440, 22);
    caplicar->SetChecked(true);
    C8213 = Captioned<TRadioButton>(this, p, "C8213",
                                    "Calcular a nova RMI na vigência da Lei 8.213/91", 40, 96, 440,
                                    22);
    cpossuo = Captioned<TRadioButton>(this, p, "cpossuo", "Já possuo a nova RMI", 40, 132, 200, 22);
    Button34 = Make<TButton>(this, p, "Button34");
    Button34->SetCaption("?");
    Button34->SetBounds(244, 132, kHelpW, 22);
    Button31 = Captioned<TButton>(this, p, "Button31", "Ir para planilha", 40, 190, 130, kButtonH);
    Button33 = Make<TButton>(this, p, "Button33");
    Button33->SetCaption("?");
    Button33->SetBounds(176, 192, kHelpW, 22);
    Button20 = Captioned<TButton>(this, p, "Button20", "Próximo", kPageWidth - kButtonW - 12,
                                  kButtonsTop, kButtonW, kButtonH);
}

void TForm12::BuildPage1() {
    TTabSheet* p = TabSheet5;
    Label1 = NewLabel(this, p, "Label1",
                      "Lance as datas para o cálculo da nova RMI segundo a CARTA DE CONCESSÃO e "
                      "clique no botão Próximo:",
                      24, 24);
    Button21 = HelpButton(p, "Button21", &TForm12::Button21Click);
    Button21->SetBounds(24, 48, kHelpW, 22);
    const int top = 96;
    LabelDateEdit1 = NewLabel(this, p, "LabelDateEdit1", "Data Inicial", 24, top);
    DateEdit1 = NewDateEdit(this, p, "DateEdit1", 24, top + 18);
    Button10 = HelpButton(p, "Button10", &TForm12::Button10Click);
    Button10->SetBounds(140, top + 18, kHelpW, kEditH);
    LabelDateEdit2 = NewLabel(this, p, "LabelDateEdit2", "Data Final", 200, top);
    DateEdit2 = NewDateEdit(this, p, "DateEdit2", 200, top + 18);
    Button11 = HelpButton(p, "Button11", &TForm12::Button11Click);
    Button11->SetBounds(316, top + 18, kHelpW, kEditH);
    LabelDateEdit3 = NewLabel(this, p, "LabelDateEdit3", "Atualizar até", 376, top);
    DateEdit3 = NewDateEdit(this, p, "DateEdit3", 376, top + 18);
    Button12 = HelpButton(p, "Button12", &TForm12::Button12Click);
    Button12->SetBounds(492, top + 18, kHelpW, kEditH);
    Button27 = Captioned<TButton>(this, p, "Button27", "Voltar", 12, kButtonsTop, kButtonW, kButtonH);
    Button22 = Captioned<TButton>(this, p, "Button22", "Próximo", kPageWidth - kButtonW - 12,
                                  kButtonsTop, kButtonW, kButtonH);
}

void TForm12::BuildPage2() {
    TTabSheet* p = TabSheet7;
    const std::string money = "#,##0.00;-#,##0.00";
    Labelrmi01 = NewLabel(this, p, "Labelrmi01", "RMI Valor (Carta de Concessão)", 24, 24);
    rmi01 = NewAmount(this, p, "rmi01", 24, 42, 150, money, "RMI Valor (Carta de Concessão)");
    Button13 = HelpButton(p, "Button13", &TForm12::Button13Click);
    Button13->SetBounds(178, 42, kHelpW, kEditH);
    Labeldivisor = NewLabel(this, p, "Labeldivisor", "Divisor (Carta de Concessão)", 24, 80);
    divisor = NewAmount(this, p, "divisor", 24, 98, 150, " ,0;- ,0", "Divisor (Carta de Concessão)");
    divisor->SetDecimalPlaces(0);
    divisor->SetValue(36);
    Button14 = HelpButton(p, "Button14", &TForm12::Button14Click);
    Button14->SetBounds(178, 98, kHelpW, kEditH);
    Catual24 = Captioned<TCheckBox>(this, p, "Catual24", "Não atualizar os últimos 12 salários",
                                    24, 134, 250, 20);
    Button15 = HelpButton(p, "Button15", &TForm12::Button15Click);
    Button15->SetBounds(278, 133, kHelpW, 22);
    Labelcoef = NewLabel(this, p, "Labelcoef", "Coeficiente: (ex: 1 / 0,9 5 / 0,90 ...)", 24, 170);
    coef = NewAmount(this, p, "coef", 24, 188, 150, " ,0.00;-,0.00", "Coeficiente");
    coef->SetMaxValue(1);
    coef->SetValue(1);
    Button16 = HelpButton(p, "Button16", &TForm12::Button16Click);
    Button16->SetBounds(178, 188, kHelpW, kEditH);
    CheckBox1 = Captioned<TCheckBox>(this, p, "CheckBox1",
                                     "Aplicar art. 26 da lei 8.870/74 (Buraco Verde)", 24, 224, 320,
                                     20);
    CheckBox1->SetVisible(false);
    Button26 = Captioned<TButton>(this, p, "Button26", "Voltar", 12, kButtonsTop, kButtonW, kButtonH);
    Button23 = Captioned<TButton>(this, p, "Button23", "Próximo", kPageWidth - kButtonW - 12,
                                  kButtonsTop, kButtonW, kButtonH);
}

void TForm12::BuildPage3() {
    TTabSheet* p = TabSheet4;
    GroupBox1 = Captioned<TGroupBox>(this, p, "GroupBox1", "Decreto 83.080/79 ", 24, 24, 520, 110);
    Labelumtrinta = NewLabel(this, GroupBox1, "Labelumtrinta",
                             "Informe quantos 1/30 (um trinta avos) devem ser considerados:", 16,
                             28);
    umtrinta = NewAmount(this, GroupBox1, "umtrinta", 16, 50, 80, "0", "1/30 (um trinta avos)");
    umtrinta->SetDecimalPlaces(0);
    umtrinta->SetMaxValue(30);
    Button18 = HelpButton(GroupBox1, "Button18", &TForm12::Button18Click);
    Button18->SetBounds(100, 50, kHelpW, kEditH);
    coefprop = Captioned<TCheckBox>(this, GroupBox1, "coefprop",
                                    "Aplicar coeficiente de proporcionalidade", 16, 80, 300, 20);
    coefprop->SetChecked(true);
    coefprop->SetVisible(false);
    Button25 = Captioned<TButton>(this, p, "Button25", "Voltar", 12, kButtonsTop, kButtonW, kButtonH);
    Button5 = Captioned<TButton>(this, p, "Button5", "Próximo", kPageWidth - kButtonW - 12,
                                 kButtonsTop, kButtonW, kButtonH);
}

void TForm12::BuildPage4() {
    TTabSheet* p = TabSheet3;
    LabelSalarios1 = NewLabel(this, p, "LabelSalarios1",
                              "Digite abaixo os salários (NÃO CORRIGIDOS) obtidos na Carta  de "
                              "Concessão e clique no ",
                              12, 10);
    LabelSalarios2 = NewLabel(this, p, "LabelSalarios2", "botão Calcular.", 12, 28);
    Sdig = wizard_grid::NewGrid(this, p, "Sdig", 2, 2, true);
    Sdig->SetBounds(12, 50, 260, 344);
    wizard_grid::SetColWidths(Sdig, {80, 150});
    TCellMatrix& dig = Sdig->Matrix();
    for (int c = 0; c < 2; ++c)
        dig.SetCell(c, 0, calc::SdigHeaders[c]);
    Sdem = wizard_grid::NewGrid(this, p, "Sdem", 5, 2, false);
    Sdem->SetBounds(284, 90, 420, 304);
    wizard_grid::SetColWidths(Sdem, {70, 80, 110, 100, 40});
    Sdem->SetVisible(false);
    TCellMatrix& dem = Sdem->Matrix();
    for (int c = 0; c < 5; ++c)
        dem.SetCell(c, 0, calc::SdemHeaders[c]);
    Csmt = Captioned<TCheckBox>(this, p, "Csmt",
                                "Considerar Teto e Salário Mínimo para atualização dos salários",
                                284, 60, 420, 20);
    Button8 = Captioned<TButton>(this, p, "Button8", "Voltar", 12, kButtonsTop, kButtonW, kButtonH);
    Button2 = Captioned<TButton>(this, p, "Button2", "Próximo", kPageWidth - kButtonW - 12,
                                 kButtonsTop, kButtonW, kButtonH);
}

void TForm12::BuildPage5() {
    TTabSheet* p = TabSheet1;
    const std::string money = "#,##0.00;-#,##0.00";
    LabelEnome = NewLabel(this, p, "LabelEnome", "Nome", 12, 8);
    Enome = Make<TEdit>(this, p, "Enome");
    Enome->SetBounds(12, 26, 420, kEditH);
    LabelEnumero = NewLabel(this, p, "LabelEnumero", "Número do Benefício", 448, 8);
    Enumero = Make<TEdit>(this, p, "Enumero");
    Enumero->SetBounds(448, 26, 180, kEditH);

    LabelDataini = NewLabel(this, p, "LabelDataini", "Data Inicial (DIB)", 12, 56);
    Dataini = NewDateEdit(this, p, "Dataini", 12, 74);
    Button17 = HelpButton(p, "Button17", &TForm12::Button17Click);
    Button17->SetBounds(128, 74, kHelpW, kEditH);
    LabelDatafim = NewLabel(this, p, "LabelDatafim", "Data Final", 180, 56);
    Datafim = NewDateEdit(this, p, "Datafim", 180, 74);
    Button19 = HelpButton(p, "Button19", &TForm12::Button19Click);
    Button19->SetBounds(296, 74, kHelpW, kEditH);
    LabelDatePrescricao = NewLabel(this, p, "LabelDatePrescricao", "Data da Prescrição", 348, 56);
    DatePrescricao = NewDateEdit(this, p, "DatePrescricao", 348, 74);
    Button24 = HelpButton(p, "Button24", &TForm12::Button24Click);
    Button24->SetBounds(464, 74, kHelpW, kEditH);

    GroupJuros = Captioned<TGroupBox>(this, p, "GroupJuros", "Juros", 12, 106, 692, 70);
    Cjuros = Captioned<TCheckBox>(this, GroupJuros, "Cjuros", "Incluir juros", 12, 36, 110, 20);
    LabelDateinicialjuros = NewLabel(this, GroupJuros, "LabelDateinicialjuros",
                                     "Data inicial para contagem de juros", 136, 18);
    Dateinicialjuros = NewDateEdit(this, GroupJuros, "Dateinicialjuros", 136, 36);
    LabelDatefinaljuros = NewLabel(this, GroupJuros, "LabelDatefinaljuros",
                                   "Data final para contagem de juros", 356, 18);
    Datefinaljuros = NewDateEdit(this, GroupJuros, "Datefinaljuros", 356, 36);
    LabelEjuros = NewLabel(this, GroupJuros, "LabelEjuros", "Valor dos Juros", 570, 18);
    Ejuros = NewAmount(this, GroupJuros, "Ejuros", 570, 36, 110, money, "Valor dos Juros");
    Ejuros->NotMoney = true; // percent a month

    // The paid benefit (INSS) and the recomputed one (Autor), side by side.
    GroupRmiInss = Captioned<TGroupBox>(this, p, "GroupRmiInss", "RMI INSS", 12, 184, 340, 170);
    LabelVautor = NewLabel(this, GroupRmiInss, "LabelVautor", "RMI Valor", 12, 18);
    Vautor = NewAmount(this, GroupRmiInss, "Vautor", 12, 36, 140, money, "RMI INSS");
    Cadct1inss = Captioned<TCheckBox>(this, GroupRmiInss, "Cadct1inss",
                                      "Art. 58 do ADCT de 04/89 a 12/91", 12, 64, 316, 20);
    Cadct2inss = Captioned<TCheckBox>(this, GroupRmiInss, "Cadct2inss",
                                      "Art. 58 do ADCT da conseção a 12/91", 12, 86, 316, 20);
    Cstetoinss = Captioned<TCheckBox>(this, GroupRmiInss, "Cstetoinss",
                                      "Desconsiderar teto para cálculo do próximo valor", 12, 108,
                                      316, 20);
    Dtetoinss = Captioned<TCheckBox>(this, GroupRmiInss, "Dtetoinss", "Considerar teto", 12, 130,
                                     316, 20);
    Dtetoinss->SetChecked(true);
    Curvinss = Captioned<TCheckBox>(this, GroupRmiInss, "Curvinss",
                                    "Aplicar a média quadrimestral da URV em 03/94", 12, 130, 316,
                                    20);
    Curvinss->SetVisible(false);

    GroupRmiAutor = Captioned<TGroupBox>(this, p, "GroupRmiAutor", "RMI Autor ", 364, 184, 340, 170);
    LabelVinss = NewLabel(this, GroupRmiAutor, "LabelVinss", "Nova RMI Valor", 12, 18);
    Vinss = NewAmount(this, GroupRmiAutor, "Vinss", 12, 36, 140, money, "RMI Autor");
    Cadct1 = Captioned<TCheckBox>(this, GroupRmiAutor, "Cadct1", "Art. 58 do ADCT de 04/89 a 12/91",
                                  12, 64, 316, 20);
    Cadct1->SetChecked(true);
    Cadct2 = Captioned<TCheckBox>(this, GroupRmiAutor, "Cadct2",
                                  "Art. 58 do ADCT da conseção a 12/91", 12, 86, 316, 20);
    Csteto = Captioned<TCheckBox>(this, GroupRmiAutor, "Csteto",
                                  "Desconsiderar teto para cálculo do próximo valor", 12, 108, 316,
                                  20);
    Dteto = Captioned<TCheckBox>(this, GroupRmiAutor, "Dteto", "Considerar teto", 12, 130, 316, 20);
    Dteto->SetChecked(true);
    Curv = Captioned<TCheckBox>(this, GroupRmiAutor, "Curv",
                                "Aplicar a média quadrimestral da URV em 03/94", 12, 130, 316, 20);
    Curv->SetVisible(false);
    Cirsm = Captioned<TCheckBox>(this, GroupRmiAutor, "Cirsm", "Aplicação do IRSM em 11/93 a 02/94",
                                 12, 130, 316, 20);
    Cirsm->SetVisible(false);
    Button9 = HelpButton(GroupRmiAutor, "Button9", &TForm12::Button9Click);
    Button9->SetBounds(310, 130, kHelpW, 20);
    Button9->SetVisible(false);
    Button35 = Captioned<TButton>(this, GroupRmiAutor, "Button35", "?", 310, 130, kHelpW, 20);
    Button35->SetVisible(false);
    Button36 = Captioned<TButton>(this, GroupRmiInss, "Button36", "?", 310, 130, kHelpW, 20);
    Button36->SetVisible(false);

    Check13 = Captioned<TCheckBox>(this, p, "Check13", "Calcular 13º Salário", 12, 364, 200, 20);
    ComboBox1 = Make<TComboBox>(this, p, "ComboBox1");
    for (const char* series : calc::SeriesNames)
        ComboBox1->Items.Add(series);
    ComboBox1->SetText("ortn-otn-ipc-btn-ipc-inpc-irsm-urv-ipcr-inpc");
    ComboBox1->SetBounds(228, 362, 380, 22);
    ComboBox1->SetVisible(false);
    GroupMeuIndice = Captioned<TGroupBox>(this, p, "GroupMeuIndice", "", 228, 356, 240, 40);
    GroupMeuIndice->SetVisible(false);
    meuindice = Captioned<TCheckBox>(this, GroupMeuIndice, "meuindice", "Usar meu índice", 8, 14,
                                     140, 20);
    Button29 = Captioned<TButton>(this, GroupMeuIndice, "Button29", "C", 152, 12, kHelpW, 22);
    Button30 = Captioned<TButton>(this, GroupMeuIndice, "Button30", "?", 180, 12, kHelpW, 22);

    Button7 = Captioned<TButton>(this, p, "Button7", "Voltar", 12, kButtonsTop, kButtonW, kButtonH);
    Fechar = Captioned<TButton>(this, p, "Fechar", "Fechar", kPageWidth - 2 * kButtonW - 20,
                                kButtonsTop, kButtonW, kButtonH);
    BTNcorrigir = Captioned<TButton>(this, p, "BTNcorrigir", "Próximo", kPageWidth - kButtonW - 12,
                                     kButtonsTop, kButtonW, kButtonH);
}

void TForm12::BuildPage6() {
    TTabSheet* p = TabSheet2;
    planilha = wizard_grid::NewGrid(this, p, "planilha", 14, 2, true);
    planilha->SetBounds(8, 8, kPageWidth - 16, kButtonsTop - 16);
    calc::LayoutPlanilha(planilha->Matrix());
    planilha->MatrixChanged();
    wizard_grid::SetColWidths(planilha,
                              {56, 74, 96, 34, 74, 86, 34, 80, 70, 96, 50, 86, 50, 60});
    Button6 = Captioned<TButton>(this, p, "Button6", "Voltar", 12, kButtonsTop, kButtonW, kButtonH);
    Button1 = Captioned<TButton>(this, p, "Button1", "Refazer Salário", 120, kButtonsTop, 120,
                                 kButtonH);
    Button1->SetVisible(false);
    Button28 = Captioned<TButton>(this, p, "Button28", "Refazer Índice", 250, kButtonsTop, 120,
                                  kButtonH);
    Button28->SetVisible(false);
    Button32 = Captioned<TButton>(this, p, "Button32", "?", 376, kButtonsTop, kHelpW, kButtonH);
    Button32->SetVisible(false);
    Button4 = Captioned<TButton>(this, p, "Button4", "Fechar", kPageWidth - 2 * kButtonW - 20,
                                 kButtonsTop, kButtonW, kButtonH);
    Button3 = Captioned<TButton>(this, p, "Button3", "Finalizar", kPageWidth - kButtonW - 12,
                                 kButtonsTop, kButtonW, kButtonH);
}

// ---- navigation -------------------------------------------------------------

namespace {

// The page after (or before) a step, with the roads' corrections.
int RoadForward(int index, bool cpossuo, bool caplicar) {
    ++index;
    if (index == 1 && cpossuo) index += 4;
    if (index == 3 && !caplicar) index += 1;
    return index;
}

} // namespace

void TForm12::BindStep(TButton* button, void (TForm12::*handler)(TObject*)) {
    button->OnClick = [this, handler](TObject* Sender) {
        TTabSheet* const before = PageControl1->ActivePage();
        (this->*handler)(Sender);
        if (PageControl1->ActivePage() != before) FocusFirstInput();
    };
}

void TForm12::FocusFirstInput() {
    // Only for the user at the wizard: a state file read from the main
    // window also steps through the pages.
    TTabSheet* page = PageControl1->ActivePage();
    if (!page || !Active() || !page->CanFocus()) return;
    std::vector<TWinControl*> order;
    page->GetTabOrderList(order);
    for (TWinControl* c : order) {
        if (!c->TabStop() || !c->CanFocus() || dynamic_cast<TButton*>(c)) continue;
        // Of the roads, the one chosen.
        if (auto* road = dynamic_cast<TRadioButton*>(c); road && !road->Checked()) continue;
        c->SetFocus();
        return;
    }
}

void TForm12::Button20Click(TObject*) {
    SetActiveControl(nullptr);
    Cirsm->SetEnabled(Curv->Checked());
    PageControl1->SetPageIndex(
        RoadForward(PageControl1->PageIndex(), cpossuo->Checked(), caplicar->Checked()));
}

void TForm12::Fail(const std::string& message, TWinControl* focus, int pageIndex) {
    ShowMessage(message);
    if (pageIndex >= 0) PageControl1->SetPageIndex(pageIndex);
    // A control on a page that is not shown cannot take the focus: the
    // message and the stop are enough then.
    if (focus) focus->SetFocus();
    Abort();
}

// The tests of the salary dates on pages 2 to 4, in their order.
void TForm12::ValidateSalaryDates(bool withUpdateDate, int failPage) {
    if (!checkinteiro(DateEdit1->Text())) Fail("Digite primeiro a data inicial", DateEdit1, failPage);
    if (!checkinteiro(DateEdit2->Text())) Fail("Digite a data final", DateEdit2, failPage);
    if (withUpdateDate && !checkinteiro(DateEdit3->Text()))
        Fail("Digite a data para atualização do cálculo", DateEdit3, failPage);
    if (DateEdit2->Date() < EncodeDate(1977, 5, 1))
        Fail("A data final não pode ser inferior a 01/05/1977", DateEdit2, failPage);
    if (DateEdit2->Date() < DateEdit1->Date())
        Fail("A data inicial não pode ser maior que a final", DateEdit1, failPage);
    if (!checkinteiro(DateEdit1->Text())) Fail("Digite primeiro a data inicial", DateEdit1, failPage);
}

void TForm12::ClearGridRows(TStringAlignGrid* grid) {
    TCellMatrix& cells = grid->Matrix();
    for (int r = 1; r < cells.RowCount(); ++r)
        for (int c = 0; c < cells.ColCount(); ++c)
            cells.SetCell(c, r, "");
    grid->MatrixChanged();
}

void TForm12::Button23Click(TObject*) {
    SetActiveControl(nullptr);
    PageControl1->SetPageIndex(
        RoadForward(PageControl1->PageIndex(), cpossuo->Checked(), caplicar->Checked()));
    if (!C8213->Checked()) return;
    ClearGridRows(Sdem);
    ValidateSalaryDates(true, 1);
    wizard_links::geraindicex(DateEdit2->Text());
    incdata2(DateEdit1->Text(), DateEdit2->Text());
}

void TForm12::Button5Click(TObject*) {
    SetActiveControl(nullptr);
    ClearGridRows(Sdem);
    ValidateSalaryDates(false, 1);
    wizard_links::geraindicex(FormatDateTime("dd/mm/yyyy", IncMonth(DateEdit2->Date(), 1)));
    incdata2(DateEdit1->Text(), DateEdit2->Text());
    PageControl1->SetPageIndex(PageControl1->PageIndex() + 1);
}

void TForm12::Button6Click(TObject*) {
    int index = PageControl1->PageIndex() - 1;
    if (index == 4 && cpossuo->Checked()) index -= 4;
    if (index == 3 && !caplicar->Checked()) index -= 1;
    PageControl1->SetPageIndex(std::max(index, 0));
}

void TForm12::Button31Click(TObject*) {
    PageControl1->SetPageIndex(std::min(PageControl1->PageIndex() + 6, PageControl1->PageCount() - 1));
}

void TForm12::FecharClick(TObject*) {
    Close();
}

// ---- the case as a whole ----------------------------------------------------

void TForm12::ClearCase() {
    const std::string noDate = "  /  /    ";
    for (TEdit* e : {Enome, Enumero})
        e->SetText("");
    for (TDateEdit* d : {Dataini, Datafim, Dateinicialjuros, Datefinaljuros, DatePrescricao,
                         DateEdit1, DateEdit2, DateEdit3})
        d->SetText(noDate);
    for (TCurrencyEdit* a : {Vautor, Vinss, Ejuros, rmi01, umtrinta})
        a->SetValue(0);
    divisor->SetValue(36);
    coef->SetValue(1);
    // The boxes as a new form has them; "Considerar Teto e Salário Mínimo" on.
    for (TCheckBox* on : {Cadct1, Dteto, Dtetoinss, coefprop, Csmt})
        on->SetChecked(true);
    for (TCheckBox* off : {Check13, Cjuros, Cadct2, Cadct1inss, Cadct2inss, Csteto, Cstetoinss,
                           Curv, Curvinss, Cirsm, meuindice, Catual24, CheckBox1})
        off->SetChecked(false);
    C8213->SetChecked(false);
    cpossuo->SetChecked(false);
    caplicar->SetChecked(true);
    ComboBox1->SetText(calc::SeriesNames[0]);
    // The grids keep their header and one empty row.
    for (TStringAlignGrid* grid : {Sdig, Sdem, planilha}) {
        TCellMatrix& cells = grid->Matrix();
        cells.SetRowCount(2);
        for (int c = 0; c < cells.ColCount(); ++c)
            cells.SetCell(c, 1, "");
        grid->MatrixChanged();
    }
    PrescriptionByDay = false;
    putVinss_ = Vinss->FormatForDisplay(Vinss->Value());
    putVautor_ = Vautor->FormatForDisplay(Vautor->Value());
    PageControl1->SetPageIndex(0);
}

void TForm12::KeepInput() {
    keptInput_ = wizard_state::StateLines(*this);
}

bool TForm12::HoldsUnfinishedInput() {
    // A cell being typed into keeps its text in the editor until the edit ends.
    for (TStringAlignGrid* grid : {Sdig, Sdem, planilha})
        if (const TInplaceEdit* editor = grid->InplaceEditor();
            editor && editor->Visible() && editor->Text() != grid->Cells(grid->Col(), grid->Row()))
            return true;
    const std::vector<std::string> lines = wizard_state::StateLines(*this);
    if (lines == keptInput_) return false;
    // The case as "Finalizar" wrote it last is not lost either.
    const std::string finished = wizard_links::DataFile("atualrev.back");
    if (!FileExists(finished)) return true;
    TStringList saved;
    try {
        saved.SetText(ReadFileBytes(finished, kMaxStateFileSize));
    } catch (const EInOutError&) {
        return true;
    }
    return saved.Items() != lines;
}

bool TForm12::MayDiscardInput() {
    if (!HoldsUnfinishedInput()) return true;
    TMessageBoxRequest r = MessageBoxRequest("Descartar o cálculo em andamento?", Application->Title(),
                                             MB_YESNO | MB_ICONQUESTION);
    r.DefaultButton = mrNo;
    return DialogService().ShowMessageBox(r) == mrYes;
}

// ---- small handlers ---------------------------------------------------------

void TForm12::NormaliseDate(TDateEdit* edit) {
    edit->SetText(Form9->validadata(edit->Text()));
}

void TForm12::DatainiExit(TObject*) { NormaliseDate(Dataini); }
void TForm12::DatafimExit(TObject*) { NormaliseDate(Datafim); }
void TForm12::DateinicialjurosExit(TObject*) { NormaliseDate(Dateinicialjuros); }
void TForm12::DatefinaljurosExit(TObject*) { NormaliseDate(Datefinaljuros); }
void TForm12::DatePrescricaoExit(TObject*) { NormaliseDate(DatePrescricao); }
void TForm12::DateEdit1Exit(TObject*) { NormaliseDate(DateEdit1); }
void TForm12::DateEdit2Exit(TObject*) { NormaliseDate(DateEdit2); }
void TForm12::DateEdit3Exit(TObject*) { NormaliseDate(DateEdit3); }

void TForm12::Cadct1Click(TObject*) {
    if (Cadct1->Checked()) Cadct2->SetChecked(false);
}

void TForm12::Cadct2Click(TObject*) {
    if (Cadct2->Checked()) Cadct1->SetChecked(false);
}

void TForm12::Cadct1inssClick(TObject*) {
    if (Cadct1inss->Checked()) Cadct2inss->SetChecked(false);
}

void TForm12::Cadct2inssClick(TObject*) {
    if (Cadct2inss->Checked()) Cadct1inss->SetChecked(false);
}

void TForm12::CurvClick(TObject*) {
    Cirsm->SetEnabled(Curv->Checked());
}

void TForm12::ShowHelp(const char* file) {
    Form7->RE->Clear();
    const std::string path = wizard_links::DataFile(file);
    if (FileExists(path)) {
        try {
            Form7->RE->LoadFromFile(path, kMaxHelpFileSize);
        } catch (const EInOutError& e) {
            // The window still shows, empty, as for a missing text.
            ShowMessage(std::string("O texto de ajuda ") + file + " não foi lido: " + e.Reason + ".");
        }
    }
    Form7->Show();
}

void TForm12::Button21Click(TObject*) { ShowHelp("ajuda1.rtf"); }
void TForm12::Button10Click(TObject*) { ShowHelp("ajuda2.rtf"); }
void TForm12::Button11Click(TObject*) { ShowHelp("ajuda3.rtf"); }
void TForm12::Button12Click(TObject*) { ShowHelp("ajuda4.rtf"); }
void TForm12::Button13Click(TObject*) { ShowHelp("ajuda5.rtf"); }
void TForm12::Button14Click(TObject*) { ShowHelp("ajuda6.rtf"); }
void TForm12::Button15Click(TObject*) { ShowHelp("ajuda7.rtf"); }
void TForm12::Button16Click(TObject*) { ShowHelp("ajuda8.rtf"); }
void TForm12::Button18Click(TObject*) { ShowHelp("ajuda9.rtf"); }
void TForm12::Button17Click(TObject*) { ShowHelp("ajuda10.rtf"); }
void TForm12::Button19Click(TObject*) { ShowHelp("ajuda11.rtf"); }
void TForm12::Button24Click(TObject*) { ShowHelp("ajuda12.rtf"); }
void TForm12::Button9Click(TObject*) { ShowHelp("ajuda14.rtf"); }

void TForm12::Button33Click(TObject*) {
    ShowMessage("Use caso já tenha realizado um cálculo e deseja refazer a planilha");
}

void TForm12::Button34Click(TObject*) {
    ShowMessage("Use caso já tenha a nova RMI e deseje atualizar o valor até nossos dias");
}

void TForm12::Button35Click(TObject*) {
    ShowMessage("marque a opção caso deseje realizar a média dos benefícios recebidos entre 11/93 "
                "e 02/94");
}

void TForm12::ndiceProporcional1Click(TObject*) {
    Fprop->Show();
}

void TForm12::Meundice1Click(TObject*) {
    Form15->Show();
}

void TForm12::Button1Click(TObject*) {}
void TForm12::Button28Click(TObject*) {}
void TForm12::Button32Click(TObject*) {}

bool TForm12::checkinteiro(const std::string& text) {
    return calc::checkinteiro(text);
}

long double TForm12::RemovePonto(const std::string& text) {
    return calc::RemovePonto(text);
}

std::string TForm12::formatfloatx(const std::string& format, long double value) {
    return calc::formatfloatx(format, value);
}
