#include "ImGuiHost.h"

#include <SDL.h>
#include <imgui.h>
#include <imgui_freetype.h>
#include <imgui_impl_sdlrenderer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <malloc.h>
#include <vector>

#include "FileIo.h"

namespace {

// Song-style bitmap faces, crisp at their own sizes at scale 1; the
// scalable Ming face is the fallback where the bitmap fonts are not
// installed, and the face of every larger scale, rasterised at the scaled
// size (a bitmap face enlarged would be blurred or blocky).
struct TFace {
  const char* File;
  float Pixels;  // at scale 1
  bool Scalable;
};
const char* const MingFile = "/usr/share/fonts/truetype/arphic/uming.ttc";
const TFace DialogFaces[] = {{"/usr/share/fonts/X11/misc/wenquanyi_9pt.pcf", 12.0f, false},
                             {MingFile, 12.0f, true}};
const TFace TitleFaces[] = {{"/usr/share/fonts/X11/misc/wenquanyi_13px.pcf", 14.0f, false},
                            {MingFile, 14.0f, true}};
// Bounds the font file read into memory.
constexpr size_t MaxFontBytes = size_t(64) << 20;

int MouseIndex(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    case SDL_BUTTON_X2: return 4;
    default: return -1;
  }
}

void MapKeys(ImGuiIO& io) {
  io.KeyMap[ImGuiKey_Tab] = SDL_SCANCODE_TAB;
  io.KeyMap[ImGuiKey_LeftArrow] = SDL_SCANCODE_LEFT;
  io.KeyMap[ImGuiKey_RightArrow] = SDL_SCANCODE_RIGHT;
  io.KeyMap[ImGuiKey_UpArrow] = SDL_SCANCODE_UP;
  io.KeyMap[ImGuiKey_DownArrow] = SDL_SCANCODE_DOWN;
  io.KeyMap[ImGuiKey_PageUp] = SDL_SCANCODE_PAGEUP;
  io.KeyMap[ImGuiKey_PageDown] = SDL_SCANCODE_PAGEDOWN;
  io.KeyMap[ImGuiKey_Home] = SDL_SCANCODE_HOME;
  io.KeyMap[ImGuiKey_End] = SDL_SCANCODE_END;
  io.KeyMap[ImGuiKey_Insert] = SDL_SCANCODE_INSERT;
  io.KeyMap[ImGuiKey_Delete] = SDL_SCANCODE_DELETE;
  io.KeyMap[ImGuiKey_Backspace] = SDL_SCANCODE_BACKSPACE;
  io.KeyMap[ImGuiKey_Space] = SDL_SCANCODE_SPACE;
  io.KeyMap[ImGuiKey_Enter] = SDL_SCANCODE_RETURN;
  io.KeyMap[ImGuiKey_Escape] = SDL_SCANCODE_ESCAPE;
  io.KeyMap[ImGuiKey_KeyPadEnter] = SDL_SCANCODE_KP_ENTER;
  io.KeyMap[ImGuiKey_A] = SDL_SCANCODE_A;
  io.KeyMap[ImGuiKey_C] = SDL_SCANCODE_C;
  io.KeyMap[ImGuiKey_V] = SDL_SCANCODE_V;
  io.KeyMap[ImGuiKey_X] = SDL_SCANCODE_X;
  io.KeyMap[ImGuiKey_Y] = SDL_SCANCODE_Y;
  io.KeyMap[ImGuiKey_Z] = SDL_SCANCODE_Z;
}

// The user data is the host's slot for the last text SDL handed out (a
// copy that must be freed).
const char* GetClipboard(void* user) {
  char*& last = *static_cast<char**>(user);
  if (last) SDL_free(last);
  last = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetClipboardText() : nullptr;
  return last ? last : "";
}

void SetClipboard(void*, const char* text) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetClipboardText(text);
}

