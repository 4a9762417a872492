#include "platform/gui/edit_glue.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QSignalBlocker>
#include <QWidget>

#include "platform/gui/qt_bridge.h"
#include "platform/gui/stdctrls.h"

namespace EditGlue {

// The edits keep what their window shows until it is made.
void SetTextAlignment(TControl& edit, TAlignment alignment) {
    if (auto* e = dynamic_cast<TCustomEdit*>(&edit)) e->ShowAlignment(alignment);
}

void SetRightTextMargin(TControl& edit, int margin) { SetTextMargins(edit, 0, margin); }

void SetTextMargins(TControl& edit, int left, int right) {
    if (auto* e = dynamic_cast<TCustomEdit*>(&edit)) e->ShowTextMargins(left, right);
}

int LeftTextMargin(TControl& edit) {
    auto* line = qobject_cast<QLineEdit*>(edit.MadeWidget());
    return line ? line->textMargins().left() : 0;
}

void ShowText(TControl& edit, const std::string& text, TAlignment alignment) {
    auto* e = dynamic_cast<TCustomEdit*>(&edit);
    if (!e) return;
    e->ShowAlignment(alignment);
    e->ShowWidgetText(text);
}

void ShowCaret(TControl& edit) {
    auto* line = qobject_cast<QLineEdit*>(edit.MadeWidget());
    if (line && line->isVisible() && !line->hasFocus()) line->setFocus(Qt::OtherFocusReason);
    if (line && line->hasFocus()) line->setCursorPosition(line->cursorPosition());
}

int CaretPosition(TControl& edit) {
    // Where the window's caret is: the window is made to tell.
    auto* line = qobject_cast<QLineEdit*>(edit.Widget());
    return line ? line->cursorPosition() : -1;
}

void MakePopupWindow(TControl& popup) { popup.SetPopupWindow(); }

TSize ScreenSize() {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        QRect r = s->geometry();
        return TSize{r.width(), r.height()};
    }
    return TSize{1024, 768};
}

namespace {

class PressFilter : public QObject {
public:
    PressFilter(std::vector<TControl*> inside, std::function<void()> onOutside)
        : onOutside_(std::move(onOutside)) {
        for (TControl* c : inside)
            if (c && c->Widget()) inside_.push_back(c->Widget());
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || !w->isWidgetType()) return false;
        for (const QPointer<QWidget>& in : inside_)
            if (in && (w == in || in->isAncestorOf(w))) return false;
        if (onOutside_) {
            auto call = onOutside_;  // the call may end the watch
            call();
        }
        return false;
    }

private:
    std::vector<QPointer<QWidget>> inside_;
    std::function<void()> onOutside_;
};

}  // namespace

struct TOutsideClickWatch::Impl {
    PressFilter* filter = nullptr;
};

TOutsideClickWatch::TOutsideClickWatch(std::vector<TControl*> inside, std::function<void()> onOutside)
    : impl_(std::make_unique<Impl>()) {
    if (!QCoreApplication::instance()) return;
    impl_->filter = new PressFilter(std::move(inside), std::move(onOutside));
    QCoreApplication::instance()->installEventFilter(impl_->filter);
}

TOutsideClickWatch::~TOutsideClickWatch() {
    if (impl_->filter) {
        if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(impl_->filter);
        impl_->filter->deleteLater();
    }
}

}  // namespace EditGlue
