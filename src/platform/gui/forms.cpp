#include "platform/gui/forms.h"

#include <QApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <memory>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/menus.h"
#include "platform/gui/qt_bridge.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/errors.h"

using namespace velorim_gui;

namespace velorim_gui {

QWidget* DialogOwner(const QWidget* except) {
    auto usable = [except](QWidget* w) {
        return w && w != except && w->isWindow() && w->isVisible() && w->windowType() != Qt::Popup &&
               w->windowType() != Qt::ToolTip;
    };
    if (TForm* f = Screen->ActiveForm(); f && usable(f->MadeWidget())) return f->MadeWidget();
    if (QWidget* w = QApplication::activeWindow(); usable(w)) return w;
    if (TForm* m = Application->MainForm(); m && usable(m->MadeWidget())) return m->MadeWidget();
    return nullptr;
}

bool StayOnTopShown(const QWidget* except) {
    if (!QCoreApplication::instance()) return false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != except && w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint)) return true;
    return false;
}

void OwnDialog(QWidget* dialog, QWidget* owner) {
    if (!dialog || !owner) return;
    Qt::WindowFlags flags = dialog->windowFlags();
    if (StayOnTopShown(dialog)) flags |= Qt::WindowStaysOnTopHint;
    if (dialog->parentWidget() != owner) dialog->setParent(owner, flags);
    else dialog->setWindowFlags(flags);
}

}  // namespace velorim_gui

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetVisibleFlag(false);
    WantWidget();
    color_ = clBtnFace;
    parentColor_ = false;
    ShowColor();
    Screen->AddForm(this);
    SetBounds(0, 0, 400, 300);
}

void TForm::CreateWidget() {
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    client_ = new QWidget(window);
    client_->setAutoFillBackground(true);
    SetWidget(window);
    WatchWidget(client_);
    TextChanged();
    ColorChanged();
    ApplyWindowFlags();
    if (modal_) window->setWindowModality(Qt::ApplicationModal);
    if (menu_) MenuChanged();
    else BoundsChanged();
}

TForm::~TForm() {
    MarkDestroying();
    activeControl_ = nullptr;
    DestroyChildren();
    activeControl_ = nullptr;
    if (Screen) Screen->RemoveForm(this);
    if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TForm::AfterConstruction() {
    if (created_) return;
    created_ = true;
    if (OnCreate) OnCreate(this);
}

void TForm::BeforeDestruction() {
    if (destroyFired_) return;
    destroyFired_ = true;
    if (OnDestroy) Application->Dispatch(this, [this] { OnDestroy(this); });
}

void TForm::TextChanged() {
    if (MadeWidget()) MadeWidget()->setWindowTitle(ToQ(text_));
}

void TForm::ColorChanged() {
    if (client_) {
        QPalette pal = client_->palette();
        pal.setColor(QPalette::Window, ToQColor(color_));
        client_->setPalette(pal);
    }
    TWinControl::ColorChanged();
}

int TForm::FrameWidth() const {
    switch (borderStyle_) {
        case TFormBorderStyle::bsNone: return 0;
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin: return 4;
        default: return 3;
    }
}

int TForm::CaptionHeight() const {
    switch (borderStyle_) {
        case TFormBorderStyle::bsNone: return 0;
        case TFormBorderStyle::bsToolWindow:
        case TFormBorderStyle::bsSizeToolWin: return 16;
        default: return 19;
    }
}

// The bar is made with the window: until then a menu counts as its bar.
int TForm::MenuHeight() const { return menuBar_ || (menu_ && !MadeWidget()) ? 19 : 0; }

int TForm::ClientWidth() const { return std::max(0, Width() - 2 * FrameWidth()); }

int TForm::ClientHeight() const {
    return std::max(0, Height() - 2 * FrameWidth() - CaptionHeight() - MenuHeight());
}

void TForm::SetClientWidth(int width) { SetWidth(width + 2 * FrameWidth()); }

void TForm::SetClientHeight(int height) {
    SetHeight(height + 2 * FrameWidth() + CaptionHeight() + MenuHeight());
}

void TForm::SetBounds(int left, int top, int width, int height) { TWinControl::SetBounds(left, top, width, height); }

void TForm::BoundsChanged() {
    if (QWidget* w = MadeWidget()) {
        const int mh = MenuHeight();
        w->move(Left(), Top());
        w->resize(ClientWidth(), ClientHeight() + mh);
        if (menuBar_) menuBar_->setGeometry(0, 0, ClientWidth(), mh);
        client_->setGeometry(0, mh, ClientWidth(), ClientHeight());
    }
    Realign();
}

void TForm::ClientResized(int width, int height) {
    if (width == ClientWidth() && height == ClientHeight()) return;
    const int fw = 2 * FrameWidth();
    UpdateBoundsFromWidget(Left(), Top(), width + fw, height + fw + CaptionHeight() + MenuHeight());
    if (menuBar_) menuBar_->setGeometry(0, 0, width, MenuHeight());
    Realign();
}

void TForm::ApplyWindowFlags() {
    QWidget* w = MadeWidget();
    if (!w) return;
    Qt::WindowFlags f = Qt::Window;
    switch (borderStyle_) {
        case TFormBorderStyle::bsNone: f |= Qt::FramelessWindowHint; break;
        case TFormBorderStyle::bsDialog: f |= Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint; break;
        case TFormBorderStyle::bsToolWindow:
        case TFormBorderStyle::bsSizeToolWin: f |= Qt::Tool; break;
        default: break;
    }
    if (formStyle_ == TFormStyle::fsStayOnTop || modalOnTop_) f |= Qt::WindowStaysOnTopHint;
    const bool wasVisible = w->isVisible();
    w->setWindowFlags(f);
    if (wasVisible) {
        w->show();
        w->setAttribute(Qt::WA_KeyboardFocusChange);
    }
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    ApplyWindowFlags();
    BoundsChanged();
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style == formStyle_) return;
    formStyle_ = style;
    ApplyWindowFlags();
}

void TForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    QWidget* w = MadeWidget();
    if (!w || !Visible()) return;
    switch (state) {
        case TWindowState::wsMaximized: w->showMaximized(); break;
        case TWindowState::wsMinimized: w->showMinimized(); break;
        default: w->showNormal(); break;
    }
}

void TForm::PlaceOnScreen() {
    const TRect work = Screen->WorkAreaRect();
    int areaLeft = work.Left, areaTop = work.Top, areaWidth = work.Right - work.Left,
        areaHeight = work.Bottom - work.Top;
    bool centre = true;
    switch (position_) {
        case TPosition::poScreenCenter:
        case TPosition::poDesktopCenter: break;
        case TPosition::poMainFormCenter:
        case TPosition::poOwnerFormCenter: {
            TForm* ref = Application->MainForm();
            if (position_ == TPosition::poOwnerFormCenter)
                if (auto* owner = dynamic_cast<TForm*>(Owner())) ref = owner;
            if (!ref || ref == this) break;
            areaLeft = ref->Left();
            areaTop = ref->Top();
            areaWidth = ref->Width();
            areaHeight = ref->Height();
            // Where the window really is: the window manager may have moved
            // or maximised it since its bounds were set.
            if (QWidget* w = ref->MadeWidget(); w && w->isVisible()) {
                const QRect g = w->frameGeometry();
                areaLeft = g.left();
                areaTop = g.top();
                areaWidth = g.width();
                areaHeight = g.height();
            }
            break;
        }
        default: centre = false; break;
    }
    int left = Left(), top = Top();
    if (centre) {
        left = areaLeft + (areaWidth - Width()) / 2;
        top = areaTop + (areaHeight - Height()) / 2;
    }
    // A window starts inside the screen's work area, never larger than it: a
    // maximised one stays at this size where no window manager maximises it.
    const int width = std::min(Width(), work.Right - work.Left);
    const int height = std::min(Height(), work.Bottom - work.Top);
    left = std::max(work.Left, std::min(left, work.Right - width));
    top = std::max(work.Top, std::min(top, work.Bottom - height));
    SetBounds(left, top, width, height);
}

void TForm::SetVisible(bool visible) {
    if (visible == Visible()) {
        if (visible && MadeWidget()) MadeWidget()->raise();
        return;
    }
    if (!visible) {
        SetVisibleFlag(false);
        if (MadeWidget()) MadeWidget()->hide();
        if (!modal_ && modalOnTop_) {
            modalOnTop_ = false;
            ApplyWindowFlags();
        }
        if (modal_ && modalResult_ == mrNone) SetModalResult(mrCancel);
        if (Screen->ActiveForm() == this) {
            Screen->SetActiveForm(nullptr);
            if (OnDeactivate) OnDeactivate(this);
        }
        if (OnHide) OnHide(this);
        return;
    }
    SetVisibleFlag(true);
    if (!shownOnce_) PlaceOnScreen();
    shownOnce_ = true;
    // The form's widgets are made when it is first shown.
    if (QWidget* w = Widget()) {
        // A dialog opened while a window that stays on top is shown (the
        // wizard) would open hidden behind it: it shows above it until closed.
        if (!modal_ && borderStyle_ == TFormBorderStyle::bsDialog && formStyle_ != TFormStyle::fsStayOnTop &&
            StayOnTopShown(w)) {
            modalOnTop_ = true;
            ApplyWindowFlags();
        }
        if (windowState_ == TWindowState::wsMaximized) w->showMaximized();
        else w->show();
        // The focused control always shows its focus mark, as after keyboard
        // use (showing a window forgets that).
        w->setAttribute(Qt::WA_KeyboardFocusChange);
    }
    if (OnShow) OnShow(this);
    if (!activeControl_ && Visible()) SelectFirst();
    Activate();
}


