#include "platform/filewatchc.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace {

constexpr uint32_t WATCHED_EVENTS = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MODIFY;
// Quiet time after the last event before a change counts as saved.
constexpr std::chrono::milliseconds SETTLE_TIME(40);

}  // namespace

FileWatchC::FileWatchC() : m_iDescriptor(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FileWatchC::~FileWatchC() {
  if (m_iDescriptor >= 0) {
    close(m_iDescriptor);
  }
}

void FileWatchC::remove_watches() {
  for (const DirectoryS& rDirectory : m_rDirectories) {
    inotify_rm_watch(m_iDescriptor, rDirectory.m_iWatch);
  }
  m_rDirectories.clear();
}

void FileWatchC::watch(const std::vector<std::string>& rFiles) {
  if (m_iDescriptor < 0) {
    return;
  }
  remove_watches();
  for (const std::string& rFile : rFiles) {
    const std::filesystem::path rPath = std::filesystem::absolute(rFile).lexically_normal();
    const std::string sDirectory = rPath.parent_path().string();
    auto it = std::find_if(m_rDirectories.begin(), m_rDirectories.end(),
                           [&sDirectory](const DirectoryS& rDirectory) { return rDirectory.m_sPath == sDirectory; });
    if (it == m_rDirectories.end()) {
      const int iWatch = inotify_add_watch(m_iDescriptor, sDirectory.c_str(), WATCHED_EVENTS);
      if (iWatch < 0) {
        continue;
      }
      m_rDirectories.push_back(DirectoryS{iWatch, sDirectory, {}});
      it = m_rDirectories.end() - 1;
    }
    it->m_rNames.push_back(rPath.filename().string());
  }
}

// Whether any event read concerns a watched file.
bool FileWatchC::read_events() {
  bool bChanged = false;
  alignas(inotify_event) char rBuffer[4096];
  for (;;) {
    const ssize_t iLength = read(m_iDescriptor, rBuffer, sizeof(rBuffer));
    if (iLength <= 0) {
      return bChanged;
    }
    for (ssize_t i = 0; i < iLength;) {
      const auto* pEvent = reinterpret_cast<const inotify_event*>(rBuffer + i);
      i += static_cast<ssize_t>(sizeof(inotify_event) + pEvent->len);
      if (pEvent->len == 0) {
        continue;
      }
      for (const DirectoryS& rDirectory : m_rDirectories) {
        if (rDirectory.m_iWatch == pEvent->wd &&
            std::find(rDirectory.m_rNames.begin(), rDirectory.m_rNames.end(), pEvent->name) !=
                rDirectory.m_rNames.end()) {
          bChanged = true;
        }
      }
    }
  }
}

bool FileWatchC::poll_changed() {
  if (m_iDescriptor < 0) {
    return false;
  }
  const auto rNow = std::chrono::steady_clock::now();
  if (read_events()) {
    m_bPending = true;
    m_rLastChange = rNow;
  }
  if (m_bPending && rNow - m_rLastChange >= SETTLE_TIME) {
    m_bPending = false;
    return true;
  }
  return false;
}
