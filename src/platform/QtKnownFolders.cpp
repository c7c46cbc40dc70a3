#include "platform/QtKnownFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "base/Paths.h"

namespace velmora {

namespace {
std::string Folder(const QString& path) {
  return WithTrailingDelim(QFile::encodeName(QDir::cleanPath(path)).toStdString());
}
}  // namespace

std::string QtKnownFolders::ProgramFolder() const {
  return Folder(QCoreApplication::applicationDirPath());
}

std::string QtKnownFolders::PersonalFolder() const {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return Folder(documents.isEmpty() ? QDir::homePath() : documents);
}

std::string QtKnownFolders::AppDataFolder() const {
  return Folder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

std::string QtKnownFolders::HomeFolder() const {
  return Folder(QDir::homePath());
}

std::string QtKnownFolders::CurrentFolder() const {
  return Folder(QDir::currentPath());
}

std::string QtKnownFolders::ProgramsFolder() const {
  const QString programs = QStringLiteral("/usr/bin");
  return QFileInfo(programs).isDir() ? Folder(programs) : std::string();
}

bool QtKnownFolders::SetCurrentFolder(const std::string& folder) {
  return QDir::setCurrent(QFile::decodeName(folder.c_str()));
}

std::string SettingsFileName() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return Folder(config) + "Velmora/registry.reg";
}

}  // namespace velmora
