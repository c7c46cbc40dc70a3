#pragma once

// A fixture for dialogs shown in real widgets, offscreen: a store, the doubles the dialogs
// ask, a modal-window runner and the accessible-name check every dialog test makes.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
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

// What a screen reader calls a control a user can reach by keyboard ("-" for the others and
// Qt's own inner widgets): a button or a list by its caption or item, a box (whose own text is
// what was typed) by its label or a name given to it.
inline QString AnnouncedName(QWidget* control) {
  const QString object = control->objectName();
  if (control->focusPolicy() == Qt::NoFocus || object.isEmpty() ||
      object.startsWith(QLatin1String("qt_")) || control->inherits("QTabWidget"))
    return QStringLiteral("-");
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
  const auto labels = face->relations(QAccessible::Label);
  auto* combo = qobject_cast<QComboBox*>(control);
  const bool box = control->inherits("QAbstractSpinBox") || control->inherits("QLineEdit") ||
                   (combo && combo->isEditable()) || control->inherits("QPlainTextEdit");
  if (!labels.isEmpty()) return labels.first().first->text(QAccessible::Name);
  return box ? control->accessibleName() : face->text(QAccessible::Name);
}

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

  // Every control a user can reach by keyboard is announced by a name.
  static void ExpectEveryControlNamed(QWidget& dialog) {
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
      if (!control->isVisibleTo(&dialog)) continue;
      EXPECT_FALSE(AnnouncedName(control).trimmed().isEmpty())
          << control->objectName().toStdString();
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