// The planetarium's look: dark blue windows, opaque menus; its sizes at
// the interface scale, scaled once from the sizes at scale 1.
void SetStyle(float scale) {
  ImGuiStyle style;
  ImGui::StyleColorsDark(&style);
  style.WindowRounding = 2.0f;
  style.FrameRounding = 2.0f;
  style.PopupRounding = 2.0f;
  style.WindowBorderSize = 1.0f;
  style.PopupBorderSize = 1.0f;
  style.ItemSpacing = ImVec2(8, 4);
  ImVec4* c = style.Colors;
  c[ImGuiCol_WindowBg] = ImVec4(0.08f, 0.10f, 0.20f, 1.00f);
  c[ImGuiCol_PopupBg] = ImVec4(0.10f, 0.12f, 0.24f, 1.00f);
  c[ImGuiCol_TitleBgActive] = ImVec4(0.16f, 0.24f, 0.48f, 1.00f);
  c[ImGuiCol_Header] = ImVec4(0.22f, 0.34f, 0.62f, 0.80f);
  c[ImGuiCol_HeaderHovered] = ImVec4(0.30f, 0.44f, 0.80f, 1.00f);
  c[ImGuiCol_Border] = ImVec4(0.55f, 0.60f, 0.80f, 0.80f);
  if (scale != 1.0f) style.ScaleAllSizes(scale);
  ImGui::GetStyle() = style;
}

// Lets go of the font atlas's pixels once a texture holds them, and gives
// the memory back to the system: an atlas at a large scale takes tens of
// megabytes, which the allocator would otherwise keep.
void ReleaseAtlasPixels() {
  ImGui::GetIO().Fonts->ClearTexData();
  malloc_trim(0);
}

}  // namespace

TImGuiHost::TImGuiHost() = default;

TImGuiHost::~TImGuiHost() { Shutdown(); }

void TImGuiHost::AddGlyphs(std::string_view utf8) {
  // Character 0 in the glyph list breaks the font atlas; a NUL is no glyph.
  for (char c : utf8)
    if (c != '\0') extraGlyphs_ += c;
}

void TImGuiHost::AddTitleGlyphs(std::string_view utf8) {
  for (char c : utf8)
    if (c != '\0') titleGlyphs_ += c;
}

void TImGuiHost::BuildFonts() {
  ImGuiIO& io = ImGui::GetIO();
  io.Fonts->Clear();
  io.Fonts->FontBuilderIO = ImGuiFreeType::GetBuilderForFreeType();
  io.Fonts->FontBuilderFlags = 0;
  // The common Simplified Chinese set, Latin, Greek, the degree sign and
  // every character the interface asked for. The atlas is built right here,
  // so the ranges need not outlive this function.
  ImFontGlyphRangesBuilder builder;
  builder.AddRanges(io.Fonts->GetGlyphRangesChineseSimplifiedCommon());
  static const ImWchar extra[] = {0x00A0, 0x00FF, 0x0391, 0x03C9, 0x2010, 0x2027,
                                  0x3000, 0x303F, 0xFF00, 0xFFEF, 0};
  builder.AddRanges(extra);
  builder.AddText(extraGlyphs_.data(), extraGlyphs_.data() + extraGlyphs_.size());
  ImVector<ImWchar> ranges;
  builder.BuildRanges(&ranges);
  // The titles' font: a few characters at a larger size, kept out of the
  // whole set so that the atlas stays small at large scales.
  ImFontGlyphRangesBuilder titleBuilder;
  titleBuilder.AddRanges(io.Fonts->GetGlyphRangesDefault());
  titleBuilder.AddRanges(extra);
  titleBuilder.AddText(titleGlyphs_.data(), titleGlyphs_.data() + titleGlyphs_.size());
  ImVector<ImWchar> titleRanges;
  titleBuilder.BuildRanges(&titleRanges);

  // Each font file is read once, whatever number of sizes come from it,
  // and let go of once the atlas is built.
  struct TLoaded {
    const char* File;
    std::vector<uint8_t> Bytes;
  };
  std::vector<TLoaded> loaded;
  loaded.reserve(4);
  auto bytesOf = [&](const char* file) -> std::vector<uint8_t>* {
    for (TLoaded& l : loaded)
      if (l.File == file) return l.Bytes.empty() ? nullptr : &l.Bytes;
    loaded.push_back({file, {}});
    if (ReadWholeFile(file, MaxFontBytes, loaded.back().Bytes) != TReadResult::Ok)
      loaded.back().Bytes.clear();
    return loaded.back().Bytes.empty() ? nullptr : &loaded.back().Bytes;
  };
  const bool scaled = scale_ != 1.0f;
  auto add = [&](const TFace* faces, int count, const ImWchar* glyphs) -> ImFont* {
    // At scale 1 the bitmap face comes first; at a larger one the scalable.
    for (int pass = 0; pass < 2; ++pass) {
      for (int i = 0; i < count; ++i) {
        const TFace& face = faces[i];
        if ((face.Scalable == scaled) != (pass == 0)) continue;
        std::vector<uint8_t>* bytes = bytesOf(face.File);
        if (!bytes) continue;
        ImFontConfig config;
        config.FontDataOwnedByAtlas = false;
        config.OversampleH = config.OversampleV = 1;
        config.PixelSnapH = true;
        float pixels = face.Pixels;
        if (scaled && face.Scalable) {
          // Smooth outlines, lightly hinted: crisp hanzi at any size.
          pixels = std::round(face.Pixels * scale_);
          config.FontBuilderFlags = ImGuiFreeTypeBuilderFlags_LightHinting;
        } else {
          config.FontBuilderFlags = ImGuiFreeTypeBuilderFlags_Bitmap |
                                    ImGuiFreeTypeBuilderFlags_MonoHinting |
                                    ImGuiFreeTypeBuilderFlags_Monochrome;
        }
        ImFont* f = io.Fonts->AddFontFromMemoryTTF(bytes->data(), static_cast<int>(bytes->size()),
                                                   pixels, &config, glyphs);
        if (f) return f;
      }
    }
    return nullptr;
  };
  dialogFont_ = add(DialogFaces, 2, ranges.Data);
  titleFont_ = add(TitleFaces, 2, titleRanges.Data);
  if (!dialogFont_) {
    Report({"", "no Chinese font for the dialogs", "install xfonts-wqy"});
    dialogFont_ = io.Fonts->AddFontDefault();
  }
  if (!titleFont_) titleFont_ = dialogFont_;
  if (!io.Fonts->Build()) {
    Report({"", "the dialog font could not be built", ""});
    io.Fonts->Clear();
    dialogFont_ = titleFont_ = io.Fonts->AddFontDefault();
    io.Fonts->Build();
  }
  // The glyphs are in the atlas now: the font files need not stay in
  // memory. Once a texture is made of them, the atlas's pixels go too.
  io.Fonts->ClearInputData();
  io.FontDefault = dialogFont_;
}

