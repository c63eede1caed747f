#pragma once
// Models of the site-editing dialogs: "Input Atom (Site)", "Atom Sharing a Site"
// and the read-only "Site Occupancies" view. They work on the input sites of the
// document's Old crystal.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// "Atom Sharing a Site": one occupant's fields.
class OccupantDialogModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "Occupant";
  std::string_view dialogKind() const override { return kKind; }

  /// Loads the fields from occupant j (0-based).
  void load(const SiteOccupant& occupant, int j);
  /// Writes charge, element, scattering number, label, occupancy and type into the occupant.
  void store(SiteOccupant& occupant) const;
  /// "Site occupant no. %d".
  std::string heading() const;
  /// A refusal text for the current fields, or nothing when they are acceptable.
  std::optional<std::string> validate() const;

  std::string label;
  int typeNumber = 0;
  std::string element;
  float occupancy = 0.0f;
  float charge = 0.0f;
  int scatteringNumber = 0;
  int index = 0;  ///< 0-based occupant number
};

/// "Input Atom (Site)" for site i of the input sites, with its Last / Next / New walk.
class SiteDialogModel : public DialogModel {
 public:
  SiteDialogModel(CrystalDocument& doc, UserInterface& ui, int siteIndex, bool newSite);
  static constexpr std::string_view kKind = "Site";
  std::string_view dialogKind() const override { return kKind; }

  // Fields (degrees are not involved; the six factors are the site's aniso values,
  // with the isotropic value in the first for ORTEP types 6 and 10).
  std::string label;
  int typeNumber = 0;
  float x = 0, y = 0, z = 0;
  std::array<float, 6> factors{};
  int ortepType = -1;
  bool vectorOn = false;
  std::array<float, 3> vector{};
  float vectorLength = 0;

  /// "Add input atom (site) no. %d" or "Revise input atom (site) no. %d".
  std::string heading() const;
  /// "Next" before the last site, "New" on it.
  std::string forwardButtonText() const;
  /// Occupant list header and rows of the current site.
  static const char* occupantHeader();
  std::vector<std::string> occupantRows() const;
  /// Whether the Last button applies (i > 0).
  bool canGoBack() const { return index_ > 0; }
  int siteIndex() const { return index_; }
  bool isNewSite() const { return newSite_; }

  /// A refusal text for the current fields (ranges, blanks in the label), or nothing.
  std::optional<std::string> validate() const;
  /// The change test against the stored site.
  bool siteChanged() const;
  /// Writes the fields into the current site.
  void storeSite();

  /// "Last": moves to the previous site, asking to save changes.
  void last();
  /// "Next" / "New": moves to the next site, appending a new one on the last.
  void next();
  /// OK: stores the current site.
  void accept();
  /// Cancel: drops a new site.
  void cancel();

  /// Occupant buttons. Each returns the occupant to select afterwards (0-based, -1 none).
  int addOccupant();
  int editOccupant(int j);
  int deleteOccupant(int j);

 private:
  void loadFields();
  void dropNewSite();
  /// Runs the occupant dialog on occupant j; true when OK stored it.
  bool runOccupantDialog(int j);
  Site& site();
  const Site& site() const;

  CrystalDocument& doc_;
  UserInterface& ui_;
  int index_;
  bool newSite_;
  bool occupantChanged_ = false;
};

/// The read-only "Site Occupancies" view of site i.
struct SiteOccupanciesView {
  std::string heading;
  std::string header;
  std::vector<std::string> rows;
};
SiteOccupanciesView siteOccupancies(const CrystalDocument& doc, int i);

/// The "Site Occupancies" view as a dialog (read-only).
class SiteOccupanciesModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "SiteOccupancies";
  std::string_view dialogKind() const override { return kKind; }
  SiteOccupanciesView view;
};

}  // namespace tessera
