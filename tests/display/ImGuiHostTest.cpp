// The ImGui host without a window: its frame is composed over the stage in
// screenshots, clicks made within one frame count, and the pointer it sees
// is the stage pixel the events name.
#include <SDL.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include "ImGuiHost.h"
#include "Screen.h"

namespace {

SDL_Event Motion(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  return e;
}

SDL_Event Button(bool down, int x, int y) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.x = x;
  e.button.y = y;
  return e;
}

// A fixed window with one button, as a dialog would draw it.
bool DrawTestWindow() {
  ImGui::SetNextWindowPos(ImVec2(100, 100));
  ImGui::SetNextWindowSize(ImVec2(200, 100));
  ImGui::Begin("测试", nullptr, ImGuiWindowFlags_NoSavedSettings);
  ImGui::SetCursorPos(ImVec2(20, 40));
  const bool clicked = ImGui::Button("猎户座星座", ImVec2(120, 30));
  ImGui::End();
  return clicked;
}

class ImGuiHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Surface.Fill(RGB(0, 0, 0));
    Host.AddGlyphs("猎户座星座测试");
    ASSERT_TRUE(Host.Initialize(Surface));
  }
  bool Frame() {
    Host.BeginFrame();
    const bool clicked = DrawTestWindow();
    Host.EndFrame();
    return clicked;
  }
  TDXDraw Surface{800, 600};
  TImGuiHost Host;
};

TEST_F(ImGuiHostTest, ScreenshotHoldsTheOverlayOverTheStage) {
  std::vector<uint32_t> bare;
  ASSERT_TRUE(Surface.Capture(bare));
  EXPECT_EQ(bare[150 * 800 + 150] & 0xFFFFFF, 0u);
  Frame();
  Frame();  // a window appears fully from its second frame on
  ASSERT_TRUE(Host.HasDrawing());
  std::vector<uint32_t> shot;
  ASSERT_TRUE(Surface.Capture(shot));
  // Inside the window: no longer the black stage; outside: untouched.
  EXPECT_NE(shot[120 * 800 + 110] & 0xFFFFFF, 0u);
  EXPECT_EQ(shot[50 * 800 + 50] & 0xFFFFFF, 0u);
  EXPECT_EQ(shot[400 * 800 + 600] & 0xFFFFFF, 0u);
  // The Chinese caption is drawn: the button holds pixels of two colours.
  int bright = 0;
  for (int y = 145; y < 165; ++y)
    for (int x = 125; x < 235; ++x) {
      const uint32_t p = shot[y * 800 + x];
      if (((p >> 16) & 255) > 200 && ((p >> 8) & 255) > 200 && (p & 255) > 200) ++bright;
    }
  EXPECT_GT(bright, 40) << "no text on the button";
}

TEST_F(ImGuiHostTest, ClickWithinOneFrameReachesTheButton) {
  Frame();
  Frame();
  Host.ProcessEvent(Motion(180, 155));
  Frame();  // hover
  Host.ProcessEvent(Button(true, 180, 155));
  Host.ProcessEvent(Button(false, 180, 155));
  bool clicked = Frame();
  clicked = Frame() || clicked;
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(Host.WantsMouse());
}

TEST_F(ImGuiHostTest, ClickBesideTheButtonDoesNothingAndTheStageKeepsThePointer) {
  Frame();
  Frame();
  Host.ProcessEvent(Motion(500, 400));
  Frame();
  EXPECT_FALSE(Host.WantsMouse());
  EXPECT_FALSE(Host.ProcessEvent(Button(true, 500, 400)));
  Host.ProcessEvent(Button(false, 500, 400));
  EXPECT_FALSE(Frame());
  EXPECT_FALSE(Frame());
}

TEST_F(ImGuiHostTest, NothingDrawnLeavesTheStageAsItIs) {
  Host.BeginFrame();
  Host.EndFrame();
  EXPECT_FALSE(Host.HasDrawing());
  Surface.Fill(RGB(10, 20, 30));
  std::vector<uint32_t> shot;
  ASSERT_TRUE(Surface.Capture(shot));
  const TColor c = TBackBuffer::From565(TBackBuffer::To565(RGB(10, 20, 30)));
  EXPECT_EQ(shot[0], 0xFF000000u | ((c & 255) << 16) | (c & 0xFF00) | ((c >> 16) & 255));
}

}  // namespace

// A NUL among the characters asked for is no glyph: the font is built and a
// frame drawn as usual.
TEST(ImGuiHostGlyphs, ANulInTheTextsIsNoGlyph) {
  TDXDraw surface{800, 600};
  TImGuiHost host;
  host.AddGlyphs(std::string_view("猎户\0座", 10));
  ASSERT_TRUE(host.Initialize(surface));
  host.BeginFrame();
  DrawTestWindow();
  host.EndFrame();
  EXPECT_TRUE(host.HasDrawing());
}
