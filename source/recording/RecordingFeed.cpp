#include "RecordingFeed.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace quillon::recording {
namespace {

// A switch, integer or float may be stored by the host on another thread than the game's (it
// stores them atomically); a colour only on the game thread.
template <typename T>
T LoadShared(const void* value) {
  return std::atomic_ref<T>(*static_cast<T*>(const_cast<void*>(value)))
      .load(std::memory_order_relaxed);
}

template <typename T>
bool Same(T value, const std::uint32_t (&words)[4]) {
  return std::memcmp(&value, words, sizeof(T)) == 0;
}

}  // namespace

void RecordingFeed::Attach(RecordBuffer& buffer, Clock clock, std::function<void()> wakeWriter) {
  buffer_ = &buffer;
  clock_ = clock;
  wakeMask_ = std::max<std::size_t>(buffer.Capacity() / 8, 1) - 1;
  wakeWriter_ = std::move(wakeWriter);
}

void RecordingFeed::Watch(std::span<const WatchedSetting> settings) {
  settingCount_ = std::min(settings.size(), kMaxSettings);
  std::copy_n(settings.begin(), settingCount_, settings_.begin());
}

void RecordingFeed::Forget() {
  modeKnown_ = gameStateKnown_ = screenKnown_ = frameKnown_ = false;
  ball_.known = car_.known = false;
  for (SettingBytes& setting : settingValues_) setting.known = false;
}

void RecordingFeed::CloseGap(StepRecord& gap) {
  gap.ticks = Now();
  gap.step.emplace<LostStep>(LostStep{lost_});
  buffer_->Commit();
  lost_ = 0;
  // The lost steps may have changed anything the replay holds.
  Forget();
}

StepRecord* RecordingFeed::Claim() {
  if (lost_ > 0) [[unlikely]] {
    // The count goes first, so the writer knows where the gap is.
    if (buffer_->FreeOutsideKept() < 2) {
      ++lost_;
      return nullptr;
    }
    CloseGap(*buffer_->Claim());
  }
  StepRecord* slot = buffer_->Claim();
  if (slot == nullptr) [[unlikely]] {
    ++lost_;
    Forget();
    wakeWriter_();
    return nullptr;
  }
  slot->ticks = Now();
  return slot;
}

void RecordingFeed::WakeIfBehind() {
  if (buffer_->Held() > wakeMask_) wakeWriter_();
}

bool RecordingFeed::Push(const Step& step) {
  StepRecord* slot = Claim();
  if (slot == nullptr) return false;
  slot->step = step;
  Commit();
  return true;
}

void RecordingFeed::PushKept(const Step& step) {
  // Begin found room for every state step of the recording, so neither claim fails.
  if (lost_ > 0) {
    StepRecord* gap = buffer_->ClaimKept();
    if (gap == nullptr) return;
    CloseGap(*gap);
  }
  StepRecord* slot = buffer_->ClaimKept();
  if (slot == nullptr) return;
  slot->ticks = Now();
  slot->step = step;
  buffer_->Commit();
  wakeWriter_();
}

bool RecordingFeed::Begin(BeginStep begin, bool independent) {
  if (buffer_ == nullptr || buffer_->Free() < kRoomPerRecording) return false;
  active_ = true;
  independent_ = independent;
  lost_ = 0;
  Forget();
  gameStateRead_ = ball_.read = car_.read = false;  // what was read for an earlier recording
  begin.settings = static_cast<std::uint8_t>(settingCount_);
  ++begun_;
  PushKept(begin);
  // Every variable follows, so the changes before now are in.
  changedSettings_->exchange(0, std::memory_order_acquire);
  for (std::size_t i = 0; i < settingCount_; ++i) PushSetting(i);
  wakeWriter_();
  return true;
}

void RecordingFeed::Open(OpenStep open) {
  PushKept(open);
}

void RecordingFeed::Discard() {
  lost_ = 0;  // of a recording that is forgotten
  PushKept(DiscardStep{});
  active_ = false;
}

void RecordingFeed::End(EndReason reason) {
  HandChangedSettings();
  PushKept(EndStep{reason});
  active_ = false;
}

