// The window, started as the program starts it, with hooks for the desktop checks: SIGUSR1 prints
// a PROBE line (sizes and states of the window and the error box, the text of Edit1, the number of
// result lines, and how many maximized or full-screen states the window system has reported);
// SIGUSR2 opens the error box (letters in Edit1 and a move); SIGRTMIN and SIGRTMIN+1 ask the
// window on top to be maximized or full screen, as a program might. Ends as the program does.
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <cstdio>

#include "WindowDriver.h"
#include "platform/Application.h"

namespace {

int wakeups[2];
int seen = 0;  // maximized or full-screen states reported by the window system

QString Describe(const QWidget* w) {
  return QStringLiteral("%1x%2 state=%3 upd=%4")
      .arg(w->width())
      .arg(w->height())
      .arg(int(w->windowState()))
      .arg(int(w->updatesEnabled()));
}

struct StateSpy : QObject {
  bool eventFilter(QObject* o, QEvent* e) override {
    constexpr Qt::WindowStates kRefused = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (e->type() == QEvent::WindowStateChange && e->spontaneous() && o->isWindowType() &&
        (static_cast<QWindow*>(o)->windowStates() & kRefused)) {
      ++seen;
    }
    return false;
  }
};

}  // namespace

int main() {
  Application->Command = "window_probe";
  Application->Initialize();
  Application->CreateForm(Form1);
  qApp->installEventFilter(new StateSpy);
  if (pipe(wakeups) != 0) return 2;
  for (const int s : {SIGUSR1, SIGUSR2, SIGRTMIN, SIGRTMIN + 1}) {
    std::signal(s, [](int sig) { [[maybe_unused]] auto n = write(wakeups[1], &sig, sizeof sig); });
  }
  auto* notifier = new QSocketNotifier(wakeups[0], QSocketNotifier::Read, Form1->Handle());
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    int sig = 0;
    if (read(wakeups[0], &sig, sizeof sig) != sizeof sig) return;
    QWidget* window = Form1->Handle();
    QWidget* box = QApplication::activeModalWidget();
    QWidget* top = box != nullptr ? box : window;
    if (sig == SIGUSR2) {
      QTimer::singleShot(0, [] {  // the box's own loop runs inside: leave the notifier first
        driver::Paste(Form1, QStringLiteral("abc"));
        driver::ClickLine(Form1->ListUse, 0);
        driver::Click(Form1->Button1);
        std::printf("BOX closed\n");
        std::fflush(stdout);
      });
    } else if (sig == SIGRTMIN) {
      top->showMaximized();
    } else if (sig == SIGRTMIN + 1) {
      top->showFullScreen();
    } else {
      top->repaint();  // a frame committed before the report
      std::printf("PROBE main=%s text='%s' items=%d seen=%d box=%s\n", qPrintable(Describe(window)),
                  qPrintable(driver::EditText(Form1)), Form1->ListAns->Items->Count(), seen,
                  box != nullptr ? qPrintable(Describe(box)) : "none");
      std::fflush(stdout);
    }
  });
  Application->Run();
  return 0;
}
