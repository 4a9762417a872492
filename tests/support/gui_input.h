#pragma once
// Input as a person gives it, through Qt's own event delivery: keys to the
// widget that has the keyboard focus, clicks that move the focus as they do
// on screen. The form must be shown; Activate makes its window the active one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"

namespace velorim_test {

// Shows the form and makes its window the active one (the keyboard's).
inline bool Activate(TForm* form) {
    if (!form->Visible()) form->Show();
    QWidget* window = form->Widget()->window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// The widget the keyboard reaches now.
inline QWidget* KeyboardWidget() {
    return QApplication::focusWidget();
}

// The widget keys go to; keys typed where nothing has the focus are lost,
// and the test says so.
inline QWidget* KeysTarget() {
    QWidget* w = KeyboardWidget();
    if (!w) ADD_FAILURE() << "keys typed with no widget holding the keyboard";
    return w;
}

// Types text (ASCII) where the keyboard is.
inline void TypeText(const QString& text) {
    if (QWidget* w = KeysTarget()) QTest::keyClicks(w, text);
}

// Presses a key (Tab, Delete...) where the keyboard is.
inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (QWidget* w = KeysTarget()) QTest::keyClick(w, key, modifiers);
}

// Ctrl+A as a keyboard sends it: its text is the control character (QTest
// would send a plain "a").
inline void SelectAllKeys() {
    QWidget* w = KeysTarget();
    if (!w) return;
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
        QApplication::sendEvent(w, &key);
    }
}

// A click of the left button in the middle of the control, on the widget
// that is there (an edit's line inside its frame).
inline void ClickOn(TControl* control) {
    QWidget* w = control->Widget();
    QPoint at = w->rect().center();
    if (QWidget* inner = w->childAt(at)) {
        at = inner->mapFrom(w, at);
        w = inner;
    }
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
    QApplication::processEvents();
}

} // namespace velorim_test
