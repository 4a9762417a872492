#include "platform/gui/menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/qt_bridge.h"

using namespace velorim_gui;

std::string StripHotkey(const std::string& caption) { return StripAccel(caption); }

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    while (!items_.empty()) {
        TMenuItem* child = items_.back();
        items_.pop_back();
        child->parent_ = nullptr;
        if (!child->Owner()) delete child;
    }
    if (parent_) parent_->Remove(this);
}

TMenu* TMenuItem::Menu() const {
    const TMenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return item->menu_;
}

void TMenuItem::Changed() {
    if (Destroying()) return;
    if (TMenu* menu = Menu()) menu->Changed();
}

void TMenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    shortCut_ = shortCut;
    Changed();
}

void TMenuItem::SetVisible(bool value) {
    visible_ = value;
    Changed();
}

void TMenuItem::SetEnabled(bool value) {
    enabled_ = value;
    Changed();
}

void TMenuItem::SetChecked(bool value) {
    checked_ = value;
    if (value && RadioItem && parent_)
        for (TMenuItem* s : parent_->items_)
            if (s != this && s->RadioItem && s->GroupIndex == GroupIndex) s->checked_ = false;
    Changed();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item == this) return;
    if (item->parent_) item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    Changed();
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    TMenuItem* item = items_[index];
    Remove(item);
    delete item;
}

void TMenuItem::Clear() {
    while (!items_.empty()) Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    for (TMenuItem* i : items_)
        if (StripAccel(i->caption_) == StripAccel(caption)) return i;
    return nullptr;
}

void TMenuItem::Click() {
    if (!enabled_) return;
    if (AutoCheck) SetChecked(!checked_);
    if (OnClick) OnClick(this);
}

namespace {
QKeySequence SequenceOf(TShortCut sc) {
    WORD key;
    TShiftState shift;
    ShortCutToKey(sc, key, shift);
    int q = QtKeyOf(key);
    if (q == Qt::Key_unknown) return {};
    int mods = 0;
    if (shift & ssShift) mods |= Qt::SHIFT;
    if (shift & ssCtrl) mods |= Qt::CTRL;
    if (shift & ssAlt) mods |= Qt::ALT;
    return QKeySequence(q | mods);
}
}  // namespace

void TMenuItem::BuildInto(QMenu* menu) {
    for (TMenuItem* child : items_) {
        if (!child->visible_) continue;
        if (child->IsLine()) {
            menu->addSeparator();
            continue;
        }
        if (!child->items_.empty()) {
            QMenu* sub = menu->addMenu(ToQ(child->caption_));
            sub->setEnabled(child->enabled_);
            child->BuildInto(sub);
            continue;
        }
        QAction* action = menu->addAction(ToQ(child->caption_));
        action->setEnabled(child->enabled_);
        action->setCheckable(child->checked_ || child->RadioItem || child->AutoCheck);
        action->setChecked(child->checked_);
        if (child->shortCut_) action->setShortcut(SequenceOf(child->shortCut_));
        auto ref = child->WeakRef();
        QObject::connect(action, &QAction::triggered, action, [child, ref] {
            if (!ref.expired()) Guard(child, [child] { child->Click(); });
        });
    }
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(nullptr) { items_.menu_ = this; }

TMenu::~TMenu() {
    if (auto* form = dynamic_cast<TForm*>(Owner()); form && form->Menu() == this) form->SetMenu(nullptr);
    items_.menu_ = nullptr;
}

TMenuItem* TMenu::FindShortCut(TShortCut shortCut) const {
    std::vector<const TMenuItem*> stack{&items_};
    while (!stack.empty()) {
        const TMenuItem* item = stack.back();
        stack.pop_back();
        for (int i = item->Count() - 1; i >= 0; --i) {
            TMenuItem* c = item->Items(i);
            if (!c->Visible() || !c->Enabled()) continue;
            if (c->ShortCut() == shortCut && c->Count() == 0) return c;
            stack.push_back(c);
        }
    }
    return nullptr;
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
    TMenuItem* item = FindShortCut(ShortCut(key, shift));
    if (!item) return false;
    item->Click();
    return true;
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TMainMenu::Changed() {
    if (Destroying()) return;
    if (auto* form = dynamic_cast<TForm*>(Owner()); form && form->Menu() == this) form->MenuChanged();
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    auto* menu = new QMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    Items()->BuildInto(menu);
    shown_ = menu;
    auto alive = WeakRef();
    QObject::connect(menu, &QObject::destroyed, [this, alive, menu] {
        if (!alive.expired() && shown_ == menu) shown_ = nullptr;
    });
    QObject::connect(menu, &QMenu::aboutToHide, [this, alive, menu] {
        if (alive.expired()) return;
        if (shown_ == menu) shown_ = nullptr;
        // The handler may replace itself: call a copy.
        if (TNotifyEvent handler = OnClose) Application->Dispatch(this, [this, &handler] { handler(this); });
    });
    menu->popup(QPoint(x, y));
}

bool TPopupMenu::Showing() const { return shown_ != nullptr; }

void TPopupMenu::CloseMenu() {
    if (shown_) shown_->close();
}
