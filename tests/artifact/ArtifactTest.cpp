// Checks of the built 32-bit program that need no Windows to run it: what the
// loader, the shell and the host suite read from the file. The image checked
// is $ZTD_ARTIFACT, else the 32-bit build's program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "PeImage.h"

namespace {

using artifact::PeImage;
using artifact::ResourceId;

std::string ArtifactPath() {
  const char* path = std::getenv("ZTD_ARTIFACT");
  return path && *path ? path : ZTD_DEFAULT_ARTIFACT;
}

class Artifact : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ifstream in(ArtifactPath(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    s_bytes = bytes.str();
    s_parsed = artifact::ParsePe(s_bytes, s_image, s_error);
  }
  void SetUp() override { ASSERT_TRUE(s_parsed) << ArtifactPath() << ": " << s_error; }

  static const std::string* Resource(ResourceId type, ResourceId name) {
    const auto it = s_image.resources.find({type, name});
    return it == s_image.resources.end() ? nullptr : &it->second;
  }

  static std::string s_bytes;
  static PeImage s_image;
  static std::string s_error;
  static bool s_parsed;
};
std::string Artifact::s_bytes;
PeImage Artifact::s_image;
std::string Artifact::s_error;
bool Artifact::s_parsed = false;

std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

TEST_F(Artifact, IsA32BitLargeAddressAwareGuiProgram) {
  EXPECT_EQ(s_image.machine, 0x14c) << "not an i386 image";
  EXPECT_EQ(s_image.magic, 0x10b) << "not PE32";
  EXPECT_TRUE(s_image.characteristics & 0x20) << "not large-address-aware";
  EXPECT_EQ(s_image.subsystem, 2) << "not the GUI subsystem";
}

TEST_F(Artifact, ManifestDeclaresPerMonitorV2AndTheSupportedSystems) {
  const std::string* manifest = Resource({24, ""}, {1, ""});
  ASSERT_NE(manifest, nullptr) << "no manifest (RT_MANIFEST 1)";
  EXPECT_NE(manifest->find(">PerMonitorV2"), std::string::npos);
  EXPECT_NE(manifest->find("true/pm"), std::string::npos);
  for (const char* os : {"8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                         "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "35138b9a-5d96-4fbd-8e2d-a2440225f93a"}) {
    EXPECT_NE(manifest->find(std::string("<supportedOS Id=\"{") + os + "}\"/>"), std::string::npos) << os;
  }
  EXPECT_NE(manifest->find("asInvoker"), std::string::npos);
}

TEST_F(Artifact, CarriesItsVersionAndTheSkin) {
  const std::string* version = Resource({16, ""}, {1, ""});
  ASSERT_NE(version, nullptr) << "no version resource";
  const size_t fixed = version->find("\xBD\x04\xEF\xFE");
  ASSERT_NE(fixed, std::string::npos) << "no VS_FIXEDFILEINFO";
  ASSERT_GE(version->size(), fixed + 16);
  uint32_t ms = 0, ls = 0;
  std::memcpy(&ms, version->data() + fixed + 8, 4);
  std::memcpy(&ls, version->data() + fixed + 12, 4);
  EXPECT_EQ(ms, (uint32_t{ZTD_VERSION_MAJOR} << 16) | ZTD_VERSION_MINOR);
  EXPECT_EQ(ls, (uint32_t{ZTD_VERSION_PATCH} << 16) | ZTD_VERSION_TWEAK);
  EXPECT_NE(version->find(Utf16("OriginalFilename")), std::string::npos);
  EXPECT_NE(version->find(Utf16("ZTDScreenCapture.exe")), std::string::npos);

  const std::string* skin = Resource({0, "ZIPRES"}, {101, ""});
  ASSERT_NE(skin, nullptr) << "no skin resource ZIPRES 101";
  EXPECT_EQ(skin->compare(0, 4, "PK\x03\x04"), 0) << "the skin is not a zip archive";
  EXPECT_GT(skin->size(), 10000u);
}

TEST_F(Artifact, CarriesNoTestHooks) {
  // Window properties once published for tests, and the test builds' stand-in
  // monitor layout: neither is in the shipped program.
  for (const std::string& hook : {Utf16("ZTDPaints"), Utf16("ZTDGdiLive"), std::string("ScopedVirtualScreen")}) {
    EXPECT_EQ(s_bytes.find(hook), std::string::npos) << hook;
  }
}

TEST_F(Artifact, ImportsOnlySystemLibraries) {
  // Statically linked: nothing of the toolchain's runtime, only what every
  // Windows has. A new import must be added here on purpose.
  const std::set<std::string> system = {
      "kernel32.dll", "user32.dll",   "gdi32.dll",  "gdiplus.dll", "msimg32.dll",  "advapi32.dll",
      "shell32.dll",  "shlwapi.dll",  "version.dll", "ole32.dll",  "oleaut32.dll", "msvcrt.dll",
      "comdlg32.dll", "comctl32.dll", "dwmapi.dll", "shcore.dll",  "wtsapi32.dll", "uxtheme.dll",
      "imm32.dll",    "ws2_32.dll",   "userenv.dll", "bcrypt.dll", "ntdll.dll",  "usp10.dll"};
  EXPECT_FALSE(s_image.imports.empty());
  for (const std::string& dll : s_image.imports) {
    const bool apiSet = dll.rfind("api-ms-win-", 0) == 0;
    EXPECT_TRUE(apiSet || system.count(dll)) << dll << " is not a system library";
  }
}

}  // namespace
