#include "tools/tiravo-doc/doccommandlinec.h"

#include <cstring>

namespace {

const char* const TOOL_HELP =
    "Usage: tiravo-doc COMMAND ...\n"
    "Inspects and makes presentation documents.\n"
    "\n"
    "Commands:\n"
    "  dump DOCUMENT [--plugins DIR] [--extract DIR]\n"
    "                 print the document as JSON\n"
    "  build DESCRIPTION.json -o DOCUMENT [--plugins DIR]\n"
    "                 make a document from a JSON description\n"
    "\n"
    "tiravo-doc COMMAND --help tells more; docs/document-json.md describes the JSON.\n";

const char* const DUMP_HELP =
    "Usage: tiravo-doc dump DOCUMENT [--plugins DIR] [--extract DIR]\n"
    "Prints the whole document as JSON on standard output: the scene, its layers,\n"
    "effects and parameters, the imported files, the music and the device drivers,\n"
    "and every chunk that nothing could read.\n"
    "\n"
    "  --plugins DIR   the plug-in libraries that read the effects and files\n"
    "                  (default: ./plugins, TIRAVO_PLUGIN_PATH, the installed ones)\n"
    "  --extract DIR   write a copy of each embedded file into DIR; the JSON names\n"
    "                  the copies, so that build can make the same document again\n"
    "\n"
    "Exits with 1 when the document cannot be read to its end (what could be read\n"
    "is printed all the same), with 2 for a wrong command line.\n";

const char* const BUILD_HELP =
    "Usage: tiravo-doc build DESCRIPTION.json -o DOCUMENT [--plugins DIR]\n"
    "Makes a document from a JSON description, through the plug-ins' own classes.\n"
    "Relative file paths in the description are relative to its directory.\n"
    "\n"
    "  -o DOCUMENT     the document to write\n"
    "  --plugins DIR   the plug-in libraries that provide the effects and files\n"
    "                  (default: ./plugins, TIRAVO_PLUGIN_PATH, the installed ones)\n"
    "\n"
    "Exits with 1 when the description cannot be built (the message names the\n"
    "place in the JSON), with 2 for a wrong command line.\n";

// The value of an option that takes one, or false when it is missing.
bool take_value(int iArgCount, char** ppArgs, int* pIndex, std::string* pValue, std::string* pError) {
  if (*pIndex + 1 >= iArgCount) {
    *pError = std::string(ppArgs[*pIndex]) + " needs a value";
    return false;
  }
  *pValue = ppArgs[++*pIndex];
  return true;
}

bool parse_option(int iArgCount, char** ppArgs, int* pIndex, DocCommandLineS* pLine, std::string* pError) {
  const char* szArg = ppArgs[*pIndex];
  if (std::strcmp(szArg, "--help") == 0 || std::strcmp(szArg, "-h") == 0) {
    pLine->m_bHelp = true;
    return true;
  }
  if (std::strcmp(szArg, "--plugins") == 0) {
    return take_value(iArgCount, ppArgs, pIndex, &pLine->m_sPluginDirectory, pError);
  }
  if (std::strcmp(szArg, "--extract") == 0 && pLine->m_eCommand == DOC_COMMAND_DUMP) {
    return take_value(iArgCount, ppArgs, pIndex, &pLine->m_sExtractDirectory, pError);
  }
  if (std::strcmp(szArg, "-o") == 0 && pLine->m_eCommand == DOC_COMMAND_BUILD) {
    return take_value(iArgCount, ppArgs, pIndex, &pLine->m_sOutput, pError);
  }
  if (szArg[0] == '-' || !pLine->m_sInput.empty()) {
    *pError = std::string("unexpected ") + szArg;
    return false;
  }
  pLine->m_sInput = szArg;
  return true;
}

bool parse_command(const char* szCommand, DocCommandLineS* pLine, std::string* pError) {
  if (std::strcmp(szCommand, "dump") == 0) {
    pLine->m_eCommand = DOC_COMMAND_DUMP;
  } else if (std::strcmp(szCommand, "build") == 0) {
    pLine->m_eCommand = DOC_COMMAND_BUILD;
  } else if (std::strcmp(szCommand, "--help") == 0 || std::strcmp(szCommand, "-h") == 0) {
    pLine->m_bHelp = true;
  } else {
    *pError = std::string("unknown command ") + szCommand;
    return false;
  }
  return true;
}

bool check_complete(const DocCommandLineS& rLine, std::string* pError) {
  if (rLine.m_bHelp) {
    return true;
  }
  if (rLine.m_eCommand == DOC_COMMAND_NONE) {
    *pError = "no command given";
  } else if (rLine.m_sInput.empty()) {
    *pError = rLine.m_eCommand == DOC_COMMAND_DUMP ? "no document given" : "no description given";
  } else if (rLine.m_eCommand == DOC_COMMAND_BUILD && rLine.m_sOutput.empty()) {
    *pError = "no output document given (-o DOCUMENT)";
  }
  return pError->empty();
}

}  // namespace

bool parse_doc_command_line(int iArgCount, char** ppArgs, DocCommandLineS* pLine, std::string* pError) {
  pError->clear();
  if (iArgCount >= 2 && !parse_command(ppArgs[1], pLine, pError)) {
    return false;
  }
  for (int i = 2; i < iArgCount && pLine->m_eCommand != DOC_COMMAND_NONE; ++i) {
    if (!parse_option(iArgCount, ppArgs, &i, pLine, pError)) {
      return false;
    }
  }
  return check_complete(*pLine, pError);
}

const char* doc_help_text(DocCommandE eCommand) {
  switch (eCommand) {
    case DOC_COMMAND_DUMP:
      return DUMP_HELP;
    case DOC_COMMAND_BUILD:
      return BUILD_HELP;
    default:
      return TOOL_HELP;
  }
}
