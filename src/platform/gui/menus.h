#pragma once
// Main menus and popup menus: a tree of items with captions, short-cuts,
// state and OnClick. A caption of "-" is a separator.
#include <string>
#include <vector>

#include "platform/gui/classes.h"

class TMenu;
class QAction;
class QMenu;
class TControl;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool RadioItem = false;
    int GroupIndex = 0;
    bool AutoCheck = false;
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool IsLine() const { return caption_ == "-"; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(index); }
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
    TMenuItem* Find(const std::string& caption) const;
    TMenu* Menu() const;

    // Fires OnClick when enabled (AutoCheck toggles Checked first).
    virtual void Click();
    TNotifyEvent OnClick;

    // Builds the Qt side under menu (items) or as an action.
    void BuildInto(QMenu* menu);

private:
    friend class TMenu;
    void Changed();
    std::string caption_, hint_;
    TShortCut shortCut_ = 0;
    bool visible_ = true, enabled_ = true, checked_ = false;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    TMenuItem* Items() { return &items_; }
    // Finds the item whose short-cut this is (visible and enabled ones only).
    TMenuItem* FindShortCut(TShortCut shortCut) const;
    // True when a short-cut matched and its item was clicked.
    bool IsShortCut(WORD key, TShiftState shift);
    virtual void Changed() {}

private:
    TMenuItem items_;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    void Changed() override;
};

enum class TPopupAlignment : uint8_t { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    bool AutoPopup = true;
    TPopupAlignment Alignment = TPopupAlignment::paLeft;
    TComponent* PopupComponent = nullptr;
    // Shows the menu at a screen point (does not wait for a choice).
    virtual void Popup(int x, int y);
    TNotifyEvent OnPopup;
    // Fires when the shown menu goes away (an item chosen, a press elsewhere,
    // Esc or CloseMenu).
    TNotifyEvent OnClose;
    bool Showing() const;
    void CloseMenu();

private:
    QMenu* shown_ = nullptr;  // cleared when Qt frees it
};

// The window text of a caption: "&x" accelerators for Qt.
std::string StripHotkey(const std::string& caption);
