// A capture that is a process's first use of stdout leaves stdout buffering as stdio would have
// chosen without it: by lines on a terminal. A program of its own, without a test framework,
// since stdout's first use comes once per process and a framework makes it before any test.

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <vazuvuriz_rix/stdout_capture.hpp>

int main() {
  int terminal = -1;
  int child_terminal = -1;
  if (openpty(&terminal, &child_terminal, nullptr, nullptr, nullptr) != 0) {
    std::perror("openpty");
    return 1;
  }
  // This process has not used stdout yet, so neither has the child.
  const pid_t child = fork();
  if (child == 0) {
    dup2(child_terminal, STDOUT_FILENO);
    close(child_terminal);
    close(terminal);
    {
      VAZUVURIZ_STDOUT_CAPTURE capture;
      std::printf("captured\n");
    }
    std::printf("after the capture\n");
    // Leaves without flushing stdio: only what stdout wrote at once reaches the terminal.
    _exit(0);
  }
  close(child_terminal);
  int status = 0;
  waitpid(child, &status, 0);
  std::string seen;
  char buffer[256];
  ssize_t got = 0;
  while ((got = read(terminal, buffer, sizeof buffer)) > 0) {
    seen.append(buffer, static_cast<std::size_t>(got));
  }
  // The terminal turns "\n" into "\r\n".
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || seen != "after the capture\r\n") {
    std::fprintf(stderr, "the terminal saw \"%s\" instead of the line written after the capture\n",
                 seen.c_str());
    return 1;
  }
  return 0;
}
