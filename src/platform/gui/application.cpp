#include "platform/gui/application.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QTranslator>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/qt_bridge.h"
#include "platform/runtime/errors.h"

using namespace velorim_gui;

TApplication* Application = new TApplication();
TScreen* Screen = new TScreen();
TMouse* Mouse = new TMouse();

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    DestroyForms();
    delete ownApp_;
}

namespace {
// The platform's own texts (standard dialogs and buttons) in Portuguese; an
// application made elsewhere (the tests') gets them too. Qt's own numbers,
// dates and file kinds follow the same language, whatever the host's.
void LoadPortugueseTranslations() {
    static bool loaded = false;
    if (loaded || !QCoreApplication::instance()) return;
    loaded = true;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_pt_BR"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
// The "»" of a menu bar or tool bar too narrow for its items, drawn here:
// the style's own picture is a PNG, and reading it makes Qt look through
// its image plugins while the main window's menu bar is being built, which
// holds back the window's first paint by about a millisecond.
class TOverflowArrowEngine : public QIconEngine {
public:
    explicit TOverflowArrowEngine(bool vertical) : vertical_(vertical) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QPen pen(mode == QIcon::Disabled ? QColor(160, 160, 160) : QColor(48, 48, 48));
        pen.setWidthF(std::max(1.0, rect.width() / 10.0));
        painter->setPen(pen);
        // Two chevrons side by side pointing right (downwards when vertical),
        // in the middle half of the box.
        const double s = std::min(rect.width(), rect.height()) / 16.0;
        const QPointF origin = QRectF(rect).center() - QPointF(4 * s, 4 * s);
        for (int k = 0; k < 2; ++k) {
            const double at = (1 + 4 * k) * s;
            QPointF p[3] = {{at, 1 * s}, {at + 3 * s, 4 * s}, {at, 7 * s}};
            for (QPointF& q : p) {
                if (vertical_) q = QPointF(q.y(), q.x());
                q += origin;
            }
            painter->drawPolyline(p, 3);
        }
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap result(size);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return result;
    }
    QIconEngine* clone() const override { return new TOverflowArrowEngine(vertical_); }

private:
    bool vertical_;
};

// The platform's style (or the one -style names), with the overflow arrows
// above.
class TPlatformStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new TOverflowArrowEngine(which == SP_ToolBarVerticalExtensionButton));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};
}  // namespace

void TApplication::Initialize(int argc, char** argv) {
    LoadPortugueseTranslations();
    if (QCoreApplication::instance()) return;
    static int sArgc = 1;
    static char sName[] = "velorim";
    static char* sArgv[] = {sName, nullptr};
    if (argc > 0 && argv) {
        sArgc = argc;
        ownApp_ = new QApplication(sArgc, argv);
    } else {
        ownApp_ = new QApplication(sArgc, sArgv);
    }
    QApplication::setStyle(new TPlatformStyle);
    QApplication::setQuitOnLastWindowClosed(false);
    LoadPortugueseTranslations();
}

void TApplication::SetTitle(const std::string& title) {
    // Only the application's own title: a Qt display name would be appended
    // to every window's caption.
    title_ = title;
}

void TApplication::FormCreated(TForm* form) {
    if (!mainForm_) mainForm_ = form;
    form->AfterConstruction();
}

void TApplication::Run() {
    if (!QCoreApplication::instance()) Initialize();
    QApplication::setQuitOnLastWindowClosed(false);
    if (mainForm_ && ShowMainForm && !terminated_) Dispatch(mainForm_, [this] { mainForm_->Show(); });
    if (!terminated_) QApplication::exec();
    DestroyForms();
}

void TApplication::ProcessMessages() {
    if (!QCoreApplication::instance()) {
        DeliverPostedMessages();
        return;
    }
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DeliverPostedMessages();
        if (posted_.empty()) break;
    }
}

void TApplication::HandleMessage() {
    if (posted_.empty()) QThread::msleep(1);
    ProcessMessages();
}

void TApplication::Terminate() {
    terminated_ = true;
    if (QCoreApplication::instance()) QCoreApplication::quit();
}

