#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SdkExport.h"
#include "WrapperStructs.h"

namespace pluginsdk {

using PluginId = int;
// The owner of what the host itself registers (its own console commands); plugins count from 1.
inline constexpr PluginId kHostCommands = 0;

// Optional lower and upper limits of a numeric variable.
struct VariableBounds {
  std::optional<float> min;
  std::optional<float> max;
};

// One configuration variable, as a console keeps it: its value is text, read through typed
// getters. A variable whose default is a colour holds colours; every other one holds numbers.
// Every change, from any source, reaches every bound value before it returns. Values may be read
// and set from any thread; a bound boolean, integer or float is written atomically (through
// std::atomic_ref), so a reader on another thread that reads it the same way sees no torn value.
class PLUGINSDK_API ConsoleVariable {
 public:
  ConsoleVariable(std::string name, std::string defaultValue, std::string description,
                  bool searchable, VariableBounds bounds, bool saved, PluginId owner);

  const std::string& Name() const { return name_; }
  const std::string& DefaultValue() const { return defaultValue_; }
  const std::string& Description() const { return description_; }
  bool Searchable() const { return searchable_; }
  bool Saved() const { return saved_; }
  const VariableBounds& Bounds() const { return bounds_; }
  PluginId Owner() const { return owner_; }
  bool HoldsColor() const { return holdsColor_; }

  // The current value as text: a number in shortest form, or a colour as "(R, G, B, A)".
  std::string Text() const;
  bool AsBool() const;
  int AsInt() const;
  float AsFloat() const;
  LinearColor AsColor() const;

  // Stores a value typed at the console. Numbers are clamped to the bounds; text that is not a
  // number (or not a colour, for a colour variable) is refused: the message says why and the
  // variable keeps its value.
  std::optional<std::string> SetText(std::string_view text);
  // Stores from code. A value of the wrong kind (or NaN) is ignored, as the console would refuse
  // it.
  void Set(int value);
  void Set(float value);
  void Set(LinearColor value);

  void Bind(std::shared_ptr<bool> value);
  void Bind(std::shared_ptr<int> value);
  void Bind(std::shared_ptr<float> value);
  void Bind(std::shared_ptr<LinearColor> value);

  // Called after every store, with the value before it as text, on the storing thread.
  using ChangeCallback = std::function<void(std::string oldText)>;
  void OnChanged(ChangeCallback callback);
  // The same, with the variable too, which the callable holds only weakly: the variable keeps
  // its callables, and a callable holding it would keep it for ever.
  static void OnChanged(
      const std::shared_ptr<ConsoleVariable>& variable,
      std::function<void(std::string oldText, std::shared_ptr<ConsoleVariable> variable)> callback);
  void ClearOnChanged();

 private:
  void CallOnChanged(std::string oldText);
  void StoreNumber(double value, std::string text);
  void StoreColor(LinearColor value);
  // The rest need the lock held.
  int IntLocked() const;
  float FloatLocked() const;
  void Publish() const;

  std::string name_;
  std::string defaultValue_;
  std::string description_;
  bool searchable_;
  VariableBounds bounds_;
  bool saved_;
  PluginId owner_;
  bool holdsColor_;

  mutable std::mutex mutex_;  // guards what follows
  std::string text_;
  double number_ = 0.0;
  LinearColor color_;

  std::vector<std::shared_ptr<bool>> boundBools_;
  std::vector<std::shared_ptr<int>> boundInts_;
  std::vector<std::shared_ptr<float>> boundFloats_;
  std::vector<std::shared_ptr<LinearColor>> boundColors_;
  std::vector<ChangeCallback> onChanged_;
};

}  // namespace pluginsdk
