#pragma once
// The contribution-time sum "Soma do Tempo de Contribuição": the insured
// person's data, the options and the list of contribution periods on tabs,
// the organised copy of the periods and the report table on hidden tabs. Its
// calculation lives in contribution_core.h; the form keeps the unit's
// results of the day arithmetic (SplitYears..., ExactYears...).
#include <memory>
#include <string>

#include "controls/date_edit.h"
#include "controls/speed_button.h"
#include "grids/icon_grid.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/text_file.h"
#include "simulation/contribution_core.h"

class TOpenDialog;

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);

    TPanel *Panel1, *Panel2; // top and bottom
    TRxSpeedButton *SpeedButton9, *SpeedButton12, *SpeedButton14, *SpeedButton15, *SpeedButton16;
    TRxSpeedButton *SpeedButton1, *SpeedButton2, *SpeedButton3;
    TPageControl* PageControl1;
    TTabSheet *TabSheet1, *TabSheet2, *TabSheet3, *TabSheet4, *TabSheet5;

    // Dados do Segurado
    TEdit *Edit1, *Edit2, *Edit4, *Edit5, *Edit7;
    TComboBox* ComboBox1;
    TGroupBox* GroupBox1;
    TRadioButton *RadioButton1, *RadioButton2;
    TMaskEdit* MaskEdit1; // birth date
    TDateEdit* DateTimePicker1;
    TMaskEdit* MaskEdit2; // requirement date
    TDateEdit* DateTimePicker2;
    // Opções
    TGroupBox *GroupBox2, *GroupBox3;
    TRadioButton *RadioButton5, *RadioButton6;
    TRxSpeedButton* SpeedButton8;
    TCheckBox *ckpedagio, *Ck9876, *Ck20, *simulaRMI;
    // Períodos de Contribuição
    TIconGrid* IconGrid3;
    TRxSpeedButton *SpeedButton4, *SpeedButton5, *SpeedButton6, *SpeedButton7;
    TComboBox* Cfont;
    // hidden: the organised periods and the report table
    TIconGrid* IconGrid1;
    TIconGrid* IconGrid2;

    // The unit's results of the day arithmetic.
    int SplitYears = 0, SplitMonths = 0, SplitDays = 0;
    int ExactYears = 0, ExactMonths = 0, ExactDays = 0;
    int64_t TotalDays = 0; // the input of cvx1

    // The closing report page: finalvisualizar ends and closes it when a
    // writer of the page has opened it.
    std::unique_ptr<TTextFileWriter> relatorioFinal;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void DateTimePicker1CloseUp(TObject* Sender);
    void DateTimePicker2CloseUp(TObject* Sender);
    void DateTimePicker2Change(TObject* Sender);
    void MaskEdit1Exit(TObject* Sender);
    void MaskEdit2Exit(TObject* Sender);
    void IconGrid3GetEditMask(TObject* Sender, int ACol, int ARow, std::string& Value);
    void IconGrid1GetEditMask(TObject* Sender, int ACol, int ARow, std::string& Value);
    void IconGrid3SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void IconGrid3SetEditText(TObject* Sender, int ACol, int ARow, const std::string& Value);
    void IconGrid3ValidateEdit(TObject* Sender, int ACol, int ARow, bool& Valid);
    void IconGrid1SetEditText(TObject* Sender, int ACol, int ARow, const std::string& Value);
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton6Click(TObject* Sender);
    void SpeedButton7Click(TObject* Sender);
    void SpeedButton8Click(TObject* Sender);
    void SpeedButton12Click(TObject* Sender);
    void SpeedButton14Click(TObject* Sender);
    void SpeedButton15Click(TObject* Sender);
    void SpeedButton16Click(TObject* Sender);

    // The module's operations (no event calls them).
    void organiza();
    void sortcol();
    void EntreDatas(int& Y, int& M, int& D, TDateTime A, TDateTime B);
    void pedagio(int R, int Y, int M, int D);
    void apomaispedagio(int A, int Y, int M, int D);
    void cumprop(int Y1, int M1, int D1, int Y2, int M2, int D2);
    void apoint(int R, int Y, int M, int D);
    void Datafinalx(int Y, int M, long double factor, int D);
    void retornacerto(int64_t days);
    void cvx1();
    double DifDias(TDateTime A, TDateTime B);
    std::string formatano(int n);
    std::string formatmes(int n);
    std::string formatdia(int n);
    std::string tempocontribuicao(const std::string& years, const std::string& months,
                                  const std::string& days);
    void calculovisualizar();
    // The report table as "teste.html" in the data directory, shown in the
    // main window's report view.
    void impx();
    void finalvisualizar();
    // The state file "temp.back" in the data directory.
    void gravar();

    // Shared routines, twins of the revision and simulation forms'.
    std::string validadata(const std::string& text);
    bool Bissexto(int year);
    bool tbStrIsDate(const std::string& text);
    // As the simulation form's, but a text without digits, commas or minus
    // signs raises EConvertError.
    long double RemovePonto(const std::string& text);

    // The state the form's fields and periods make, and its reverse.
    soma::TSomaEstado Estado() const;
    void AplicaEstado(const soma::TSomaEstado& estado);

private:
    int selRow_ = 0, selCol_ = 0;   // IconGrid3's selected cell
    int editRow_ = 0, editCol_ = 0; // its last edited cell
    int page_ = 0;

    void DateExit(TMaskEdit* edit);
    void Split(const soma::TTempo& t);
    int RowForButtons() const;
    TOpenDialog* OpenDialog();
    TOpenDialog* ownOpenDialog_ = nullptr;
    void BuildPages();
};

extern TForm2* Form2;
