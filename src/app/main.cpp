// The program entry: build the main window and run until it is closed.
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "platform/Forms.h"
#include "ui/Unit1.h"

int main(int argc, char** argv) {
  // Temporary, for the package checks until the real options and names arrive.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("ohmsift %s\nMIT licence: see /usr/share/doc/ohmsift/copyright\n",
                  OHMSIFT_VERSION);
      return 0;
    }
  }
  Application->HeadlessAdvice =
      "ohmsift needs a graphical session and found no display it could open; ohmsift-cli computes "
      "the same results without one.";
  try {
    Application->Initialize();
    QGuiApplication::setApplicationName("OhmSift");
    QGuiApplication::setApplicationVersion(OHMSIFT_VERSION);
    QGuiApplication::setDesktopFileName("org.ohmsift.OhmSift");
    Application->CreateForm(Form1);
    Application->Run();
  } catch (Exception& error) {
    Application->ShowException(error);
  }
  return 0;
}
