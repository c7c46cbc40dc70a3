#include "velmora_version.h"
#include "velmora_version_config.h"

namespace velmora {

// The version line shown by the About box and by velmora-cli --version.
const char* VersionString() { return VELMORA_VERSION_STRING; }

}  // namespace velmora
