#include "cli/symmetry_commands.h"

#include <iostream>

#include "core/text.h"
#include "symmetry/identify.h"
#include "symmetry/sg_complete.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"

namespace tessera::cli {

namespace {

void printGroup(std::ostream& out, const SgInfo& sg) {
  const TabSgName* row = sg.tabSgName;
  out << "Hall: " << (row ? row->HallSymbol : sg.HallSymbol) << "\n";
  out << "Number: " << (row ? row->key() : "") << "\n";
  out << "H-M: " << (row ? row->documentHmSymbol() : "") << "\n";
  out << "Lattice: " << sg.lattice->code << "\n";
  out << "Centric: " << sg.centric << "\n";
  out << "Crystal system: " << xtalSystemName(sg.xtalSystem) << "\n";
  out << "Point group: " << pointGroupName(sg.pointGroup) << "\n";
  const std::vector<std::string> lines = listedOperatorLines(sg, false);
  out << "Operators: " << lines.size() << "\n";
  for (const std::string& line : lines) out << line << "\n";
}

int printTable(CliContext& context) {
  for (const TabSgName& row : tabSgNames()) {
    SgInfo sg;
    const bool same = BuildSgInfoFromHall(row.HallSymbol, sg) == 0 && sg.HallSymbol == row.HallSymbol;
    context.out << row.key() << "\t" << row.HallSymbol << "\t" << row.documentHmSymbol() << "\t"
                << (same ? "ok" : "MISMATCH " + (sg.error.empty() ? sg.HallSymbol : sg.error)) << "\n";
  }
  return kExitOk;
}

int runSpaceGroup(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("sg");
  bool hall = false, table = false, optionsDone = false;
  char volume = 'A';
  std::vector<std::string> words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsDone && a == "--") {
      optionsDone = true;
    } else if (!optionsDone && a == "--hall") {
      hall = true;
    } else if (!optionsDone && a == "--table") {
      table = true;
    } else if (!optionsDone && a == "--vol") {
      if (++i >= args.size() || (args[i] != "A" && args[i] != "I")) return usageError(context, *self, "--vol needs A or I");
      volume = args[i][0];
    } else {
      words.push_back(a);  // a Hall symbol may begin with "-"
    }
  }
  if (table) return words.empty() ? printTable(context) : usageError(context, *self, "--table takes no symbol");
  if (words.empty()) return usageError(context, *self, "expected a symbol");
  std::string symbol = words[0];
  for (std::size_t i = 1; i < words.size(); ++i) symbol += " " + words[i];
  SgInfo sg;
  const int r = hall ? BuildSgInfoFromHall(symbol, sg) : BuildSgInfoFromSymbol(symbol, volume, sg);
  if (r != 0) {
    context.ui.message(sg.error);
    return kExitFailed;
  }
  printGroup(context.out, sg);
  return kExitOk;
}

int runIdentifyStdin(CliContext& context, const std::vector<std::string>& args) {
  return runIdentify(context, args, std::cin);
}

}  // namespace

int runIdentify(CliContext& context, const std::vector<std::string>& args, std::istream& in) {
  const CliCommand* self = findCommand("identify");
  CrystalRecord crystal;
  crystal.acentric = 1;
  crystal.latticeCode = 1;
  crystal.latticeName = "P";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--centric") {
      crystal.acentric = 0;
    } else if (args[i] == "--lattice" && i + 1 < args.size() && args[i + 1].size() == 1 &&
               std::string_view("PABCFIR").find(args[i + 1][0]) != std::string_view::npos) {
      crystal.latticeName = args[++i];
      crystal.latticeCode = latticeCodeFromLetter(crystal.latticeName[0]);
    } else {
      return usageError(context, *self, "unknown argument " + args[i]);
    }
  }
  std::string line;
  while (std::getline(in, line)) {
    line = trim(line);
    if (!line.empty()) crystal.xyzLines.push_back(line);
  }
  if (IdentifySpaceGroup(crystal, context.ui) != 1) return kExitFailed;
  SgInfo sg;
  if (BuildSgInfoFromSymbol(crystal.sgNumberText, 'A', sg) != 0) {
    context.ui.message(sg.error);
    return kExitFailed;
  }
  printGroup(context.out, sg);
  return kExitOk;
}

CliCommand spaceGroupCommand() {
  return {"sg", "show a space group named by H-M symbol, number or Hall symbol",
          "usage: tessera-cli sg [--hall] [--vol A|I] SYMBOL\n"
          "       tessera-cli sg --table\n"
          "Looks SYMBOL up in the table of the 530 settings (H-M symbol, or number with optional\n"
          "extension such as 14:c1; volume A conventions unless --vol I), or parses it as a Hall\n"
          "symbol with --hall, and prints the Hall symbol, key, H-M symbol, lattice, centric state,\n"
          "crystal system, point group and the listed operators. --table checks that every row's\n"
          "group rebuilds its own Hall symbol.\n",
          runSpaceGroup};
}

CliCommand identifyCommand() {
  return {"identify", "identify the space group of operators read from standard input",
          "usage: tessera-cli identify [--centric] [--lattice P|A|B|C|F|I|R] < OPERATORS\n"
          "Reads one symmetry operator per line (x,y,z form), identifies the space group as for a\n"
          "document with these flags (--centric: the lines list one operator of each pair related\n"
          "by the inversion at the origin), prints the messages and then the block of `sg`.\n",
          runIdentifyStdin};
}

}  // namespace tessera::cli
