// Replays inputs through the fuzz targets without libFuzzer: for the normal
// build, whose compiler may not have it, and for every CI run.
//   fuzz_replay TARGET PATH...   each PATH a file or a directory of inputs
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int fuzz_document_one_input(const uint8_t* pData, size_t uiSize);
extern "C" int fuzz_avireader_one_input(const uint8_t* pData, size_t uiSize);
extern "C" int fuzz_moviereader_one_input(const uint8_t* pData, size_t uiSize);
extern "C" int fuzz_track_one_input(const uint8_t* pData, size_t uiSize);
extern "C" int fuzz_docdump_one_input(const uint8_t* pData, size_t uiSize);
extern "C" int fuzz_sounddecoder_one_input(const uint8_t* pData, size_t uiSize);
extern "C" int fuzz_image_one_input(const uint8_t* pData, size_t uiSize);
extern "C" int fuzz_font_one_input(const uint8_t* pData, size_t uiSize);

namespace {

using OneInputT = int (*)(const uint8_t*, size_t);

OneInputT target_of(const std::string& rName) {
  if (rName == "document") {
    return fuzz_document_one_input;
  }
  if (rName == "avireader") {
    return fuzz_avireader_one_input;
  }
  if (rName == "moviereader") {
    return fuzz_moviereader_one_input;
  }
  if (rName == "track") {
    return fuzz_track_one_input;
  }
  if (rName == "docdump") {
    return fuzz_docdump_one_input;
  }
  if (rName == "sounddecoder") {
    return fuzz_sounddecoder_one_input;
  }
  if (rName == "image") {
    return fuzz_image_one_input;
  }
  if (rName == "font") {
    return fuzz_font_one_input;
  }
  return nullptr;
}

bool run_file(OneInputT pTarget, const std::filesystem::path& rPath) {
  std::ifstream rStream(rPath, std::ios::binary);
  if (!rStream) {
    std::fprintf(stderr, "cannot read %s\n", rPath.c_str());
    return false;
  }
  std::vector<uint8_t> rBytes((std::istreambuf_iterator<char>(rStream)), std::istreambuf_iterator<char>());
  std::fprintf(stderr, "%s\n", rPath.c_str());
  // A copy of exactly the input's size, as libFuzzer hands it over.
  std::vector<uint8_t> rExact(rBytes);
  pTarget(rExact.empty() ? nullptr : rExact.data(), rExact.size());
  return true;
}

}  // namespace

int main(int iArgc, char** ppArgv) {
  if (iArgc < 3 || !target_of(ppArgv[1])) {
    std::fprintf(stderr, "usage: %s document|avireader|track|docdump PATH...\n", ppArgv[0]);
    return 2;
  }
  OneInputT pTarget = target_of(ppArgv[1]);
  int32_t i32Files = 0;
  bool bOk = true;
  for (int i = 2; i < iArgc; ++i) {
    std::filesystem::path rPath(ppArgv[i]);
    // A corpus directory with no inputs yet may not exist in a checkout.
    if (!std::filesystem::exists(rPath)) {
      std::fprintf(stderr, "no inputs at %s\n", rPath.c_str());
      continue;
    }
    if (std::filesystem::is_directory(rPath)) {
      std::vector<std::filesystem::path> rFiles;
      for (const auto& rEntry : std::filesystem::directory_iterator(rPath)) {
        if (rEntry.is_regular_file()) {
          rFiles.push_back(rEntry.path());
        }
      }
      std::sort(rFiles.begin(), rFiles.end());
      for (const auto& rFile : rFiles) {
        bOk = run_file(pTarget, rFile) && bOk;
        ++i32Files;
      }
    } else {
      bOk = run_file(pTarget, rPath) && bOk;
      ++i32Files;
    }
  }
  std::fprintf(stderr, "%d inputs replayed\n", i32Files);
  return bOk ? 0 : 1;
}
