#include "platform/gui/controls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <string_view>

#include "platform/gui/actnlist.h"
#include "platform/gui/application.h"
#include "platform/gui/canvas.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/qt_bridge.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/strutil.h"

using namespace velorim_gui;

// ---------------------------------------------------------------- components

namespace {
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 32);
        if (y >= 'a' && y <= 'z') y = char(y - 32);
        if (x != y) return false;
    }
    return true;
}
}  // namespace

TComponent::TComponent(TComponent* AOwner) : self_(std::make_shared<TComponent*>(this)) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    self_.reset();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameName(c->name_, name)) return c;
    return nullptr;
}

void TComponent::Free() {
    BeforeDestruction();
    MarkDestroying();
    delete this;
}

void TComponent::MarkDestroying() {
    if (destroying_) return;
    destroying_ = true;
    for (TComponent* c : components_) c->MarkDestroying();
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        c->BeforeDestruction();
        c->MarkDestroying();
        delete c;  // removes itself from the list
    }
}

void TComponent::InsertComponent(TComponent* c) {
    c->owner_ = this;
    components_.push_back(c);
}

void TComponent::RemoveComponent(TComponent* c) {
    auto it = std::find(components_.begin(), components_.end(), c);
    if (it != components_.end()) components_.erase(it);
    c->owner_ = nullptr;
}

// ----------------------------------------------------------------- shortcuts

TShortCut ShortCut(WORD key, TShiftState shift) {
    TShortCut s = key & 0xFF;
    if (shift & ssShift) s |= scShift;
    if (shift & ssCtrl) s |= scCtrl;
    if (shift & ssAlt) s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
    key = shortCut & 0xFF;
    shift = 0;
    if (shortCut & scShift) shift |= ssShift;
    if (shortCut & scCtrl) shift |= ssCtrl;
    if (shortCut & scAlt) shift |= ssAlt;
}

namespace {
struct KeyName {
    const char* name;
    WORD vk;
};
const KeyName kKeyNames[] = {
    {"BkSp", VK_BACK},     {"Backspace", VK_BACK}, {"Tab", VK_TAB},      {"Esc", VK_ESCAPE},
    {"Escape", VK_ESCAPE}, {"Enter", VK_RETURN},   {"Return", VK_RETURN}, {"Space", VK_SPACE},
    {"PgUp", VK_PRIOR},    {"PgDn", VK_NEXT},      {"End", VK_END},       {"Home", VK_HOME},
    {"Left", VK_LEFT},     {"Up", VK_UP},          {"Right", VK_RIGHT},   {"Down", VK_DOWN},
    {"Ins", VK_INSERT},    {"Insert", VK_INSERT},  {"Del", VK_DELETE},    {"Delete", VK_DELETE},
};
}  // namespace

TShortCut TextToShortCut(const std::string& text) {
    std::string rest = text;
    TShiftState shift = 0;
    for (;;) {
        auto plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 >= rest.size()) break;
        std::string mod = rest.substr(0, plus);
        if (SameName(mod, "Shift")) shift |= ssShift;
        else if (SameName(mod, "Ctrl")) shift |= ssCtrl;
        else if (SameName(mod, "Alt")) shift |= ssAlt;
        else return 0;
        rest = rest.substr(plus + 1);
    }
    WORD key = 0;
    for (const KeyName& k : kKeyNames)
        if (SameName(rest, k.name)) key = k.vk;
    if (!key && rest.size() >= 2 && (rest[0] == 'F' || rest[0] == 'f')) {
        int n = std::atoi(rest.c_str() + 1);
        if (n >= 1 && n <= 12) key = WORD(VK_F1 + n - 1);
    }
    if (!key && rest.size() == 1) {
        char c = rest[0];
        if (c >= 'a' && c <= 'z') c = char(c - 32);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) key = WORD(c);
    }
    return key ? ShortCut(key, shift) : 0;
}

std::string ShortCutToText(TShortCut shortCut) {
    WORD key;
    TShiftState shift;
    ShortCutToKey(shortCut, key, shift);
    std::string name;
    for (const KeyName& k : kKeyNames)
        if (k.vk == key && name.empty()) name = k.name;
    if (name.empty() && key >= VK_F1 && key <= VK_F12) name = "F" + std::to_string(key - VK_F1 + 1);
    if (name.empty() && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) name = std::string(1, char(key));
    if (name.empty()) return "";
    std::string s;
    if (shift & ssShift) s += "Shift+";
    if (shift & ssCtrl) s += "Ctrl+";
    if (shift & ssAlt) s += "Alt+";
    return s + name;
}

// ------------------------------------------------------------------ the bridge

