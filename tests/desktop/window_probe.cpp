// The window, started as the program starts it, with hooks for the desktop checks: SIGUSR1 prints
// a PROBE line (sizes and states of the window and the error box, the text of Edit1, the number of
// result lines, and how many maximized or full-screen states the window system has reported);
// SIGUSR2 opens the error box (letters in Edit1 and a move); SIGRTMIN and SIGRTMIN+1 ask the
// window on top to be maximized or full screen, as a program might. Ends as the program does.
#include <unistd.h>

#include <QApplication>
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

struct StateSpy : QObject {
  bool eventFilter(QObject* o, QEvent* e) override {
    seen +=
        e->type() == QEvent::WindowStateChange && e->spontaneous() && o->isWindowType() &&
        (static_cast<QWindow*>(o)->windowStates() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    return false;
  }
};

QString Describe(const QWidget* w) {
  return QString::asprintf("%dx%d state=%d upd=%d", w->width(), w->height(), int(w->windowState()),
                           int(w->updatesEnabled()));
}

void Hook() {
  int sig = 0;
  if (read(wakeups[0], &sig, sizeof sig) != sizeof sig) return;
  QWidget* box = QApplication::activeModalWidget();
  QWidget* top = box != nullptr ? box : Form1->Handle();
  if (sig == SIGUSR2) {
    QTimer::singleShot(0, [] {  // the box's own loop runs inside: leave the notifier first
      driver::Paste(Form1, QStringLiteral("abc"));
      driver::ClickLine(Form1->ListUse, 0);
      driver::Click(Form1->Button1);
      std::printf("BOX closed\n");
      std::fflush(stdout);
    });
  } else if (sig != SIGUSR1) {
    sig == SIGRTMIN ? top->showMaximized() : top->showFullScreen();
  } else {
    top->repaint();  // a frame committed before the report
    std::printf("PROBE main=%s text='%s' items=%d seen=%d box=%s\n",
                qPrintable(Describe(Form1->Handle())), qPrintable(driver::EditText(Form1)),
                Form1->ListAns->Items->Count(), seen,
                box != nullptr ? qPrintable(Describe(box)) : "none");
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Application->Command = "window_probe";
  if (!Application->Initialize(argc, argv)) return 1;
  Application->CreateForm(Form1);
  qApp->installEventFilter(new StateSpy);
  if (pipe(wakeups) != 0) return 2;
  for (const int s : {SIGUSR1, SIGUSR2, SIGRTMIN, SIGRTMIN + 1}) {
    std::signal(s, [](int sig) { [[maybe_unused]] auto n = write(wakeups[1], &sig, sizeof sig); });
  }
  QObject::connect(new QSocketNotifier(wakeups[0], QSocketNotifier::Read, Form1->Handle()),
                   &QSocketNotifier::activated, Hook);
  Application->Run();
  return 0;
}
