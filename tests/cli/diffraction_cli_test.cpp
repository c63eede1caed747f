#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "support/cli_run.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

using test::CliRun;
using test::runCli;
const std::string kExample = test::exampleDocument().string();

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(text.substr(start, end - start));
  return out;
}

TEST(DiffractionCli, PowderWritesListingCsvProfileAndPicture) {
  test::ScratchDir dir;
  const CliRun r = runCli({"powder", kExample, "--mode", "doublet", "--two-theta", "10", "40", "--listing",
                           dir.file("LIST.OUT"), "--csv", dir.file("p.csv"), "--xy", dir.file("p.xy"), "--image",
                           dir.file("p.svg")});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<std::string> listing = lines(test::readFile(dir.file("LIST.OUT")));
  const std::vector<std::string> csv = lines(test::readFile(dir.file("p.csv")));
  EXPECT_EQ(csv[0], "h,k,l,d,abs_f,phase,multiplicity,two_theta_1,intensity_1,two_theta_2,intensity_2");
  EXPECT_EQ(csv.size(), listing.size() - 5);  // four heading lines and a blank line
  EXPECT_EQ(listing[1], "Lambda(1):  1.54051  Lambda(2):  1.54433  Magnif:   1.0  FWHM:  0.200");
  EXPECT_EQ(r.out, "Reflections: " + std::to_string(csv.size() - 1) + "\n");
  EXPECT_EQ(lines(test::readFile(dir.file("p.xy"))).size(), 1501u);
  EXPECT_NE(test::readFile(dir.file("p.svg")).find("</svg>"), std::string::npos);
  // One wavelength: the last two columns stay empty.
  ASSERT_EQ(runCli({"powder", kExample, "--csv", dir.file("q.csv")}).code, 0);
  EXPECT_EQ(lines(test::readFile(dir.file("q.csv")))[1].substr(0, 6), "0,1,2,");
  EXPECT_EQ(lines(test::readFile(dir.file("q.csv")))[1].back(), ',');
  // Without an output file the listing is printed.
  EXPECT_EQ(lines(runCli({"powder", kExample, "--mode", "neutron", "--wavelength", "1.2"}).out)[1],
            "Neutron - lambda:  1.20000  Magnif:   1.0  FWHM:  0.200");
}

TEST(DiffractionCli, PrecessionSpotsAndRefusals) {
  test::ScratchDir dir;
  const CliRun r = runCli({"precession", kExample, "--normal", "a", "--level", "1", "--extinctions", "--spots",
                           dir.file("s.csv"), "--image", dir.file("s.svg")});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<std::string> spots = lines(test::readFile(dir.file("s.csv")));
  EXPECT_EQ(spots[0], "h,k,l,x_mm,y_mm,radius_mm");
  EXPECT_EQ(spots[1].substr(0, 2), "1,");
  EXPECT_EQ(lines(r.out)[1].substr(0, 41), "Hor. axis: b*  Other axis: c*  Level: 1  ");
  EXPECT_EQ(lines(r.out)[3], "Spots: " + std::to_string(spots.size() - 1));
  EXPECT_EQ(runCli({"precession", kExample, "--level", "101"}).code, 2);
  EXPECT_EQ(runCli({"powder", kExample, "--image", dir.file("p.png")}).code, 2);
  EXPECT_EQ(runCli({"powder", kExample, "--target", "Xx"}).code, 2);
  // --new runs the stored transformation first.
  const CliRun n = runCli({"precession", kExample, "--new"});
  ASSERT_EQ(n.code, 0) << n.err;
  EXPECT_EQ(lines(n.out)[0].substr(0, 11), "New atoms: ");
}

std::uint32_t u32At(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b.at(at + static_cast<std::size_t>(i)));
  return v;
}
std::uint16_t u16At(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b.at(at)) | static_cast<std::uint8_t>(b.at(at + 1)) << 8);
}

/// The colours of the pens a Windows metafile (its bits from `start`) creates.
std::vector<std::uint32_t> wmfPenColours(const std::string& b, std::size_t start) {
  std::vector<std::uint32_t> colours;
  for (std::size_t at = start + 18; at + 6 <= b.size();) {
    const std::size_t words = u32At(b, at);
    if (words < 3) break;
    if (u16At(b, at + 4) == 0x02FA) colours.push_back(u32At(b, at + 12));
    at += words * 2;
  }
  return colours;
}

TEST(DiffractionCli, PicturesAsWindowsAndEnhancedMetafiles) {
  test::ScratchDir dir;
  // A standard metafile of the default 5 x 5 inch frame, in colour: the grid's red pen is there.
  ASSERT_EQ(runCli({"precession", kExample, "--grid", "--image", dir.file("p.wmf")}).code, 0);
  const std::vector<std::uint32_t> colourPens = wmfPenColours(test::readFile(dir.file("p.wmf")), 0);
  EXPECT_NE(std::find(colourPens.begin(), colourPens.end(), 0x0000FFu), colourPens.end());
  // Placeable, black and white, 15 x 15 inches: the question is answered OK and the frame halved.
  const CliRun halved = runCli({"--yes", "precession", kExample, "--grid", "--image", dir.file("s.wmf"), "--placeable",
                                "--frame", "15", "15", "--black-white"});
  ASSERT_EQ(halved.code, 0) << halved.err;
  EXPECT_NE(halved.err.find("Height or width greater than 32767 dots - size will be halved -> "), std::string::npos);
  const std::string placeable = test::readFile(dir.file("s.wmf"));
  EXPECT_EQ(u16At(placeable, 10), 19050);
  for (std::uint32_t c : wmfPenColours(placeable, 22)) EXPECT_TRUE(c == 0 || c == 0xFFFFFFu) << std::hex << c;
  // Cancel writes nothing and fails (an enhanced metafile, never asked, is the library's case).
  EXPECT_EQ(runCli({"--no", "powder", kExample, "--image", dir.file("n.wmf"), "--frame", "15", "15"}).code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("n.wmf")));
  // Options that do not fit the picture.
  EXPECT_EQ(runCli({"powder", kExample, "--image", dir.file("x.emf"), "--placeable"}).code, 2);
  EXPECT_EQ(runCli({"powder", kExample, "--image", dir.file("x.wmf"), "--frame", "0", "5"}).code, 2);
  EXPECT_EQ(runCli({"powder", kExample, "--frame", "5", "5"}).code, 2);
}

}  // namespace
}  // namespace tessera
