#include "app/about_box.h"

#include "app/main_window.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/runtime/files.h"

TAboutBox* AboutBox = nullptr;

namespace {

// The program's picture: a white "V" on a blue tile.
TBitmap ProgramPicture() {
    TBitmap bitmap(32, 32, TPixelFormat::pf24bit);
    TCanvas& canvas = bitmap.Canvas();
    canvas.FillRect(TRect{0, 0, 32, 32}, clBtnFace);
    canvas.Brush().SetColor(RGB(0, 70, 140));
    canvas.Pen().SetColor(RGB(0, 40, 90));
    canvas.RoundRect(1, 1, 31, 31, 8, 8);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font().SetName("Times New Roman");
    canvas.Font().SetSize(18);
    canvas.Font().SetStyle(fsBold);
    canvas.Font().SetColor(clWhite);
    const TSize size = canvas.TextExtent(std::string("V"));
    canvas.TextOut((32 - size.cx) / 2, (32 - size.cy) / 2, std::string("V"));
    return bitmap;
}

}  // namespace

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
    SetName("AboutBox");
    SetCaption("About - Velorim");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(330);
    SetClientHeight(214);

    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetBevelOuter(TPanelBevel::bvLowered);
    Panel1->SetCaption("");
    Panel1->SetBounds(8, 8, 314, 161);

    ProgramIcon = Make<TImage>(this, Panel1, "ProgramIcon");
    ProgramIcon->SetBounds(8, 8, 32, 32);
    ProgramIcon->Assign(ProgramPicture());

    ProductName = Make<TLabel>(this, Panel1, "ProductName");
    ProductName->SetBounds(56, 12, 240, 13);
    ProductName->Font().SetStyle(fsBold);
    Version = Make<TLabel>(this, Panel1, "Version");
    Version->SetBounds(56, 36, 240, 13);
    Copyright = Make<TLabel>(this, Panel1, "Copyright");
    Copyright->SetAutoSize(false);
    Copyright->SetWordWrap(true);
    Copyright->SetBounds(8, 64, 296, 30);
    Comments = Make<TLabel>(this, Panel1, "Comments");
    Comments->SetAutoSize(false);
    Comments->SetWordWrap(true);
    Comments->SetBounds(8, 100, 296, 54);

    OKButton = Make<TButton>(this, this, "OKButton");
    OKButton->SetCaption("OK");
    OKButton->SetDefault(true);
    OKButton->SetCancel(true);
    OKButton->SetModalResult(mrOk);
    OKButton->SetBounds(128, 179, 75, 25);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OKButton->OnClick = [this](TObject* Sender) { OKButtonClick(Sender); };
}

void TAboutBox::FormShow(TObject*) {
    ProductName->SetCaption("Velorim Revisão de Benefício");
    Version->SetCaption("Versão 4.0.0.2");
    Copyright->SetCaption("Copyright © Velorim. Programa gratuito de cálculo de revisões de benefícios do INSS.");
    // The site is the page shipped in the data directory.
    const std::string dir = Form1 ? Form1->DataDir : GetCurrentDir();
    Comments->SetCaption("Bravena Informática - Site " + PathJoin(dir, "velorimrev.htm"));
}

void TAboutBox::OKButtonClick(TObject*) { Close(); }
