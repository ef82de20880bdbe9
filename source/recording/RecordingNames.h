#pragma once
#include <cstdint>
#include <limits>

namespace quillon::recording {

// Names each recording of a load on the game thread, when it decides to record: the second its
// game event began, with copy numbers -2, -3, ... for later ones of the same second. The writer
// takes the next copy number only where a file of that name is already there.
class RecordingNames {
 public:
  // The copy number of a recording that began at `utcSeconds`.
  std::uint32_t Next(std::int64_t utcSeconds) {
    copy_ = utcSeconds == lastSecond_ ? copy_ + 1 : 1;
    lastSecond_ = utcSeconds;
    return copy_;
  }

 private:
  std::int64_t lastSecond_ = std::numeric_limits<std::int64_t>::min();
  std::uint32_t copy_ = 0;
};

}  // namespace quillon::recording
