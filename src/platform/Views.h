#pragma once

// The views of the program's modal windows: one binding function per form, registered by
// controller type.

namespace velmora {

class QtForms;

void RegisterViews(QtForms& forms);

}  // namespace velmora
