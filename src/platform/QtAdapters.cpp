#include "platform/QtAdapters.h"

#include "platform/ModifyViews.h"
#include "platform/Views.h"

namespace velmora {

QtAdapters::QtAdapters() : environment(SystemRegistryEnvironment()) {
  RegisterViews(forms);
  RegisterModifyViews(forms, shell);
}

}  // namespace velmora
