#pragma once
#include <functional>
#include <memory>
#include <string>

#include "SdkExport.h"
#include "WrapperStructs.h"

namespace pluginsdk {
class ConsoleVariable;
}

// Handle to one configuration variable. Holds its own reference; a null handle tests false.
class PLUGINSDK_API CVarWrapper {
 public:
  CVarWrapper() = default;
  explicit CVarWrapper(std::shared_ptr<pluginsdk::ConsoleVariable> variable);
  // A copy and a destructor of its own and no move, as in the host's SDK (see ActorWrapper).
  CVarWrapper(const CVarWrapper& other);
  ~CVarWrapper();

  // Not const, as in the host's SDK: a handle read through a const reference would not compile
  // there.
  explicit operator bool() { return variable_ != nullptr; }

  std::string getCVarName();
  bool getBoolValue();
  int getIntValue();
  float getFloatValue();
  LinearColor getColorValue();
  std::string getStringValue();

  // Stores the value (clamped to the variable's bounds) and updates every bound value.
  void setValue(int value);
  void setValue(float value);
  void setValue(LinearColor value);

  // Keeps the shared value equal to the variable from now on, starting with its current value.
  void bindTo(std::shared_ptr<bool> value);
  void bindTo(std::shared_ptr<int> value);
  void bindTo(std::shared_ptr<float> value);
  void bindTo(std::shared_ptr<LinearColor> value);

  // Calls the callable after every store, with the value before it as text and the variable,
  // on the thread that stored it.
  void addOnValueChanged(std::function<void(std::string, CVarWrapper)> changeFunc);
  // Forgets every callable added to the variable.
  void removeOnValueChanged();

 private:
  std::shared_ptr<pluginsdk::ConsoleVariable> variable_;
};
