#include "ConsoleHandOff.h"

namespace quillon::recording {

ConsoleHandOff::ConsoleHandOff(Console console, ToGameThread toGameThread)
    : lines_(std::make_shared<Lines>()), toGameThread_(std::move(toGameThread)) {
  lines_->console = std::move(console);
}

void ConsoleHandOff::Say(std::string line) {
  bool first = false;
  {
    const std::lock_guard lock(lines_->mutex);
    first = lines_->waiting.empty();
    lines_->waiting.push_back(std::move(line));
  }
  // One function on its way is enough: it writes every line waiting when it runs.
  if (first) {
    toGameThread_([lines = std::weak_ptr<Lines>(lines_)] {
      if (const auto held = lines.lock()) held->Deliver();
    });
  }
}

void ConsoleHandOff::Deliver() {
  lines_->Deliver();
}

void ConsoleHandOff::Lines::Deliver() {
  std::vector<std::string> now;
  {
    const std::lock_guard lock(mutex);
    now.swap(waiting);
  }
  for (const std::string& line : now) console(line);
}

}  // namespace quillon::recording
