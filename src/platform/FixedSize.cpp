#include "platform/FixedSize.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr Qt::WindowStates kRefused = Qt::WindowMaximized | Qt::WindowFullScreen;

// On Wayland a window that accepted the maximized state must then have exactly the size it was
// given, or the compositor ends the connection; Qt 6.4 accepts before the program hears of it
// and keeps the fixed size. So the guard paints nothing while maximized and leaves through full
// screen, where a smaller window is allowed: there it paints once and asks for the normal state.
// (Asking for the normal state straight from maximized goes unanswered by weston, which answers
// only a change from a state it has seen painted.) Elsewhere it just asks for the normal state.
class FixedSizeGuard final : public QObject {
 public:
  explicit FixedSizeGuard(QWidget* widget) : QObject(widget), widget_(widget) {
    widget->installEventFilter(this);
    AttachToWindow();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == widget_) {
      if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange) AttachToWindow();
      // The program itself asked (showMaximized and the like): taken back at once.
      if (event->type() == QEvent::WindowStateChange && !event->spontaneous() &&
          (widget_->windowState() & kRefused)) {
        widget_->setWindowState(widget_->windowState() & ~kRefused);
      }
      return false;
    }
    // What the window system reports arrives on the window, spontaneous.
    if (watched != window_ || event->type() != QEvent::WindowStateChange || !event->spontaneous()) {
      return false;
    }
    const Qt::WindowStates states = window_->windowStates();
    if (!(states & kRefused)) {
      if (frozen_) Freeze(false);
      return false;
    }
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
      window_->setWindowStates(states & ~kRefused);
    } else if (states & Qt::WindowMaximized) {
      Freeze(true);
      window_->setWindowStates(Qt::WindowFullScreen);
    } else {
      if (frozen_) Freeze(false);
      widget_->repaint();
      window_->setWindowStates(states & ~kRefused);
    }
    return true;  // the widget never sees the refused state
  }

 private:
  void AttachToWindow() {
    QWindow* window = widget_->windowHandle();  // there once the widget is shown
    if (window != nullptr && window != window_) {
      window_ = window;
      window->installEventFilter(this);
    }
  }
  void Freeze(bool frozen) {
    frozen_ = frozen;
    widget_->setUpdatesEnabled(!frozen);
  }

  QWidget* widget_;
  QPointer<QWindow> window_;
  bool frozen_ = false;
};

}  // namespace

void KeepFixedSize(QWidget* window) {
  window->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  new FixedSizeGuard(window);
}