void TApplication::HandleException(TObject* sender, std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const EAbort&) {
    } catch (const std::exception& ex) {
        HandleException(sender, ex);
    } catch (...) {
        HandleException(sender, Exception("Exceção desconhecida"));
    }
}

void TApplication::HandleException(TObject* sender, const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e)) return;
    try {
        if (OnException) OnException(sender, e);
        else ShowException(e);
    } catch (...) {
        // The handler itself failed: nothing more can be shown safely.
    }
}

void TApplication::ShowException(const std::exception& e) {
    MessageBox(e.what(), title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return ModalResultToId(DialogService().ShowMessageBox(MessageBoxRequest(text, caption, flags)));
}

void TApplication::SetHint(const std::string& hint) {
    if (hint == Hint) return;
    Hint = hint;
    if (OnHint) Dispatch(this, [this] { OnHint(this); });
}

bool TApplication::PostMessage(TControl* target, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!target) return false;
    TPosted p;
    p.target = target->WeakRef();
    p.control = target;
    p.msg = msg;
    p.wParam = wParam;
    p.lParam = lParam;
    posted_.push_back(std::move(p));
    ScheduleDelivery();
    return true;
}

void TApplication::PostCall(TComponent* target, std::function<void()> call) {
    TPosted p;
    if (target) p.target = target->WeakRef();
    else p.target = WeakRef();
    p.call = std::move(call);
    posted_.push_back(std::move(p));
    ScheduleDelivery();
}

void TApplication::ScheduleDelivery() {
    if (deliveryScheduled_ || !QCoreApplication::instance()) return;
    deliveryScheduled_ = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [this] {
        deliveryScheduled_ = false;
        DeliverPostedMessages();
    });
}

int TApplication::DeliverPostedMessages() {
    // A handler that posts again on every delivery cannot hold the caller:
    // what exceeds the budget waits for the next round.
    int delivered = 0;
    int budget = 100000;
    while (!posted_.empty() && budget-- > 0) {
        TPosted p = std::move(posted_.front());
        posted_.pop_front();
        if (p.target.expired()) continue;
        ++delivered;
        if (p.call) {
            Dispatch(p.control, p.call);
        } else {
            TControl* c = p.control;
            Dispatch(c, [&] {
                TMessage m{p.msg, p.wParam, p.lParam, 0};
                c->WndProc(m);
            });
        }
    }
    if (!posted_.empty()) ScheduleDelivery();
    return delivered;
}

void TApplication::RemovePendingMessage(TControl* control, UINT msg) {
    for (auto it = posted_.begin(); it != posted_.end(); ++it)
        if (!it->call && it->control == control && it->msg == msg && !it->target.expired()) {
            posted_.erase(it);
            return;
        }
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN)
        velorim_gui::ControlBridge::DropNextPress(control, msg);
}

namespace {
// The system tells the application object when its locale settings change
// (not every platform does).
class LocaleWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::LocaleChange)
            Application->SettingsChanged();
        return false;
    }
};
}  // namespace

int TApplication::HookMainWindow(TWindowHook hook) {
    static QPointer<QObject> watch;
    if (!watch && QCoreApplication::instance()) {
        watch = new LocaleWatch();
        watch->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watch);
    }
    hooks_.emplace_back(++nextHook_, std::move(hook));
    return nextHook_;
}

void TApplication::UnhookMainWindow(int id) {
    for (auto it = hooks_.begin(); it != hooks_.end(); ++it)
        if (it->first == id) {
            hooks_.erase(it);
            return;
        }
}

void TApplication::SettingsChanged() {
    // A hook may unhook itself or another: walk a copy.
    const auto hooks = hooks_;
    for (const auto& entry : hooks) {
        const TWindowHook& hook = entry.second;
        bool handled = false;
        Dispatch(this, [&] {
            TMessage m{WM_WININICHANGE, 0, 0, 0};
            handled = hook(m);
        });
        if (handled) break;
    }
}

