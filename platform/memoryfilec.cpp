#include "platform/memoryfilec.h"

#include <sys/mman.h>
#include <unistd.h>

MemoryFileC::MemoryFileC() : m_iDescriptor(memfd_create("tiravo-memory-file", MFD_CLOEXEC)) {
  // Opening the descriptor's entry opens the same file anew, by name.
  if (m_iDescriptor >= 0) {
    m_sPath = "/proc/self/fd/" + std::to_string(m_iDescriptor);
  }
}

MemoryFileC::~MemoryFileC() {
  if (m_iDescriptor >= 0) {
    close(m_iDescriptor);
  }
}
