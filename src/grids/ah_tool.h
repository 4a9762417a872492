#pragma once
// Stream and clipboard primitives of the table text: a stream here is a
// string of bytes (the grid writes its rectangles into one), and the clipboard
// exchange moves those bytes in one clipboard format. Also the list that owns
// its objects, with the unit's globals.
#include <string>
#include <vector>

#include "platform/gui/classes.h"

namespace ah_tool {

// Appends the bytes of S (no terminator, no length prefix).
void WriteStringToStream(std::string& Stream, const std::string& S);
// Puts the stream's bytes on the clipboard in Format (CF_TEXT: the plain
// text, Windows-1252), replacing what it held; false when the clipboard did
// not take them.
bool StreamToClipboard(const std::string& Stream, unsigned Format);
// The clipboard's data in Format replaces the stream's bytes; false (and the
// stream untouched) when the clipboard holds none.
bool ClipboardToStream(std::string& Stream, unsigned Format);

// A list that frees an object when it is deleted or removed, and all of them,
// last first, when the list goes.
class TObjectList {
public:
    TObjectList() = default;
    ~TObjectList();
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    TObject* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    // Takes ownership; returns the index.
    int Add(TObject* item);
    int IndexOf(const TObject* item) const;
    // Frees the object at index.
    void Delete(int index);
    // Frees item when listed; returns its former index or -1.
    int Remove(TObject* item);

private:
    std::vector<TObject*> items_;
};

class TDummyObject : public TObject {};

// The unit's globals, made at start-up and freed at exit (the object lists
// emptied first); nothing else uses them.
extern TObjectList* ObjectList1;
extern TObjectList* ObjectList2;
extern TDummyObject* DummyObject;
extern std::vector<TObject*>* PlainList;

}  // namespace ah_tool