// Each value is known only once its step is in the ring; a push that closes a gap forgets the
// others first, so the mark comes after it.
void RecordingFeed::HandMode(GameMode mode) {
  mode_ = mode;
  modeKnown_ = Push(ModeStep{mode});
}

void RecordingFeed::HandGameState(bool present) {
  gameStateRead_ = true;
  gameState_ = present;
  gameStateKnown_ = Push(GameStateStep{present});
}

void RecordingFeed::HandWorldAgain() {
  if (gameStateRead_ && !gameStateKnown_) HandGameState(gameState_);
  if (ball_.read && !ball_.known) ball_.known = Push(BallStep{ball_.AsStep()});
  if (car_.read && !car_.known) car_.known = Push(CarStep{car_.AsStep()});
}

void RecordingFeed::HandScreen(int width, int height) {
  screenWidth_ = width;
  screenHeight_ = height;
  screenKnown_ = Push(ScreenStep{width, height});
}

bool RecordingFeed::SettingUnchanged(std::size_t index) const {
  const SettingBytes& last = settingValues_[index];
  if (!last.known) return false;
  const WatchedSetting& setting = settings_[index];
  // Fixed sizes, so each comparison is a few loads rather than a call.
  switch (setting.type) {
    case SettingType::kSwitch:
      return Same(LoadShared<bool>(setting.value), last.words);
    case SettingType::kInteger:
      return Same(LoadShared<int>(setting.value), last.words);
    case SettingType::kFloat:
      return Same(LoadShared<float>(setting.value), last.words);
    case SettingType::kColor:
      return std::memcmp(setting.value, last.words, 4 * sizeof(float)) == 0;
  }
  return false;
}

void RecordingFeed::HandSettings(std::uint32_t changed) {
  for (; changed != 0; changed &= changed - 1) {
    const auto index = static_cast<std::size_t>(std::countr_zero(changed));
    if (index < settingCount_ && !SettingUnchanged(index)) PushSetting(index);
  }
}

void RecordingFeed::PushSetting(std::size_t index) {
  const WatchedSetting& setting = settings_[index];
  SettingStep step;
  step.index = static_cast<std::uint8_t>(index);
  SettingBytes& last = settingValues_[index];
  std::memset(last.words, 0, sizeof(last.words));
  switch (setting.type) {
    case SettingType::kSwitch: {
      const bool value = LoadShared<bool>(setting.value);
      step.integer = value ? 1 : 0;
      std::memcpy(last.words, &value, sizeof(value));
      break;
    }
    case SettingType::kInteger: {
      const int value = LoadShared<int>(setting.value);
      step.integer = value;
      std::memcpy(last.words, &value, sizeof(value));
      break;
    }
    case SettingType::kFloat: {
      const float value = LoadShared<float>(setting.value);
      step.floats[0] = value;
      std::memcpy(last.words, &value, sizeof(value));
      break;
    }
    case SettingType::kColor:
      std::memcpy(step.floats, setting.value, 4 * sizeof(float));
      std::memcpy(last.words, setting.value, 4 * sizeof(float));
      break;
  }
  last.known = Push(step);
}

void RecordingFeed::HandFrame(const FrameView& view, bool expect) {
  if (lost_ > 0 && buffer_->FreeOutsideKept() < 2) {
    // Still no room: the frame is lost too, and handed over with everything once there is.
    ++lost_;
    return;
  }
  // What a loss took from the replay, then the variables: it must hold them all before it
  // draws this text.
  HandWorldAgain();
  changedSettings_->exchange(0, std::memory_order_acquire);
  for (std::size_t i = 0; i < settingCount_; ++i) {
    if (!SettingUnchanged(i)) PushSetting(i);
  }
  frameExpected_ = expect;
  frame_ = view;
  FrameStep step;
  step.shown = view.shown;
  step.expect = expect;
  if (view.shown) {
    step.count = view.count;
    step.interval = view.interval;
    step.height = view.height;
    step.decimals = view.decimals;
    step.separators = view.separators;
  }
  frameKnown_ = Push(step);
}

}  // namespace quillon::recording