namespace velorim_gui {

QString ToQ(const std::string& cp1252) {
    std::u16string u = Cp1252ToUtf16(cp1252);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

namespace {
std::u16string Utf16Of(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}
}  // namespace

std::string FromQ(const QString& text) { return Utf16ToCp1252(Utf16Of(text)); }

bool FromQPath(const QString& path, std::string& out) { return TryUtf16ToCp1252(Utf16Of(path), out); }

QColor ToQColor(TColor color) {
    TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QFont ToQFont(const TFont& font) {
    QFont f(ToQ(font.Name()));
    int h = font.Height();
    f.setPixelSize(std::max(1, h < 0 ? -h : h * 4 / 5));
    f.setBold(font.Style() & fsBold);
    f.setItalic(font.Style() & fsItalic);
    f.setUnderline(font.Style() & fsUnderline);
    f.setStrikeOut(font.Style() & fsStrikeOut);
    if (font.Pitch() == TFontPitch::fpFixed) f.setFixedPitch(true);
    return f;
}

std::string FontKey(const TFont& font) {
    std::string key = font.Name();
    key += '\0';
    key += std::to_string(font.Height());
    key += '\0';
    key += std::to_string(font.Style());
    key += font.Pitch() == TFontPitch::fpFixed ? std::string_view("\0f\0", 3) : std::string_view("\0v\0", 3);
    return key;
}

QString JoinedLines(const TStringList& lines) {
    QString all;
    for (int i = 0; i < lines.Count(); ++i) {
        if (i) all += QChar('\n');
        all += ToQ(lines[i]);
    }
    return all;
}

std::string StripAccel(const std::string& caption) {
    std::string s;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') s += '&';
            if (i + 1 < caption.size()) ++i;
            else break;
            if (caption[i] == '&') continue;
        }
        s += caption[i];
    }
    return s;
}

QString ToQMnemonic(const std::string& caption) { return ToQ(caption); }

WORD VirtualKeyOf(const QKeyEvent* e) {
    const int k = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (keypad) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9) return WORD(VK_NUMPAD0 + (k - Qt::Key_0));
        switch (k) {
            case Qt::Key_Plus: return VK_ADD;
            case Qt::Key_Minus: return VK_SUBTRACT;
            case Qt::Key_Asterisk: return VK_MULTIPLY;
            case Qt::Key_Slash: return VK_DIVIDE;
            case Qt::Key_Period:
            case Qt::Key_Comma: return VK_DECIMAL;
            default: break;
        }
    }
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return WORD(k);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return WORD(k);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return WORD(VK_F1 + (k - Qt::Key_F1));
    switch (k) {
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Alt: return VK_MENU;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Plus: return 0xBB;
        case Qt::Key_Minus: return 0xBD;
        case Qt::Key_Comma: return 0xBC;
        case Qt::Key_Period: return 0xBE;
        case Qt::Key_Menu: return VK_APPS;
        default: return 0;
    }
}

TShiftState ShiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
    TShiftState s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (b & Qt::LeftButton) s |= ssLeft;
    if (b & Qt::RightButton) s |= ssRight;
    if (b & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

char CharOf(const QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return '\r';
        case Qt::Key_Escape: return 27;
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: return (e->modifiers() & Qt::ShiftModifier) ? 0 : 9;
        default: break;
    }
    const QString t = e->text();
    if (t.size() != 1) return 0;
    std::string s = FromQ(t);
    if (s.size() != 1 || (s[0] == '?' && t[0] != QChar('?'))) return 0;
    if (static_cast<unsigned char>(s[0]) < 32 && !(e->modifiers() & Qt::ControlModifier)) return 0;
    return s[0];
}

int QtKeyOf(WORD vk) {
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Qt::Key_0 + (vk - VK_NUMPAD0);
    switch (vk) {
        case VK_BACK: return Qt::Key_Backspace;
        case VK_TAB: return Qt::Key_Tab;
        case VK_RETURN: return Qt::Key_Return;
        case VK_ESCAPE: return Qt::Key_Escape;
        case VK_SPACE: return Qt::Key_Space;
        case VK_PRIOR: return Qt::Key_PageUp;
        case VK_NEXT: return Qt::Key_PageDown;
        case VK_END: return Qt::Key_End;
        case VK_HOME: return Qt::Key_Home;
        case VK_LEFT: return Qt::Key_Left;
        case VK_UP: return Qt::Key_Up;
        case VK_RIGHT: return Qt::Key_Right;
        case VK_DOWN: return Qt::Key_Down;
        case VK_INSERT: return Qt::Key_Insert;
        case VK_DELETE: return Qt::Key_Delete;
        case VK_ADD: return Qt::Key_Plus;
        case VK_SUBTRACT: return Qt::Key_Minus;
        case VK_MULTIPLY: return Qt::Key_Asterisk;
        case VK_DIVIDE: return Qt::Key_Slash;
        case VK_DECIMAL: return Qt::Key_Period;
        default: return Qt::Key_unknown;
    }
}

void Guard(TObject* sender, const std::function<void()>& fn) { Application->Dispatch(sender, fn); }

namespace {
class FirstEventHook : public QObject {
public:
    FirstEventHook(QObject* watched, std::function<bool(QEvent*)> when, std::function<void()> fn)
        : QObject(watched), when_(std::move(when)), fn_(std::move(fn)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (fn_ && when_(event)) {
            watched->removeEventFilter(this);
            std::function<void()> fn = std::move(fn_);
            fn_ = nullptr;
            deleteLater();
            fn();
        }
        return false;
    }

private:
    std::function<bool(QEvent*)> when_;
    std::function<void()> fn_;
};
}  // namespace

