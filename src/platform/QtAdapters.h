#pragma once

// The Qt adapters of the ports, made once at start and lent to every window.

#include "platform/QtDialogs.h"
#include "platform/QtEventPump.h"
#include "platform/QtForms.h"
#include "platform/QtKnownFolders.h"
#include "platform/QtLocale.h"
#include "platform/QtShell.h"
#include "platform/QtViewer.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

struct QtAdapters {
  // Registers the views of every modal window.
  QtAdapters();
  QtAdapters(const QtAdapters&) = delete;
  QtAdapters& operator=(const QtAdapters&) = delete;

  QtLocale locale;
  QtShell shell;
  QtDialogs dialogs;
  QtViewer viewer;  // the main window attaches its browser
  QtEventPump pump;
  QtKnownFolders folders;
  RegistryEnvironment environment;
  QtForms forms{dialogs};
};

}  // namespace velmora
