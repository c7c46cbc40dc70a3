#pragma once

// "Word: and": a file matches when every word of the query occurs in it, each anywhere.

#include <string>

#include "engines/WordListEngine.h"

namespace velmora {

class Tmy_wordand : public WordListEngine {
 public:
  bool Search(const std::string& fileName) { return SearchWords(fileName, true); }
};

}  // namespace velmora
