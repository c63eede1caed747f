#include "commands/site_dialog_model.h"

#include <cmath>

#include "core/text.h"

namespace tessera {

namespace {

constexpr float kChangeTolerance = 5e-6f;
const char* kOccupantHeader = " No.  Orig. Label  Elem    Chrg    SOF     Sc no. ";

std::optional<std::string> refuseBlanks(const std::string& text, const char* field) {
  if (hasBlank(text)) return format("The %s may not contain blanks.", field);
  return std::nullopt;
}

std::string rangeMessage(int low, int high) {
  return format("Please enter a number between %d and %d.", low, high);
}

}  // namespace

// ---------------------------------------------------------------------------
// Atom Sharing a Site

void OccupantDialogModel::load(const SiteOccupant& o, int j) {
  label = o.label;
  typeNumber = o.typeNumber;
  element = o.element;
  occupancy = o.occupancy;
  charge = o.charge;
  scatteringNumber = o.scatteringNumber;
  index = j;
}

void OccupantDialogModel::store(SiteOccupant& o) const {
  o.charge = charge;
  o.element = element.empty() ? std::string("*") : clampLabel(element);
  o.scatteringNumber = scatteringNumber;
  o.label = clampLabel(label);
  o.occupancy = occupancy;
  o.typeNumber = typeNumber;
}

std::string OccupantDialogModel::heading() const { return format("Site occupant no. %d", index + 1); }

std::optional<std::string> OccupantDialogModel::validate() const {
  if (auto r = refuseBlanks(label, "label")) return r;
  if (auto r = refuseBlanks(element, "element symbol")) return r;
  if (!std::isfinite(occupancy) || !std::isfinite(charge)) return std::string("Please enter a number.");
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Input Atom (Site)

SiteDialogModel::SiteDialogModel(CrystalDocument& doc, UserInterface& ui, int siteIndex, bool newSite)
    : doc_(doc), ui_(ui), index_(siteIndex), newSite_(newSite) {
  loadFields();
}

Site& SiteDialogModel::site() { return doc_.sites[0].at(static_cast<std::size_t>(index_)); }
const Site& SiteDialogModel::site() const { return doc_.sites[0].at(static_cast<std::size_t>(index_)); }

void SiteDialogModel::loadFields() {
  const Site& s = site();
  label = s.label;
  typeNumber = s.typeNumber;
  x = s.x;
  y = s.y;
  z = s.z;
  factors = s.aniso;
  ortepType = s.ortepType;
  if (ortepType == 6 || ortepType == 10) factors[0] = s.isoValue;
  vectorOn = s.hasVector == 1;
  vector = s.vector;
  vectorLength = s.vectorLength;
  occupantChanged_ = false;
}

std::string SiteDialogModel::heading() const {
  return format("%s input atom (site) no. %d", newSite_ ? "Add" : "Revise", index_ + 1);
}

std::string SiteDialogModel::forwardButtonText() const { return index_ < doc_.siteCount() - 1 ? "Next" : "New"; }

const char* SiteDialogModel::occupantHeader() { return kOccupantHeader; }

std::vector<std::string> SiteDialogModel::occupantRows() const {
  std::vector<std::string> rows;
  int n = 1;
  for (const SiteOccupant& o : site().occupants)
    rows.push_back(format("%5d %5d %-6s  %-2s    %4.1f  %6.3f    %2d", n++, o.origNumber, o.label.c_str(),
                          o.element.c_str(), o.charge, o.occupancy, o.scatteringNumber));
  return rows;
}

std::optional<std::string> SiteDialogModel::validate() const {
  if (ortepType < -1 || ortepType > 20) return rangeMessage(-1, 20);
  if (auto r = refuseBlanks(label, "label")) return r;
  for (float v : {x, y, z, vectorLength})
    if (!std::isfinite(v)) return std::string("Please enter a number.");
  for (float v : factors)
    if (!std::isfinite(v)) return std::string("Please enter a number.");
  return std::nullopt;
}

bool SiteDialogModel::siteChanged() const {
  const Site& s = site();
  auto differs = [](float a, float b) { return std::fabs(a - b) > kChangeTolerance; };
  if (differs(x, s.x) || differs(y, s.y) || differs(z, s.z)) return true;
  std::array<float, 6> stored = s.aniso;
  if (s.ortepType == 6 || s.ortepType == 10) stored[0] = s.isoValue;
  for (std::size_t k = 0; k < 6; ++k)
    if (differs(factors[k], stored[k])) return true;
  return typeNumber != s.typeNumber || ortepType != s.ortepType || label != s.label || occupantChanged_;
}

void SiteDialogModel::storeSite() {
  Site& s = site();
  s.label = clampLabel(label);
  s.typeNumber = typeNumber;
  s.x = x;
  s.y = y;
  s.z = z;
  s.aniso = factors;
  s.ortepType = ortepType;
  s.normaliseOccupants(index_);
  if (ortepType == 6 || ortepType == 10) s.isoValue = factors[0];
  if (vectorOn) {
    s.hasVector = 1;
    s.vector = vector;
    s.vectorLength = vectorLength;
  } else {
    s.hasVector = 0;
  }
}

void SiteDialogModel::dropNewSite() {
  doc_.sites[0].erase(doc_.sites[0].begin() + index_);
  newSite_ = false;
}

void SiteDialogModel::last() {
  if (index_ <= 0) return;
  if (siteChanged()) {
    if (ui_.ask("Save changes to current atom ?", Buttons::YesNo) == Answer::Yes) {
      storeSite();
    } else if (newSite_) {
      dropNewSite();
    }
  } else if (newSite_) {
    dropNewSite();
  }
  newSite_ = false;
  --index_;
  doc_.selectedSite = index_;
  loadFields();
}

void SiteDialogModel::next() {
  bool appended = false;
  if (index_ >= doc_.siteCount() - 1) {
    if (!growSites(doc_.sites[0], doc_.sites[0].size() + 1)) {
      ui_.message("New allocation for input atoms failed");
      return;
    }
    Site blank;
    blank.ortepType = -1;
    doc_.sites[0].push_back(blank);
    appended = true;
  }
  if (siteChanged() && ui_.ask("Save changes to current atom ?", Buttons::YesNo) == Answer::Yes) storeSite();
  // A site left behind keeps the invariant that it holds at least one atom.
  site().normaliseOccupants(index_);
  newSite_ = appended;
  ++index_;
  doc_.selectedSite = index_;
  loadFields();
}

void SiteDialogModel::accept() {
  storeSite();
  newSite_ = false;
}

void SiteDialogModel::cancel() {
  if (newSite_) dropNewSite();
}

int SiteDialogModel::addOccupant() {
  Site& s = site();
  if (s.occupantCount() >= kMaxOccupants) {
    ui_.message(format("A site can be shared by at most %d atoms", kMaxOccupants));
    return s.occupantCount() - 1;
  }
  // The site's own atom is occupant 1: a site without occupants gets it first, so the
  // added atom shares the site instead of becoming the site's own atom.
  if (s.occupants.empty()) s.occupants.push_back(SiteOccupant::makeDefault(clampLabel(label), index_, typeNumber));
  s.occupants.push_back(SiteOccupant::makeDefault(clampLabel(label), index_, typeNumber));
  const int j = s.occupantCount() - 1;
  if (runOccupantDialog(j)) return j;
  site().occupants.pop_back();
  return j - 1;
}

int SiteDialogModel::editOccupant(int j) {
  if (j < 0 || j >= site().occupantCount()) return -1;
  runOccupantDialog(j);
  return j;
}

bool SiteDialogModel::runOccupantDialog(int j) {
  OccupantDialogModel dialog;
  dialog.load(site().occupants[static_cast<std::size_t>(j)], j);
  if (!ui_.runDialog(dialog)) return false;
  dialog.store(site().occupants[static_cast<std::size_t>(j)]);
  occupantChanged_ = true;
  return true;
}

int SiteDialogModel::deleteOccupant(int j) {
  Site& s = site();
  if (j < 0 || j >= s.occupantCount()) return -1;
  if (ui_.ask(format("Delete site occupant number %d ?", j + 1), Buttons::YesNo) != Answer::Yes) return j;
  s.occupants.erase(s.occupants.begin() + j);
  occupantChanged_ = true;
  return std::min(j, s.occupantCount() - 1);
}

SiteOccupanciesView siteOccupancies(const CrystalDocument& doc, int i) {
  SiteOccupanciesView view;
  const Site& s = doc.sites[0].at(static_cast<std::size_t>(i));
  view.heading = format("Site No. %d - %s %f  %f  %f", i + 1, s.label.c_str(), s.x, s.y, s.z);
  view.header = kOccupantHeader;
  int n = 1;
  for (const SiteOccupant& o : s.occupants)
    view.rows.push_back(format("%5d %5d %-6s  %-2s %4.1f  %6.3f %2d", n++, o.origNumber, o.label.c_str(),
                               o.element.c_str(), o.charge, o.occupancy, o.scatteringNumber));
  return view;
}

}  // namespace tessera
