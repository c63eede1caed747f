#pragma once
// The texts that describe sites in the Control Window and the path rule of
// report files.

#include <array>
#include <string>

#include "core/crystal_document.h"
#include "core/temperature_factor.h"

namespace tessera {

/// Header of the Control Window's site list.
inline constexpr const char* kSiteListHeader =
    " No. Label   Type      Coordinates                Beq    SOF  No. atoms";

/// The Control Window row of input site i (0-based).
std::string siteSummaryRow(const CrystalDocument& doc, int i);
/// The same with the Old crystal's reciprocal cell already prepared (one per listing).
std::string siteSummaryRow(const CrystalDocument& doc, int i, const ReciprocalCell& reciprocal);

/// Temperature-factor line, vector line and "Selected atom" caption of input site i.
std::array<std::string, 3> selectedSiteTexts(const CrystalDocument& doc, int i);

/// The report file of a document: its extension replaced by ".out" (or ".out" appended).
std::string reportPathFor(const std::string& documentPath);

/// File name and extension of a path (after the last "/", "\" or ":").
std::string fileNameOf(const std::string& path);

/// True when the path's extension is ".tsr" in any case.
bool hasNativeExtension(const std::string& path);

}  // namespace tessera
