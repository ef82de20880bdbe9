#include "SettingsWindow.h"

#include <algorithm>
#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "DearImGui.h"
#include "Rasterizer.h"

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
// The still page's height: the mouse hovers only what lies inside the window.
constexpr float kStillHeight = 16384.0f;
const ImVec2 kNoMouse{-FLT_MAX, -FLT_MAX};
// What a check box or slider shows before its label in the text, and a button's brackets.
constexpr std::string_view kCheckMarks[] = {"[x] ", "[ ] ", "[~] "};

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

// The label a line of the page's text would have if a widget drew it: the line without the
// value a check box or slider shows before the label, or a button's brackets.
std::string_view LabelOf(std::string_view line) {
  for (const std::string_view mark : kCheckMarks) {
    if (line.starts_with(mark)) return line.substr(mark.size());
  }
  if (line.starts_with("{ ")) {
    const auto end = line.find(" } ");
    if (end != std::string_view::npos) return line.substr(end + 3);
  }
  if (line.size() > 4 && line.starts_with("[ ") && line.ends_with(" ]")) {
    return line.substr(2, line.size() - 4);
  }
  return line;
}

// The line for a colour swatch, "[colour R G B A]", from its tooltip's text, which Dear ImGui
// writes as "#RRGGBBAA", then "R:255, G:255, B:0, A:255"; nothing when the text has no colour.
std::optional<std::string> SwatchLine(const std::string& tooltip) {
  const auto at = tooltip.rfind("\nR:");
  int red = 0;
  int green = 0;
  int blue = 0;
  int alpha = 0;
  if (at == std::string::npos || std::sscanf(tooltip.c_str() + at + 1, "R:%d, G:%d, B:%d, A:%d",
                                             &red, &green, &blue, &alpha) != 4) {
    return std::nullopt;
  }
  return "[colour " + std::to_string(red) + " " + std::to_string(green) + " " +
         std::to_string(blue) + " " + std::to_string(alpha) + "]";
}

// Dear ImGui hands a finished clipboard log over here; the still page keeps it.
void KeepLog(void* kept, const char* text) {
  static_cast<std::string*>(kept)->assign(text);
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
  Configure(*context_, size_);
  context_->IO.Fonts->SetTexID(TextureId(fontTexture_));
}

SettingsWindow::~SettingsWindow() {
  // The module keeps no pointer to a context that is gone.
  page_.AttachGuiContext(0);
  ImGui::DestroyContext(context_);
}

