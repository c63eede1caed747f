#include "formats/import_framework.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>

#include "core/cell_geometry.h"
#include "core/elements.h"
#include "core/site_listing.h"
#include "core/messages.h"
#include "core/native_file.h"
#include "core/text.h"
#include "formats/import_dialogs.h"
#include "formats/import_finish.h"

namespace tessera {

namespace {

const char* kAllocationFailed = "New allocation for input atoms failed";
/// Most sites reserved ahead of reading: a file may declare any count; the list
/// still grows past this as sites actually arrive.
constexpr long kMaxReservedAhead = 100000;
constexpr int kMaxDataSets = 100;
constexpr std::size_t kMaxWyckoffLength = 8;

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool within(float v, double limit) { return std::isfinite(v) && std::fabs(v) <= limit; }

/// False when a value of the site could not be saved and read back.
bool siteValuesInRange(const Site& s) {
  for (float v : {s.x, s.y, s.z})
    if (!within(v, kMaxImportedCoordinate)) return false;
  for (float v : {s.isoValue, s.vectorLength, s.radius})
    if (!within(v, kMaxImportedValue)) return false;
  for (float v : s.aniso)
    if (!within(v, kMaxImportedValue)) return false;
  for (float v : s.vector)
    if (!within(v, kMaxImportedValue)) return false;
  for (const SiteOccupant& o : s.occupants) {
    if (!std::isfinite(o.occupancy) || o.occupancy < 0.0f || o.occupancy > kMaxImportedOccupancy) return false;
    if (!within(o.charge, kMaxImportedValue)) return false;
  }
  return true;
}

}  // namespace

std::string withoutControlCharacters(std::string_view text, bool& found) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      c = '_';
      found = true;
    }
  }
  return out;
}

ImportContext::ImportContext(Session& s, int kind)
    : session(s), ui(s.ui), settings(s.settings), commandKind(kind), importKind(kind) {}

const ImportKind& ImportContext::kindRow() const {
  const ImportKind* row = findImportKind(importKind);
  return row ? *row : importKinds()[0];
}

void SetImportKind(ImportContext& context, int kind) { context.importKind = kind; }

bool RunImportOptionsDialog(ImportContext& context) {
  ImportOptionsModel model(context.settings, context.importKind);
  if (!context.ui.runDialog(model)) return false;
  model.apply(context.settings);
  return true;
}

bool ChooseImportFile(ImportContext& context, bool open) {
  const ImportKind& row = context.kindRow();
  const std::string& ext = context.settings.importExtensions[static_cast<std::size_t>(row.kind)];
  FileRequest request;
  request.title = format("Import %s file", row.name);
  request.filter = format("%s files (*%s)|*%s|All Files (*.*)|*.*||", row.name, ext.c_str(), ext.c_str());
  request.defaultName = format("*%s", ext.c_str());
  request.defaultExtension = ext;
  request.directory = context.settings.documentDirectory;
  request.mustExist = true;
  const auto chosen = context.ui.openFile(request);
  if (!chosen) return false;
  context.path = *chosen;
  if (open) {
    // Only plain files: a device or a pipe could be read forever.
    std::error_code ec;
    if (std::filesystem::is_regular_file(context.path, ec))
      context.file.open(context.path, std::ios::in | std::ios::binary);
    if (!context.file.is_open()) {
      context.ui.message(fileOpenFailedMessage(context.path));
      return false;
    }
  }
  return true;
}

void ResetCrystalForImport(ImportContext& context, int level) {
  CrystalRecord& c = context.crystal();
  c.symmetrySource = level >= 1 ? 4 : 0;
  c.acentric = 1;
  c.latticeName.assign(1, 'P');
  c.latticeCode = 1;
  c.rhombohedralAxes = 0;
  c.axesType = 0;
  c.uniqueAxis = 0;
  c.symbolKind = 0;
  c.xyzLines.clear();
  if (level >= 2) c.xyzLines.push_back("X,Y,Z; ");
  context.sites().clear();
  c.cell = {1.0f, 1.0f, 1.0f, 90.0f, 90.0f, 90.0f};
}