void OnFirstEvent(QObject* watched, std::function<bool(QEvent*)> when, std::function<void()> fn) {
    new FirstEventHook(watched, std::move(when), std::move(fn));
}

ControlBridge::ControlBridge(TControl* c, QObject* parent) : QObject(parent), control(c) {}

void ControlBridge::DropNextPress(TControl* control, UINT msg) {
    if (!control || !control->bridge_ || !QCoreApplication::instance()) return;
    ControlBridge* bridge = control->bridge_;
    bridge->dropPress = msg;
    const unsigned arming = ++bridge->dropArming;
    // Two rounds of the event queue: a press Qt posts while the current event
    // is handled lands between them.
    QPointer<ControlBridge> self(bridge);
    QMetaObject::invokeMethod(
        bridge,
        [self, arming] {
            if (!self) return;
            QMetaObject::invokeMethod(
                self.data(),
                [self, arming] {
                    if (self && self->dropArming == arming) self->dropPress = 0;
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

namespace {
TMouseButton ButtonOf(Qt::MouseButton b) {
    switch (b) {
        case Qt::RightButton: return TMouseButton::mbRight;
        case Qt::MiddleButton: return TMouseButton::mbMiddle;
        default: return TMouseButton::mbLeft;
    }
}
}  // namespace

bool ControlBridge::eventFilter(QObject* watched, QEvent* event) {
    TControl* c = control;
    if (!c) return false;
    QWidget* source = qobject_cast<QWidget*>(watched);
    auto localPoint = [&](const QPointF& p) {
        QPoint q = p.toPoint();
        if (source && c->MadeWidget() && source != c->MadeWidget()) q = source->mapTo(c->MadeWidget(), q);
        return q;
    };
    switch (event->type()) {
        case QEvent::FocusIn: {
            // The focus mark shows however the focus came (Qt shows it only
            // after its own tab handling).
            if (source && !source->window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
                source->window()->setAttribute(Qt::WA_KeyboardFocusChange);
                source->update();
            }
            auto* w = dynamic_cast<TWinControl*>(c);
            TForm* form = w ? GetParentForm(w) : nullptr;
            if (w && form && form != w && form->ActiveControl() != w) {
                Guard(w, [&] { form->SetActiveControl(w); });
                if (form->ActiveControl() != w)
                    if (auto* b = dynamic_cast<TButtonControl*>(w)) b->FocusRefused = true;
            }
            return false;
        }
        case QEvent::KeyPress: {
            if (bypassKeys) return false;
            auto* w = dynamic_cast<TWinControl*>(c);
            if (!w) return false;
            auto* ke = static_cast<QKeyEvent*>(event);
            WORD vk = VirtualKeyOf(ke);
            if (!vk && ke->text().isEmpty()) return false;
            bool eat = true;
            Guard(w, [&] { eat = w->ProcessKeyDown(vk, ShiftOf(ke->modifiers()), CharOf(ke), true); });
            return eat;
        }
        case QEvent::KeyRelease: {
            if (bypassKeys) return false;
            auto* w = dynamic_cast<TWinControl*>(c);
            if (!w) return false;
            auto* ke = static_cast<QKeyEvent*>(event);
            if (ke->isAutoRepeat()) return false;
            Guard(w, [&] { w->SimulateKeyUp(VirtualKeyOf(ke), ShiftOf(ke->modifiers())); });
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (dropPress) {
                const UINT kind = me->button() == Qt::RightButton ? WM_RBUTTONDOWN
                                  : event->type() == QEvent::MouseButtonDblClick ? WM_LBUTTONDBLCLK
                                                                                 : WM_LBUTTONDOWN;
                if (kind == dropPress) {
                    dropPress = 0;
                    return true;
                }
            }
            QPoint p = localPoint(me->position());
            TShiftState s = ShiftOf(me->modifiers(), me->buttons());
            if (event->type() == QEvent::MouseButtonDblClick) s |= ssDouble;
            if (auto* b = dynamic_cast<TButtonControl*>(c)) b->FocusRefused = false;
            Guard(c, [&] { c->MouseDown(ButtonOf(me->button()), s, p.x(), p.y()); });
            if (event->type() == QEvent::MouseButtonDblClick && control)
                Guard(c, [&] { c->DblClick(); });
            return false;
        }
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            QPoint p = localPoint(me->position());
            Guard(c, [&] { c->MouseMove(ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y()); });
            return false;
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(event);
            QPoint p = localPoint(me->position());
            Guard(c, [&] { c->MouseUp(ButtonOf(me->button()), ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y()); });
            return false;
        }
        case QEvent::Wheel: {
            auto* we = static_cast<QWheelEvent*>(event);
            QPoint p = localPoint(we->position());
            bool used = false;
            Guard(c, [&] { used = c->MouseWheel(ShiftOf(we->modifiers(), we->buttons()), we->angleDelta().y(), p.x(), p.y()); });
            return used;
        }
        case QEvent::Leave: {
            Guard(c, [&] { c->PointerLeft(); });
            return false;
        }
        case QEvent::ContextMenu: {
            TPopupMenu* menu = c->PopupMenu();
            if (menu && menu->AutoPopup) {
                auto* ce = static_cast<QContextMenuEvent*>(event);
                menu->PopupComponent = c;
                Guard(c, [&] { menu->Popup(ce->globalPos().x(), ce->globalPos().y()); });
                return true;
            }
            return false;
        }
        case QEvent::Resize: {
            auto* form = dynamic_cast<TForm*>(c);
            // The window manager resized the window (maximised, dragged): the
            // client area follows, and its own resize realigns the controls.
            if (form && watched == form->MadeWidget() && form->MadeClientWidget() != form->Widget()) {
                auto* window = static_cast<QWidget*>(watched);
                const int menu = form->MenuHeight();
                form->MadeClientWidget()->setGeometry(0, menu, window->width(), std::max(0, window->height() - menu));
                return false;
            }
            if (form && watched == form->MadeClientWidget()) {
                QSize sz = static_cast<QWidget*>(watched)->size();
                Guard(form, [&] { form->ClientResized(sz.width(), sz.height()); });
            }
            return false;
        }
        case QEvent::Close: {
            auto* form = dynamic_cast<TForm*>(c);
            if (form && watched == form->MadeWidget()) {
                event->ignore();
                Guard(form, [&] { form->ClosedByUser(); });
                return true;
            }
            return false;
        }
        case QEvent::WindowActivate: {
            auto* form = dynamic_cast<TForm*>(c);
            if (form && watched == form->MadeWidget()) Guard(form, [&] { form->Activate(); });
            return false;
        }
        default: return false;
    }
}

void PaintWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (paint_) paint_(painter);
}

}  // namespace velorim_gui

// ------------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl() {
    actionLink_.reset();
    if (Mouse && Mouse->Capture() == this) Mouse->SetCapture(nullptr);
    if (parent_) parent_->RemoveControl(this);
    parent_ = nullptr;
    QWidget* w = widget_;
    widget_ = nullptr;
    if (bridge_) {
        ControlBridge* b = bridge_;
        bridge_ = nullptr;  // deleting it must not look like Qt destroying the widget
        b->control = nullptr;
        delete b;
    }
    if (w) {
        if (auto* pw = dynamic_cast<PaintWidget*>(w)) pw->Disconnect();
        if (Application && Application->InDispatch()) {
            w->hide();
            w->deleteLater();
        } else {
            delete w;
        }
    }
}

void TControl::WantWidget() {
    wantsWidget_ = true;
    font_.OnChange = [this](TGraphicsObject*) {
        if (!fontGuard_) parentFont_ = false;
        FontChanged();
    };
}

void TControl::SetWidget(QWidget* widget) {
    widget_ = widget;
    bridge_ = new ControlBridge(this, widget);
    QObject::connect(bridge_, &QObject::destroyed, [this, b = bridge_] {
        if (bridge_ == b) {
            bridge_ = nullptr;
            widget_ = nullptr;
            widgetGone_ = true;
        }
    });
    widget->installEventFilter(bridge_);
    widget->setFont(ToQFont(font_));
    PlaceWidget();
}

QWidget* TControl::Widget() const {
    if (!widget_ && wantsWidget_ && !widgetGone_ && !making_) {
        // The form's widgets are made together, parents first; a control
        // that is hidden or on a page not shown is made when asked for,
        // with the parents it needs.
        std::vector<TControl*> chain;
        for (TControl* c = const_cast<TControl*>(this); c; c = c->parent_ ? c->parent_ : c->WidgetHost())
            chain.push_back(c);
        chain.back()->MakeWidgets();
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->MakeOwnWidget();
        const_cast<TControl*>(this)->MakeWidgets(true);
    }
    return widget_;
}

void TControl::MakeWidgets(bool evenHidden) {
    // A hidden control's widget waits until it is shown; some wait for the focus.
    if (!evenHidden && !visible_ && parent_) return;
    if (widgetOnFocus_ && !widget_ && !evenHidden) return;
    MakeOwnWidget();
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->ChildrenShowing()) {
        const std::vector<TControl*> children = self->controls_;
        for (TControl* c : children) c->MakeWidgets();
        if (widget_) self->ChildWidgetsMade();
    }
}

