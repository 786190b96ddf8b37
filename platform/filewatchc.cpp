#include "platform/filewatchc.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

constexpr uint32_t WATCHED_EVENTS = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MODIFY;
// Quiet time after the last event before a change counts as saved.
constexpr std::chrono::milliseconds SETTLE_TIME(40);

// File systems whose files change without inotify hearing of it: those of
// other machines, and those a container or virtual machine shares with its
// host. Their magic numbers, as statfs reports them.
struct RemoteFileSystemS {
  int64_t m_i64Magic;
  const char* m_szName;
};
const RemoteFileSystemS REMOTE_FILE_SYSTEMS[] = {
    {0x6969, "NFS"},
    {0x517B, "SMB"},
    {static_cast<int64_t>(0xFE534D42u), "SMB2"},
    {static_cast<int64_t>(0xFF534D42u), "CIFS"},
    {0x01021997, "9P"},
    {0x6A656A63, "virtiofs"},
    {0x65735546, "FUSE"},
    {0x00C36400, "Ceph"},
    {0x5346414F, "AFS"},
    {0x73757245, "Coda"},
};

// The name of the directory's file system when changes there go unheard.
const char* remote_file_system(const std::string& rDirectory) {
  struct statfs rInfo {};
  if (statfs(rDirectory.c_str(), &rInfo) != 0) {
    return nullptr;
  }
  for (const RemoteFileSystemS& rSystem : REMOTE_FILE_SYSTEMS) {
    if (static_cast<int64_t>(static_cast<uint32_t>(rInfo.f_type)) == rSystem.m_i64Magic) {
      return rSystem.m_szName;
    }
  }
  return nullptr;
}

}  // namespace

FileWatchC::FileWatchC(bool bUseInotify)
    : m_iDescriptor(bUseInotify ? inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1) {}

FileWatchC::~FileWatchC() {
  if (m_iDescriptor >= 0) {
    close(m_iDescriptor);
  }
}

FileWatchC::StampS FileWatchC::stamp_of(const std::string& rPath) {
  struct stat rInfo {};
  if (stat(rPath.c_str(), &rInfo) != 0) {
    return StampS();
  }
  return StampS{static_cast<int64_t>(rInfo.st_mtim.tv_sec) * 1000000000 + rInfo.st_mtim.tv_nsec,
                static_cast<int64_t>(rInfo.st_size), rInfo.st_ino};
}

// The watch of the directory, made if there is none yet; null, with
// *pWhyNot, when inotify would not hear of its changes.
FileWatchC::DirectoryS* FileWatchC::directory_watch(const std::string& rDirectory, std::string* pWhyNot) {
  auto it = std::find_if(m_rDirectories.begin(), m_rDirectories.end(),
                         [&rDirectory](const DirectoryS& rKnown) { return rKnown.m_sPath == rDirectory; });
  if (it != m_rDirectories.end()) {
    return &*it;
  }
  if (m_iDescriptor < 0) {
    *pWhyNot = "inotify could not start";
    return nullptr;
  }
  if (const char* szSystem = remote_file_system(rDirectory)) {
    *pWhyNot = std::string("it is on ") + szSystem + ", which does not report changes made elsewhere";
    return nullptr;
  }
  const int iWatch = inotify_add_watch(m_iDescriptor, rDirectory.c_str(), WATCHED_EVENTS);
  if (iWatch < 0) {
    // A folder that is not there cannot hold the file either; its time
    // tells when it comes.
    *pWhyNot = errno == ENOENT ? "" : std::string("inotify: ") + std::strerror(errno);
    return nullptr;
  }
  m_rDirectories.push_back(DirectoryS{iWatch, rDirectory, {}});
  return &m_rDirectories.back();
}

void FileWatchC::poll_instead(const std::string& rPath, const std::string& rWhy) {
  m_rPolled.push_back(PolledS{rPath, stamp_of(rPath)});
  if (!rWhy.empty() && !m_bToldPolling) {
    m_bToldPolling = true;
    std::fprintf(stderr, "tiravo: changes to %s cannot be heard of (%s): looking at its time every %lld ms instead\n",
                 rPath.c_str(), rWhy.c_str(), static_cast<long long>(POLL_INTERVAL.count()));
  }
}

void FileWatchC::watch(const std::vector<std::string>& rFiles) {
  for (DirectoryS& rDirectory : m_rDirectories) {
    rDirectory.m_rNames.clear();
  }
  std::vector<PolledS> rOldPolled;
  rOldPolled.swap(m_rPolled);
  for (const std::string& rFile : rFiles) {
    const std::filesystem::path rPath = std::filesystem::absolute(rFile).lexically_normal();
    std::string sWhyNot;
    DirectoryS* pDirectory = directory_watch(rPath.parent_path().string(), &sWhyNot);
    if (pDirectory) {
      pDirectory->m_rNames.push_back(rPath.filename().string());
      continue;
    }
    poll_instead(rPath.string(), sWhyNot);
    // A file polled before keeps the time it had: a change since still counts.
    auto itOld = std::find_if(rOldPolled.begin(), rOldPolled.end(),
                              [&rPath](const PolledS& rOld) { return rOld.m_sPath == rPath.string(); });
    if (itOld != rOldPolled.end()) {
      m_rPolled.back().m_rStamp = itOld->m_rStamp;
    }
  }
  // Directories no longer wanted: their watches go.
  for (auto it = m_rDirectories.begin(); it != m_rDirectories.end();) {
    if (it->m_rNames.empty()) {
      inotify_rm_watch(m_iDescriptor, it->m_iWatch);
      it = m_rDirectories.erase(it);
    } else {
      ++it;
    }
  }
}

// Whether any event read concerns a watched file.
bool FileWatchC::read_events() {
  if (m_iDescriptor < 0) {
    return false;
  }
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

// Whether a polled file looks other than it did; at most once an interval.
bool FileWatchC::read_times() {
  const auto rNow = std::chrono::steady_clock::now();
  if (m_rPolled.empty() || rNow - m_rLastPoll < POLL_INTERVAL) {
    return false;
  }
  m_rLastPoll = rNow;
  bool bChanged = false;
  for (PolledS& rPolled : m_rPolled) {
    const StampS rNew = stamp_of(rPolled.m_sPath);
    if (rNew != rPolled.m_rStamp) {
      rPolled.m_rStamp = rNew;
      bChanged = true;
    }
  }
  return bChanged;
}

bool FileWatchC::poll_changed() {
  const auto rNow = std::chrono::steady_clock::now();
  // Both are asked: each may have news.
  const bool bEvents = read_events();
  const bool bTimes = read_times();
  if (bEvents || bTimes) {
    m_bPending = true;
    m_rLastChange = rNow;
  }
  // Times are read an interval apart: a save seen by its time has settled
  // once it looks the same at the next look.
  const auto rSettle = is_polling() ? std::max<std::chrono::steady_clock::duration>(SETTLE_TIME, POLL_INTERVAL)
                                    : std::chrono::steady_clock::duration(SETTLE_TIME);
  if (m_bPending && rNow - m_rLastChange >= rSettle) {
    m_bPending = false;
    return true;
  }
  return false;
}
