#pragma once
// Message boxes and the common dialogs. Everything goes through one
// replaceable service: the program shows real Qt dialogs, tests and the
// scenario driver install one that answers from a queue and records.
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/classes.h"
#include "platform/gui/graphics.h"

class TForm;

enum class TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using TMsgDlgButtons = uint16_t;
enum TMsgDlgBtn : TMsgDlgButtons {
    mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64,
    mbAll = 128, mbNoToAll = 256, mbYesToAll = 512, mbHelp = 1024
};
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// MessageBox flags and results.
constexpr unsigned MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
                   MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10,
                   MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30,
                   MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40,
                   MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200,
                   MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

enum class TDialogKind : uint8_t { MessageBox, OpenFile, SaveFile, Font, PrinterSetup, Print, ModalForm };

// One message box: the buttons are modal results in display order.
struct TMessageBoxRequest {
    std::string Caption;
    std::string Text;
    TMsgDlgType Type = TMsgDlgType::mtCustom;
    std::vector<TModalResult> Buttons;
    TModalResult DefaultButton = mrOk;
    TModalResult CancelButton = mrCancel;
};

// File dialog options.
using TOpenOptions = uint32_t;
enum TOpenOption : TOpenOptions {
    ofReadOnly = 1, ofOverwritePrompt = 2, ofHideReadOnly = 4, ofNoChangeDir = 8,
    ofShowHelp = 16, ofNoValidate = 32, ofAllowMultiSelect = 64, ofExtensionDifferent = 128,
    ofPathMustExist = 256, ofFileMustExist = 512, ofCreatePrompt = 1024, ofNoReadOnlyReturn = 2048,
    ofEnableSizing = 4096
};

struct TFileDialogRequest {
    bool Save = false;
    std::string Title;
    std::string Filter;  // "Bev|*.bev|Todos|*.*"
    int FilterIndex = 1;
    std::string InitialDir;
    std::string FileName;  // in: proposed name; out: chosen path
    std::string DefaultExt;
    TOpenOptions Options = 0;
};

struct TPrintDialogRequest {
    int Copies = 1;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    bool PrintRange = false;  // false: all pages
    std::string FileName;     // out: the PDF file chosen instead of a printer ("" for none)
};

class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Returns the modal result of the button chosen (mrCancel when closed).
    virtual TModalResult ShowMessageBox(const TMessageBoxRequest& request) = 0;
    // True with request.FileName set to the path chosen.
    virtual bool ExecuteFileDialog(TFileDialogRequest& request) = 0;
    virtual bool ExecuteFontDialog(TFont& font) = 0;
    virtual bool ExecutePrinterSetup() = 0;
    virtual bool ExecutePrintDialog(TPrintDialogRequest& request) = 0;
    // Runs the modal loop of a form that is already shown; returns when the
    // form's ModalResult is set (or the loop gives up: ModalResult stays 0).
    virtual void RunModalLoop(TForm& form) = 0;
};

// The service in force (the Qt one unless another was installed).
IDialogService& DialogService();
// Installs a service (not owned); nullptr restores the Qt one.
void SetDialogService(IDialogService* service);
// The service of real Qt dialogs.
std::unique_ptr<IDialogService> CreateQtDialogService();

// Shows text with the type's caption ("Aviso", "Erro", "Informação",
// "Confirmação", or the application title) and returns the chosen mr*.
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                        int helpContext = 0);
// A message with an OK button and the application title as caption.
void ShowMessage(const std::string& text);
// MB_* flags to a request; the result as ID*.
TMessageBoxRequest MessageBoxRequest(const std::string& text, const std::string& caption,
                                     unsigned flags);
int ModalResultToId(TModalResult result);

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    virtual bool Execute() = 0;
    int HelpContext = 0;
    TNotifyEvent OnShow, OnClose;
};

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
    std::string FileName;
    std::string Filter;
    int FilterIndex = 1;
    std::string InitialDir;
    std::string DefaultExt;
    std::string Title;
    TOpenOptions Options = ofHideReadOnly | ofEnableSizing;

protected:
    virtual bool IsSave() const { return false; }
};

// With ofOverwritePrompt an existing file is confirmed through a message box
// ("... já existe. Deseja substituí-lo?"); No returns to the choice as
// cancelled.
class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
    bool Execute() override;

protected:
    bool IsSave() const override { return true; }
};

class TFontDialog : public TCommonDialog {
public:
    explicit TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
    TFont Font;
};

class TPrinterSetupDialog : public TCommonDialog {
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
};

class TPrintDialog : public TCommonDialog {
public:
    explicit TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
    int Copies = 1;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    bool PrintRange = false;
    // The PDF file the user chose to print to ("" when a printer was chosen).
    std::string FileName;
};

// The file-name patterns of a "Name|*.a;*.b|..." filter at a 1-based index.
std::vector<std::string> FilterPatterns(const std::string& filter, int index);
