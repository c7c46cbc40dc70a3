#pragma once

namespace velmora {

// The build's version, such as "0.1.0".
const char* VersionString();

}  // namespace velmora
