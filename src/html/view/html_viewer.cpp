#include "html/view/html_viewer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "html/images/gif_image.h"
#include "html/images/image_cache.h"
#include "html/images/image_loading.h"
#include "html/images/viewer_globals.h"
#include "html/layout/document.h"
#include "html/layout/section.h"
#include "html/layout/html_parser.h"
#include "html/reader/html_tokenizer.h"
#include "html/reader/viewer_types.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"

namespace {

// Widest content the horizontal bar scrolls over.
constexpr int kMaxHScroll = 6000;
// Sources this long are laid out once, with the vertical bar's room kept.
constexpr size_t kLongSource = 10000;

std::string LowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string TrimText(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

// An absolute, tidied path: relative names start at the current folder.
std::string ExpandFileName(const std::string& name) {
    if (name.empty()) return name;
    std::filesystem::path p(name);
    if (p.is_relative()) p = std::filesystem::path(GetCurrentDir()) / p;
    std::string out = p.lexically_normal().string();
    if (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

}  // namespace

PositionObj::PositionObj() = default;
PositionObj::~PositionObj() = default;

// ---------------------------------------------------------------- paint panel

TPaintPanel::TPaintPanel(TComponent* AOwner, THTMLViewer* viewer) : TCustomControl(AOwner), viewer_(viewer) {
    SetDlgCode(DLGC_WANTARROWS);
}

void TPaintPanel::Paint() {
    THTMLViewer* v = viewer_;
    if (v->layingOut_ || v->painting_) return;
    v->painting_ = true;
    try {
        v->PaintDocument(Canvas(), ClientRect());
    } catch (...) {
        v->painting_ = false;
        throw;
    }
    v->painting_ = false;
}

void TPaintPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (shift & ssDouble) {  // the double click that follows does the work
        viewer_->lastDownX_ = x;
        viewer_->lastDownY_ = y;
        return;
    }
    viewer_->PanelMouseDown(button, shift, x, y);
}

void TPaintPanel::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    viewer_->PanelMouseMove(shift, x, y);
}

void TPaintPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    viewer_->PanelMouseUp(button, shift, x, y);
}

bool TPaintPanel::MouseWheel(TShiftState shift, int delta, int x, int y) {
    viewer_->PanelMouseWheel(shift, delta, x, y);
    return true;
}

void TPaintPanel::PointerLeft() { viewer_->PanelMouseLeave(); }

void TPaintPanel::DblClick() {
    TCustomControl::DblClick();
    viewer_->PanelDoubleClick();
}

// ---------------------------------------------------------------- the viewer

namespace {
// The picture globals (error and delayed images, cursors) live while any
// viewer does.
struct GlobalsHolder {
    static void Acquire() {
        if (count()++ == 0) InitializeViewerGlobals();
    }
    static void Release() {
        if (--count() == 0) FinalizeViewerGlobals();
    }
    static int& count() {
        static int n = 0;
        return n;
    }
};
}  // namespace

THTMLViewer::THTMLViewer(TComponent* AOwner) : TCustomControl(AOwner) {
    GlobalsHolder::Acquire();
    SetTabStop(true);
    parentColor_ = false;
    SetBounds(0, 0, 150, 150);

    borderPanel_ = new TPanel(this);
    borderPanel_->SetName("BorderPanel");
    borderPanel_->SetParent(this);
    borderPanel_->SetBevelOuter(TPanelBevel::bvNone);
    borderPanel_->SetBevelInner(TPanelBevel::bvNone);
    borderPanel_->SetCaption("");
    borderPanel_->SetAlign(TAlign::alClient);

    paintPanel_ = new TPaintPanel(this, this);
    paintPanel_->SetName("PaintPanel");
    paintPanel_->SetParent(borderPanel_);
    paintPanel_->SetBounds(1, 1, 148, 148);
    paintPanel_->SetCursor(viewerCursor_);

    vScrollBar_ = new TScrollBar(this);
    vScrollBar_->SetName("VScrollBar");
    vScrollBar_->SetParent(borderPanel_);
    vScrollBar_->SetKind(TScrollBarKind::sbVertical);
    vScrollBar_->SmallChange = 16;
    vScrollBar_->SetTabStop(false);
    vScrollBar_->SetVisible(false);
    scrollWidth_ = std::max(vScrollBar_->Width() > 0 ? GetSystemMetrics(SM_CXVSCROLL) : 16, 1);
    vScrollBar_->OnScroll = [this](TObject*, TScrollCode code, int& pos) { VScrollChanged(code, pos); };

    hScrollBar_ = new TScrollBar(this);
    hScrollBar_->SetName("HScrollBar");
    hScrollBar_->SetParent(borderPanel_);
    hScrollBar_->SmallChange = 15;
    hScrollBar_->SetTabStop(false);
    hScrollBar_->SetVisible(false);
    hScrollBar_->OnScroll = [this](TObject*, TScrollCode code, int& pos) { HScrollChanged(code, pos); };

    sections_ = std::make_unique<TSectionList>(this, paintPanel_);
    sections_->BackgroundChange = [this] {
        if (sections_) paintPanel_->SetColor(sections_->Background);
    };
    sections_->ResolveFileName = [this](const std::string& name) { return ResolveFileName(name); };
    sections_->ReportProgress = [this](int percent) { ReportProgress(percent); };
    sections_->ControlEnterEvent = [this](TObject* obj, int y, bool isLink) { ControlEnter(obj, y, isLink); };
    sections_->LinkFollowEvent = [this](TFontObj* link) {
        if (!link) return;
        // As a click on it: the link's attributes and text are known to the
        // handlers it reaches.
        url_ = link->Link().URL;
        target_ = link->Link().Target;
        linkAttributes_.SetText(link->Link().Attr);
        linkText_ = GetTextByIndices(link->Link().LinkText.Start, link->Link().LinkText.Last);
        PostMessage(this, wm_UrlAction, 0, 0);
    };
    sections_->ViewerKeyDown = [this](uint16_t& key, TShiftState shift) {
        WORD k = key;
        KeyDown(k, shift);
        key = k;
    };
    BindDocumentEvents();
    paintPanel_->OnDragOver = [this](TObject*, TObject* source, int x, int y, TDragState state, bool& accept) {
        accept = static_cast<bool>(OnDragOver);
        if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
    };
    paintPanel_->OnDragDrop = [this](TObject*, TObject* source, int x, int y) {
        if (OnDragDrop) OnDragDrop(this, source, x, y);
    };

    hintTimer_ = new TTimer(this);
    hintTimer_->SetEnabled(false);
    hintTimer_->SetInterval(200);
    hintTimer_->OnTimer = [this](TObject* Sender) { HintTimerTimer(Sender); };

    SetDefBackground(clBtnFace);
    ApplyOptions();
    FocusFrame();
    constructed_ = true;
}

