#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "app/image_export.h"
#include "app/pattern_windows.h"
#include "cli/diffraction_commands.h"
#include "support/cli_run.h"
#include "started_program.h"

namespace tessera::app {
namespace {

/// Saves what the window shows for the closing note's screenshots (build/test/screenshots).
void screenshot(QWidget* w, const QString& name) {
  const QString folder = QString(TESSERA_BIN_DIR) + "/../screenshots";
  QDir().mkpath(folder);
  EXPECT_TRUE(w->grab().save(folder + "/" + name));
}

TEST(PatternWindows, PowderAndPrecessionFromTheViewMenu) {
  test::StartedProgram started({}, true);
  started.copyScatteringTable();
  auto* powder = qobject_cast<PowderWindow*>(test::runView(started.app->mainWindow(), "Powder..."));
  ASSERT_NE(powder, nullptr);
  EXPECT_EQ(powder->parentWidget()->windowTitle(), "Tessera Powder Pattern - Old Atoms");
  powder->parentWidget()->resize(920, 640);
  QApplication::processEvents();
  screenshot(powder, "powder.png");
  ASSERT_TRUE(powder->view().drawn);
  EXPECT_FALSE(powder->view().labelBoxes.empty());
  QTest::mouseClick(powder, Qt::LeftButton, {}, QPoint(static_cast<int>(powder->view().xOrigin + 100), 200));
  EXPECT_TRUE(started.app->mainWindow().statusBar()->currentMessage().startsWith("2-theta:"));

  auto* precession = qobject_cast<PrecessionWindow*>(test::runView(started.app->mainWindow(), "Precession..."));
  ASSERT_NE(precession, nullptr);
  EXPECT_EQ(precession->parentWidget()->windowTitle(), "Tessera Precession Pattern - Old Atoms");
  precession->parentWidget()->resize(920, 640);
  QApplication::processEvents();
  screenshot(precession, "precession.png");
  const PrecessionView& v = precession->view();
  ASSERT_TRUE(v.drawn);
  // The spot of (1 0 4) of corundum, reached through the layer basis.
  const PrecessionGeometry& g = precession->pattern().geometry;
  const auto [x, y] = g.position(1, 0);
  EXPECT_TRUE(precession->readoutAt(v.centreX + nearestInt(v.scale * x), v.centreY - nearestInt(v.scale * y))
                  .startsWith("Indices: 1  0  0 "));

  // Pictures of either window.
  QTemporaryDir dir;
  for (const char* name : {"p.svg", "p.png", "p.pdf"}) {
    ASSERT_TRUE(exportPatternImage(powder->painter(), powder->width(), powder->height(), dir.filePath(name))) << name;
    EXPECT_GT(QFileInfo(dir.filePath(name)).size(), 1000) << name;
  }
  EXPECT_TRUE(exportPatternImage(precession->painter(), precession->width(), precession->height(), dir.filePath("q.svg")));
  EXPECT_FALSE(exportPatternImage(precession->painter(), precession->width(), precession->height(), dir.filePath("q.bmp")));
}

TEST(PatternPictures, CommandLineWritesPngAndPdfThroughTheSameDrawing) {
  cli::setRasterPictureWriter([](const PatternPainter& paint, double width, double height, const std::string& path) {
    return exportPatternImage(paint, width, height, QString::fromStdString(path));
  });
  test::ScratchDir dir;
  const std::string example = test::exampleDocument().string();
  EXPECT_EQ(test::runCli({"powder", example, "--image", dir.file("p.png")}).code, 0);
  EXPECT_EQ(test::runCli({"precession", example, "--image", dir.file("q.pdf")}).code, 0);
  EXPECT_EQ(test::runCli({"powder", example, "--image", dir.file("r.png"), "--frame", "5", "5"}).code, 2);
  cli::setRasterPictureWriter(nullptr);

  const QImage png(QString::fromStdString(dir.file("p.png")));
  ASSERT_EQ(png.size(), QSize(900, 600));
  int dark = 0;
  for (int y = 0; y < png.height(); ++y)
    for (int x = 0; x < png.width(); ++x) dark += qGray(png.pixel(x, y)) < 128;
  EXPECT_GT(dark, 2000) << "axes, labels and the curve";
  EXPECT_TRUE(test::readBytes(QString::fromStdString(dir.file("q.pdf"))).startsWith("%PDF-"));
}

}  // namespace
}  // namespace tessera::app
