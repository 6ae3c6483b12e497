// An HTTP answer from the service: status, content type and body taken from the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "api/HttpResponseInterpreter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace twig;
  if (size < 3) return 0;
  HttpResponse response;
  response.status = 100 + (data[0] | (data[1] << 8)) % 500;
  const std::size_t typeLength = data[2] % 40 < size - 3 ? data[2] % 40 : size - 3;
  response.contentType.assign(reinterpret_cast<const char*>(data + 3), typeLength);
  response.body.assign(reinterpret_cast<const char*>(data + 3 + typeLength), size - 3 - typeLength);
  const auto result = HttpResponseInterpreter::interpret(response);
  // What the API client does next with an answer: copies it for its callbacks, prints it for logs.
  if (result.object) {
    const Json copy = *result.object;
    (void)copy.dump();
  }
  (void)HttpResponseInterpreter::isAcceptableContentType(response.contentType);
  return 0;
}
