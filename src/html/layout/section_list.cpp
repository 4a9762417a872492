#include <algorithm>
#include <cctype>

#include "html/images/gif_image.h"
#include "html/images/image_loading.h"
#include "html/images/viewer_globals.h"
#include "html/layout/blocks.h"
#include "html/layout/document.h"
#include "html/layout/section.h"
#include "platform/gui/extctrls.h"

namespace {

std::string TrimUpper(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    std::string r = s.substr(b, e - b);
    for (auto& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

}  // namespace

std::unique_ptr<TGraphic> LoadImageFile(const std::string& FName, std::unique_ptr<TBitmap>& AMask,
                                        Transparency& Transparent) {
    const int kind = KindOfImageFile(FName);
    if (kind == itGIF87 || kind == itGIF89) {
        TMemoryStream stream;
        LoadPictureFile(stream, FName);
        return LoadGifPicture(stream, AMask, Transparent);
    }
    return LoadImageFromFile(FName, AMask, Transparent);
}

// ---------------------------------------------------------------- TSectionList

TSectionList::TSectionList(TWinControl* AnOwner, TControl* APaintPanel)
    : TCell(this),
      TheOwner(AnOwner),
      PPanel(APaintPanel),
      Styles(nullptr),
      InlineList(std::make_shared<TInlineList>(this)),
      ownStyles_(std::make_unique<TStyleList>()) {
    Styles = ownStyles_.get();
    OwnersTag = "default";
    IDNameList.SetSource(this);
    Styles->OnLinksActive = [this] { LinksActive = true; };
}

TSectionList::TSectionList(const TSectionList& T)
    : TCell(this),
      TheOwner(T.TheOwner),
      PPanel(T.PPanel),
      Styles(T.Styles),
      InlineList(T.InlineList) {
    GetBitmap = T.GetBitmap;
    GetImage = T.GetImage;
    ExpandName = T.ExpandName;
    PanelPrintEvent = T.PanelPrintEvent;
    ResolveFileName = T.ResolveFileName;
    FontName = T.FontName;
    PreFontName = T.PreFontName;
    FontSize = T.FontSize;
    FontColor = T.FontColor;
    HotSpotColor = T.HotSpotColor;
    LinkVisitedColor = T.LinkVisitedColor;
    LinkActiveColor = T.LinkActiveColor;
    LinksActive = T.LinksActive;
    Background = T.Background;
    MarginWidth = T.MarginWidth;
    MarginHeight = T.MarginHeight;
    CharSet = T.CharSet;
    UnLine = T.UnLine;
    ShowImages = T.ShowImages;
    PrintTableBackgrounds = T.PrintTableBackgrounds;
    PrintBackground = T.PrintBackground;
    PrintMonoBlack = T.PrintMonoBlack;
    BitmapList = T.BitmapList;
    BackgroundBitmapName = T.BackgroundBitmapName;
    BackgroundPos = T.BackgroundPos;
    BackgroundBitmap = T.BackgroundBitmap;
    BackgroundMask = T.BackgroundMask;
    BitmapLoaded = T.BitmapLoaded;
    SectionCount = T.SectionCount;
    LinksFlag = T.LinksFlag;
    IsCopy = true;
    OwnersTag = "default";
    IDNameList.SetSource(this);
    for (const auto& s : T) {
        auto copy = s->CreateCopy(this);
        if (copy) TSectionItems::Add(copy.release());
    }
}

TSectionList::~TSectionList() {
    Clear();
}

void TSectionList::ReleaseBackground() {
    if (!BackgroundCacheKey.empty() && BitmapList && !IsCopy) BitmapList->DecUsage(BackgroundCacheKey);
    BackgroundCacheKey.clear();
    BackgroundBitmap = nullptr;
    BackgroundMask = nullptr;
    BackgroundAniGif = nullptr;
    BitmapLoaded = false;
}

void TSectionList::Clear() {
    if (!IsCopy) {
        IDNameList.Clear();
        PositionList.clear();
        if (InlineList) InlineList->Clear();
    }
    BackgroundBitmapName.clear();
    ReleaseBackground();
    AGifList.clear();
    Timer.reset();
    SelB = SelE = 0;
    MissingImages.clear();
    ActiveLink = nullptr;
    ActiveImage = nullptr;
    FormControlList.Clear();
    RealizedControls.clear();
    if (!IsCopy && ownStyles_) Styles->Clear();
    TabOrderList.clear();
    // Emptied first: each section freed would look for its runs in it.
    LinkList.clear();
    ClearSections();
    htmlFormList.Clear();
    PanelList.clear();
    MapList.Clear();
    SectionCount = 0;
    LinksFlag = false;
}

void TSectionList::ForgetRun(TFontObj* Run) {
    LinkList.erase(std::remove(LinkList.begin(), LinkList.end(), Run), LinkList.end());
    if (Run->TabControl) {
        const TObject* holder = Run->TabControl.get();
        TabOrderList.erase(std::remove_if(TabOrderList.begin(), TabOrderList.end(),
                                          [holder](const auto& entry) { return entry.second == holder; }),
                           TabOrderList.end());
    }
    if (ActiveLink == Run) ActiveLink = nullptr;
}

void TSectionList::ClearLists() {
    FormControlList.Clear();
    RealizedControls.clear();
    PanelList.clear();
}

void TSectionList::SetFonts(const std::string& Name, const std::string& PreName, int AMarginWidth, int AMarginHeight,
                            int ACharSet, bool LinkUnderLine, bool LnksActive, TColor ABackground,
                            TColor AHoverColor, TColor AVisitedColor, TColor ALinkColor, TColor Color, double Size) {
    FontName = Name;
    PreFontName = PreName.substr(0, 32);
    MarginWidth = AMarginWidth;
    MarginHeight = AMarginHeight;
    CharSet = ACharSet;
    UnLine = LinkUnderLine;
    FontColor = Color;
    FontSize = Size;
    Styles->Initialize(Name, PreName, AMarginWidth, AMarginHeight, ACharSet, LinkUnderLine, AHoverColor,
                       AVisitedColor, ALinkColor, Color, Size);
    HotSpotColor = ALinkColor;
    LinkVisitedColor = AVisitedColor;
    LinkActiveColor = AHoverColor;
    LinksActive = LnksActive;
    SetBackground(ABackground);
}

void TSectionList::SetBackground(TColor ABackground) {
    Background = ABackground;
    if (BackgroundChange) BackgroundChange();
}

void TSectionList::SetBackgroundBitmap(const std::string& Name, const PositionRecArray& APrec) {
    ReleaseBackground();
    BackgroundBitmapName = Name;
    BackgroundPos = APrec;
}

void TSectionList::SetYOffset(int Y) {
    YOff = Y;
    YOffChange = true;
    for (auto* c : FormControlList) c->ShowIt = false;
    for (auto* p : PanelList) p->ShowIt = false;
}

int TSectionList::GetSelLength() {
    if (SelE <= SelB) return 0;
    SelTextCount counter;
    SelectionBuffer = &counter;
    CopySelectionToBuffer(counter);
    SelectionBuffer = nullptr;
    return counter.Terminate();
}

void TSectionList::CopyToClipboard() {
    const int len = GetSelLength();
    if (len == 0) return;
    ClipBuffer buffer(len);
    SelectionBuffer = &buffer;
    CopySelectionToBuffer(buffer);
    SelectionBuffer = nullptr;
    buffer.Terminate();
}

int TSectionList::GetSelTextBuf(char16_t* Buffer, int BufSize) {
    if (SelE <= SelB) {
        if (BufSize >= 1) Buffer[0] = 0;
        return 0;
    }
    SelTextBuf sink(Buffer, BufSize);
    SelectionBuffer = &sink;
    CopySelectionToBuffer(sink);
    SelectionBuffer = nullptr;
    return sink.Terminate();
}

std::u16string TSectionList::GetSelText() {
    const int len = GetSelLength();
    if (len <= 0) return {};
    std::vector<char16_t> buf(static_cast<size_t>(len) + 1);
    GetSelTextBuf(buf.data(), len + 1);
    return std::u16string(buf.data());
}

int TSectionList::DoLayout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs) {
    return TCell::Layout(Canvas, Y, Width, AHeight, BlHt, MaxWidth, Curs);
}

int TSectionList::Layout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs) {
    ++CycleNumber;
    TableNestLevel = 0;
    TableNestLevelGlobal = 0;
    TableRelayout = false;
    if (Timer) Timer->SetEnabled(false);
    for (const auto& f : htmlFormList) f->SizeControls(Canvas);
    Canvas.SetTextJustification(0, 0);
    if (InlineList) InlineList->NeedsConvert = true;
    if (!TabOrderList.empty()) {
        std::stable_sort(TabOrderList.begin(), TabOrderList.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        int order = 0;
        for (auto& entry : TabOrderList)
            if (auto* w = dynamic_cast<TWinControl*>(entry.second)) w->SetTabOrder(order++);
        TabOrderList.clear();
    }
    const int result = DoLayout(Canvas, Y, Width, AHeight, BlHt, MaxWidth, Curs);
    for (auto* g : AGifList) {
        g->SetAnimate(false);
        if (!IsCopy) g->SetAnimate(true);
    }
    if (!IsCopy && !AGifList.empty()) {
        if (!Timer) {
            Timer = std::make_unique<TTimer>(TheOwner);
            Timer->SetInterval(GifTimerFirst);
            Timer->OnTimer = [this](TObject*) { HandleGifTimer(); };
        }
        Timer->SetEnabled(true);
    }
    if (!IsCopy && ViewerVisible()) {
        for (auto* p : PanelList) {
            if (p->Panel && !p->Panel->Visible()) {
                p->Panel->SetLeft(-4000);
                p->Panel->Show();
            }
        }
    }
    if (!IsCopy && PositionList.empty()) AddSectionsToPositionList();
    return result;
}

bool TSectionList::ViewerVisible() const { return TheOwner && TheOwner->Showing(); }

int TSectionList::Draw(TCanvas& Canvas, const TRect& ARect, int ClipWidth, int X, int Y, int XRef, int YRef) {
    PageBottom = YOff + ARect.Bottom;
    DrawOriginX = X;
    PageShortened = false;
    FirstPageItem = true;
    if (Timer) Timer->SetEnabled(false);
    for (auto* g : AGifList) g->SetShown(false);
    if (BackgroundAniGif && !IsCopy) BackgroundAniGif->SetShown(true);
    DrawList.Clear();
    const int result = TCell::Draw(Canvas, ARect, ClipWidth, X, Y, XRef, YRef);
    DrawList.DrawImages();
    if (YOffChange) {
        if (!IsCopy && ViewerVisible()) {
            for (auto* p : PanelList)
                if (p->Panel && !p->ShowIt) p->Panel->SetLeft(-4000);
            for (auto* c : FormControlList)
                if (!c->ShowIt) c->Hide();
        }
        YOffChange = false;
    }
    if (Timer && !AGifList.empty()) Timer->SetEnabled(true);
    return result;
}

unsigned TSectionList::GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                                 std::string& ATitle) {
    TFontObj* oldLink = ActiveLink;
    TImageObj* oldImage = ActiveImage;
    ActiveLink = nullptr;
    ActiveImage = nullptr;
    unsigned result = TCellBasic::GetLinkAt(Canvas, X, Y, UrlTarg, FormControl, ATitle);
    if (LinksActive && oldLink != ActiveLink) {
        if (oldLink) oldLink->SetHoverForLink(LinkList, false);
        if (ActiveLink) ActiveLink->SetHoverForLink(LinkList, true);
        Repaint();
    }
    if (oldImage && oldImage != ActiveImage) oldImage->SetHover(0);
    if (ActiveImage) ActiveImage->SetHover(LeftButtonDown ? 2 : 1);
    return result;
}

