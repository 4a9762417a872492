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

namespace EditGlue {

void SetTextAlignment(TControl& edit, TAlignment alignment) {
    auto* line = qobject_cast<QLineEdit*>(edit.Widget());
    if (!line) return;
    Qt::Alignment a = alignment == taRightJustify ? Qt::AlignRight : alignment == taCenter ? Qt::AlignHCenter
                                                                                            : Qt::AlignLeft;
    line->setAlignment(a | Qt::AlignVCenter);
}

void SetRightTextMargin(TControl& edit, int margin) {
    if (auto* line = qobject_cast<QLineEdit*>(edit.Widget())) line->setTextMargins(0, 0, std::max(0, margin), 0);
}

int LeftTextMargin(TControl& edit) {
    auto* line = qobject_cast<QLineEdit*>(edit.Widget());
    return line ? line->textMargins().left() : 0;
}

void ShowText(TControl& edit, const std::string& text, TAlignment alignment) {
    auto* line = qobject_cast<QLineEdit*>(edit.Widget());
    if (!line) return;
    SetTextAlignment(edit, alignment);
    QSignalBlocker block(line);
    line->setText(velorim_gui::ToQ(text));
}

void ShowCaret(TControl& edit) {
    auto* line = qobject_cast<QLineEdit*>(edit.Widget());
    if (line && line->hasFocus()) line->setCursorPosition(line->cursorPosition());
}

int CaretPosition(TControl& edit) {
    auto* line = qobject_cast<QLineEdit*>(edit.Widget());
    return line ? line->cursorPosition() : -1;
}

void MakePopupWindow(TControl& popup) {
    QWidget* w = popup.Widget();
    if (!w) return;
    const bool visible = w->isVisible();
    w->setParent(nullptr);
    w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setFocusPolicy(Qt::NoFocus);
    w->setVisible(visible);
}

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
