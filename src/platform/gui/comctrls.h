#pragma once
// Page control with tab sheets, rich edit and up-down control.
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/files.h"
#include "platform/runtime/string_list.h"

class TPageControl;
class QTabBar;
struct TRtfDocument;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* pageControl);
    // Index among all sheets, hidden tabs included.
    int PageIndex() const;
    void SetPageIndex(int index);
    // A hidden tab keeps its sheet: it can still be the active page.
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool value);
    // Index among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;
    void SetParent(TWinControl* parent) override;

protected:
    void CreateWidget() override;
    void TextChanged() override;
    bool ChildrenShowing() const override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Tab sheets in order; PageIndex counts every sheet, hidden tabs included.
// Changing the page by code fires nothing; a click on a tab fires
// OnChanging (which may refuse) and OnChange.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(index); }
    TTabSheet* ActivePage() const { return active_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    int PageIndex() const { return ActivePageIndex(); }
    void SetPageIndex(int index);
    void SetActivePageIndex(int index) { SetPageIndex(index); }
    // A tab click as the user makes it: index among all sheets.
    bool SelectAsUser(int pageIndex);
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward);
    bool MultiLine = false;
    bool HotTrack = false;
    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    QWidget* MadeClientWidget() const override;

protected:
    void CreateWidget() override;
    void AdoptWidget(TControl* child) override;
    void ChildWidgetsMade() override;
    void InsertControl(TControl* control) override;
    void RemoveControl(TControl* control) override;
    void BoundsChanged() override;
    void FontChanged() override;

private:
    friend class TTabSheet;
    // The height of the tab bar (0 without visible tabs).
    int TabHeight() const;
    void AddPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void UpdateTabs();
    void LayoutPages();
    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
    QTabBar* tabBar_ = nullptr;
    QWidget* stack_ = nullptr;
    bool updating_ = false, tabFontShown_ = false;
};

// Read-only viewer of rich text: loading a file that begins "{\rtf" through
// LoadFromFile or through Lines.LoadFromFile shows it formatted and leaves
// its plain text in Lines.
class TRichEdit : public TWinControl {
public:
    explicit TRichEdit(TComponent* AOwner);
    TStringList Lines;
    // A file larger than maxSize raises EFOpenError and changes nothing.
    void LoadFromFile(const std::string& fileName, size_t maxSize = kNoSizeLimit);
    // Shows rich text (an RTF document as bytes).
    void SetRichText(const std::string& rtf);
    std::string Text() const override;
    void SetText(const std::string& text) override;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool WordWrap = true;
    bool PlainText = false;
    TScrollStyle ScrollBars = TScrollStyle::ssBoth;
    TNotifyEvent OnChange;
    void Clear() { Lines.Clear(); }

protected:
    void CreateWidget() override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    void LinesChanged();
    void ShowPlain();
    void ShowRich(const TRtfDocument& doc);
    bool readOnly_ = false;
    bool updating_ = false;
    // What the window shows: nothing yet, the lines, or a rich document.
    enum class Shown : uint8_t { Nothing, Plain, Rich } shown_ = Shown::Nothing;
    std::string richText_;
};

enum class TUDBtnType : uint8_t { btNext, btPrev };
enum class TUDOrientation : uint8_t { udHorizontal, udVertical };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Two arrow buttons stepping Position between Min and Max; an associated
// edit shows the position.
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* AOwner);
    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const { return position_; }
    void SetPosition(int v);
    int Increment = 1;
    bool Wrap = false;
    bool Thousands = true;
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* control);
    // A click on one of the arrows.
    void ClickButton(TUDBtnType button);
    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

protected:
    void CreateWidget() override;
    void BoundsChanged() override;

private:
    void ShowPosition();
    int min_ = 0, max_ = 100, position_ = 0;
    TWinControl* associate_ = nullptr;
};
