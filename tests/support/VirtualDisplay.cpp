#include "VirtualDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace testing_support {
namespace {

constexpr int kStartTimeoutMs = 10'000;

// Reads what the server writes to its -displayfd: the display number and a newline.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  pollfd wait{fd, POLLIN, 0};
  char c = 0;
  while (::poll(&wait, 1, kStartTimeoutMs) > 0 && ::read(fd, &c, 1) == 1 && c != '\n') {
    number += c;
  }
  return c == '\n' ? number : std::string();
}

}  // namespace

VirtualDisplay::VirtualDisplay() {
  if (StartXvfb()) {
    available_ = true;
  } else if (const char* display = std::getenv("DISPLAY"); display != nullptr && *display) {
    available_ = true;
    problem_.clear();
  }
}

VirtualDisplay::~VirtualDisplay() {
  if (server_ <= 0) return;
  ::kill(server_, SIGTERM);
  int status = 0;
  ::waitpid(server_, &status, 0);
}

bool VirtualDisplay::StartXvfb() {
  int pipe[2];
  if (::pipe(pipe) != 0) {
    problem_ = "no pipe to start Xvfb with";
    return false;
  }
  const std::string fd = std::to_string(pipe[1]);
  const char* args[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen",  "0",
                        "1920x1080x24", "-nolisten",  "tcp",      "-noreset", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, pipe[0]);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const int spawned =
      posix_spawnp(&server_, "Xvfb", &actions, nullptr, const_cast<char* const*>(args), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe[1]);
  if (spawned != 0) {
    server_ = -1;
    ::close(pipe[0]);
    problem_ = "Xvfb cannot be run (is the xvfb package installed?)";
    return false;
  }
  const std::string number = ReadDisplayNumber(pipe[0]);
  ::close(pipe[0]);
  if (number.empty()) {
    problem_ = "Xvfb did not start";
    return false;
  }
  ::setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}

VirtualDisplay& SharedDisplay() {
  static VirtualDisplay display;
  return display;
}

}  // namespace testing_support
