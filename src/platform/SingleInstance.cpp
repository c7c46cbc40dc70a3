#include "platform/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace velmora {

QString InstanceLockFileName() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return QDir(folder).filePath(QStringLiteral("Velmora.lock"));
}

std::unique_ptr<QLockFile> AcquireSingleInstance(const QString& lockFileName) {
  auto lock = std::make_unique<QLockFile>(lockFileName);
  // No age limit: only a lock whose process is gone counts as stale.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

}  // namespace velmora