void TApplication::DestroyForms() {
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount()) continue;
        if (auto* f = dynamic_cast<TForm*>(Components(i))) f->Free();
    }
    mainForm_ = nullptr;
    terminated_ = false;
    posted_.clear();
}

LRESULT SendMessage(TControl* target, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!target) return 0;
    LRESULT result = 0;
    Application->Dispatch(target, [&] { result = target->Perform(msg, wParam, lParam); });
    return result;
}

// ---------------------------------------------------------------- the screen

TScreen::TScreen() = default;

const TStringList& TScreen::Fonts() {
    if (!fontsRead_ && QCoreApplication::instance()) {
        fontsRead_ = true;
        std::vector<std::string> names;
        for (const QString& f : QFontDatabase::families()) names.push_back(FromQ(f));
        fonts_.MutableItems() = FontFamilyNames(std::move(names));
    }
    return fonts_;
}

std::vector<std::string> FontFamilyNames(std::vector<std::string> families) {
    // A family that several foundries provide is listed once per foundry,
    // as "C059 [UKWN]": the name a font is asked for is the family's alone.
    for (std::string& name : families)
        if (const size_t open = name.rfind(" ["); open != std::string::npos && name.back() == ']') name.erase(open);
    std::sort(families.begin(), families.end(), [](const std::string& a, const std::string& b) {
        const int order = QString::compare(ToQ(a), ToQ(b), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return families;
}

int TScreen::Width() const {
    if (auto* s = QCoreApplication::instance() ? QGuiApplication::primaryScreen() : nullptr) return s->geometry().width();
    return 1024;
}

TRect TScreen::WorkAreaRect() const {
    if (auto* s = QCoreApplication::instance() ? QGuiApplication::primaryScreen() : nullptr) {
        const QRect r = s->availableGeometry();
        return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    return TRect{0, 0, Width(), Height()};
}

int TScreen::Height() const {
    if (auto* s = QCoreApplication::instance() ? QGuiApplication::primaryScreen() : nullptr) return s->geometry().height();
    return 768;
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    const bool had = cursor_ != crDefault;
    cursor_ = cursor;
    if (!QCoreApplication::instance()) return;
    if (cursor == crDefault) {
        if (had) QApplication::restoreOverrideCursor();
    } else if (had) {
        QApplication::changeOverrideCursor(QtCursorOf(cursor));
    } else {
        QApplication::setOverrideCursor(QtCursorOf(cursor));
    }
}

TForm* TScreen::FindForm(const std::string& name) const {
    for (TForm* f : forms_)
        if (QString::compare(ToQ(f->Name()), ToQ(name), Qt::CaseInsensitive) == 0) return f;
    return nullptr;
}

TControl* TScreen::ActiveControl() const { return activeForm_ ? activeForm_->ActiveControl() : nullptr; }

void TScreen::AddForm(TForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (activeForm_ == form) activeForm_ = nullptr;
}

void TMouse::SetCapture(TControl* control) { capture_ = control; }

bool TMouse::LeftButtonDown() const {
    if (LeftButtonHook) return LeftButtonHook();
    return QGuiApplication::mouseButtons() & Qt::LeftButton;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN: return Screen->Width();
        case SM_CYSCREEN: return Screen->Height();
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVTHUMB:
        case SM_CXHTHUMB: return 16;
        case SM_CYCAPTION: return 19;
        case SM_CXBORDER:
        case SM_CYBORDER: return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME: return 3;
        case SM_CXFRAME:
        case SM_CYFRAME: return 4;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR: return 32;
        case SM_CYMENU: return 19;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK: return 4;
        case SM_CXDRAG:
        case SM_CYDRAG: return 4;
        default: return 0;
    }
}

unsigned GetDoubleClickTime() { return 500; }

namespace {
TBeepHook& BeepHook() {
    static TBeepHook hook;
    return hook;
}
}  // namespace

void SetBeepHook(TBeepHook hook) { BeepHook() = std::move(hook); }

void MessageBeep(unsigned type) {
    if (BeepHook()) BeepHook()(type);
    else if (QCoreApplication::instance()) QApplication::beep();
}

void Beep() { MessageBeep(0); }
