#pragma once
// The tables form "Índices": the program's index tables held in grids, one
// tab each, with the buttons that save them and add or remove rows, and the
// generators that derive the factor series from them. No command shows the
// form: its grids are the tables the calculations read.
#include <string>

#include "controls/speed_button.h"
#include "grids/align_grid.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TForm8 : public TForm {
public:
    explicit TForm8(TComponent* AOwner);

    // The directory the tables are saved to and reloaded from; the start-up
    // load sets it (the current directory until then).
    std::string DataDir;

    TPageControl* PageControl1;
    TTabSheet *TabSheet1, *TabSheet2, *TabSheet3, *TabSheet4, *TabSheet5, *TabSheet6, *TabSheet7,
        *TabSheet8, *TabSheet9, *TabSheet10, *TabSheet11, *TabSheet12, *TabSheet13, *TabSheet14,
        *TabSheet15;
    TPanel *Panel1, *Panel2, *Panel3, *Panel4, *Panel5, *Panel6, *Panel7, *Panel8, *Panel9,
        *Panel10, *Panel11, *Panel12, *Panel13, *Panel14, *Panel15;

    // Source tables.
    TStringAlignGrid* INPCGrid;
    TStringAlignGrid* gridsvida;
    TStringAlignGrid* gridinpc98;
    TStringAlignGrid* gridiinss;
    TStringAlignGrid* GridSalmin;
    TStringAlignGrid* Gridcrmensal;
    TStringAlignGrid* Gridcoeficientes;
    TStringAlignGrid* SRevisaoI;
    TStringAlignGrid* SRevisaoII;
    TStringAlignGrid* SRevisaoIII;
    TStringAlignGrid* GridCorrRev;
    TStringAlignGrid* gridinsssc;
    TStringAlignGrid* GridCorrRev2;
    TStringAlignGrid* Gridanterior1994;
    TStringAlignGrid* tabatusal;
    // Factor grids, rebuilt by the generators.
    TStringAlignGrid* indicegrid;
    TStringAlignGrid* grid98;
    TStringAlignGrid* SRVI;
    TStringAlignGrid* SRVII;
    TStringAlignGrid* SRVIII;

    TButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8,
        *Button9, *Button10, *Button11, *Button12, *Button13, *Button14, *Button15;
    TRxSpeedButton *SpeedButton4, *SpeedButton5, *SpeedButton10, *SpeedButton11, *SpeedButton12,
        *SpeedButton13, *SpeedButton14, *SpeedButton15, *SpeedButton16, *SpeedButton17,
        *SpeedButton18, *SpeedButton19, *SpeedButton22, *SpeedButton23, *SpeedButton24,
        *SpeedButton25, *SpeedButton26, *SpeedButton27;

    void FormShow(TObject* Sender);

    // Gravar.
    void Button1Click(TObject* Sender);  // INPCGrid
    void Button2Click(TObject* Sender);  // gridiinss
    void Button3Click(TObject* Sender);  // GridSalmin
    void Button4Click(TObject* Sender);  // GridCorrRev
    void Button13Click(TObject* Sender); // tabatusal
    // Inserir Linha.
    void Button5Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button14Click(TObject* Sender);
    void SpeedButton14Click(TObject* Sender);
    void SpeedButton16Click(TObject* Sender);
    void SpeedButton18Click(TObject* Sender);
    void SpeedButton10Click(TObject* Sender);
    void SpeedButton12Click(TObject* Sender);
    void SpeedButton24Click(TObject* Sender);
    void SpeedButton26Click(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton22Click(TObject* Sender);
    // Remover Linha.
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void Button12Click(TObject* Sender);
    void Button15Click(TObject* Sender);
    void SpeedButton15Click(TObject* Sender);
    void SpeedButton17Click(TObject* Sender);
    void SpeedButton19Click(TObject* Sender);
    void SpeedButton11Click(TObject* Sender);
    void SpeedButton13Click(TObject* Sender);
    void SpeedButton25Click(TObject* Sender);
    void SpeedButton27Click(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton23Click(TObject* Sender);
    // Month fill of an empty key cell. gridinpc98 shares INPCGrid's handler
    // and tabatusal GridSalmin's: each fills the grid that was clicked, in
    // that grid's own key form.
    void INPCGridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void GridSalminSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void SRevisaoISelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void SRevisaoIISelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void SRevisaoIIISelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);

    // Generators: the factor grids from their source tables.
    void geraindice();     // indicegrid from INPCGrid
    void geraindiceI();    // SRVI from SRevisaoI
    void geraindicexII();  // SRVII from SRevisaoII
    void geraindicexIII(); // SRVIII from SRevisaoIII
    void geraindice98();   // grid98 from gridinpc98
    void geraindiceII(const std::string& key, TStringAlignGrid* target, TStringAlignGrid* source);
    void geraindiceIII(); // SRVIII from SRevisaoIII, from its last month
    // Truncating reloaders (D "dd/mm/yyyy"): the source table is reloaded from
    // its file when that exists, cut after D's month and its factors rebuilt.
    void geraindicex(const std::string& D);
    void geraindiceINSSI(const std::string& D);
    void geraindiceINSSII(const std::string& D);
    void geraindiceINSSIII(const std::string& D);

    std::string formatfloatx(long double value) const;
    long double RoundNum(long double value, int n) const;
    // Amount parsers kept for the form's callers: digits, commas and minus
    // signs of the text (of FloatToStr(number)) read as a number.
    long double RemovePonto(const std::string& text) const;
    long double RemovePontoS(long double number) const;

private:
    void SaveTable(TStringAlignGrid* grid, const char* file);
    void ReloadTable(TStringAlignGrid* grid, const char* file);
    // A truncating reloader: the source reloaded from its file, cut at D and
    // its factors derived, unless the file, both grids and D's month are as
    // the last derivation left them.
    using TDerivation = void (*)(const std::string& D, TCellMatrix& source, TCellMatrix& target);
    void Derive(TStringAlignGrid* source, const char* file, TStringAlignGrid* target,
                const std::string& D, TDerivation derive);
};

extern TForm8* Form8;

// The row handlers of the index tables, shared with the own-index form.
namespace tabelas {
// Appends a row keyed one month after the last row ("mm/yyyy" keys, or
// "dd/mm/yyyy" dates when dateKeys) and makes it current. A last key that is
// no month raises the conversion error; the appended row stays, unkeyed.
void AppendMonthRow(TStringAlignGrid* grid, bool dateKeys);
// Appends an empty row and makes it current.
void AppendRow(TStringAlignGrid* grid);
// Inserts an empty row at row 1 (tables kept newest first).
void InsertTopRow(TStringAlignGrid* grid);
// Removes the last row (never a fixed one nor the only data row) and makes
// the new last row current.
void RemoveLastRow(TStringAlignGrid* grid);
void RemoveTopRow(TStringAlignGrid* grid);
// An empty key cell in `row` gets the month two months after the key of the
// row two above; nothing when that key is no month (the header, an empty row).
void FillMonthKey(TStringAlignGrid* grid, int row, bool dateKeys);
// Ends an open cell edit on the grid's form and saves the grid as the table
// file `name` of dir. A row the next start would refuse (a key or a value
// that does not read, a row out of order) writes nothing and raises
// ETableError naming the row.
void SaveGridTable(TStringAlignGrid* grid, const std::string& dir, const char* name);
} // namespace tabelas
