#ifndef TESTS_SUPPORT_LIVECOUNTC_H
#define TESTS_SUPPORT_LIVECOUNTC_H

#include <cstdint>

// Held as a member by a test class T, it counts the live objects of T, so
// that lost or doubly released objects show as a wrong count. Being a
// member, it counts through every constructor without being remembered.
template <class T>
class LiveCountC {
 public:
  LiveCountC() { ++counter(); }
  LiveCountC(const LiveCountC&) = delete;
  LiveCountC& operator=(const LiveCountC&) = delete;
  ~LiveCountC() { --counter(); }

  static int32_t count() { return counter(); }

 private:
  static int32_t& counter() {
    static int32_t s_i32Live = 0;
    return s_i32Live;
  }
};

#endif
