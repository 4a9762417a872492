#pragma once
// The report view: a windowed control that shows one HTML document (or a text
// file, or a single picture), laid out at its width and painted by the
// document model, with scroll bars, links, a history of shown files, the
// visited-link list, mouse selection, copy as text and "HTML Format", and the
// print and print-preview paths.
//
// Text the program hands in and reads back (file names, SelText) is
// Windows-1252; the document itself works in UTF-16.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "html/view/metafile_printer.h"
#include "platform/gui/controls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/string_list.h"

class TSectionList;
class TFormControlObj;
class TFormControlList;
class TFloatingObj;
class TFontObj;
class THTMLViewer;
class TvwPrinter;
struct TTablePartRec;

enum class THTMLBorderStyle : uint8_t { htFocused, htNone, htSingle };

// Options (a set of bits).
using ThtmlViewerOptions = uint8_t;
constexpr ThtmlViewerOptions htOverLinksActive = 1, htNoLinkUnderline = 2, htPrintTableBackground = 4,
                             htPrintBackground = 8, htPrintMonochromeBlack = 16, htShowDummyCaret = 32,
                             htShowVScroll = 64, htNoWheelMouse = 128;

enum TProgressStage : uint8_t { psStarting = 0, psRunning = 1, psEnding = 2 };

// Messages the viewer posts to itself.
constexpr UINT wm_FormSubmit = 1124, wm_MouseScroll = 1126, wm_UrlAction = 1127;

// What the right mouse button was released over.
struct TRightClickParameters {
    std::string URL, Target;
    TFloatingObj* Image = nullptr;
    int ImageX = 0, ImageY = 0;
    std::u16string ClickWord;
};

// One history entry's place: the encoded position, the file's kind and the
// values its forms had (owned).
struct PositionObj {
    int Pos = 0;
    uint8_t FileType = 0;
    std::unique_ptr<TFreeList<TStringList>> FormData;
    PositionObj();
    ~PositionObj();
};