void TControl::MakeOwnWidget() {
    if (!widget_ && wantsWidget_ && !widgetGone_ && !making_ && !Destroying()) {
        making_ = true;
        try {
            CreateWidget();
        } catch (...) {
            making_ = false;
            throw;
        }
        making_ = false;
        if (widget_) {
            if (popupWindow_) {
                widget_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
                widget_->setAttribute(Qt::WA_ShowWithoutActivating);
                widget_->setFocusPolicy(Qt::NoFocus);
            }
            ShowCommonState();
            if (parent_ && parent_->widget_) parent_->AdoptWidget(this);
        }
    }
}

void TControl::ShowCommonState() {
    if (!enabled_) widget_->setEnabled(false);
    if (showHint_ && !hint_.empty()) SetHint(hint_);
    if (cursor_ != crDefault) SetCursor(cursor_);
    if (fontShown_) ShowFontColor();
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->tabStopSet_)
        widget_->setFocusPolicy(w->tabStop_ ? Qt::StrongFocus : Qt::ClickFocus);
}

void TControl::SetPopupWindow() {
    popupWindow_ = true;
    if (!widget_) return;
    const bool visible = widget_->isVisible();
    widget_->setParent(nullptr);
    widget_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    widget_->setAttribute(Qt::WA_ShowWithoutActivating);
    widget_->setFocusPolicy(Qt::NoFocus);
    widget_->setVisible(visible);
}

