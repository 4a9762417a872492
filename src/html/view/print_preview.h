#pragma once
// The print preview: the viewer's document rendered page by page into
// metafiles and shown one or two pages at a time, at a chosen zoom, with an
// optional inch or centimetre grid, page navigation and a print button that
// prints the document again on the printer.
#include <vector>

#include "controls/speed_button.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class THTMLViewer;
class TMetaFilePrinter;

// A tool-bar button that toggles in its group on a click from code as it does
// under the mouse.
class TPreviewSpeedButton : public TRxSpeedButton {
public:
    using TRxSpeedButton::TRxSpeedButton;
    void UserClick() override;
};

class TPreviewForm : public TForm {
public:
    // Builds the form, renders the viewer's pages (with the status dialog) and
    // sets Abort when the user cancelled the rendering.
    TPreviewForm(TComponent* AOwner, THTMLViewer* viewer, bool& Abort);
    ~TPreviewForm() override;

    TPanel* ToolBarPanel;
    TPreviewSpeedButton* PrintBut;
    TPreviewSpeedButton* PrevPageBut;
    TPreviewSpeedButton* NextPageBut;
    TComboBox* ZoomBox;
    TPreviewSpeedButton* FitPageBut;
    TPreviewSpeedButton* FitWidthBut;
    TPreviewSpeedButton* GridBut;
    TComboBox* UnitsBox;
    TPreviewSpeedButton* ZoomCursorBut;
    TPreviewSpeedButton* HandCursorBut;
    TPreviewSpeedButton* OnePageBut;
    TPreviewSpeedButton* TwoPageBut;
    TPreviewSpeedButton* CloseBut;
    TPanel* StatBarPanel;
    TPanel* MoveButPanel;
    TPreviewSpeedButton* FirstPageSpeed;
    TPreviewSpeedButton* PrevPageSpeed;
    TPreviewSpeedButton* NextPageSpeed;
    TPreviewSpeedButton* LastPageSpeed;
    TPreviewSpeedButton* PageNumSpeed;
    TLabel* CurPageLabel;
    TLabel* ZoomLabel;
    TLabel* HintLabel;
    // The scrolled area: the container of the pages moves under two bars.
    TPanel* ScrollBox1;
    TScrollBar* HScroll;
    TScrollBar* VScroll;
    TPanel* ContainPanel;
    TPanel* PagePanel;
    TPaintBox* PB1;
    TPanel* PagePanel2;
    TPaintBox* PB2;
    TPrintDialog* PrintDialog1;

    int CurPage() const { return curPage_; }
    void SetCurPage(int page);
    int PageCount() const;
    double Zoom() const { return zoom_; }
    TMetaFilePrinter* MFPrinter() const { return mfPrinter_; }

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ScrollBox1Resize(TObject* Sender);
    void ZoomBoxChange(TObject* Sender);
    void PBPaint(TObject* Sender);
    void PB1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PB1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void PB1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PrintButClick(TObject* Sender);
    void PageNumSpeedClick(TObject* Sender);
    void UpdateButtons();
    // The scrolled position of the pages' container.
    int HorzPosition() const;
    int VertPosition() const;

private:
    // Repaints the pages shown, drawing first those not yet drawn.
    void ShowPage();
    void RecordShownPages();
    void PlaceContainer();
    void HintChanged(TObject* Sender);
    void FlowToolBar(TObject* Sender);

    THTMLViewer* viewer_;
    TMetaFilePrinter* mfPrinter_ = nullptr;
    int curPage_ = 0;
    double zoom_ = 1.0;
    bool dragging_ = false;
    bool recording_ = false;
    TPoint dragStart_{0, 0};
    TNotifyEvent oldHint_;
    bool hintInstalled_ = false;
    // The tool bar's controls with their places on one row.
    struct TToolBarItem {
        TControl* Control;
        int Left, Top;
    };
    std::vector<TToolBarItem> toolBarItems_;
};
