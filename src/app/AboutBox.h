#pragma once

// The About box: product name, version line and a link to the user guide.

#include <functional>

#include "app/Controls.h"
#include "app/Form.h"

namespace velmora {

class TAboutBox : public TForm {
 public:
  TAboutBox();

  TLabel ProductName;
  TLabel Version;
  TLabel HelpLink;
  TButton OKButton;

  // Opens the user guide; set by the window that shows the box.
  std::function<void()> OnHelp;

  void HelpLinkClick();
  void OKButtonClick();
};

}  // namespace velmora
