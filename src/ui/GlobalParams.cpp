#include "GlobalParams.h"

#include <filesystem>
#include <vector>

#include "CommandCodes.h"
#include "FileIo.h"
#include "Gbk.h"
#include "LittleEndian.h"
#include "SettingsStore.h"


namespace LE = LittleEndian;

namespace {

ShortString Gbk(const char* utf8) {
  ShortString s;
  s.set(Utf8ToGbk(utf8));
  return s;
}

// The switch bytes of the file: where each is stored and its field.
struct TSwitchByte {
  size_t Offset;
  uint8_t TParameters::*Field;
};
constexpr TSwitchByte SwitchBytes[] = {
    {0, &TParameters::MusicOn},       {1, &TParameters::ReservedByte},
    {2, &TParameters::SubtitlesOn},   {11367, &TParameters::SpeechOn},
    {11368, &TParameters::FullScreen}, {11369, &TParameters::NebulaNames},
};
constexpr size_t SubtitleSpeedOffset = 3;

}  // namespace

TKeyTable DefaultKeyTable() {
  struct TDefault {
    char Key;
    const char* Caption;
    int Command, Region, LookMask;
  };
  static constexpr TDefault Defaults[] = {
      {'R', "地平线", Cmd::Ground, 9, 2},        {'F', "辅助线", Cmd::AuxLines, 10, 2},
      {'D', "星名", Cmd::StarNames, 7, 2},       {'E', "中/英文", Cmd::Language, 6, 2},
      {'C', "设置", Cmd::Settings, 8, 0},        {'V', "观星", Cmd::StarTool, 8, 0},
      {'A', "播放", Cmd::Play, 8, 0},            {'S', "停止", Cmd::Stop, 8, 0},
      {'Q', "倒放", Cmd::PlayBackward, 8, 0},    {'X', "单步前进", Cmd::StepForward, 8, 0},
      {'W', "单步后退", Cmd::StepBackward, 8, 0}, {'B', "关于", Cmd::About, 8, 0},
      {'N', "标签避让", Cmd::LabelPlacement, 8, 0}, {'G', "真实天空", Cmd::RealisticSky, 8, 0},
      {'T', "大气折射", Cmd::Refraction, 8, 0},  {'Y', "银河", Cmd::MilkyWay, 8, 0},
  };
  TKeyTable table{};
  int i = 0;
  for (const TDefault& d : Defaults) {
    TKeyEntry& e = table[i++];
    e.Enabled = 1;
    e.Key = d.Key;  // the virtual-key code of a letter is its capital
    e.Caption = Gbk(d.Caption);
    e.Command = d.Command;
    e.Region = d.Region;
    e.LookMask = d.LookMask;
  }
  return table;
}

TMenuTable DefaultMenuTable() {
  struct TDefault {
    int Shown;
    const char* Caption;
    int Command, Checked, Toggle;
  };
  // Entry 1's caption is the selected constellation's name, set whenever
  // the menu opens. Captions 2..16 are strings 101..114 of the string table.
  static constexpr TDefault Defaults[MenuTableSize + 1] = {
      {},
      {1, "", Cmd::ConstHighlight, 0, 1},
      {0, "本星座亮星名", Cmd::ConstStarNames, 0, 1},
      {1, "本星座连线", Cmd::ConstLines, 0, 1},
      {1, "本星座αβ星名", Cmd::ConstGreekNames, 0, 1},
      {0, "本星座星云名", Cmd::ConstNebulaNames, 0, 1},
      {1, "本星座边框", Cmd::ConstBoundary, 1, 1},
      {1, "-", Cmd::MenuSeparator, 0, 2},
      {1, "取消选择", Cmd::Deselect, 0, 2},
      {0, "地平线", 0, 0, 0},
      {0, "星名", 0, 0, 0},
      {0, "辅助线", 0, 0, 0},
      {0, "中/英文", 0, 0, 0},
      {0, "设置", 0, 0, 0},
      {0, "观星", 0, 0, 0},
      {0, "播放", 0, 0, 0},
      {0, "停止", 0, 0, 0},
      {}, {}, {}, {},
  };
  TMenuTable table{};
  for (int i = 1; i <= MenuTableSize; ++i) {
    const TDefault& d = Defaults[i];
    TMenuEntry& e = table[i];
    e.Shown = d.Shown;
    if (d.Caption) e.Caption = Gbk(d.Caption);
    e.Command = d.Command;
    e.Checked = static_cast<uint8_t>(d.Checked);
    e.Toggle = d.Toggle;
  }
  return table;
}

