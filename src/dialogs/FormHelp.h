// TFormHelp ("使用说明"): the help viewer. A tree of topics on the left, the
// chosen topic's text on the right, both from the manual "帮助.txt" (GBK,
// CR LF):
//   - a line whose first character is '-' is a comment, ignored everywhere;
//   - a line that begins with "LIST" (any case) starts a topic; its title is
//     the text from the 8th byte on (at most 100 bytes, cut at a character
//     boundary); each blank at the start of the title puts it one level
//     deeper in the tree; blanks at its end are ignored;
//   - every other line is a line of the current topic's body; lines before
//     the first topic are never shown.
// The topic titles go through a contents file, "Content.txt", written into a
// private folder made for the run and read back into the tree.
#pragma once

#include <string>
#include <vector>

struct THelpTopic {
  std::string Title;  // UTF-8, blanks trimmed
  int Depth = 0;      // 0 top level; at most one deeper than the topic before
};

// The contents lines of a manual (GBK): one per topic, leading blanks kept,
// trailing blanks removed.
std::vector<std::string> ManualContents(const std::string& manual);
// The tree read from contents lines.
std::vector<THelpTopic> TopicsFromContents(const std::vector<std::string>& lines);
// The lines of topic n (1-based, in file order) as the viewer shows them:
// the title, an empty line, then each body line followed by an empty line.
// Empty when there is no topic n.
std::vector<std::string> TopicText(const std::string& manual, int n);

class TFormHelp {
 public:
  // `helpFile` is the manual; `tempFolder` the run's private folder (empty:
  // no contents file can be written, the tree stays empty).
  TFormHelp(std::string helpFile, std::string tempFolder);

  // Builds the contents file and the tree. A missing manual gives an empty
  // tree and no message; an unreadable manual or a contents file that cannot
  // be written gives a message in Message (for a message box and stderr).
  void FormCreate();
  void FormShow();                 // topic 1
  void TreeView1Change(int index); // the node at absolute index (0-based) was chosen
  void Close() { Open = false; }

  std::string HelpFile, ContentsFile;
  std::vector<THelpTopic> TreeView1;
  int Selected = -1;               // absolute index of the chosen node
  std::vector<std::string> TopicLines;  // GBK lines of the shown topic
  std::string Memo1;               // UTF-8 text of TopicLines, lines joined by '\n'
  bool Open = false;
  std::string Message;             // a reading or writing problem, for a message box

  static std::vector<std::string> Captions();

 private:
  bool ReadManual(std::string& text, bool quietWhenMissing);
  void ShowTopic(int n);

  std::string tempFolder_;
};