void TControl::WatchWidget(QWidget* widget) {
    if (bridge_ && widget) widget->installEventFilter(bridge_);
}

QObject* TControl::SignalContext() const { return bridge_; }

void PaintBehind(TControl& control, TCanvas& canvas) {
    TWinControl* parent = control.Parent();
    const TRect own = control.BoundsRect();
    canvas.FillRect(TRect{0, 0, own.Right - own.Left, own.Bottom - own.Top},
                    ColorToRGB(parent ? parent->Color() : clBtnFace));
    QPainter* painter = canvas.Painter();
    QWidget* surface = parent ? parent->MadeClientWidget() : nullptr;
    if (!painter || !surface || own.Right <= own.Left || own.Bottom <= own.Top) return;
    // Drawn apart, so that the lent painter's state is left alone.
    QImage behind(own.Right - own.Left, own.Bottom - own.Top, QImage::Format_ARGB32_Premultiplied);
    behind.fill(ToQColor(parent->Color()));
    surface->render(&behind, QPoint(), QRegion(own.Left, own.Top, behind.width(), behind.height()),
                    QWidget::DrawWindowBackground);
    QPainter p(&behind);
    for (int i = 0; i < parent->ControlCount() && parent->Controls(i) != &control; ++i) {
        auto* below = dynamic_cast<TGraphicControl*>(parent->Controls(i));
        TRect common;
        if (!below || !below->Visible() || !IntersectRect(common, own, below->BoundsRect())) continue;
        p.save();
        p.translate(below->Left() - own.Left, below->Top() - own.Top);
        p.setClipRect(QRect(0, 0, below->Width(), below->Height()));
        below->PaintWith(p);
        p.restore();
    }
    p.end();
    painter->drawImage(0, 0, behind);
}

bool IsAccel(char key, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[++i] == '&') continue;
        return key && AnsiUpperCase(std::string(1, caption[i])) == AnsiUpperCase(std::string(1, key));
    }
    return false;
}

TForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c) {
        if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
        c = c->Parent();
    }
    return nullptr;
}

TForm* TControl::ParentForm() const { return GetParentForm(this); }

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw Exception("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    parent_ = parent;
    if (parent_) {
        parent_->InsertControl(this);
        if (parentFont_) ParentFontChanged();
        if (parentColor_) ParentColorChanged();
        if (align_ != TAlign::alNone) parent_->Realign();
    }
}

void TControl::PlaceWidget() {
    if (widget_ && !dynamic_cast<TForm*>(this)) widget_->setGeometry(left_, top_, std::max(0, width_), std::max(0, height_));
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
    if (parent_ && align_ != TAlign::alNone && !parent_->aligning_) parent_->Realign();
    if (resized) Resize();
}

void TControl::UpdateBoundsFromWidget(int left, int top, int width, int height) {
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) Resize();
}

void TControl::BoundsChanged() { PlaceWidget(); }

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

TPoint TControl::ClientToScreen(const TPoint& p) const {
    if (QWidget* w = Widget()) {
        QPoint q = w->mapToGlobal(QPoint(p.X, p.Y));
        return TPoint{q.x(), q.y()};
    }
    TPoint r = p;
    for (const TControl* c = this; c; c = c->Parent()) {
        r.X += c->Left();
        r.Y += c->Top();
    }
    return r;
}

TPoint TControl::ScreenToClient(const TPoint& p) const {
    TPoint origin = ClientToScreen(TPoint{0, 0});
    return TPoint{p.X - origin.X, p.Y - origin.Y};
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (visible) {
        if (!parent_) {
            // A control of its own (a popup) shows as a window: its widget is made.
            TControl* host = WidgetHost();
            if (!widget_ && (!host || host->widget_)) Widget();
        } else if (parent_->widget_ && parent_->ChildrenShowing()) {
            // Even with its own widget made (asked for while hidden), its
            // children may still wait.
            MakeWidgets();
        }
    }
    if (widget_) widget_->setVisible(visible);
    if (!visible) {
        if (TForm* form = ParentForm(); form && form != this && form->ActiveControl()) {
            for (TControl* c = form->ActiveControl(); c; c = c->Parent())
                if (c == this) {
                    form->ActiveControlGone(form->ActiveControl());
                    break;
                }
        }
    }
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::SetVisibleFlag(bool visible) { visible_ = visible; }

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible()) return false;
        if (c->Parent() && !c->Parent()->ChildrenShowing()) return false;
    }
    return true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (widget_) widget_->setEnabled(enabled);
}

void TControl::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    TextChanged();
}

void TControl::SetParentFont(bool value) {
    parentFont_ = value;
    if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    fontGuard_ = true;
    font_.Assign(parent_->Font());
    fontGuard_ = false;
}

void TControl::FontChanged() {
    fontShown_ = true;
    ShowFontColor();
}

