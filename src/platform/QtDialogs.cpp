#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <stdexcept>

namespace velmora {

namespace {

QWidget* Parent() {
  return QApplication::activeWindow();
}

QString FromBytes(const std::string& text) {
  return QFile::decodeName(text.c_str());
}
std::string ToBytes(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

QMessageBox::Icon IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Information:
      return QMessageBox::Information;
    case MsgKind::Warning:
      return QMessageBox::Warning;
    case MsgKind::Error:
      return QMessageBox::Critical;
    case MsgKind::Confirmation:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return QMessageBox::Ok;
    case MsgButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

ModalResult ResultOf(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return ModalResult::Ok;
    case QMessageBox::Cancel:
      return ModalResult::Cancel;
    case QMessageBox::Yes:
      return ModalResult::Yes;
    case QMessageBox::No:
      return ModalResult::No;
    default:
      return ModalResult::Cancel;
  }
}

}  // namespace

bool QtDialogs::PickFolder(const std::string& title, const std::string& initial,
                           std::string& chosen) {
  const QString folder =
      QFileDialog::getExistingDirectory(Parent(), FromBytes(title), FromBytes(initial));
  if (folder.isEmpty()) return false;
  chosen = ToBytes(folder);
  return true;
}

bool QtDialogs::OpenFile(const std::string& title, const std::string& filter,
                         const std::string& initialFolder, std::string& chosen) {
  const QString file = QFileDialog::getOpenFileName(Parent(), FromBytes(title),
                                                    FromBytes(initialFolder), FromBytes(filter));
  if (file.isEmpty()) return false;
  chosen = ToBytes(file);
  return true;
}

bool QtDialogs::OpenProgram(const std::string& title, const std::string& initialFolder,
                            std::string& chosen) {
  QFileDialog dialog(Parent(), FromBytes(title), FromBytes(initialFolder),
                     QStringLiteral("Application (*)"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  // Only Qt's own dialog honours a filter on the executable bit.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  chosen = ToBytes(dialog.selectedFiles().first());
  return true;
}

bool QtDialogs::SaveFile(const std::string& title, const std::string& filter,
                         const std::string& initialFolder, const std::string& defaultExt,
                         std::string& chosen) {
  QFileDialog dialog(Parent(), FromBytes(title), FromBytes(initialFolder), FromBytes(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(FromBytes(defaultExt));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  chosen = ToBytes(dialog.selectedFiles().first());
  return true;
}

bool QtDialogs::InputQuery(const std::string& caption, const std::string& prompt,
                           std::string& value) {
  bool ok = false;
  const QString text = QInputDialog::getText(Parent(), FromBytes(caption), FromBytes(prompt),
                                             QLineEdit::Normal, FromBytes(value), &ok);
  if (!ok) return false;
  value = ToBytes(text);
  return true;
}

ModalResult QtDialogs::MessageBox(const std::string& text, const std::string& caption, MsgKind kind,
                                  MsgButtons buttons) {
  QMessageBox box(IconOf(kind), FromBytes(caption), FromBytes(text), ButtonsOf(buttons), Parent());
  return ResultOf(box.exec());
}

}  // namespace velmora
