#include "core/site_listing.h"

#include <cmath>
#include <cstdio>

#include "core/temperature_factor.h"
#include "core/text.h"

namespace tessera {

namespace {

/// v as shown with the given decimals, a value that shows as zero without its sign:
/// "0.00", never "-0.00".
double shown(double v, int decimals) {
  if (!std::signbit(v) || v < -std::pow(10.0, -decimals)) return v;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  for (const char* p = text; *p; ++p)
    if (*p >= '1' && *p <= '9') return v;
  return 0.0;
}

/// A zero without its sign ("%g" shows other values as they are).
double unsignedZero(double v) { return v == 0.0 ? 0.0 : v; }

}  // namespace

std::string siteSummaryRow(const CrystalDocument& doc, int i) {
  return siteSummaryRow(doc, i, prepareReciprocalCell(doc.crystals[0].cell));
}

std::string siteSummaryRow(const CrystalDocument& doc, int i, const ReciprocalCell& rc) {
  const Site& s = doc.sites[0].at(static_cast<std::size_t>(i));
  float sof = 0.0f;
  for (const SiteOccupant& o : s.occupants) sof += o.occupancy;
  return format("%5d %-6s %3d %9.5f %9.5f %9.5f  %5.2f  %5.2f  %3d", i + 1, s.label.c_str(), s.typeNumber,
                shown(s.x, 5), shown(s.y, 5), shown(s.z, 5), shown(equivalentB(s, rc), 2), shown(sof, 2),
                s.occupantCount());
}

std::array<std::string, 3> selectedSiteTexts(const CrystalDocument& doc, int i) {
  std::array<std::string, 3> texts;
  if (i < 0 || i >= doc.siteCount()) return texts;
  const Site& s = doc.sites[0][static_cast<std::size_t>(i)];
  const int t = s.ortepType;
  std::array<double, 6> a{};
  for (std::size_t k = 0; k < 6; ++k) a[k] = shown(s.aniso[k], 6);
  const double iso = shown(s.isoValue, 6);
  if (t < 0) {
    texts[0] = "No temperature factor";
  } else if (t == 6) {
    texts[0] = format("ORTEP 6, Biso = %f", iso);
  } else if (t == 7) {
    texts[0] = format("ORTEP 7, mu = %f", iso);
  } else if (t == 10) {
    texts[0] = format("ORTEP 10, Uiso = %f", iso);
  } else if (t <= 3) {
    texts[0] = format("ORTEP %d, beta's = %f %f %f %f %f %f", t, a[0], a[1], a[2], a[3], a[4], a[5]);
  } else if (t <= 5) {
    texts[0] = format("ORTEP %d, B's = %f %f %f %f %f %f", t, a[0], a[1], a[2], a[3], a[4], a[5]);
  } else if (t == 8 || t == 9) {
    texts[0] = format("ORTEP %d, U's = %f %f %f %f %f %f", t, a[0], a[1], a[2], a[3], a[4], a[5]);
  }
  texts[1] = s.hasVector == 1 ? format("Vector:  %g   %g   %g    Length: %f", unsignedZero(s.vector[0]),
                                       unsignedZero(s.vector[1]), unsignedZero(s.vector[2]),
                                       shown(s.vectorLength, 6))
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
