#include "core/site_listing.h"

#include "core/temperature_factor.h"
#include "core/text.h"

namespace tessera {

std::string siteSummaryRow(const CrystalDocument& doc, int i) {
  return siteSummaryRow(doc, i, prepareReciprocalCell(doc.crystals[0].cell));
}

std::string siteSummaryRow(const CrystalDocument& doc, int i, const ReciprocalCell& rc) {
  const Site& s = doc.sites[0].at(static_cast<std::size_t>(i));
  float sof = 0.0f;
  for (const SiteOccupant& o : s.occupants) sof += o.occupancy;
  return format("%5d %-6s %3d %9.5f %9.5f %9.5f  %5.2f  %5.2f  %3d", i + 1, s.label.c_str(), s.typeNumber, s.x, s.y,
                s.z, equivalentB(s, rc), sof, s.occupantCount());
}

std::array<std::string, 3> selectedSiteTexts(const CrystalDocument& doc, int i) {
  std::array<std::string, 3> texts;
  if (i < 0 || i >= doc.siteCount()) return texts;
  const Site& s = doc.sites[0][static_cast<std::size_t>(i)];
  const int t = s.ortepType;
  const auto& a = s.aniso;
  if (t < 0) {
    texts[0] = "No temperature factor";
  } else if (t == 6) {
    texts[0] = format("ORTEP 6, Biso = %f", s.isoValue);
  } else if (t == 7) {
    texts[0] = format("ORTEP 7, mu = %f", s.isoValue);
  } else if (t == 10) {
    texts[0] = format("ORTEP 10, Uiso = %f", s.isoValue);
  } else if (t <= 3) {
    texts[0] = format("ORTEP %d, beta's = %f %f %f %f %f %f", t, a[0], a[1], a[2], a[3], a[4], a[5]);
  } else if (t <= 5) {
    texts[0] = format("ORTEP %d, B's = %f %f %f %f %f %f", t, a[0], a[1], a[2], a[3], a[4], a[5]);
  } else if (t == 8 || t == 9) {
    texts[0] = format("ORTEP %d, U's = %f %f %f %f %f %f", t, a[0], a[1], a[2], a[3], a[4], a[5]);
  }
  texts[1] = s.hasVector == 1 ? format("Vector:  %g   %g   %g    Length: %f", s.vector[0], s.vector[1], s.vector[2],
                                       s.vectorLength)
                              : "No vector";
  texts[2] = format("Selected atom: %d  %s", i + 1, s.label.c_str());
  return texts;
}

std::string reportPathFor(const std::string& documentPath) {
  std::string path = trimRight(documentPath);
  const std::size_t sep = path.find_last_of("\\/:");
  const std::size_t nameStart = (sep == std::string::npos) ? 0 : sep + 1;
  const std::size_t dot = path.rfind('.');
  if (dot != std::string::npos && dot >= nameStart && dot > 0) return path.substr(0, dot) + ".out";
  return path + ".out";
}

std::string fileNameOf(const std::string& path) {
  const std::size_t sep = path.find_last_of("\\/:");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

bool hasNativeExtension(const std::string& path) {
  const std::string name = fileNameOf(trimRight(path));
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  return startsWithIgnoreCase(std::string_view(name).substr(dot), ".tsr");
}

}  // namespace tessera
