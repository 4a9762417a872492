#include "platform/gui/comctrls.h"

#include <QSignalBlocker>
#include <QStringList>
#include <QTabBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <unordered_map>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/qt_bridge.h"
#include "platform/gui/rtf_reader.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/files.h"

using namespace velorim_gui;

namespace {
bool Contains(const TWinControl* container, const TControl* control) {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == container) return true;
    return false;
}
}  // namespace

// ------------------------------------------------------------------ tab sheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) { WantWidget(); }

void TTabSheet::CreateWidget() {
    auto* w = new QWidget();
    w->setAutoFillBackground(true);
    SetWidget(w);
}

TTabSheet::~TTabSheet() {
    DestroyChildren();
    if (pageControl_) SetParent(nullptr);
}

void TTabSheet::SetParent(TWinControl* parent) {
    TWinControl::SetParent(parent);
    pageControl_ = dynamic_cast<TPageControl*>(parent);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) { SetParent(pageControl); }

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    const auto& pages = pageControl_->pages_;
    auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
    if (pageControl_) pageControl_->MovePage(this, index);
}

void TTabSheet::SetTabVisible(bool value) {
    if (value == tabVisible_) return;
    tabVisible_ = value;
    if (pageControl_) pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!pageControl_ || !tabVisible_) return -1;
    int n = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this) return n;
        if (p->tabVisible_) ++n;
    }
    return -1;
}

void TTabSheet::TextChanged() {
    if (pageControl_) pageControl_->UpdateTabs();
}

bool TTabSheet::ChildrenShowing() const { return !pageControl_ || pageControl_->ActivePage() == this; }

// --------------------------------------------------------------- page control

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

void TPageControl::CreateWidget() {
    auto* w = new QWidget();
    tabBar_ = new QTabBar(w);
    tabBar_->setExpanding(false);
    stack_ = new QWidget(w);
    SetWidget(w);
    WatchWidget(tabBar_);
    if (tabFontShown_) tabBar_->setFont(ToQFont(font_));
    UpdateTabs();
    QObject::connect(tabBar_, &QTabBar::currentChanged, SignalContext(), [this](int tab) {
        if (updating_ || tab < 0) return;
        int n = 0;
        for (int i = 0; i < PageCount(); ++i) {
            if (!pages_[i]->TabVisible()) continue;
            if (n++ == tab) {
                Guard(this, [&] { SelectAsUser(i); });
                break;
            }
        }
        UpdateTabs();
    });
}

TPageControl::~TPageControl() { DestroyChildren(); }

QWidget* TPageControl::MadeClientWidget() const { return stack_; }

void TPageControl::InsertControl(TControl* control) {
    TWinControl::InsertControl(control);
    if (auto* sheet = dynamic_cast<TTabSheet*>(control)) AddPage(sheet);
}

void TPageControl::RemoveControl(TControl* control) {
    if (auto* sheet = dynamic_cast<TTabSheet*>(control)) RemovePage(sheet);
    TWinControl::RemoveControl(control);
}

void TPageControl::AdoptWidget(TControl* child) {
    TWinControl::AdoptWidget(child);
    // A sheet shows only while it is the active page.
    if (QWidget* w = child->MadeWidget(); w && dynamic_cast<TTabSheet*>(child)) {
        w->setVisible(child == active_);
    }
}

void TPageControl::ChildWidgetsMade() {
    if (active_ && active_->MadeWidget()) active_->MadeWidget()->raise();
}

void TPageControl::AddPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    if (QWidget* w = page->MadeWidget()) w->setVisible(false);
    if (!active_) SetActivePage(page);
    UpdateTabs();
    LayoutPages();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    const int index = static_cast<int>(it - pages_.begin());
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (active_ == page) {
        active_ = nullptr;
        if (!pages_.empty()) {
            active_ = pages_[std::min(index, PageCount() - 1)];
            if (QWidget* w = active_->MadeWidget()) {
                active_->MakeWidgets();
                w->setVisible(true);
            }
        }
    }
    if (!Destroying()) UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    pages_.erase(it);
    index = std::clamp(index, 0, PageCount());
    pages_.insert(pages_.begin() + index, page);
    UpdateTabs();
}

