#pragma once
// The arrears wizard (unit calc): seven pages with hidden tabs that collect
// the rule, the dates and the salaries, compute the new RMI, build the
// monthly spreadsheet `planilha` and finish with the state file and the
// report. The arithmetic lives in revision/arrears_engine.h; this form
// gathers its controls into the engine's inputs and shows what it returns.
#include <functional>
#include <string>
#include <vector>

#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

class TDateEdit;
class TCurrencyEdit;
class TStringAlignGrid;
class TCellMatrix;

namespace calc {
struct TNovaRmiInput;
struct TPlanilhaInput;
struct TReportInput;
struct TTableGrids;
class TArrearsEngine;
}

class TForm12 : public TForm {
public:
    explicit TForm12(TComponent* AOwner);
    ~TForm12() override;

    TPageControl* PageControl1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Configuracoes1 = nullptr; // "Configurações"
    TMenuItem* ndiceProporcional1 = nullptr;
    TMenuItem* Meundice1 = nullptr;

    // Page 0: the road.
    TTabSheet* TabSheet6 = nullptr;
    TRadioButton* caplicar = nullptr;
    TRadioButton* C8213 = nullptr;
    TRadioButton* cpossuo = nullptr;
    TButton* Button20 = nullptr; // Próximo
    TButton* Button31 = nullptr; // Ir para planilha
    TButton* Button33 = nullptr;
    TButton* Button34 = nullptr;

    // Page 1: the dates of the concession letter.
    TTabSheet* TabSheet5 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* LabelDateEdit1 = nullptr;
    TLabel* LabelDateEdit2 = nullptr;
    TLabel* LabelDateEdit3 = nullptr;
    TDateEdit* DateEdit1 = nullptr; // Data Inicial
    TDateEdit* DateEdit2 = nullptr; // Data Final
    TDateEdit* DateEdit3 = nullptr; // Atualizar até
    TButton* Button10 = nullptr;
    TButton* Button11 = nullptr;
    TButton* Button12 = nullptr;
    TButton* Button21 = nullptr;
    TButton* Button22 = nullptr; // Próximo
    TButton* Button27 = nullptr; // Voltar

    // Page 2: RMI, divisor and coefficient of the concession letter.
    TTabSheet* TabSheet7 = nullptr;
    TLabel* Labelrmi01 = nullptr;
    TLabel* Labeldivisor = nullptr;
    TLabel* Labelcoef = nullptr;
    TCurrencyEdit* rmi01 = nullptr;
    TCurrencyEdit* divisor = nullptr;
    TCheckBox* Catual24 = nullptr;
    TCurrencyEdit* coef = nullptr;
    TCheckBox* CheckBox1 = nullptr; // Buraco Verde (invisible, read by nothing)
    TButton* Button13 = nullptr;
    TButton* Button14 = nullptr;
    TButton* Button15 = nullptr;
    TButton* Button16 = nullptr;
    TButton* Button23 = nullptr; // Próximo
    TButton* Button26 = nullptr; // Voltar

    // Page 3: Decreto 83.080/79.
    TTabSheet* TabSheet4 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Labelumtrinta = nullptr;
    TCurrencyEdit* umtrinta = nullptr;
    TCheckBox* coefprop = nullptr; // invisible, only saved and restored
    TButton* Button18 = nullptr;
    TButton* Button5 = nullptr;  // Próximo
    TButton* Button25 = nullptr; // Voltar

    // Page 4: the salaries of the concession letter.
    TTabSheet* TabSheet3 = nullptr;
    TLabel* LabelSalarios1 = nullptr;
    TLabel* LabelSalarios2 = nullptr;
    TStringAlignGrid* Sdig = nullptr;
    TStringAlignGrid* Sdem = nullptr;
    TCheckBox* Csmt = nullptr;
    TButton* Button2 = nullptr; // Próximo
    TButton* Button8 = nullptr; // Voltar

