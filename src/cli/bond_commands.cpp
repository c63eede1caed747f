#include "cli/bond_commands.h"

#include <algorithm>

#include "bonds/bond_dialog_model.h"
#include "core/text.h"
#include "transform/transform_engine.h"

namespace tessera::cli {

namespace {

/// The command's options as the dialog would hold them.
struct BondOptions {
  bool newAtoms = false;
  std::optional<long> atom;
  std::optional<double> limit, ligandLimit, angleLimit;
  bool angles = false;
  std::string out;
};

/// Reads the options after IN; empty on success, else the problem.
std::string parseOptions(const std::vector<std::string>& args, BondOptions& o) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--new") {
      o.newAtoms = true;
      continue;
    }
    if (a == "--angles") {
      o.angles = true;
      continue;
    }
    if (a != "--atom" && a != "--limit" && a != "--ligand-limit" && a != "--angle-limit" && a != "--out")
      return a.rfind("--", 0) == 0 ? "unknown option " + a : "unexpected argument " + a;
    if (i + 1 >= args.size()) return a + " needs a value";
    const std::string& value = args[++i];
    if (a == "--out") {
      o.out = value;
      continue;
    }
    if (a == "--atom") {
      o.atom = parseLong(value);
      if (!o.atom) return "--atom needs an atom number";
      continue;
    }
    const std::optional<double> v = parseDouble(value);
    const std::optional<std::string> problem =
        !v ? std::optional<std::string>("needs a number in Angstrom")
           : a == "--limit" ? BondDialogModel::checkCentralLigandLimit(*v) : BondDialogModel::checkLimit(*v);
    if (problem) return a + ": " + *problem;
    (a == "--limit" ? o.limit : a == "--ligand-limit" ? o.ligandLimit : o.angleLimit) = v;
  }
  return "";
}

int runBonds(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("bonds");
  if (args.empty() || args[0].rfind("--", 0) == 0) return usageError(context, *self, "expected an input file");
  BondOptions options;
  if (std::string problem = parseOptions(args, options); !problem.empty()) return usageError(context, *self, problem);
  if (!loadDocument(context, args[0])) return kExitFailed;
  CrystalDocument& doc = context.session.document;
  if (options.newAtoms) {
    // As the Transform button would with the parameters the document holds.
    if (!runTransformation(doc, context.ui).transformed) return kExitFailed;
  }
  context.ui.dialogFiller = [&options](DialogModel& m) {
    auto* model = dynamic_cast<BondDialogModel*>(&m);
    if (!model) return true;
    model->newAtoms = options.newAtoms;
    model->selectedOnly = options.atom.has_value();
    if (options.atom) model->atomNumber = static_cast<int>(std::clamp<long>(*options.atom, -1, 1L << 30));
    BondParameters& p = model->parameters;
    if (options.limit) p.centralLigandLimit = static_cast<float>(*options.limit);
    if (options.ligandLimit) p.ligandLigandLimit = static_cast<float>(*options.ligandLimit);
    if (options.angleLimit) p.angleLimit = static_cast<float>(*options.angleLimit);
    p.angles = options.angles;
    return true;
  };
  const std::optional<BondOutcome> outcome = bondLengthsCommand(context.session, options.out);
  return outcome && outcome->written ? kExitOk : kExitFailed;
}

}  // namespace

CliCommand bondsCommand() {
  return {"bonds", "list the coordination sphere of each atom (BONDS.OUT), with angles on request",
          "usage: tessera-cli bonds IN [--new] [--atom N] [--limit A] [--angles] [--ligand-limit A]\n"
          "           [--angle-limit A] [--out FILE]\n"
          "Writes BONDS.OUT (to FILE with --out, else to the home folder; ~/.local/share/tessera\n"
          "for an installed program): for every input atom, or atom N alone, the atoms within\n"
          "A Angstrom (--limit, default 2.6, at most 100) with their distances and fractional\n"
          "coordinates. --angles adds the angles between neighbours within --angle-limit (default\n"
          "2.6) whose distance apart is within --ligand-limit (default 3.6). --new first runs the\n"
          "transformation IN holds (writing its report as the Transform command does) and lists\n"
          "the New atoms. Prints nothing on success.\n",
          runBonds};
}

}  // namespace tessera::cli
