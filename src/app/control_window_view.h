#pragma once
// The Control Window ("Tessera Control Window"): the File and symmetry lines,
// the site list under its header in a fixed-pitch font, the Old crystal's cell,
// the selected-site texts and the buttons of the document's commands.

#include <QWidget>
#include <array>
#include <functional>

#include "core/session.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tessera::app {

class ControlWindowView : public QWidget {
  Q_OBJECT
 public:
  /// The buttons in the order they are shown.
  enum Button { Transform, Symmetry, SelectedAtom, Edit, Delete, Add, BondLengths, NewToOld, Help, ButtonCount };

  explicit ControlWindowView(CrystalDocument& document, QWidget* parent = nullptr);

  /// Rebuilds every line, row and field from the document, keeping the selection.
  void refresh();
  /// The button of a command (disabled when its capability is not in the program).
  QPushButton* button(Button b) const { return buttons_.at(static_cast<std::size_t>(b)); }
  /// Decides whether a close request from the window frame goes ahead (the save prompt).
  void setCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }
  /// Lets the next close through without asking (the document is already closed).
  void allowClose() { closeAllowed_ = true; }

  QListWidget* siteList() const { return list_; }
  QLineEdit* cellField(int k) const { return cell_.at(static_cast<std::size_t>(k)); }
  QLabel* titleLine() const { return titleLine_; }
  QLabel* fileLine() const { return fileLine_; }
  QLabel* symmetryLine() const { return symmetryLine_; }
  QLabel* header() const { return header_; }
  /// Room for a whole site row beside the buttons.
  QSize sizeHint() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildListArea();
  QWidget* buildCellArea();
  QWidget* buildButtons();
  void selectionChanged(int row);
  void showSelectedSite();

  CrystalDocument& document_;
  QLabel* titleLine_;
  QLabel* fileLine_;
  QLabel* symmetryLine_;
  QLabel* header_ = nullptr;
  QListWidget* list_ = nullptr;
  std::array<QLineEdit*, 6> cell_{};
  QLabel* tfLine_;
  QLabel* vectorLine_;
  std::array<QPushButton*, ButtonCount> buttons_{};
  std::function<bool()> closeGuard_;
  bool closeAllowed_ = false;
  int listWidth_ = 0;
};

}  // namespace tessera::app
