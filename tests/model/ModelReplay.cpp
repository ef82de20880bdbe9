#include "ModelReplay.h"

#include <cstdlib>
#include <iostream>

#include "Overloaded.h"
#include "PluginSession.h"

namespace model {
namespace {

// Drives a plugin session with steps, as the host program would replay them from a script.
class PluginDriver {
 public:
  void Apply(const Step& step) {
    auto& world = session_.Host().World();
    std::visit(Overloaded{
                   [&](const Advance& s) { AdvanceBy(s.ticks); },
                   [&](const Fire& s) { session_.Fire(ScriptName(s.function)); },
                   [&](const SwitchMode& s) { session_.Mode(s.mode); },
                   [&](const PlaceBall& s) {
                     if (s.z) {
                       session_.Ball(*s.z);
                     } else {
                       world.gameState->ball = nullptr;
                     }
                   },
                   [&](const PlaceCar& s) {
                     if (s.z) {
                       session_.Car(*s.z);
                     } else {
                       world.localCar = nullptr;
                     }
                   },
                   [&](const SetGameState& s) { world.gameStatePresent = s.present; },
                   [&](const SetVariable& s) {
                     session_.Set(std::string(VariableName(s.setting)), s.text);
                   },
               },
               step);
  }

  std::string Frame() { return session_.Frame(); }

 private:
  void AdvanceBy(std::int64_t ticks) {
    now_ += ticks;
    session_.At(static_cast<double>(now_) / pluginsdk::HostClock::kTicksPerSecond);
    // Intervals are only exact if the host's clock lands on the very tick.
    if (session_.Host().Clock().Now() != now_) {
      std::cerr << "model replay: the host clock is at " << session_.Host().Clock().Now()
                << " ticks instead of " << now_ << '\n';
      std::abort();
    }
  }

  testing_support::PluginSession session_;
  std::int64_t now_ = 0;
};

}  // namespace

std::optional<Mismatch> FindMismatch(const std::vector<Step>& steps, Variant variant,
                                     Coverage* seen) {
  PluginDriver plugin;
  TrackerModel reference(variant);
  std::optional<Mismatch> found;
  for (std::size_t i = 0; i < steps.size() && !found; ++i) {
    plugin.Apply(steps[i]);
    reference.Apply(steps[i]);
    std::string drawn = plugin.Frame();
    std::string expected = reference.Frame();
    if (drawn != expected) found = Mismatch{i, std::move(expected), std::move(drawn)};
  }
  if (seen != nullptr) *seen += reference.Seen();
  return found;
}

std::vector<std::string> PluginFrames(const std::vector<Step>& steps) {
  PluginDriver plugin;
  std::vector<std::string> frames;
  for (const Step& step : steps) {
    plugin.Apply(step);
    frames.push_back(plugin.Frame());
  }
  return frames;
}

}  // namespace model
