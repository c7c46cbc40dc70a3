#pragma once

// The views of the Option, Settings and ignore-list dialogs.

namespace velmora {

class QtForms;

void RegisterSettingsViews(QtForms& forms);

}  // namespace velmora
