#pragma once
// Views of the import dialogs: "Import File" (extension and the two import
// options) and the data-set chooser of files holding several structures.

#include <QDialog>
#include <array>

#include "core/user_interface.h"
#include "formats/import_dialogs.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace tessera::app {

class ImportOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  ImportOptionsDialog(ImportOptionsModel& model, UserInterface& ui, QWidget* parent);
  /// OK: the model takes the extension as typed and the two choices.
  void accept() override;

  QLabel* captionLabel() const { return caption_; }
  QLineEdit* extensionField() const { return extension_; }
  /// 0 "Positions as xyz", 1 "Symbol (Hall, H-M, number)".
  QRadioButton* symmetryButton(int pref) const { return symmetry_.at(static_cast<std::size_t>(pref)); }
  /// 0 "Label", 1 "Type".
  QRadioButton* typeButton(int source) const { return type_.at(static_cast<std::size_t>(source)); }

 private:
  ImportOptionsModel& model_;
  QLabel* caption_;
  QLineEdit* extension_;
  std::array<QRadioButton*, 2> symmetry_{};
  std::array<QRadioButton*, 2> type_{};
};

class DataSetDialog : public QDialog {
  Q_OBJECT
 public:
  DataSetDialog(DataSetModel& model, UserInterface& ui, QWidget* parent);
  /// OK: the model takes the selected line's number (1-based).
  void accept() override;

  QLabel* fileLabel() const { return file_; }
  QListWidget* list() const { return list_; }

 private:
  DataSetModel& model_;
  QLabel* file_;
  QListWidget* list_;
};

}  // namespace tessera::app
