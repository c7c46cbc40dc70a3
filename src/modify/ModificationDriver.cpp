#include "modify/ModificationDriver.h"

#include "modify/BackupFiles.h"

namespace velmora {

void TModificationDriver::Run(ActiveEngine engine, const ModificationOptions& modification,
                              const std::vector<TModificationRow>& rows,
                              std::vector<std::string>& lastBackups) {
  for (const TModificationRow& row : rows) {
    const bool chosenLines = row.Mod != kAllLines;
    // Refused before its name is kept: an older backup of a file this run did not touch must
    // not be put back by Undo.
    if (chosenLines) Listed.CheckUnchanged(row.FileName);
    lastBackups.push_back(row.FileName + ".bak");
    engine.SetModification(modification);
    // One read: the lines are listed and changed in the same bytes.
    const TextBuffer file(row.FileName);
    engine.ListForModification(file);
    if (chosenLines && engine.HasIntervals()) engine.SetIntervals(ParseIntervals(row.Mod));
    engine.Modify(file);
    // The file is now as this run left it; its chosen lines keep their meaning for the user.
    Listed.Note(row.FileName);
  }
}

void TModificationDriver::Undo(const std::vector<std::string>& lastBackups) {
  for (const std::string& backup : lastBackups) {
    if (!FileExists(backup)) continue;
    const std::string target = BackupTarget(backup);
    if (PutBackupInPlace(backup, target)) Listed.Note(target);
  }
}

}  // namespace velmora
