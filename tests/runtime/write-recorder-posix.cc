// Linked with -Wl,--wrap=write: every write to standard output is logged, one
// line each ("write ASKED -> RESULT", the result a count or an errno name), to
// the file named by VARNEK_WRITE_LOG, and may be made to fail or fall short as
// VARNEK_WRITE_SCRIPT says: a comma-separated list of what the next writes do,
// "ok", "eintr", "eagain", "eio" or "short:N" (writes only N bytes); after the
// list, every write goes through.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" ssize_t __real_write(int fd, const void *bytes, size_t count);  // NOLINT(bugprone-reserved-identifier): the linker's name
extern "C" ssize_t __wrap_write(int fd, const void *bytes, size_t count);  // NOLINT(bugprone-reserved-identifier)

namespace {

int logFd = -2;  // -2: not opened yet; -1: no log
const char *script = nullptr;

int logDescriptor() {
  if (logFd != -2) return logFd;
  logFd = -1;
  const char *path = std::getenv("VARNEK_WRITE_LOG");
  if (path == nullptr) return logFd;
  const int opened = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
  if (opened < 0) return logFd;
  // Standard output may be closed, and then the log would take its number.
  logFd = fcntl(opened, F_DUPFD_CLOEXEC, 10);
  close(opened);
  return logFd;
}

void logWrite(size_t asked, ssize_t result, int error) {
  const int fd = logDescriptor();
  if (fd < 0) return;
  const char *name = error == EINTR ? "EINTR" : error == EAGAIN ? "EAGAIN" : error == EIO ? "EIO"
                   : error == EPIPE ? "EPIPE" : error == ENOSPC ? "ENOSPC" : error == EBADF ? "EBADF"
                   : "other error";
  char line[64];
  const int length = result >= 0 ? std::snprintf(line, sizeof line, "write %zu -> %zd\n", asked, result)
                                 : std::snprintf(line, sizeof line, "write %zu -> %s\n", asked, name);
  if (length > 0) __real_write(fd, line, static_cast<size_t>(length));
}

// The next step of the script, moving past it: "" once the script is done.
void nextStep(char *step, size_t room) {
  if (script == nullptr) {
    script = std::getenv("VARNEK_WRITE_SCRIPT");
    if (script == nullptr) script = "";
  }
  size_t length = std::strcspn(script, ",");
  if (length >= room) length = room - 1;
  std::memcpy(step, script, length);
  step[length] = '\0';
  script += length;
  if (*script == ',') ++script;
}

}  // namespace

extern "C" ssize_t __wrap_write(int fd, const void *bytes, size_t count) {
  if (fd != STDOUT_FILENO) return __real_write(fd, bytes, count);
  char step[32];
  nextStep(step, sizeof step);
  int injected = 0;
  if (std::strcmp(step, "eintr") == 0) injected = EINTR;
  if (std::strcmp(step, "eagain") == 0) injected = EAGAIN;
  if (std::strcmp(step, "eio") == 0) injected = EIO;
  if (injected != 0) {
    logWrite(count, -1, injected);
    errno = injected;
    return -1;
  }
  size_t allowed = count;
  if (std::strncmp(step, "short:", 6) == 0) {
    const size_t shortened = std::strtoul(step + 6, nullptr, 10);
    if (shortened < allowed) allowed = shortened;
  }
  const ssize_t result = __real_write(fd, bytes, allowed);
  const int error = errno;
  logWrite(count, result, error);
  errno = error;
  return result;
}
