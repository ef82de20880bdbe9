#include "SettingsWindow.h"

#include <cstdint>
#include <memory>

#include "Rasterizer.h"
#include "imgui_internal.h"

namespace host {
namespace {

// Frames are not tied to the session clock: each one simply lasts this long for Dear ImGui.
constexpr float kFrameSeconds = 1.0f / 60.0f;
constexpr ImGuiWindowFlags kWindowFlags = ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                                          ImGuiWindowFlags_NoCollapse |
                                          ImGuiWindowFlags_NoSavedSettings;
constexpr std::string_view kColorSwatchId = "##ColorButton";
// What shows through the window's slightly translucent background.
constexpr Pixel kScreen{18, 20, 26, 255};

// The lines of a text log, without blank ones.
std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.find_first_not_of(' ') != std::string_view::npos) lines.emplace_back(line);
  }
  return lines;
}

// The ID Dear ImGui gives the item at the end of the path when each earlier part is pushed in
// turn inside `window`.
ImGuiID ItemId(const ImGuiWindow& window, std::initializer_list<std::string_view> idPath) {
  ImGuiID id = window.ID;
  for (const std::string_view part : idPath) id = ImHashStr(part.data(), part.size(), id);
  return id;
}

// What Dear ImGui keeps about the focused item, which a probe borrows for one page draw.
struct FocusState {
  explicit FocusState(const ImGuiContext& g, const ImGuiWindow& window)
      : id(g.NavId),
        window(g.NavWindow),
        layer(g.NavLayer),
        focusScope(g.NavFocusScopeId),
        alive(g.NavIdIsAlive),
        rects{window.NavRectRel[0], window.NavRectRel[1]} {}

  void Restore(ImGuiContext& g, ImGuiWindow& probed) const {
    g.NavId = id;
    g.NavWindow = window;
    g.NavLayer = layer;
    g.NavFocusScopeId = focusScope;
    g.NavIdIsAlive = alive;
    probed.NavRectRel[0] = rects[0];
    probed.NavRectRel[1] = rects[1];
  }

  ImGuiID id;
  ImGuiWindow* window;
  ImGuiNavLayer layer;
  ImGuiID focusScope;
  bool alive;
  ImRect rects[ImGuiNavLayer_COUNT];
};

}  // namespace

SettingsWindow::SettingsWindow(BakkesMod::Plugin::PluginSettingsWindow& page)
    : page_(page),
      context_(ImGui::CreateContext()),
      fontTexture_(FontAtlasTexture(*context_->IO.Fonts)) {
  Configure(*context_);
  context_->IO.Fonts->SetTexID(TextureId(fontTexture_));
}

SettingsWindow::~SettingsWindow() {
  // The module keeps no pointer to a context that is gone.
  page_.AttachGuiContext(0);
  ImGui::DestroyContext(context_);
}

std::vector<std::string> SettingsWindow::Draw() {
  std::vector<std::string> text;
  Frame(nullptr, nullptr, &text);
  return text;
}

void SettingsWindow::Show() {
  Frame(nullptr, nullptr, nullptr);
}

std::optional<ScreenRect> SettingsWindow::Locate(std::string_view label) {
  std::optional<ScreenRect> found;
  if (pageWindow_ == nullptr) Frame(nullptr, nullptr, nullptr);
  // A colour editor's label names the group; the swatch inside it is what takes the click.
  for (const auto path : {std::initializer_list<std::string_view>{label},
                          std::initializer_list<std::string_view>{label, kColorSwatchId}}) {
    const Probe probe{pageWindow_, path};
    Frame(&probe, &found, nullptr);
    if (found) break;
  }
  return found;
}

std::optional<ScreenRect> SettingsWindow::LocateItem(
    ImGuiWindow& window, std::initializer_list<std::string_view> idPath) {
  std::optional<ScreenRect> found;
  const Probe probe{&window, idPath};
  Frame(&probe, &found, nullptr);
  return found;
}

bool SettingsWindow::Click(std::string_view label) {
  const auto rect = Locate(label);
  if (!rect) return false;
  MoveMouse(rect->Center());
  PressMouse();
  Frame(nullptr, nullptr, nullptr);
  ReleaseMouse();
  Frame(nullptr, nullptr, nullptr);
  return true;
}

void SettingsWindow::MakeCurrent() const {
  ImGui::SetCurrentContext(context_);
}

