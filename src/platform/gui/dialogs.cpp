#include "platform/gui/dialogs.h"
#include "platform/gui/printer.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/qt_bridge.h"
#include "platform/runtime/files.h"

using namespace velorim_gui;

namespace {

const char* ButtonCaption(TModalResult r) {
    switch (r) {
        case mrOk: return "OK";
        case mrCancel: return "Cancelar";
        case mrAbort: return "Anular";
        case mrRetry: return "Repetir";
        case mrIgnore: return "Ignorar";
        case mrYes: return "Sim";
        case mrNo: return "Não";
        case mrAll: return "Todos";
        case mrNoToAll: return "Não para todos";
        case mrYesToAll: return "Sim para todos";
        default: return "Ajuda";
    }
}

// Converts "Name|*.a;*.b|Other|*.*" into Qt's "Name (*.a *.b);;Other (*)".
QString QtFilter(const std::string& filter, int index, QString* selected) {
    QStringList parts;
    std::vector<std::string> fields;
    std::string cur;
    for (char c : filter) {
        if (c == '|') {
            fields.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    fields.push_back(cur);
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        QString patterns = ToQ(fields[i + 1]);
        patterns.replace(';', ' ');
        if (patterns == QStringLiteral("*.*")) patterns = QStringLiteral("*");
        QString entry = ToQ(fields[i]) + QStringLiteral(" (") + patterns + QStringLiteral(")");
        parts << entry;
        if (static_cast<int>(i / 2) + 1 == index && selected) *selected = entry;
    }
    return parts.join(QStringLiteral(";;"));
}

// A path picked in a dialog. One the program cannot name is refused with a
// message and the dialog counts as cancelled: used, it would name another file.
bool PickedPath(const QString& picked, std::string& path) {
    if (FromQPath(picked, path)) return true;
    ShowMessage(UnusablePathText("o arquivo", path));
    return false;
}

// Runs a dialog as a window of the active one, above it.
int ExecOwned(QDialog& dialog) {
    OwnDialog(&dialog, DialogOwner(&dialog));
    return dialog.exec();
}

// The file dialog's listing in the program's language: Qt writes its dates
// and sizes in the host's locale ("7 Dec 2026") and names a folder "Folder".
class TFileListing : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (files && role == Qt::DisplayRole) {
            const QModelIndex source = mapToSource(index);
            switch (index.column()) {
                case 1:
                    if (!files->isDir(source)) return QLocale().formattedDataSize(files->size(source));
                    break;
                case 2:
                    if (files->isDir(source)) return QStringLiteral("Pasta");
                    break;
                case 3: return files->lastModified(source).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
                default: break;
            }
        }
        return QIdentityProxyModel::data(index, role);
    }
};

