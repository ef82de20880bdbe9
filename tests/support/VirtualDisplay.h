#pragma once
#include <sys/types.h>

#include <string>

namespace testing_support {

// An X server for tests that open windows: a private Xvfb (1920x1080, 24-bit) when one can be
// started, which DISPLAY then names until it is stopped; otherwise the display DISPLAY already
// names, if any.
class VirtualDisplay {
 public:
  VirtualDisplay();
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  bool Available() const { return available_; }
  // Why there is no display, when there is none.
  const std::string& Problem() const { return problem_; }

 private:
  bool StartXvfb();

  pid_t server_ = -1;
  bool available_ = false;
  std::string problem_;
};

// The process's one display, started on first use and stopped at exit.
VirtualDisplay& SharedDisplay();

}  // namespace testing_support