void TImGuiHost::SetScale(double scale) {
  wantedScale_ = static_cast<float>(std::clamp(scale, 1.0, 3.0));
}

void TImGuiHost::ApplyScale() {
  scale_ = wantedScale_;
  SetStyle(scale_);
  BuildFonts();
  if (bound_) {
    ImGui_ImplSDLRenderer_DestroyFontsTexture();
    ImGui_ImplSDLRenderer_CreateFontsTexture();
    ReleaseAtlasPixels();  // the texture holds the glyphs now
  }
  // The last frame names the old texture and its glyphs: it is not drawn
  // again; the next frame is built with the new fonts.
  framed_ = false;
}

bool TImGuiHost::Initialize(TDXDraw& surface) {
  surface_ = &surface;
  if (!context_) {
    IMGUI_CHECKVERSION();
    context_ = ImGui::CreateContext();
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing is written behind the user's back
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;  // the form owns the cursor
    io.BackendPlatformName = "skyloom";
    io.DisplaySize = ImVec2(static_cast<float>(surface.Width()),
                            static_cast<float>(surface.Height()));
    io.SetClipboardTextFn = SetClipboard;
    io.GetClipboardTextFn = GetClipboard;
    io.ClipboardUserData = &clipboard_;
    io.UserData = this;  // Px() finds the scale here
    MapKeys(io);
    scale_ = wantedScale_;
    SetStyle(scale_);
    BuildFonts();
  }
  ImGui::SetCurrentContext(context_);
  surface.SetOverlay(this);
  Bind(surface.OverlayRenderer());
  return bound_ != nullptr;
}

void TImGuiHost::Bind(SDL_Renderer* renderer) {
  if (!context_ || renderer == bound_) return;
  ImGui::SetCurrentContext(context_);
  const ImTextureID old = ImGui::GetIO().Fonts->TexID;
  if (bound_) ImGui_ImplSDLRenderer_Shutdown();
  bound_ = renderer;
  if (!bound_) return;
  ImGui_ImplSDLRenderer_Init(bound_);
  // The atlas's pixels went once the last texture was made: built again
  // from the same fonts, glyph for glyph where they were.
  if (!ImGui::GetIO().Fonts->TexPixelsAlpha8) BuildFonts();
  ImGui_ImplSDLRenderer_CreateDeviceObjects();
  ReleaseAtlasPixels();
  // A frame built before the renderer changed still names the old font
  // texture; point it at the new one.
  const ImTextureID now = ImGui::GetIO().Fonts->TexID;
  if (ImDrawData* d = ImGui::GetDrawData()) {
    for (int n = 0; n < d->CmdListsCount; ++n)
      for (ImDrawCmd& cmd : d->CmdLists[n]->CmdBuffer)
        if (cmd.TextureId == old) cmd.TextureId = now;
  }
}

