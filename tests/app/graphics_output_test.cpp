#include "app/graphics_output.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>

#include "app/graphics_output_dialogs.h"
#include "core/scripted_user_interface.h"
#include "started_program.h"

namespace tessera::app {
namespace {

/// The program with the example's powder window active.
struct PowderShown {
  test::StartedProgram started{{}, true};
  PowderShown() {
    started.copyScatteringTable();
    test::runView(started.app->mainWindow(), "Powder...");
  }
  ~PowderShown() { started.app->document().modified = false; }
};

void clickRadio(QWidget* dialog, const QString& text) {
  for (auto* b : dialog->findChildren<QRadioButton*>())
    if (b->text() == text) b->click();
}

TEST(GraphicsOutput, PrintingToPdfShowsThePatternInItsFrame) {
  PowderShown shown;
  const PatternPainter paint = activePatternPainter(shown.started.app->mainWindow().area());
  ASSERT_TRUE(paint);
  const QString pdf = shown.started.home.filePath("page.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  PrintGraphicsModel model;
  model.outputType = 1;
  model.acrossInches = 5;
  model.downInches = 4;
  model.offsetAcrossInches = 2;
  model.offsetDownInches = 3;
  ASSERT_TRUE(printPattern(printer, model, paint));
  const QByteArray bytes = test::readBytes(pdf);
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_GT(bytes.size(), 5000);
  const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
  if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed: the page was not rendered";
  // Rendered at 20 dots per inch: ink inside the frame (2..7 x 3..7 inches), none left of or above it.
  ASSERT_EQ(QProcess::execute(pdftoppm, {"-png", "-r", "20", "-singlefile", pdf, shown.started.home.filePath("page")}),
            0);
  const QImage page(shown.started.home.filePath("page.png"));
  ASSERT_FALSE(page.isNull());
  int inside = 0, outside = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(page.pixel(x, y)) > 128) continue;
      const bool inFrame = x >= 39 && x <= 141 && y >= 59 && y <= 141;
      (inFrame ? inside : outside)++;
    }
  EXPECT_GT(inside, 200);
  EXPECT_EQ(outside, 0);
}

TEST(GraphicsOutput, MetafileOnTheClipboardAndTheDialogs) {
  PowderShown shown;
  QAction* metafile = shown.started.menuAction("File", "Metafile...");
  ASSERT_NE(metafile, nullptr);
  EXPECT_TRUE(metafile->isEnabled());
  EXPECT_EQ(metafile->statusTip(),
            "Write a Windows Metafile showing the currently-selected graphics window (Powder or Precession pattern)");
  test::onNextModal([](QWidget* w) {
    clickRadio(w, "Clipboard");
    clickRadio(w, "Placeable (.wmf)");
    static_cast<QDialog*>(w)->accept();
  });
  metafile->trigger();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  const QByteArray wmf = data->data("image/wmf");
  ASSERT_GT(wmf.size(), 22);
  EXPECT_EQ(static_cast<unsigned char>(wmf[0]), 0xD7);  // the placeable key
  EXPECT_TRUE(data->data("image/svg+xml").contains("</svg>"));
  EXPECT_TRUE(data->hasImage());

  // The frame is shown in the chosen units; switching units keeps the length.
  ScriptedUserInterface ui;
  MetafileDialogModel model;
  MetafileDialogView view(model, ui, nullptr);
  clickRadio(&view, "Centimeters");
  const auto fields = view.findChildren<QLineEdit*>();
  ASSERT_EQ(fields.size(), 2);
  EXPECT_EQ(fields[0]->text(), "12.7");
  clickRadio(&view, "Dots");
  EXPECT_EQ(fields[1]->text(), "12700");
  view.accept();
  EXPECT_EQ(model.frameUnits, 1);
  EXPECT_DOUBLE_EQ(model.acrossInches, 5);

  PrintGraphicsModel print;
  PrintGraphicsView printView(print, ui, nullptr);
  clickRadio(&printView, "Centimeters");
  clickRadio(&printView, "Centimeters");  // a second click changes nothing
  const auto printFields = printView.findChildren<QLineEdit*>();
  ASSERT_EQ(printFields.size(), 4);
  EXPECT_EQ(printFields[0]->text(), "15.24");
  printFields[2]->setText("2.54");
  printView.accept();
  EXPECT_TRUE(print.centimetres);
  EXPECT_DOUBLE_EQ(print.acrossInches, 6);
  EXPECT_DOUBLE_EQ(print.offsetAcrossInches, 1);
}

}  // namespace
}  // namespace tessera::app
