// The viewer's mouse and navigation side: links under the pointer and their
// following, destinations inside the document, the visited list, the history
// of shown files, selection with the mouse and by word, and scrolling while
// the pointer drags beyond the panel.
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "html/images/viewer_globals.h"
#include "html/layout/document.h"
#include "html/layout/form_controls.h"
#include "html/layout/section.h"
#include "html/view/html_viewer.h"
#include "platform/gui/application.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/files.h"

namespace {

std::string UpperCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool SameTextNoCase(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

bool IsWordChar(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 192;
}

}  // namespace

// ---------------------------------------------------------------- selection

void THTMLViewer::SelectAll() {
    if (noSelect_ || sections_->Count() == 0) return;
    TSectionBase* last = (*sections_)[sections_->Count() - 1];
    sections_->SelB = 0;
    sections_->SelE = std::max(last->StartCurs + last->Len, sections_->Len);
    paintPanel_->Invalidate();
}

std::u16string THTMLViewer::SelTextW() {
    if (sections_->SelE <= sections_->SelB) return std::u16string();
    return sections_->GetSelText();
}

std::string THTMLViewer::SelText() { return Utf16ToCp1252(SelTextW()); }

int THTMLViewer::SelStart() const { return sections_->SelB; }

int THTMLViewer::SelLength() { return sections_->GetSelLength(); }

std::u16string THTMLViewer::GetTextByIndices(int start, int end) {
    if (start < 0 || start >= end) return std::u16string();
    const int oldB = sections_->SelB, oldE = sections_->SelE;
    sections_->SelB = sections_->FindDocPos(start, false);
    sections_->SelE = sections_->FindDocPos(end, false);
    std::u16string text = sections_->SelE > sections_->SelB ? sections_->GetSelText() : std::u16string();
    sections_->SelB = oldB;
    sections_->SelE = oldE;
    return text;
}

int THTMLViewer::FindSourcePos(int displayPos) { return sections_->FindSourcePos(displayPos); }

int THTMLViewer::FindDisplayPos(int sourcePos, bool prev) { return sections_->FindDocPos(sourcePos, prev); }

// ---------------------------------------------------------------- places and links

bool THTMLViewer::PositionTo(const std::string& destination) {
    std::string dest = destination;
    if (!dest.empty() && dest[0] == '#') dest.erase(0, 1);
    if (dest.empty()) return false;
    TIDObject* obj = sections_->IDNameList.ObjectOf(UpperCase(dest));
    if (!obj) return false;
    ScrollTo(obj->GetYPosition());
    hScrollBar_->SetPosition(0);
    AddVisitedLink(currentFile_ + "#" + dest);
    return true;
}

void THTMLViewer::AddVisitedLink(const std::string& url) {
    if (visitedMaxCount_ <= 0) return;
    int at = -1;
    for (int i = 0; i < visited_.Count() && at < 0; ++i)
        if (SameTextNoCase(visited_[i], url)) at = i;
    if (at == 0) return;
    if (at > 0) {
        const std::string entry = visited_[at];
        visited_.Delete(at);
        visited_.Insert(0, entry);
        return;
    }
    for (TFontObj* link : sections_->LinkList) {
        const std::string& target = link->Link().URL;
        if (!target.empty() && LinkMatches(url, target)) link->SetVisited(true);
    }
    visited_.Insert(0, url);
    while (visited_.Count() > visitedMaxCount_) visited_.Delete(visited_.Count() - 1);
    paintPanel_->Invalidate();
}

void THTMLViewer::FollowLink() {
    bool handled = false;
    if (OnHotSpotClick) OnHotSpotClick(this, url_, handled);
    if (handled) return;
    const int savedPos = Position();
    const std::string url = url_;
    if (!url.empty() && url[0] == '#') {
        if (PositionTo(url)) {
            BumpHistory(currentFile_, documentTitle_, currentFileType_, nullptr, savedPos);
            AddVisitedLink(currentFile_ + url);
        }
        return;
    }
    std::string file = url, dest;
    if (const size_t hash = url.find('#'); hash != std::string::npos) {
        file = url.substr(0, hash);
        dest = url.substr(hash);  // with its "#"
    }
    file = ResolveFileName(file);
    const std::string ext = UpperCase(ExtractFileExt(file)).substr(0, 5);
    if (ext == ".HTM" || ext == ".HTML") {
        if (SameTextNoCase(file, currentFile_)) {
            if (PositionTo(dest)) {
                BumpHistory(currentFile_, documentTitle_, currentFileType_, nullptr, savedPos);
                AddVisitedLink(file + dest);
            }
        } else {
            LoadFromFile(file + dest);
            AddVisitedLink(file + dest);
        }
    } else if (ext == ".BMP" || ext == ".GIF" || ext == ".JPG" || ext == ".JPEG" || ext == ".PNG") {
        LoadImageFile(file);
    }
}

// ---------------------------------------------------------------- history

void THTMLViewer::BumpHistory(const std::string& oldFile, const std::string& oldTitle, int oldType,
                              std::unique_ptr<TFreeList<TStringList>> oldFormData, int oldPos) {
    if (historyMaxCount_ < 1 || currentFile_.empty()) return;
    const int pos = Position();
    if (oldFile == currentFile_ && oldType == currentFileType_ && pos == oldPos) return;
    if (history_.Count() > 0 && !oldFile.empty()) {
        const int i = std::min(historyIndex_, history_.Count() - 1);
        history_.SetStrings(i, oldFile);
        titleHistory_.SetStrings(i, oldTitle);
        PositionObj& entry = *positionHistory_[static_cast<size_t>(i)];
        entry.Pos = oldPos;
        entry.FileType = static_cast<uint8_t>(oldType);
        entry.FormData = oldFile != currentFile_ ? std::move(oldFormData) : nullptr;
        for (int k = 0; k < i; ++k) {
            history_.Delete(0);
            titleHistory_.Delete(0);
            positionHistory_.erase(positionHistory_.begin());
        }
    }
    historyIndex_ = 0;
    history_.Insert(0, currentFile_);
    titleHistory_.Insert(0, documentTitle_);
    auto entry = std::make_unique<PositionObj>();
    entry->Pos = pos;
    entry->FileType = static_cast<uint8_t>(currentFileType_);
    positionHistory_.insert(positionHistory_.begin(), std::move(entry));
    while (history_.Count() > historyMaxCount_) {
        history_.Delete(history_.Count() - 1);
        titleHistory_.Delete(titleHistory_.Count() - 1);
        positionHistory_.pop_back();
    }
    if (OnHistoryChange) OnHistoryChange(this);
}

void THTMLViewer::SetHistoryIndex(int index) {
    if (processing_ || index < 0 || index >= history_.Count() || index == historyIndex_) return;
    // The page being left keeps its place.
    if (historyIndex_ < static_cast<int>(positionHistory_.size()) && !currentFile_.empty())
        positionHistory_[static_cast<size_t>(historyIndex_)]->Pos = Position();
    const PositionObj& entry = *positionHistory_[static_cast<size_t>(index)];
    const std::string file = history_[index];
    if (file != currentFile_ || entry.FileType != currentFileType_) LoadFile(file, entry.FileType);
    SetPosition(entry.Pos);
    historyIndex_ = index;
    if (OnHistoryChange) OnHistoryChange(this);
}

// ---------------------------------------------------------------- the mouse

void THTMLViewer::PanelMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused()) SetFocus();
    linkJustFollowed_ = false;
    lastDownX_ = X;
    lastDownY_ = Y;
    if (wheelScrollMode_) {
        wheelScrollMode_ = false;
        paintPanel_->SetCursor(viewerCursor_);
        return;
    }
    if (Button == TMouseButton::mbMiddle) {
        if (!(options_ & htNoWheelMouse)) {
            wheelScrollMode_ = true;
            wheelStartY_ = Y;
            paintPanel_->SetCursor(UpDownCursor);
        }
        return;
    }
    if (Button != TMouseButton::mbLeft) return;
    leftButtonDown_ = true;
    mouseSelectDrag_ = true;
    int xr = 0, yr = 0, caretHt = 0;
    bool inText = false;
    const int pos = sections_->FindCursor(paintPanel_->Canvas(), X + hScrollBar_->Position(), Y + sections_->YOff,
                                          xr, yr, caretHt, inText);
    if (pos >= 0) {
        if (sections_->SelE > sections_->SelB || (Shift & ssShift)) paintPanel_->Invalidate();
        if ((Shift & ssShift) && !noSelect_) {
            selAnchor_ = caretPos_;
            sections_->SelB = std::min(caretPos_, pos);
            sections_->SelE = std::max(caretPos_, pos);
        } else {
            selAnchor_ = pos;
            sections_->SelB = sections_->SelE = pos;
            caretPos_ = pos;
        }
    } else {
        selAnchor_ = -1;
    }
    sections_->SetActiveImagePressed(true);
}

