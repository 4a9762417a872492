#pragma once
// Internal to the GUI layer: the glue between the controls and their Qt
// widgets (text and colour conversion, key mapping, the event filter).
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/gui/controls.h"
#include "platform/runtime/string_list.h"

class QKeyEvent;

namespace velorim_gui {

QString ToQ(const std::string& cp1252);
std::string FromQ(const QString& text);
// A path Qt gives back (a file picked in a dialog) as the program's text;
// false when its name holds a character the program cannot (out then shows
// it with '?'), and then the path must not be used.
bool FromQPath(const QString& path, std::string& out);
QColor ToQColor(TColor color);
QFont ToQFont(const TFont& font);
// What makes two fonts measure alike, as a key for measurements kept per
// font (name, height, style, pitch; ends with a NUL, so a text may follow).
std::string FontKey(const TFont& font);
// Lines joined by line feeds, for a plain-text widget.
QString JoinedLines(const TStringList& lines);
// Removes "&" accelerator marks ("&&" stays one "&").
std::string StripAccel(const std::string& caption);
// Qt's mnemonic form of a caption: "&x" stays, a lone "&&" stays.
QString ToQMnemonic(const std::string& caption);

// Windows virtual key and the Windows-1252 character of a Qt key event.
WORD VirtualKeyOf(const QKeyEvent* event);
TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
char CharOf(const QKeyEvent* event);
// A Qt key event for a virtual key (used to hand simulated keys to a widget).
int QtKeyOf(WORD vk);

// Watches a control's widget(s): focus, keys, mouse, resize, close.
class ControlBridge : public QObject {
public:
    explicit ControlBridge(TControl* control, QObject* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;
    TControl* control;
    // Set while a simulated key is handed to the widget: no events again.
    bool bypassKeys = false;
    // Swallows the next press of msg's kind (WM_LBUTTONDOWN, WM_LBUTTONDBLCLK,
    // WM_RBUTTONDOWN) that reaches the control while the events queued now,
    // and those the event being handled posts, are delivered.
    static void DropNextPress(TControl* control, UINT msg);
    UINT dropPress = 0;
    unsigned dropArming = 0;  // a later arming outlives the earlier one's end
};

// The widget of a graphic or custom control: paints through the control.
class PaintWidget : public QWidget {
public:
    explicit PaintWidget(std::function<void(QPainter&)> paint) : paint_(std::move(paint)) {}
    void Disconnect() { paint_ = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void(QPainter&)> paint_;
};

QCursor QtCursorOf(TCursor cursor);

// The window a dialog belongs to: the active form, else Qt's active window,
// else the main form (never `except`); nullptr when none is shown.
QWidget* DialogOwner(const QWidget* except = nullptr);
// Whether one of the program's shown windows stays on top of the others: a
// dialog must then stay on top too, or it opens behind that window.
bool StayOnTopShown(const QWidget* except = nullptr);
// Makes a dialog (shown next, modally) a window of owner that shows above
// it; a null owner leaves it alone.
void OwnDialog(QWidget* dialog, QWidget* owner);

// Runs fn for control through the application's exception handler.
void Guard(TObject* sender, const std::function<void()>& fn);

// Runs fn once, when the first event of watched that answers when arrives
// (before watched handles it); the hook goes with watched.
void OnFirstEvent(QObject* watched, std::function<bool(QEvent*)> when, std::function<void()> fn);

}  // namespace velorim_gui
