#include <cstdio>

#include "platform/videoencoderc.h"
#include "platform/videojoinc.h"
#include "tools/tiravo-doc/doccommands.h"

int run_join(const DocCommandLineS& rLine) {
  VideoJoinC rJoin;
  if (!rJoin.join(rLine.m_sOutput, rLine.m_rPieces)) {
    std::fprintf(stderr, "tiravo-doc join: %s\n", rJoin.get_error().c_str());
    return DOC_EXIT_FAILED;
  }
  std::fprintf(stderr, "Joined %zu pieces into %s: %lld pictures, %.3f s of sound\n", rLine.m_rPieces.size(),
               rLine.m_sOutput.c_str(), static_cast<long long>(rJoin.get_picture_count()),
               static_cast<double>(rJoin.get_sample_count()) / VideoEncoderC::SAMPLE_RATE);
  return DOC_EXIT_OK;
}
