#pragma once
// Runs as an ordinary user while it lives, so that permissions apply also
// when the tests run as root (the saved user id brings root back).

#include <cstdlib>

#include <unistd.h>

class Unprivileged {
 public:
  Unprivileged() : dropped_(geteuid() == 0 && seteuid(65534) == 0) {}
  ~Unprivileged() {
    if (dropped_ && seteuid(0) != 0) std::abort();
  }
  Unprivileged(const Unprivileged&) = delete;
  Unprivileged& operator=(const Unprivileged&) = delete;
  bool Effective() const { return geteuid() != 0; }

 private:
  bool dropped_;
};
