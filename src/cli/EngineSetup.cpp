#include "cli/EngineSetup.h"

#include <stdexcept>

namespace velmora::cli {

ActiveEngine PrepareEngine(EngineSet& engines, const EngineOptions& options) {
  ActiveEngine engine = engines.Select(options.type);
  engine.SetStop(false);
  engine.Fill(options);
  if (!engine.CheckQuery(options.query)) throw std::runtime_error("Missing \"");
  CheckQueryCompiles(options);
  return engine;
}

}  // namespace velmora::cli