std::vector<std::string> SettingsWindow::Draw() {
  std::vector<std::string> text;
  const bool logKept = Frame(nullptr, nullptr, &text);
  {
    const StillContext still = OpenStillPage();
    if (!logKept) text = Lines(StillFrame(*still, nullptr, nullptr));
    AddSwatchColours(*still, text);
  }
  page_.AttachGuiContext(reinterpret_cast<std::uintptr_t>(context_));
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

std::vector<std::string> SettingsWindow::Labels() {
  std::vector<std::string> text;
  {
    const StillContext still = OpenStillPage();
    text = Lines(StillFrame(*still, nullptr, nullptr));
  }
  page_.AttachGuiContext(reinterpret_cast<std::uintptr_t>(context_));
  std::vector<std::string> labels;
  for (const auto& line : text) {
    const std::string_view label = LabelOf(line);
    if (Locate(label)) labels.emplace_back(label);
  }
  return labels;
}

bool SettingsWindow::Click(std::string_view label) {
  clickOnlyClosedPopup_ = false;
  const auto rect = Locate(label);
  if (!rect) return false;
  const ImVec2 at = rect->Center();
  const ImGuiWindow* popup = TopPopup();
  const bool outsidePopup =
      popup != nullptr && !ImRect(popup->Pos.x, popup->Pos.y, popup->Pos.x + popup->Size.x,
                                  popup->Pos.y + popup->Size.y)
                               .Contains(at);
  MoveMouse(at);
  PressMouse();
  Frame(nullptr, nullptr, nullptr);
  ReleaseMouse();
  Frame(nullptr, nullptr, nullptr);
  clickOnlyClosedPopup_ = outsidePopup && TopPopup() != popup;
  return true;
}

std::optional<std::string> SettingsWindow::TooltipOver(std::string_view label, float share) {
  std::optional<std::string> tooltip;
  {
    const StillContext still = OpenStillPage();
    StillFrame(*still, nullptr, nullptr);  // the window must exist before the mouse can hover it
    std::optional<ScreenRect> item;
    const Probe probe{nullptr, {label}};
    StillFrame(*still, &probe, &item);
    if (item) {
      // A pixel inside either edge: the right edge itself lies outside the item.
      const float x = item->min.x + 1.0f + share * (item->max.x - item->min.x - 2.0f);
      still->IO.MousePos = {x, item->Center().y};
      const std::vector<std::string> lines = Lines(StillFrame(*still, nullptr, nullptr));
      // A tooltip ends the log, so its text comes last. (A tooltip's first frame only
      // measures it and is hidden; its text is logged all the same.)
      const bool shown = std::any_of(still->Windows.begin(), still->Windows.end(), [](auto* w) {
        return (w->Flags & ImGuiWindowFlags_Tooltip) != 0 && w->Active;
      });
      if (shown && !lines.empty()) tooltip = lines.back();
    }
  }
  page_.AttachGuiContext(reinterpret_cast<std::uintptr_t>(context_));
  return tooltip;
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
  const ImDrawData& data = LatestDrawData(*context_);
  return data.Valid ? &data : nullptr;
}

Image SettingsWindow::Picture() const {
  Image picture(static_cast<int>(size_.x), static_cast<int>(size_.y), kScreen);
  if (const ImDrawData* data = DrawData()) {
    ImDrawData placed = *data;
    placed.DisplayPos = origin_;
    RasterizeDrawData(placed, picture);
  }
  return picture;
}

void SettingsWindow::Configure(ImGuiContext& context, ImVec2 displaySize) {
  ImGui::SetCurrentContext(&context);
  ImGuiIO& io = context.IO;
  io.IniFilename = nullptr;  // nothing of the window is kept between runs
  io.LogFilename = nullptr;
  io.DisplaySize = displaySize;
}

void SettingsWindow::BeginWindow(ImVec2 size) {
  ImGui::SetNextWindowPos(origin_);
  ImGui::SetNextWindowSize(size);
  ImGui::Begin(page_.GetSettingsTitle().c_str(), nullptr, kWindowFlags);
}

bool SettingsWindow::Frame(const Probe* probe, std::optional<ScreenRect>* found,
                           std::vector<std::string>* text) {
  ImGui::SetCurrentContext(context_);
  context_->IO.DeltaTime = kFrameSeconds;
  ImGui::NewFrame();
  BeginWindow(size_);
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
  return logKept;
}

SettingsWindow::StillContext SettingsWindow::OpenStillPage() {
  StillContext still(ImGui::CreateContext(context_->IO.Fonts),
                     [](ImGuiContext* gone) { ImGui::DestroyContext(gone); });
  Configure(*still, {size_.x, kStillHeight});
  still->IO.MousePos = kNoMouse;
  return still;
}

std::string SettingsWindow::StillFrame(ImGuiContext& still, const Probe* probe,
                                       std::optional<ScreenRect>* found) {
  ImGui::SetCurrentContext(&still);
  still.IO.DeltaTime = kFrameSeconds;
  ImGui::NewFrame();
  BeginWindow({size_.x, kStillHeight});
  page_.AttachGuiContext(reinterpret_cast<std::uintptr_t>(&still));
  // Logged to the clipboard, which hands the text over at every end of the log: a tooltip's
  // window ends it, and its text is what a reader wants then.
  std::string logged;
  still.IO.SetClipboardTextFn = &KeepLog;
  still.IO.ClipboardUserData = &logged;
  ImGui::LogToClipboard();
  DrawPage(probe, found);
  ImGui::LogFinish();
  ImGui::End();
  ImGui::EndFrame();
  return logged;
}

void SettingsWindow::AddSwatchColours(ImGuiContext& still, std::vector<std::string>& text) {
  StillFrame(still, nullptr, nullptr);  // the window must exist before the mouse can hover it
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A colour editor's label is a text line of its own, and names the swatch under it.
    if (LabelOf(text[i]) != text[i]) continue;
    std::optional<ScreenRect> swatch;
    const Probe probe{nullptr, {text[i], kColorSwatchId}};
    StillFrame(still, &probe, &swatch);
    if (!swatch) continue;
    still.IO.MousePos = swatch->Center();
    const auto colour = SwatchLine(StillFrame(still, nullptr, nullptr));
    still.IO.MousePos = kNoMouse;
    text.insert(text.begin() + static_cast<std::ptrdiff_t>(++i),
                colour.value_or("[colour unknown]"));
  }
}

void SettingsWindow::DrawPage(const Probe* probe, std::optional<ScreenRect>* found) {
  ImGuiContext& g = *GImGui;
  if (probe == nullptr) {
    page_.DrawSettingsPage();
    return;
  }
  // Dear ImGui records where the focused item lies whenever that item is drawn. Focus the item
  // sought for this one draw, read its place, and give the real focus back untouched.
  ImGuiWindow& window = probe->window != nullptr ? *probe->window : *ImGui::GetCurrentWindow();
  const FocusState focus(g, window);
  g.NavId = ItemId(window, probe->idPath);
  g.NavWindow = &window;
  g.NavIdIsAlive = false;
  page_.DrawSettingsPage();
  if (g.NavIdIsAlive) {
    const ImRect rect = OnScreen(window, window.NavRectRel[g.NavLayer]);
    *found = ScreenRect{rect.Min, rect.Max};
  }
  focus.Restore(g, window);
}

}  // namespace host
