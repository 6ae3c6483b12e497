#pragma once

#include <string>
#include <vector>

namespace twig {

struct RunningProcess {
  int pid = 0;
  unsigned uid = 0;  // the real user id
  std::string name;  // as the process table names it
};

// The processes of the machine with their owners, and the means to end one. Only the optional
// closing of offending programs uses it.
class ProcessControl {
 public:
  virtual ~ProcessControl() = default;
  virtual std::vector<RunningProcess> processes() = 0;
  // False when the process is gone or may not be signalled.
  virtual bool signal(int pid, int signal) = 0;
  virtual unsigned currentUser() const = 0;
  virtual int currentProcess() const = 0;
};

}  // namespace twig
