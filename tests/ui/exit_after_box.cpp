// The program's way out after an error box has been shown: Run returns once the window is closed
// and main returns 0, without a crash while the toolkit is torn down at exit.
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "WindowDriver.h"
#include "platform/Application.h"

int main() {
  Application->Initialize();
  Application->CreateForm(Form1);
  QTimer::singleShot(0, [] {
    driver::Type(Form1, QStringLiteral("4700"));
    driver::Paste(Form1, QStringLiteral("abc"));
    driver::ClickLine(Form1->ListUse, 0);
    if (driver::AnswerBox([] { driver::Click(Form1->Button1); }).size() != 2) std::_Exit(2);
    Form1->Handle()->close();
  });
  Application->Run();
  return 0;
}