void TForm::AfterFirstPaint(std::function<void()> call) {
    QWidget* w = MadeWidget();
    QWindow* window = w && w->isVisible() ? w->windowHandle() : nullptr;
    if (!window || window->isExposed()) {
        Application->PostCall(this, std::move(call));
        return;
    }
    // One call, whichever comes first. The short wait lets the message loop
    // hand the painted pixels to the display server before the call runs.
    auto pending = std::make_shared<std::function<void()>>(std::move(call));
    auto run = [this, pending] {
        if (!*pending) return;
        std::function<void()> c = std::move(*pending);
        *pending = nullptr;
        Application->PostCall(this, std::move(c));
    };
    // Qt answers the first exposure with the first paint before the event
    // returns.
    OnFirstEvent(
        window, [window](QEvent* e) { return e->type() == QEvent::Expose && window->isExposed(); },
        [w, run] { QTimer::singleShot(1, w, run); });
    QTimer::singleShot(1000, w, run);
}

void TForm::Activate() {
    if (Screen->ActiveForm() == this) return;
    TForm* old = Screen->ActiveForm();
    Screen->SetActiveForm(this);
    if (old && old->OnDeactivate) old->OnDeactivate(old);
    if (OnActivate) OnActivate(this);
}

bool TForm::Active() const { return Screen->ActiveForm() == this; }

void TForm::SetModalResult(TModalResult result) {
    modalResult_ = result;
    if (result != mrNone && modalWake_) modalWake_();
}

TModalResult TForm::ShowModal() {
    if (Visible() || modal_) throw Exception("Cannot make a visible window modal");
    modal_ = true;
    modalResult_ = mrNone;
    // A modal form belongs to the window it was opened from and shows above
    // it, even above one that stays on top.
    if (QWidget* w = Widget(); w && !w->parentWidget()) {
        if (QWidget* owner = DialogOwner(w)) {
            modalOnTop_ = StayOnTopShown(w);
            w->setParent(owner, w->windowFlags());
            ApplyWindowFlags();
        }
    }
    if (MadeWidget()) MadeWidget()->setWindowModality(Qt::ApplicationModal);
    auto finish = [this] {
        modal_ = false;
        SetModalWake(nullptr);
        if (Visible()) SetVisible(false);
        if (QWidget* w = MadeWidget()) {
            w->setWindowModality(Qt::NonModal);
            if (w->parentWidget()) {
                modalOnTop_ = false;
                w->setParent(nullptr, w->windowFlags());
                ApplyWindowFlags();
            }
        }
    };
    try {
        SetVisible(true);
        // A close refused every time cannot keep a non-interactive service
        // looping for ever.
        for (int round = 0; round < 1000; ++round) {
            if (modalResult_ == mrNone) DialogService().RunModalLoop(*this);
            if (modalResult_ == mrNone || Application->Terminated()) {
                modalResult_ = mrCancel;
                if (Application->Terminated()) break;
            }
            if (CloseModal()) break;
        }
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
    } catch (...) {
        finish();
        throw;
    }
    const TModalResult result = modalResult_;
    finish();
    return result;
}

bool TForm::CloseModal() {
    TCloseAction action = TCloseAction::caHide;
    if (!CloseQuery()) action = TCloseAction::caNone;
    else if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) {
        modalResult_ = mrNone;
        return false;
    }
    if (action == TCloseAction::caFree) Release();
    return true;
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (modal_) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return;
    }
    switch (action) {
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
        case TCloseAction::caFree: Release(); break;
        default: break;
    }
}

void TForm::ClosedByUser() { Close(); }

void TForm::Release() {
    Hide();
    Application->PostCall(this, [this] { Free(); });
}

void TForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    if (control && (control == this || GetParentForm(control) != this)) return;
    TWinControl* old = activeControl_;
    activeControl_ = control;
    if (old) {
        try {
            old->DoExit();
        } catch (...) {
            activeControl_ = old;
            if (old->MadeWidget() && old->MadeWidget()->isVisible()) old->MadeWidget()->setFocus(Qt::OtherFocusReason);
            throw;
        }
    }
    if (activeControl_ != control) return;  // OnExit moved the focus itself
    if (control) {
        // A widget made on the focus comes now, unless its parent's is not made yet.
        const bool make = control->WidgetOnFocus() && control->Parent() && control->Parent()->MadeWidget();
        QWidget* w = make ? control->Widget() : control->MadeWidget();
        if (w && w->isVisible() && !w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
        control->DoEnter();
    } else if (old && old->MadeWidget() && old->MadeWidget()->hasFocus()) {
        old->MadeWidget()->clearFocus();
    }
}