THTMLViewer::~THTMLViewer() {
    constructed_ = false;
    if (hintTimer_) hintTimer_->SetEnabled(false);
    if (sections_) {
        sections_->Clear();
        if (ownsCache_) {
            delete sections_->BitmapList;
            sections_->BitmapList = nullptr;
        }
        sections_.reset();
    }
    positionHistory_.clear();
    DestroyChildren();
    GlobalsHolder::Release();
}

void THTMLViewer::BindDocumentEvents() {
    TSectionList* d = sections_.get();
    OnBitmapRequest.Changed = [this, d] { d->GetBitmap = OnBitmapRequest.Handler(); };
    OnImageRequest.Changed = [this, d] { d->GetImage = OnImageRequest.Handler(); };
    OnScript.Changed = [this, d] { d->ScriptEvent = OnScript.Handler(); };
    OnFileBrowse.Changed = [this, d] { d->FileBrowse = OnFileBrowse.Handler(); };
    OnObjectClick.Changed = [this, d] { d->ObjectClick = OnObjectClick.Handler(); };
    OnObjectFocus.Changed = [this, d] { d->ObjectFocus = OnObjectFocus.Handler(); };
    OnObjectBlur.Changed = [this, d] { d->ObjectBlur = OnObjectBlur.Handler(); };
    OnObjectChange.Changed = [this, d] { d->ObjectChange = OnObjectChange.Handler(); };
    OnPanelCreate.Changed = [this, d] { d->PanelCreateEvent = OnPanelCreate.Handler(); };
    OnPanelDestroy.Changed = [this, d] { d->PanelDestroyEvent = OnPanelDestroy.Handler(); };
    OnPanelPrint.Changed = [this, d] { d->PanelPrintEvent = OnPanelPrint.Handler(); };
    // The document hands a submission to the viewer's queue, which keeps a
    // copy of the results until the posted message runs the handler.
    OnFormSubmit.Changed = [this, d] {
        if (!OnFormSubmit) {
            d->SubmitForm = nullptr;
            return;
        }
        d->SubmitForm = [this](TObject*, const std::string& action, const std::string& target,
                               const std::string& encType, const std::string& method, TStringList* results) {
            auto copy = new TStringList;
            if (results) copy->Assign(*results);
            SubmitQueued(action, target, encType, method, copy);
        };
    };
}

void THTMLViewer::StopSound() {
    if (OnSoundRequest) OnSoundRequest(this, std::string(), 0, true);
}

