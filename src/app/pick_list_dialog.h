#pragma once
// A modal pick list: one item from a list of texts.

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;

namespace tessera::app {

class PickListDialog : public QDialog {
  Q_OBJECT
 public:
  /// Items in order; preselected is 1-based (0: none).
  PickListDialog(const QString& title, const std::vector<std::string>& items, int preselected, QWidget* parent);
  /// The 1-based item chosen, 0 when none.
  int choice() const;

 private:
  QListWidget* list_;
};

}  // namespace tessera::app
