#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZipBuilder.h"
#include "core/ZipArchive.h"

using namespace ScreenCapture;

static std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(ZipArchive, ReadsStoredAndDeflatedEntries) {
  const std::string layout = "<Window><Font id=\"1\" name=\"\xE5\xBE\xAE\" size=\"14\"/></Window>";
  const std::string image(5000, '\x7F');
  const std::vector<uint8_t> zip = Bytes(ziptest::Build({{"CaptureWindow.xml", layout, true},
                                                         {"Res/", "", false},
                                                         {"Res/panel@150.png", image, false},
                                                         {"Res/empty.txt", "", true}}));
  ZipArchive archive;
  std::string error;
  ASSERT_TRUE(archive.Open(zip.data(), zip.size(), &error)) << error;
  EXPECT_EQ(archive.Entries().size(), 3u);  // the folder entry is skipped
  std::vector<uint8_t> out;
  EXPECT_EQ(archive.Read("CaptureWindow.xml", out), ZipArchive::Status::kOk);
  EXPECT_EQ(std::string(out.begin(), out.end()), layout);
  EXPECT_EQ(archive.Read("res\\PANEL@150.PNG", out), ZipArchive::Status::kOk);  // any case, either slash
  EXPECT_EQ(out.size(), 5000u);
  EXPECT_EQ(archive.Read("Res/empty.txt", out), ZipArchive::Status::kOk);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(archive.Read("Res/missing.png", out, &error), ZipArchive::Status::kMissing);
}

TEST(ZipArchive, DamagedArchivesFailCleanly) {
  const std::string text(3000, 'a');
  const std::string good = ziptest::Build({{"a.xml", text + "tail", true}, {"b.bin", "stored", false}});
  ZipArchive archive;
  std::vector<uint8_t> out;

  EXPECT_FALSE(archive.Open(nullptr, 0));
  EXPECT_FALSE(archive.Open(reinterpret_cast<const uint8_t*>("PK"), 2));

  // A flipped byte in the compressed data: damaged or checksum mismatch.
  std::string flipped = good;
  flipped[40] = static_cast<char>(flipped[40] ^ 0x55);
  std::vector<uint8_t> bytes = Bytes(flipped);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kCorrupt);
  EXPECT_TRUE(out.empty());

  // Sizes that lie: a stated size larger than the data, and an absurd one.
  std::string lying = good;
  const size_t directory = lying.find("PK\x01\x02");
  ASSERT_NE(directory, std::string::npos);
  lying[directory + 24] = static_cast<char>(lying[directory + 24] + 1);  // uncompressed size + 1
  bytes = Bytes(lying);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kCorrupt);
  lying[directory + 27] = '\x7F';
  bytes = Bytes(lying);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kTooLarge);

  // An unknown compression method.
  std::string method = good;
  method[directory + 10] = 14;
  bytes = Bytes(method);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kUnsupported);

  // A local header offset pointing past the end.
  std::string offset = good;
  offset[directory + 45] = '\x40';
  bytes = Bytes(offset);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kCorrupt);
}