bool THTMLViewer::LinkedSheet(const std::string& href, std::string& text, std::string& path) {
    TStream* stream = nullptr;
    OnhtStreamRequest(this, href, stream);
    if (!stream) {
        const std::string file = ResolveFileName(href);
        if (!FileExists(file)) return false;
        text = ReadFileBytes(file, kMaxHelpFileSize);
        path = ExtractFilePath(file);
        return true;
    }
    stream->Seek(0, soFromBeginning);
    text.clear();
    char buffer[4096];
    for (size_t n; (n = stream->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    // Urls inside the sheet resolve against the folder it was named in.
    const size_t slash = href.find_last_of("/\\");
    path = slash == std::string::npos ? std::string() : href.substr(0, slash + 1);
    return true;
}

// ---------------------------------------------------------------- properties

void THTMLViewer::SetDefBackground(TColor color) {
    if (processing_) return;
    defBackground_ = color;
    sections_->SetBackground(color);
    paintPanel_->SetColor(color);
    SetColor(color);
}

void THTMLViewer::SetDefFontName(const std::string& name) {
    if (processing_) return;
    defFontName_ = name;
    sections_->FontName = name;
}

void THTMLViewer::SetDefPreFontName(const std::string& name) {
    if (LowerCase(name) == LowerCase(defPreFontName_)) return;
    defPreFontName_ = name;
    sections_->PreFontName = name.substr(0, 32);
}

void THTMLViewer::SetDefFontSize(int size) {
    defFontSize_ = size;
    sections_->FontSize = size;
}

void THTMLViewer::SetDefFontColor(TColor color) {
    defFontColor_ = color;
    sections_->FontColor = color;
}

void THTMLViewer::SetDefHotSpotColor(TColor color) {
    hotSpotColor_ = color;
    sections_->HotSpotColor = color;
}

void THTMLViewer::SetDefVisitedLinkColor(TColor color) {
    visitedColor_ = color;
    sections_->LinkVisitedColor = color;
}

void THTMLViewer::SetDefOverLinkColor(TColor color) {
    overColor_ = color;
    sections_->LinkActiveColor = color;
}

void THTMLViewer::SetVisitedMaxCount(int count) {
    count = std::max(count, 0);
    if (count == visitedMaxCount_) return;
    visitedMaxCount_ = count;
    if (count == 0) {
        visited_.Clear();
        for (TFontObj* link : sections_->LinkList) link->SetVisited(false);
        paintPanel_->Invalidate();
        return;
    }
    while (visited_.Count() > count) visited_.Delete(visited_.Count() - 1);
}

void THTMLViewer::SetHistoryMaxCount(int count) {
    if (count < 0 || count == historyMaxCount_) return;
    const int old = historyMaxCount_;
    historyMaxCount_ = count;
    if (count < old) ClearHistory();
}

void THTMLViewer::ClearHistory() {
    const bool had = history_.Count() > 0;
    history_.Clear();
    titleHistory_.Clear();
    positionHistory_.clear();
    historyIndex_ = 0;
    currentFile_.clear();
    if (had && OnHistoryChange) OnHistoryChange(this);
}

void THTMLViewer::SetImageCacheCount(int count) {
    imageCacheCount_ = std::clamp(count, 0, 20);
    if (sections_->BitmapList) sections_->BitmapList->SetCacheCount(imageCacheCount_);
}

void THTMLViewer::SetNoSelect(bool value) {
    if (value == noSelect_) return;
    noSelect_ = value;
    if (value) {
        sections_->SelB = sections_->SelE = 0;
        selAnchor_ = -1;
        paintPanel_->Invalidate();
    }
}

void THTMLViewer::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_) return;
    scrollBars_ = value;
    if (constructed_ && !processing_) Relayout();
}

void THTMLViewer::SetBorderStyle(THTMLBorderStyle value) {
    borderStyle_ = value;
    FocusFrame();
    if (constructed_ && !processing_) Relayout();
}

void THTMLViewer::SetServerRoot(const std::string& value) {
    std::string s = TrimText(value);
    if (!s.empty() && s.back() == '\\') s.pop_back();
    serverRoot_ = s;
}

void THTMLViewer::SetPrintScale(double scale) { printScale_ = std::clamp(scale, 0.25, 4.0); }

void THTMLViewer::SethtOptions(ThtmlViewerOptions options) {
    options_ = options;
    ApplyOptions();
}

void THTMLViewer::ApplyOptions() {
    sections_->LinksActive = (options_ & htOverLinksActive) != 0;
    sections_->PrintTableBackgrounds = (options_ & (htPrintTableBackground | htPrintBackground)) != 0;
    sections_->PrintBackground = (options_ & htPrintBackground) != 0;
    sections_->PrintMonoBlack = (options_ & htPrintMonochromeBlack) != 0;
    sections_->ShowDummyCaret = (options_ & htShowDummyCaret) != 0;
}

void THTMLViewer::SetViewImages(bool value) {
    if (value == viewImages_ || processing_) return;
    viewImages_ = value;
    sections_->ShowImages = value;
    if (!constructed_) return;
    const TCursor old = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    try {
        Relayout();
    } catch (...) {
        Screen->SetCursor(old);
        throw;
    }
    Screen->SetCursor(old);
}

void THTMLViewer::SetCursor(TCursor cursor) {
    viewerCursor_ = cursor == 2 ? crIBeam : cursor;
    TCustomControl::SetCursor(viewerCursor_);
    if (paintPanel_) paintPanel_->SetCursor(viewerCursor_);
}

void THTMLViewer::SetProcessing(bool value) {
    if (processing_ == value) return;
    processing_ = value;
    if (OnProcessing) OnProcessing(this, value);
}

// ---------------------------------------------------------------- loading

void THTMLViewer::LoadFromFile(const std::string& fileName) { LoadKeepingHistory(fileName, 0, nullptr); }

void THTMLViewer::LoadImageFile(const std::string& fileName) { LoadKeepingHistory(fileName, 2, nullptr); }

void THTMLViewer::LoadTextFile(const std::string& fileName) { LoadKeepingHistory(fileName, 1, nullptr); }

