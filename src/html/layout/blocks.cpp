#include "html/layout/blocks.h"

TBlock::TBlock(TCellBasic* AMasterList, TProperties*, TCellBasic* AnOwnerCell, TAttributeList*)
    : TSectionBase(AMasterList), MyCell(std::make_unique<TBlockCell>(AMasterList ? AMasterList->MasterList : nullptr)),
      OwnerCell(AnOwnerCell) {
    MyCell->Owner = this;
}
TBlock::TBlock(TCellBasic* AMasterList, const TBlock& T)
    : TSectionBase(AMasterList, T),
      MyCell(std::make_unique<TBlockCell>(AMasterList ? AMasterList->MasterList : nullptr, *T.MyCell)),
      OwnerCell(AMasterList) {
    MyCell->Owner = this;
}
TBlock::~TBlock() = default;
std::unique_ptr<TSectionBase> TBlock::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TBlock>(AMasterList, *this);
}
void TBlock::CopySelectionToBuffer(SelTextCount& Buffer) { MyCell->CopySelectionToBuffer(Buffer); }
int TBlock::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                   IndentManager& IMgr, int& MaxWidth, int& Curs) {
    return TSectionBase::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
}
int TBlock::Draw(TCanvas&, const TRect&, IndentManager&, int, int, int) { return ContentTop + SectionHeight; }
unsigned TBlock::GetLinkAt(TCanvas&, int, int, TUrlTarget&, TFormControlObj*&, std::string&) { return 0; }
bool TBlock::GetObjectAt(int, int, TFloatingObj*&, int&, int&) { return false; }
int TBlock::FindCursor(TCanvas&, int, int, int&, int&, int&, bool&) { return -1; }
int TBlock::FindString(int, const std::u16string&, bool) { return -1; }
int TBlock::FindStringR(int, const std::u16string&, bool) { return -1; }
int TBlock::FindSourcePos(int) { return -1; }
int TBlock::FindDocPos(int, bool) { return -1; }
bool TBlock::CursorToXY(TCanvas*, int, int&, int&) { return false; }
bool TBlock::GetChAtPos(int, char16_t&, TSectionBase*&) { return false; }
void TBlock::MinMaxWidth(TCanvas&, int& Min, int& Max) {
    Min = 0;
    Max = 0;
}
void TBlock::AddToPositionList() { MyCell->AddSectionsToPositionList(); }
void TBlock::CheckFree() {}
void TBlock::DrawBlockBorder(TCanvas&, const TRect&, const TRect&) {}
int TBlock::FindWidth(TCanvas&, int AWidth, int, int) { return AWidth; }
void TBlock::CollapseMargins() {}
void TBlock::SortByZIndex() {}
void TBlock::DrawContents(TCanvas&, const TRect&, IndentManager&, int, int, int, int) {}
int TBlock::DrawBlock(TCanvas&, const TRect&, IndentManager&, int, int, int, int) { return 0; }

void BuildTiledBackground(TSectionList*, TImageObj*, int, int, const PositionRecArray&, std::unique_ptr<TBitmap>&,
                          std::unique_ptr<TBitmap>&, bool& NoMask) {
    NoMask = true;
}

TBlockLI::TBlockLI(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, Symb, bool, char, int, int,
                   TAttributeList* Attributes)
    : TBlock(AMasterList, Prop, AnOwnerCell, Attributes) {}
TBlockLI::TBlockLI(TCellBasic* AMasterList, const TBlockLI& T) : TBlock(AMasterList, T) {}
TBlockLI::~TBlockLI() = default;
std::unique_ptr<TSectionBase> TBlockLI::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TBlockLI>(AMasterList, *this);
}
int TBlockLI::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                     IndentManager& IMgr, int& MaxWidth, int& Curs) {
    return TBlock::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
}
int TBlockLI::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) {
    return TBlock::Draw(Canvas, ARect, IMgr, X, XRef, YRef);
}
std::u16string TBlockLI::NumberText() const { return {}; }

TBodyBlock::TBodyBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell,
                       TAttributeList* Attributes)
    : TBlock(AMasterList, Prop, AnOwnerCell, Attributes) {}
TBodyBlock::TBodyBlock(TCellBasic* AMasterList, const TBodyBlock& T) : TBlock(AMasterList, T) {}
std::unique_ptr<TSectionBase> TBodyBlock::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TBodyBlock>(AMasterList, *this);
}
int TBodyBlock::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                       IndentManager& IMgr, int& MaxWidth, int& Curs) {
    return TBlock::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
}
int TBodyBlock::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) {
    return TBlock::Draw(Canvas, ARect, IMgr, X, XRef, YRef);
}
unsigned TBodyBlock::GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                               std::string& ATitle) {
    return TBlock::GetLinkAt(Canvas, X, Y, UrlTarg, FormControl, ATitle);
}

THorzLine::THorzLine(TCellBasic* AMasterList, TAttributeList*, TProperties*) : TSectionBase(AMasterList) {}
THorzLine::THorzLine(TCellBasic* AMasterList, const THorzLine& T) : TSectionBase(AMasterList, T) {}
std::unique_ptr<TSectionBase> THorzLine::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<THorzLine>(AMasterList, *this);
}
void THorzLine::CopySelectionToBuffer(SelTextCount&) {}
int THorzLine::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                      IndentManager& IMgr, int& MaxWidth, int& Curs) {
    return TSectionBase::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
}
int THorzLine::Draw(TCanvas&, const TRect&, IndentManager&, int, int, int) { return ContentTop + SectionHeight; }

THRBlock::THRBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, TAttributeList* Attributes)
    : TBlock(AMasterList, Prop, AnOwnerCell, Attributes) {}
THRBlock::THRBlock(TCellBasic* AMasterList, const THRBlock& T) : TBlock(AMasterList, T), Align(T.Align) {}
std::unique_ptr<TSectionBase> THRBlock::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<THRBlock>(AMasterList, *this);
}
int THRBlock::FindWidth(TCanvas& Canvas, int AWidth, int AHeight, int AutoCount) {
    return TBlock::FindWidth(Canvas, AWidth, AHeight, AutoCount);
}

std::unique_ptr<TSectionBase> TPage::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TPage>(AMasterList, *this);
}
int TPage::Draw(TCanvas&, const TRect&, IndentManager&, int, int, int) { return ContentTop + SectionHeight; }
