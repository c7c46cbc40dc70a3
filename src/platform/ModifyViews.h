#pragma once

// The views of the line chooser and the backup manager.

namespace velmora {

class QtForms;
class QtShell;

void RegisterModifyViews(QtForms& forms, QtShell& shell);

}  // namespace velmora