void THTMLViewer::LoadFromString(const std::string& source, const std::string& fileName) {
    LoadKeepingHistory(fileName, 0, &source);
}

void THTMLViewer::LoadKeepingHistory(const std::string& fileName, int fileType, const std::string* source) {
    if (processing_ || fileName.empty()) return;
    const std::string oldFile = currentFile_, oldTitle = documentTitle_;
    const int oldPos = Position(), oldType = currentFileType_;
    std::unique_ptr<TFreeList<TStringList>> oldFormData = GetFormData();
    if (source)
        LoadDocument(fileName, fileType, source);
    else
        LoadFile(fileName, fileType);
    if (oldFile != currentFile_ || oldType != currentFileType_)
        BumpHistory(oldFile, oldTitle, oldType, std::move(oldFormData), oldPos);
}

void THTMLViewer::ApplyDocumentSettings() {
    if (!sections_->BitmapList) {
        sections_->BitmapList = new TStringBitmapList;
        sections_->BitmapList->SetCacheCount(imageCacheCount_);
        ownsCache_ = true;
    }
    sections_->Clear();
    sections_->BitmapList->BumpAndCheck();
    sections_->ShowImages = viewImages_;
    sections_->SetFonts(defFontName_, defPreFontName_.substr(0, 32), marginWidth_, marginHeight_, charSet_,
                        (options_ & htNoLinkUnderline) == 0, (options_ & htOverLinksActive) != 0, defBackground_,
                        overColor_, visitedColor_, hotSpotColor_, defFontColor_, defFontSize_);
    ApplyOptions();
}

void THTMLViewer::LoadFile(const std::string& name, int fileType) { LoadDocument(name, fileType, nullptr); }

void THTMLViewer::LoadDocument(const std::string& name, int fileType, const std::string* source) {
    const TCursor oldCursor = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    std::string file = name, dest;
    if (const size_t hash = name.find('#'); hash != std::string::npos) {
        file = name.substr(0, hash);
        dest = name.substr(hash + 1);
    }
    refreshDelay_ = 0;
    refreshURL_.clear();
    SetProcessing(true);
    if (!source && !FileExists(file)) {
        Screen->SetCursor(oldCursor);
        if (OnProgress) OnProgress(this, psEnding, 100);
        SetProcessing(false);
        throw EInOutError("Can't locate file: " + file);
    }
    // The file is read before anything changes: one that cannot be read
    // (a folder, a device, one too large) leaves the document shown as it was.
    std::string text;
    try {
        if (fileType != 2) text = source ? *source : ReadFileBytes(file, kMaxPageFileSize);
    } catch (...) {
        Screen->SetCursor(oldCursor);
        if (OnProgress) OnProgress(this, psEnding, 100);
        SetProcessing(false);
        throw;
    }
    try {
        sections_->ProgressStart = 75;
        if (OnProgress) OnProgress(this, psStarting, 0);
        layingOut_ = true;
        ApplyDocumentSettings();
        caretPos_ = 0;
        selAnchor_ = -1;
        const std::string oldFile = currentFile_;
        currentFile_ = ExpandFileName(file);
        currentFileType_ = fileType;
        documentSource_ = std::move(text);
        if (OnParseBegin) OnParseBegin(this, documentSource_);
        ParseDocument(fileType, file);
        if (OnParseEnd) OnParseEnd(this);
        sections_->GetBackgroundBitmap();
        DoLayout();
        MarkVisitedLinks();
        if (dest.empty() || !PositionTo(dest)) {
            if (currentFile_ != oldFile) {
                ScrollTo(0);
                hScrollBar_->SetPosition(0);
            }
        }
        layingOut_ = false;
        paintPanel_->Invalidate();
    } catch (...) {
        layingOut_ = false;
        Screen->SetCursor(oldCursor);
        if (OnProgress) OnProgress(this, psEnding, 100);
        SetProcessing(false);
        throw;
    }
    Screen->SetCursor(oldCursor);
    if (OnProgress) OnProgress(this, psEnding, 100);
    SetProcessing(false);
    if (refreshDelay_ > 0 && OnMetaRefresh) OnMetaRefresh(this, refreshDelay_, refreshURL_);
}

void THTMLViewer::ParseDocument(int fileType, const std::string& fileName) {
    // The reader's OBJECT and linked-sheet hooks are unit-wide: set for this
    // parse only.
    struct HookGuard {
        ~HookGuard() {
            Readhtml::ObjectTagEvent = nullptr;
            Readhtml::LinkedSheetEvent = nullptr;
        }
    } guard;
    switch (fileType) {
        case 0:
            StopSound();
            Readhtml::ObjectTagEvent = OnObjectTag;
            if (OnhtStreamRequest)
                Readhtml::LinkedSheetEvent = [this](const std::string& href, std::string& text, std::string& path) {
                    return LinkedSheet(href, text, path);
                };
            Readhtml::HtmlParseString(documentSource_, sections_.get(), OnInclude, OnSoundRequest,
                                      [this](TObject*, const std::string& httpEq, const std::string& name,
                                             const std::string& content) { MetaHandler(httpEq, name, content); },
                                      OnLink);
            break;
        case 1:
            Readhtml::HtmlParseTextString(documentSource_, sections_.get());
            break;
        default: {
            // The name is an attribute value: its own quotes and ampersands are escaped.
            std::string src;
            for (char c : fileName) src += c == '&' ? std::string("&amp;") : c == '"' ? std::string("&quot;") : std::string(1, c);
            Readhtml::HtmlParseString("<img src=\"" + src + "\">", sections_.get(), nullptr, nullptr, nullptr, nullptr);
            break;
        }
    }
    documentTitle_ = Readhtml::DocTitle;
    base_ = Readhtml::DocBase;
    baseTarget_ = Readhtml::DocBaseTarget;
    docCodePage_ = Readhtml::DocCodePage;
}

