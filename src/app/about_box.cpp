#include "app/about_box.h"

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
    SetName("AboutBox");
    SetCaption("About - Velorim");
}
