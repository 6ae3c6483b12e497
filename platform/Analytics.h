#pragma once

#include <string>

namespace twig {

// The usage-analytics service: started at launch and told of page views.
class Analytics {
 public:
  virtual ~Analytics() = default;
  virtual void start(const std::string& appKey, int reportPolicy, const std::string& channelId) = 0;
  virtual void setAppVersion(const std::string& version) = 0;
  virtual void setCrashReportEnabled(bool enabled) = 0;
  virtual void beginLogPageView(const std::string& page) = 0;
  virtual void endLogPageView(const std::string& page) = 0;
};

}  // namespace twig
