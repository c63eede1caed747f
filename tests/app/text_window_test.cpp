#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/file_filter.h"
#include "app/find_replace_dialog.h"
#include "app/text_window.h"

namespace tessera::app {
namespace {

TEST(FileFilter, ProgramFiltersBecomeQtFilters) {
  EXPECT_EQ(qtNameFilters("Data files (*.tsr)|*.tsr|All Files (*.*)|*.*||"),
            (QStringList{"Data files (*.tsr)", "All Files (*)"}));
  EXPECT_EQ(qtFilter("SHELX files (*.ins)|*.ins;*.res|All Files (*.*)|*.*||"),
            "SHELX files (*.ins *.res);;All Files (*)");
  EXPECT_TRUE(qtNameFilters("").isEmpty());
}

TEST(TextWindow, EditFindReplaceAndSave) {
  QTemporaryDir dir;
  const QString path = dir.filePath("quartz.out");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Si1 0.47\nO1 0.41\nsi2 0.1\n");
  }
  TextWindow window;
  EXPECT_FALSE(window.load(dir.filePath("missing.out")));
  ASSERT_TRUE(window.load(path));
  EXPECT_EQ(window.windowTitle(), "Tessera Output - quartz.out[*]");

  FindReplaceDialog* find = window.findDialog();
  find->findField()->setText("Si");
  EXPECT_TRUE(find->findNext());
  EXPECT_EQ(window.editor()->textCursor().selectionStart(), 0);
  EXPECT_TRUE(find->findNext());  // "si2": case is ignored unless asked
  EXPECT_EQ(window.editor()->textCursor().selectionStart(), 17);
  EXPECT_TRUE(find->findNext());  // wraps round to the top
  EXPECT_EQ(window.editor()->textCursor().selectionStart(), 0);

  find->replaceField()->setText("Ge");
  EXPECT_EQ(find->replaceAll(), 2);
  EXPECT_EQ(window.editor()->toPlainText(), "Ge1 0.47\nO1 0.41\nGe2 0.1\n");
  window.editor()->undo();  // one step undoes the whole replacement
  EXPECT_EQ(window.editor()->toPlainText(), "Si1 0.47\nO1 0.41\nsi2 0.1\n");

  window.editor()->appendPlainText("added");
  EXPECT_TRUE(window.save());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "Si1 0.47\nO1 0.41\nsi2 0.1\n\nadded");
  EXPECT_FALSE(window.editor()->document()->isModified());
}

}  // namespace
}  // namespace tessera::app
