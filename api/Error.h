#pragma once

#include <string>

namespace twig {

// An error as the stores and screens see it: a domain text and a code. Where a domain is shown to
// the user the domain is the user-visible text itself. Every domain is listed here, once.
struct Error {
  std::string domain;
  long long code = 0;
  std::string description;  // for people reading logs and tests

  // Domains of the API client.
  static constexpr const char* kNetworkDown = "断网";                    // not sent: network reported down
  static constexpr const char* kInvalidPath = "twig.request.path";       // not sent: path cannot be signed
  static constexpr const char* kTransport = "twig.http.transport";       // no response (code: libcurl's)
  static constexpr const char* kStatus = "twig.http.status";             // status outside 200..299
  static constexpr const char* kContentType = "twig.http.content-type";  // answer not declared as JSON
  static constexpr const char* kBadJson = "twig.http.json";              // answer does not parse

  // Domains of the push channel: not published now, because the network is reported down or the
  // session is not connected (a QoS 1 message then waits in the backlog).
  static constexpr const char* kPushNetworkDown = "无网";
  static constexpr const char* kPushNotConnected = "mqtt没有连接上";

  // Domains of the photo library: access refused (shown to the child as it stands), a photo that
  // cannot be read.
  static constexpr const char* kPhotoAccessRefused = "请允许刺猬家访问您的照片";
  static constexpr const char* kPhotoUnreadable = "twig.photo.unreadable";
};

}  // namespace twig
