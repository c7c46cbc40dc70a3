#pragma once

// The safe rewrite and the backup rule: a file is never left half-written.

#include <functional>
#include <string>
#include <string_view>

namespace velmora {

struct FileIdentity;
class TextBuffer;

// Replaces the file's content without ever leaving it half-written: the content goes to a
// temporary file in the same folder, is flushed to disk and renamed over the target, keeping
// the target's permission bits. A symbolic link stays a link: the file it points to is
// rewritten, in that file's folder. A file with several hard links is rewritten in place once
// the complete content is safely on disk, so all its names keep sharing it. A file the user
// may not write is refused. EFileError on failure; the target is then as it was.
// asRead: the file as its content was read; when it is no longer that file (replaced, grown,
// touched) just before the final step, it is left alone and "changed while being modified"
// is raised. A stale temporary file of an earlier rewrite of the same file is removed first.
void WriteFileSafely(const std::string& fileName, std::string_view content,
                     const FileIdentity* asRead = nullptr);

// Takes the new content of a file piece by piece.
class ContentSink {
 public:
  virtual ~ContentSink() = default;
  virtual void Append(std::string_view bytes) = 0;
};
// Hands the whole new content to the sink, in order; may raise, and the file is then left as
// it was.
using ContentWriter = std::function<void(ContentSink& sink)>;

// The same with content written straight to the temporary file as it is made, so that a large
// file is never held twice in memory.
void WriteFileSafely(const std::string& fileName, const ContentWriter& write,
                     const FileIdentity* asRead = nullptr);

// Copies fileName to fileName + ".bak", replacing an older backup. Raises EFileError when the
// copy cannot be made: a modification must not go on believing it has a backup.
void BackupFile(const std::string& fileName);
// The same from the bytes already read, so that the backup holds what was modified.
void BackupFile(const TextBuffer& file);

// A temporary file of a rewrite older than this is left over from a killed run.
inline constexpr int kStaleTemporarySeconds = 3600;

// A seam for tests: called with the target just before a rewrite checks that the file is
// still as read, so that a test can change it at that moment. Empty by default.
void SetRewriteCheckHook(std::function<void(const std::string& target)> hook);

}  // namespace velmora
