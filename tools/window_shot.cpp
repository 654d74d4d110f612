// Shows the window after typing 4700 and moving one value to the resistors not owned, as a user
// would, then either saves a grab of it (with a file name) or keeps it on screen for a while so
// that the whole screen can be captured (with --hold MILLISECONDS).
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <cstdlib>

#include "WindowDriver.h"
#include "platform/Application.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  TForm1* form = driver::OpenWindow();
  driver::Type(form, QStringLiteral("4700"));
  driver::ClickLine(form->ListUse, 0);
  driver::Click(form->Button1);
  QTest::qWait(50);
  if (args.size() == 3 && args[1] == QStringLiteral("--hold")) {
    QTimer::singleShot(args[2].toInt(), &app, &QApplication::quit);
    QApplication::exec();
  } else if (args.size() == 2) {
    if (!form->Handle()->grab().save(args[1])) {
      std::fprintf(stderr, "could not write %s\n", qPrintable(args[1]));
      return 1;
    }
  } else {
    std::fprintf(stderr, "usage: %s FILE.png | --hold MILLISECONDS\n", argv[0]);
    return 2;
  }
  driver::CloseWindow(form);
  return 0;
}
