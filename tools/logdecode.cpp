// Turns a scrambled log (".logdat") back into plain lines.
//   logdecode FILE...      print every record of each file
//   logdecode -            read the records from standard input
// Exit code 0 when every file decoded whole, 1 when a file ends inside a
// record (the whole records before it are still printed), 2 on a read error.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "core/LogRecord.h"

namespace {

int DecodeStream(std::istream& in, const std::string& name) {
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const ScreenCapture::DecodedRecords decoded = ScreenCapture::DecodeRecords(data);
  for (const std::string& line : decoded.lines) {
    std::cout << line;
    if (line.empty() || line.back() != '\n') std::cout << '\n';
  }
  if (!decoded.complete) {
    std::cerr << "logdecode: " << name << ": truncated record at byte " << decoded.consumed << " of "
              << data.size() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: logdecode FILE... (or - for standard input)\n";
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    int result = 0;
    if (name == "-") {
      result = DecodeStream(std::cin, "stdin");
    } else {
      std::ifstream file(name, std::ios::binary);
      if (!file) {
        std::cerr << "logdecode: cannot read " << name << "\n";
        result = 2;
      } else {
        result = DecodeStream(file, name);
      }
    }
    if (result > status) status = result;
  }
  return status;
}
