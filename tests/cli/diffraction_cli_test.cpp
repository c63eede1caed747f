#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessera
