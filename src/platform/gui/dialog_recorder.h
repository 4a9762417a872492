#pragma once
// A dialog service without windows: answers every dialog from a queue and
// records what was shown. Tests and the scenario driver install it.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/gui/dialogs.h"

struct TDialogRecord {
    TDialogKind Kind = TDialogKind::MessageBox;
    std::string Caption;
    std::string Text;  // message text, file dialog filter, form name
    std::vector<TModalResult> Buttons;
    std::string Answer;  // "OK", "Cancel", "Yes"..., or the path given
};

class TDialogRecorder : public IDialogService {
public:
    // Queues the answer of the next dialog: "OK", "Yes", "No", "Cancel",
    // "Abort", "Retry", "Ignore" (any case), or a file path for a file dialog.
    void Answer(const std::string& answer) { answers_.push_back(answer); }
    int PendingAnswers() const { return static_cast<int>(answers_.size()); }
    void ClearAnswers() { answers_.clear(); }

    const std::vector<TDialogRecord>& Records() const { return records_; }
    // The texts of the message boxes shown, in order.
    std::vector<std::string> Messages() const;
    // Forgets records and queued answers.
    void Clear();

    // Drives a modal form when set (it sets the form's ModalResult); else the
    // queued answer or mrCancel ends it.
    std::function<void(TForm&)> OnModalForm;

    TModalResult ShowMessageBox(const TMessageBoxRequest& request) override;
    bool ExecuteFileDialog(TFileDialogRequest& request) override;
    bool ExecuteFontDialog(TFont& font) override;
    bool ExecutePrinterSetup() override;
    bool ExecutePrintDialog(TPrintDialogRequest& request) override;
    void RunModalLoop(TForm& form) override;

    // Modal result named by an answer; mrNone when it names none.
    static TModalResult ResultOf(const std::string& answer);
    static std::string NameOf(TModalResult result);

private:
    bool NextAnswer(std::string& answer);
    std::deque<std::string> answers_;
    std::vector<TDialogRecord> records_;
};
