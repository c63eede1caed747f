#include "symmetry/symmetry_dialogs.h"

#include "core/data_files.h"
#include "core/text.h"
#include "symmetry/hall_dat.h"
#include "symmetry/identify.h"
#include "symmetry/symmetry_assignment.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

// ---------------------------------------------------------------------------
// Space-Group Symmetry from Table

TableSymmetryModel::TableSymmetryModel(CrystalRecord& crystal, UserInterface& ui,
                                       std::vector<std::filesystem::path> dataFolders)
    : hmSymbol(crystal.hmSymbol),
      hallSymbol(crystal.hallSymbol),
      numberText(crystal.sgNumberText),
      symbolKind(crystal.symbolKind),
      settingCode(crystal.settingCode),
      crystal_(crystal),
      ui_(ui),
      dataFolders_(std::move(dataFolders)) {
  if (symbolKind < 0 || symbolKind > 2) symbolKind = 0;
  settingCode = settingCode == 1 ? 1 : 0;
}

bool TableSymmetryModel::select() {
  const auto list = readHallDat(dataFolders_, crystal_.sgNumberText, ui_);
  if (!list) return false;
  const int choice = ui_.choose(kHallDatHeading, list->lines, list->preselected + 1);
  if (choice < 1 || choice > static_cast<int>(list->lines.size())) return false;
  const HallDatEntry f = hallDatFields(list->lines[static_cast<std::size_t>(choice - 1)]);
  numberText = f.key;
  hmSymbol = f.hmSymbol;
  hallSymbol = f.hallSymbol;
  // The number with its extension names exactly the picked setting.
  symbolKind = kSymbolNumber;
  return true;
}

std::optional<std::string> TableSymmetryModel::validate() const {
  for (const std::string* s : {&hmSymbol, &hallSymbol, &numberText})
    if (s->size() > kMaxSymbolLength) return format("A symbol has at most %zu characters.", kMaxSymbolLength);
  return std::nullopt;
}

bool TableSymmetryModel::accept() {
  crystal_.symbolKind = symbolKind;
  crystal_.settingCode = settingCode;
  std::string text;
  if (symbolKind == kSymbolHall) {
    text = crystal_.hallSymbol = trim(hallSymbol);
  } else if (symbolKind == kSymbolNumber) {
    text = crystal_.sgNumberText = trim(numberText);
  } else {
    text = crystal_.hmSymbol = trim(hmSymbol);
  }
  if (AssignSpaceGroup(crystal_, text, symbolKind, settingCode, ui_) != 0) return false;
  crystal_.matricesValid = 0;
  crystal_.symmetrySource = 1;
  return true;
}

// ---------------------------------------------------------------------------
// Edit Symmetry Operation Line

std::string SymmetryLineModel::caption() const {
  return isNew ? format("%d (new line)", lineNumber) : format("%d", lineNumber);
}

std::string SymmetryLineModel::errorNote() const {
  return errorPosition ? "End of line indicates location of error" : "";
}

std::string SymmetryLineModel::textUpToError() const {
  if (!errorPosition) return {};
  return text.substr(0, std::min(text.size(), static_cast<std::size_t>(*errorPosition)));
}

// ---------------------------------------------------------------------------
// Custom Symmetry

CustomSymmetryModel::CustomSymmetryModel(CrystalRecord& crystal, UserInterface& ui)
    : crystal_(crystal), working_(crystal), ui_(ui) {
  readFrom(crystal_);
}

const std::vector<std::string>& CustomSymmetryModel::latticeLetters() {
  static const std::vector<std::string> letters = {"P", "A", "B", "C", "F", "I", "R"};
  return letters;
}

void CustomSymmetryModel::readFrom(const CrystalRecord& crystal) {
  symbol = crystal.hmSymbol;
  centric = crystal.acentric == 0;
  latticeIndex = (crystal.latticeCode >= 1 && crystal.latticeCode <= 7) ? crystal.latticeCode - 1 : 0;
  lines = crystal.xyzLines;
}

void CustomSymmetryModel::writeTo(CrystalRecord& crystal) const {
  crystal.acentric = centric ? 0 : 1;
  crystal.latticeCode = latticeIndex + 1;
  crystal.latticeName = latticeLetters()[static_cast<std::size_t>(latticeIndex)];
  crystal.xyzLines = lines;
  crystal.matricesValid = 0;
}

