// Every character the dialogs can show — their captions and messages, the
// country and city names, the whole manual — has a glyph in the dialog font
// as the ImGui host builds it, so no dialog shows an empty box.
#include <gtest/gtest.h>
#include <unistd.h>

#include <imgui.h>

#include <set>
#include <string>

#include "CityTable.h"
#include "DialogGlyphs.h"
#include "FileIo.h"
#include "FormSky.h"
#include "Gbk.h"
#include "SkyModel.h"

namespace {

// The code points of UTF-8 text (the texts are valid UTF-8: converted from
// GBK or written in the source).
std::set<unsigned> CodePoints(const std::string& utf8) {
  std::set<unsigned> out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    unsigned c = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n && i + k < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += n;
    if (c > ' ' && c != 0xFFFD) out.insert(c);
  }
  return out;
}

std::string Utf8Of(unsigned c) {
  std::string s;
  if (c < 0x80) {
    s += char(c);
  } else if (c < 0x800) {
    s += char(0xC0 | (c >> 6));
    s += char(0x80 | (c & 0x3F));
  } else {
    s += char(0xE0 | (c >> 12));
    s += char(0x80 | ((c >> 6) & 0x3F));
    s += char(0x80 | (c & 0x3F));
  }
  return s;
}

TEST(DialogFont, CoversEveryDialogTextCityAndTheManual) {
  ASSERT_EQ(::chdir(SKYLOOM_RUNTIME_DIR), 0);
  const std::unique_ptr<TSkyloom> model = CreateSkyModel(1);
  {
    TFormSky form(*model);
    form.FormCreate();
    ASSERT_GT(model->CityTable.CityCount, 700);
    const std::string texts = DialogGlyphs(*model);
    // The manual is part of what is checked.
    std::vector<uint8_t> manual;
    ASSERT_EQ(ReadFilePrefix("帮助.txt", 1 << 22, manual), TReadResult::Ok);
    const std::string manualText =
        GbkToUtf8(std::string_view(reinterpret_cast<const char*>(manual.data()), manual.size()));
    EXPECT_NE(texts.find(manualText.substr(0, 60)), std::string::npos);
    EXPECT_NE(texts.find("上海"), std::string::npos);
    EXPECT_NE(texts.find("梅西耶星云星团名"), std::string::npos);

    form.StartImGui();
    ASSERT_TRUE(form.ImGuiHost.Ready());
    const ImFont* font = form.ImGuiHost.DialogFont();
    ASSERT_NE(font, nullptr);
    std::string missing;
    const std::set<unsigned> points = CodePoints(texts);
    EXPECT_GT(points.size(), 1000u);
    for (unsigned c : points) {
      if (!font->FindGlyphNoFallback(static_cast<ImWchar>(c))) {
        missing += Utf8Of(c);
      }
    }
    EXPECT_EQ(missing, "") << "characters without a glyph in the dialog font";
  }
}

}  // namespace
