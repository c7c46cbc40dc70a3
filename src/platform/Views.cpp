#include "platform/Views.h"

#include <QLabel>
#include <QPushButton>

#include "app/AboutBox.h"
#include "platform/QtForms.h"
#include "platform/SettingsViews.h"
#include "ui_AboutBox.h"

namespace velmora {

namespace {

void BindAboutBox(TAboutBox& c, Ui::AboutBox& ui, Binder& b) {
  b.Bind(ui.ProductName, c.ProductName);
  b.Bind(ui.Version, c.Version);
  b.Bind([&ui, &c] {
    ui.HelpLink->setText(QStringLiteral("<a href=\"help\">%1</a>").arg(ToQt(c.HelpLink.Caption)));
  });
  b.Bind(ui.OKButton, c.OKButton);
  b.On(ui.HelpLink, &QLabel::linkActivated, [&c] { c.HelpLinkClick(); });
  b.On(ui.OKButton, &QPushButton::clicked, [&c] { c.OKButtonClick(); });
}

}  // namespace

void RegisterViews(QtForms& forms) {
  forms.Register<TAboutBox, Ui::AboutBox>(BindAboutBox);
  RegisterSettingsViews(forms);
}

}  // namespace velmora
