#pragma once

#include <nlohmann/json.hpp>

namespace twig {

// Every message and dictionary of the agent: members keep the order in which they were added,
// because the peers read messages in the order they were built.
using Json = nlohmann::ordered_json;

}  // namespace twig
