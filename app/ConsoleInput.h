#pragma once

#include <functional>
#include <string>
#include <thread>

namespace twig {

// Reads standard input line by line on a thread of its own, when it is a terminal or a pipe (not
// /dev/null or a file left there by a service manager), and hands every line over. Input that ends
// only stops the reading. Destruction stops the thread.
class ConsoleInput {
 public:
  explicit ConsoleInput(std::function<void(std::string line)> onLine, int fd = 0);
  ~ConsoleInput();
  ConsoleInput(const ConsoleInput&) = delete;
  ConsoleInput& operator=(const ConsoleInput&) = delete;

  bool isReading() const { return thread_.joinable(); }
  static bool isInteractive(int fd);

 private:
  void read();

  std::function<void(std::string)> onLine_;
  int fd_;
  int wakeFd_ = -1;
  std::thread thread_;
};

}  // namespace twig
