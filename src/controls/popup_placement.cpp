#include "controls/popup_placement.h"

namespace ToolEdit {

TPoint PopupOrigin(TPoint EditOrigin, TSize EditSize, TSize PopupSize, TSize ScreenSize, TPopupAlign Align) {
    TPoint p = EditOrigin;
    int y = p.Y + EditSize.cy;
    if (y + PopupSize.cy > ScreenSize.cy) y = p.Y - PopupSize.cy;
    const int shift = PopupSize.cx - EditSize.cx;
    if (Align == epaRight) {
        p.X -= shift;
        if (p.X < 0) p.X += shift;
    } else if (p.X + PopupSize.cx > ScreenSize.cx) {
        p.X -= shift;
    }
    if (p.X < 0) p.X = 0;
    if (p.X + PopupSize.cx > ScreenSize.cx) p.X = ScreenSize.cx - PopupSize.cx;
    return TPoint{p.X, y};
}

}  // namespace ToolEdit
