#include "ConsoleVariable.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <climits>
#include <cmath>

#include "QuotedText.h"
#include "ValueText.h"

namespace pluginsdk {

ConsoleVariable::ConsoleVariable(std::string name, std::string defaultValue,
                                 std::string description, bool searchable, VariableBounds bounds,
                                 bool saved, PluginId owner)
    : name_(std::move(name)),
      defaultValue_(std::move(defaultValue)),
      description_(std::move(description)),
      searchable_(searchable),
      bounds_(bounds),
      saved_(saved),
      owner_(owner),
      holdsColor_(ParseColor(defaultValue_).has_value()) {
  // A default the console cannot read leaves the variable at zero, as a console would.
  if (SetText(defaultValue_)) StoreNumber(0.0, "0");
}

namespace {

template <typename Value>
void StoreAtomically(Value& bound, Value value) {
  std::atomic_ref<Value>(bound).store(value);
}

}  // namespace

std::string ConsoleVariable::Text() const {
  const std::lock_guard lock(mutex_);
  return text_;
}

bool ConsoleVariable::AsBool() const {
  return AsInt() != 0;
}

int ConsoleVariable::AsInt() const {
  const std::lock_guard lock(mutex_);
  return IntLocked();
}

float ConsoleVariable::AsFloat() const {
  const std::lock_guard lock(mutex_);
  return FloatLocked();
}

LinearColor ConsoleVariable::AsColor() const {
  const std::lock_guard lock(mutex_);
  return color_;
}

int ConsoleVariable::IntLocked() const {
  // Saturate rather than overflow: the value may be any number the console accepted.
  if (number_ >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (number_ <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(number_);
}

float ConsoleVariable::FloatLocked() const {
  if (number_ > FLT_MAX) return INFINITY;
  if (number_ < -FLT_MAX) return -INFINITY;
  return static_cast<float>(number_);
}

std::optional<std::string> ConsoleVariable::SetText(std::string_view text) {
  if (holdsColor_) {
    const auto color = ParseColor(text);
    if (!color) {
      return QuoteText(text) + " is not a colour (#RRGGBB, #RRGGBBAA or (R, G, B, A))";
    }
    StoreColor(*color);
    return std::nullopt;
  }
  const auto number = ParseNumber(text);
  if (!number) return QuoteText(text) + " is not a number";
  const double clamped = std::clamp(*number, static_cast<double>(bounds_.min.value_or(-INFINITY)),
                                    static_cast<double>(bounds_.max.value_or(INFINITY)));
  StoreNumber(clamped, FormatNumber(clamped));
  return std::nullopt;
}

void ConsoleVariable::Set(int value) {
  if (holdsColor_) return;
  const double clamped =
      std::clamp(static_cast<double>(value), static_cast<double>(bounds_.min.value_or(-INFINITY)),
                 static_cast<double>(bounds_.max.value_or(INFINITY)));
  StoreNumber(clamped, FormatNumber(clamped));
}

void ConsoleVariable::Set(float value) {
  if (holdsColor_ || std::isnan(value)) return;
  const float clamped =
      std::clamp(value, bounds_.min.value_or(-INFINITY), bounds_.max.value_or(INFINITY));
  StoreNumber(clamped, FormatNumber(clamped));
}

void ConsoleVariable::Set(LinearColor value) {
  if (!holdsColor_) return;
  const auto channel = [](float c) { return std::isnan(c) ? 0.0f : std::clamp(c, 0.0f, 255.0f); };
  StoreColor({channel(value.R), channel(value.G), channel(value.B), channel(value.A)});
}

void ConsoleVariable::Bind(std::shared_ptr<bool> value) {
  const std::lock_guard lock(mutex_);
  StoreAtomically(*value, IntLocked() != 0);
  boundBools_.push_back(std::move(value));
}

void ConsoleVariable::Bind(std::shared_ptr<int> value) {
  const std::lock_guard lock(mutex_);
  StoreAtomically(*value, IntLocked());
  boundInts_.push_back(std::move(value));
}

void ConsoleVariable::Bind(std::shared_ptr<float> value) {
  const std::lock_guard lock(mutex_);
  StoreAtomically(*value, FloatLocked());
  boundFloats_.push_back(std::move(value));
}

void ConsoleVariable::Bind(std::shared_ptr<LinearColor> value) {
  const std::lock_guard lock(mutex_);
  *value = color_;
  boundColors_.push_back(std::move(value));
}

void ConsoleVariable::StoreNumber(double value, std::string text) {
  {
    const std::lock_guard lock(mutex_);
    number_ = value;
    text.swap(text_);
    Publish();
  }
  CallOnChanged(std::move(text));
}

void ConsoleVariable::StoreColor(LinearColor value) {
  std::string text = FormatColor(value);
  {
    const std::lock_guard lock(mutex_);
    color_ = value;
    text.swap(text_);
    Publish();
  }
  CallOnChanged(std::move(text));
}

void ConsoleVariable::OnChanged(ChangeCallback callback) {
  const std::lock_guard lock(mutex_);
  onChanged_.push_back(std::move(callback));
}

void ConsoleVariable::OnChanged(
    const std::shared_ptr<ConsoleVariable>& variable,
    std::function<void(std::string oldText, std::shared_ptr<ConsoleVariable> variable)> callback) {
  variable->OnChanged([callback = std::move(callback),
                       held = std::weak_ptr<ConsoleVariable>(variable)](std::string oldText) {
    callback(std::move(oldText), held.lock());
  });
}

void ConsoleVariable::ClearOnChanged() {
  const std::lock_guard lock(mutex_);
  onChanged_.clear();
}

void ConsoleVariable::CallOnChanged(std::string oldText) {
  std::vector<ChangeCallback> callbacks;
  {
    const std::lock_guard lock(mutex_);
    if (onChanged_.empty()) return;
    callbacks = onChanged_;
  }
  // Outside the lock: a callback may read the variable.
  for (const ChangeCallback& callback : callbacks) callback(oldText);
}

void ConsoleVariable::Publish() const {
  for (const auto& value : boundBools_) StoreAtomically(*value, IntLocked() != 0);
  for (const auto& value : boundInts_) StoreAtomically(*value, IntLocked());
  for (const auto& value : boundFloats_) StoreAtomically(*value, FloatLocked());
  // Colours are read only on the game thread, where they are written.
  for (const auto& value : boundColors_) *value = color_;
}

}  // namespace pluginsdk