using THotSpotEvent = std::function<void(TObject* Sender, const std::string& SRC)>;
using THotSpotClickEvent = std::function<void(TObject* Sender, const std::string& SRC, bool& Handled)>;
using ThtProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, int PercentDone)>;
using TProcessingEvent = std::function<void(TObject* Sender, bool ProcessingOn)>;
using TMetaRefreshType = std::function<void(TObject* Sender, int Delay, const std::string& URL)>;
using TImageClickEvent =
    std::function<void(TObject* Sender, TFloatingObj* Obj, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TImageOverEvent = std::function<void(TObject* Sender, TFloatingObj* Obj, TShiftState Shift, int X, int Y)>;
using TRightClickEvent = std::function<void(TObject* Sender, TRightClickParameters& Parameters)>;
using TParseEvent = std::function<void(TObject* Sender, std::string& Source)>;
// Header and footer drawn by the program on each printed page (logical units).
// The wheel turned over the view (delta 120 a notch, positive away from
// the user); Handled keeps the view from scrolling.
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TPagePrinted =
    std::function<void(TObject* Sender, TCanvas& Canvas, int NumPage, int W, int H, bool& StopPrinting)>;
// Header and footer as HTML: the handler loads its text into HFViewer.
using ThtmlPagePrinted = std::function<void(TObject* Sender, THTMLViewer* HFViewer, int NumPage, bool LastPage,
                                            int& XL, int& XR, bool& StopPrinting)>;
// A meta element of the document.
using TViewerMetaEvent = std::function<void(TObject* Sender, const std::string& HttpEq, const std::string& Name,
                                            const std::string& Content)>;
using TViewerFormSubmitEvent = TFormSubmitEvent;
// A file the document needs (a linked style sheet) as a stream: left null, the
// name is read as a file; a stream given stays the handler's.
using TGetStreamEvent = std::function<void(TObject* Sender, const std::string& SRC, TStream*& Stream)>;

// An event of the viewer that the document fires too: it reads and calls as a
// std::function, and setting it also sets the document's event.
template <class F>
class TViewerEvent {
public:
    TViewerEvent() = default;
    // Bound to one viewer: handlers pass between events as Handler().
    TViewerEvent(const TViewerEvent&) = delete;
    TViewerEvent& operator=(const TViewerEvent&) = delete;
    TViewerEvent& operator=(F handler) {
        handler_ = std::move(handler);
        if (Changed) Changed();
        return *this;
    }
    explicit operator bool() const noexcept { return static_cast<bool>(handler_); }
    template <class... A>
    void operator()(A&&... args) const {
        handler_(std::forward<A>(args)...);
    }
    const F& Handler() const { return handler_; }
    // Set once by the viewer: copies the handler where the document reads it.
    std::function<void()> Changed;

private:
    F handler_;
};

// The control the document paints on; its mouse goes to the viewer.
class TPaintPanel : public TCustomControl {
public:
    TPaintPanel(TComponent* AOwner, THTMLViewer* viewer);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    bool MouseWheel(TShiftState shift, int delta, int x, int y) override;
    void PointerLeft() override;

protected:
    void Paint() override;

private:
    THTMLViewer* viewer_;
};

class THTMLViewer : public TCustomControl {
public:
    explicit THTMLViewer(TComponent* AOwner);
    ~THTMLViewer() override;

    // ---- loading
    // Shows an HTML file (Windows-1252 name). Ignored while busy or for an empty
    // name; a missing file raises EInOutError "Can't locate file: " + name and
    // leaves the shown document as it was. A "#name" after the file scrolls there.
    void LoadFromFile(const std::string& fileName);
    // Shows a picture file alone.
    void LoadImageFile(const std::string& fileName);
    // Shows a plain-text file as preformatted text.
    void LoadTextFile(const std::string& fileName);
    // Shows HTML held in memory as if it had been read from fileName (which
    // need not exist yet): its folder resolves relative names, and title,
    // history and position behave as for LoadFromFile.
    void LoadFromString(const std::string& source, const std::string& fileName);
    // The load proper: type 0 HTML, 1 text, 2 picture.
    virtual void LoadFile(const std::string& name, int fileType);
    // A link's URL or a relative name as a file name.
    virtual std::string ResolveFileName(const std::string& url);
    // Empties the document (ignored while busy).
    virtual void Clear();

    // The file shown (expanded), "" before any load.
    const std::string& CurrentFile() const { return currentFile_; }
    int CurrentFileType() const { return currentFileType_; }
    // The whole file as read.
    const std::string& DocumentSource() const { return documentSource_; }
    const std::string& DocumentTitle() const { return documentTitle_; }
    const std::string& Base() const { return base_; }
    void SetBase(const std::string& base) { base_ = base; }
    const std::string& BaseTarget() const { return baseTarget_; }
    // The document's code page as the reader found it.
    int DocCodePage() const { return docCodePage_; }

    // ---- place
    // Scrolls to an id or anchor ("#" optional); false when there is none.
    bool PositionTo(const std::string& dest);
    // The encoded position: it survives a layout at another width.
    int Position();
    void SetPosition(int value);
    void ScrollTo(int y);
    int VScrollBarPosition() const;
    int HScrollBarPosition() const;
    int DocHeight() const { return docHeight_; }
    int MaxHScroll() const { return maxHScroll_; }

    // ---- selection and copy
    void SelectAll();
    // The selected text, Windows-1252 / UTF-16 ("" when nothing is selected).
    std::string SelText();
    std::u16string SelTextW();
    int SelStart() const;
    int SelLength();
    // The text between two source positions (empty unless 0 <= start < end).
    std::u16string GetTextByIndices(int start, int end);
    int FindSourcePos(int displayPos);
    int FindDisplayPos(int sourcePos, bool prev);
    // The selection on the clipboard as text and as "HTML Format"; nothing
    // happens when nothing is selected.
    void CopyToClipboard();
    int CaretPos() const { return caretPos_; }

    // ---- printing
    // Prints pages FromPage..ToPage on the printer.
    void Print(int FromPage, int ToPage);
    // Renders every page into the metafile printer.
    void PrintPreview(TMetaFilePrinter* mfPrinter);
    // The pages reached by the last Print or PrintPreview.
    int NumPrinterPages() const { return printedPages_; }
    // A hidden viewer like this one for HTML headers and footers.
    THTMLViewer* CreateHeaderFooterViewer();

    // ---- links, history
    void FollowLink();
    void AddVisitedLink(const std::string& url);
    void BumpHistory(const std::string& oldFile, const std::string& oldTitle, int oldType,
                     std::unique_ptr<TFreeList<TStringList>> oldFormData, int oldPos);
    void ClearHistory();
    const TStringList& History() const { return history_; }
    const TStringList& TitleHistory() const { return titleHistory_; }
    int HistoryIndex() const { return historyIndex_; }
    // Shows the history entry at index (the files are loaded again).
    void SetHistoryIndex(int index);
    const TStringList& Visited() const { return visited_; }
    const std::string& URL() const { return url_; }
    const std::string& Target() const { return target_; }
    const std::u16string& LinkText() const { return linkText_; }
    const TStringList& LinkAttributes() const { return linkAttributes_; }
    bool GetWordAtCursor(int X, int Y, int& St, int& En, std::u16string& AWord);

    // ---- mouse (the paint panel's events) and keys
    virtual void PanelMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void PanelMouseMove(TShiftState Shift, int X, int Y);
    virtual void PanelMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ExtendSelectionTo(int X, int Y);
    void PanelDoubleClick();
    // The pointer left the paint panel (the hint timer then drops the hover).
    void PanelMouseLeave();
    void KeyDown(WORD& key, TShiftState shift) override;
    // A turn of the wheel (positive: away from the user, 120 a notch).
    void WheelScroll(int delta);
    // The wheel over the paint panel: OnMouseWheel first, then the scroll.
    void PanelMouseWheel(TShiftState shift, int delta, int x, int y);
    void WndProc(TMessage& message) override;
    int GetDlgCode() const override { return DLGC_WANTARROWS; }
    void HintTimerTimer(TObject* Sender);

    // ---- the document and its parts
    TSectionList* SectionList() const { return sections_.get(); }
    TFormControlList* FormControlList() const;
    std::unique_ptr<TFreeList<TStringList>> GetFormData();
    // Paints the document (the paint panel's paint, or any canvas for tests).
    void PaintDocument(TCanvas& canvas, const TRect& rect);
    void ReportProgress(int percent);
    void ReportProgressDone();
    void Relayout();
    bool Processing() const { return processing_; }

    TPanel* BorderPanel() const { return borderPanel_; }
    TPaintPanel* PaintPanel() const { return paintPanel_; }
    TScrollBar* VScrollBar() const { return vScrollBar_; }
    TScrollBar* HScrollBar() const { return hScrollBar_; }

    // ---- properties
    TColor DefBackground() const { return defBackground_; }
    void SetDefBackground(TColor color);
    const std::string& DefFontName() const { return defFontName_; }
    void SetDefFontName(const std::string& name);
    const std::string& DefPreFontName() const { return defPreFontName_; }
    void SetDefPreFontName(const std::string& name);
    int DefFontSize() const { return defFontSize_; }
    void SetDefFontSize(int size);
    TColor DefFontColor() const { return defFontColor_; }
    void SetDefFontColor(TColor color);
    TColor DefHotSpotColor() const { return hotSpotColor_; }
    void SetDefHotSpotColor(TColor color);
    TColor DefVisitedLinkColor() const { return visitedColor_; }
    void SetDefVisitedLinkColor(TColor color);
    TColor DefOverLinkColor() const { return overColor_; }
    void SetDefOverLinkColor(TColor color);
    int VisitedMaxCount() const { return visitedMaxCount_; }
    void SetVisitedMaxCount(int count);
    int HistoryMaxCount() const { return historyMaxCount_; }
    // Negative values are refused; lowering it clears the history.
    void SetHistoryMaxCount(int count);
    int ImageCacheCount() const { return imageCacheCount_; }
    void SetImageCacheCount(int count);
    bool NoSelect() const { return noSelect_; }
    void SetNoSelect(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    THTMLBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(THTMLBorderStyle value);
    int CharSet() const { return charSet_; }
    void SetCharSet(int value) { charSet_ = value; }
    int MarginHeight() const { return marginHeight_; }
    void SetMarginHeight(int value) { marginHeight_ = value; }
    int MarginWidth() const { return marginWidth_; }
    void SetMarginWidth(int value) { marginWidth_ = value; }
    const std::string& ServerRoot() const { return serverRoot_; }
    void SetServerRoot(const std::string& value);
    double PrintScale() const { return printScale_; }
    // Clamped to 0.25 .. 4.
    void SetPrintScale(double scale);
    ThtmlViewerOptions htOptions() const { return options_; }
    void SethtOptions(ThtmlViewerOptions options);
    bool ViewImages() const { return viewImages_; }
    void SetViewImages(bool value);
    void SetCursor(TCursor cursor) override;

    // Centimetres.
    long double PrintMarginLeft = 2;
    long double PrintMarginRight = 2;
    long double PrintMarginTop = 2;
    long double PrintMarginBottom = 2;

    // ---- events
    THotSpotEvent OnHotSpotCovered;
    THotSpotClickEvent OnHotSpotClick;
    TNotifyEvent OnHistoryChange;
    ThtProgressEvent OnProgress;
    TProcessingEvent OnProcessing;
    TViewerMetaEvent OnMeta;
    TMetaRefreshType OnMetaRefresh;
    TImageClickEvent OnImageClick;
    TImageOverEvent OnImageOver;
    TRightClickEvent OnRightClick;
    TMouseEvent OnMouseDouble;
    TMouseWheelEvent OnMouseWheel;
    TPagePrinted OnPrintHeader, OnPrintFooter;
    ThtmlPagePrinted OnPrintHTMLHeader, OnPrintHTMLFooter;
    TParseEvent OnParseBegin;
    TNotifyEvent OnParseEnd;
    TPageEvent OnPageEvent;
    // Forms are submitted through the viewer's queue: the handler runs after
    // the click or key that submitted, and may keep nothing of Results.
    TViewerEvent<TViewerFormSubmitEvent> OnFormSubmit;
    // Images: OnBitmapRequest first (the bitmap given becomes the document's);
    // without a bitmap from it, OnImageRequest (DeferredImageStream delays the
    // image). With neither the name is read as a file.
    TViewerEvent<TGetBitmapEvent> OnBitmapRequest;
    TViewerEvent<TGetImageEvent> OnImageRequest;
    TViewerEvent<TScriptEvent> OnScript;
    // Form controls: the browse button of a file input, and each control's
    // click, focus, blur and change with its message text.
    TViewerEvent<TFileBrowseEvent> OnFileBrowse;
    TViewerEvent<TObjectClickEvent> OnObjectClick, OnObjectFocus, OnObjectBlur, OnObjectChange;
    // The panels of OBJECT and PANEL elements: made, freed, printed.
    TViewerEvent<TPanelCreateEvent> OnPanelCreate;
    TViewerEvent<TPanelDestroyEvent> OnPanelDestroy;
    TViewerEvent<TPanelPrintEvent> OnPanelPrint;
    // Hooks of the reader while an HTML document is read: include comments,
    // BGSOUND (also told to stop, SRC "" and Loop 0, before each document and
    // on Clear), LINK and OBJECT (without a handler OBJECT is transparent).
    TIncludeType OnInclude;
    TSoundType OnSoundRequest;
    TLinkType OnLink;
    TObjectTagEvent OnObjectTag;
    TGetStreamEvent OnhtStreamRequest;
    // OnDragOver and OnDragDrop (TControl's) fire for the paint panel too,
    // with the viewer as Sender.

    // Set by the table drawing while a table repeats its head or foot on
    // every printed page.
    TTablePartRec* TablePartRec = nullptr;

protected:
    void BoundsChanged() override;
    void DoEnter() override;
    void DoExit() override;
    bool OwnsKeyInput() const override { return true; }

private:
    friend class TPaintPanel;
    void DoLayout();
    void LayoutAt(int width);
    void ArrangeBars();
    bool VBarNeeded() const;
    void ApplyDocumentSettings();
    void ApplyOptions();
    void ParseDocument(int fileType, const std::string& fileName);
    // The loads: with a source, its text stands for the file's.
    void LoadKeepingHistory(const std::string& fileName, int fileType, const std::string* source);
    void LoadDocument(const std::string& name, int fileType, const std::string* source);
    void MarkVisitedLinks();
    bool LinkMatches(const std::string& entry, const std::string& url);
    std::string ExpandedTarget(const std::string& url);
    void ScrollBy(int dy, bool line);
    void VScrollChanged(TScrollCode code, int& pos);
    void HScrollChanged(TScrollCode code, int& pos);
    void SetProcessing(bool value);
    void MetaHandler(const std::string& httpEq, const std::string& name, const std::string& content);
    void StopSound();
    void BindDocumentEvents();
    bool LinkedSheet(const std::string& href, std::string& text, std::string& path);
    void MouseScroll();
    void ControlEnter(TObject* obj, int y, bool isLink);
    void SubmitQueued(const std::string& action, const std::string& target, const std::string& encType,
                      const std::string& method, TStringList* results);
    void DoFormSubmit();
    void FocusFrame();
    void PrintPages(bool preview, TMetaFilePrinter* mfPrinter, int FromPage, int ToPage);
    void DrawBackground(TCanvas& canvas, const TRect& clip, int xOff, int yOff, int height);

    std::unique_ptr<TSectionList> sections_;
    TPanel* borderPanel_ = nullptr;
    TPaintPanel* paintPanel_ = nullptr;
    TScrollBar* vScrollBar_ = nullptr;
    TScrollBar* hScrollBar_ = nullptr;
    TTimer* hintTimer_ = nullptr;
    bool ownsCache_ = false;

    std::string currentFile_;
    int currentFileType_ = 0;
    std::string documentSource_;
    std::string documentTitle_;
    std::string base_, baseTarget_;
    int docCodePage_ = 0;
    int docHeight_ = 0;
    int maxHScroll_ = 0;
    int scrollWidth_ = 16;

    bool processing_ = false;
    bool layingOut_ = false;
    bool painting_ = false;
    int caretPos_ = 0;
    int selAnchor_ = -1;  // the character position under the last left press
    bool leftButtonDown_ = false;
    bool mouseSelectDrag_ = false;
    bool wheelScrollMode_ = false;
    int wheelStartY_ = 0;
    bool scrollPending_ = false;
    bool linkJustFollowed_ = false;
    bool fixedBackground_ = false;
    bool focused_ = false;
    int lastDownX_ = 0, lastDownY_ = 0;
    int lastMoveX_ = 0, lastMoveY_ = 0;
    bool pointerOutside_ = false;

    std::string url_, target_, title_;
    std::u16string linkText_;
    TStringList linkAttributes_;
    int refreshDelay_ = 0;
    std::string refreshURL_;
    std::string submitAction_, submitTarget_, submitEncType_, submitMethod_;
    std::unique_ptr<TStringList> submitResults_;

    TStringList history_, titleHistory_;
    std::vector<std::unique_ptr<PositionObj>> positionHistory_;
    int historyIndex_ = 0;
    TStringList visited_;

    TColor defBackground_ = clBtnFace;
    std::string defFontName_ = "Times New Roman";
    std::string defPreFontName_ = "Courier New";
    int defFontSize_ = 12;
    TColor defFontColor_ = clBtnText;
    TColor hotSpotColor_ = static_cast<TColor>(0xFF0000);
    TColor visitedColor_ = static_cast<TColor>(0x800080);
    TColor overColor_ = static_cast<TColor>(0xFF0000);
    int visitedMaxCount_ = 50;
    int historyMaxCount_ = 0;
    int imageCacheCount_ = 5;
    bool noSelect_ = false;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    THTMLBorderStyle borderStyle_ = THTMLBorderStyle::htFocused;
    int charSet_ = 1;
    int marginHeight_ = 5;
    int marginWidth_ = 10;
    std::string serverRoot_;
    double printScale_ = 1.0;
    ThtmlViewerOptions options_ = htPrintTableBackground | htPrintMonochromeBlack;
    bool viewImages_ = true;
    TCursor viewerCursor_ = crIBeam;
    int printedPages_ = 0;
    bool constructed_ = false;
};
