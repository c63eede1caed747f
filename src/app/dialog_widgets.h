#pragma once
// Small pieces every dialog view shares: right-aligned labels with buddies, the
// OK/Cancel row, number fields and reading them back.

#include <QString>
#include <optional>
#include <string_view>

class QDialog;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace tessera::app {

/// A QString of UTF-8 text.
QString toQt(std::string_view text);

/// The text with its mnemonic on `key`, at a word's start where it can be (that case first, then either
/// case); unchanged without one or for key '\0'.
QString withMnemonic(std::string_view text, char key);

/// A label aligned right beside its field; its mnemonic focuses the field.
QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent);

/// OK (the default button, so Enter accepts) and Cancel wired to the dialog.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

/// A line edit sized for about `chars` characters.
QLineEdit* numberField(QWidget* parent, int chars = 10);

/// Makes the window at least as wide as its title needs.
void fitTitle(QWidget* window);

/// A float as a field shows it (up to seven significant digits).
QString fieldText(double value);

/// The number a field holds, or nothing when it does not read as a finite number.
std::optional<double> fieldNumber(const QLineEdit* field);

/// Gives the field the focus with its text selected (after a refused value).
void focusRefused(QLineEdit* field);

}  // namespace tessera::app
