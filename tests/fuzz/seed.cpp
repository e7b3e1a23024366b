// Writes seed archives for the fuzzer into the folder given as argument.
#include <fstream>
#include <string>

#include "../native/ZipBuilder.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string folder = argv[1];
  const std::string layout = "<Window><Font id=\"1\" size=\"14\"/><CaptureContain name=\"background\"/></Window>";
  std::ofstream(folder + "/two.zip", std::ios::binary)
      << ziptest::Build({{"CaptureWindow.xml", layout, true}, {"Res/a.png", std::string(300, 'p'), false}});
  std::ofstream(folder + "/empty.zip", std::ios::binary) << ziptest::Build({});
  return 0;
}
