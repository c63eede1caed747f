#include "cli/console_user_interface.h"

#include <cctype>

namespace tessera::cli {

namespace {

const char* answerName(Answer a) {
  switch (a) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
  }
  return "";
}

Answer affirmative(Buttons b) { return (b == Buttons::Ok || b == Buttons::OkCancel) ? Answer::Ok : Answer::Yes; }

Answer negative(Buttons b) {
  switch (b) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Answer::No;
  }
  return Answer::No;
}

/// Maps a queued letter onto the buttons offered; nothing when it does not fit.
std::optional<Answer> fromLetter(char c, Buttons b) {
  switch (c) {
    case 'y': return b == Buttons::YesNo || b == Buttons::YesNoCancel ? std::optional(Answer::Yes) : std::optional(Answer::Ok);
    case 'o': return b == Buttons::Ok || b == Buttons::OkCancel ? std::optional(Answer::Ok) : std::optional(Answer::Yes);
    case 'n': return b == Buttons::YesNo || b == Buttons::YesNoCancel ? std::optional(Answer::No) : std::optional(Answer::Cancel);
    case 'c': return b == Buttons::YesNoCancel || b == Buttons::OkCancel ? std::optional(Answer::Cancel) : negative(b);
    default: return std::nullopt;
  }
}

}  // namespace

bool parseAnswers(const std::string& list, AnswerPolicy& policy) {
  for (char c : list) {
    const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (l == ',' || l == ' ') continue;
    if (l != 'y' && l != 'n' && l != 'c' && l != 'o') return false;
    policy.queued.push_back(l);
  }
  return true;
}

void ConsoleUserInterface::message(std::string_view text) { err_ << "tessera: " << text << "\n"; }

Answer ConsoleUserInterface::ask(std::string_view text, Buttons buttons) {
  Answer a = policy_.negative ? negative(buttons) : affirmative(buttons);
  if (buttons == Buttons::Ok) a = Answer::Ok;
  if (!policy_.queued.empty()) {
    const char c = policy_.queued.front();
    policy_.queued.pop_front();
    if (auto q = fromLetter(c, buttons)) a = *q;
  }
  err_ << "tessera: " << text << " -> " << answerName(a) << "\n";
  return a;
}

std::optional<std::string> ConsoleUserInterface::openFile(const FileRequest&) {
  if (files.empty()) return std::nullopt;
  std::string f = files.front();
  files.pop_front();
  return f;
}

std::optional<std::string> ConsoleUserInterface::saveFile(const FileRequest& request) { return openFile(request); }

int ConsoleUserInterface::choose(std::string_view, const std::vector<std::string>& items, int preselected) {
  if (!choices.empty()) {
    const int c = choices.front();
    choices.pop_front();
    return (c >= 1 && c <= static_cast<int>(items.size())) ? c : 0;
  }
  return preselected;
}

bool ConsoleUserInterface::runDialog(DialogModel& model) { return dialogFiller ? dialogFiller(model) : true; }

}  // namespace tessera::cli