void THTMLViewer::MetaHandler(const std::string& httpEq, const std::string& name, const std::string& content) {
    if (OnMeta) OnMeta(this, httpEq, name, content);
    if (!OnMetaRefresh || LowerCase(httpEq) != "refresh") return;
    const size_t semi = content.find(';');
    const std::string delay = TrimText(content.substr(0, semi));
    char* end = nullptr;
    const long value = std::strtol(delay.c_str(), &end, 10);
    refreshDelay_ = (delay.empty() || *end) ? -1 : static_cast<int>(value);
    if (refreshDelay_ == 0) refreshDelay_ = 1;
    const size_t at = LowerCase(content).find("url=");
    refreshURL_ = at == std::string::npos ? std::string() : content.substr(at + 4);
}

void THTMLViewer::Clear() {
    if (processing_) return;
    hintTimer_->SetEnabled(false);
    StopSound();
    sections_->Clear();
    if (ownsCache_ && sections_->BitmapList) sections_->BitmapList->Clear();
    sections_->SetFonts(defFontName_, defPreFontName_.substr(0, 32), marginWidth_, marginHeight_, charSet_,
                        (options_ & htNoLinkUnderline) == 0, (options_ & htOverLinksActive) != 0, defBackground_,
                        overColor_, visitedColor_, hotSpotColor_, defFontColor_, defFontSize_);
    documentTitle_.clear();
    base_.clear();
    baseTarget_.clear();
    documentSource_.clear();
    currentFile_.clear();
    docHeight_ = 0;
    maxHScroll_ = 0;
    vScrollBar_->SetParams(0, 0, 0);
    hScrollBar_->SetParams(0, 0, 0);
    vScrollBar_->SetVisible(false);
    hScrollBar_->SetVisible(false);
    sections_->SetYOffset(0);
    caretPos_ = 0;
    selAnchor_ = -1;
    ArrangeBars();
    paintPanel_->Invalidate();
}

std::string THTMLViewer::ResolveFileName(const std::string& url) {
    const size_t scheme = url.find("://");
    const std::string lower = LowerCase(TrimText(url));
    if (scheme != std::string::npos && scheme > 0 && lower.find("file://") == std::string::npos) return url;
    std::string name;
    if (lower.rfind("file://", 0) == 0) {
        // "file:///home/x" names the absolute path "/home/x".
        name = DecodeURLEscapes(TrimText(url).substr(7));
        if (name.rfind("localhost/", 0) == 0) name.erase(0, 9);
    } else {
        name = HTMLToDos(TrimText(url), serverRoot_);
    }
    // Names come with the other platform's separators; this one uses "/".
    std::replace(name.begin(), name.end(), '\\', '/');
    if (!name.empty() && name[0] == '/') return ExpandFileName(name);
    if (LowerCase(base_) == "dospath") return name;
    std::string folder;
    if (!base_.empty()) {
        std::string b = HTMLServerToDos(base_);
        std::replace(b.begin(), b.end(), '\\', '/');
        folder = ExtractFilePath(b);
    } else {
        folder = ExtractFilePath(currentFile_);
    }
    return ExpandFileName(folder + name);
}

void THTMLViewer::MarkVisitedLinks() {
    for (int i = 0; i < visited_.Count(); ++i) {
        const std::string& entry = visited_[i];
        for (TFontObj* link : sections_->LinkList) {
            const std::string& url = link->Link().URL;
            if (!url.empty() && LinkMatches(entry, url)) link->SetVisited(true);
        }
    }
}

std::string THTMLViewer::ExpandedTarget(const std::string& url) {
    if (!url.empty() && url[0] == '#') return currentFile_ + url;
    return ResolveFileName(url);
}

bool THTMLViewer::LinkMatches(const std::string& entry, const std::string& url) {
    return LowerCase(entry) == LowerCase(ExpandedTarget(url));
}

// ---------------------------------------------------------------- layout

void THTMLViewer::LayoutAt(int width) {
    maxHScroll_ = 0;
    int curs = 0;
    const int bw = borderStyle_ == THTMLBorderStyle::htNone ? 0 : 2;
    docHeight_ = sections_->Layout(paintPanel_->Canvas(), 0, std::max(width, 1), std::max(Height() - bw, 1), 0,
                                   maxHScroll_, curs);
}

