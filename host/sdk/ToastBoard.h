#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "SdkExport.h"

namespace pluginsdk {

// A short notification a plugin asked the host to show over the game.
struct Toast {
  std::string title;
  std::string text;
  std::string texture;  // named by the plugin; the stand-in host draws no picture
  std::uint8_t type = 0;
  float width = 0.0f;  // the box, in pixels
  float height = 0.0f;
  std::int64_t shownAt = 0;  // host clock ticks
  std::int64_t until = 0;    // shown while the clock is before this
};

// The toasts plugins have shown. Each is handed to the output once, when shown, and stays on
// screen for its seconds.
class PLUGINSDK_API ToastBoard {
 public:
  // The box and its time as the plugin asked, within what a screen can show: a size that is no
  // positive number takes the usual 290 by 60, and a time that is none shows the toast not at all.
  void Show(std::string title, std::string text, std::string texture, float seconds,
            std::uint8_t type, float width, float height, std::int64_t now);
  // The toasts on screen at `now`, oldest first.
  std::vector<Toast> OnScreen(std::int64_t now) const;
  void SetOutput(std::function<void(const Toast&)> output) { output_ = std::move(output); }

 private:
  std::vector<Toast> toasts_;
  std::function<void(const Toast&)> output_;
};

}  // namespace pluginsdk
