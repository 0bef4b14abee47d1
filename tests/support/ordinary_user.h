#pragma once

#include <sys/fsuid.h>
#include <unistd.h>

namespace zeltrix::testing {

/**
 * For the life of the object the calling thread reaches files as an ordinary
 * user (nobody) would, also when the tests run as root: permissions then
 * count, as they do for the program's users. Folders and files the test
 * makes must be open to others for that. Keep the object around the
 * operation under test alone: the folder the tests were started from may be
 * closed to that user, so going back into it must be done without it.
 */
class AsOrdinaryUser {
 public:
  AsOrdinaryUser() : m_changed(::geteuid() == 0) {
    if (m_changed) {
      ::setfsgid(65534);
      ::setfsuid(65534);
    }
  }
  ~AsOrdinaryUser() {
    if (m_changed) {
      ::setfsuid(0);
      ::setfsgid(0);
    }
  }
  AsOrdinaryUser(const AsOrdinaryUser&) = delete;
  AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

 private:
  bool m_changed;
};

}  // namespace zeltrix::testing
