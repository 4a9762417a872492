#include "grids/ah_tool.h"

#include <algorithm>

#include "platform/gui/clipboard.h"

namespace ah_tool {

void WriteStringToStream(std::string& Stream, const std::string& S) { Stream += S; }

bool StreamToClipboard(const std::string& Stream, unsigned Format) {
    try {
        TClipboard& cb = Clipboard();
        cb.SetAsHandle(Format, Stream);
        // A clipboard the system refused shows nothing, or other bytes.
        return cb.HasFormat(Format) && cb.GetAsHandle(Format) == Stream;
    } catch (...) {
        return false;
    }
}

bool ClipboardToStream(std::string& Stream, unsigned Format) {
    TClipboard& cb = Clipboard();
    if (!cb.HasFormat(Format)) return false;
    Stream = cb.GetAsHandle(Format);
    return true;
}

TObjectList::~TObjectList() {
    while (!items_.empty()) Delete(Count() - 1);
}

int TObjectList::Add(TObject* item) {
    items_.push_back(item);
    return Count() - 1;
}

int TObjectList::IndexOf(const TObject* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TObjectList::Delete(int index) {
    TObject* item = items_.at(static_cast<size_t>(index));
    items_.erase(items_.begin() + index);
    delete item;
}

int TObjectList::Remove(TObject* item) {
    const int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

TObjectList* ObjectList1 = nullptr;
TObjectList* ObjectList2 = nullptr;
TDummyObject* DummyObject = nullptr;
std::vector<TObject*>* PlainList = nullptr;

namespace {
struct UnitLife {
    UnitLife() {
        ObjectList1 = new TObjectList;
        ObjectList2 = new TObjectList;
        DummyObject = new TDummyObject;
        PlainList = new std::vector<TObject*>;
    }
    ~UnitLife() {
        while (ObjectList1->Count() > 0) ObjectList1->Delete(0);
        while (ObjectList2->Count() > 0) ObjectList2->Delete(0);
        delete ObjectList1;
        delete ObjectList2;
        delete DummyObject;
        delete PlainList;
        ObjectList1 = ObjectList2 = nullptr;
        DummyObject = nullptr;
        PlainList = nullptr;
    }
} unitLife;
}  // namespace

}  // namespace ah_tool
