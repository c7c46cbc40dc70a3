#include "platform/QtShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

#include "base/Paths.h"
#include "platform/DetachedProcess.h"

namespace velmora {

namespace {

QString FromBytes(const std::string& text) {
  return QFile::decodeName(text.c_str());
}

constexpr const char* kGenericIcon = "text-x-generic";

std::string ExtensionOf(const std::string& fileName) {
  const std::string name = NameOf(fileName);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

// True when `path` lies inside a trash "files" folder (…/Trash/files/… or .Trash-uid/files/…).
bool InTrash(const QString& path) {
  return path.contains(QLatin1String("/Trash/files/")) ||
         path.contains(QLatin1String("/.Trash/")) || path.contains(QLatin1String("/.Trash-"));
}

}  // namespace

bool QtShell::OpenFile(const std::string& fileName) {
  if (!FindExecutable(opener_).empty()) return StartDetached(opener_, {fileName});
  // Without an opener Qt's portal or desktop lookup still serves names it can encode.
  return QDesktopServices::openUrl(QUrl::fromLocalFile(FromBytes(fileName)));
}

bool QtShell::StartProgram(const std::string& program, const std::string& argument) {
  return StartDetached(program, {argument});
}

bool QtShell::MoveToTrash(const std::string& fileName) {
  // Without the data folder Qt 6.4 "trashes" into ./files of the current folder and says it
  // succeeded; make the folder first and believe only a path inside a trash folder.
  QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
  QString where;
  if (!QFile::moveToTrash(FromBytes(fileName), &where)) return false;
  return InTrash(where);
}

IconHandle QtShell::FileIcon(const std::string& fileName, bool small) {
  (void)small;  // one handle serves both sizes; the view picks the size it draws
  const std::string extension = ExtensionOf(fileName);
  auto found = byExtension_.find(extension);
  if (found != byExtension_.end()) return found->second;
  static const QMimeDatabase mimes;
  const QMimeType type =
      mimes.mimeTypeForFile(FromBytes(NameOf(fileName)), QMimeDatabase::MatchExtension);
  IconHandle handle = type.iconName().toStdString();
  if (!QIcon::hasThemeIcon(type.iconName())) {
    handle = QIcon::hasThemeIcon(type.genericIconName()) ? type.genericIconName().toStdString()
                                                         : kGenericIcon;
  }
  byExtension_.emplace(extension, handle);
  return handle;
}

QIcon QtShell::Icon(const IconHandle& handle) {
  const QString name = QString::fromStdString(handle);
  auto found = icons_.find(name);
  if (found != icons_.end()) return found.value();
  QIcon icon = QIcon::fromTheme(name);
  if (icon.isNull()) icon = QIcon::fromTheme(QLatin1String(kGenericIcon));
  icons_.insert(name, icon);
  return icon;
}

void QtShell::PrepareIconTheme() {
  QStringList paths = QIcon::themeSearchPaths();
  const QString shared = QStringLiteral("/usr/share/icons");
  if (!paths.contains(shared)) {
    paths << shared;
    QIcon::setThemeSearchPaths(paths);
  }
  if (QIcon::themeName().isEmpty() || !QIcon::hasThemeIcon(QLatin1String(kGenericIcon))) {
    QIcon::setThemeName(QStringLiteral("Adwaita"));
  }
  if (QIcon::fallbackThemeName().isEmpty()) QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

}  // namespace velmora
