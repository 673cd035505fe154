// The help window (F1, or "?" in the toolbar strip): every control of the main window and of
// the parameters dialog, grouped by the panels they sit in, in screen order, each with its
// caption, the kind of control and what using it does, and its own hint as the form gives it;
// then a page on the lecture keys and the mouse. The texts come from the forms, so a hint
// changed there changes here too.
#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;
class QWidget;

namespace korvex {

// The help as HTML, built from the controls of the given forms (the parameters dialog may be
// missing).
QString HelpHtml(const QWidget& mainWindow, const QWidget* parametersDialog);

class THelpWindow : public QDialog {
  Q_OBJECT

 public:
  THelpWindow(QWidget& mainWindow, const QWidget* parametersDialog);
  // Builds the text anew (hints may have changed) and shows the window in front.
  void ShowHelp();
  QString Html() const;

 private:
  QWidget& main_;
  const QWidget* params_;
  QTextBrowser* browser_;
};

// Puts "?" beside the about button of the main window's top strip and F1 on the whole
// program; both open the help window, which is created on first use.
void InstallHelp(QWidget& mainWindow, QWidget& aboutButton);

}  // namespace korvex
