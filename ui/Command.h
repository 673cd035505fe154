// Drawing commands and the one guard they run under.
//
// Every command the user starts (a button click, a slide of the lecture, a change of the
// crystal-rotation track bar) runs through RunCommand. Errors are C++ exceptions; they stop the
// command and are shown in the error box, but they never unwind through Qt's own code: the
// outermost command of the current event catches them. A command run by another command (a
// slide clicking a button) hands its error to that outer command, which stops as well.
#pragma once

#include <QString>
#include <functional>
#include <stdexcept>
#include <string>

class QAbstractButton;
class QDialog;

namespace korvex {

// The program's title, shown on its windows and on the error box.
inline constexpr const char* ProgramTitle = "Korvex";

// An error that stops the running command; its text is shown as it stands, except that a NUL
// character (pasted into a field) shows as U+2400 "␀": the text travels as a C string, which
// would end at the NUL and lose the rest of the message.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  explicit CommandError(const QString& message) : std::runtime_error(Visible(message)) {}

  static std::string Visible(QString message) {
    return message.replace(QChar(0), QChar(0x2400)).toStdString();
  }
};

// Runs body as a command. At the outermost level an escaping exception is caught and shown
// through the error reporter; inside another command it is kept and rethrown by ClickButton
// (or RethrowPendingError) once control is back in our code.
void RunCommand(const std::function<void()>& body);

// True while a command runs (outside the message pump).
bool InCommand();

// Clicks a button from inside a command (the lecture player) and lets an error of the command
// it starts reach the caller.
void ClickButton(QAbstractButton* button);

// Rethrows an error kept by a nested command whose Qt signal returned normally.
void RethrowPendingError();

// The one-shot message pump: handles the pending window messages and returns. A command
// started by one of them is a new outermost command with its own error box. With
// waitForMessage the pump first waits for a message when none is pending (an animation's
// loop then sleeps until the next timer tick or input instead of spinning).
void PumpMessages(bool waitForMessage = false);

// Shows a dialog modally. Like the message pump, its event loop starts new outermost
// commands, so an error in the dialog's own buttons is shown there and then.
int RunModal(QDialog& dialog);

// How an error reaches the user; the default shows a modal message box with the program's
// title. Tests install a recorder. Returns the previous reporter.
using ErrorReporter = std::function<void(const QString&)>;
ErrorReporter SetErrorReporter(ErrorReporter reporter);
void ReportError(const QString& message);

}  // namespace korvex