bool THTMLViewer::VBarNeeded() const {
    const int bw = borderStyle_ == THTMLBorderStyle::htNone ? 0 : 2;
    if (docHeight_ > Height() - bw) return true;
    return (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) &&
           docHeight_ >= Height() - bw - scrollWidth_ && maxHScroll_ > Width() - scrollWidth_ - bw;
}

void THTMLViewer::DoLayout() {
    const int bw = borderStyle_ == THTMLBorderStyle::htNone ? 0 : 2;
    const int w0 = Width() - bw;
    const bool vAllowed = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
    const bool showV = (options_ & htShowVScroll) != 0;
    const bool wasLayingOut = layingOut_;
    layingOut_ = true;
    try {
        if (!vAllowed) {
            LayoutAt(w0);
        } else if (!showV && documentSource_.size() < kLongSource) {
            LayoutAt(w0);
            if (VBarNeeded()) {
                LayoutAt(w0 - scrollWidth_);
                // Narrower, the document may fit after all.
                if (docHeight_ <= Height() - bw && !((scrollBars_ == TScrollStyle::ssBoth) &&
                                                    docHeight_ >= Height() - bw - scrollWidth_ &&
                                                    maxHScroll_ > Width() - bw))
                    LayoutAt(w0);
            }
        } else {
            LayoutAt(w0 - scrollWidth_);
        }
    } catch (...) {
        layingOut_ = wasLayingOut;
        throw;
    }
    layingOut_ = wasLayingOut;
    ArrangeBars();
}

void THTMLViewer::ArrangeBars() {
    const int bw = borderStyle_ == THTMLBorderStyle::htNone ? 0 : 2;
    const int frame = bw / 2;
    const int ch = Height() - bw, cw = Width() - bw, sb = scrollWidth_;
    maxHScroll_ = std::min(maxHScroll_, kMaxHScroll);
    const bool showV = (options_ & htShowVScroll) != 0;
    bool hVis = false, vVis = false, vNeeded = false;
    if (scrollBars_ == TScrollStyle::ssNone || (!showV && docHeight_ <= ch && maxHScroll_ <= cw)) {
        // nothing shows
    } else if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) {
        vNeeded = docHeight_ >= ch ||
                  (scrollBars_ == TScrollStyle::ssBoth && docHeight_ >= ch - sb && maxHScroll_ > cw - sb);
        hVis = scrollBars_ == TScrollStyle::ssBoth &&
               (maxHScroll_ > cw || ((vNeeded || showV) && maxHScroll_ > cw - sb));
        vVis = vNeeded || showV;
    } else {
        hVis = maxHScroll_ > cw;
    }
    const int panelW = std::max(cw - (vVis ? sb : 0), 0);
    const int panelH = std::max(ch - (hVis ? sb : 0), 0);
    paintPanel_->SetBounds(frame, frame, panelW, panelH);
    const int w = Width() - (vVis ? sb : 0);
    hScrollBar_->SetVisible(hVis);
    hScrollBar_->SetBounds(frame, Height() - sb - frame, std::max(w - frame, 0), sb);
    hScrollBar_->LargeChange = std::max(1, w - 20);
    hScrollBar_->SetPageSize(std::max(w, 1));
    hScrollBar_->SetParams(hScrollBar_->Position(), 0, std::max(maxHScroll_, panelW));
    vScrollBar_->SetVisible(vVis);
    vScrollBar_->SetEnabled(!showV || vNeeded);
    vScrollBar_->SetBounds(Width() - sb - frame, frame, sb, panelH);
    vScrollBar_->LargeChange = std::max(panelH - vScrollBar_->SmallChange, 1);
    vScrollBar_->SetPageSize(panelH + 1);
    vScrollBar_->SetParams(vScrollBar_->Position(), 0, std::max(docHeight_, 0));
}

void THTMLViewer::Relayout() {
    if (processing_) return;
    SetProcessing(true);
    try {
        const int pos = Position();
        sections_->ProgressStart = 0;
        if (OnProgress) OnProgress(this, psStarting, 0);
        DoLayout();
        SetPosition(pos);
    } catch (...) {
        if (OnProgress) OnProgress(this, psEnding, 100);
        SetProcessing(false);
        throw;
    }
    if (OnProgress) OnProgress(this, psEnding, 100);
    SetProcessing(false);
    paintPanel_->Invalidate();
}

void THTMLViewer::BoundsChanged() {
    TCustomControl::BoundsChanged();
    // A viewer on its way out (with its form) lays nothing out.
    if (!constructed_ || !sections_ || Destroying()) return;
    if (processing_) {
        ArrangeBars();
        return;
    }
    Relayout();
    const int panelH = paintPanel_->Height();
    if (docHeight_ >= panelH) ScrollTo(vScrollBar_->Position());
    else ScrollTo(0);
    const int hMax = std::max(hScrollBar_->Max() - paintPanel_->Width(), 0);
    if (hScrollBar_->Position() > hMax) hScrollBar_->SetPosition(hMax);
}

// ---------------------------------------------------------------- place

int THTMLViewer::Position() {
    const int top = sections_->YOff;
    int sectionTop = 0, index = -1;
    if (TSectionBase* s = sections_->FindSectionAtPosition(top, sectionTop, index); s && index >= 0)
        return (index + 1) * 65536 + ((top - sectionTop) & 0xFFFF);
    return top;
}