void TImGuiHost::Shutdown() {
  if (!context_) return;
  ImGui::SetCurrentContext(context_);
  if (inFrame_) ImGui::EndFrame();
  inFrame_ = false;
  if (bound_) ImGui_ImplSDLRenderer_Shutdown();
  bound_ = nullptr;
  if (surface_ && surface_->Overlay() == this) surface_->SetOverlay(nullptr);
  ImGui::DestroyContext(context_);
  context_ = nullptr;
  if (clipboard_) SDL_free(clipboard_);
  clipboard_ = nullptr;
  framed_ = false;
}

bool TImGuiHost::ProcessEvent(const SDL_Event& e) {
  if (!context_) return false;
  ImGui::SetCurrentContext(context_);
  ImGuiIO& io = ImGui::GetIO();
  switch (e.type) {
    case SDL_MOUSEMOTION:
      // Pointer events arrive in stage pixels: the renderer's logical size
      // converts them, letterbox included, and scripts give stage pixels.
      Queue({-1, false, static_cast<float>(e.motion.x), static_cast<float>(e.motion.y)});
      return io.WantCaptureMouse;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const float x = static_cast<float>(e.button.x), y = static_cast<float>(e.button.y);
      Queue({-1, false, x, y});
      const int b = MouseIndex(e.button.button);
      if (b >= 0) Queue({b, e.type == SDL_MOUSEBUTTONDOWN, x, y});
      return io.WantCaptureMouse;
    }
    case SDL_MOUSEWHEEL:
      io.MouseWheel += static_cast<float>(e.wheel.y);
      io.MouseWheelH += static_cast<float>(e.wheel.x);
      return io.WantCaptureMouse;
    case SDL_TEXTINPUT:
      io.AddInputCharactersUTF8(e.text.text);
      return io.WantTextInput;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const int code = e.key.keysym.scancode;
      if (code >= 0 && code < KeyCount) {
        keyDown_[code] = e.type == SDL_KEYDOWN;
        if (keyDown_[code]) keyLatched_[code] = true;
      }
      return io.WantCaptureKeyboard;
    }
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        for (bool& k : io.KeysDown) k = false;
        for (bool& k : keyDown_) k = false;
        for (bool& b : io.MouseDown) b = false;
        queued_ = 0;
        io.KeyShift = io.KeyCtrl = io.KeyAlt = io.KeySuper = false;
      }
      if (e.window.event == SDL_WINDOWEVENT_LEAVE) io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
      return false;
    default:
      return false;
  }
}

void TImGuiHost::Queue(const TPointerEvent& e) {
  if (queued_ == QueueSize) {
    // Far behind: the oldest event is applied at once.
    ImGuiIO& io = ImGui::GetIO();
    const TPointerEvent& old = queue_[0];
    io.MousePos = ImVec2(old.X, old.Y);
    if (old.Button >= 0) io.MouseDown[old.Button] = old.Down;
    for (int i = 1; i < queued_; ++i) queue_[i - 1] = queue_[i];
    --queued_;
  }
  // Successive moves merge into the last one.
  if (e.Button < 0 && queued_ > 0 && queue_[queued_ - 1].Button < 0) {
    queue_[queued_ - 1] = e;
    return;
  }
  queue_[queued_++] = e;
}

void TImGuiHost::ApplyQueued() {
  ImGuiIO& io = ImGui::GetIO();
  bool moved = false;
  int used = 0;
  for (; used < queued_; ++used) {
    const TPointerEvent& e = queue_[used];
    if (e.Button < 0) {
      const ImVec2 pos(e.X, e.Y);
      moved = moved || pos.x != io.MousePos.x || pos.y != io.MousePos.y;
      io.MousePos = pos;
      continue;
    }
    if (moved) break;  // the press or release comes in the next frame
    io.MouseDown[e.Button] = e.Down;
    ++used;
    break;
  }
  for (int i = used; i < queued_; ++i) queue_[i - used] = queue_[i];
  queued_ -= used;
}