void TControl::ShowFontColor() {
    if (widget_) {
        widget_->setFont(ToQFont(font_));
        QPalette pal = widget_->palette();
        pal.setColor(QPalette::WindowText, ToQColor(font_.Color()));
        pal.setColor(QPalette::Text, ToQColor(font_.Color()));
        pal.setColor(QPalette::ButtonText, ToQColor(font_.Color()));
        widget_->setPalette(pal);
    }
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    ShowColor();
}

void TControl::SetParentColor(bool value) {
    parentColor_ = value;
    if (value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_ || parent_->Color() == color_) return;
    color_ = parent_->Color();
    ShowColor();
}

void TControl::ColorChanged() {}

void TControl::SetHint(const std::string& hint) {
    hint_ = hint;
    // "short|long": the tooltip shows the short part; the long one is for a
    // status line.
    if (widget_) widget_->setToolTip(showHint_ ? ToQ(hint_.substr(0, hint_.find('|'))) : QString());
}

void TControl::SetShowHint(bool value) {
    showHint_ = value;
    SetHint(hint_);
}

namespace {
Qt::CursorShape ShapeOf(TCursor c) {
    switch (c) {
        case crNone: return Qt::BlankCursor;
        case crCross: return Qt::CrossCursor;
        case crIBeam: return Qt::IBeamCursor;
        case crSizeNESW: return Qt::SizeBDiagCursor;
        case crSizeNS: return Qt::SizeVerCursor;
        case crSizeNWSE: return Qt::SizeFDiagCursor;
        case crSizeWE: return Qt::SizeHorCursor;
        case crUpArrow: return Qt::UpArrowCursor;
        case crHourGlass:
        case crSQLWait: return Qt::WaitCursor;
        case crDrag:
        case crMultiDrag: return Qt::DragCopyCursor;
        case crNoDrop:
        case crNo: return Qt::ForbiddenCursor;
        case crHSplit: return Qt::SplitHCursor;
        case crVSplit: return Qt::SplitVCursor;
        case crAppStart: return Qt::BusyCursor;
        case crHelp: return Qt::WhatsThisCursor;
        case crHandPoint: return Qt::PointingHandCursor;
        case crSizeAll: return Qt::SizeAllCursor;
        default: return Qt::ArrowCursor;
    }
}
}  // namespace

namespace velorim_gui {
QCursor QtCursorOf(TCursor c) {
    if (c > 0 && Screen) {
        auto it = Screen->Cursors.find(c);
        if (it != Screen->Cursors.end()) {
            const HCURSOR& h = it->second;
            if (h.Width > 0 && h.Height > 0 && static_cast<int>(h.Pixels.size()) >= h.Width * h.Height) {
                QImage img(reinterpret_cast<const uchar*>(h.Pixels.data()), h.Width, h.Height,
                           QImage::Format_ARGB32);
                return QCursor(QPixmap::fromImage(img.copy()), h.HotX, h.HotY);
            }
            return QCursor(ShapeOf(h.Standard));
        }
    }
    return QCursor(ShapeOf(c));
}
}  // namespace velorim_gui

void TControl::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    if (widget_) {
        if (cursor == crDefault) widget_->unsetCursor();
        else widget_->setCursor(QtCursorOf(cursor));
    }
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
    else if (actionLink_)
        actionLink_->Execute();
}

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
    if (!action) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_)
        actionLink_ = std::make_unique<TBasicActionLink>(
            [this](TBasicAction* a, bool checkDefaults) { ActionChange(a, checkDefaults); });
    actionLink_->SetAction(action);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || Caption().empty()) SetCaption(action->Caption());
    if (!CheckDefaults || Enabled()) SetEnabled(action->Enabled());
    if (!CheckDefaults || Hint().empty()) SetHint(action->Hint());
    if (!CheckDefaults || Visible()) SetVisible(action->Visible());
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::UserClick() {
    if (enabled_) Click();
}

void TControl::WndProc(TMessage& message) {
    // Mouse messages posted or sent to the control act as the mouse does;
    // the point is in the low and high words of LParam.
    const int x = static_cast<int16_t>(message.LParam & 0xFFFF);
    const int y = static_cast<int16_t>((message.LParam >> 16) & 0xFFFF);
    switch (message.Msg) {
        case WM_LBUTTONDOWN: MouseDown(TMouseButton::mbLeft, 0, x, y); break;
        case WM_LBUTTONDBLCLK:
            MouseDown(TMouseButton::mbLeft, ssDouble, x, y);
            DblClick();
            break;
        case WM_LBUTTONUP: MouseUp(TMouseButton::mbLeft, 0, x, y); break;
        case WM_RBUTTONDOWN: MouseDown(TMouseButton::mbRight, 0, x, y); break;
        case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, 0, x, y); break;
        default: break;
    }
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::Invalidate() {
    if (widget_) widget_->update();
}

void TControl::Repaint() {
    if (widget_) widget_->repaint();
}

void TControl::Update() {
    if (widget_) widget_->update();
}

void TControl::BringToFront() {
    if (widget_) widget_->raise();
    if (parent_) {
        auto& v = parent_->controls_;
        v.erase(std::find(v.begin(), v.end(), this));
        v.push_back(this);
    }
}

