#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "app/transform_dialog.h"
#include "core/scripted_user_interface.h"
#include "gui_support.h"
#include "transform/transform_parameters.h"

namespace tessera::app {
namespace {

using test::type;

struct TransformFixture {
  CrystalDocument doc;
  ScriptedUserInterface ui;
  TransformFixture() {
    setNewDocumentDefaults(doc);
    doc.transformation.resetToIdentity();
    doc.transformation.tolerance = 0.4f;
    doc.crystals[0].symmetrySource = 1;
    doc.crystals[0].hmSymbol = "P_1_21/c_1";
    doc.crystals[1].symmetrySource = 4;
    doc.crystals[1].hmSymbol = "new one";
  }
};

using T = TransformParametersDialog;

TEST(TransformParametersDialog, StandardMatricesKeepTheirPrecisionAndRefusalsKeepTheDialogOpen) {
  TransformFixture f;
  const float fine = std::nextafter(0.25f, 1.0f);  // shown as 0.25
  f.doc.transformation.preMatrixShift[2] = fine;
  TransformParametersModel model(f.doc, f.ui);
  T view(model, f.ui, nullptr);
  view.show();
  QApplication::setActiveWindow(&view);
  EXPECT_EQ(view.focusWidget(), view.matrixField(0, 0));
  EXPECT_EQ(view.standardList()->count(), 17);
  EXPECT_TRUE(view.standardList()->selectedItems().isEmpty());
  EXPECT_EQ(view.symmetryLine()->text(), "Symmetry - Custom: new one");

  // Enter in the list chooses the entry and does not run the transformation.
  QListWidget* list = view.standardList();
  list->setFocus();
  list->setCurrentRow(7);  // F -> P
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_TRUE(view.isVisible());
  EXPECT_EQ(view.matrixField(0, 1)->text(), "0.5");

  // Cancel on the question leaves the matrix; OK puts "Hex -> Rhomb" in.
  const QPoint hexRhomb = list->visualItemRect(list->item(2)).center();
  f.ui.answers = {Answer::Cancel};
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, hexRhomb);
  EXPECT_EQ(f.ui.questions().back(), "Do you want to replace the current matrix with Hex -> Rhomb    ?");
  EXPECT_EQ(view.matrixField(0, 1)->text(), "0.5");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, hexRhomb);
  EXPECT_EQ(view.matrixField(0, 0)->text(), "0.6666667");
  EXPECT_EQ(view.matrixField(2, 1)->text(), "-0.6666667");

  // Post-matrix b takes 0.999995, a and c do not; nothing but a number goes anywhere.
  type(view.translationField(T::PostMatrix, 1), "0.999995");
  type(view.translationField(T::PostMatrix, 2), "0.999995");
  QTest::keyClick(view.matrixField(1, 1), Qt::Key_Return);
  EXPECT_TRUE(view.isVisible());
  EXPECT_EQ(f.ui.messages().back(), "Please enter a number between -0.99999 and 0.99999.");
  EXPECT_EQ(view.focusWidget(), view.translationField(T::PostMatrix, 2));
  type(view.translationField(T::PostMatrix, 2), "-0.5");
  type(view.toleranceField(), "wide");
  view.accept();
  EXPECT_EQ(f.ui.messages().back(), "Please enter a number.");
  EXPECT_EQ(view.focusWidget(), view.toleranceField());

  type(view.toleranceField(), "0.25");
  type(view.translationField(T::PreSymmetry, 0), "0.125");
  view.modeButton(1)->click();
  QTest::keyClick(view.toleranceField(), Qt::Key_Return);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  const Transformation& v = model.values();
  // Values shown rounded but never edited keep their stored precision.
  EXPECT_EQ(v.matrix, standardMatrices()[2].matrix);
  EXPECT_EQ(v.preMatrixShift[2], fine);
  EXPECT_EQ(std::tuple(v.postMatrixShift[1], v.postMatrixShift[2], v.preSymmetryShift[0], v.tolerance, v.mode),
            std::tuple(0.999995f, -0.5f, 0.125f, 0.25f, 1));
  EXPECT_FLOAT_EQ(f.doc.transformation.tolerance, 0.4f);  // the command applies the values, not the view
}

TEST(TransformParametersDialog, ClearSymmetryAndHklButtons) {
  TransformFixture f;
  int symmetryRuns = 0;
  TransformParametersModel model(f.doc, f.ui, [&](CrystalDocument& doc, UserInterface&) {
    ++symmetryRuns;
    doc.crystals[1].symmetrySource = 1;
    doc.crystals[1].hmSymbol = "C_1_2/c_1";
  });
  T view(model, f.ui, nullptr);
  view.symmetryButton()->click();
  EXPECT_EQ(symmetryRuns, 1);
  EXPECT_EQ(view.symmetryLine()->text(), "Symmetry - Space group: C_1_2/c_1");

  // Clear (its question and the symmetry are the model's) resets the fields but the tolerance as typed.
  type(view.matrixField(0, 2), "3");
  type(view.translationField(T::PreMatrix, 1), "0.5");
  type(view.toleranceField(), "0.7");
  f.ui.answers = {Answer::Cancel};
  view.clearButton()->click();
  EXPECT_EQ(view.matrixField(0, 2)->text(), "3");
  view.clearButton()->click();
  EXPECT_EQ(view.matrixField(0, 2)->text(), "0");
  EXPECT_EQ(view.translationField(T::PreMatrix, 1)->text(), "0");
  EXPECT_EQ(view.toleranceField()->text(), "0.7");
  EXPECT_EQ(view.symmetryLine()->text(), "Symmetry - Space group: P_1_21/c_1");

  // Transform HKL File takes the fields first: a refused one stops it before any file dialog.
  type(view.translationField(T::PostMatrix, 0), "1.5");
  f.ui.events.clear();
  view.hklButton()->click();
  ASSERT_EQ(f.ui.events.size(), 1u);
  EXPECT_EQ(f.ui.events[0].kind, ScriptedUserInterface::Event::Kind::Message);
  type(view.translationField(T::PostMatrix, 0), "0.5");
  type(view.matrixField(1, 1), "2");
  view.hklButton()->click();
  EXPECT_EQ(f.ui.events.back().kind, ScriptedUserInterface::Event::Kind::OpenFile);
  EXPECT_FLOAT_EQ(f.doc.transformation.matrix[1][1], 2.0f);
  EXPECT_FLOAT_EQ(f.doc.transformation.tolerance, 0.7f);
}

}  // namespace
}  // namespace tessera::app