    // Page 5: data of the calculation.
    TTabSheet* TabSheet1 = nullptr;
    TLabel* LabelEnome = nullptr;
    TLabel* LabelEnumero = nullptr;
    TLabel* LabelDataini = nullptr;
    TLabel* LabelDatafim = nullptr;
    TLabel* LabelDatePrescricao = nullptr;
    TEdit* Enome = nullptr;
    TEdit* Enumero = nullptr;
    TDateEdit* Dataini = nullptr;
    TDateEdit* Datafim = nullptr;
    TDateEdit* DatePrescricao = nullptr;
    TGroupBox* GroupJuros = nullptr;
    TCheckBox* Cjuros = nullptr;
    TLabel* LabelDateinicialjuros = nullptr;
    TLabel* LabelDatefinaljuros = nullptr;
    TLabel* LabelEjuros = nullptr;
    TDateEdit* Dateinicialjuros = nullptr;
    TDateEdit* Datefinaljuros = nullptr;
    TCurrencyEdit* Ejuros = nullptr;
    TGroupBox* GroupRmiInss = nullptr;
    TLabel* LabelVautor = nullptr;
    TCurrencyEdit* Vautor = nullptr; // RMI paid (INSS): feeds "Valor Pago"
    TCheckBox* Cadct1inss = nullptr;
    TCheckBox* Cadct2inss = nullptr;
    TCheckBox* Curvinss = nullptr; // invisible
    TCheckBox* Cstetoinss = nullptr;
    TCheckBox* Dtetoinss = nullptr;
    TGroupBox* GroupRmiAutor = nullptr;
    TLabel* LabelVinss = nullptr;
    TCurrencyEdit* Vinss = nullptr; // recomputed RMI (Autor): feeds "Valor Calculado"
    TCheckBox* Cadct1 = nullptr;
    TCheckBox* Cadct2 = nullptr;
    TCheckBox* Curv = nullptr;  // invisible
    TCheckBox* Cirsm = nullptr; // invisible
    TCheckBox* Csteto = nullptr;
    TCheckBox* Dteto = nullptr;
    TCheckBox* Check13 = nullptr;
    TComboBox* ComboBox1 = nullptr; // invisible: the correction series
    TGroupBox* GroupMeuIndice = nullptr; // invisible
    TCheckBox* meuindice = nullptr;
    TButton* Button29 = nullptr; // "C"
    TButton* Button30 = nullptr; // "?"
    TButton* Button17 = nullptr;
    TButton* Button19 = nullptr;
    TButton* Button24 = nullptr;
    TButton* Button9 = nullptr;  // invisible
    TButton* Button35 = nullptr; // invisible
    TButton* Button36 = nullptr; // invisible
    TButton* BTNcorrigir = nullptr; // Próximo
    TButton* Fechar = nullptr;
    TButton* Button7 = nullptr; // Voltar

    // Page 6: the spreadsheet.
    TTabSheet* TabSheet2 = nullptr;
    TStringAlignGrid* planilha = nullptr;
    TButton* Button3 = nullptr; // Finalizar
    TButton* Button4 = nullptr; // Fechar
    TButton* Button6 = nullptr; // Voltar
    TButton* Button1 = nullptr;  // invisible "Refazer Salário"
    TButton* Button28 = nullptr; // invisible "Refazer Índice"
    TButton* Button32 = nullptr; // invisible "?"

