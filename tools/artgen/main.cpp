// artgen: draws every picture of the program and writes the image libraries
// "LoadImg.rxf", "Messia2.rxf" and "Resource.rxf" into the given folder,
// and the panel's and the sky's pictures drawn again at 2x and 3x
// ("LoadImg2x.rxf", "LoadImg3x.rxf") for the larger interface scales, and
// the hovered objects' pictures at 2x ("Messia2-2x.rxf"; at 3x the Moon's
// phases alone would pass a library's limits).
// The output depends only on the inputs: no clock, no unseeded randomness.
//
// Usage: artgen <output folder> <messier shapes .tsv> <Chinese outline font>
//               <Chinese bitmap font> <Latin font> <Latin bold font>
#include <cstdio>
#include <string>

#include "Art.h"
#include "MessierTable.h"

namespace {
bool Write(const std::string& path, const Library& lib) {
  std::string error;
  if (!WriteImageLibrary(path, lib, error)) {
    std::fprintf(stderr, "artgen: %s\n", error.c_str());
    return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr,
                 "usage: artgen <out dir> <messier.tsv> <ming font> <bitmap font> <latin font> "
                 "<latin bold font>\n");
    return 2;
  }
  const std::string out = argv[1];
  ArtFonts fonts{argv[3], argv[4], argv[5], argv[6]};
  std::vector<MessierShape> messier;
  std::string error;
  if (!ReadMessierShapes(argv[2], messier, error)) {
    std::fprintf(stderr, "artgen: %s\n", error.c_str());
    return 1;
  }

  Library loadImg, messia, resource, panel2, panel3, messia2;
  AddSkyImages(loadImg, fonts);
  AddPanelImages(loadImg, fonts);
  AddObjectImages(messia, messier);
  AddObjectImages(messia2, messier, 2);
  AddResourceImages(resource, fonts);
  AddPanelImages(panel2, fonts, 2);
  AddPanelImages(panel3, fonts, 3);
  AddSkyImages(panel2, fonts, 2);
  AddSkyImages(panel3, fonts, 3);
  const bool ok = Write(out + "/LoadImg.rxf", loadImg) && Write(out + "/Messia2.rxf", messia) &&
                  Write(out + "/Resource.rxf", resource) &&
                  Write(out + "/LoadImg2x.rxf", panel2) && Write(out + "/LoadImg3x.rxf", panel3) &&
                  Write(out + "/Messia2-2x.rxf", messia2);
  return ok ? 0 : 1;
}
