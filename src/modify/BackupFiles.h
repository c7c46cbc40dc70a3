#pragma once

// Putting a backup back: in place of its own file (Undo, "Restore") or under the file's name in
// another folder ("Restore to..."). Neither ever leaves the target missing: the target is
// replaced by one rename, and a failure leaves both the target and the backup as they were.
// Names are bytes; nothing here reports a failure other than by its result.

#include <string>

namespace velmora {

// The name a backup restores to: the backup's name without its last 4 characters (".bak").
std::string BackupTarget(const std::string& backupName);

// True when name is an existing file (not a folder).
bool FileExists(const std::string& name);

// Renames backup over target in one step. False when the rename failed; the backup then stays.
bool PutBackupInPlace(const std::string& backup, const std::string& target);

// Copies source to a temporary file beside target (with the source's permission bits) and
// renames it over target. False when any step failed: target and source are then untouched.
bool CopyFileOver(const std::string& source, const std::string& target);

}  // namespace velmora
