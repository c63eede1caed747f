#pragma once
// A UserInterface that answers from queues and records everything it was shown,
// in order. Used by the tests and by scripted runs.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/user_interface.h"

namespace tessera {

class ScriptedUserInterface : public UserInterface {
 public:
  /// One event as the user would have seen it.
  struct Event {
    enum class Kind { Message, Question, OpenFile, SaveFile, Choose, Dialog } kind;
    std::string text;  ///< message or question text, file dialog title, list title, dialog kind
  };

  /// Fills or inspects a dialog model; returns OK (true) or Cancel (false).
  using DialogScript = std::function<bool(DialogModel&)>;

  void message(std::string_view text) override;
  Answer ask(std::string_view text, Buttons buttons) override;
  std::optional<std::string> openFile(const FileRequest& request) override;
  std::optional<std::string> saveFile(const FileRequest& request) override;
  int choose(std::string_view title, const std::vector<std::string>& items, int preselected) override;
  bool runDialog(DialogModel& model) override;

  // Queues. When a queue is empty: questions get the affirmative answer (Yes or
  // OK), file dialogs are cancelled, choices take the preselected item, dialogs
  // are accepted unchanged.
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> files;
  std::deque<int> choices;
  std::deque<DialogScript> dialogs;

  /// Everything shown so far, in order.
  std::vector<Event> events;
  /// Only the message-box texts, in order.
  std::vector<std::string> messages() const;
  /// Only the question texts, in order.
  std::vector<std::string> questions() const;
  /// True when a message or question with exactly this text was shown.
  bool saw(std::string_view text) const;
  /// The last request given to a file dialog.
  FileRequest lastFileRequest;
  /// The items of the last pick list.
  std::vector<std::string> lastChoiceItems;
};

}  // namespace tessera
