#ifndef PLATFORM_MEMORYFILEC_H
#define PLATFORM_MEMORYFILEC_H

#include <string>

// A file that lives only in memory, reachable by a path while this object
// lives, so that code which reads and writes files by name can work on it.
class MemoryFileC {
 public:
  MemoryFileC();
  MemoryFileC(const MemoryFileC&) = delete;
  MemoryFileC& operator=(const MemoryFileC&) = delete;
  ~MemoryFileC();

  bool is_open() const { return m_iDescriptor >= 0; }
  // Empty when the file could not be made.
  const std::string& path() const { return m_sPath; }

 private:
  int m_iDescriptor;
  std::string m_sPath;
};

#endif
