#include "platform/gui/dialog_recorder.h"

#include <algorithm>

#include "platform/gui/forms.h"
#include "platform/runtime/strutil.h"

TModalResult TDialogRecorder::ResultOf(const std::string& answer) {
    const std::string a = UpperCase(answer);
    if (a == "OK") return mrOk;
    if (a == "CANCEL") return mrCancel;
    if (a == "YES") return mrYes;
    if (a == "NO") return mrNo;
    if (a == "ABORT") return mrAbort;
    if (a == "RETRY") return mrRetry;
    if (a == "IGNORE") return mrIgnore;
    if (a == "ALL") return mrAll;
    return mrNone;
}

std::string TDialogRecorder::NameOf(TModalResult result) {
    switch (result) {
        case mrOk: return "OK";
        case mrCancel: return "Cancel";
        case mrYes: return "Yes";
        case mrNo: return "No";
        case mrAbort: return "Abort";
        case mrRetry: return "Retry";
        case mrIgnore: return "Ignore";
        case mrAll: return "All";
        default: return "None";
    }
}

bool TDialogRecorder::NextAnswer(std::string& answer) {
    if (answers_.empty()) return false;
    answer = answers_.front();
    answers_.pop_front();
    return true;
}

std::vector<std::string> TDialogRecorder::Messages() const {
    std::vector<std::string> texts;
    for (const TDialogRecord& r : records_)
        if (r.Kind == TDialogKind::MessageBox) texts.push_back(r.Text);
    return texts;
}

void TDialogRecorder::Clear() {
    records_.clear();
    answers_.clear();
}

TModalResult TDialogRecorder::ShowMessageBox(const TMessageBoxRequest& request) {
    TDialogRecord rec;
    rec.Kind = TDialogKind::MessageBox;
    rec.Caption = request.Caption;
    rec.Text = request.Text;
    rec.Buttons = request.Buttons;
    TModalResult result = request.DefaultButton;
    std::string answer;
    if (NextAnswer(answer) && ResultOf(answer) != mrNone) result = ResultOf(answer);
    rec.Answer = NameOf(result);
    records_.push_back(rec);
    return result;
}

bool TDialogRecorder::ExecuteFileDialog(TFileDialogRequest& request) {
    TDialogRecord rec;
    rec.Kind = request.Save ? TDialogKind::SaveFile : TDialogKind::OpenFile;
    rec.Caption = request.Title;
    rec.Text = request.Filter;
    std::string answer;
    bool ok = false;
    if (NextAnswer(answer)) {
        const TModalResult r = ResultOf(answer);
        if (r == mrOk) ok = !request.FileName.empty();
        else if (r == mrNone && !answer.empty()) {
            request.FileName = answer;
            ok = true;
        }
    }
    rec.Answer = ok ? request.FileName : "Cancel";
    records_.push_back(rec);
    return ok;
}

bool TDialogRecorder::ExecuteFontDialog(TFont&) {
    std::string answer;
    const bool ok = NextAnswer(answer) && ResultOf(answer) == mrOk;
    records_.push_back({TDialogKind::Font, "", "", {}, ok ? "OK" : "Cancel"});
    return ok;
}

bool TDialogRecorder::ExecutePrinterSetup() {
    std::string answer;
    const bool ok = NextAnswer(answer) && ResultOf(answer) == mrOk;
    records_.push_back({TDialogKind::PrinterSetup, "", "", {}, ok ? "OK" : "Cancel"});
    return ok;
}

// An answer that names no button is the PDF file to print to.
bool TDialogRecorder::ExecutePrintDialog(TPrintDialogRequest& request) {
    std::string answer;
    bool ok = false;
    if (NextAnswer(answer)) {
        const TModalResult r = ResultOf(answer);
        if (r == mrOk) {
            ok = true;
        } else if (r == mrNone && !answer.empty()) {
            request.FileName = answer;
            ok = true;
        }
    }
    records_.push_back({TDialogKind::Print, "", "", {}, ok ? (request.FileName.empty() ? "OK" : request.FileName) : "Cancel"});
    return ok;
}

void TDialogRecorder::RunModalLoop(TForm& form) {
    TDialogRecord rec;
    rec.Kind = TDialogKind::ModalForm;
    rec.Caption = form.Caption();
    rec.Text = form.Name();
    if (OnModalForm) OnModalForm(form);
    if (form.ModalResult() == mrNone) {
        std::string answer;
        TModalResult r = mrCancel;
        if (NextAnswer(answer) && ResultOf(answer) != mrNone) r = ResultOf(answer);
        form.SetModalResult(r);
    }
    rec.Answer = NameOf(form.ModalResult());
    records_.push_back(rec);
}
