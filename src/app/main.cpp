// The program entry: build the main window and run until it is closed.
#include <cstdio>
#include <cstring>

#include "Version.h"
#include "platform/Application.h"
#include "ui/Unit1.h"

namespace {

constexpr const char kHelp[] =
    "Usage: ohmsift [--help | --version]\n"
    "\n"
    "Opens the OhmSift window, which finds the pairs of standard E24 resistors that, in\n"
    "parallel, come closest to a wanted resistance. It needs a graphical session (X11 or\n"
    "Wayland); ohmsift-cli gives the same results without one. The toolkit's own options, such\n"
    "as -platform NAME, choose where it opens; other arguments are ignored.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "See man ohmsift for more.\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before anything touches a display, so packaging tools can ask without one.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "--version") == 0) {
      const bool help = argv[i][2] == 'h';
      const int written =
          help ? std::fputs(kHelp, stdout) : std::printf("ohmsift %s\n%s", kVersion, kLicence);
      return written < 0 || std::fflush(stdout) != 0 ? 1 : 0;
    }
  }
  Application->Name = "OhmSift";
  Application->Version = kVersion;
  Application->DesktopFileName = "org.ohmsift.OhmSift";
  Application->Command = "ohmsift";
  Application->WithoutDisplay = "ohmsift-cli computes the same results without one";
  try {
    if (!Application->Initialize(argc, argv)) return 1;
    Application->CreateForm(Form1);
    Application->Run();
  } catch (Exception& error) {
    Application->ShowException(error);
  }
  return 0;
}