void THTMLViewer::SetPosition(int value) {
    const int index = (value >> 16) - 1;
    if (index >= 0) {
        if (index < static_cast<int>(sections_->PositionList.size()))
            ScrollTo((value & 0xFFFF) + sections_->PositionList[static_cast<size_t>(index)]->GetYPosition());
    } else {
        ScrollTo(value & 0xFFFF);
    }
}

void THTMLViewer::ScrollTo(int y) {
    y = std::min(y, docHeight_ - paintPanel_->Height());
    y = std::max(y, 0);
    vScrollBar_->SetPosition(y);
    sections_->SetYOffset(y);
    paintPanel_->Invalidate();
}

int THTMLViewer::VScrollBarPosition() const { return vScrollBar_->Position(); }
int THTMLViewer::HScrollBarPosition() const { return hScrollBar_->Position(); }

void THTMLViewer::VScrollChanged(TScrollCode code, int& pos) {
    const int old = sections_->YOff;
    const int panelH = paintPanel_->Height();
    switch (code) {
        case TScrollCode::scLineUp: pos = old - vScrollBar_->SmallChange; break;
        case TScrollCode::scLineDown: pos = old + vScrollBar_->SmallChange; break;
        case TScrollCode::scPageUp: pos = old - vScrollBar_->LargeChange; break;
        case TScrollCode::scPageDown: pos = old + vScrollBar_->LargeChange; break;
        case TScrollCode::scTop: pos = 0; break;
        case TScrollCode::scBottom: pos = docHeight_ - panelH; break;
        case TScrollCode::scTrack:
        case TScrollCode::scPosition: break;
        default: pos = old; break;
    }
    pos = std::max(std::min(pos, docHeight_ - panelH), 0);
    sections_->SetYOffset(pos);
    paintPanel_->Invalidate();
}

void THTMLViewer::HScrollChanged(TScrollCode, int& pos) {
    pos = std::max(std::min(pos, hScrollBar_->Max() - paintPanel_->Width()), 0);
    paintPanel_->Invalidate();
}

void THTMLViewer::ScrollBy(int dy, bool) {
    const int panelH = paintPanel_->Height();
    int y = std::max(std::min(sections_->YOff + dy, docHeight_ - panelH), 0);
    vScrollBar_->SetPosition(y);
    sections_->SetYOffset(y);
    paintPanel_->Invalidate();
}

// ---------------------------------------------------------------- keys

void THTMLViewer::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (key == 0) return;
    if (wheelScrollMode_) {
        wheelScrollMode_ = false;
        paintPanel_->SetCursor(viewerCursor_);
        return;
    }
    if (shift & ssShift) return;
    const int small = vScrollBar_->SmallChange, large = vScrollBar_->LargeChange;
    switch (key) {
        case VK_PRIOR: ScrollBy(-large, false); break;
        case VK_NEXT: ScrollBy(large, false); break;
        case VK_END: ScrollBy(docHeight_, false); break;
        case VK_HOME: ScrollBy(-sections_->YOff, false); break;
        case VK_UP: ScrollBy(-small, true); break;
        case VK_DOWN: ScrollBy(small, true); break;
        case VK_LEFT:
        case VK_RIGHT: {
            const int step = key == VK_LEFT ? -hScrollBar_->SmallChange : hScrollBar_->SmallChange;
            const int hMax = std::max(hScrollBar_->Max() - paintPanel_->Width(), 0);
            hScrollBar_->SetPosition(std::clamp(hScrollBar_->Position() + step, 0, hMax));
            paintPanel_->Invalidate();
            break;
        }
        default: return;
    }
    // Used: a focused control that handed it over must not act on it too.
    key = 0;
}

void THTMLViewer::PanelMouseWheel(TShiftState shift, int delta, int x, int y) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, delta, TPoint{x, y}, handled);
    if (!handled) WheelScroll(delta);
}

void THTMLViewer::WheelScroll(int delta) {
    if (options_ & htNoWheelMouse) return;
    const int lines = Mouse ? Mouse->WheelScrollLines() : 3;
    const int step = lines > 0 ? 16 * lines * (delta > 0 ? -1 : 1) : -delta / 2;
    ScrollBy(step, false);
}

void THTMLViewer::WndProc(TMessage& message) {
    switch (message.Msg) {
        case wm_FormSubmit: DoFormSubmit(); return;
        case wm_MouseScroll: MouseScroll(); return;
        case wm_UrlAction: FollowLink(); return;
        case WM_GETDLGCODE: message.Result = DLGC_WANTARROWS; return;
        default: TCustomControl::WndProc(message);
    }
}

// ---------------------------------------------------------------- focus and frame

void THTMLViewer::FocusFrame() {
    if (!borderPanel_) return;
    const bool frame = borderStyle_ == THTMLBorderStyle::htSingle ||
                       (borderStyle_ == THTMLBorderStyle::htFocused && focused_);
    borderPanel_->SetBorderStyle(frame ? TBorderStyle::bsSingle : TBorderStyle::bsNone);
}

void THTMLViewer::DoEnter() {
    focused_ = true;
    FocusFrame();
    TCustomControl::DoEnter();
}

