#pragma once
// The few window-system services the combo edits need beyond the other
// controls: the edit's text alignment and text area, a top-level popup that
// never takes the activation, and a watch on mouse presses elsewhere. Kept in
// one place so that the layer can take them over.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls.h"

namespace EditGlue {

void SetTextAlignment(TControl& edit, TAlignment alignment);
// Keeps the text clear of the button at the right end (or at both ends).
void SetRightTextMargin(TControl& edit, int margin);
void SetTextMargins(TControl& edit, int left, int right);
// The edit window's own left text margin in pixels.
int LeftTextMargin(TControl& edit);
// The window shows text at alignment (the edit's own text is not changed).
void ShowText(TControl& edit, const std::string& text, TAlignment alignment);
// The focused edit's window has the keyboard focus (back) and shows its
// caret again at its place.
void ShowCaret(TControl& edit);
// The caret of the edit's window as it is now (the edit's own record of the
// selection follows only after the change is reported); -1 without one.
int CaretPosition(TControl& edit);
// Turns the control's widget into a frameless top-level window that shows
// without being activated.
void MakePopupWindow(TControl& popup);
// The screen's size in pixels.
TSize ScreenSize();

// Calls OnOutside for every mouse press in the application that lands on
// none of the watched controls (or their children) while the watch lives.
class TOutsideClickWatch {
public:
    TOutsideClickWatch(std::vector<TControl*> inside, std::function<void()> onOutside);
    ~TOutsideClickWatch();
    TOutsideClickWatch(const TOutsideClickWatch&) = delete;
    TOutsideClickWatch& operator=(const TOutsideClickWatch&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace EditGlue