bool TImGuiHost::WantsMouse() const {
  if (!context_) return false;
  ImGui::SetCurrentContext(context_);
  return ImGui::GetIO().WantCaptureMouse;
}

bool TImGuiHost::WantsKeyboard() const {
  if (!context_) return false;
  ImGui::SetCurrentContext(context_);
  return ImGui::GetIO().WantCaptureKeyboard;
}

void TImGuiHost::BeginFrame(double deltaSeconds) {
  if (!context_ || inFrame_) return;
  ImGui::SetCurrentContext(context_);
  if (surface_) Bind(surface_->OverlayRenderer());
  // Between frames: the fonts and their texture may be rebuilt here.
  if (wantedScale_ != scale_) ApplyScale();
  // A texture that could not be made is tried again from a new atlas.
  if (bound_ && !ImGui::GetIO().Fonts->TexID && !ImGui::GetIO().Fonts->TexPixelsAlpha8)
    BuildFonts();
  if (bound_) ImGui_ImplSDLRenderer_NewFrame();
  ImGuiIO& io = ImGui::GetIO();
  if (surface_)
    io.DisplaySize = ImVec2(static_cast<float>(surface_->Width()),
                            static_cast<float>(surface_->Height()));
  io.DisplayFramebufferScale = ImVec2(1, 1);
  const unsigned long long now = SDL_GetTicks64();
  if (deltaSeconds <= 0) {
    deltaSeconds = lastTicks_ && now > lastTicks_ ? (now - lastTicks_) / 1000.0 : 1.0 / 30.0;
  }
  lastTicks_ = now;
  io.DeltaTime = static_cast<float>(deltaSeconds);
  // A key tapped between two frames is still pressed for one (Esc, Enter,
  // Tab); pointer events are taken from their queue.
  for (int k = 0; k < KeyCount; ++k) {
    io.KeysDown[k] = keyDown_[k] || keyLatched_[k];
    keyLatched_[k] = false;
  }
  ApplyQueued();
  // The modifiers as the keys of this frame: Ctrl+A tapped between two
  // frames still selects all.
  const auto down = [&io](SDL_Scancode a, SDL_Scancode b) { return io.KeysDown[a] || io.KeysDown[b]; };
  io.KeyShift = down(SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT);
  io.KeyCtrl = down(SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL);
  io.KeyAlt = down(SDL_SCANCODE_LALT, SDL_SCANCODE_RALT);
  io.KeySuper = down(SDL_SCANCODE_LGUI, SDL_SCANCODE_RGUI);
  ImGui::NewFrame();
  inFrame_ = true;
}

void TImGuiHost::EndFrame() {
  if (!context_ || !inFrame_) return;
  ImGui::SetCurrentContext(context_);
  ImGui::Render();
  caret_ = ImGui::GetIO().WantTextInput;
  inFrame_ = false;
  framed_ = true;
}

bool TImGuiHost::WantsFrame() const {
  if (!context_) return false;
  for (bool down : keyDown_)
    if (down) return true;
  ImGui::SetCurrentContext(context_);
  for (bool down : ImGui::GetIO().MouseDown)
    if (down) return true;
  constexpr unsigned long long CaretPeriodMs = 500;
  return caret_ && SDL_GetTicks64() - lastTicks_ >= CaretPeriodMs;
}

bool TImGuiHost::HasDrawing() const {
  if (!context_ || !framed_) return false;
  ImGui::SetCurrentContext(context_);
  const ImDrawData* d = ImGui::GetDrawData();
  return d && d->Valid && d->TotalVtxCount > 0;
}

void TImGuiHost::Draw(SDL_Renderer* renderer) {
  if (!HasDrawing() || !renderer) return;
  ImGui::SetCurrentContext(context_);
  Bind(renderer);
  if (bound_) ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
}

float ImGuiScale() {
  if (!ImGui::GetCurrentContext()) return 1.0f;
  const auto* host = static_cast<const TImGuiHost*>(ImGui::GetIO().UserData);
  return host ? host->Scale() : 1.0f;
}

float Px(float pixelsAtOne) { return std::round(pixelsAtOne * ImGuiScale()); }
