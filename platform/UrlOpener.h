#pragma once

#include <string>

namespace twig {

// Opening links and asking whether an application handles a URL scheme.
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // False when nothing could take the link.
  virtual bool openURL(const std::string& url) = 0;
  // Whether an installed application handles the scheme of `url` (e.g. "children-launcher:").
  virtual bool canOpenURL(const std::string& url) = 0;
};

}  // namespace twig
