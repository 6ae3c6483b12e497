#pragma once

namespace twig {

// The request methods of the service's API, with the numbers the callers' method type has always
// used on this interface (3 is not one of them).
enum class HttpMethod : int { Get = 0, Post = 1, Put = 2, Patch = 4 };

}  // namespace twig
