#pragma once
// The retirement-revision form (unit revisao): a worksheet for the revision
// of a benefit granted between 03/1994 and 02/1997 by the IRSM of 02/1994.
// It also owns helpers that other forms call (the date normalisers, the
// clamp of an amount to the minimum wage and the ceiling, the clamp marker
// and the ceiling-table choice). The arithmetic lives in
// revision/revision_core.h; this form gathers its controls into the core's
// inputs and shows what it returns.
#include <string>
#include <vector>

#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TDateEdit;
class TCurrencyEdit;
class TCustomNumEdit;
class TStringAlignGrid;
class TIconGrid;
class TRxSpeedButton;
class TRxSpinEdit;

namespace revisao {
struct TRevisionTables;
struct TEvolucaoInput;
struct TRevisionState;
} // namespace revisao

class TForm9 : public TForm {
public:
    explicit TForm9(TComponent* AOwner);

    // Toolbar and navigation.
    TPanel* Panel1 = nullptr;
    TRxSpeedButton* SpeedButton9 = nullptr;  // Novo
    TRxSpeedButton* SpeedButton12 = nullptr; // Abrir
    TRxSpeedButton* SpeedButton5 = nullptr;  // Salvar
    TRxSpeedButton* SpeedButton16 = nullptr; // Sair
    TPanel* Panel2 = nullptr;
    TButton* BitBtn1 = nullptr; // &Anterior
    TButton* BitBtn2 = nullptr; // &Próximo
    TButton* BitBtn3 = nullptr; // Finaliza
    TPageControl* PageControl1 = nullptr;

    // "Dados do Segurado".
    TTabSheet* TabSheet1 = nullptr;
    TLabel* LabelEEspecie = nullptr;
    TEdit* EEspecie = nullptr;
    TLabel* LabelEAutor = nullptr;
    TEdit* EAutor = nullptr;
    TLabel* LabelDataajuizamento = nullptr;
    TDateEdit* Dataajuizamento = nullptr;
    TLabel* LabelCalculoate = nullptr;
    TDateEdit* Calculoate = nullptr;
    TLabel* LabelParcelafinal = nullptr;
    TDateEdit* Parcelafinal = nullptr;
    TLabel* LabelPrescricao = nullptr;
    TDateEdit* Prescricao = nullptr;
    TLabel* LabelCatualizacao = nullptr;
    TComboBox* Catualizacao = nullptr;
    TGroupBox* GroupBox1 = nullptr; // "Juros "
    TLabel* LabelEjurosmes = nullptr;
    TCurrencyEdit* Ejurosmes = nullptr;
    TLabel* LabelContagemjuros = nullptr;
    TDateEdit* Contagemjuros = nullptr;
    TRadioButton* Cusetabsc = nullptr; // "Usar tabela Teto INSS SC"
    TRadioButton* Cusetab = nullptr;   // "Usar tabela Teto INSS" (on)
    TRadioButton* Cnaoteto = nullptr;  // "Não limitar ao Teto"

    // "RMI/Nova RMI".
    TTabSheet* TabSheet2 = nullptr;
    TLabel* LabelEDIB = nullptr;
    TDateEdit* EDIB = nullptr;
    TLabel* LabelESalBeneficio = nullptr;
    TCurrencyEdit* ESalBeneficio = nullptr;
    TLabel* LabelECoeficienteRMI = nullptr;
    TCurrencyEdit* ECoeficienteRMI = nullptr;
    TLabel* LabelEIncrementoRMI = nullptr;
    TCurrencyEdit* EIncrementoRMI = nullptr;
    TLabel* LabelERMIMR = nullptr;
    TCurrencyEdit* ERMIMR = nullptr;
    TLabel* LabelENSalBeneficio = nullptr;
    TCurrencyEdit* ENSalBeneficio = nullptr;
    TLabel* LabelENCoeficienteRMI = nullptr;
    TCurrencyEdit* ENCoeficienteRMI = nullptr;
    TLabel* LabelENIncrementoRMI = nullptr;
    TCurrencyEdit* ENIncrementoRMI = nullptr;
    TLabel* LabelENRMIMR = nullptr;
    TCurrencyEdit* ENRMIMR = nullptr;
    TCheckBox* Chek13 = nullptr;

    // "Carta de Concessão".
    TTabSheet* TabSheet3 = nullptr;
    TLabel* LabelEditA = nullptr;
    TCurrencyEdit* EditA = nullptr;
    TLabel* LabelEditB = nullptr;
    TRxSpinEdit* EditB = nullptr; // maximum 36

    // "Salários" (its tab is hidden: the navigation buttons reach it).
    TTabSheet* TabSheet4 = nullptr;
    TLabel* LabelSalarios = nullptr;
    TIconGrid* STGSalarios = nullptr;
    TButton* BRepetir = nullptr;
    TLabel* LabelEditC = nullptr;
    TEdit* EditC = nullptr;
    TRadioButton* Ratualizar = nullptr; // "Corrigir os salários lançados"
    TRadioButton* Rlancar = nullptr;    // "Lançarei os salários já corrigidos" (on)

