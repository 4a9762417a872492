#pragma once
#include <functional>
// The main window: the report view, the toolbar that starts, reopens, saves
// and prints a calculation, the report font and print margins, and the
// start-up load of the settings and index tables.
#include <array>
#include <string>

#include "controls/speed_button.h"
#include "html/view/html_viewer.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/dates.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);

    // The data directory: the current directory at start-up, without a
    // trailing separator. Every data file is PathJoin(DataDir, name).
    std::string DataDir;

    THTMLViewer* HTMLViewer1;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TRxSpeedButton* BtnRevisaoNovo;
    TRxSpeedButton* SpeedButton20;
    TRxSpeedButton* SpeedButton17;
    TRxSpeedButton* SpeedButton18;
    TRxSpeedButton* SpeedButton19;
    TRxSpeedButton* SpeedButton1;
    TRxSpeedButton* SpeedButton21;
    TGroupBox* GroupBox1;
    TGroupBox* GroupBox2;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TLabel* Label6;
    TComboBox* Cnomefont;
    TComboBox* Cfont;
    TComboBox* Ctop;
    TComboBox* Cbotton;
    TComboBox* Cleft;
    TComboBox* Crigth;
    TMemo* Memofont;
    TMemo* Memo1;
    TEdit* Edit1;
    TOpenDialog* OpenDialog1;
    TOpenDialog* OpenDialog2;
    TSaveDialog* SaveDialog1;
    TSaveDialog* SaveDialog2;
    TFontDialog* FontDialog1;
    TPrinterSetupDialog* PrinterSetupDialog1;

    TMainMenu* MainMenu1;
    TMenuItem* Editar1;
    TMenuItem* Selecionartudo1;
    TMenuItem* Copiar1;
    TMenuItem* ConfigurarImpresso1;
    TMenuItem* ndices1;
    TMenuItem* Sobre1;
    TMenuItem* Ajuda1;
    TMenuItem* Sobre2;
    TMenuItem* Atualizaes1;
    TMenuItem* SiteBravenaSoftware1;
    TMenuItem* Ajuda2;
    TMenuItem* AjudanositedaBravenaSoftware1;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Set before the window first shows: makes the program's other forms.
    // The window is then seen first, and these forms and the start-up load
    // follow its first paint (the commands that need them wait disabled).
    std::function<void()> FormsAfterFirstPaint;

    void BtnRevisaoNovoClick(TObject* Sender);
    void SpeedButton20Click(TObject* Sender);
    void SpeedButton17Click(TObject* Sender);
    void SpeedButton18Click(TObject* Sender);
    void SpeedButton19Click(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void Selecionartudo1Click(TObject* Sender);
    void Copiar1Click(TObject* Sender);
    void ConfigurarImpresso1Click(TObject* Sender);
    void Sobre2Click(TObject* Sender);
    void Ajuda1Click(TObject* Sender);
    void ndices1Click(TObject* Sender);
    void SiteBravenaSoftware1Click(TObject* Sender);
    void AjudanositedaBravenaSoftware1Click(TObject* Sender);

    void CnomefontClick(TObject* Sender);
    void CnomefontExit(TObject* Sender);
    void CfontClick(TObject* Sender);
    void CfontExit(TObject* Sender);
    void CleftClick(TObject* Sender);
    void CleftExit(TObject* Sender);
    void CrigthClick(TObject* Sender);
    void CrigthExit(TObject* Sender);
    void CbottonClick(TObject* Sender);
    void CbottonExit(TObject* Sender);
    void CtopClick(TObject* Sender);
    void CtopExit(TObject* Sender);

    // Bound to nothing; kept as the window's own commands.
    void Sair1Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void SpeedButton7Click(TObject* Sender);
    void SpeedButton8Click(TObject* Sender);
    void Copiartudo1Click(TObject* Sender);
    void Copiar3Click(TObject* Sender);
    void Atualizarndices1Click(TObject* Sender);

    // Modification time of a file in the default date-time format; raises
    // EFOpenError when the file cannot be read.
    std::string horax(const std::string& fileName);
    // The user's desktop folder.
    std::string getdesktopdirectory();
    // Starts a program (or opens a document) with the desktop.
    void ExecutePrograma(const std::string& program, const std::string& parameters);
    // The file at the address into destFile (replaced whole, or left as it
    // was and false); whether the address answers "200" or "302". Each waits
    // at most a minute.
    bool DownloadFile(const std::string& sourceUrl, const std::string& destFile);
    bool CheckUrl(const std::string& url);

private:
    // The six settings boxes in font.ini's order: face, size, left, right,
    // bottom and top margins.
    std::array<TComboBox*, 6> SettingsBoxes() const;
    // A changed setting into effect and font.ini rewritten whole from the six
    // combo boxes; a text that cannot be used is shown and its box gets back
    // the value in effect.
    void SaveSettings();
    // The four margins in effect onto the report view.
    void ApplyMargins();
    void LoadSettings();
    void LoadProportionalStart();
    // Settings, proportional-start date and index tables, each failure
    // reported and the rest loaded; the toolbar enabled at the end.
    void LoadAtStart();
    // Reads a state file into the wizard and shows it.
    void OpenStateFile(const std::string& fileName);
    // "Salvar" copies the last finished calculation: whether the user, whose
    // wizard shows another case, still wants that one saved.
    bool SavesTheFinishedCase(const std::string& stateFile);
    // The print preview of the report shown; without one, a message.
    void ShowPrintPreview();
    // A report just computed shows from its top left.
    void ShowReportFromTop();
    // Opens a page of the data directory in the web browser.
    void OpenPage(const std::string& name);
    void SetToolbarEnabled(bool enabled);

    // The settings in effect, in font.ini's order: what the reports use.
    std::array<std::string, 6> settings_;
    // The wizard was shown this run: what it holds is the user's case.
    bool wizardShown_ = false;
    // font.ini holds values that were refused at start-up.
    bool settingsFileDamaged_ = false;
};

extern TForm1* Form1;
