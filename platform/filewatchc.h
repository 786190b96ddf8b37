#ifndef PLATFORM_FILEWATCHC_H
#define PLATFORM_FILEWATCHC_H

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// Tells when files change on disk (inotify). Editors often save by writing
// a new file and renaming it over the old one, so the directories are
// watched and their events matched by name. Where inotify cannot start, or
// the file system does not report changes made elsewhere (network and
// container file systems), the files' modification times are looked at
// instead, every POLL_INTERVAL; standard error is told once.
class FileWatchC {
 public:
  static constexpr std::chrono::milliseconds POLL_INTERVAL{250};

  // bUseInotify false: the times alone, as where inotify cannot start.
  explicit FileWatchC(bool bUseInotify = true);
  FileWatchC(const FileWatchC&) = delete;
  FileWatchC& operator=(const FileWatchC&) = delete;
  ~FileWatchC();

  // Whether some files are watched by their times.
  bool is_polling() const { return !m_rPolled.empty(); }
  // From now on only these files are watched. The watches of directories
  // still wanted stay as they were, so that changes made meanwhile, as
  // while a reload reads the files, still count.
  void watch(const std::vector<std::string>& rFiles);
  // Whether a watched file changed and the writing has settled since: a save
  // is often several writes, and a reload in their middle would read half a
  // file. Never waits.
  bool poll_changed();

 private:
  struct DirectoryS {
    int m_iWatch;
    std::string m_sPath;
    std::vector<std::string> m_rNames;
  };
  // What a polled file looked like: its time, size and inode; all 0 when
  // it was not there.
  struct StampS {
    int64_t m_i64TimeNs = 0;
    int64_t m_i64Size = 0;
    ino_t m_uiInode = 0;
    bool operator!=(const StampS& rOther) const {
      return m_i64TimeNs != rOther.m_i64TimeNs || m_i64Size != rOther.m_i64Size || m_uiInode != rOther.m_uiInode;
    }
  };
  struct PolledS {
    std::string m_sPath;
    StampS m_rStamp;
  };

  static StampS stamp_of(const std::string& rPath);
  DirectoryS* directory_watch(const std::string& rDirectory, std::string* pWhyNot);
  void poll_instead(const std::string& rPath, const std::string& rWhy);
  bool read_events();
  bool read_times();

  int m_iDescriptor;
  std::vector<DirectoryS> m_rDirectories;
  std::vector<PolledS> m_rPolled;
  bool m_bToldPolling = false;
  std::chrono::steady_clock::time_point m_rLastPoll;
  bool m_bPending = false;
  std::chrono::steady_clock::time_point m_rLastChange;
};

#endif
