#include "platform/QtShell.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

#include "base/Descriptor.h"
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

// The path of a trash record: every byte but unreserved ones and "/" as %XX.
std::string PercentEncoded(const std::string& path) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// Creates a new record in info/ for the name (name, name.2, name.3 ... until one is free) and
// returns the name chosen, "" when none could be made.
std::string CreateTrashRecord(const std::string& trash, const std::string& absolute) {
  const std::string name = NameOf(absolute);
  for (int n = 1; n < 10000; ++n) {
    const std::string chosen = n == 1 ? name : name + "." + std::to_string(n);
    const std::string record = trash + "/info/" + chosen + ".trashinfo";
    Descriptor fd(::open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.Get() < 0) {
      if (errno == EEXIST) continue;
      return {};
    }
    char when[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string text =
        "[Trash Info]\nPath=" + PercentEncoded(absolute) + "\nDeletionDate=" + when + "\n";
    if (::write(fd.Get(), text.data(), text.size()) != static_cast<ssize_t>(text.size()) ||
        fd.Close() != 0) {
      ::unlink(record.c_str());
      return {};
    }
    return chosen;
  }
  return {};
}

// The desktop trash of the home folder, for names whose bytes Qt cannot carry: the file moves
// by its exact bytes, or not at all (another file system than the trash's included).
bool MoveToHomeTrash(const std::string& fileName) {
  const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  const std::string trash = QFile::encodeName(dataHome).toStdString() + "/Trash";
  if (!QDir().mkpath(FromBytes(trash + "/files")) || !QDir().mkpath(FromBytes(trash + "/info")))
    return false;
  std::string absolute = fileName;
  if (absolute.empty() || absolute.front() != PathDelim) {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return false;
    absolute = WithTrailingDelim(cwd) + fileName;
  }
  const std::string chosen = CreateTrashRecord(trash, absolute);
  if (chosen.empty()) return false;
  if (std::rename(absolute.c_str(), (trash + "/files/" + chosen).c_str()) != 0) {
    ::unlink((trash + "/info/" + chosen + ".trashinfo").c_str());
    return false;
  }
  return true;
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
  // A name that is not valid UTF-8 does not survive the trip through QString: Qt would look
  // for (and might trash) another file. Such names go to the trash by their bytes.
  if (QFile::encodeName(FromBytes(fileName)).toStdString() != fileName)
    return MoveToHomeTrash(fileName);
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
