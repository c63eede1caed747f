// Metafiles of the pattern drawings (header bytes, the halving question, pictures
// that other programs open) and where a printed drawing goes on the page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "diffraction/metafile.h"
#include "diffraction/metafile_command.h"
#include "diffraction/pattern_drawing.h"
#include "diffraction/pattern_models.h"
#include "diffraction/print_graphics.h"
#include "support/data_table.h"
#include "support/structures.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) | (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
}
std::uint16_t u16At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

PatternPainter powderPainter() {
  CrystalDocument doc = test::corundum();
  doc.title = "Corundum";
  ScriptedUserInterface ui;
  auto pattern = std::make_shared<PowderPattern>(calculatePowder(doc, test::dataTable(), ui));
  return [pattern](Canvas& canvas, const Rect& target, double dpi) {
    PowderView view;
    drawPowder(canvas, target, dpi, *pattern, view);
  };
}

PatternPainter precessionPainter() {
  CrystalDocument doc = test::rockSalt();
  doc.title = "Rock salt";
  PrecessionDialogModel model;  // the dialog's defaults, as a first run gets them
  model.loadFrom(doc);
  model.applyTo(doc);
  ScriptedUserInterface ui;
  auto pattern = std::make_shared<PrecessionPattern>(calculatePrecession(doc, test::dataTable(), ui));
  return [pattern](Canvas& canvas, const Rect& target, double dpi) {
    PrecessionView view;
    drawPrecession(canvas, target, dpi, *pattern, view);
  };
}

TEST(Metafile, PlaceableHeaderOfAFiveInchFrame) {
  const std::vector<std::uint8_t> h = placeableHeader(5, 5);
  ASSERT_EQ(h.size(), 22u);
  // Key, handle, bounding box 0, 0, 12700, 12700, 2540 dots per inch, reserved.
  EXPECT_EQ(std::tuple(u32At(h, 0), u16At(h, 4), u16At(h, 6), u16At(h, 8), u16At(h, 10), u16At(h, 12), u16At(h, 14), u32At(h, 16)),
            std::tuple(0x9AC6CDD7u, 0, 0, 0, 12700, 12700, 2540, 0u));
  std::uint16_t x = 0;
  for (std::size_t i = 0; i < 20; i += 2) x ^= u16At(h, i);
  EXPECT_EQ(u16At(h, 20), x);

  // The whole placeable file: header, then a standard metafile whose size field
  // counts every word and whose last record is the end record.
  const std::vector<std::uint8_t> file = metafileBytes(MetafileType::Placeable, 5, 5, false, true, powderPainter());
  EXPECT_EQ(std::tuple(u16At(file, 22), u16At(file, 24), u16At(file, 26)), std::tuple(1, 9, 0x0300));
  EXPECT_EQ(u32At(file, 28) * 2, file.size() - 22);
  EXPECT_EQ(u32At(file, file.size() - 6), 3u);
  EXPECT_EQ(u16At(file, file.size() - 2), 0);
}

