#pragma once
// A modal pick list: one item from a list of texts, in a fixed-pitch font so that
// columns line up, under its heading, with a filter line that narrows the rows to
// those holding the typed text (typing in the list types there too).

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

namespace tessera::app {

class PickListDialog : public QDialog {
  Q_OBJECT
 public:
  /// Items in order; preselected is 1-based (0: none). The title heads the columns too.
  PickListDialog(const QString& title, const std::vector<std::string>& items, int preselected, QWidget* parent);
  /// The 1-based item chosen, 0 when none.
  int choice() const;

  QLineEdit* filterField() const { return filter_; }
  QListWidget* list() const { return list_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applyFilter(const QString& text);

  QLineEdit* filter_;
  QListWidget* list_;
};

}  // namespace tessera::app
