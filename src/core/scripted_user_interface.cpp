#include "core/scripted_user_interface.h"

namespace tessera {

void ScriptedUserInterface::message(std::string_view text) {
  events.push_back({Event::Kind::Message, std::string(text)});
}

Answer ScriptedUserInterface::ask(std::string_view text, Buttons buttons) {
  events.push_back({Event::Kind::Question, std::string(text)});
  if (!answers.empty()) {
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  return (buttons == Buttons::Ok || buttons == Buttons::OkCancel) ? Answer::Ok : Answer::Yes;
}

std::optional<std::string> ScriptedUserInterface::openFile(const FileRequest& request) {
  events.push_back({Event::Kind::OpenFile, request.title});
  lastFileRequest = request;
  if (files.empty()) return std::nullopt;
  auto f = files.front();
  files.pop_front();
  return f;
}

std::optional<std::string> ScriptedUserInterface::saveFile(const FileRequest& request) {
  events.push_back({Event::Kind::SaveFile, request.title});
  lastFileRequest = request;
  if (files.empty()) return std::nullopt;
  auto f = files.front();
  files.pop_front();
  return f;
}

int ScriptedUserInterface::choose(std::string_view title, const std::vector<std::string>& items, int preselected) {
  events.push_back({Event::Kind::Choose, std::string(title)});
  lastChoiceItems = items;
  if (!choices.empty()) {
    const int c = choices.front();
    choices.pop_front();
    return c;
  }
  return preselected;
}

bool ScriptedUserInterface::runDialog(DialogModel& model) {
  events.push_back({Event::Kind::Dialog, std::string(model.dialogKind())});
  if (dialogs.empty()) return true;
  auto script = std::move(dialogs.front());
  dialogs.pop_front();
  return script(model);
}

std::vector<std::string> ScriptedUserInterface::messages() const {
  std::vector<std::string> out;
  for (const auto& e : events)
    if (e.kind == Event::Kind::Message) out.push_back(e.text);
  return out;
}

std::vector<std::string> ScriptedUserInterface::questions() const {
  std::vector<std::string> out;
  for (const auto& e : events)
    if (e.kind == Event::Kind::Question) out.push_back(e.text);
  return out;
}

bool ScriptedUserInterface::saw(std::string_view text) const {
  for (const auto& e : events)
    if ((e.kind == Event::Kind::Message || e.kind == Event::Kind::Question) && e.text == text) return true;
  return false;
}

}  // namespace tessera
