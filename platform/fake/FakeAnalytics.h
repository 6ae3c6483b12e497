#pragma once

#include "platform/Analytics.h"
#include "platform/fake/CallRecorder.h"

namespace twig {

// Records every call as a line ("begin 助手_登陆", "start KEY 1 ''", ...).
class FakeAnalytics final : public Analytics, public CallRecorder {
 public:
  void start(const std::string& appKey, int reportPolicy, const std::string& channelId) override {
    record("start " + appKey + " " + std::to_string(reportPolicy) + " '" + channelId + "'");
  }
  void setAppVersion(const std::string& version) override { record("version " + version); }
  void setCrashReportEnabled(bool enabled) override { record(std::string("crashReport ") + (enabled ? "YES" : "NO")); }
  void beginLogPageView(const std::string& page) override { record("begin " + page); }
  void endLogPageView(const std::string& page) override { record("end " + page); }
};

}  // namespace twig
