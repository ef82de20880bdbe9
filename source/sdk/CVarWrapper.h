#pragma once
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

  explicit operator bool() const { return variable_ != nullptr; }

  std::string getCVarName() const;
  bool getBoolValue() const;
  int getIntValue() const;
  float getFloatValue() const;
  LinearColor getColorValue() const;
  std::string getStringValue() const;

  // Stores the value (clamped to the variable's bounds) and updates every bound value.
  void setValue(int value);
  void setValue(float value);
  void setValue(LinearColor value);

  // Keeps the shared value equal to the variable from now on, starting with its current value.
  void bindTo(std::shared_ptr<bool> value);
  void bindTo(std::shared_ptr<int> value);
  void bindTo(std::shared_ptr<float> value);
  void bindTo(std::shared_ptr<LinearColor> value);

 private:
  std::shared_ptr<pluginsdk::ConsoleVariable> variable_;
};
