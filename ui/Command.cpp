#include "ui/Command.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QMessageBox>
#include <QWidget>
#include <exception>
#include <utility>

namespace korvex {

namespace {

int commandDepth = 0;             // commands running in the current event
std::exception_ptr pendingError;  // kept by a nested command until its caller resumes

void ShowInMessageBox(const QString& message) {
  QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(ProgramTitle), message);
}

ErrorReporter& Reporter() {
  static ErrorReporter reporter = ShowInMessageBox;
  return reporter;
}

QString MessageOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QString();  // not one of ours: shown with an empty message
  }
}

struct DepthGuard {
  DepthGuard() { ++commandDepth; }
  ~DepthGuard() { --commandDepth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

}  // namespace

void RunCommand(const std::function<void()>& body) {
  const bool outermost = commandDepth == 0;
  std::exception_ptr error;
  {
    DepthGuard depth;
    try {
      body();
    } catch (...) {
      error = std::current_exception();
    }
  }
  if (!error) return;
  if (outermost) {
    pendingError = nullptr;
    ReportError(MessageOf(error));
  } else {
    pendingError = error;
  }
}

bool InCommand() { return commandDepth > 0; }

void RethrowPendingError() {
  if (pendingError) std::rethrow_exception(std::exchange(pendingError, nullptr));
}

void ClickButton(QAbstractButton* button) {
  if (button == nullptr) return;
  button->click();
  RethrowPendingError();
}

void PumpMessages(bool waitForMessage) {
  const int savedDepth = std::exchange(commandDepth, 0);
  std::exception_ptr savedPending = std::exchange(pendingError, nullptr);
  QCoreApplication::processEvents(waitForMessage ? QEventLoop::WaitForMoreEvents
                                                 : QEventLoop::AllEvents);
  commandDepth = savedDepth;
  pendingError = std::move(savedPending);
}

int RunModal(QDialog& dialog) {
  const int savedDepth = std::exchange(commandDepth, 0);
  std::exception_ptr savedPending = std::exchange(pendingError, nullptr);
  const int result = dialog.exec();
  commandDepth = savedDepth;
  pendingError = std::move(savedPending);
  return result;
}

ErrorReporter SetErrorReporter(ErrorReporter reporter) {
  return std::exchange(Reporter(), std::move(reporter));
}

void ReportError(const QString& message) {
  if (Reporter()) Reporter()(message);
}

}  // namespace korvex
