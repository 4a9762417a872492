#pragma once
// Where a combo edit's drop-down window opens: under the edit (above it when
// it would leave the screen), its right or left edge lined up with the edit's,
// and kept inside the screen.
#include "platform/gui/graphics.h"

enum TPopupAlign { epaRight, epaLeft };

namespace ToolEdit {

// EditOrigin is the edit's top-left corner on the screen.
TPoint PopupOrigin(TPoint EditOrigin, TSize EditSize, TSize PopupSize, TSize ScreenSize, TPopupAlign Align);

}  // namespace ToolEdit