bool ReserveSites(ImportContext& context, long count) {
  const long ahead = std::clamp(count, 0L, kMaxReservedAhead);
  if (!growSites(context.sites(), static_cast<std::size_t>(ahead))) {
    context.ui.message(kAllocationFailed);
    return false;
  }
  return true;
}

bool AddImportedSite(ImportContext& context, Site site, std::string_view label, std::string_view typeText) {
  std::vector<Site>& sites = context.sites();
  if (site.occupants.empty()) site.occupants.push_back(SiteOccupant::makeDefault(site.label, 0, 0));
  if (!siteValuesInRange(site)) {
    ++context.refusedSites;
    return true;
  }
  SiteOccupant& first = site.occupants[0];
  // "?" and "." are the CIF's unknown and inapplicable: no element.
  if (first.element == "?" || first.element == ".") first.element.clear();
  if (!(site.typeNumber > 0 && !first.element.empty())) {
    // An element symbol given by the file decides; the label is the fallback.
    TypeLookup found = typeFromElementSymbol(typeText);
    if (found.typeNumber == 0) {
      found = typeFromLabel(label);
      if (context.settings.typeNumberSource == 1 && !typeText.empty()) found = typeFromLabel(typeText);
    }
    if (site.typeNumber <= 0) site.typeNumber = found.typeNumber;
    if (first.element.empty()) first.element = found.element.empty() ? "*" : found.element;
  }
  bool& control = context.controlCharacters;
  site.label = clampLabel(withoutControlCharacters(site.label, control));
  // Texts as long as the native file keeps them, so that a save reopens the same.
  site.wyckoff = cut(withoutControlCharacters(site.wyckoff, control), kMaxWyckoffLength);
  const int index = static_cast<int>(sites.size());
  for (SiteOccupant& o : site.occupants) {
    o.label = clampLabel(withoutControlCharacters(o.label, control));
    o.element = clampLabel(withoutControlCharacters(o.element, control));
    o.origNumber = index;
  }
  site.normaliseOccupants(index);
  try {
    if (sites.size() == sites.capacity() && !growSites(sites, sites.size() + 20)) throw std::bad_alloc();
    sites.push_back(std::move(site));
  } catch (const std::bad_alloc&) {
    context.ui.message(kAllocationFailed);
    return false;
  }
  return true;
}

bool AddDataSetName(ImportContext& context, std::string_view name, int index) {
  if (index > kMaxDataSets) {
    context.ui.message("More than 100 data sets: remainder ignored");
    return false;
  }
  if (index < 1) return false;
  context.dataSetNames.resize(static_cast<std::size_t>(index));
  context.dataSetNames[static_cast<std::size_t>(index - 1)] = cut(name, 31);
  return true;
}

int ChooseDataSet(ImportContext& context) {
  DataSetModel model(context.path, context.dataSetNames);
  if (!context.ui.runDialog(model)) return 0;
  const int count = static_cast<int>(context.dataSetNames.size());
  return (model.selection >= 1 && model.selection <= count) ? model.selection : 0;
}

void AssignTemperatureFactorsByLabel(ImportContext& context, std::string_view label,
                                     const std::array<float, 6>& values, int ortepType, int typeNumber,
                                     int matchMode) {
  std::vector<Site>& sites = context.sites();
  Site* found = nullptr;
  if (matchMode == 0) {
    for (Site& s : sites)
      if (s.label == label) { found = &s; break; }
  } else {
    const std::string_view two = label.substr(0, std::min<std::size_t>(2, label.size()));
    for (Site& s : sites)
      if (s.auxNumber == typeNumber && std::string_view(s.label).substr(0, std::min<std::size_t>(2, s.label.size())) == two) {
        found = &s;
        break;
      }
    if (!found && !label.empty())
      for (Site& s : sites)
        if (s.auxNumber == typeNumber && !s.label.empty() && s.label[0] == label[0]) { found = &s; break; }
  }
  if (!found) {
    context.ui.message("Temperature factor atom label not identified");
    return;
  }
  found->ortepType = ortepType;
  found->aniso = values;
  if (ortepType == 7 || ortepType == 10) found->isoValue = values[0];
}

