#pragma once

// The safe rewrite and the backup rule: a file is never left half-written.

#include <string>
#include <string_view>

namespace velmora {

// Replaces the file's content without ever leaving it half-written: the content goes to a
// temporary file in the same folder, is flushed to disk and renamed over the target, keeping
// the target's permission bits. A symbolic link stays a link: the file it points to is
// rewritten, in that file's folder. A file with several hard links is rewritten in place once
// the complete content is safely on disk, so all its names keep sharing it. A file the user
// may not write is refused. EFileError on failure; the target is then as it was.
void WriteFileSafely(const std::string& fileName, std::string_view content);

// Copies fileName to fileName + ".bak", replacing an older backup. Raises EFileError when the
// copy cannot be made: a modification must not go on believing it has a backup.
void BackupFile(const std::string& fileName);

}  // namespace velmora
