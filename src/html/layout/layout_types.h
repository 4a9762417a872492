#pragma once
// Small types the document model shares: the float bookkeeping of blocks
// (IndentRec, IndentManagerBasic, IndentManager), client-side image maps,
// the sinks that selected text is copied into, and a large-block allocator.
#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "html/reader/viewer_types.h"
#include "platform/gui/region.h"

class TFloatingObj;
class TAttributeList;

// ---- floats ----

// One float edge; X is relative to the block's left edge (LfEdge).
struct IndentRec {
    const void* ID = nullptr;  // owning block; nullptr for all
    int X = 0;
    int YT = 0;
    int YB = 0;
    bool FloatBlock = false;  // made by a floated block, not an image or panel
};

class IndentManagerBasic {
public:
    IndentManagerBasic() = default;
    ~IndentManagerBasic() = default;  // never deleted through this base
    IndentManagerBasic(const IndentManagerBasic&) = delete;
    IndentManagerBasic& operator=(const IndentManagerBasic&) = delete;

    // The float records of each side (ID nullptr), in the order placed.
    std::vector<IndentRec> LeftRecs;
    std::vector<IndentRec> RightRecs;
    const void* CurrentID = nullptr;  // the block whose limit records apply now
    int LfEdge = 0;
    int Width = 0;
    int ClipWidth = 0;  // set by drawing

    void Reset(int lf, int width);
    void Clear();
    // Largest X of the left records in force at Y, plus LfEdge.
    int LeftIndent(int Y) const;
    // Smallest X of the right records in force at Y, plus LfEdge; Width when none.
    int RightSide(int Y) const;
    // Largest bottom of the floats (records of ID nullptr); 0 when none.
    int ImageBottom() const;
    // Bottoms of the left and right floats, each + 1 (0 when none).
    void GetClearY(int& CL, int& CR) const;
    // The smallest float bottom below Y; Y itself when none.
    int GetNextWiderY(int Y) const;
    // A record from Y to 9999999 owned by CurrentID; returns its index.
    int SetLeftIndent(int XLeft, int Y);
    int SetRightIndent(int XRight, int Y);
    void FreeLeftIndentRec(int i);
    void FreeRightIndentRec(int i);

protected:
    void AddFloatRec(bool left, const IndentRec& r);

private:
    // Floats are placed from the top down, so a look-up at Y walks the float
    // records back from the last one placed and stops where every earlier
    // record has ended: each side keeps, per record, the largest bottom of
    // it and the records before it. Thousands of floats lay out in linear
    // time.
    std::vector<int> leftReach_, rightReach_;
    // Limit records of the blocks being laid out (nested, freed last first).
    // Held by value: every block laid out in a cell adds one to each side
    // and frees it again.
    std::vector<IndentRec> leftLimits_, rightLimits_;
};

// The float manager of a cell: adds the floating objects and floated blocks.
class IndentManager : public IndentManagerBasic {
public:
    // Places a floating image or panel at Y (its Indent is set); other
    // alignments add nothing.
    void AddFloatingObj(int Y, TFloatingObj* Obj);
    // A floated block's record from Y for Height pixels: left (5) up to X,
    // right (6) from X.
    void AddFloatingBlock(int Y, int X, int Align, int Height);
};

// ---- image maps ----

class TMapItem {
public:
    TMapItem() = default;
    std::string MapName;  // upper case
    // An area's shape is kept as its numbers and tested point by point: a
    // region of a huge circle or polygon would hold a rectangle per row.
    struct Area {
        enum Kind { Rect, Circle, Poly } Shape = Rect;
        std::vector<int> Coords;
        std::string HRef;
        std::string Target;
        std::string Title;
        bool Contains(int X, int Y) const;
    };
    std::vector<Area> Areas;
    // At most 1000 areas; shapes rect (default), circ(le), poly(gon).
    void AddArea(TAttributeList& Attrib);
    // The first area containing the point decides: true with its URL target and
    // title when it has an HREF; false otherwise (or no area).
    bool GetURL(int X, int Y, TUrlTarget& UrlTarg, std::string& ATitle) const;
};
// Numbers of an area's COORDS text: up to 301, each at most 20 characters,
// 0 for text that is not a number.
std::vector<int> ParseCoords(const std::string& coords);

// ---- selection sinks ----

// Counts what it is given except the placeholders #2 and #4.
class SelTextCount {
public:
    virtual ~SelTextCount() = default;
    virtual void AddText(const char16_t* P, int Size);
    void AddTextLine(const char16_t* P, int Size);
    void AddTextCR(const char16_t* P, int Size) { AddTextLine(P, Size); }
    virtual int Terminate();

protected:
    int Leng = 0;
};

// Copies into a caller's buffer of BufferLeng characters, leaving out #2, #4
// and #8; Terminate writes the closing 0 and returns the count + 1.
class SelTextBuf : public SelTextCount {
public:
    SelTextBuf(char16_t* ABuffer, int Size);
    void AddText(const char16_t* P, int Size) override;
    int Terminate() override;

protected:
    char16_t* Buffer;
    int BufferLeng;
};

// A SelTextBuf with its own buffer whose Terminate puts the text on the
// clipboard as Unicode text.
class ClipBuffer : public SelTextBuf {
public:
    explicit ClipBuffer(int Leng);
    ~ClipBuffer() override;
    int Terminate() override;
    // The text gathered (without the closing 0).
    std::u16string Text() const;

private:
    std::vector<char16_t> own_;
};

// ---- memory ----

// A block of memory: 65280 bytes and more from a separate allocation, less
// from the heap; both freed with the record. Allocation failure raises
// EOutOfMemory.
class AllocRec {
public:
    explicit AllocRec(size_t ASize);
    ~AllocRec();
    AllocRec(const AllocRec&) = delete;
    AllocRec& operator=(const AllocRec&) = delete;
    size_t Size() const { return size_; }
    void* Ptr() const { return ptr_; }
    bool Large() const { return large_; }

private:
    size_t size_;
    void* ptr_ = nullptr;
    bool large_ = false;
};

// Small objects of the document (sections, cells, font runs) come from
// 64 KB slabs instead of the heap: a long report makes tens of thousands of
// them at once and frees them all at once. A slab goes back to the heap when
// its last object is freed. Objects above kSlabObjectMax use the heap.
namespace DocSlabs {
constexpr size_t kSlabObjectMax = 2048;
void* Allocate(size_t size);
void Free(void* p, size_t size) noexcept;
// Slabs taken from the heap and not yet given back.
size_t SlabsHeld();
}  // namespace DocSlabs

// Places a small container's storage in the slabs (larger ones on the heap).
template <class T>
struct TSlabAllocator {
    using value_type = T;
    TSlabAllocator() = default;
    template <class U>
    TSlabAllocator(const TSlabAllocator<U>&) noexcept {}
    T* allocate(size_t n) { return static_cast<T*>(DocSlabs::Allocate(n * sizeof(T))); }
    void deallocate(T* p, size_t n) noexcept { DocSlabs::Free(p, n * sizeof(T)); }
    friend bool operator==(const TSlabAllocator&, const TSlabAllocator&) { return true; }
};

// Base for the classes allocated from the slabs. Deleting through a base
// pointer needs a virtual destructor, so that the freed size is the object's.
struct TSlabAllocated {
    static void* operator new(size_t size) { return DocSlabs::Allocate(size); }
    static void operator delete(void* p, size_t size) noexcept { DocSlabs::Free(p, size); }
    // The slabs align to 8 bytes only.
    static void* operator new(size_t, std::align_val_t) = delete;
};
