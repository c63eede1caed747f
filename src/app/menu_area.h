#pragma once
// One menu of the main window with the handlers of its commands. The main
// window builds its menu bar from a list of these; a later menu (Import,
// Export, ...) is one more class and one more line in MainWindow::buildMenus().

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QStringList>

class QMenuBar;

namespace tessera::app {

class MenuArea : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  /// Adds the area's menu to the menu bar.
  virtual void addTo(QMenuBar& bar) = 0;
  /// Enables and disables the commands for the document's state.
  virtual void updateActions() {}

 protected:
  /// Adds a command with its status-bar prompt.
  static QAction* addCommand(QMenu* menu, const QString& text, const QString& prompt, QKeySequence key = {}) {
    QAction* action = menu->addAction(text);
    action->setStatusTip(prompt);
    if (!key.isEmpty()) action->setShortcut(key);
    return action;
  }
  /// The texts with one mnemonic each, all different where the letters allow: each text
  /// takes its earliest letter or digit that no other text needs more.
  static QStringList withMnemonics(const QStringList& texts);
  /// Adds a command whose capability comes later: shown disabled, its tooltip and status
  /// tip saying why (`why`, e.g. "this version has no reader for the format").
  static QAction* addLaterCommand(QMenu* menu, const QString& text, const QString& prompt, const QString& why) {
    QAction* action = addCommand(menu, text, prompt + " - not available: " + why);
    action->setToolTip("Not available: " + why);
    action->setEnabled(false);
    menu->setToolTipsVisible(true);
    return action;
  }
};

}  // namespace tessera::app
