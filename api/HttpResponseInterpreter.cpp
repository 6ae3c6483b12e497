#include "api/HttpResponseInterpreter.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/BoundedJson.h"

namespace twig {

namespace {

bool isBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

std::string mediaType(std::string_view contentType) {
  std::string type(contentType.substr(0, contentType.find(';')));
  std::string lowered;
  for (char c : type) {
    if (!std::isspace(static_cast<unsigned char>(c))) {
      lowered.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
  }
  return lowered;
}

}  // namespace

bool HttpResponseInterpreter::isAcceptableContentType(std::string_view contentType) {
  const std::string type = mediaType(contentType);
  return type == "application/json" || type == "text/json" || type == "text/javascript";
}

InterpretedResponse HttpResponseInterpreter::interpret(const HttpResponse& response) {
  InterpretedResponse result;
  if (response.transportError != 0) {
    result.error = Error{Error::kTransport, response.transportError, response.transportErrorText};
    return result;
  }

  const bool empty = isBlank(response.body);
  const bool jsonType = isAcceptableContentType(response.contentType);
  bool parsed = false;
  bool tooDeep = false;
  if (!empty && (jsonType || response.contentType.empty())) {
    auto body = BoundedJson::parse(response.body);
    tooDeep = body.tooDeep;
    if (body.value) {
      parsed = true;
      if (!body.value->is_null()) result.object = std::move(body.value);
    }
  }

  if (response.status < 200 || response.status > 299) {
    result.error = Error{Error::kStatus, response.status,
                         "request failed with HTTP status " + std::to_string(response.status)};
    return result;
  }
  if (empty) {
    result.success = true;
    return result;
  }
  if (!jsonType) {
    result.object.reset();
    result.error = Error{Error::kContentType, response.status,
                         "unacceptable content type '" + response.contentType + "'"};
    return result;
  }
  if (!parsed) {
    result.error = Error{Error::kBadJson, response.status,
                         tooDeep ? "the answer is " + BoundedJson::depthProblem(BoundedJson::kMaxDepth)
                                 : std::string("the answer is not valid JSON")};
    return result;
  }
  result.success = true;
  return result;
}

}  // namespace twig