void THTMLViewer::DoExit() {
    focused_ = false;
    FocusFrame();
    TCustomControl::DoExit();
}

void THTMLViewer::ControlEnter(TObject*, int y, bool isLink) {
    const int top = sections_->YOff, ch = paintPanel_->Height();
    if (!isLink) {
        if (y < top || y > top + ch - 20) ScrollTo(y - ch / 2);
    } else if (!linkJustFollowed_) {
        if (y < top) ScrollTo(y);
        else if (y > top + ch - 30) ScrollTo(y - ch / 2);
    }
}

// ---------------------------------------------------------------- forms

TFormControlList* THTMLViewer::FormControlList() const { return &sections_->FormControlList; }

std::unique_ptr<TFreeList<TStringList>> THTMLViewer::GetFormData() { return sections_->GetFormControlData(); }

void THTMLViewer::SubmitQueued(const std::string& action, const std::string& target, const std::string& encType,
                               const std::string& method, TStringList* results) {
    submitAction_ = action;
    submitTarget_ = target;
    submitEncType_ = encType;
    submitMethod_ = method;
    submitResults_.reset(results);
    if (OnFormSubmit) PostMessage(this, wm_FormSubmit, 0, 0);
}

void THTMLViewer::DoFormSubmit() {
    if (OnFormSubmit)
        OnFormSubmit(this, submitAction_, submitTarget_, submitEncType_, submitMethod_, submitResults_.get());
    submitResults_.reset();
}

void THTMLViewer::ReportProgress(int percent) {
    if (OnProgress) OnProgress(this, psRunning, percent);
}

void THTMLViewer::ReportProgressDone() {
    if (OnProgress) OnProgress(this, psEnding, 100);
}

// ---------------------------------------------------------------- painting

void THTMLViewer::DrawBackground(TCanvas& canvas, const TRect& clip, int xOff, int yOff, int height) {
    canvas.Brush().SetColor(sections_->Background);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.FillRect(clip);
    fixedBackground_ = false;
    if (!sections_->ShowImages || !sections_->BackgroundBitmap) return;
    TGraphic* picture = sections_->BackgroundBitmap;
    if (sections_->BackgroundAniGif) picture = sections_->BackgroundAniGif;
    const int pw = picture->Width(), ph = picture->Height();
    if (pw <= 0 || ph <= 0) return;
    const PositionRecArray& pos = sections_->BackgroundPos;
    fixedBackground_ = pos[1].Fixed;
    // The area the picture is placed in: the panel when fixed, the whole
    // document (scrolled) otherwise.
    const int areaW = paintPanel_->ClientWidth();
    const int areaH = fixedBackground_ ? paintPanel_->ClientHeight() : std::max(height, paintPanel_->ClientHeight());
    const int dx = fixedBackground_ ? 0 : xOff, dy = fixedBackground_ ? 0 : yOff;
    auto place = [](const PositionRec& r, int area, int size) {
        switch (r.PosType) {
            case 0:
            case 3: return 0;
            case 1: return area / 2 - size / 2;
            case 2:
            case 4: return area - size;
            case 5: return (area - size) * r.Value / 100;
            default: return r.Value;
        }
    };
    const int x0 = place(pos[0], areaW, pw) - dx, y0 = place(pos[1], areaH, ph) - dy;
    const TTilePlan plan(x0, y0, pw, ph, pos[0].RepeatD, pos[1].RepeatD, clip);
    TBitmap* mask = sections_->BackgroundAniGif ? nullptr : sections_->BackgroundMask;
    // A tile of several copies of a small picture is drawn from the picture
    // repeated (a picture of another kind: copy by copy).
    std::unique_ptr<TRepeatedPicture> repeated;
    int cols = 1, rows = 1;
    if (plan.Cols > 1 || plan.Rows > 1) {
        repeated = std::make_unique<TRepeatedPicture>(*picture, mask, plan.Cols, plan.Rows);
        if (repeated->Gp) picture = repeated->Gp.get();
        else if (repeated->Bitmap) picture = repeated->Bitmap.get();
        else cols = plan.Cols, rows = plan.Rows;
        if (repeated->Bitmap) mask = repeated->Mask.get();
    }
    auto* bmp = mask ? dynamic_cast<TBitmap*>(picture) : nullptr;
    const TRect whole{0, 0, picture->Width(), picture->Height()};
    plan.ForEach([&](const TRect& tile) {
        const int w = tile.Width() / cols, h = tile.Height() / rows;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const TRect copy{tile.Left + c * w, tile.Top + r * h, tile.Left + (c + 1) * w,
                                 tile.Top + (r + 1) * h};
                if (bmp) canvas.DrawMasked(copy, *bmp, whole, *mask);
                else canvas.StretchDraw(copy, *picture);
            }
    });
}

void THTMLViewer::PaintDocument(TCanvas& canvas, const TRect& rect) {
    DrawBackground(canvas, rect, hScrollBar_->Position(), sections_->YOff, docHeight_);
    sections_->Draw(canvas, rect, kMaxHScroll, -hScrollBar_->Position(), 0, 0, 0);
}
