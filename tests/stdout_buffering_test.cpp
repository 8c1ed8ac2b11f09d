// A capture that is a process's first use of stdout, or that fails, leaves stdout buffering as
// stdio would have chosen without it: on a terminal, by lines and with the buffer size of a plain
// first use. A program of its own, without a test framework, since stdout's first use comes once
// per process and a framework makes it before any test.

#include <pty.h>
#include <stdio_ext.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <system_error>

#include <vazuvuriz_rix/stdout_capture.hpp>

namespace {

struct FirstUse {
  std::string terminal_saw;
  std::size_t buffer_size = 0;
  bool line_buffered = false;
};

// What the child does before its first write of its own.
struct Setup {
  const char* name;
  bool line_buffering_asked;  // setvbuf(stdout, nullptr, _IOLBF, 0) first
  bool stdout_closed;         // the terminal becomes descriptor 1 only after the capture
};

const Setup kSetups[] = {
    {"first use inside a capture", false, false},
    {"first use inside a capture, line buffering asked for", true, false},
    {"a capture that fails on a closed stdout", false, true},
};

// Runs a child whose stdout is a terminal, set up as `setup` says, and which writes
// "after the capture\n" first or, with `capture_first`, after a capture; the child reports how
// stdout buffers afterwards.
FirstUse first_use_on_a_terminal(const Setup& setup, bool capture_first) {
  int terminal = -1;
  int child_terminal = -1;
  int report[2] = {-1, -1};
  if (openpty(&terminal, &child_terminal, nullptr, nullptr, nullptr) != 0 || pipe(report) != 0) {
    std::perror("openpty or pipe");
    std::_Exit(1);
  }
  // This process has not used stdout yet, so neither has the child.
  const pid_t child = fork();
  if (child == 0) {
    dup2(child_terminal, STDOUT_FILENO);
    if (setup.stdout_closed) {
      close(STDOUT_FILENO);
    }
    if (setup.line_buffering_asked) {
      std::setvbuf(stdout, nullptr, _IOLBF, 0);
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
    dup2(child_terminal, STDOUT_FILENO);
    close(child_terminal);
    close(terminal);
    std::printf("after the capture\n");
    const FirstUse seen{"", __fbufsize(stdout), __flbf(stdout) != 0};
    write(report[1], &seen.buffer_size, sizeof seen.buffer_size);
    write(report[1], &seen.line_buffered, sizeof seen.line_buffered);
    // Leaves without flushing stdio: only what stdout wrote at once reaches the terminal.
    _exit(0);
  }
  close(child_terminal);
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
  while ((got = read(terminal, buffer, sizeof buffer)) > 0) {
    seen.terminal_saw.append(buffer, static_cast<std::size_t>(got));
  }
  close(terminal);
  return seen;
}

}  // namespace

int main() {
  int failed = 0;
  for (const Setup& setup : kSetups) {
    const FirstUse plain = first_use_on_a_terminal(setup, false);
    const FirstUse captured = first_use_on_a_terminal(setup, true);
    // The terminal turns "\n" into "\r\n".
    if (captured.terminal_saw != "after the capture\r\n" || !captured.line_buffered ||
        captured.buffer_size != plain.buffer_size || !plain.line_buffered) {
      std::fprintf(stderr,
                   "%s: the terminal then saw \"%s\"; stdout buffers %s with %zu bytes, where a "
                   "plain first use buffers %s with %zu\n",
                   setup.name, captured.terminal_saw.c_str(),
                   captured.line_buffered ? "by lines" : "fully", captured.buffer_size,
                   plain.line_buffered ? "by lines" : "fully", plain.buffer_size);
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}
