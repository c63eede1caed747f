#pragma once
// Views of the site-editing dialogs: "Input Atom (Site)" with its Last / Next /
// New walk and occupant list, "Atom Sharing a Site", and the read-only "Site
// Occupancies" view.

#include <QDialog>
#include <array>

#include "commands/site_dialog_model.h"
#include "core/user_interface.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tessera::app {

class SiteDialog : public QDialog {
  Q_OBJECT
 public:
  SiteDialog(SiteDialogModel& model, UserInterface& ui, QWidget* parent);
  /// OK: the fields go into the model (a refused field keeps the dialog open).
  void accept() override;

  QLineEdit* labelEdit() const { return label_; }
  QLineEdit* coordinateEdit(int k) const { return coordinates_.at(static_cast<std::size_t>(k)); }
  QLineEdit* ortepEdit() const { return ortep_; }
  QPushButton* forwardButton() const { return forward_; }
  QListWidget* occupantList() const { return occupants_; }
  QLabel* heading() const { return heading_; }

 private:
  bool takeFields();
  void loadFields();
  void refreshOccupants(int select);
  void goBack();
  void goForward();

  SiteDialogModel& model_;
  UserInterface& ui_;
  QLabel* heading_;
  QLineEdit* label_;
  QLineEdit* type_;
  std::array<QLineEdit*, 3> coordinates_{};
  std::array<QLineEdit*, 6> factors_{};
  QLineEdit* ortep_;
  QCheckBox* vectorOn_;
  std::array<QLineEdit*, 4> vector_{};
  QListWidget* occupants_;
  QPushButton* back_;
  QPushButton* forward_;
};

class OccupantDialog : public QDialog {
  Q_OBJECT
 public:
  OccupantDialog(OccupantDialogModel& model, UserInterface& ui, QWidget* parent);
  void accept() override;

 private:
  OccupantDialogModel& model_;
  UserInterface& ui_;
  QLineEdit* label_;
  QLineEdit* type_;
  QLineEdit* element_;
  QLineEdit* occupancy_;
  QLineEdit* charge_;
  QLineEdit* scattering_;
};

class SiteOccupanciesDialog : public QDialog {
  Q_OBJECT
 public:
  SiteOccupanciesDialog(SiteOccupanciesModel& model, UserInterface& ui, QWidget* parent);
};

}  // namespace tessera::app