void CompleteCellFromAxesType(ImportResult& r) {
  auto differs = [](float angle) { return std::fabs(angle - 90.0f) > 0.0001f; };
  std::array<float, 6>& c = r.cell;
  switch (r.axesType) {
    case 2:
      r.uniqueAxis = 0;
      if (differs(c[3])) {
        r.uniqueAxis = 1;
        c[4] = c[3];
        c[3] = 90.0f;
      } else if (differs(c[5])) {
        r.uniqueAxis = 2;
        c[4] = c[5];
        c[5] = 90.0f;
      }
      break;
    case 4:
      c[1] = c[0];
      if (r.rhombohedralAxes == 0) {
        c[5] = 120.0f;
      } else {
        c[2] = c[0];
        c[4] = c[5] = c[3];
      }
      break;
    case 5: c[1] = c[0]; break;
    case 6: c[1] = c[0]; c[5] = 120.0f; break;
    case 7: c[1] = c[2] = c[0]; break;
    default: break;
  }
}

std::string importDocumentPath(const std::string& importPath) {
  const auto slash = importPath.find_last_of("/\\");
  const auto dot = importPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? importPath.substr(0, dot) : importPath) + ".tsr";
}

namespace {

/// Steps 4 to 10 of the import command on the freshly filled document.
void completeImportedDocument(ImportContext& context) {
  CrystalDocument& doc = context.document;
  CrystalRecord& old = doc.crystals[0];
  doc.documentPath = importDocumentPath(context.path);
  doc.fileTitle = fileNameOf(doc.documentPath);
  for (int k = 3; k < 6; ++k) old.cell[static_cast<std::size_t>(k)] *= 0.017453292f;
  // What the program holds is what its own file gives back: a save and reopen shows it
  // unchanged.
  keepAsNativeFileHolds(doc);
  deriveAxesType(old);
  doc.crystals[1] = old;
  doc.sites[1].clear();
  doc.transformation.resetToIdentity();
  ClassifyTemperatureFactors(doc, context.ui);
  doc.importFormat = context.commandKind;
  doc.activeCrystal = 0;
  doc.selectedSite = 0;
  doc.openMode = 0;
  doc.isOpen = true;
  doc.modified = true;
  const std::string folder = folderOf(context.path);
  if (!folder.empty()) context.settings.documentDirectory = folder;
}

}  // namespace

bool RunImport(Session& session, int kind, const SaveDocumentFn& save) {
  const ImportKind* row = findImportKind(kind);
  if (!row || !row->available()) return false;
  CrystalDocument& open = session.document;
  if (open.isOpen && open.modified) {
    const Answer a = session.ui.ask(format("Save changes to %s ?", open.documentPath.c_str()), Buttons::YesNoCancel);
    if (a == Answer::Cancel) return false;
    // A document the user wanted saved is not dropped when the save did not happen.
    if (a == Answer::Yes && (!save || !save(session))) return false;
  }
  // The settings that outlive a structure (transformation tolerance and mode, the
  // simulation settings) carry over to the imported document.
  const float tolerance = open.transformation.tolerance;
  const int mode = open.transformation.mode;
  const PowderSettings powder = open.powderSettings;
  const PrecessionSettings precession = open.precessionSettings;
  open = CrystalDocument{};
  try {
    ImportContext context(session, kind);
    clearDocument(context.document);
    context.document.transformation.tolerance = tolerance;
    context.document.transformation.mode = mode;
    context.document.powderSettings = powder;
    context.document.precessionSettings = precession;
    if (!row->reader(context)) return false;
    completeImportedDocument(context);
    session.document = std::move(context.document);
  } catch (const std::bad_alloc&) {
    session.ui.message(kAllocationFailed);
    return false;
  }
  return true;
}

}  // namespace tessera
