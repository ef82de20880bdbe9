#include "RecordingFeed.h"

#include <algorithm>
#include <cstring>

namespace quillon::recording {
namespace {

bool SameBytes(const void* a, const void* b, std::size_t size) {
  return std::memcmp(a, b, size) == 0;
}

// Whether the bound value still equals the one last handed over.
bool Unchanged(const WatchedSetting& setting, const StepRecord& last) {
  switch (setting.type) {
    case SettingType::kSwitch:
      return *static_cast<const bool*>(setting.value) == (last.number != 0.0);
    case SettingType::kInteger:
      return static_cast<double>(*static_cast<const int*>(setting.value)) == last.number;
    case SettingType::kFloat:
      return SameBytes(setting.value, last.values, sizeof(float));
    case SettingType::kColor:
      return SameBytes(setting.value, last.values, 4 * sizeof(float));
  }
  return false;
}

StepRecord Located(StepKind kind, bool present, float x, float y, float z) {
  StepRecord record;
  record.kind = kind;
  record.code = present ? 1 : 0;
  if (present) {
    record.values[0] = x;
    record.values[1] = y;
    record.values[2] = z;
  }
  return record;
}

bool SamePayload(const StepRecord& a, const StepRecord& b) {
  return a.code == b.code && a.flags == b.flags && a.separators == b.separators &&
         a.count == b.count && SameBytes(a.values, b.values, sizeof(a.values)) &&
         SameBytes(&a.number, &b.number, sizeof(a.number));
}

}  // namespace

void RecordingFeed::Attach(RecordBuffer& buffer, Clock clock, std::function<void()> wakeWriter) {
  buffer_ = &buffer;
  clock_ = clock;
  wakeWriter_ = std::move(wakeWriter);
}

void RecordingFeed::Watch(std::span<const WatchedSetting> settings) {
  settingCount_ = std::min(settings.size(), kMaxSettings);
  std::copy_n(settings.begin(), settingCount_, settings_.begin());
}

std::int64_t RecordingFeed::Now() {
  if (!stamped_) {
    stamp_ = clock_();
    stamped_ = true;
  }
  return stamp_;
}

void RecordingFeed::Forget() {
  for (Last* last : {&mode_, &ball_, &car_, &gameState_, &screen_, &frame_}) last->known = false;
  for (Last& setting : settingValues_) setting.known = false;
}

void RecordingFeed::Push(StepRecord record) {
  record.ticks = Now();
  if (lost_ > 0) {
    // The count goes first, so the writer knows where the gap is.
    if (buffer_->Free() < 2) {
      ++lost_;
      return;
    }
    StepRecord gap;
    gap.ticks = record.ticks;
    gap.kind = StepKind::kLost;
    gap.wide = static_cast<std::int64_t>(lost_);
    buffer_->TryPush(gap);
    lost_ = 0;
  }
  if (!buffer_->TryPush(record)) {
    ++lost_;
    Forget();
    wakeWriter_();
    return;
  }
  // Half full: the writer, which looks in now and then, is asked to look now.
  if (buffer_->Free() == buffer_->Capacity() / 2) wakeWriter_();
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

void RecordingFeed::Event(GameEvent event) {
  StepRecord record;
  record.kind = StepKind::kEvent;
  record.code = static_cast<std::uint8_t>(event);
  Push(record);
}

void RecordingFeed::Mode(GameMode mode) {
  const auto code = static_cast<std::uint8_t>(mode);
  if (mode_.known && mode_.record.code == code) return;
  StepRecord record;
  record.kind = StepKind::kMode;
  record.code = code;
  mode_ = {true, record};
  Push(record);
}

void RecordingFeed::Ball(bool present, float x, float y, float z) {
  const StepRecord record = Located(StepKind::kBall, present, x, y, z);
  if (ball_.known && SamePayload(ball_.record, record)) return;
  ball_ = {true, record};
  Push(record);
}

void RecordingFeed::Car(bool present, float x, float y, float z) {
  const StepRecord record = Located(StepKind::kCar, present, x, y, z);
  if (car_.known && SamePayload(car_.record, record)) return;
  car_ = {true, record};
  Push(record);
}

void RecordingFeed::GameState(bool present) {
  const std::uint8_t code = present ? 1 : 0;
  if (gameState_.known && gameState_.record.code == code) return;
  StepRecord record;
  record.kind = StepKind::kGameState;
  record.code = code;
  gameState_ = {true, record};
  Push(record);
}

void RecordingFeed::Screen(int width, int height) {
  StepRecord record;
  record.kind = StepKind::kScreen;
  record.count = static_cast<std::uint32_t>(width);
  record.number = static_cast<double>(height);
  if (screen_.known && SamePayload(screen_.record, record)) return;
  screen_ = {true, record};
  Push(record);
}

void RecordingFeed::PushSetting(std::size_t index) {
  const WatchedSetting& setting = settings_[index];
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
  settingValues_[index] = {true, record};
  Push(record);
}

void RecordingFeed::PollSettings() {
  for (std::size_t i = 0; i < settingCount_; ++i) {
    const Last& last = settingValues_[i];
    if (!last.known || !Unchanged(settings_[i], last.record)) PushSetting(i);
  }
}

void RecordingFeed::Frame(const FrameView& view) {
  StepRecord record;
  record.kind = StepKind::kFrame;
  record.flags = view.shown ? frame::kShown : 0;
  if (view.shown) {
    record.count = view.count;
    record.number = view.interval;
    record.values[0] = view.height;
    record.separators = view.separators;
    if (view.decimals) record.flags |= frame::kDecimals;
  }
  // What nothing drawn or a value set afresh shows is the same in a replay.
  if (!view.shown || independent_) record.flags |= frame::kExpect;
  if (frame_.known && SamePayload(frame_.record, record)) return;
  frame_ = {true, record};
  Push(record);
}

}  // namespace quillon::recording
