#pragma once

#include "platform/Analytics.h"

namespace twig {

// No analytics service on Linux: launch settings and page views go nowhere.
class NullAnalytics final : public Analytics {
 public:
  void start(const std::string&, int, const std::string&) override {}
  void setAppVersion(const std::string&) override {}
  void setCrashReportEnabled(bool) override {}
  void beginLogPageView(const std::string&) override {}
  void endLogPageView(const std::string&) override {}
};

}  // namespace twig
