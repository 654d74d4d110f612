// The application object: start-up, the event loop, and the standard error box in which every
// error that escapes a handler is shown.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "platform/Forms.h"

class QObject;

class TApplication : public TObject, public TDispatcher {
 public:
  TApplication();
  ~TApplication() override;

  // Prepares the application object and its toolkit, which takes its own options from the
  // program's command line (-platform, -style, -reverse ...; it removes them from argv). When no
  // window can be opened (no display, or one that cannot be opened), says why in one sentence on
  // the standard error stream and returns false. With no platform plugin for the display the
  // toolkit ends the program itself; it then does so with that sentence and status 1.
  bool Initialize(int& argc, char** argv);

  // Builds a form of class F from its description and stores it in reference; the first form
  // so built is the main form. The application owns the form.
  template <class F>
  void CreateForm(F*& reference) {
    std::unique_ptr<F> form(new F());
    static_cast<TForm&>(*form).ReadDescription(*this, mainForm_ == nullptr);
    reference = form.get();
    Adopt(std::move(form));
  }

  // Shows the main form and processes events until it is closed; then the forms go, and after
  // them the toolkit.
  void Run();

  // Shows the error's message in the standard error box.
  void ShowException(const std::exception& error);

  // Delivers an event to its handler; an error the handler raises is shown in the standard error
  // box and goes no further.
  void Dispatch(const TNotifyEvent& event, TObject* sender) noexcept override;

  TForm* MainForm() const { return mainForm_; }
  // Destroys a form the application owns (a window closed for good).
  void Release(TForm* form);

  // For that sentence: the program's command, and advice for a machine without a display.
  const char* Command = "This program";
  const char* WithoutDisplay = nullptr;
  // How the desktop knows the program: its name (the X11 window class), version, and the name of
  // its desktop entry (the Wayland application id). Set before Initialize.
  const char* Name = nullptr;
  const char* Version = nullptr;
  const char* DesktopFileName = nullptr;

 private:
  friend struct StartUp;
  void Adopt(std::unique_ptr<TForm> form);
  // The forms, then the toolkit if the application made it.
  void Shutdown();

  std::unique_ptr<QObject> toolkit_;  // declared before the forms, so it goes after them
  std::vector<std::unique_ptr<TForm>> forms_;
  TForm* mainForm_ = nullptr;
  bool initialized_ = false;
};

extern TApplication* Application;
