// skyloom-milkywayc TABLE OUT: compiles the Milky Way component table into
// the brightness map the program draws from.
#include <cstdio>
#include <string>
#include <vector>

#include "FileIo.h"
#include "MilkyWay.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skyloom-milkywayc TABLE.tsv OUT.dat\n");
    return 2;
  }
  constexpr size_t MaxTable = 1 << 20;
  std::string text, error;
  if (!ReadTextFile(argv[1], MaxTable, text, &error)) {
    ReportFile(argv[1], "cannot be read", error, "skyloom-milkywayc");
    return 1;
  }
  std::vector<TMilkyWayComponent> table;
  if (!ParseMilkyWayTable(text, table, error)) {
    ReportFile(argv[1], "not a Milky Way table", error, "skyloom-milkywayc");
    return 1;
  }
  if (!WriteFileAtomic(argv[2], EncodeMilkyWay(BuildMilkyWayMap(table)), &error)) {
    ReportFile(argv[2], "cannot be written", error, "skyloom-milkywayc");
    return 1;
  }
  return 0;
}
