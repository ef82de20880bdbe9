#pragma once
// The SDK handles the host core hands to plugins. The core only names their classes: each SDK
// this library can serve (the stand-in's in source/sdk, the host's own in the msvc-abi build)
// makes them in its own file, Wrappers.cpp or real/Wrappers.cpp, which alone sees their layout.
#include <functional>
#include <memory>

class CVarManagerWrapper;
class CanvasWrapper;
class GameWrapper;

namespace pluginsdk {

class Canvas;
class PluginConnection;

std::shared_ptr<GameWrapper> MakeGameWrapper(PluginConnection& connection);
std::shared_ptr<CVarManagerWrapper> MakeCVarManagerWrapper(PluginConnection& connection);
// Calls the drawable with a handle on the canvas. The handle is passed by value, so it is made,
// and the call that destroys it compiled, where its class is known.
void Draw(const std::function<void(CanvasWrapper)>& drawable,
          const std::shared_ptr<Canvas>& canvas);

}  // namespace pluginsdk
