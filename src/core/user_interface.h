#pragma once
// The UI port. Logic never opens a window: it shows messages, asks questions,
// asks for file names and runs dialog models through this interface. The Qt
// program, tessera-cli and the tests each provide an implementation.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessera {

/// Buttons of a question box.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };

/// The button the user pressed.
enum class Answer { Ok, Cancel, Yes, No };

/// True for the affirmative answers (Yes, OK).
inline bool isAffirmative(Answer a) { return a == Answer::Yes || a == Answer::Ok; }

/// A file dialog request. The filter uses the "Text (*.ext)|*.ext|...||" form.
struct FileRequest {
  std::string title;
  std::string filter;
  std::string defaultName;       ///< offered file name, e.g. "Untitled.ins"
  std::string defaultExtension;  ///< e.g. ".ins", appended when the user gives none
  std::string directory;         ///< folder the dialog starts in (empty: the working directory)
  bool mustExist = true;         ///< open dialogs: the file must exist
  bool confirmOverwrite = true;  ///< save dialogs: ask before replacing a file
};

/// Base of every dialog model. A model holds a dialog's fields, ranges and button
/// logic; the UI shows it and edits it in place.
class DialogModel {
 public:
  virtual ~DialogModel() = default;
  /// Stable identifier of the dialog kind (for example "TitleAxes").
  virtual std::string_view dialogKind() const = 0;
};

/// The abstract port every command talks to.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  /// A modal message box with an OK button.
  virtual void message(std::string_view text) = 0;
  /// A modal question; returns the pressed button.
  virtual Answer ask(std::string_view text, Buttons buttons) = 0;
  /// Asks for an existing file to open; nullopt when cancelled.
  virtual std::optional<std::string> openFile(const FileRequest& request) = 0;
  /// Asks for a file to write; nullopt when cancelled.
  virtual std::optional<std::string> saveFile(const FileRequest& request) = 0;
  /// A pick list; returns the 1-based choice, 0 when cancelled.
  virtual int choose(std::string_view title, const std::vector<std::string>& items, int preselected) = 0;
  /// Runs a modal dialog on the model; true for OK, false for Cancel.
  virtual bool runDialog(DialogModel& model) = 0;
  /// Shows or hides the wait cursor around long operations.
  virtual void setBusy(bool /*busy*/) {}
};

/// Shows the wait cursor for the lifetime of the object.
class BusyCursor {
 public:
  explicit BusyCursor(UserInterface& ui) : ui_(ui) { ui_.setBusy(true); }
  ~BusyCursor() { ui_.setBusy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace tessera
