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

  // Every control a user can reach by keyboard is announced by a name: its caption or its
  // label's (Qt's own inner widgets aside).
  static void ExpectEveryControlNamed(QWidget& dialog) {
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
      const QString object = control->objectName();
      if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(&dialog) ||
          object.isEmpty() || object.startsWith(QLatin1String("qt_")))
        continue;
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
      ASSERT_NE(face, nullptr) << object.toStdString();
      EXPECT_FALSE(face->text(QAccessible::Name).trimmed().isEmpty()) << object.toStdString();
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
