// The help viewer's manual reader on any bytes in place of 帮助.txt: the
// contents, the topic tree and every topic's text, through the dialog as a
// person opens it (contents file in the private folder, each topic shown).
#include <string>

#include "FormHelp.h"
#include "FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzInputFile(data, size, "manual.txt");
  TFormHelp help(path, FuzzFolder());
  help.FormCreate();
  help.FormShow();
  const int topics = static_cast<int>(help.TreeView1.size());
  if (topics > static_cast<int>(size)) __builtin_trap();
  for (int i = 0; i < topics && i < 64; ++i) {
    help.TreeView1Change(i);
    if (help.Memo1.find('\0') != std::string::npos) __builtin_trap();
  }
  for (const THelpTopic& t : help.TreeView1)
    if (t.Title.find('\0') != std::string::npos) __builtin_trap();
  return 0;
}
