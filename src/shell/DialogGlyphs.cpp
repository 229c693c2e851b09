#include "DialogGlyphs.h"

#include <cstdint>
#include <vector>

#include "CityTable.h"
#include "DataFolder.h"
#include "DialogViews.h"
#include "FileIo.h"
#include "FormStarTool.h"
#include "Gbk.h"
#include "Lecture.h"
#include "RecordView.h"
#include "SkyModel.h"

namespace {

const char* const HelpFileName = "帮助.txt";

}  // namespace

std::string DialogGlyphs(TSkyloom& sky) {
  const TCityTable& cities = sky.CityTable;
  std::string out;
  for (const std::string& s : DialogTexts()) out += s;
  for (int i = 1; i <= cities.CityCount; ++i) {
    out += GbkToUtf8(cities.Cities[i].Country.view());
    out += GbkToUtf8(cities.Cities[i].CityName.view());
  }
  out += StarToolGlyphs(sky);
  std::vector<uint8_t> manual;
  if (ReadFilePrefix(HelpFileName, 4u << 20, manual) == TReadResult::Ok)
    out += GbkToUtf8(std::string_view(reinterpret_cast<const char*>(manual.data()), manual.size()));
  return out;
}

std::string StarToolGlyphs(TSkyloom& sky) {
  std::string out = RecordGlyphs();
  out += "请先选择一个节目。录制视频…观星工具天文节目状态观星状态在地平线下！自动找到：步进时间步进时间设定分日年"
                    "锁定左边所选现在就找定位过程确定取消星座英文★"
                    "节目文件已不存在。这个节目无法播放：步进时间的数量应为 1 到 10000 的整数。";
  out += OwnShowMark;
  {
    TLecture scratch;  // the lists' show descriptions load here, not into the playing show
    TFormStarTool tool(sky, scratch, ShowFolder, UserShowFolder());
    tool.FormShow();  // fills both lists
    for (const TObjectItem& i : tool.ListViewConst) out += i.Caption + i.English + i.Short;
    for (int k = 0; k < static_cast<int>(tool.ListBox1.size()); ++k) {
      tool.ListBox1Click(k);
      out += tool.ListBox1[static_cast<size_t>(k)];
      for (const std::string& line : tool.Memo1) out += line;
    }
  }
  for (const char* s : {"损坏的节目", "无法打开的节目", "未知格式", "不是本版本能读取的天文节目"}) out += s;
  return out;
}
