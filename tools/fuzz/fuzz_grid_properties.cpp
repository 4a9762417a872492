// Grid descriptions and icon files: any input is read completely or refused
// with the reader's error, never a crash or a hang; what was read writes out
// a description that reads back to the same description.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "grids/cell_properties_icon.h"
#include "grids/icon.h"
#include "grids/property_stream.h"
#include "platform/runtime/cell_matrix.h"

// The records' repaint hook: there is no grid on screen here.
void RepaintGrid(TStringAlignGrid*) {}

namespace {

struct Grid {
    TCellPropertyLists lists;
    TCellMatrix cells{6, 7};
    std::unique_ptr<TLoadedCells> loaded;
    bool hints = false, texts = false;
    TFont font;

    TGridProperties Props(TCellPropertiesClass make) {
        return TGridProperties{lists, cells, loaded, hints, texts, make, nullptr, font, clWindow, "Grade"};
    }
    // What the grid does once loading ends.
    void Loaded() {
        if (!loaded) return;
        for (int c = 0; c < cells.ColCount(); ++c)
            for (int r = 0; r < cells.RowCount(); ++r) {
                auto it = loaded->find({c, r});
                cells.SetCell(c, r, it != loaded->end() ? it->second : std::string());
            }
        loaded.reset();
    }
};

void ReadAndWriteBack(std::string_view data, TCellPropertiesClass make) {
    Grid first;
    TGridProperties props = first.Props(make);
    try {
        ReadGridDescription(data, props);
    } catch (const EReadError&) {
        return;
    }
    first.Loaded();
    const std::string written = WriteGridDescription(props);
    Grid second;
    TGridProperties again = second.Props(make);
    ReadGridDescription(written, again);  // must not raise
    second.Loaded();
    if (WriteGridDescription(again) != written) std::abort();
}

void DecodeAndEncode(std::string_view data) {
    std::vector<TIconImage> images;
    try {
        images = DecodeIcon(data);
    } catch (const EInvalidIcon&) {
        return;
    }
    const std::string encoded = EncodeIcon(images);
    if (EncodeIcon(DecodeIcon(encoded)) != encoded) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ReadAndWriteBack(text, NewCellProperties);
    ReadAndWriteBack(text, NewCellPropertiesIcon);
    DecodeAndEncode(text);
    return 0;
}