void TControl::SendToBack() {
    if (widget_) widget_->lower();
    if (parent_) {
        auto& v = parent_->controls_;
        v.erase(std::find(v.begin(), v.end(), this));
        v.insert(v.begin(), this);
    }
}

void TControl::SetMouseCapture(bool value) {
    capture_ = value;
    if (Mouse) Mouse->SetCapture(value ? this : (Mouse->Capture() == this ? nullptr : Mouse->Capture()));
    if (widget_ && widget_->isVisible()) {
        if (value) widget_->grabMouse();
        else widget_->releaseMouse();
    }
}

bool TControl::MouseWheel(TShiftState, int, int, int) { return false; }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    if (clickOnRelease_ && button == TMouseButton::mbLeft && x >= 0 && y >= 0 && x < width_ && y < height_ && enabled_)
        Click();
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    DestroyChildren();
}

void TWinControl::DestroyChildren() {
    DestroyComponents();
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        c->BeforeDestruction();
        c->MarkDestroying();
        delete c;
    }
    if (TForm* form = ParentForm(); form && form != this) form->ActiveControlGone(this);
}

TControl* TWinControl::FindChildControl(const std::string& name) const {
    for (TControl* c : controls_)
        if (SameName(c->Name(), name)) return c;
    return nullptr;
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto* w = dynamic_cast<TWinControl*>(control)) tabList_.push_back(w);
    if (control->widget_) {
        // A made widget cannot wait for its new parent's.
        if (!MadeWidget() && wantsWidget_) Widget();
        if (MadeWidget()) AdoptWidget(control);
    } else if (MadeWidget() && ChildrenShowing()) {
        control->MakeWidgets();
    }
}

void TWinControl::AdoptWidget(TControl* child) {
    QWidget* cw = child->widget_;
    if (!cw || !MadeClientWidget()) return;
    cw->setParent(MadeClientWidget());
    // Stacked among its siblings in their order, as if it had been made
    // with them.
    auto it = std::find(controls_.begin(), controls_.end(), child);
    if (it != controls_.end())
        for (++it; it != controls_.end(); ++it)
            if (QWidget* next = (*it)->widget_; next && next->parentWidget() == cw->parentWidget()) {
                cw->stackUnder(next);
                break;
            }
    child->PlaceWidget();
    cw->setVisible(child->Visible());
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
    if (control->align_ != TAlign::alNone) Realign();
}

void TWinControl::SetTabStop(bool value) {
    tabStop_ = value;
    tabStopSet_ = true;
    if (MadeWidget()) MadeWidget()->setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

bool TWinControl::CanFocus() const { return Reachable(); }

bool TControl::Reachable() const {
    for (const TControl* c = this; c; c = c->Parent()) {
        if (dynamic_cast<const TForm*>(c)) return c->Enabled();
        if (!c->Visible() || !c->Enabled()) return false;
        if (c->Parent() && !c->Parent()->ChildrenShowing()) return false;
    }
    return false;
}

bool TWinControl::Focused() const {
    TForm* form = ParentForm();
    return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
    TForm* form = ParentForm();
    if (!form || form == this || !CanFocus()) return;
    form->SetActiveControl(this);
}

void TWinControl::SelectFirst() {
    TForm* form = ParentForm();
    if (!form) return;
    if (TWinControl* c = FindNextControl(nullptr, true, true, false)) form->SetActiveControl(c);
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const int n = static_cast<int>(list.size());
    if (n == 0) return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[i] == current) start = i;
    if (start < 0) start = goForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[i];
        if (c == current) continue;
        if (checkTabStop && !c->TabStop()) continue;
        if (checkParent && c->Parent() != this) continue;
        if (c->CanFocus()) return c;
    }
    return nullptr;
}

bool TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    TWinControl* c = FindNextControl(current, goForward, checkTabStop, false);
    if (!c) return false;
    c->SetFocus();
    return true;
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