void THTMLViewer::PanelMouseMove(TShiftState Shift, int X, int Y) {
    lastMoveY_ = Y;
    lastMoveX_ = X;
    pointerOutside_ = false;
    if (wheelScrollMode_) {
        if (std::abs(Y - wheelStartY_) > 20 && !scrollPending_) {
            scrollPending_ = true;
            PostMessage(this, wm_MouseScroll, 0, 0);
        }
        return;
    }
    const int dx = X + hScrollBar_->Position(), dy = Y + sections_->YOff;
    TUrlTarget target;
    TFormControlObj* control = nullptr;
    std::string title;
    TCanvas& canvas = paintPanel_->Canvas();
    const unsigned flags = sections_->GetLinkAt(canvas, dx, dy, target, control, title);
    TFloatingObj* image = nullptr;
    int ix = 0, iy = 0;
    const bool overImage = (OnImageClick || OnImageOver) && sections_->GetObjectAt(dx, dy, image, ix, iy) && image;
    std::string newUrl, newTarget;
    TCursor cursor = crArrow;
    bool hand = false;
    if (flags & guUrl) {
        newUrl = target.URL;
        newTarget = target.Target;
        hand = true;
        cursor = HandCursor;
        linkText_ = GetTextByIndices(target.LinkText.Start, target.LinkText.Last);
        linkAttributes_.SetText(target.Attr);
    }
    if (overImage) {
        if (OnImageOver) OnImageOver(this, image, Shift, ix, iy);
        if (!hand) cursor = crArrow;
    } else if (!hand) {
        int xr = 0, yr = 0, caretHt = 0;
        bool inText = false;
        if (sections_->FindCursor(canvas, dx, dy, xr, yr, caretHt, inText) >= 0 && inText) cursor = viewerCursor_;
    }
    paintPanel_->SetCursor(cursor);
    const std::string newTitle = (flags & guTitle) ? title : std::string();
    if (newTitle != title_) {
        // A title attribute under the pointer shows as the panel's hint.
        title_ = newTitle;
        paintPanel_->SetHint(title_);
        paintPanel_->SetShowHint(!title_.empty());
    }
    hintTimer_->SetEnabled(hand || sections_->ActiveLink != nullptr);
    if (newUrl != url_ || newTarget != target_) {
        url_ = newUrl;
        target_ = newTarget;
        if (OnHotSpotCovered) OnHotSpotCovered(this, newUrl);
    }
    if (leftButtonDown_ && !scrollPending_ && (Y < 0 || Y > paintPanel_->Height())) {
        scrollPending_ = true;
        PostMessage(this, wm_MouseScroll, 0, 0);
    }
    if (leftButtonDown_ && !noSelect_) ExtendSelectionTo(X, Y);
}