void SettingsWindow::MoveMouse(ImVec2 position) {
  context_->IO.MousePos = position;
}
void SettingsWindow::PressMouse() {
  context_->IO.MouseDown[ImGuiMouseButton_Left] = true;
}
void SettingsWindow::ReleaseMouse() {
  context_->IO.MouseDown[ImGuiMouseButton_Left] = false;
}

ImGuiWindow* SettingsWindow::TopPopup() const {
  const auto& popups = context_->OpenPopupStack;
  return popups.empty() ? nullptr : popups.back().Window;
}

const ImDrawData* SettingsWindow::DrawData() const {
  const ImDrawData& data = context_->Viewports[0]->DrawDataP;
  return data.Valid ? &data : nullptr;
}

Image SettingsWindow::Picture() const {
  Image picture(static_cast<int>(kWidth), static_cast<int>(kHeight), kScreen);
  if (const ImDrawData* data = DrawData()) {
    ImDrawData placed = *data;
    placed.DisplayPos = origin_;
    RasterizeDrawData(placed, picture);
  }
  return picture;
}

void SettingsWindow::Configure(ImGuiContext& context) {
  ImGui::SetCurrentContext(&context);
  ImGuiIO& io = context.IO;
  io.IniFilename = nullptr;  // nothing of the window is kept between runs
  io.LogFilename = nullptr;
  io.DisplaySize = {kWidth, kHeight};
}

void SettingsWindow::BeginWindow() {
  ImGui::SetNextWindowPos(origin_);
  ImGui::SetNextWindowSize({kWidth, height_});
  ImGui::Begin(page_.GetSettingsTitle().c_str(), nullptr, kWindowFlags);
}

void SettingsWindow::Frame(const Probe* probe, std::optional<ScreenRect>* found,
                           std::vector<std::string>* text) {
  ImGui::SetCurrentContext(context_);
  context_->IO.DeltaTime = kFrameSeconds;
  ImGui::NewFrame();
  BeginWindow();
  pageWindow_ = ImGui::GetCurrentWindow();
  page_.AttachGuiContext(reinterpret_cast<std::uintptr_t>(context_));
  ImGui::LogToBuffer();
  DrawPage(probe, found);
  // Dear ImGui ends its log at the end of any window begun inside the page (the colour picker,
  // a swatch's tooltip), emptying it; the rest of the page then went unlogged.
  const bool logKept = context_->LogEnabled;
  if (text != nullptr && logKept) *text = Lines(context_->LogBuffer.c_str());
  ImGui::LogFinish();
  ImGui::End();
  ImGui::Render();
  if (text != nullptr && !logKept) {
    *text = ReadStillPage();
    page_.AttachGuiContext(reinterpret_cast<std::uintptr_t>(context_));
  }
}

std::vector<std::string> SettingsWindow::ReadStillPage() {
  // A context of its own with no input and nothing open: the page can change nothing there and
  // opens no window inside itself. It shows the values as the registry holds them.
  const std::unique_ptr<ImGuiContext, void (*)(ImGuiContext*)> still(
      ImGui::CreateContext(context_->IO.Fonts),
      [](ImGuiContext* gone) { ImGui::DestroyContext(gone); });
  Configure(*still);
  still->IO.DeltaTime = kFrameSeconds;
  ImGui::NewFrame();
  BeginWindow();
  page_.AttachGuiContext(reinterpret_cast<std::uintptr_t>(still.get()));
  ImGui::LogToBuffer();
  page_.DrawSettingsPage();
  std::vector<std::string> text = Lines(still->LogBuffer.c_str());
  ImGui::LogFinish();
  ImGui::End();
  ImGui::EndFrame();
  return text;
}

void SettingsWindow::DrawPage(const Probe* probe, std::optional<ScreenRect>* found) {
  ImGuiContext& g = *context_;
  if (probe == nullptr) {
    page_.DrawSettingsPage();
    return;
  }
  // Dear ImGui records where the focused item lies whenever that item is drawn. Focus the item
  // sought for this one draw, read its place, and give the real focus back untouched.
  ImGuiWindow& window = *probe->window;
  const FocusState focus(g, window);
  g.NavId = ItemId(window, probe->idPath);
  g.NavWindow = &window;
  g.NavIdIsAlive = false;
  page_.DrawSettingsPage();
  if (g.NavIdIsAlive) {
    const ImRect rect = ImGui::WindowRectRelToAbs(&window, window.NavRectRel[g.NavLayer]);
    *found = ScreenRect{rect.Min, rect.Max};
  }
  focus.Restore(g, window);
}

}  // namespace host