bool TWinControl::ProcessKeyDown(WORD key, TShiftState shift, char ch, bool fromWidget) {
    TForm* const owner = ParentForm();
    TForm* form = owner == this ? nullptr : owner;
    WORD k = key;
    if (k) {
        if (form && form->KeyPreview) {
            form->KeyDown(k, shift);
            if (!k) return true;
        }
        KeyDown(k, shift);
        if (!k) return true;
        if (form && form->Menu() && (shift & (ssCtrl | ssAlt)) && form->Menu()->IsShortCut(k, shift))
            return true;
        const int code = GetDlgCode();
        if (k == VK_TAB && !(shift & (ssCtrl | ssAlt)) && !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
            if (form) form->SelectNext(this, !(shift & ssShift), true);
            return true;
        }
        // A key that reaches the window itself (nothing focused) still
        // serves the form's buttons and accelerators.
        if ((k == VK_RETURN || k == VK_ESCAPE) && !(shift & (ssCtrl | ssAlt)) && !(code & DLGC_WANTALLKEYS) && owner) {
            if (owner->DialogKey(k, shift)) return true;
        }
        if ((shift & ssAlt) && !(shift & ssCtrl) && owner) {
            const bool plain = (k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9');
            if (owner->DialogChar(plain ? char(k) : ch)) return true;
        }
    }
    char c = ch;
    if (c) {
        if (form && form->KeyPreview) {
            form->KeyPress(c);
            if (!c) return true;
        }
        KeyPress(c);
        if (!c) return true;
        // A control that types nothing (a button) leaves letters to the
        // accelerators.
        if (owner && static_cast<unsigned char>(c) > ' ' && !(shift & (ssCtrl | ssAlt)) &&
            !(GetDlgCode() & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) && owner->DialogChar(c))
            return true;
    }
    if (OwnsKeyInput() || !fromWidget || c != ch) {
        DefaultKeyInput(k, shift, c);
        return true;
    }
    return false;
}

void TWinControl::SimulateKey(WORD key, TShiftState shift, char ch) { ProcessKeyDown(key, shift, ch, false); }

void TWinControl::SimulateKeyUp(WORD key, TShiftState shift) {
    TForm* form = ParentForm();
    if (form == this) form = nullptr;
    WORD k = key;
    if (form && form->KeyPreview) {
        form->KeyUp(k, shift);
        if (!k) return;
    }
    KeyUp(k, shift);
}

void TWinControl::DefaultKeyInput(WORD key, TShiftState shift, char ch) {
    // Typing is done by the widget: it is made for it.
    QWidget* w = Widget();
    if (!w) return;
    if (QWidget* proxy = w->focusProxy()) w = proxy;
    Qt::KeyboardModifiers mods;
    if (shift & ssShift) mods |= Qt::ShiftModifier;
    if (shift & ssCtrl) mods |= Qt::ControlModifier;
    if (shift & ssAlt) mods |= Qt::AltModifier;
    QString text;
    if (ch && static_cast<unsigned char>(ch) >= 32) text = ToQ(std::string(1, ch));
    int qkey = key ? QtKeyOf(key) : Qt::Key_unknown;
    if (qkey == Qt::Key_unknown && !text.isEmpty()) qkey = text.at(0).toUpper().unicode();
    QKeyEvent press(QEvent::KeyPress, qkey, mods, text);
    ControlBridge* b = bridge_;
    if (b) b->bypassKeys = true;
    QApplication::sendEvent(w, &press);
    if (bridge_ == b && b) b->bypassKeys = false;
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::Realign() {
    if (alignDisabled_ || aligning_ || Destroying()) return;
    aligning_ = true;
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(r);
    aligning_ = false;
}

void TWinControl::AlignControls(TRect& rect) {
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
    for (TAlign a : order) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
                case TAlign::alTop: return x->Top() < y->Top();
                case TAlign::alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
                case TAlign::alLeft: return x->Left() < y->Left();
                case TAlign::alRight: return x->Left() + x->Width() > y->Left() + y->Width();
                default: return false;
            }
        });
        for (TControl* c : list) {
            const int w = rect.Width(), h = rect.Height();
            switch (a) {
                case TAlign::alTop:
                    c->SetBounds(rect.Left, rect.Top, w, c->Height());
                    rect.Top += c->Height();
                    break;
                case TAlign::alBottom:
                    c->SetBounds(rect.Left, rect.Bottom - c->Height(), w, c->Height());
                    rect.Bottom -= c->Height();
                    break;
                case TAlign::alLeft:
                    c->SetBounds(rect.Left, rect.Top, c->Width(), h);
                    rect.Left += c->Width();
                    break;
                case TAlign::alRight:
                    c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), h);
                    rect.Right -= c->Width();
                    break;
                default: c->SetBounds(rect.Left, rect.Top, std::max(0, w), std::max(0, h)); break;
            }
        }
    }
}

void TWinControl::BoundsChanged() {
    TControl::BoundsChanged();
    Realign();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* c : controls_) c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    for (TControl* c : controls_) c->ParentColorChanged();
}

// ---------------------------------------------------------- painted controls

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
    WantWidget();
    clickOnRelease_ = true;
}

void TGraphicControl::CreateWidget() {
    auto* w = new PaintWidget([this](QPainter& p) { PaintWith(p); });
    w->setFocusPolicy(Qt::NoFocus);
    SetWidget(w);
}

TGraphicControl::TGraphicControl(TComponent* AOwner, NoPaintWidget)
    : TControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
    clickOnRelease_ = true;
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintWith(QPainter& painter) {
    painter_ = &painter;
    canvas_->Attach(&painter);
    canvas_->Font().Assign(font_);
    canvas_->Brush().SetColor(color_);
    Guard(this, [this] { Paint(); });
    canvas_->Detach();
    painter_ = nullptr;
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
    WantWidget();
    clickOnRelease_ = true;
}

void TCustomControl::CreateWidget() {
    auto* w = new PaintWidget([this](QPainter& p) { PaintWith(p); });
    w->setFocusPolicy(Qt::ClickFocus);
    w->setMouseTracking(true);
    SetWidget(w);
}

TCustomControl::~TCustomControl() { DestroyChildren(); }

void TCustomControl::PaintWith(QPainter& painter) {
    canvas_->Attach(&painter);
    canvas_->Font().Assign(font_);
    canvas_->Brush().SetColor(color_);
    Guard(this, [this] { Paint(); });
    canvas_->Detach();
}
