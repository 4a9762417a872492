#pragma once
// Images and embedded panels in a paragraph: each stands in the text as one
// placeholder character (#4) and either lies in the line like a large
// character or floats left or right, the cell's IndentManager keeping room
// for it. Floating images are painted after the text through the draw list.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/images/gif_image.h"
#include "html/images/image_cache.h"
#include "html/reader/viewer_types.h"
#include "platform/gui/canvas.h"
#include "platform/gui/extctrls.h"

class TSectionList;
class TCellBasic;
class TFontObj;
class TFormControlObj;
class TMapItem;
class TProperties;
class TBitmap;
class TGIFImage;

// Alignment codes of images, panels, controls and cells.
constexpr int ANone = 0, ATop = 1, AMiddle = 2, ABaseline = 3, ABottom = 4, ALeft = 5, ARight = 6, AJustify = 7;

class TFloatingObj : public TIDObject {
public:
    TFloatingObj() = default;
    TFloatingObj(const TFloatingObj& T);
    ~TFloatingObj() override;

    int Pos = 0;  // character position in the section
    int ImageHeight = 0, ImageWidth = 0;  // laid-out size with borders
    uint8_t Floating = ABottom;           // the alignment code
    int Indent = 0;                       // x of a floating object from the block's left edge
    int HSpaceL = 0, HSpaceR = 0, VSpaceT = 0, VSpaceB = 0;
    int SpecWidth = -1, SpecHeight = -1;
    bool PercentWidth = false, PercentHeight = false;
    std::string ImageTitle;
    std::string AltText;
    std::u16string AltTextW;
    bool ImageKnown = false;
    int DrawYY = 0;  // top of its line (or of the float) from layout, document y
    int DrawXX = 0;  // drawn x inside the border (panel coordinates)
    int ShownY = 0;  // drawn y inside the border, document y
    bool HSpaceGiven = false;

    int GetYPosition() override { return DrawYY; }
    // Width and height available; the font run at the object's position.
    virtual void Layout(TCanvas& Canvas, int AvailableWidth, int AvailableHeight, TFontObj* FO) = 0;
    virtual std::unique_ptr<TFloatingObj> CreateCopy(TSectionList* AMasterList) const = 0;
    virtual bool IsPanel() const { return false; }
    void ProcessProperties(TProperties* Prop);
    bool IsFloating() const { return Floating == ALeft || Floating == ARight; }
};

class TTilePlan;

class TImageObj : public TFloatingObj {
public:
    TImageObj(TSectionList* MasterList, int Position, TAttributeList* L);
    // For backgrounds and list bullets.
    static std::unique_ptr<TImageObj> CreateFromURL(TSectionList* MasterList, const std::string& ImageName);
    TImageObj(TSectionList* AMasterList, const TImageObj& T);
    ~TImageObj() override;

    bool NoBorder = false;
    int BorderSize = 0;
    int Hover = 0;  // 0 none, 1 hover, 2 pressed
    bool Active = false;  // ACTIVE: frames change on hover
    int ObjHeight = 0, ObjWidth = 0;
    std::string Source;
    TGraphic* Image = nullptr;      // what is shown: the cache's picture, a GIF copy, or a stand-in
    TGraphic* OrigImage = nullptr;  // the cache's picture
    TBitmap* Mask = nullptr;
    TSectionList* MasterList;
    bool IsMap = false, UseMap = false;
    std::string MapName;
    TFormControlObj* MyFormControl = nullptr;
    Transparency Transparent = NotTransp;
    bool Swapped = false;
    bool Missing = false;
    bool Printing = false;  // a print copy: the cache usage is not counted down

    void Layout(TCanvas& Canvas, int AvailableWidth, int AvailableHeight, TFontObj* FO) override;
    std::unique_ptr<TFloatingObj> CreateCopy(TSectionList* AMasterList) const override;
    // X and TopY: the top left of the image's box (spacings applied, border
    // included), in the canvas's coordinates.
    void Draw(TCanvas& Canvas, int X, int TopY, int YBaseline, TFontObj* FO);
    void DrawImage(TCanvas& Canvas, int X, int Y, int W, int H);
    // Draws the picture over the tiles of a plan, as DrawImage draws it, a
    // tile holding the picture Cols x Rows times.
    void DrawTiles(TCanvas& Canvas, const TTilePlan& Plan);
    // The drawable form (null for the error image).
    TBitmap* GetBitmap();
    void SetHover(int Value);
    // The image is the delayed or error stand-in.
    bool ShowsStandIn() const;
    TGIFImage* Gif() const;

private:
    TImageObj(TSectionList* MasterList);
    std::unique_ptr<TGIFImage> ownGif_;
    std::unique_ptr<TBitmap> bitmapCopy_;
    bool fetched_ = false;
    bool cacheUser_ = false;  // counts as a user of Source in the cache
    std::string cacheKey_;
};

// The panel window of an embedded object, filled by the application.
class ThvPanel : public TPanel {
public:
    explicit ThvPanel(TComponent* AOwner);
    TSectionList* FMasterList = nullptr;
};

class TPanelObj : public TFloatingObj {
public:
    TPanelObj(TSectionList* AMasterList, int Position, TAttributeList* L, TCellBasic* ACell, bool ObjectTag);
    TPanelObj(TSectionList* AMasterList, const TPanelObj& T);
    ~TPanelObj() override;

    std::unique_ptr<ThvPanel> Panel;
    TSectionList* MasterList;
    int SetWidth = 0, SetHeight = 0;
    bool ShowIt = false;
    bool IsCopy = false;
    std::string PanelName, PanelType, PanelSource;

    void Layout(TCanvas& Canvas, int AvailableWidth, int AvailableHeight, TFontObj* FO) override;
    std::unique_ptr<TFloatingObj> CreateCopy(TSectionList* AMasterList) const override;
    bool IsPanel() const override { return true; }
    // Printing: the panel-print event paints it, or a box with its caption.
    void Draw(TCanvas& Canvas, int X1, int Y1);
};

class TImageObjList : public TFreeList<TFloatingObj> {
public:
    TImageObjList() = default;
    TImageObjList(TSectionList* AMasterList, const TImageObjList& T);
    TFloatingObj* FindImage(int Posn) const;
    // Index of the first object at or after Posn (Count() when none).
    int FirstAtOrAfter(int Posn) const;
    // Height + VSpaceT + VSpaceB and the alignment; -1 when no object is there.
    int GetHeightAt(int Posn, uint8_t& AAlign, TFloatingObj*& FlObj) const;
    int GetWidthAt(int Posn, uint8_t& AAlign, int& HSpcL, int& HSpcR, TFloatingObj*& FlObj) const;
    // Characters from Posn to the first object at or after it; 99999999 when none.
    int CharsToNextImage(int Posn) const;
    void DecrementPositions(int N);
    // The image whose drawn box (inside its border) holds the point.
    bool ImageAtPoint(int X, int Y, int& IX, int& IY, int& Posn, bool& AMap, TMapItem*& MapItem,
                      TImageObj*& AnImageObj) const;
    bool ObjectAtPoint(int X, int Y, TFloatingObj*& Obj, int& IX, int& IY) const;
};

// A floating image to paint after the text.
struct TImageRec {
    TImageObj* AObj;
    TCanvas* ACanvas;
    int AX, AY;
    int AYBaseline;
    TFontObj* AFO;
};

class TDrawList : public TFreeList<TImageRec> {
public:
    void AddImage(TImageObj* Obj, TCanvas& Canvas, int X, int TopY, int YBaseline, TFontObj* FO);
    void DrawImages();
};