TEST(Metafile, LargeFramesAreHalvedOnlyForWindowsMetafiles) {
  MetafileDialogModel model;
  model.acrossInches = model.downInches = 15;  // 38100 dots
  test::ScratchDir dir;
  ScriptedUserInterface ui;
  ui.files.push_back(dir.file("big.wmf"));
  EXPECT_TRUE(writeMetafile(ui, model, powderPainter()).bytes.empty());
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"Height or width greater than 32767 dots - size will be halved"});
  EXPECT_EQ(ui.lastFileRequest.defaultName, "Untitled.wmf");
  EXPECT_EQ(ui.lastFileRequest.filter, "Windows Metafile (*.wmf)|*.wmf||");
  const std::string wmf = test::readFile(dir.path() / "big.wmf");
  ASSERT_GT(wmf.size(), 100u);
  // The window extent record holds the halved frame: 19050 x 19050 dots.
  const std::string extent = {'\x05', 0, 0, 0, '\x0C', '\x02', '\x6A', '\x4A', '\x6A', '\x4A'};
  EXPECT_NE(wmf.find(extent), std::string::npos);

  ScriptedUserInterface cancelled;
  cancelled.answers.push_back(Answer::Cancel);
  EXPECT_TRUE(writeMetafile(cancelled, model, powderPainter()).bytes.empty());
  EXPECT_TRUE(cancelled.lastFileRequest.defaultName.empty());  // ended before the file dialog

  ScriptedUserInterface enhanced;
  model.type = MetafileType::Enhanced;
  enhanced.files.push_back(dir.file("big.emf"));
  writeMetafile(enhanced, model, powderPainter());
  EXPECT_TRUE(enhanced.questions().empty());
  EXPECT_EQ(enhanced.lastFileRequest.defaultName, "Untitled.emf");
  EXPECT_EQ(enhanced.lastFileRequest.filter, "Enhanced Metafile (*.emf)|*.emf||");
  const std::string emfText = test::readFile(dir.path() / "big.emf");
  const std::vector<std::uint8_t> emf(emfText.begin(), emfText.end());
  ASSERT_GT(emf.size(), 200u);
  EXPECT_EQ(u32At(emf, 0), 1u);
  EXPECT_EQ(u32At(emf, 40), 0x464D4520u);
  EXPECT_EQ(u32At(emf, 48), emf.size());
  EXPECT_EQ(u32At(emf, 32), 38099u);  // the frame right edge in 0.01 mm: not halved
  const std::uint32_t descriptionChars = u32At(emf, 60), descriptionAt = u32At(emf, 64);
  std::string description;
  for (std::uint32_t i = 0; i < descriptionChars; ++i) description += static_cast<char>(emf.at(descriptionAt + 2 * i));
  EXPECT_EQ(description.substr(0, 5), "ORBIS");

  // The clipboard gets the bytes and their type, without any question.
  ScriptedUserInterface clip;
  model.destination = 1;
  model.type = MetafileType::Standard;
  const MetafileResult r = writeMetafile(clip, model, powderPainter());
  EXPECT_EQ(r.mimeType, "image/wmf");
  EXPECT_FALSE(r.bytes.empty());
  EXPECT_TRUE(clip.questions().empty());
}

TEST(Metafile, SvgAndPdfFromTheSameDialog) {
  test::ScratchDir dir;
  MetafileDialogModel model;
  model.type = MetafileType::Svg;
  model.blackWhite = true;
  model.acrossInches = 4;
  model.downInches = 3;
  ScriptedUserInterface ui;
  ui.files.push_back(dir.file("p.svg"));
  writeMetafile(ui, model, powderPainter());
  EXPECT_EQ(ui.lastFileRequest.defaultName, "Untitled.svg");
  const std::string svg = test::readFile(dir.path() / "p.svg");
  EXPECT_NE(svg.find("width=\"384"), std::string::npos);  // 4 inches at 96 pixels per inch
  EXPECT_NE(svg.find("Old atoms: Corundum"), std::string::npos);
  // The precession grid is red, but not in black and white.
  EXPECT_NE(svgPicture(4, 3, false, precessionPainter()).find("#ff0000"), std::string::npos);
  EXPECT_EQ(svgPicture(4, 3, true, precessionPainter()).find("#ff0000"), std::string::npos);

  // PDF goes through the writer the program hands in; without one it is refused.
  model.type = MetafileType::Pdf;
  ScriptedUserInterface refused;
  writeMetafile(refused, model, powderPainter());
  EXPECT_EQ(refused.messages(), std::vector<std::string>{"PDF pictures come from the desktop program"});
  ScriptedUserInterface pdfUi;
  pdfUi.files.push_back(dir.file("p.pdf"));
  double across = 0;
  writeMetafile(pdfUi, model, powderPainter(),
                [&across](const std::string&, double a, double, bool, const PatternPainter&) { return across = a, true; });
  EXPECT_EQ(across, 4);
  EXPECT_EQ(pdfUi.lastFileRequest.filter, "PDF Document (*.pdf)|*.pdf||");

  // An unusable frame is refused and the dialog comes back.
  model.acrossInches = 0;
  ScriptedUserInterface again;
  again.dialogs.push_back([](DialogModel&) { return true; });
  again.dialogs.push_back([](DialogModel&) { return false; });
  writeMetafile(again, model, powderPainter());
  EXPECT_EQ(again.messages(), std::vector<std::string>{"Frame size must be greater than 0 and at most 1000 inches"});

  // The clipboard gets the SVG beside an enhanced metafile for these types.
  model.acrossInches = 4;
  model.destination = 1;
  ScriptedUserInterface clip;
  const MetafileResult r = writeMetafile(clip, model, powderPainter());
  EXPECT_EQ(r.mimeType, "image/emf");
  EXPECT_NE(r.svg.find("</svg>"), std::string::npos);
}

