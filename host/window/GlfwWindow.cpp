#include "GlfwWindow.h"

#include <stdexcept>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

namespace host {
namespace {

// GLFW reports why a call failed only through its error callback; keep the latest report.
std::string& LastError() {
  static std::string error;
  return error;
}

void KeepError(int /*code*/, const char* description) {
  LastError() = description != nullptr ? description : "unknown GLFW error";
}

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + (LastError().empty() ? "no reason given" : LastError()));
}

}  // namespace

GlfwWindow::GlfwWindow(int width, int height, const std::string& title) {
  LastError().clear();
  glfwSetErrorCallback(&KeepError);
  if (glfwInit() != GLFW_TRUE) Fail("cannot open a window");
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
  // Edges as the software rasteriser draws them: one sample a pixel.
  glfwWindowHint(GLFW_SAMPLES, 0);
  window_ = glfwCreateWindow(width, height, title.c_str(), nullptr, nullptr);
  if (window_ == nullptr) {
    const std::string reason = LastError();
    glfwTerminate();
    LastError() = reason;
    Fail("cannot open an OpenGL 3.3 window");
  }
  glfwMakeContextCurrent(window_);
  // The host paces its frames itself; waiting for the display as well would halve the rate.
  glfwSwapInterval(0);
}

GlfwWindow::~GlfwWindow() {
  glfwDestroyWindow(window_);
  glfwTerminate();
}

bool GlfwWindow::CloseRequested() const {
  return glfwWindowShouldClose(window_) != 0;
}

int GlfwWindow::Width() const {
  int width = 0;
  int height = 0;
  glfwGetFramebufferSize(window_, &width, &height);
  return width;
}

int GlfwWindow::Height() const {
  int width = 0;
  int height = 0;
  glfwGetFramebufferSize(window_, &width, &height);
  return height;
}

}  // namespace host