    // Navigation.
    void Button20Click(TObject* Sender);
    void Button23Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void BTNcorrigirClick(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button31Click(TObject* Sender);
    void Button3Click(TObject* Sender); // Finalizar
    void FecharClick(TObject* Sender);

    // Date normalisation on exit.
    void DatainiExit(TObject* Sender);
    void DatafimExit(TObject* Sender);
    void DateinicialjurosExit(TObject* Sender);
    void DatefinaljurosExit(TObject* Sender);
    void DatePrescricaoExit(TObject* Sender);
    void DateEdit1Exit(TObject* Sender);
    void DateEdit2Exit(TObject* Sender);
    void DateEdit3Exit(TObject* Sender);

    // Boxes.
    void Cadct1Click(TObject* Sender);
    void Cadct2Click(TObject* Sender);
    void Cadct1inssClick(TObject* Sender);
    void Cadct2inssClick(TObject* Sender);
    void CurvClick(TObject* Sender);

    // Help buttons: DataDir/ajudaN.rtf into Form7->RE, then Form7 shows.
    void Button21Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button12Click(TObject* Sender);
    void Button13Click(TObject* Sender);
    void Button14Click(TObject* Sender);
    void Button15Click(TObject* Sender);
    void Button16Click(TObject* Sender);
    void Button18Click(TObject* Sender);
    void Button17Click(TObject* Sender);
    void Button19Click(TObject* Sender);
    void Button24Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    // Information messages.
    void Button33Click(TObject* Sender);
    void Button34Click(TObject* Sender);
    void Button35Click(TObject* Sender);
    // Menu.
    void ndiceProporcional1Click(TObject* Sender);
    void Meundice1Click(TObject* Sender);
    // Invisible buttons: nothing.
    void Button1Click(TObject* Sender);
    void Button28Click(TObject* Sender);
    void Button32Click(TObject* Sender);

    // The new RMI.
    void incdata2(const std::string& initial, const std::string& final);
    void S041088();
    std::string devolvevalorex(int side, const std::string& date);

    // The spreadsheet passes (each runs on planilha and refreshes it).
    void incdata(const std::string& initial, const std::string& final);
    void colocaindice();
    void colocaindice2();
    long double divmoeda(int side, int row, TCheckBox* box);
    void corrigevalor();
    void corrigevalortt();
    void corrigevalorfim();
    void corrigevalorttfim();
    void corrigevalor3();
    void corrigevalor3fim();
    void corrigevalor2();
    void corrigevalor2fim();
    void fimx();
    void refazsalx();
    void refazindx();
    void recalculo();
    std::string devolvesm(const std::string& date);
    std::string devolveind(const std::string& date);

    // The wizard's own text helpers.
    bool checkinteiro(const std::string& text);
    long double RemovePonto(const std::string& text);
    std::string formatfloatx(const std::string& format, long double value);

    // Writes DataDir/atualrev.back (atomically: a failed write keeps the
    // previous file and raises EInOutError).
    void gravax();
    // Writes DataDir/atual.html.
    void imprix();
    // What the report is made of: the wizard's fields and grids and the
    // main window's report font.
    calc::TReportInput ReportInput();
    // The state-file reading of "A. Backup" and "Abrir": restores the
    // controls and the grids from the file, reruns BTNcorrigirClick on the
    // way, and leaves the wizard on page 0 (the caller shows it). A stop of
    // the calculation (its message shown) ends the reading with EAbort; a
    // file that cannot be read raises EInOutError.
    void ReadStateFile(const std::string& fileName);

    // "Novo": every input a case holds back to a new case's (texts, dates,
    // amounts, boxes, the road, the correction series, the three grids),
    // page 0.
    void ClearCase();
    // Whether the wizard holds input changed since its case was started,
    // opened or finished (what it holds is then not the last state file
    // written either), a cell still being typed into included.
    bool HoldsUnfinishedInput();
    // When it does, asks whether to discard it ("Sim"/"Não", "Não" the
    // default); true when what it holds may go.
    bool MayDiscardInput();
    // What the wizard holds now is its case as started, opened or finished.
    void KeepInput();

    // The spreadsheet was opened from a case saved when, with interest, the
    // month of a prescription date after its first day was not owed: its
    // passes keep that rule until it is computed again.
    bool PrescriptionByDay = false;

    // What the passes read from the controls.
    calc::TPlanilhaInput PlanilhaInput();
    calc::TNovaRmiInput NovaRmiInput();

private:
    void BuildPage0();
    void BuildPage1();
    void BuildPage2();
    void BuildPage3();
    void BuildPage4();
    void BuildPage5();
    void BuildPage6();
    void BuildMenu();
    TButton* HelpButton(TWinControl* parent, const std::string& name,
                        void (TForm12::*handler)(TObject*));
    void ShowHelp(const char* file);
    void NormaliseDate(TDateEdit* edit);
    // Validation failure: message, focus (when it can), silent abort.
    [[noreturn]] void Fail(const std::string& message, TWinControl* focus,
                           int pageIndex = -1);
    void ValidateSalaryDates(bool withUpdateDate, int failPage);
    void CheckSalaryCells();
    void ClearGridRows(TStringAlignGrid* grid);
    // After a page change the keyboard goes on in the new page's first
    // input.
    void FocusFirstInput();
    // Binds a navigation button: the handler, then the focus into the page
    // it led to.
    void BindStep(TButton* button, void (TForm12::*handler)(TObject*));
    // The inputs as the state file writes them, when last kept.
    std::vector<std::string> keptInput_;
    // Puts the new RMI step's amount into Vinss or Vautor (`set` does). An
    // amount there that differs and that the wizard did not put itself
    // (typed, or read from a case) is replaced only when the user agrees.
    void PutRmi(TCurrencyEdit* edit, std::string& put, const std::function<void()>& set,
                const std::string& name, const std::string& source);
    // Vinss and Vautor as the wizard itself last left them ("" when a case
    // read from a file left them).
    std::string putVinss_, putVautor_;
    // Runs one spreadsheet pass on planilha with the controls' inputs.
    template <class F>
    void RunPass(F pass, bool proportional = false);
};

extern TForm12* Form12;
