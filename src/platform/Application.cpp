#include "platform/Application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/Codepage.h"
#include "platform/FaceSubstitutes.h"
#include "platform/FixedSize.h"
#include "platform/FontSetup.h"
#include "platform/QtText.h"

namespace {

TApplication theApplication;

// The one place where an error leaves a handler: the application object shows it.
void ShowSafely(const std::exception& error) noexcept {
  try {
    Application->ShowException(error);
  } catch (...) {
    std::fputs("OhmSift: an error could not be shown\n", stderr);
  }
}

// Errors raised anywhere below the toolkit's event delivery stop here rather than unwind through
// the event loop.
class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      ShowSafely(error);
    } catch (...) {
      ShowSafely(Exception("An unknown error occurred."));
    }
    return false;
  }
};

const char* Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

// The text between the first pair of quotes after what, or "".
QString Quoted(const QString& text, const QString& what) {
  const qsizetype at = text.indexOf(what);
  const qsizetype open = at < 0 ? -1 : text.indexOf('"', at + what.size());
  const qsizetype close = open < 0 ? -1 : text.indexOf('"', open + 1);
  return close < 0 ? QString() : text.mid(open + 1, close - open - 1);
}

}  // namespace

// While the toolkit starts, its messages are held back: if it cannot open a window it ends the
// program with a long fatal message, and the user should read one sentence with the real cause.
struct StartUp {
  struct Message {
    QtMsgType type;
    QString text;
  };
  static inline std::vector<Message>* held = nullptr;

  // The sentence that says why no window could be opened, from what the toolkit said.
  static QString Failure(const QString& fatal) {
    const QString command = QString::fromUtf8(Application->Command);
    const QString advice = Application->WithoutDisplay != nullptr
                               ? "; " + QString::fromUtf8(Application->WithoutDisplay)
                               : QString();
    for (const Message& message : *held) {
      const QString missing =
          Quoted(message.text, QStringLiteral("Could not find the Qt platform plugin"));
      if (missing.isEmpty()) continue;
      const QString package = missing.startsWith(QLatin1String("wayland"))
                                  ? QStringLiteral(" (package qt6-wayland)")
                                  : QString();
      return command + " cannot open a window: Qt's platform plugin \"" + missing +
             "\" is not installed" + package + ".";
    }
    for (const Message& message : *held) {
      for (const char* trouble : {"could not connect to display", "Failed to create wl_display"}) {
        if (message.text.contains(QLatin1String(trouble))) {
          const char* display = message.text.startsWith(QLatin1String("Failed"))
                                    ? Environment("WAYLAND_DISPLAY")
                                    : Environment("DISPLAY");
          return command + " could not open the display \"" +
                 QString::fromLocal8Bit(display != nullptr ? display : "") + "\" (" +
                 message.text.trimmed() + ")" + advice + ".";
        }
      }
    }
    return command + " cannot open a window: " + fatal.section('\n', 0, 0).trimmed();
  }

  static void Hold(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
      // The toolkit aborts next, with a core dump; it cannot be made to return.
      std::fprintf(stderr, "%s\n", qPrintable(Failure(text)));
      std::fflush(stderr);
      std::_Exit(1);
    }
    held->push_back({type, text});
  }
};

TApplication* Application = &theApplication;

TApplication::TApplication() = default;

TApplication::~TApplication() {
  // A toolkit made elsewhere (a test's) and still running owns the windows left: taking them
  // down now, after the program's end, would meet the toolkit half gone.
  if (toolkit_ == nullptr && QCoreApplication::instance() != nullptr) {
    for (auto& form : forms_) static_cast<void>(form.release());
  }
  Shutdown();
}

