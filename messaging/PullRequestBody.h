#pragma once

#include <optional>
#include <string>

#include "api/Model.h"

namespace twig {

// The parameters of one pull request: ask for the next pending record ("1") or acknowledge one and
// ask for the next ("11").
class PullRequestBody final : public Model {
 public:
  PullRequestBody() = default;
  explicit PullRequestBody(std::string thisDeviceId) : deviceId(std::move(thisDeviceId)), reasonCode("0") {}

  std::optional<Json> messageId;  // echoed as the service sent it; "" for the first request
  std::optional<std::string> deviceId;
  std::optional<std::string> status;
  std::optional<std::string> reasonCode;

  // {"messageId", "deviceId", "status", "reasonCode"} for this device, reasonCode "0"
  static Json pullRequestBody(const Json& messageId, const std::string& status, const std::string& deviceId);

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

// One pending message record as the service returns it; every member holds whatever JSON value the
// service sends. Only messageId and payload are used.
class PulledMessage final : public Model {
 public:
  std::optional<Json> messageId;
  std::optional<Json> payload;
  std::optional<Json> deviceId;
  std::optional<Json> thisDN;
  std::optional<Json> type;
  std::optional<Json> status;
  std::optional<Json> reasonCode;
  std::optional<Json> retryNum;
  std::optional<Json> createTime;
  std::optional<Json> updateTime;

  // The command as JSON text (text as it came; any other JSON value written out as text).
  std::optional<std::string> payloadText() const;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