// Converts a metafile with a converter Debian ships and checks that the picture
// holds the pattern: its header texts and many drawn shapes.
void expectConverterShowsPattern(const std::string& tool, const std::string& args, MetafileType type,
                                 const PatternPainter& paint, const std::string& headerText) {
  if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0)
    GTEST_SKIP() << tool << " is not installed; the picture check needs it";
  test::ScratchDir dir;
  const std::string in = dir.file(type == MetafileType::Enhanced ? "p.emf" : "p.wmf");
  const std::vector<std::uint8_t> bytes = metafileBytes(type, 5, 5, false, true, paint);
  test::writeFile(in, std::string(bytes.begin(), bytes.end()));
  const std::string out = dir.file("p.svg");
  const std::string command = tool + " " + format(args.c_str(), in.c_str(), out.c_str()) + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::string svg = test::readFile(out);
  EXPECT_NE(svg.find(headerText), std::string::npos) << tool;
  int shapes = 0;
  for (const char* tag : {"<path", "<line", "<polyline", "<ellipse", "<circle"}) shapes += test::occurrences(svg, tag);
  EXPECT_GT(shapes, 20) << tool;
}

TEST(MetafileConverters, WindowsMetafilesOpenInWmf2svg) {
  expectConverterShowsPattern("wmf2svg", "-o %2$s %1$s", MetafileType::Standard, powderPainter(), "Corundum");
  expectConverterShowsPattern("wmf2svg", "-o %2$s %1$s", MetafileType::Placeable, precessionPainter(), "Rock salt");
}

TEST(MetafileConverters, EnhancedMetafilesOpenInEmf2svg) {
  for (bool powder : {true, false})
    expectConverterShowsPattern("emf2svg-conv", "-i %s -o %s", MetafileType::Enhanced,
                                powder ? powderPainter() : precessionPainter(), powder ? "Corundum" : "Rock salt");
}

TEST(PrintGraphics, SettingsAndTargetOnThePage) {
  ProgramSettings settings;
  PrintGraphicsModel model;
  model.loadFrom(settings);
  EXPECT_EQ(std::tuple(model.outputType, model.acrossInches, model.centimetres, model.colour), std::tuple(0, 6.0, false, true));
  // Full page: the printable area; Frame: its size at its offset from the paper's corner.
  const Rect printable{50, 60, 4000, 5000};
  const Rect full = printTarget(model, printable, 600);
  EXPECT_EQ(std::pair(full.x, full.height), std::pair(50.0, 5000.0));
  model.outputType = 1;
  model.offsetAcrossInches = 1;
  model.offsetDownInches = 0.5;
  model.acrossInches = 3;
  const Rect frame = printTarget(model, printable, 600);
  EXPECT_EQ(std::tuple(frame.x, frame.y, frame.width, frame.height), std::tuple(600.0, 300.0, 1800.0, 3600.0));
  model.centimetres = true;
  model.colour = false;
  model.storeIn(settings);
  EXPECT_EQ(std::tuple(settings.frameUnits, settings.printBlackWhite, settings.printOutputType, settings.printFrame[2]),
            std::tuple(3, 1, 1, 1.0f));
  // The metafile dialog's "Dots" stay while this dialog shows inches.
  settings.frameUnits = 1;
  model.loadFrom(settings);
  model.storeIn(settings);
  EXPECT_EQ(settings.frameUnits, 1);

  EXPECT_FALSE(model.validate());
  model.offsetDownInches = -1;
  EXPECT_EQ(model.validate(), "Frame offset must be 0 or more and at most 1000 inches");
  model.downInches = 0;
  EXPECT_EQ(model.validate(), "Frame size must be greater than 0 and at most 1000 inches");
}

}  // namespace
}  // namespace tessera
