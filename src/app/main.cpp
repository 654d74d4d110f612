// The program entry: build the main window and run until it is closed.
#include "platform/Forms.h"
#include "ui/Unit1.h"

int main() {
  Application->HeadlessAdvice =
      "ohmsift needs a graphical session and found no display it could open; ohmsift-cli computes "
      "the same results without one.";
  try {
    Application->Initialize();
    Application->CreateForm(Form1);
    Application->Run();
  } catch (Exception& error) {
    Application->ShowException(error);
  }
  return 0;
}
