#pragma once
// The "Title/Structure Axes" dialog as a model: the title, the structure-axes
// choice and the six cell fields with their ranges, which fields each axes
// choice shows, and how OK stores them into the Old crystal.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

class TitleAxesModel : public DialogModel {
 public:
  /// Dialog kind under which the UI finds the view of this model.
  static constexpr std::string_view kKind = "TitleAxes";
  std::string_view dialogKind() const override { return kKind; }

  /// The six cell fields in dialog order.
  enum Field { kA = 0, kB, kC, kAlpha, kBeta, kGamma };
  static constexpr int kFieldCount = 6;
  static constexpr int kChoiceCount = 9;

  /// A field whose value was refused, with the message to show.
  struct Problem {
    int field;
    std::string message;
  };

  std::string title;             ///< structure title, at most kMaxTitleLength characters
  int axesChoice = 0;            ///< index into axesChoiceNames()
  std::array<float, 6> cell{};   ///< a, b, c (Angstrom); alpha, beta, gamma (degrees)

  /// "unit Cartesian" .. "cubic" in list order (indices 0 to 8).
  static const std::array<std::string_view, kChoiceCount>& axesChoiceNames();
  /// Caption of a cell field ("a:" .. "gamma:").
  static std::string_view fieldLabel(int field);
  /// Smallest and largest accepted value of a field (Angstrom or degrees).
  static float fieldMinimum(int field);
  static float fieldMaximum(int field);
  /// "Please enter a number between %1 and %2." filled with the field's range.
  static std::string rangeMessage(int field);
  /// A value as the dialog shows it in its field.
  static std::string fieldText(float value);
  /// True when the axes choice shows the field (hidden fields are ignored on OK).
  static bool fieldShown(int axesChoice, int field);
  bool fieldVisible(int field) const { return fieldShown(axesChoice, field); }

  /// Fills the dialog from the document: title, Old cell in degrees, axes choice.
  void loadFrom(const CrystalDocument& doc);
  /// OK rule: parses the texts of the visible fields into cell; the first refused field, if any.
  std::optional<Problem> takeFieldTexts(const std::array<std::string, kFieldCount>& texts);
  /// OK rule on the values held: the first visible field out of range, if any.
  std::optional<Problem> validate() const;
  /// True when the field's value lies in its range.
  bool inRange(int field) const;
  /// Stores title, cell and axes into the Old crystal; returns the monoclinic message or "".
  std::string applyTo(CrystalDocument& doc) const;
};

/// The list index the dialog opens with for a crystal's axesType (derived from the cell when unset).
int axesChoiceFor(const CrystalRecord& crystal);

}  // namespace tessera
