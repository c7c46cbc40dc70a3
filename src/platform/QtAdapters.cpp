#include "platform/QtAdapters.h"

#include "platform/Views.h"

namespace velmora {

QtAdapters::QtAdapters() : environment(SystemRegistryEnvironment()) {
  RegisterViews(forms);
}

}  // namespace velmora
