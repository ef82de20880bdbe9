#include "RecordingFeed.h"

#include <algorithm>
#include <cstring>

namespace quillon::recording {
namespace {

std::size_t SettingSize(SettingType type) {
  switch (type) {
    case SettingType::kSwitch:
      return sizeof(bool);
    case SettingType::kInteger:
      return sizeof(int);
    case SettingType::kFloat:
      return sizeof(float);
    case SettingType::kColor:
      return 4 * sizeof(float);
  }
  return 0;
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
  nextSetting_ = 0;
}

void RecordingFeed::Forget() {
  modeKnown_ = gameStateKnown_ = screenKnown_ = frameKnown_ = false;
  ball_.known = car_.known = false;
  for (SettingBytes& setting : settingValues_) setting.known = false;
}

StepRecord* RecordingFeed::Claim(StepKind kind) {
  if (lost_ > 0) [[unlikely]] {
    // The count goes first, so the writer knows where the gap is.
    if (buffer_->Free() < 2) {
      ++lost_;
      return nullptr;
    }
    StepRecord* gap = buffer_->Claim();
    *gap = StepRecord{};
    gap->ticks = Now();
    gap->kind = StepKind::kLost;
    gap->wide = static_cast<std::int64_t>(lost_);
    buffer_->Commit();
    lost_ = 0;
  }
  StepRecord* slot = buffer_->Claim();
  if (slot == nullptr) [[unlikely]] {
    ++lost_;
    Forget();
    wakeWriter_();
    return nullptr;
  }
  slot->ticks = Now();
  slot->kind = kind;
  return slot;
}

void RecordingFeed::WakeIfBehind() {
  if (buffer_->Held() > wakeMask_) wakeWriter_();
}

void RecordingFeed::Push(const StepRecord& record) {
  StepRecord* slot = Claim(record.kind);
  if (slot == nullptr) return;
  const std::int64_t ticks = slot->ticks;
  *slot = record;
  slot->ticks = ticks;
  Commit();
}

void RecordingFeed::Begin(bool live, GameMode headerMode, std::uint8_t playState, bool independent,
                          std::int64_t utcSeconds, std::int64_t frequency) {
  if (buffer_ == nullptr) return;
  active_ = true;
  independent_ = independent;
  Forget();
  StepRecord begin;
  begin.kind = StepKind::kBegin;
  begin.code = live ? begin::kLive : 0;
  begin.flags = playState;
  begin.count = static_cast<std::uint32_t>(headerMode);
  begin.number = static_cast<double>(settingCount_);
  begin.wide = frequency;
  begin.utc = utcSeconds;
  Push(begin);
  for (std::size_t i = 0; i < settingCount_; ++i) PushSetting(i);
  wakeWriter_();
}

void RecordingFeed::Open(GameMode found) {
  StepRecord open;
  open.kind = StepKind::kOpen;
  open.code = static_cast<std::uint8_t>(found);
  Push(open);
  wakeWriter_();
}

void RecordingFeed::Discard() {
  StepRecord discard;
  discard.kind = StepKind::kDiscard;
  Push(discard);
  active_ = false;
  wakeWriter_();
}

void RecordingFeed::End(EndReason reason) {
  StepRecord end;
  end.kind = StepKind::kEnd;
  end.code = static_cast<std::uint8_t>(reason);
  Push(end);
  active_ = false;
  wakeWriter_();
}

void RecordingFeed::HandMode(GameMode mode) {
  modeKnown_ = true;
  mode_ = mode;
  StepRecord record;
  record.kind = StepKind::kMode;
  record.code = static_cast<std::uint8_t>(mode);
  Push(record);
}

void RecordingFeed::HandGameState(bool present) {
  gameStateKnown_ = true;
  gameState_ = present;
  StepRecord record;
  record.kind = StepKind::kGameState;
  record.code = present ? 1 : 0;
  Push(record);
}

void RecordingFeed::HandPlace(StepKind kind, Place& last, bool present, float x, float y, float z) {
  last = {true,
          present,
          {std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y),
           std::bit_cast<std::uint32_t>(z)}};
  StepRecord* record = Claim(kind);
  if (record == nullptr) return;
  record->code = present ? 1 : 0;
  if (present) {
    record->values[0] = x;
    record->values[1] = y;
    record->values[2] = z;
  }
  Commit();
}

void RecordingFeed::HandScreen(int width, int height) {
  screenKnown_ = true;
  screenWidth_ = width;
  screenHeight_ = height;
  StepRecord record;
  record.kind = StepKind::kScreen;
  record.count = static_cast<std::uint32_t>(width);
  record.number = static_cast<double>(height);
  Push(record);
}

bool RecordingFeed::SettingUnchanged(std::size_t index) const {
  const SettingBytes& last = settingValues_[index];
  if (!last.known) return false;
  const WatchedSetting& setting = settings_[index];
  // Fixed sizes, so each comparison is a few loads rather than a call.
  switch (setting.type) {
    case SettingType::kSwitch:
      return std::memcmp(setting.value, last.words, sizeof(bool)) == 0;
    case SettingType::kInteger:
      return std::memcmp(setting.value, last.words, sizeof(int)) == 0;
    case SettingType::kFloat:
      return std::memcmp(setting.value, last.words, sizeof(float)) == 0;
    case SettingType::kColor:
      return std::memcmp(setting.value, last.words, 4 * sizeof(float)) == 0;
  }
  return false;
}

void RecordingFeed::PushSetting(std::size_t index) {
  const WatchedSetting& setting = settings_[index];
  SettingBytes& last = settingValues_[index];
  last.known = true;
  std::memset(last.words, 0, sizeof(last.words));
  std::memcpy(last.words, setting.value, SettingSize(setting.type));
  StepRecord record;
  record.kind = StepKind::kSetting;
  record.code = static_cast<std::uint8_t>(index);
  switch (setting.type) {
    case SettingType::kSwitch:
      record.number = *static_cast<const bool*>(setting.value) ? 1.0 : 0.0;
      break;
    case SettingType::kInteger:
      record.number = *static_cast<const int*>(setting.value);
      break;
    case SettingType::kFloat:
      std::memcpy(record.values, setting.value, sizeof(float));
      break;
    case SettingType::kColor:
      std::memcpy(record.values, setting.value, 4 * sizeof(float));
      break;
  }
  Push(record);
}

void RecordingFeed::HandFrame(const FrameView& view, bool expect) {
  // The variables first: the replay must hold them before it draws this text.
  for (std::size_t i = 0; i < settingCount_; ++i) {
    if (!SettingUnchanged(i)) PushSetting(i);
  }
  frameKnown_ = true;
  frameExpected_ = expect;
  frame_ = view;
  StepRecord record;
  record.kind = StepKind::kFrame;
  record.flags =
      static_cast<std::uint8_t>((view.shown ? frame::kShown : 0) | (expect ? frame::kExpect : 0) |
                                (view.shown && view.decimals ? frame::kDecimals : 0));
  if (view.shown) {
    record.count = view.count;
    record.number = view.interval;
    record.values[0] = view.height;
    record.separators = view.separators;
  }
  Push(record);
}

}  // namespace quillon::recording
