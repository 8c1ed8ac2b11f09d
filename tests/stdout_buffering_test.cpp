// A capture that is a process's first use of stdout, or that fails, leaves stdout buffering as
// stdio would have chosen without it: on a terminal, by lines and with the buffer size of a plain
// first use; and a capture keeps buffering that stdio has already chosen, or that was asked for
// on a pipe. A program of its own, without a test framework, since stdout's first use comes once
// per process and a framework makes it before any test.

#include <pty.h>
#include <stdio_ext.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

#include <vazuvuriz_rix/stdout_capture.hpp>

namespace {

struct FirstUse {
  std::string output_saw;
  std::size_t buffer_size = 0;
  bool line_buffered = false;
};

// What the child does before its first write of its own.
struct Setup {
  const char* name;
  bool on_a_pipe;       // stdout a pipe, not a terminal
  int buffering_asked;  // setvbuf(stdout, nullptr, mode, 0) first, unless -1
  bool stdout_closed;   // the output becomes descriptor 1 only after the capture
};

const Setup kSetups[] = {
    {"first use inside a capture", false, -1, false},
    {"first use inside a capture, line buffering asked for", false, _IOLBF, false},
    {"a capture that fails on a closed stdout", false, -1, true},
    {"unbuffered before the capture", false, _IONBF, false},
    {"a pipe, line buffering asked for", true, _IOLBF, false},
};

// Runs a child whose stdout is a terminal or a pipe, set up as `setup` says, and which writes
// "after the capture\n" first or, with `capture_first`, after a capture; the child reports how
// stdout buffers afterwards.
FirstUse first_use(const Setup& setup, bool capture_first) {
  int ends[2] = {-1, -1};  // this process's, the child's
  int report[2] = {-1, -1};
  const bool opened = setup.on_a_pipe ? pipe(ends) == 0
                                      : openpty(&ends[0], &ends[1], nullptr, nullptr, nullptr) == 0;
  const int output = ends[0];
  const int child_output = ends[1];
  if (!opened || pipe(report) != 0) {
    std::perror("openpty or pipe");
    std::_Exit(1);
  }
  // This process has not used stdout yet, so neither has the child.
  const pid_t child = fork();
  if (child == 0) {
    dup2(child_output, STDOUT_FILENO);
    if (setup.stdout_closed) {
      close(STDOUT_FILENO);
    }
    if (setup.buffering_asked >= 0) {
      std::setvbuf(stdout, nullptr, setup.buffering_asked, 0);
    }
    if (capture_first) {
      try {
        VAZUVURIZ_STDOUT_CAPTURE capture;
        std::printf("captured\n");
      } catch (const std::system_error&) {
        if (!setup.stdout_closed) {
          _exit(1);
        }
      }
    }
    dup2(child_output, STDOUT_FILENO);
    close(child_output);
    close(output);
    std::printf("after the capture\n");
    const FirstUse seen{"", __fbufsize(stdout), __flbf(stdout) != 0};
    write(report[1], &seen.buffer_size, sizeof seen.buffer_size);
    write(report[1], &seen.line_buffered, sizeof seen.line_buffered);
    // Leaves without flushing stdio: only what stdout wrote at once reaches the output.
    _exit(0);
  }
  close(child_output);
  close(report[1]);
  int status = 0;
  waitpid(child, &status, 0);
  FirstUse seen;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      read(report[0], &seen.buffer_size, sizeof seen.buffer_size) <= 0 ||
      read(report[0], &seen.line_buffered, sizeof seen.line_buffered) <= 0) {
    std::fprintf(stderr, "%s: the child did not report\n", setup.name);
    std::_Exit(1);
  }
  close(report[0]);
  char buffer[256];
  ssize_t got = 0;
  while ((got = read(output, buffer, sizeof buffer)) > 0) {
    seen.output_saw.append(buffer, static_cast<std::size_t>(got));
  }
  close(output);
  return seen;
}

}  // namespace

int main() {
  int probe[2] = {-1, -1};
  if (openpty(&probe[0], &probe[1], nullptr, nullptr, nullptr) != 0) {
    std::fprintf(stderr, "skipped: no terminal device (%s)\n", std::strerror(errno));
    return 77;
  }
  close(probe[0]);
  close(probe[1]);
  int failed = 0;
  for (const Setup& setup : kSetups) {
    const FirstUse plain = first_use(setup, false);
    const FirstUse captured = first_use(setup, true);
    // Without a capture, every setup writes its lines at once (a terminal turns "\n" into
    // "\r\n"); with one, stdout must buffer just the same.
    const std::string expected = setup.on_a_pipe ? "after the capture\n" : "after the capture\r\n";
    if (plain.output_saw != expected || captured.output_saw != expected ||
        captured.line_buffered != plain.line_buffered ||
        captured.buffer_size != plain.buffer_size) {
      std::fprintf(stderr,
                   "%s: the output then saw \"%s\"; stdout buffers %s with %zu bytes, where a "
                   "plain first use buffers %s with %zu and its output saw \"%s\"\n",
                   setup.name, captured.output_saw.c_str(),
                   captured.line_buffered ? "by lines" : "fully", captured.buffer_size,
                   plain.line_buffered ? "by lines" : "fully", plain.buffer_size,
                   plain.output_saw.c_str());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}
