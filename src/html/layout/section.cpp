#include "html/layout/section.h"

bool ParserNoBreak = false;

ThtTabcontrol::ThtTabcontrol(TComponent* AOwner) : TWinControl(AOwner) {}
void ThtTabcontrol::WndProc(TMessage& message) { TWinControl::WndProc(message); }

TFontObj::TFontObj(TSection* ASection, TMyFont* F, int Position) : Section(ASection), Pos(Position), TheFont(F) {}
TFontObj::TFontObj(TSection* ASection, const TFontObj& T) : Section(ASection), Pos(T.Pos) {}
TFontObj::~TFontObj() = default;
void TFontObj::SetVisited(bool Value) { Visited = Value; }
void TFontObj::SetHover(bool Value) { Hover = Value; }
void TFontObj::SetHoverForLink(const std::vector<TFontObj*>&, bool Value) { Hover = Value; }
void TFontObj::CreateFontInfoArray(TProperties*) {}
void TFontObj::AssignNewFont(TMyFont* F) { TheFont.reset(F); }
void TFontObj::ApplyFontInfo(const ThtFontInfo&) {}
void TFontObj::SetLinkYPosition(int Y) { YValue = Y; }
void TFontObj::CreateFocusHolder(int) {}
void TFontObj::FontChanged() {}
void TFontObj::EnterEvent() {}
void TFontObj::ExitEvent() {}
void TFontObj::KeyDownEvent(uint16_t&, TShiftState) {}

TFontList::TFontList(TSection* Section, const TFontList& T) {
    for (const auto& f : T) Add(new TFontObj(Section, *f));
}
TFontObj* TFontList::GetFontObjAt(int, int& Index) const {
    Index = 0;
    return First();
}
TMyFont* TFontList::GetFontAt(int, int& OHang) const {
    OHang = 0;
    return First() ? First()->TheFont.get() : nullptr;
}
int TFontList::GetFontCountAt(int, int Leng) const { return Leng; }
void TFontList::Decrement(int, TSectionList*) {}

TSection::TSection(TCellBasic* AMasterList, TAttributeList*, TProperties*, TUrlTarget*, bool)
    : TSectionBase(AMasterList), OwnerCell(AMasterList) {}
TSection::TSection(TCellBasic* AMasterList, const TSection& T)
    : TSectionBase(AMasterList, T), BuffS(T.BuffS), Brk(T.Brk), OwnerCell(AMasterList) {
    Finished = true;
    Len = T.Len;
}
TSection::~TSection() = default;
void TSection::AddChar(char16_t C, int Index) {
    BuffS.push_back(C);
    Brk.push_back('y');
    SIndexList.push_back(Index);
}
void TSection::AddTokenObj(TokenObj& T) {
    for (int i = 0; i < T.Leng; ++i) AddChar(T.C[static_cast<size_t>(i)], T.I[static_cast<size_t>(i)]);
}
void TSection::ChangeFont(TProperties*) {}
void TSection::HRef(Symb, TSectionList*, TUrlTarget*, TAttributeList*, TProperties*) {}
TImageObj* TSection::AddImage(TAttributeList*, TCellBasic*, int) { return nullptr; }
TPanelObj* TSection::AddPanel(TAttributeList*, TCellBasic*, int) { return nullptr; }
TPanelObj* TSection::CreatePanel(TAttributeList*, TCellBasic*) { return nullptr; }
void TSection::AddObject(TFloatingObj* PO, int) { Images.Add(PO); }
void TSection::AllowBreakAfterLast() {}
void TSection::Finish(int) {
    Finished = true;
    Len = static_cast<int>(BuffS.size());
}
void TSection::CheckFree() {}
void TSection::AddPlaceholder(int Index, char Code) {
    BuffS.push_back(4);
    Brk.push_back(Code);
    SIndexList.push_back(Index);
}
std::unique_ptr<TSectionBase> TSection::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TSection>(AMasterList, *this);
}
void TSection::CopySelectionToBuffer(SelTextCount&) {}
int TSection::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                     IndentManager& IMgr, int& MaxWidth, int& Curs) {
    const int h = TSectionBase::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
    Curs += Len;
    return h;
}
int TSection::Draw(TCanvas&, const TRect&, IndentManager&, int, int, int) { return ContentTop + SectionHeight; }
unsigned TSection::GetLinkAt(TCanvas&, int, int, TUrlTarget&, TFormControlObj*&, std::string&) { return 0; }
bool TSection::GetObjectAt(int, int, TFloatingObj*&, int&, int&) { return false; }
int TSection::FindCursor(TCanvas&, int, int, int&, int&, int&, bool&) { return -1; }
int TSection::FindString(int, const std::u16string&, bool) { return -1; }
int TSection::FindStringR(int, const std::u16string&, bool) { return -1; }
int TSection::FindSourcePos(int) { return -1; }
int TSection::FindDocPos(int, bool) { return -1; }
bool TSection::CursorToXY(TCanvas*, int, int&, int&) { return false; }
bool TSection::GetChAtPos(int, char16_t&, TSectionBase*&) { return false; }
void TSection::MinMaxWidth(TCanvas&, int& Min, int& Max) {
    Min = 0;
    Max = 0;
}
int TSection::TextWidth(TCanvas&, int, int, bool) { return 0; }
int TSection::FindCountThatFits(TCanvas&, int, int, int N) { return N; }
void TSection::FinishText() {}
void TSection::DeleteChar(int) {}

TPreFormated::TPreFormated(TCellBasic* AMasterList, TAttributeList* L, TProperties* Prop, TUrlTarget* AnURL,
                           bool FirstItem)
    : TSection(AMasterList, L, Prop, AnURL, FirstItem) {}
TPreFormated::TPreFormated(TCellBasic* AMasterList, const TPreFormated& T) : TSection(AMasterList, T) {}
std::unique_ptr<TSectionBase> TPreFormated::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TPreFormated>(AMasterList, *this);
}
void TPreFormated::Finish(int SourceIndex) { TSection::Finish(SourceIndex); }
void TPreFormated::MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) { TSection::MinMaxWidth(Canvas, Min, Max); }
int TPreFormated::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                         IndentManager& IMgr, int& MaxWidth, int& Curs) {
    return TSection::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
}

void ResetFitCache() {}
