#pragma once

// One running copy per user: a lock file "Velmora.lock" in the runtime folder. A copy that
// cannot take the lock ends at once; a lock left by a copy that crashed (its process is gone)
// is taken over. A running copy keeps the lock however long it runs.

#include <QLockFile>
#include <QString>
#include <memory>

namespace velmora {

// The lock file's full name: the runtime folder ($XDG_RUNTIME_DIR), else the temporary folder.
QString InstanceLockFileName();

// The lock of this copy, or nothing when another copy holds it.
std::unique_ptr<QLockFile> AcquireSingleInstance(const QString& lockFileName);

}  // namespace velmora
