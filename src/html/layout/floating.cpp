#include "html/layout/floating.h"

#include "html/layout/document.h"

TFloatingObj::TFloatingObj(const TFloatingObj& T) = default;
TFloatingObj::~TFloatingObj() = default;
void TFloatingObj::ProcessProperties(TProperties*) {}

TImageObj::TImageObj(TSectionList* AMasterList) : MasterList(AMasterList) {}
TImageObj::TImageObj(TSectionList* AMasterList, int Position, TAttributeList*) : MasterList(AMasterList) {
    Pos = Position;
}
TImageObj::TImageObj(TSectionList* AMasterList, const TImageObj& T) : TFloatingObj(T), MasterList(AMasterList) {}
TImageObj::~TImageObj() = default;
std::unique_ptr<TImageObj> TImageObj::CreateFromURL(TSectionList* MasterList, const std::string& ImageName) {
    std::unique_ptr<TImageObj> r(new TImageObj(MasterList));
    r->Source = ImageName;
    return r;
}
void TImageObj::Layout(TCanvas&, int, int, TFontObj*) {}
std::unique_ptr<TFloatingObj> TImageObj::CreateCopy(TSectionList* AMasterList) const {
    return std::make_unique<TImageObj>(AMasterList, *this);
}
void TImageObj::Draw(TCanvas&, int, int, int, TFontObj*) {}
void TImageObj::DrawImage(TCanvas&, int, int, int, int) {}
TBitmap* TImageObj::GetBitmap() { return nullptr; }
void TImageObj::SetHover(int Value) { Hover = Value; }
bool TImageObj::ShowsStandIn() const { return false; }
TGIFImage* TImageObj::Gif() const { return nullptr; }

ThvPanel::ThvPanel(TComponent* AOwner) : TPanel(AOwner) {}

TPanelObj::TPanelObj(TSectionList* AMasterList, int Position, TAttributeList*, TCellBasic*, bool)
    : MasterList(AMasterList) {
    Pos = Position;
}
TPanelObj::TPanelObj(TSectionList* AMasterList, const TPanelObj& T) : TFloatingObj(T), MasterList(AMasterList) {}
TPanelObj::~TPanelObj() = default;
void TPanelObj::Layout(TCanvas&, int, int, TFontObj*) {}
std::unique_ptr<TFloatingObj> TPanelObj::CreateCopy(TSectionList* AMasterList) const {
    return std::make_unique<TPanelObj>(AMasterList, *this);
}
void TPanelObj::Draw(TCanvas&, int, int) {}

TImageObjList::TImageObjList(TSectionList* AMasterList, const TImageObjList& T) {
    for (const auto& o : T) Add(o->CreateCopy(AMasterList));
}
TFloatingObj* TImageObjList::FindImage(int Posn) const {
    for (const auto& o : *this)
        if (o->Pos == Posn) return o.get();
    return nullptr;
}
int TImageObjList::GetHeightAt(int, uint8_t&, TFloatingObj*&) const { return -1; }
int TImageObjList::GetWidthAt(int, uint8_t&, int&, int&, TFloatingObj*&) const { return -1; }
int TImageObjList::CharsToNextImage(int) const { return 99999999; }
void TImageObjList::DecrementPositions(int) {}
bool TImageObjList::ImageAtPoint(int, int, int&, int&, int&, bool&, TMapItem*&, TImageObj*&) const { return false; }
bool TImageObjList::ObjectAtPoint(int, int, TFloatingObj*&, int&, int&) const { return false; }

void TDrawList::AddImage(TImageObj* Obj, TCanvas& Canvas, int X, int TopY, int YBaseline, TFontObj* FO) {
    Add(new TImageRec{Obj, &Canvas, X, TopY, YBaseline, FO});
}
void TDrawList::DrawImages() {
    for (const auto& r : *this) r->AObj->Draw(*r->ACanvas, r->AX, r->AY, r->AYBaseline, r->AFO);
}