void THTMLViewer::PanelMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const int dx = X + hScrollBar_->Position(), dy = Y + sections_->YOff;
    if (Button == TMouseButton::mbMiddle) {
        if (wheelScrollMode_ && Y != wheelStartY_) {
            wheelScrollMode_ = false;
            paintPanel_->SetCursor(viewerCursor_);
        }
        return;
    }
    const bool wasWheel = wheelScrollMode_;
    if (wheelScrollMode_) {
        wheelScrollMode_ = false;
        paintPanel_->SetCursor(viewerCursor_);
    }
    TFloatingObj* image = nullptr;
    int ix = 0, iy = 0;
    const bool overImage = sections_->GetObjectAt(dx, dy, image, ix, iy) && image;
    if (Button == TMouseButton::mbRight && !wasWheel && OnRightClick) {
        TRightClickParameters params;
        if (overImage) {
            params.Image = image;
            params.ImageX = ix;
            params.ImageY = iy;
        }
        TUrlTarget target;
        TFormControlObj* control = nullptr;
        std::string title;
        if (sections_->GetLinkAt(paintPanel_->Canvas(), dx, dy, target, control, title) & guUrl) {
            params.URL = target.URL;
            params.Target = target.Target;
        }
        int st = 0, en = 0;
        GetWordAtCursor(X, Y, st, en, params.ClickWord);
        const bool timer = hintTimer_->Enabled();
        hintTimer_->SetEnabled(false);
        OnRightClick(this, params);
        hintTimer_->SetEnabled(timer);
    }
    if (overImage && OnImageClick) OnImageClick(this, image, Button, Shift, ix, iy);
    if (Button != TMouseButton::mbLeft) return;
    const bool pressStarted = leftButtonDown_ && selAnchor_ >= 0;
    leftButtonDown_ = false;
    mouseSelectDrag_ = false;
    sections_->SetActiveImagePressed(false);
    if ((Shift & ssShift) || !pressStarted || sections_->SelE != sections_->SelB) return;
    TUrlTarget target;
    TFormControlObj* control = nullptr;
    std::string title;
    const unsigned flags = sections_->GetLinkAt(paintPanel_->Canvas(), dx, dy, target, control, title);
    if (flags & guControl) {
        if (auto* input = dynamic_cast<TImageFormControlObj*>(control)) input->ImageClick(input->XTmp, input->YTmp);
        return;
    }
    if (!(flags & guUrl)) return;
    url_ = target.URL;
    target_ = target.Target;
    linkAttributes_.SetText(target.Attr);
    linkText_ = GetTextByIndices(target.LinkText.Start, target.LinkText.Last);
    linkJustFollowed_ = true;
    // The link's focus holder takes the focus; the view does not scroll to it.
    for (TFontObj* run : sections_->LinkList)
        if (run->TabControl && run->Link().ID == target.ID) {
            if (run->TabControl->CanFocus()) run->TabControl->SetFocus();
            break;
        }
    FollowLink();
}

