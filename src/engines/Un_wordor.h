#pragma once

// "Word: or": a file matches when at least one of the words of the query occurs in it.

#include <string>

#include "engines/WordListEngine.h"

namespace velmora {

class Tmy_wordor : public WordListEngine {
 public:
  bool Search(const std::string& fileName) { return SearchWords(fileName, false); }
};

}  // namespace velmora