void TSectionList::SetActiveImagePressed(bool Pressed) {
    LeftButtonDown = Pressed;
    if (ActiveImage) {
        ActiveImage->SetHover(Pressed ? 2 : 1);
        Repaint();
    }
}

void TSectionList::CancelActives() {
    if (ActiveLink || ActiveImage) Repaint();
    if (ActiveLink) {
        ActiveLink->SetHoverForLink(LinkList, false);
        ActiveLink = nullptr;
    }
    if (ActiveImage) {
        ActiveImage->SetHover(0);
        ActiveImage = nullptr;
    }
}

void TSectionList::Repaint() {
    if (PPanel) PPanel->Invalidate();
}

int TSectionList::FindDocPos(int SourcePos, bool Prev) {
    int r = TCellBasic::FindDocPos(SourcePos, Prev);
    return r < 0 ? Len : r;
}

bool TSectionList::CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y) {
    if (Cursor >= Len) {
        bool r = TCellBasic::CursorToXY(Canvas, Len - 1, X, Y);
        X += 15;
        return r;
    }
    return TCellBasic::CursorToXY(Canvas, Cursor, X, Y);
}

bool TSectionList::GetChPosY(int chPos, int& y) {
    // Anchors are recorded while reading, as source positions.
    const int pos = FindDocPos(chPos, false);
    int x = 0;
    return TCellBasic::CursorToXY(nullptr, pos, x, y);
}

