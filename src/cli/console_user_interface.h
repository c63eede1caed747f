#pragma once
// The UserInterface of tessera-cli: messages go to standard error as
// "tessera: <text>", questions are answered from a policy and never block.

#include <deque>
#include <functional>
#include <ostream>
#include <string>

#include "core/user_interface.h"

namespace tessera::cli {

/// How questions are answered.
struct AnswerPolicy {
  bool negative = false;       ///< --no: take No / Cancel instead of Yes / OK
  std::deque<char> queued;     ///< --answers: y, n, c, o in order, then the default
};

class ConsoleUserInterface : public UserInterface {
 public:
  ConsoleUserInterface(std::ostream& err, AnswerPolicy policy) : err_(err), policy_(std::move(policy)) {}

  void message(std::string_view text) override;
  Answer ask(std::string_view text, Buttons buttons) override;
  std::optional<std::string> openFile(const FileRequest& request) override;
  std::optional<std::string> saveFile(const FileRequest& request) override;
  int choose(std::string_view title, const std::vector<std::string>& items, int preselected) override;
  bool runDialog(DialogModel& model) override;

  /// Paths handed to the next file dialogs, in order (a command knows its files).
  std::deque<std::string> files;
  /// Choices for the next pick lists (1-based), in order; otherwise the preselected item.
  std::deque<int> choices;
  /// Fills dialog models from the command's options; dialogs are accepted unchanged without one.
  std::function<bool(DialogModel&)> dialogFiller;

 private:
  std::ostream& err_;
  AnswerPolicy policy_;
};

/// Parses "y,n,c,o" into a policy queue; false on an unknown letter.
bool parseAnswers(const std::string& list, AnswerPolicy& policy);

}  // namespace tessera::cli
