#pragma once

// One running copy per user: a lock file "Velmora.lock" in the runtime folder. A copy that
// cannot take the lock hands its arguments to the running copy through a local socket beside
// the lock ("Velmora.socket") and ends; the running copy then brings its window to the front.
// A lock left by a copy that crashed (its process is gone) is taken over. A running copy keeps
// the lock however long it runs.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// The lock file's full name: the runtime folder ($XDG_RUNTIME_DIR), else the temporary folder.
QString InstanceLockFileName();

// The socket's full name: the lock's folder, "Velmora.socket".
QString InstanceSocketName(const QString& lockFileName);

// The lock of this copy, or nothing when another copy holds it.
std::unique_ptr<QLockFile> AcquireSingleInstance(const QString& lockFileName);

// From a second start: delivers `arguments` (bytes, as given) to the running copy. True when
// they were delivered; waits at most a few seconds for a copy that does not answer.
bool SendToRunningInstance(const QString& socketName, const std::vector<std::string>& arguments);

// In the running copy: receives the arguments of later starts and hands each list to onStart.
class InstanceServer : public QObject {
 public:
  using StartHandler = std::function<void(const std::vector<std::string>& arguments)>;

  explicit InstanceServer(StartHandler onStart, QObject* parent = nullptr);
  // Listens on `socketName`, replacing a socket left by a copy that is gone (the caller holds
  // the lock, so no live copy owns it). False when the socket cannot be made.
  bool Listen(const QString& socketName);

 private:
  void Accept();

  QLocalServer server_;
  StartHandler onStart_;
};

}  // namespace velmora
