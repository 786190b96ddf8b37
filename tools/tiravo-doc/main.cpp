#include <cstdio>
#include <string>

#include "platform/codecsettings.h"
#include "tools/tiravo-doc/doccommandlinec.h"
#include "tools/tiravo-doc/doccommands.h"

int main(int iArgCount, char** ppArgs) {
  codec_log_errors_only();
  DocCommandLineS rLine;
  std::string sError;
  if (!parse_doc_command_line(iArgCount, ppArgs, &rLine, &sError)) {
    std::fprintf(stderr, "tiravo-doc: %s\n\n%s", sError.c_str(), doc_help_text(rLine.m_eCommand));
    return DOC_EXIT_USAGE;
  }
  if (rLine.m_bHelp) {
    std::fputs(rLine.m_eCommand == DOC_COMMAND_NONE ? doc_full_help_text().c_str() : doc_help_text(rLine.m_eCommand),
               stdout);
    return DOC_EXIT_OK;
  }
  if (rLine.m_bVersion) {
    std::puts("tiravo-doc " TIRAVO_VERSION);
    return DOC_EXIT_OK;
  }
  switch (rLine.m_eCommand) {
    case DOC_COMMAND_DUMP:
      return run_dump(rLine);
    case DOC_COMMAND_JOIN:
      return run_join(rLine);
    default:
      return run_build(rLine);
  }
}