class QtDialogService : public IDialogService {
public:
    TModalResult ShowMessageBox(const TMessageBoxRequest& r) override {
        QMessageBox box;
        box.setWindowTitle(ToQ(r.Caption));
        box.setText(ToQ(r.Text));
        switch (r.Type) {
            case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); break;
            case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); break;
            case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); break;
            case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); break;
            default: break;
        }
        std::vector<std::pair<QAbstractButton*, TModalResult>> buttons;
        for (TModalResult b : r.Buttons) {
            QPushButton* pb = box.addButton(ToQ(ButtonCaption(b)), QMessageBox::ActionRole);
            buttons.emplace_back(pb, b);
            if (b == r.DefaultButton) box.setDefaultButton(pb);
            if (b == r.CancelButton) box.setEscapeButton(pb);
        }
        ExecOwned(box);
        for (auto& [button, result] : buttons)
            if (box.clickedButton() == button) return result;
        return r.CancelButton;
    }

    bool ExecuteFileDialog(TFileDialogRequest& r) override {
        QString selected;
        const QString filter = QtFilter(r.Filter, r.FilterIndex, &selected);
        QString start = ToQ(r.FileName);
        if (!r.InitialDir.empty() && ExtractFilePath(r.FileName).empty())
            start = ToQ(PathJoin(r.InitialDir, r.FileName));
        QFileDialog dialog(nullptr, ToQ(r.Title), start, filter);
        dialog.setAcceptMode(r.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(r.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        // Qt's own dialog on every desktop: the one the program's language reaches.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setProxyModel(new TFileListing(&dialog));
        // Size, kind and date shown whole; the name takes the rest.
        if (auto* listing = dialog.findChild<QTreeView*>()) {
            QHeaderView* header = listing->header();
            header->setStretchLastSection(false);
            header->setSectionResizeMode(0, QHeaderView::Stretch);
            for (int column = 1; column < 4; ++column)
                header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
        if (!selected.isEmpty()) dialog.selectNameFilter(selected);
        if (ExecOwned(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        std::string path;
        if (!PickedPath(dialog.selectedFiles().first(), path)) return false;
        r.FileName = path;
        return true;
    }

    bool ExecuteFontDialog(TFont& font) override {
        QFontDialog dialog(ToQFont(font));
        if (ExecOwned(dialog) != QDialog::Accepted) return false;
        const QFont chosen = dialog.selectedFont();
        font.SetName(FromQ(chosen.family()));
        if (chosen.pointSize() > 0) font.SetSize(chosen.pointSize());
        TFontStyles style = 0;
        if (chosen.bold()) style |= fsBold;
        if (chosen.italic()) style |= fsItalic;
        if (chosen.underline()) style |= fsUnderline;
        if (chosen.strikeOut()) style |= fsStrikeOut;
        font.SetStyle(style);
        return true;
    }

    bool ExecutePrinterSetup() override {
        QPrinter printer;
        TPrinter& target = Printer();
        const std::vector<std::string> names = target.Printers();
        if (target.PrinterIndex() >= 0 && target.PrinterIndex() < static_cast<int>(names.size()))
            printer.setPrinterName(ToQ(names[target.PrinterIndex()]));
        if (!target.OutputFileName().empty()) printer.setOutputFileName(ToQ(target.OutputFileName()));
        printer.setPageOrientation(target.Orientation() == TPrinterOrientation::poLandscape
                                       ? QPageLayout::Landscape
                                       : QPageLayout::Portrait);
        printer.setCopyCount(target.Copies());
        QPrintDialog dialog(&printer);
        if (ExecOwned(dialog) != QDialog::Accepted) return false;
        std::string output;
        if (!printer.outputFileName().isEmpty() && !PickedPath(printer.outputFileName(), output)) return false;
        // The choice becomes the program's printer, which the print jobs use.
        if (!output.empty()) {
            target.SetOutputFileName(output);
        } else {
            target.SetOutputFileName("");
            const std::string chosen = FromQ(printer.printerName());
            for (size_t i = 0; i < names.size(); ++i)
                if (names[i] == chosen) target.SetPrinterIndex(static_cast<int>(i));
        }
        target.SetOrientation(printer.pageLayout().orientation() == QPageLayout::Landscape
                                  ? TPrinterOrientation::poLandscape
                                  : TPrinterOrientation::poPortrait);
        target.SetCopies(printer.copyCount());
        return true;
    }

    bool ExecutePrintDialog(TPrintDialogRequest& r) override {
        QPrinter printer;
        printer.setCopyCount(r.Copies);
        QPrintDialog dialog(&printer);
        if (r.MaxPage > 0) dialog.setMinMax(std::max(1, r.MinPage), r.MaxPage);
        if (ExecOwned(dialog) != QDialog::Accepted) return false;
        std::string output;
        if (printer.outputFormat() == QPrinter::PdfFormat && !PickedPath(printer.outputFileName(), output))
            return false;
        r.Copies = printer.copyCount();
        r.PrintRange = dialog.printRange() == QAbstractPrintDialog::PageRange;
        r.FromPage = dialog.fromPage();
        r.ToPage = dialog.toPage();
        r.FileName = output;
        return true;
    }

    void RunModalLoop(TForm& form) override {
        QEventLoop loop;
        form.SetModalWake([&loop] { loop.quit(); });
        if (form.ModalResult() == mrNone && !Application->Terminated()) loop.exec();
        form.SetModalWake(nullptr);
    }
};

IDialogService*& Installed() {
    static IDialogService* service = nullptr;
    return service;
}

}  // namespace

std::unique_ptr<IDialogService> CreateQtDialogService() { return std::make_unique<QtDialogService>(); }

IDialogService& DialogService() {
    if (Installed()) return *Installed();
    static std::unique_ptr<IDialogService> qtService = CreateQtDialogService();
    return *qtService;
}

void SetDialogService(IDialogService* service) { Installed() = service; }

namespace {
const TMsgDlgBtn kButtonOrder[] = {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};
TModalResult ResultOfButton(TMsgDlgBtn b) {
    switch (b) {
        case mbYes: return mrYes;
        case mbNo: return mrNo;
        case mbOK: return mrOk;
        case mbCancel: return mrCancel;
        case mbAbort: return mrAbort;
        case mbRetry: return mrRetry;
        case mbIgnore: return mrIgnore;
        case mbAll: return mrAll;
        case mbNoToAll: return mrNoToAll;
        case mbYesToAll: return mrYesToAll;
        default: return mrNone;
    }
}
}  // namespace

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    TMessageBoxRequest r;
    r.Text = text;
    r.Type = type;
    switch (type) {
        case TMsgDlgType::mtWarning: r.Caption = "Aviso"; break;
        case TMsgDlgType::mtError: r.Caption = "Erro"; break;
        case TMsgDlgType::mtInformation: r.Caption = "Informação"; break;
        case TMsgDlgType::mtConfirmation: r.Caption = "Confirmação"; break;
        default: r.Caption = Application->Title(); break;
    }
    for (TMsgDlgBtn b : kButtonOrder)
        if ((buttons & b) && b != mbHelp) r.Buttons.push_back(ResultOfButton(b));
    if (r.Buttons.empty()) r.Buttons.push_back(mrOk);
    auto has = [&](TModalResult m) { return std::find(r.Buttons.begin(), r.Buttons.end(), m) != r.Buttons.end(); };
    r.DefaultButton = has(mrOk) ? mrOk : has(mrYes) ? mrYes : r.Buttons.front();
    r.CancelButton = has(mrCancel) ? mrCancel : has(mrNo) ? mrNo : has(mrOk) ? mrOk : r.Buttons.back();
    return DialogService().ShowMessageBox(r);
}

void ShowMessage(const std::string& text) {
    TMessageBoxRequest r;
    r.Text = text;
    r.Caption = Application->Title();
    r.Buttons = {mrOk};
    r.DefaultButton = mrOk;
    r.CancelButton = mrOk;
    DialogService().ShowMessageBox(r);
}

TMessageBoxRequest MessageBoxRequest(const std::string& text, const std::string& caption, unsigned flags) {
    TMessageBoxRequest r;
    r.Text = text;
    r.Caption = caption;
    switch (flags & 0xF0) {
        case MB_ICONHAND: r.Type = TMsgDlgType::mtError; break;
        case MB_ICONQUESTION: r.Type = TMsgDlgType::mtConfirmation; break;
        case MB_ICONEXCLAMATION: r.Type = TMsgDlgType::mtWarning; break;
        case MB_ICONASTERISK: r.Type = TMsgDlgType::mtInformation; break;
        default: r.Type = TMsgDlgType::mtCustom; break;
    }
    switch (flags & 0x0F) {
        case MB_OKCANCEL: r.Buttons = {mrOk, mrCancel}; break;
        case MB_ABORTRETRYIGNORE: r.Buttons = {mrAbort, mrRetry, mrIgnore}; break;
        case MB_YESNOCANCEL: r.Buttons = {mrYes, mrNo, mrCancel}; break;
        case MB_YESNO: r.Buttons = {mrYes, mrNo}; break;
        case MB_RETRYCANCEL: r.Buttons = {mrRetry, mrCancel}; break;
        default: r.Buttons = {mrOk}; break;
    }
    const size_t def = (flags & 0xF00) >> 8;
    r.DefaultButton = r.Buttons[def < r.Buttons.size() ? def : 0];
    auto has = [&](TModalResult m) { return std::find(r.Buttons.begin(), r.Buttons.end(), m) != r.Buttons.end(); };
    r.CancelButton = has(mrCancel) ? mrCancel : has(mrNo) ? mrNo : r.Buttons.front();
    return r;
}

int ModalResultToId(TModalResult result) {
    switch (result) {
        case mrOk: return IDOK;
        case mrCancel: return IDCANCEL;
        case mrAbort: return IDABORT;
        case mrRetry: return IDRETRY;
        case mrIgnore: return IDIGNORE;
        case mrYes: return IDYES;
        case mrNo: return IDNO;
        default: return 0;
    }
}

std::vector<std::string> FilterPatterns(const std::string& filter, int index) {
    std::vector<std::string> fields;
    std::string cur;
    for (char c : filter) {
        if (c == '|') {
            fields.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    fields.push_back(cur);
    std::vector<std::string> patterns;
    const size_t at = static_cast<size_t>(std::max(index, 1) - 1) * 2 + 1;
    if (at >= fields.size()) return patterns;
    std::string p;
    for (char c : fields[at] + ";") {
        if (c == ';') {
            if (!p.empty()) patterns.push_back(p);
            p.clear();
        } else if (c != ' ') {
            p += c;
        }
    }
    return patterns;
}

bool TOpenDialog::Execute() {
    TFileDialogRequest r;
    r.Save = IsSave();
    r.Title = Title;
    r.Filter = Filter;
    r.FilterIndex = FilterIndex;
    r.InitialDir = InitialDir;
    r.FileName = FileName;
    r.DefaultExt = DefaultExt;
    r.Options = Options;
    if (OnShow) OnShow(this);
    const bool ok = DialogService().ExecuteFileDialog(r);
    if (OnClose) OnClose(this);
    if (!ok) return false;
    std::string name = r.FileName;
    if (!DefaultExt.empty() && ExtractFileExt(name).empty()) name += "." + DefaultExt;
    FileName = name;
    return true;
}

bool TSaveDialog::Execute() {
    // A refused overwrite returns to the choice, as the platform's dialog does.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (!TOpenDialog::Execute()) return false;
        if (!(Options & ofOverwritePrompt) || !FileExists(FileName)) return true;
        TMessageBoxRequest r = MessageBoxRequest(FileName + " já existe.\nDeseja substituí-lo?",
                                                 Title.empty() ? std::string("Salvar como") : Title,
                                                 MB_YESNO | MB_ICONEXCLAMATION);
        r.DefaultButton = mrNo;
        if (DialogService().ShowMessageBox(r) == mrYes) return true;
    }
    return false;
}

bool TFontDialog::Execute() {
    TFont chosen = Font;
    if (!DialogService().ExecuteFontDialog(chosen)) return false;
    Font.Assign(chosen);
    return true;
}

bool TPrinterSetupDialog::Execute() { return DialogService().ExecutePrinterSetup(); }

bool TPrintDialog::Execute() {
    TPrintDialogRequest r;
    r.Copies = Copies;
    r.FromPage = FromPage;
    r.ToPage = ToPage;
    r.MinPage = MinPage;
    r.MaxPage = MaxPage;
    r.PrintRange = PrintRange;
    if (!DialogService().ExecutePrintDialog(r)) return false;
    Copies = r.Copies;
    FromPage = r.FromPage;
    ToPage = r.ToPage;
    PrintRange = r.PrintRange;
    FileName = r.FileName;
    return true;
}
