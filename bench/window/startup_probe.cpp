// Starts a program and reports, in milliseconds, the time from exec to the first top-level window
// it maps on the X server, then its resident memory in KiB once that window has been shown for a
// moment. One line per run: "<ms> <KiB>". Usage: startup_probe RUNS PROGRAM [ARGS...]
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

long ResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s RUNS PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fprintf(stderr, "cannot reach the X server\n");
    return 1;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(x);

  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDERR_FILENO);
      execv(argv[2], argv + 2);
      _exit(127);
    }
    double ms = -1;
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
      const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                          !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
      std::free(event);
      if (mapped) {
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                 .count();
        break;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const long kib = ResidentKiB(child);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    // Drop what the closing window reported before the next run.
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) std::free(event);
    std::printf("%.2f %ld\n", ms, kib);
    std::fflush(stdout);
  }
  xcb_disconnect(x);
  return 0;
}
