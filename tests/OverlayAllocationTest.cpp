// Drawing the overlay allocates nothing on the heap: every frame formats its numbers in place.
// This program replaces the global allocation functions to count calls, so it stands alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "PluginSession.h"

namespace {

bool counting = false;
std::size_t allocations = 0;

void* Allocate(std::size_t size) {
  if (counting) ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace {

// A canvas that keeps nothing, so that only the plugin's own work is counted.
class DiscardingCanvas : public pluginsdk::Canvas {
 public:
  void SetColor(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override { ++calls; }
  void SetColor(LinearColor) override { ++calls; }
  void SetPosition(Vector2F) override { ++calls; }
  void DrawString(std::string_view, float, float, bool, bool) override { ++calls; }
  Vector2F GetStringSize(std::string_view text, float xScale, float yScale) override {
    ++calls;
    return {static_cast<float>(text.size()) * 7.0f * xScale, 13.0f * yScale};
  }
  int calls = 0;
};

// Frames drawn with the given settings, counting the allocations they make.
std::size_t AllocationsInFrames(testing_support::PluginSession& session, int frames,
                                int callsPerFrame) {
  const auto canvas = std::make_shared<DiscardingCanvas>();
  allocations = 0;
  counting = true;
  for (int i = 0; i < frames; ++i) session.Host().DrawFrame(canvas);
  counting = false;
  EXPECT_EQ(canvas->calls, frames * callsPerFrame) << "the frames were not all drawn";
  return allocations;
}

TEST(OverlayAllocation, DrawingFramesAllocatesNothing) {
  testing_support::PluginSession session;
  session.StartFreeplay();
  session.Set("quillon_enabled", "1");
  session.Ball(1500.0f);
  session.Car(300.0f);
  session.At(5.0);
  session.Fire("jump");
  session.Fire("landed");
  session.Fire("dodge");
  session.At(9.87);
  session.Fire("landed");
  session.Plugin().record.resetCount = -1;  // the longest count text: 4294967295

  struct Case {
    const char* cycling;
    const char* sameColor;
    const char* decimals;
    int callsPerFrame;  // 15 for positions, texts and sizes, and one colour or seven
  };
  const Case cases[] = {
      {"0", "1", "0", 16}, {"0", "0", "1", 22}, {"1", "0", "1", 16}, {"1", "1", "0", 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("cycling ") + c.cycling + ", same colour " + c.sameColor +
                 ", decimals " + c.decimals);
    session.Set("quillon_rgb_enabled", c.cycling);
    session.Set("quillon_samecolorenabled", c.sameColor);
    session.Set("quillon_heightdecimal", c.decimals);
    EXPECT_EQ(AllocationsInFrames(session, 100, c.callsPerFrame), 0u);
  }
}

// The count above is zero because nothing allocates, not because nothing is counted.
TEST(OverlayAllocation, TheCounterSeesAllocations) {
  allocations = 0;
  counting = true;
  const auto text = std::make_unique<std::string>(100, 'x');
  counting = false;
  EXPECT_GE(allocations, 2u);
}

}  // namespace
