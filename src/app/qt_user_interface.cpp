#include "app/qt_user_interface.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <utility>

#include "app/file_filter.h"
#include "app/pick_list_dialog.h"

namespace tessera::app {

namespace {

const char* kBoxTitle = "Tessera";

QString toQt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QMessageBox::StandardButtons standardButtons(Buttons b) {
  switch (b) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

Answer answerOf(int button, Buttons offered) {
  switch (button) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default:
      // Escape or the close box: the box's negative way out.
      return offered == Buttons::YesNo ? Answer::No : offered == Buttons::Ok ? Answer::Ok : Answer::Cancel;
  }
}

}  // namespace

/// Lifts the wait cursor while the user has to answer, and puts it back afterwards.
class QtUserInterface::NormalCursor {
 public:
  explicit NormalCursor(QtUserInterface& ui) : ui_(ui), depth_(ui.busyDepth_) {
    for (int i = 0; i < depth_; ++i) ui_.setBusy(false);
  }
  ~NormalCursor() {
    for (int i = 0; i < depth_; ++i) ui_.setBusy(true);
  }
  NormalCursor(const NormalCursor&) = delete;
  NormalCursor& operator=(const NormalCursor&) = delete;

 private:
  QtUserInterface& ui_;
  int depth_;
};

bool QtUserInterface::isWarning(std::string_view text) {
  // The words that say something went wrong or needs the user's care.
  static const QRegularExpression words(
      "\\b(error|warning|failed|cannot|unable|invalid|illegal|singular|must|no|not|too many|stopped)\\b",
      QRegularExpression::CaseInsensitiveOption);
  return words.match(toQt(text)).hasMatch();
}

void QtUserInterface::message(std::string_view text) {
  NormalCursor normal(*this);
  QMessageBox box(isWarning(text) ? QMessageBox::Warning : QMessageBox::Information, boxTitle(), toQt(text),
                  QMessageBox::Ok, parent_);
  box.exec();
}

QString QtUserInterface::boxTitle() const {
  return command_.empty() ? QString(kBoxTitle) : QString("%1 - %2").arg(kBoxTitle, toQt(command_));
}

Answer QtUserInterface::ask(std::string_view text, Buttons buttons) {
  NormalCursor normal(*this);
  QMessageBox box(QMessageBox::Question, boxTitle(), toQt(text), standardButtons(buttons), parent_);
  box.setDefaultButton(buttons == Buttons::Ok || buttons == Buttons::OkCancel ? QMessageBox::Ok : QMessageBox::Yes);
  return answerOf(box.exec(), buttons);
}

std::optional<std::string> QtUserInterface::runFileDialog(const FileRequest& request, bool save) {
  NormalCursor normal(*this);
  QFileDialog dialog(parent_, toQt(request.title), toQt(request.directory));
  dialog.setNameFilters(qtNameFilters(request.filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QString suffix = toQt(request.defaultExtension);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  // "*.tsr" is a pattern, not a name to offer.
  if (!request.defaultName.empty() && request.defaultName.find('*') == std::string::npos)
    dialog.selectFile(toQt(request.defaultName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtUserInterface::openFile(const FileRequest& request) {
  if (presetOpenFile_) return std::exchange(presetOpenFile_, std::nullopt);
  return runFileDialog(request, false);
}

std::optional<std::string> QtUserInterface::saveFile(const FileRequest& request) {
  auto path = runFileDialog(request, true);
  if (path) lastSaveFile_ = *path;
  return path;
}

int QtUserInterface::choose(std::string_view title, const std::vector<std::string>& items, int preselected) {
  NormalCursor normal(*this);
  PickListDialog dialog(toQt(title), items, preselected, parent_);
  return dialog.exec() == QDialog::Accepted ? dialog.choice() : 0;
}

bool QtUserInterface::runDialog(DialogModel& model) {
  std::unique_ptr<QDialog> view = registry_.create(model, *this, parent_);
  if (!view) {
    message("This dialog is not available: " + std::string(model.dialogKind()));
    return false;
  }
  NormalCursor normal(*this);
  return view->exec() == QDialog::Accepted;
}

void QtUserInterface::setBusy(bool busy) {
  if (busy) {
    ++busyDepth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    --busyDepth_;
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace tessera::app
