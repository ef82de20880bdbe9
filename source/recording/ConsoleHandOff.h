#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quillon::recording {

// Console lines from the recording's writer thread, written by the game thread: the host's
// console is the game thread's. A line waits here until a function handed to the game thread
// (the host's Execute) writes it; that function holds the lines weakly, so one that runs after
// the hand-off is gone (the plugin unloaded) does nothing.
class ConsoleHandOff {
 public:
  using Console = std::function<void(const std::string&)>;
  // Runs a function on the game thread later.
  using ToGameThread = std::function<void(std::function<void()>)>;

  ConsoleHandOff(Console console, ToGameThread toGameThread);
  ConsoleHandOff(const ConsoleHandOff&) = delete;
  ConsoleHandOff& operator=(const ConsoleHandOff&) = delete;

  // Any thread: the line reaches the console on the game thread, after those said before it.
  void Say(std::string line);
  // Game thread: writes the lines waiting now (at unload, those the game thread would not run).
  void Deliver();

 private:
  struct Lines {
    std::mutex mutex;
    std::vector<std::string> waiting;
    Console console;
    void Deliver();
  };

  std::shared_ptr<Lines> lines_;
  ToGameThread toGameThread_;
};

}  // namespace quillon::recording