TSectionBase* TSectionList::FindSectionAtPosition(int Pos, int& TopPos, int& Index) {
    for (int i = static_cast<int>(PositionList.size()) - 1; i >= 0; --i) {
        TSectionBase* s = PositionList[static_cast<size_t>(i)];
        const int y = s->GetYPosition();
        if (y <= Pos) {
            TopPos = y;
            Index = i;
            return s;
        }
    }
    return nullptr;
}

std::unique_ptr<TFreeList<TStringList>> TSectionList::GetFormControlData() {
    if (htmlFormList.Count() == 0) return nullptr;
    auto result = std::make_unique<TFreeList<TStringList>>();
    for (const auto& f : htmlFormList) result->Add(f->GetFormSubmission());
    return result;
}

TGraphic* TSectionList::GetTheBitmap(const std::string& BMName, Transparency& Transparent, TBitmap*& AMask,
                                     bool& FromCache, bool& Delay) {
    AMask = nullptr;
    Delay = false;
    FromCache = false;
    if (BMName.empty() || !BitmapList) return nullptr;
    const std::string key = TrimUpper(BMName);
    int index = 0;
    if (BitmapList->Find(key, index)) {
        TBitmapItem* item = BitmapList->GetImage(index);
        if (dynamic_cast<TBitmap*>(item->MImage.get())) {
            if (item->Transp == TrGif || item->Transp == TrPng)
                Transparent = item->Transp;
            else if (Transparent == LLCorner && !item->Mask) {
                item->Mask = GetImageMask(*static_cast<TBitmap*>(item->MImage.get()), false, 0);
                BitmapList->Remeasure(index);
            }
        }
        AMask = item->Mask.get();
        FromCache = true;
        return item->MImage.get();
    }
    std::unique_ptr<TGraphic> image;
    std::unique_ptr<TBitmap> mask;
    if (!GetBitmap && !GetImage) {
        image = LoadImageFile(BMName, mask, Transparent);
    }
    if (GetBitmap) {
        TBitmap* bmp = nullptr;
        TColor color = static_cast<TColor>(-1);
        GetBitmap(TheOwner, BMName, bmp, color);
        if (bmp) {
            image.reset(bmp);
            if (color != static_cast<TColor>(-1)) {
                mask = GetImageMask(*bmp, true, color);
                Transparent = TrGif;
            } else if (Transparent == LLCorner) {
                mask = GetImageMask(*bmp, false, 0);
            }
        }
    }
    // Without a bitmap from the first request, the stream request has its turn.
    if (!image && GetImage) {
        TStream* stream = nullptr;
        GetImage(TheOwner, BMName, stream);
        if (stream && stream == DeferredImageStream) {
            Delay = true;
            return nullptr;
        }
        if (!stream) {
            const std::string file = ResolveFileName ? ResolveFileName(BMName) : BMName;
            image = LoadImageFile(file, mask, Transparent);
        } else {
            stream->Seek(0, 0);
            uint8_t head[8] = {};
            const size_t n = stream->Read(head, sizeof head);
            stream->Seek(0, 0);
            const int kind = KindOfImage(head, n);
            if (kind == itGIF87 || kind == itGIF89) {
                image = LoadGifPicture(*stream, mask, Transparent);
            } else {
                image = LoadImageFromStream(stream, mask, Transparent);
            }
        }
    }
    if (!image) return nullptr;
    // A picture the cache's budget has no room for, beside those in use, is not shown.
    if (!BitmapList->MakeRoom(PictureBytes(image.get(), mask.get()))) return nullptr;
    TGraphic* result = image.get();
    AMask = mask.get();
    const Transparency t = mask ? Transparent : NotTransp;
    BitmapList->AddObject(key, std::make_unique<TBitmapItem>(std::move(image), std::move(mask), t));
    return result;
}

