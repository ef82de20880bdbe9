#include "GlRenderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "backends/imgui_impl_opengl3.h"

namespace host {
namespace {

// Makes a Dear ImGui context current for a scope and gives the previous one back.
class CurrentContext {
 public:
  explicit CurrentContext(ImGuiContext* context) : previous_(ImGui::GetCurrentContext()) {
    ImGui::SetCurrentContext(context);
  }
  ~CurrentContext() { ImGui::SetCurrentContext(previous_); }
  CurrentContext(const CurrentContext&) = delete;
  CurrentContext& operator=(const CurrentContext&) = delete;

 private:
  ImGuiContext* previous_;
};

ImTextureID AsTextureId(unsigned int name) {
  return reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(name));
}

}  // namespace

GlRenderer::GlRenderer() : backendContext_(ImGui::CreateContext()) {
  const CurrentContext current(backendContext_);
  ImGui::GetIO().IniFilename = nullptr;
  if (!ImGui_ImplOpenGL3_Init("#version 330 core") || !ImGui_ImplOpenGL3_CreateDeviceObjects()) {
    ImGui::DestroyContext(backendContext_);
    throw std::runtime_error("cannot draw with OpenGL 3 in this window");
  }
  const std::uint8_t white[4] = {255, 255, 255, 255};
  white_ = Create(1, 1, white);
}

GlRenderer::~GlRenderer() {
  for (const Upload& upload : uploads_) glDeleteTextures(1, &upload.name);
  glDeleteTextures(1, &white_);
  {
    const CurrentContext current(backendContext_);
    ImGui_ImplOpenGL3_Shutdown();
  }
  ImGui::DestroyContext(backendContext_);
}

void GlRenderer::Clear(int width, int height) {
  glViewport(0, 0, width, height);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void GlRenderer::Render(ImDrawData& data) {
  given_.clear();
  for (int i = 0; i < data.CmdListsCount; ++i) {
    for (ImDrawCmd& command : data.CmdLists[i]->CmdBuffer) {
      given_.push_back(command.TextureId);
      command.TextureId = AsTextureId(TextureFor(command.TextureId));
    }
  }
  {
    const CurrentContext current(backendContext_);
    ImGui_ImplOpenGL3_RenderDrawData(&data);
  }
  auto id = given_.begin();
  for (int i = 0; i < data.CmdListsCount; ++i) {
    for (ImDrawCmd& command : data.CmdLists[i]->CmdBuffer) command.TextureId = *id++;
  }
}

Image GlRenderer::ReadBack(int width, int height) const {
  Image image(width, height);
  if (width == 0 || height == 0) return image;
  std::vector<Pixel> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  // OpenGL's rows run bottom to top.
  for (int y = 0; y < height; ++y) {
    const Pixel* row = rows.data() + static_cast<std::size_t>(height - 1 - y) * width;
    for (int x = 0; x < width; ++x) image.At(x, y) = {row[x].r, row[x].g, row[x].b, 255};
  }
  return image;
}

unsigned int GlRenderer::TextureFor(ImTextureID id) {
  const auto* texture = static_cast<const Texture*>(id);
  if (texture == nullptr || texture->pixels == nullptr) return white_;
  const auto known = std::find_if(uploads_.begin(), uploads_.end(), [&](const Upload& upload) {
    return upload.texture == texture && upload.pixels == texture->pixels;
  });
  if (known != uploads_.end()) return known->name;
  uploads_.push_back(
      {texture, texture->pixels, Create(texture->width, texture->height, texture->pixels)});
  return uploads_.back().name;
}

unsigned int GlRenderer::Create(int width, int height, const std::uint8_t* pixels) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  return name;
}

}  // namespace host
