#pragma once

namespace twig {

// The process-wide objects of the core are made on first use from the installed ports; they must
// end before those ports do. shutdown() ends them all, in the reverse order of their dependencies.
class SharedObjects {
 public:
  static void shutdown();
};

}  // namespace twig