    // "Nova RMI".
    TTabSheet* TabSheet5 = nullptr;
    TLabel* LabelEditD = nullptr;
    TEdit* EditD = nullptr;
    TLabel* LabelEditE = nullptr;
    TEdit* EditE = nullptr;
    TLabel* LabelEditF = nullptr;
    TEdit* EditF = nullptr;
    TLabel* LabelEditG = nullptr;
    TEdit* EditG = nullptr;
    TLabel* LabelEditH = nullptr;
    TEdit* EditH = nullptr;
    TLabel* LabelEditI = nullptr; // "i) Nova RMI em : "
    TLabel* Lnovarmiem = nullptr;
    TLabel* LabelEditI2 = nullptr; // " ( h * Coeficiente ["
    TLabel* Lcoeficiente = nullptr;
    TEdit* EditI = nullptr;
    TLabel* LabelEditJ = nullptr;
    TEdit* EditJ = nullptr;

    // "Evolução", the full evolution, "Cabeçalho", "Salários D".
    TTabSheet* TabSheet6 = nullptr;
    TStringAlignGrid* SEvolucao = nullptr;
    TTabSheet* TabSheet7 = nullptr;
    TStringAlignGrid* SEvolucao1 = nullptr;
    TTabSheet* TabSheet8 = nullptr;
    TStringAlignGrid* cabeca = nullptr;
    TTabSheet* TabSheet9 = nullptr;
    TStringAlignGrid* Salariosd = nullptr;

    // "SM", "Teto" or "" after each devolvevalor/devolvevalorst.
    std::string marcalimite;
    // Text shared by the evolution ("1" at its start).
    std::string textoaux;

    // Handlers.
    void CalculoateExit(TObject* Sender);
    void DataajuizamentoExit(TObject* Sender);
    void EDIBExit(TObject* Sender);
    void ESalBeneficioExit(TObject* Sender);
    void STGSalariosGetEditMask(TObject* Sender, int ACol, int ARow, std::string& Value);
    void STGSalariosValidateEdit(TObject* Sender, int ACol, int ARow, bool& Valid);
    void STGSalariosAfterEdit(TObject* Sender, int ACol, int ARow);
    void BRepetirClick(TObject* Sender);
    void SpeedButton16Click(TObject* Sender); // Sair
    void SpeedButton9Click(TObject* Sender);  // Novo: the form's defaults
    void SpeedButton12Click(TObject* Sender); // Abrir: reads temprev.back
    void SpeedButton5Click(TObject* Sender);  // Salvar: writes temprev.back
    void BitBtn1Click(TObject* Sender);       // the page before
    void BitBtn2Click(TObject* Sender);       // the next page, computing on the way
    void BitBtn3Click(TObject* Sender);       // Finaliza: evolution, report, state
    void FormShow(TObject* Sender);
    std::string DataajuizamentoGetEditMask();

    // The worksheet.
    void corrigesalario();
    void somasalarios();
    void salariosdx();
    void cabecax();
    void novarmi();
    void evolucao();
    void evolucao2();
    void evolucao3();
    // Writes DataDir/revisao.html ("File access error" on a failed write).
    void printrevisao();
    // Writes DataDir/temprev.back atomically (EInOutError on failure).
    void gravar();
    // Reads a state file written by gravar back into the form. A file that
    // is short or holds a value a control refuses shows a message, changes
    // nothing and stops with EAbort; a file that cannot be read raises
    // EInOutError.
    void ler(const std::string& fileName);
    // The values of the state file's first lines, in its order.
    std::vector<std::string> StateValues();

    // Shared helpers.
    std::string RemoveChar(const std::string& text);
    bool Bissexto(int year);
    std::string validadata(const std::string& text);
    std::string validadataMA(const std::string& text);
    // Limit an amount to the minimum wage and ceiling of the date's month
    // (Form8's GridSalmin and gridiinss).
    std::string devolvevalor(const std::string& V, const std::string& D);
    std::string devolvevalorst(const std::string& V, const std::string& D, const std::string& flag);

private:
    void BuildToolbar();
    void BuildDados();
    void BuildRmi();
    void BuildCarta();
    void BuildSalarios();
    void BuildNovaRmi();
    void BuildGrids();
    void Defaults();
    void NormaliseDate(TDateEdit* edit);
    void ApplyState(const std::vector<std::string>& values, const std::vector<std::string>& months,
                    const std::vector<std::string>& salaries, int rowCount, bool hasRows);
    // Raises calc::ECalcError naming the line of the first value its
    // control cannot hold as it is.
    void CheckStateValues(const revisao::TRevisionState& state, const std::string& fileName);
    // The state-file field an amount edit writes.
    int StateFieldOf(const TCustomNumEdit* edit) const;
    revisao::TEvolucaoInput EvolucaoInput();
    void GridsChanged();

    int contador = 0;              // 0 at creation and at every showing
    int linhaeditada = 0;          // the row of the last edit in STGSalarios
    bool relatorioGravado = false; // the last printrevisao wrote its file
};

extern TForm9* Form9;