void EncodeParameters(const TParameters& params, std::span<uint8_t, ConfigFileSize> out) {
  std::fill(out.begin(), out.end(), 0);
  for (const TSwitchByte& b : SwitchBytes) LE::PutByte(out, b.Offset, params.*b.Field);
  LE::PutInt32(out, SubtitleSpeedOffset, params.SubtitleSpeed);
  for (int i = 0; i < KeyTableSize; ++i) {
    const size_t o = KeyTableOffset + i * TableEntrySize;
    const TKeyEntry& e = params.KeyTable[i];
    LE::PutInt32(out, o, e.Enabled);
    LE::PutInt32(out, o + 4, e.Key);
    LE::PutShortString(out, o + 8, e.Caption);
    LE::PutInt32(out, o + 264, e.Region);
    LE::PutInt32(out, o + 268, e.Command);
    LE::PutInt32(out, o + 272, e.LookMask);
  }
  for (int i = 0; i < MenuTableSize; ++i) {
    const size_t o = MenuTableOffset + i * TableEntrySize;
    const TMenuEntry& e = params.MenuTable[i + 1];
    LE::PutInt32(out, o, e.Shown);
    LE::PutShortString(out, o + 8, e.Caption);
    LE::PutInt32(out, o + 264, e.Reserved);
    LE::PutInt32(out, o + 268, e.Command);
    LE::PutByte(out, o + 276, e.Checked);
    LE::PutInt32(out, o + 280, e.Toggle);
  }
}

bool DecodeParameters(std::span<const uint8_t> in, TParameters& params, std::string& error) {
  if (in.size() < ConfigFileSize) {
    error = "shorter than " + std::to_string(ConfigFileSize) + " bytes (" +
            std::to_string(in.size()) + ")";
    return false;
  }
  if (in.size() > ConfigFileSize) {
    error = "longer than " + std::to_string(ConfigFileSize) + " bytes";
    return false;
  }
  for (const TSwitchByte& b : SwitchBytes) {
    if (in[b.Offset] > 1) {
      error = "byte " + std::to_string(b.Offset) + " is neither 0 nor 1";
      return false;
    }
  }
  const int32_t speed = LE::GetInt32(in, SubtitleSpeedOffset);
  if (speed < 0 || speed > 18) {
    error = "subtitle speed " + std::to_string(speed) + " outside 0..18";
    return false;
  }
  for (const TSwitchByte& b : SwitchBytes) params.*b.Field = in[b.Offset];
  params.SubtitleSpeed = speed;
  for (int i = 0; i < KeyTableSize; ++i) {
    const size_t o = KeyTableOffset + i * TableEntrySize;
    TKeyEntry& e = params.KeyTable[i];
    e.Enabled = LE::GetInt32(in, o);
    e.Key = LE::GetInt32(in, o + 4);
    e.Caption = LE::GetShortString(in, o + 8);
    e.Region = LE::GetInt32(in, o + 264);
    e.Command = LE::GetInt32(in, o + 268);
    e.LookMask = LE::GetInt32(in, o + 272);
  }
  for (int i = 0; i < MenuTableSize; ++i) {
    const size_t o = MenuTableOffset + i * TableEntrySize;
    TMenuEntry& e = params.MenuTable[i + 1];
    e.Shown = LE::GetInt32(in, o);
    e.Caption = LE::GetShortString(in, o + 8);
    e.Reserved = LE::GetInt32(in, o + 264);
    e.Command = LE::GetInt32(in, o + 268);
    e.Checked = LE::GetByte(in, o + 276);
    e.Toggle = LE::GetInt32(in, o + 280);
  }
  return true;
}

bool ReadParameters(TParameters& params, const std::string& configFolder,
                    const std::string& programFolder) {
  for (const std::string& folder : {configFolder, programFolder}) {
    if (folder.empty()) continue;
    const std::string path = (std::filesystem::path(folder) / ConfigFileName).string();
    std::vector<uint8_t> bytes;
    std::string error;
    const TReadResult r = ReadFilePrefix(path, ConfigFileSize + 1, bytes, &error);
    if (r == TReadResult::Missing) continue;
    if (r == TReadResult::Ok && DecodeParameters(bytes, params, error)) return true;
    // Damaged: the defaults for this run; the file stays until the user saves.
    Report({path, "damaged, the defaults are used", error});
    ResetParameters(params);
    return false;
  }
  return false;
}

TFileError WriteParameters(const TParameters& params, const std::string& configFolder) {
  if (configFolder.empty()) return {ConfigFileName, "cannot be written", "no config folder"};
  std::error_code ec;
  std::filesystem::create_directories(configFolder, ec);
  std::vector<uint8_t> bytes(ConfigFileSize);
  EncodeParameters(params, std::span<uint8_t, ConfigFileSize>(bytes.data(), ConfigFileSize));
  const std::string path = (std::filesystem::path(configFolder) / ConfigFileName).string();
  std::string why;
  if (WriteFileAtomic(path, bytes, &why)) return {};
  return {path, "cannot be written", why};
}

void ReadParameters(TParameters& params) { ReadParameters(params, SettingsFolder(), "."); }

bool WriteParameters(const TParameters& params) {
  const TFileError fault = WriteParameters(params, SettingsFolder());
  Report(fault);
  return !fault;
}

void ResetParameters(TParameters& params) {
  params = TParameters{};
}
