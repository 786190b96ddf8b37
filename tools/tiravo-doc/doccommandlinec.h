#ifndef TOOLS_TIRAVO_DOC_DOCCOMMANDLINEC_H
#define TOOLS_TIRAVO_DOC_DOCCOMMANDLINEC_H

#include <string>
#include <vector>

enum DocCommandE { DOC_COMMAND_NONE, DOC_COMMAND_DUMP, DOC_COMMAND_BUILD, DOC_COMMAND_JOIN };

// What tiravo-doc was asked to do.
struct DocCommandLineS {
  DocCommandE m_eCommand = DOC_COMMAND_NONE;
  bool m_bHelp = false;
  bool m_bVersion = false;
  std::string m_sInput;  // the document to dump, or the description to build
  std::string m_sOutput;  // build's -o, join's first
  std::vector<std::string> m_rPieces;  // what join joins
  std::string m_sPluginDirectory;  // --plugins; empty: the search
  std::string m_sExtractDirectory;  // dump's --extract
};

// False, with *pError saying why, for a command line it cannot take.
bool parse_doc_command_line(int iArgCount, char** ppArgs, DocCommandLineS* pLine, std::string* pError);

// The help of the tool, or of one command.
const char* doc_help_text(DocCommandE eCommand);
// The tool's help and every command's, which --help shows and the manual
// page is made from.
std::string doc_full_help_text();

#endif