bool TApplication::Initialize(int& argc, char** argv) {
  if (initialized_) return true;
  initialized_ = true;
  if (QCoreApplication::instance() != nullptr) return true;
  // The toolkit's own option chooses a platform that may need no display.
  bool platformGiven = Environment("QT_QPA_PLATFORM") != nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    platformGiven = platformGiven || arg == "-platform" || arg == "--platform" ||
                    arg.rfind("-platform=", 0) == 0 || arg.rfind("--platform=", 0) == 0;
  }
  if (!platformGiven && !Environment("DISPLAY") && !Environment("WAYLAND_DISPLAY")) {
    std::fprintf(
        stderr,
        "%s needs a graphical session, and neither DISPLAY nor WAYLAND_DISPLAY is set%s%s.\n",
        Command, WithoutDisplay != nullptr ? "; " : "",
        WithoutDisplay != nullptr ? WithoutDisplay : "");
    return false;
  }
  if (Name != nullptr) QCoreApplication::setApplicationName(QString::fromUtf8(Name));
  if (Version != nullptr) QCoreApplication::setApplicationVersion(QString::fromUtf8(Version));
  if (DesktopFileName != nullptr) {
    QGuiApplication::setDesktopFileName(QString::fromUtf8(DesktopFileName));
  }
  if (!NarrowFontsToFormFaces()) {
    std::fprintf(stderr,
                 "%s: no Japanese font is installed, so the window's texts cannot be "
                 "shown; the package %s brings one.\n",
                 Command, kFacePackage);
  }
  std::vector<StartUp::Message> held;
  StartUp::held = &held;
  const QtMessageHandler previous = qInstallMessageHandler(StartUp::Hold);
  toolkit_ = std::make_unique<GuardedApplication>(argc, argv);
  qInstallMessageHandler(previous);
  StartUp::held = nullptr;
  for (const StartUp::Message& message : held) {
    qt_message_output(message.type, QMessageLogContext(), message.text);
  }
  return true;
}

void TApplication::Adopt(std::unique_ptr<TForm> form) {
  if (mainForm_ == nullptr) {
    mainForm_ = form.get();
    if (QGuiApplication::instance() != nullptr && form->Handle() != nullptr) {
      QGuiApplication::setWindowIcon(form->Handle()->windowIcon());
    }
  }
  forms_.push_back(std::move(form));
}

void TApplication::Release(TForm* form) {
  if (form == nullptr) {
    mainForm_ = nullptr;
    forms_.clear();
    return;
  }
  if (form == mainForm_) mainForm_ = nullptr;
  forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                              [form](const std::unique_ptr<TForm>& f) { return f.get() == form; }),
               forms_.end());
}

void TApplication::Run() {
  if (mainForm_ == nullptr || QCoreApplication::instance() == nullptr) return;
  mainForm_->Show();
  QApplication::exec();
  // Windows and toolkit go now, while the toolkit is whole: after the program's end, what the
  // toolkit made since start-up (its input devices, what a closed error box left) would be gone
  // first, and taking them down then would crash.
  Shutdown();
}

void TApplication::Shutdown() {
  Release(nullptr);
  toolkit_.reset();
}

void TApplication::ShowException(const std::exception& error) {
  const auto* own = dynamic_cast<const Exception*>(&error);
  const AnsiString message = own != nullptr ? own->Message : AnsiString(error.what());
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    std::fprintf(stderr, "%s\n", Cp932ToUtf8(message).c_str());
    return;
  }
  const QString title =
      mainForm_ != nullptr ? ToQString(mainForm_->Caption()) : QCoreApplication::applicationName();
  QWidget* parent =
      mainForm_ != nullptr && mainForm_->Handle()->isVisible() ? mainForm_->Handle() : nullptr;
  // A child of the main window, which centres it there wherever the platform lets a program say
  // where a window goes.
  QMessageBox box(QMessageBox::Critical, title, ToQString(message), QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("ErrorBox"));
  KeepFixedSize(&box);
  box.exec();
}

void TApplication::Dispatch(const TNotifyEvent& event, TObject* sender) noexcept {
  try {
    (event.Object->*event.Method)(sender);
  } catch (const std::exception& error) {
    ShowSafely(error);
  } catch (...) {
    ShowSafely(Exception("An unknown error occurred."));
  }
}
