#pragma once
// The retirement-simulation form "Simulação do Cálculo de Renda Mensal": the
// insured person's data, contribution times, options, dates and salaries on
// pages without tabs, and the working tables and demonstratives the
// calculation fills. The form also holds text, amount and date helpers that
// other forms call. Its calculation lives in simulation_core.h.
#include <string>
#include <vector>

#include "controls/date_edit.h"
#include "controls/speed_button.h"
#include "grids/align_grid.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/dates.h"
#include "simulation/simulation_core.h"

class TForm6 : public TForm {
public:
    explicit TForm6(TComponent* AOwner);

    // Shared helpers other forms call.
    bool checkinteiro(const std::string& text);
    long double RemovePonto(const std::string& text);
    std::string formatfloatx(const std::string& format, long double value);
    void EntreDatas(TDateTime later, TDateTime earlier, int& years, int& months, int& days);

    TPanel *Panel1, *Panel2;
    TRxSpeedButton *SpeedButton10, *SpeedButton13, *SpeedButton15;
    TRxSpeedButton *SpeedButton1, *SpeedButton2;
    TButton* BFinaliza;
    TPageControl* PageControl1;
    TTabSheet *TabSheet1, *TabSheet2, *TabSheet3, *TabSheet4, *TabSheet5, *TabSheet6, *TabSheet7,
        *TabSheet8, *TabSheet9, *TabSheet10, *TabSheet11;

    // Cálculo de Benefício
    TComboBox* ComboBox2;
    TEdit* Edit3;
    TGroupBox* GroupBox1;
    TRadioButton *RBMasculino, *RBFeminino;
    TMaskEdit* MaskEdit3;
    TDateEdit* DateTimePicker3;
    TGroupBox* GroupBox2;
    TEdit *Edit9, *Edit8, *Edit6;
    // Pedágio
    TGroupBox* GroupBox3;
    TEdit *Edit12, *Edit11, *Edit10;
    TMemo* Memo1;
    // Lei n° 9.876
    TGroupBox* GroupBox4;
    TEdit *Edit15, *Edit14, *Edit13;
    TMemo* Memo2;
    // EC 20
    TMemo* Memo3;
    TGroupBox* GroupBox5;
    TEdit *Edit18, *Edit17, *Edit16;
    // Opções
    TGroupBox* GroupBox6;
    TCheckBox *Ck8213, *Ck9876, *CkB80, *CkRPS31, *Ck113, *Ck242;
    // Datas para cálculo
    TMaskEdit *MaskEdit1, *MaskEdit2;
    TDateEdit* DateTimePicker2;
    TEdit* Edit1;
    // Salários
    TStringAlignGrid* salariogrid;
    TButton* Button1;
    // Demonstrativos and working tables
    TStringAlignGrid* griddemo;
    TEdit *Edit2, *Edit4;
    TStringAlignGrid* gridcorrecao;
    TStringAlignGrid* geralgrid;
    TStringAlignGrid* geralgrid2;

    // "SM", "Teto" or "" after devolvevalor.
    std::string marcalimite;
    // What the last calculation left (sums, means, factor, coefficient...).
    simulacao::TSimResults Resultados;

    void FormShow(TObject* Sender);
    void MaskEdit2Exit(TObject* Sender);
    void MaskEdit3Exit(TObject* Sender);
    void DateTimePicker2Click(TObject* Sender);
    void DateTimePicker3Click(TObject* Sender);
    void Edit6Exit(TObject* Sender);
    void Edit8Exit(TObject* Sender);
    void Edit9Exit(TObject* Sender);
    void Edit10Exit(TObject* Sender);
    void Edit11Exit(TObject* Sender);
    void Edit12Exit(TObject* Sender);
    void Edit13Exit(TObject* Sender);
    void Edit14Exit(TObject* Sender);
    void Edit15Exit(TObject* Sender);
    void Edit16Exit(TObject* Sender);
    void Edit17Exit(TObject* Sender);
    void Edit18Exit(TObject* Sender);
    void SpeedButton15Click(TObject* Sender);

    // The time fields that do not apply to sick pay and disability are locked.
    void travaedit();
    std::string RemoveTPontoS(const std::string& text);
    std::string RemovePontoS(const std::string& text);
    bool StrIsFloat(const std::string& text);
    bool tbStrIsDate(const std::string& text);
    std::string retornameses(const std::string& first, const std::string& second);
    std::string tempocontribuicao(const std::string& years, const std::string& months,
                                  const std::string& days);
    // Amount limited by the minimum wage and the ceiling of the date
    // "dd/mm/yyyy"; sets marcalimite.
    std::string devolvevalor(const std::string& amount, const std::string& date);

    // The calculation steps. A step that cannot go on shows why and aborts
    // (EAbort); the grids keep what the steps before it wrote. Without
    // tabela.tab, criaindice first derives the index series from the
    // salary-correction table, with factors to the end month.
    void criaindice();
    void criaindice2();
    void calcSalCorrigido();
    void calcSalCorrigido98();
    void calcAtual();
    void calc99();
    void calcEC20();
    long double fatorx(const std::string& years, const std::string& months, const std::string& rate,
                       const std::string& days);
    std::string coeficientex(const std::string& kind, bool male, long double time,
                             long double salary);


    // State file "temp2.back": gravar writes it, abrirBackup reads it and
    // shows the form.
    void gravar();
    void abrirBackup();
    // The lines gravar writes.
    std::vector<std::string> LinhasEstado();

    // The values of the controls and the tables the steps read.
    simulacao::TSimInput Entrada() const;
    static simulacao::TSimTables Tabelas();

private:
    void SerieDeIndices();
    void OnlyDigits(TEdit* edit);
    void DateExit(TMaskEdit* edit);
    void BuildPages();
};

extern TForm6* Form6;
