// Tab goes through every dialog in the order its fields read, and new windows
// open where they can be seen.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

#include "app/control_window_view.h"
#include "app/main_window.h"
#include "app/site_dialogs.h"
#include "every_dialog.h"
#include "modal_script.h"
#include "started_program.h"

namespace tessera::app {
namespace {

QRect placeIn(QWidget* window, QWidget* w) { return {w->mapTo(window, QPoint(0, 0)), w->size()}; }

/// The widgets Tab reaches, once round the window's focus ring, from the one the window
/// gives the focus on opening (without one: the one nearest the top left corner).
QList<QWidget*> tabChain(QWidget* window) {
  QList<QWidget*> ring;
  for (QWidget* w = window->nextInFocusChain(); w && w != window && ring.size() < 400; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() && window->isAncestorOf(w) &&
        !w->focusProxy())
      ring << w;
  }
  if (ring.isEmpty()) return ring;
  qsizetype first = ring.indexOf(window->focusWidget());
  if (first < 0) {
    first = 0;
    for (qsizetype k = 1; k < ring.size(); ++k)
      if (placeIn(window, ring[k]).topLeft().manhattanLength() < placeIn(window, ring[first]).topLeft().manhattanLength())
        first = k;
  }
  return ring.mid(first) + ring.first(first);
}

QString describe(QWidget* w) {
  return QString("%1 '%2'").arg(w->metaObject()->className(), w->objectName().isEmpty()
                                                                   ? w->property("text").toString()
                                                                   : w->objectName());
}

/// Steps of the chain that go back against the reading order: left along a row, or up
/// into a column that is not to the right of the one before.
QStringList backwardSteps(QWidget* window) {
  const QList<QWidget*> chain = tabChain(window);
  QStringList faults;
  for (qsizetype k = 1; k < chain.size(); ++k) {
    const QRect a = placeIn(window, chain[k - 1]);
    const QRect b = placeIn(window, chain[k]);
    const bool sameRow = std::abs(a.center().y() - b.center().y()) < std::min(a.height(), b.height()) / 2 + 2;
    const bool ok = sameRow ? b.left() >= a.left() : b.center().y() > a.center().y() || b.left() >= a.right() - 2;
    if (!ok) faults << describe(chain[k - 1]) + " -> " + describe(chain[k]);
  }
  return faults;
}

TEST(FocusChain, EveryDialogTabsInReadingOrder) {
  test::EveryDialog every;
  for (auto& [name, dialog] : every.dialogs) {
    dialog->show();
    QApplication::processEvents();
    const QList<QWidget*> chain = tabChain(dialog.get());
    EXPECT_GE(chain.size(), 2) << name;
    EXPECT_EQ(QSet<QWidget*>(chain.begin(), chain.end()).size(), chain.size()) << name;
    QStringList names;
    for (QWidget* w : chain) names << describe(w);
    EXPECT_TRUE(backwardSteps(dialog.get()).isEmpty()) << name << ": " << backwardSteps(dialog.get()).join(", ").toStdString()
                                                       << "\n  chain: " << names.join(", ").toStdString();
    dialog->hide();
  }
}

TEST(FocusChain, SiteDialogGoesFromTheLabelThroughTheCoordinatesAndFactors) {
  test::EveryDialog every;
  auto* site = qobject_cast<SiteDialog*>(every.dialogs[1].second.get());
  ASSERT_NE(site, nullptr);
  site->show();
  const QList<QWidget*> chain = tabChain(site);
  ASSERT_GE(chain.size(), 12);
  QStringList names;
  for (qsizetype k = 0; k < 6; ++k) names << chain[k]->objectName();
  EXPECT_EQ(names, QStringList({"label", "type", "x", "y", "z", "factor_11"}));
  EXPECT_EQ(chain[11]->objectName(), "ortepType");
  EXPECT_EQ(site->focusWidget(), site->labelEdit());
}

TEST(FocusChain, ControlWindowTabsFromTheListThroughTheButtons) {
  test::StartedProgram s({}, true);
  ControlWindowView* view = s.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  const QList<QWidget*> chain = tabChain(view);
  ASSERT_FALSE(chain.isEmpty());
  EXPECT_EQ(chain.first(), static_cast<QWidget*>(view->siteList()));
  EXPECT_TRUE(backwardSteps(view).isEmpty()) << backwardSteps(view).join(", ").toStdString();
}

TEST(WindowPlacement, NewWindowsOpenInsideTheWorkspace) {
  test::StartedProgram s({}, true);
  QMdiArea& area = s.app->mainWindow().area();
  s.app->mainWindow().show();
  QApplication::processEvents();
  test::ModalScript script;
  for (int k = 0; k < 3; ++k) {
    script.dialogs = {[](QDialog* d) { d->accept(); }};
    s.workspace().controlWindow()->button(ControlWindowView::Transform)->click();
    QApplication::processEvents();
  }
  const QString extra = s.home.filePath("extra.out");
  QFile::copy(s.document, extra);
  ASSERT_NE(s.workspace().openTextWindow(extra), nullptr);
  const QRect inside = area.viewport()->rect();
  ASSERT_GE(area.subWindowList().size(), 3);
  for (QMdiSubWindow* w : area.subWindowList())
    EXPECT_TRUE(inside.contains(w->geometry())) << w->windowTitle().toStdString() << " at " << w->geometry().x() << ","
                                                << w->geometry().y() << " " << w->width() << "x" << w->height();
}

}  // namespace
}  // namespace tessera::app