void THTMLViewer::ExtendSelectionTo(int X, int Y) {
    if (!mouseSelectDrag_ || selAnchor_ < 0) return;
    Y = std::clamp(Y, 0, std::max(paintPanel_->Height() - 1, 0));
    int xr = 0, yr = 0, caretHt = 0;
    bool inText = false;
    const int pos = sections_->FindCursor(paintPanel_->Canvas(), X + hScrollBar_->Position(), Y + sections_->YOff, xr,
                                          yr, caretHt, inText);
    if (pos < 0) return;
    if (!noSelect_) {
        sections_->SelB = std::min(selAnchor_, pos);
        sections_->SelE = std::max(selAnchor_, pos);
        paintPanel_->Invalidate();
    }
    caretPos_ = pos;
}

bool THTMLViewer::GetWordAtCursor(int X, int Y, int& St, int& En, std::u16string& AWord) {
    AWord.clear();
    int xr = 0, yr = 0, caretHt = 0;
    bool inText = false;
    const int pos = sections_->FindCursor(paintPanel_->Canvas(), X + hScrollBar_->Position(), Y + sections_->YOff, xr,
                                          yr, caretHt, inText);
    if (pos < 0) return false;
    char16_t ch = 0;
    TSectionBase* piece = nullptr;
    if (!sections_->GetCharAt(pos, ch, piece) || !IsWordChar(ch)) return false;
    St = pos;
    En = pos;
    char16_t c = 0;
    TSectionBase* other = nullptr;
    while (St > 0 && sections_->GetCharAt(St - 1, c, other) && other == piece && IsWordChar(c)) --St;
    while (sections_->GetCharAt(En, c, other) && other == piece && IsWordChar(c)) {
        AWord += c;
        ++En;
    }
    for (int p = pos - 1; p >= St; --p)
        if (sections_->GetCharAt(p, c, other)) AWord.insert(AWord.begin(), c);
    return true;
}

