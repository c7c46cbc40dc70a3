#pragma once

// A fixture for dialogs shown in real widgets, offscreen: a store, the doubles the dialogs
// ask, a modal-window runner and the accessible-name check every dialog test makes.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "doubles/FakeKnownFolders.h"
#include "doubles/ScriptedDialogs.h"
#include "platform/QtForms.h"
#include "settings/MemoryKeyStore.h"
#include "settings/Un_MyRegistry.h"

namespace velmora::testing {

using Names = std::vector<std::pair<const char*, const char*>>;

class ModalViewFixture : public ::testing::Test {
 protected:
  static RegistryEnvironment Environment() {
    RegistryEnvironment env;
    env.home_folder = "/home/user/";
    env.find_program = [](const std::string&) { return std::string(); };
    return env;
  }

  // Runs `play` on the next modal window other than `over` once it is shown, and closes it
  // afterwards unless `play` did.
  static void WhenShown(QWidget* over, std::function<void(QWidget&)> play) {
    QTimer::singleShot(0, [over, play] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr || dialog == over) return WhenShown(over, play);
      play(*dialog);
      if (QApplication::activeModalWidget() == dialog) dialog->close();
    });
  }
  // Shows `form` modally while `play` acts on it.
  ModalResult Show(TForm& form, const std::function<void(QWidget&)>& play) {
    WhenShown(nullptr, play);
    return forms.ShowModal(form);
  }

  // Each named widget is announced under the given name.
  static void ExpectNames(QWidget& dialog, const Names& names) {
    for (const auto& [object, name] : names) {
      auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(object));
      ASSERT_NE(widget, nullptr) << object;
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
      ASSERT_NE(face, nullptr) << object;
      EXPECT_EQ(face->text(QAccessible::Name).toStdString(), name) << object;
    }
  }
  // Clicks a button; its handler runs once the click has been answered.
  static void Click(QWidget& dialog, const char* name) {
    Find(dialog, name)->click();
    QApplication::processEvents();
  }
  template <class Widget = QAbstractButton>
  static Widget* Find(QWidget& dialog, const char* name) {
    return dialog.findChild<Widget*>(QString::fromLatin1(name));
  }

  MemoryKeyStore keys;
  FixedLocale locale;
  TMy_Registry registry{keys, locale, Environment()};
  ScriptedDialogs dialogs;
  FakeKnownFolders folders;
  QtForms forms{dialogs};
};

}  // namespace velmora::testing
