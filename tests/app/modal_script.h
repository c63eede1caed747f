#pragma once
// Answers the modal windows of a command as they come up, in order.

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>

namespace tessera::test {

/// Answers each modal window as it comes up and records its title (message boxes: their text).
/// Boxes with a choice take the queued answers, file dialogs the queued paths (none or an empty
/// one: cancelled), other dialogs the queued steps (none: accepted as they stand).
struct ModalScript {
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<QString> paths;
  std::deque<std::function<void(QDialog*)>> dialogs;
  QStringList seen;
  QTimer timer;

  ModalScript() {
    QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
    timer.start(20);
  }
  template <class T>
  static T take(std::deque<T>& queue, T none) {
    if (queue.empty()) return none;
    T front = queue.front();
    queue.pop_front();
    return front;
  }
  void answer() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || w->property("scripted").toBool()) return;
    w->setProperty("scripted", true);
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      seen << box->text();
      const auto button = box->buttons().size() == 1 ? QMessageBox::Ok : take(answers, QMessageBox::Cancel);
      // A box without that button (an unexpected question) takes its negative way out.
      QAbstractButton* pressed = box->button(button);
      if (!pressed) pressed = box->button(QMessageBox::No) ? box->button(QMessageBox::No) : box->buttons().last();
      pressed->click();
    } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
      seen << files->windowTitle();
      const QString path = take(paths, QString());
      if (path.isEmpty()) return files->reject();
      // Typed as a user does: selectFile leaves a focused name field alone.
      // selectFile drops the offered file's selection (else it would be the one taken);
      // the typed text follows, as selectFile leaves a focused name field alone.
      files->selectFile(path);
      files->findChild<QLineEdit*>("fileNameEdit")->setText(path);
      // From the dialog's own loop: a question it asks (replace the file?) is answered too.
      QTimer::singleShot(0, files, [files] { static_cast<QDialog*>(files)->accept(); });
    } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
      seen << dialog->windowTitle();
      // Run from the dialog's own loop, so a dialog the step opens is answered as well.
      const auto step = take(dialogs, std::function<void(QDialog*)>(&QDialog::accept));
      QTimer::singleShot(0, dialog, [step, dialog] { step(dialog); });
    }
  }
};

}  // namespace tessera::test