void THTMLViewer::PanelDoubleClick() {
    if (!processing_ && !linkJustFollowed_ && !noSelect_) {
        int st = 0, en = 0;
        std::u16string word;
        if (GetWordAtCursor(lastDownX_, lastDownY_, st, en, word)) {
            sections_->SelB = st;
            sections_->SelE = en;
            caretPos_ = st;
            paintPanel_->Invalidate();
        }
    }
    if (OnMouseDouble) OnMouseDouble(this, TMouseButton::mbLeft, 0, lastDownX_, lastDownY_);
}

void THTMLViewer::PanelMouseLeave() {
    pointerOutside_ = true;
}

void THTMLViewer::HintTimerTimer(TObject*) {
    if (!pointerOutside_) return;
    sections_->CancelActives();
    hintTimer_->SetEnabled(false);
    if (!url_.empty()) {
        url_.clear();
        target_.clear();
        if (OnHotSpotCovered) OnHotSpotCovered(this, std::string());
    }
}

// Scrolls while the selection drags beyond the panel or the wheel mode is on.
// Every step moves toward the document's ends, so the loop always ends.
void THTMLViewer::MouseScroll() {
    uint32_t last = GetTickCount() - 100;
    while (true) {
        const int panelH = paintPanel_->Height();
        const int y = lastMoveY_;
        int step = 0;
        if (mouseSelectDrag_ && leftButtonDown_ && (y < 0 || y > panelH)) {
            const int small = vScrollBar_->SmallChange;
            if (y < -15) step = -8 * small;
            else if (y < 1) step = -small;
            else if (y <= panelH + 15) step = small;
            else step = 8 * small;
        } else if (wheelScrollMode_ && std::abs(y - wheelStartY_) > 20) {
            const int d = y - wheelStartY_;
            step = d < -60 ? -32 : d < -20 ? -8 : d > 60 ? 32 : 8;
            paintPanel_->SetCursor(step < 0 ? UpOnlyCursor : DownOnlyCursor);
        } else {
            break;
        }
        const uint32_t now = GetTickCount();
        if (now - last >= 100) {
            last = now;
            // At an end of the document the loop goes on, waiting for the
            // pointer to come back or the button to be released.
            const int old = sections_->YOff;
            const int top = std::clamp(old + step, 0, std::max(docHeight_ - panelH, 0));
            if (top != old) {
                vScrollBar_->SetPosition(top);
                sections_->SetYOffset(top);
            }
            if (mouseSelectDrag_) ExtendSelectionTo(lastMoveX_, y);
            if (top != old) {
                paintPanel_->Invalidate();
                paintPanel_->Update();
            }
        }
        for (int i = 0; i < 4; ++i) Application->ProcessMessages();
    }
    scrollPending_ = false;
    if (wheelScrollMode_) paintPanel_->SetCursor(UpDownCursor);
}