void TSectionList::GetBackgroundBitmap() {
    if (!ShowImages || BitmapLoaded || BackgroundBitmapName.empty() || BackgroundBitmap) return;
    std::string name = BackgroundBitmapName;
    if (!GetBitmap && !GetImage) {
        if (ResolveFileName) name = ResolveFileName(name);
    } else if (ExpandName) {
        std::string expanded;
        ExpandName(TheOwner, name, expanded);
        if (!expanded.empty()) name = expanded;
    }
    Transparency transp = NotTransp;
    TBitmap* mask = nullptr;
    bool fromCache = false, delay = false;
    TGraphic* image = nullptr;
    try {
        image = GetTheBitmap(name, transp, mask, fromCache, delay);
    } catch (const std::exception&) {
        image = nullptr;
    }
    if (image) {
        BackgroundCacheKey = TrimUpper(name);
        if (auto* gif = dynamic_cast<TGIFImage*>(image)) {
            BackgroundBitmap = gif->Bitmap();
            BackgroundMask = gif->GetMaskBitmap();
            if (gif->IsAnimated() && gif->NumFrames() > 1 && !IsCopy) {
                BackgroundAniGif = gif;
                AGifList.push_back(gif);
                gif->SetAnimate(true);
            }
        } else {
            BackgroundBitmap = image;
            BackgroundMask = mask;
        }
    } else if (delay) {
        MissingImages.emplace_back(name, nullptr);
    }
    BitmapLoaded = true;
}

void TSectionList::ProcessInlines(int SIndex, TProperties* Prop, bool Start) {
    if (!InlineList || !Prop) return;
    if (Start) {
        auto* r = new InlineRec;
        r->StartBDoc = SIndex;
        r->ID = Prop->SerialID;
        r->EndBDoc = 999999;
        MargArrayO o;
        Prop->GetBorderStyles(o);
        int autoCount = 0;
        ConvMargArray(o, 200, 200, Prop->EmSize, Prop->ExSize, autoCount, r->MargArray);
        InlineList->Add(r);
    } else {
        for (int i = InlineList->Count() - 1; i >= 0; --i) {
            InlineRec* r = (*InlineList)[i];
            if (r->ID == Prop->SerialID) {
                r->EndBDoc = SIndex;
                break;
            }
        }
    }
}

void TSectionList::HandleGifTimer() {
    if (IsCopy) return;
    bool bgChanged = false;
    for (auto* g : AGifList) {
        if (!g->Shown()) continue;
        const int before = g->CurrentFrame();
        g->CheckTime(PPanel);
        if (g == BackgroundAniGif && g->CurrentFrame() != before) bgChanged = true;
    }
    if (bgChanged) Repaint();
    if (Timer) Timer->SetInterval(GifTimerNext);
}
