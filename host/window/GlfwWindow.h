#pragma once
#include <string>

struct GLFWwindow;

namespace host {

// A resizable window with an OpenGL 3.3 core context of its own, made current on this thread.
// GLFW is set up for it and shut down after it, so only one may exist at a time.
class GlfwWindow {
 public:
  // Throws std::runtime_error with GLFW's own explanation when there is no display to open it on
  // or no OpenGL 3.3.
  GlfwWindow(int width, int height, const std::string& title);
  ~GlfwWindow();
  GlfwWindow(const GlfwWindow&) = delete;
  GlfwWindow& operator=(const GlfwWindow&) = delete;

  GLFWwindow* Handle() const { return window_; }
  bool CloseRequested() const;
  // The size of the drawing surface in pixels.
  int Width() const;
  int Height() const;

 private:
  GLFWwindow* window_ = nullptr;
};

}  // namespace host
