#include "app/AboutBox.h"

#include "velmora_version.h"

namespace velmora {

TAboutBox::TAboutBox() : TForm("About", 0, 0) {
  ProductName.Caption = "Velmora";
  Version.Caption = std::string("Version ") + VersionString();
  HelpLink.Caption = "User guide";
  OKButton.Caption = "OK";
}

void TAboutBox::HelpLinkClick() {
  if (OnHelp) OnHelp();
}

void TAboutBox::OKButtonClick() {
  CloseModal(ModalResult::Ok);
}

}  // namespace velmora
