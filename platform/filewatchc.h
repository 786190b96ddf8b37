#ifndef PLATFORM_FILEWATCHC_H
#define PLATFORM_FILEWATCHC_H

#include <chrono>
#include <string>
#include <vector>

// Tells when files change on disk (inotify). Editors often save by writing
// a new file and renaming it over the old one, so the directories are
// watched and their events matched by name.
class FileWatchC {
 public:
  FileWatchC();
  FileWatchC(const FileWatchC&) = delete;
  FileWatchC& operator=(const FileWatchC&) = delete;
  ~FileWatchC();

  bool is_open() const { return m_iDescriptor >= 0; }
  // From now on only these files are watched.
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

  void remove_watches();
  bool read_events();

  int m_iDescriptor;
  std::vector<DirectoryS> m_rDirectories;
  bool m_bPending = false;
  std::chrono::steady_clock::time_point m_rLastChange;
};

#endif