int TPageControl::ActivePageIndex() const {
    auto it = std::find(pages_.begin(), pages_.end(), active_);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this) return;
    if (page == active_) return;
    TForm* form = ParentForm();
    TTabSheet* old = active_;
    // The focus cannot stay on a page that is going away: it passes to the
    // old page first (its control's OnExit runs and may refuse).
    if (form && old && form->ActiveControl() && Contains(old, form->ActiveControl())) {
        form->SetActiveControl(old);
        if (form->ActiveControl() != old) return;
    }
    active_ = page;
    if (page && page->MadeWidget()) {
        // The controls of a page wait until it is first shown.
        page->MakeWidgets();
        page->MadeWidget()->setVisible(true);
        page->MadeWidget()->raise();
    }
    if (old && old->MadeWidget()) old->MadeWidget()->setVisible(false);
    UpdateTabs();
    if (form && old && form->ActiveControl() == old) {
        if (page && page->CanFocus()) form->SetActiveControl(page);
        else if (CanFocus()) form->SetActiveControl(this);
    }
}

void TPageControl::SetPageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[index] : nullptr);
}

bool TPageControl::SelectAsUser(int pageIndex) {
    if (pageIndex < 0 || pageIndex >= PageCount()) return false;
    if (pages_[pageIndex] == active_) return true;
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return false;
    SetActivePage(pages_[pageIndex]);
    if (active_ != pages_[pageIndex]) return false;
    if (OnChange) OnChange(this);
    return true;
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    const int n = PageCount();
    if (n == 0) return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (pages_[i] == current) start = i;
    if (start < 0) start = goForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        if (!checkTabVisible || pages_[i]->TabVisible()) return pages_[i];
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward) {
    if (TTabSheet* p = FindNextPage(active_, goForward, true)) SelectAsUser(p->PageIndex());
}

void TPageControl::UpdateTabs() {
    if (!tabBar_) {
        LayoutPages();
        return;
    }
    QStringList captions;
    int current = -1;
    for (TTabSheet* p : pages_) {
        if (!p->TabVisible()) continue;
        if (p == active_) current = static_cast<int>(captions.size());
        captions.append(ToQ(p->Caption()));
    }
    // Each change of the bar lays its tabs out again with font metrics: only
    // the tabs that differ are touched (pages come one at a time).
    updating_ = true;
    {
        QSignalBlocker block(tabBar_);
        const int wanted = static_cast<int>(captions.size());
        if (tabBar_->count() == wanted) {
            for (int i = 0; i < wanted; ++i)
                if (tabBar_->tabText(i) != captions[i]) tabBar_->setTabText(i, captions[i]);
        } else {
            int same = 0;
            while (same < tabBar_->count() && same < wanted && tabBar_->tabText(same) == captions[same]) ++same;
            while (tabBar_->count() > same) tabBar_->removeTab(tabBar_->count() - 1);
            for (int i = same; i < wanted; ++i) tabBar_->addTab(captions[i]);
        }
        // With no page of its own selected the bar shows its first tab.
        if (current < 0 && wanted > 0) current = 0;
        if (current >= 0 && tabBar_->currentIndex() != current) tabBar_->setCurrentIndex(current);
        tabBar_->setVisible(wanted > 0);
    }
    updating_ = false;
    LayoutPages();
}

namespace {
// The height of a tab bar holding tabs in a font: the same for every text of
// one line, so it is measured once per font, on a bar of one tab.
int TabBarHeight(const TFont& font) {
    static std::unordered_map<std::string, int> heights;
    std::string key = FontKey(font);
    if (auto it = heights.find(key); it != heights.end()) return it->second;
    QTabBar bar;
    bar.setExpanding(false);
    bar.setFont(ToQFont(font));
    bar.addTab(QStringLiteral("x"));
    const int height = bar.sizeHint().height();
    heights.emplace(std::move(key), height);
    return height;
}
}  // namespace