void TForm::ActiveControlGone(TWinControl* control) {
    if (activeControl_ == control) activeControl_ = nullptr;
}

void TForm::SetMenu(TMainMenu* menu) {
    menu_ = menu;
    MenuChanged();
}

void TForm::MenuChanged() {
    // Menus taken apart with their form rebuild no bar and realign nothing;
    // a form not yet made gets its bar with its window.
    if (!MadeWidget() || Destroying()) return;
    if (!menu_) {
        delete menuBar_;
        menuBar_ = nullptr;
    } else {
        auto* bar = qobject_cast<QMenuBar*>(menuBar_);
        if (!bar) {
            bar = new QMenuBar(MadeWidget());
            bar->setNativeMenuBar(false);
            menuBar_ = bar;
            bar->show();
        }
        bar->clear();
        for (int i = 0; i < menu_->Items()->Count(); ++i) {
            TMenuItem* item = menu_->Items()->Items(i);
            if (!item->Visible()) continue;
            QMenu* sub = bar->addMenu(ToQ(item->Caption()));
            sub->setEnabled(item->Enabled());
            if (item->Count() == 0) {
                // A top-level item without sub-items acts on its own.
                QObject::connect(sub, &QMenu::aboutToShow, SignalContext(), [item, sub] {
                    sub->hide();
                    Guard(item, [item] { item->Click(); });
                });
            } else {
                item->BuildInto(sub);
            }
        }
    }
    QWidget* w = MadeWidget();
    if (!w->isVisible()) {
        BoundsChanged();
        return;
    }
    // A shown window stays where and as large as the window manager keeps it
    // (maximised, moved): the bar and the client area share its size.
    const int mh = MenuHeight();
    if (menuBar_) menuBar_->setGeometry(0, 0, w->width(), mh);
    client_->setGeometry(0, mh, w->width(), std::max(0, w->height() - mh));
    ClientResized(w->width(), std::max(0, w->height() - mh));
    Realign();
}

namespace {
// The first control of parent's subtree (in its order, parents first) that
// keys reach and that answers pred.
TControl* FindReachable(const TWinControl* parent, const std::function<bool(TControl*)>& pred) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Reachable()) continue;
        if (pred(c)) return c;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (TControl* found = FindReachable(w, pred)) return found;
    }
    return nullptr;
}
}  // namespace

bool TForm::DialogKey(WORD key, TShiftState shift) {
    if (shift & (ssCtrl | ssAlt) || (key != VK_RETURN && key != VK_ESCAPE)) return false;
    TControl* target = key == VK_RETURN ? dynamic_cast<TButton*>(activeControl_) : nullptr;
    if (!target) target = FindReachable(this, [key](TControl* c) { return c->TakesDialogKey(key); });
    if (!target || !target->Enabled()) return false;
    target->Click();
    return true;
}

bool TForm::DialogChar(char key) {
    return key && FindReachable(this, [key](TControl* c) { return c->DialogChar(key); });
}

namespace {
// Rendering shows no widget: parts that wait to be shown are made first.
void MakeShownParts(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (auto* combo = dynamic_cast<TComboBox*>(c)) combo->MakeEditPart();
        if (auto* w = dynamic_cast<TWinControl*>(c)) MakeShownParts(w);
    }
}
}  // namespace

bool TForm::SaveToPng(const std::string& fileName) {
    QWidget* w = Widget();
    if (!w) return false;
    MakeShownParts(this);
    w->ensurePolished();
    QPixmap pixmap = w->grab();
    return !pixmap.isNull() && pixmap.save(ToQ(fileName), "PNG");
}

// ------------------------------------------------------------------- TPlacer

TPlacer::TPlacer(TWinControl* parent, int left, int top, int spacing)
    : parent_(parent), left_(left), spacing_(spacing), x_(left), y_(top) {}

TPlacer& TPlacer::Add(TControl* control, int width, int height) {
    if (parent_ && control->Parent() != parent_) control->SetParent(parent_);
    const int w = width >= 0 ? width : control->Width();
    const int h = height >= 0 ? height : control->Height();
    control->SetBounds(x_, y_, w, h);
    x_ += w + spacing_;
    rowHeight_ = std::max(rowHeight_, h);
    maxRight_ = std::max(maxRight_, x_ - spacing_);
    return *this;
}

TPlacer& TPlacer::NewRow(int extraSpace) {
    y_ += rowHeight_ + spacing_ + extraSpace;
    x_ = left_;
    rowHeight_ = 0;
    return *this;
}

TPlacer& TPlacer::Column(int x) {
    x_ = x;
    return *this;
}