int CustomSymmetryModel::addLine() {
  if (static_cast<int>(lines.size()) >= kMaxSymmetryLines) {
    ui_.message("symmetry operations");
    return static_cast<int>(lines.size()) - 1;
  }
  lines.emplace_back();
  const int j = static_cast<int>(lines.size()) - 1;
  if (!editLine(j, true)) {
    // A new line left unedited would only fail to parse later.
    lines.pop_back();
    return j - 1;
  }
  return j;
}

int CustomSymmetryModel::deleteLine(int j) {
  if (j < 0 || j >= static_cast<int>(lines.size())) return -1;
  if (ui_.ask(format("Delete symmetry line number %d ?", j + 1), Buttons::YesNo) != Answer::Yes) return j;
  lines.erase(lines.begin() + j);
  return std::min(j, static_cast<int>(lines.size()) - 1);
}

bool CustomSymmetryModel::editLine(int j, bool isNew) {
  if (j < 0 || j >= static_cast<int>(lines.size())) return false;
  SymmetryLineModel editor;
  editor.lineNumber = j + 1;
  editor.isNew = isNew;
  editor.text = lines[static_cast<std::size_t>(j)];
  std::string lastRefused;
  for (;;) {
    if (!ui_.runDialog(editor)) return false;
    editor.text = toUpper(editor.text);
    std::string parsed = editor.text;
    for (char& c : parsed)
      if (c == ';') c = ' ';
    SeitzMx op;
    int position = 0;
    // A text that does not parse is offered again with the place of the error, unless
    // the user keeps it unchanged.
    if (ParseSymXYZ(parsed, op, STBF, &position) == 0 || editor.text == lastRefused) break;
    lastRefused = editor.text;
    editor.errorPosition = position;
  }
  lines[static_cast<std::size_t>(j)] = editor.text;
  return true;
}

void CustomSymmetryModel::getSpaceGroupSymbol() {
  // Cancel must leave the crystal as it was, so identification works on the copy.
  writeTo(working_);
  IdentifySpaceGroup(working_, ui_);
  readFrom(working_);
}

void CustomSymmetryModel::changeOption() {
  writeTo(working_);
  crystal_ = working_;
  crystal_.symmetrySource = 0;
  IdentifySpaceGroup(crystal_, ui_);
  closedForOptionChange = true;
}

void CustomSymmetryModel::accept() {
  crystal_ = working_;
  writeTo(crystal_);
  crystal_.hmSymbol = symbol;
  crystal_.symmetrySource = 4;
  BuildSymmetryMatrices(crystal_, ui_);
  crystal_.matricesValid = 1;
}

// ---------------------------------------------------------------------------

bool SymmetryCommand(Session& session, int crystalIndex) {
  CrystalDocument& doc = session.document;
  doc.activeCrystal = crystalIndex;
  CrystalRecord& crystal = doc.crystals[static_cast<std::size_t>(crystalIndex)];
  UserInterface& ui = session.ui;
  const int startingSource = crystal.symmetrySource;
  bool changed = false;
  for (;;) {
    bool accepted = false;
    if (crystal.symmetrySource == 4) {
      CustomSymmetryModel dialog(crystal, ui);
      accepted = ui.runDialog(dialog);
      // "Change Symmetry Option..." has written the lines as they stood.
      if (dialog.closedForOptionChange) accepted = true;
      else if (accepted) dialog.accept();
    } else if (crystal.symmetrySource == 1) {
      TableSymmetryModel dialog(crystal, ui, dataFolders(session));
      accepted = ui.runDialog(dialog);
      if (accepted) dialog.accept();
    } else {
      SymmetryOptionModel option;
      if (ui.runDialog(option)) {
        crystal.symmetrySource = option.option == 1 ? 4 : 1;
        continue;
      }
      // Cancel (or Escape) leaves the command: without it No would reopen the options forever.
      const Answer a =
          ui.ask("A symmetry option must be selected - do you want to select space group P1 ?", Buttons::YesNoCancel);
      if (a == Answer::Yes) {
        setDefaultP1(crystal);
        changed = true;
        break;
      }
      if (a == Answer::Cancel) break;
      continue;
    }
    changed = changed || accepted;
    if (!accepted) break;  // a cancelled dialog ends the command
    if (crystal.symmetrySource != 0) break;
  }
  // An option picked and then cancelled is no choice made.
  if (!changed) crystal.symmetrySource = startingSource;
  else doc.modified = true;
  return changed;
}

}  // namespace tessera