int TPageControl::TabHeight() const {
    bool tabs = false, multiLine = false;
    for (TTabSheet* p : pages_) {
        if (!p->TabVisible()) continue;
        tabs = true;
        multiLine = multiLine || p->Caption().find('\n') != std::string::npos;
    }
    if (!tabs) return 0;
    // A caption of several lines makes its tab taller: the bar itself tells.
    if (multiLine && Widget() && tabBar_) return tabBar_->sizeHint().height();
    return TabBarHeight(font_);
}

void TPageControl::LayoutPages() {
    const int tabHeight = TabHeight();
    if (tabBar_) tabBar_->setGeometry(0, 0, Width(), tabHeight);
    const int frame = 2;
    const int w = std::max(0, Width() - 2 * frame), h = std::max(0, Height() - tabHeight - 2 * frame);
    if (stack_) stack_->setGeometry(frame, tabHeight + frame, w, h);
    for (TTabSheet* p : pages_) p->SetBounds(0, 0, w, h);
}

void TPageControl::BoundsChanged() {
    TWinControl::BoundsChanged();
    LayoutPages();
}

void TPageControl::FontChanged() {
    TWinControl::FontChanged();
    tabFontShown_ = true;
    if (tabBar_) tabBar_->setFont(ToQFont(font_));
    LayoutPages();
}

// ------------------------------------------------------------------ rich edit

TRichEdit::TRichEdit(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    color_ = clWindow;
    parentColor_ = false;
    ShowColor();
    SetBounds(0, 0, 185, 89);
    Lines.OnChange = [this] { LinesChanged(); };
}

void TRichEdit::CreateWidget() {
    auto* edit = new QTextEdit();
    edit->setAcceptRichText(false);
    SetWidget(edit);
    WatchWidget(edit->viewport());
    if (readOnly_) edit->setReadOnly(true);
    if (ColorShown()) ColorChanged();
    if (shown_ == Shown::Plain) ShowPlain();
    else if (shown_ == Shown::Rich) ShowRich(ReadRtf(richText_));
    QObject::connect(edit, &QTextEdit::textChanged, SignalContext(), [this, edit] {
        if (updating_) return;
        Guard(this, [&] {
            updating_ = true;
            Lines.SetText(FromQ(edit->toPlainText()));
            updating_ = false;
            if (OnChange) OnChange(this);
        });
    });
}

void TRichEdit::LinesChanged() {
    if (updating_) return;
    const std::string text = Lines.Text();
    if (!PlainText && LooksLikeRtf(text)) {
        SetRichText(text);
        return;
    }
    ShowPlain();
    if (OnChange) OnChange(this);
}

void TRichEdit::ShowPlain() {
    shown_ = Shown::Plain;
    richText_.clear();
    if (auto* edit = qobject_cast<QTextEdit*>(MadeWidget())) {
        updating_ = true;
        edit->setPlainText(JoinedLines(Lines));
        updating_ = false;
    }
}

void TRichEdit::SetRichText(const std::string& rtf) {
    const TRtfDocument doc = ReadRtf(rtf);
    updating_ = true;
    shown_ = Shown::Rich;
    richText_ = rtf;
    ShowRich(doc);
    // Lines keep the plain text, as reading them back gives.
    TStringList plain;
    plain.SetText(Utf16ToCp1252(doc.PlainText()));
    Lines.MutableItems() = plain.Items();
    updating_ = false;
    if (OnChange) OnChange(this);
}

void TRichEdit::ShowRich(const TRtfDocument& doc) {
    const bool was = updating_;
    updating_ = true;
    if (auto* edit = qobject_cast<QTextEdit*>(MadeWidget())) {
        edit->clear();
        QTextCursor cursor(edit->document());
        for (const TRtfRun& run : doc.Runs) {
            QTextCharFormat fmt;
            fmt.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
            fmt.setFontItalic(run.Italic);
            fmt.setFontUnderline(run.Underline);
            if (run.FontSize > 0) fmt.setFontPointSize(run.FontSize);
            if (run.Color != clNone) fmt.setForeground(ToQColor(run.Color));
            if (!run.FontName.empty()) fmt.setFontFamilies({ToQ(run.FontName)});
            QString text = QString::fromUtf16(run.Text.data(), static_cast<qsizetype>(run.Text.size()));
            const QStringList parts = text.split(QChar('\n'));
            for (qsizetype i = 0; i < parts.size(); ++i) {
                if (i > 0) cursor.insertBlock();
                if (!parts[i].isEmpty()) cursor.insertText(parts[i], fmt);
            }
        }
        edit->moveCursor(QTextCursor::Start);
    }
    updating_ = was;
}

void TRichEdit::LoadFromFile(const std::string& fileName, size_t maxSize) {
    const std::string bytes = ReadFileBytes(fileName, maxSize);
    if (!PlainText && LooksLikeRtf(bytes)) SetRichText(bytes);
    else Lines.SetText(bytes);
}

std::string TRichEdit::Text() const {
    std::string s;
    for (int i = 0; i < Lines.Count(); ++i) {
        if (i) s += "\r\n";
        s += Lines[i];
    }
    return s;
}

void TRichEdit::SetText(const std::string& text) { Lines.SetText(text); }

void TRichEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (auto* edit = qobject_cast<QTextEdit*>(MadeWidget())) edit->setReadOnly(value);
}

void TRichEdit::FontChanged() { TControl::FontChanged(); }

void TRichEdit::ColorChanged() {
    if (QWidget* w = MadeWidget()) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Base, ToQColor(color_));
        w->setPalette(pal);
    }
}

// -------------------------------------------------------------------- up-down

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetBounds(0, 0, 15, 25);
}

void TUpDown::CreateWidget() {
    auto* w = new QWidget();
    auto* up = new QToolButton(w);
    auto* down = new QToolButton(w);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    SetWidget(w);
    QObject::connect(up, &QToolButton::clicked, SignalContext(), [this] { Guard(this, [this] { ClickButton(TUDBtnType::btNext); }); });
    QObject::connect(down, &QToolButton::clicked, SignalContext(), [this] { Guard(this, [this] { ClickButton(TUDBtnType::btPrev); }); });
    BoundsChanged();
}

void TUpDown::BoundsChanged() {
    TWinControl::BoundsChanged();
    QWidget* w = MadeWidget();
    if (!w) return;
    auto* up = w->findChild<QToolButton*>(QStringLiteral("up"));
    auto* down = w->findChild<QToolButton*>(QStringLiteral("down"));
    if (!up || !down) return;
    const int h = Height() / 2;
    up->setGeometry(0, 0, Width(), h);
    down->setGeometry(0, h, Width(), Height() - h);
}

void TUpDown::SetMin(int v) {
    min_ = v;
    SetPosition(position_);
}

void TUpDown::SetMax(int v) {
    max_ = v;
    SetPosition(position_);
}

void TUpDown::SetPosition(int v) {
    const int lo = std::min(min_, max_), hi = std::max(min_, max_);
    position_ = std::clamp(v, lo, hi);
    ShowPosition();
}

void TUpDown::SetAssociate(TWinControl* control) {
    associate_ = control;
    ShowPosition();
}

void TUpDown::ShowPosition() {
    if (!associate_) return;
    const std::string digits = std::to_string(position_ < 0 ? -static_cast<long long>(position_) : position_);
    std::string shown = position_ < 0 ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (Thousands && i > 0 && (digits.size() - i) % 3 == 0) shown += '.';
        shown += digits[i];
    }
    associate_->SetText(shown);
}

void TUpDown::ClickButton(TUDBtnType button) {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return;
    const int lo = std::min(min_, max_), hi = std::max(min_, max_);
    int pos = position_ + (button == TUDBtnType::btNext ? Increment : -Increment);
    if (pos > hi) pos = Wrap ? lo : hi;
    if (pos < lo) pos = Wrap ? hi : lo;
    SetPosition(pos);
    if (OnClick) OnClick(this, button);
}
