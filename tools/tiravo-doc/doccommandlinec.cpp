#include "tools/tiravo-doc/doccommandlinec.h"

#include <getopt.h>

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
    "  join WHOLE.mp4 PIECE.mp4...\n"
    "                 join the pieces of one render into the whole video\n"
    "\n"
    "Options take their value as --option VALUE or --option=VALUE; -- ends the\n"
    "options, for a file whose name begins with a dash. -h, --help: this text;\n"
    "--version: the version.\n"
    "\n"
    "tiravo-doc COMMAND --help tells of one command, as below; docs/document-json.md\n"
    "describes the JSON.\n";

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

const char* const JOIN_HELP =
    "Usage: tiravo-doc join WHOLE.mp4 PIECE.mp4...\n"
    "Joins videos that tiravo --render FILE.mp4 --from A --to B made of one\n"
    "presentation, in order, each beginning where the one before ends, into\n"
    "WHOLE.mp4 as the whole render would be: its pictures, copied, under their\n"
    "timestamps, and its sound, decoded and encoded once more as one AAC track,\n"
    "as long as the whole's, without the encoder delay each piece begins with.\n"
    "(A stream copy, as ffmpeg's concat demuxer makes, gains 1024 samples of\n"
    "that delay at every join.)\n"
    "\n"
    "Exits with 1 when a piece cannot be read, is not such a video or does not\n"
    "follow the one before, with 2 for a wrong command line.\n";

// getopt_long's values of the long options without a letter.
enum DocOptionE : int { DOC_OPTION_PLUGINS = 256, DOC_OPTION_EXTRACT };

const option DOC_OPTIONS[] = {
    {"plugins", required_argument, nullptr, DOC_OPTION_PLUGINS},
    {"extract", required_argument, nullptr, DOC_OPTION_EXTRACT},
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};

std::string doc_option_name(int iValue) {
  for (const option& rOption : DOC_OPTIONS) {
    if (rOption.name && rOption.val == iValue) {
      return std::string("--") + rOption.name;
    }
  }
  return std::string("-") + static_cast<char>(iValue);
}

// Whether the command takes the option.
bool takes(DocCommandE eCommand, int iOption) {
  switch (iOption) {
    case 'h':
      return true;
    case DOC_OPTION_PLUGINS:
      return eCommand == DOC_COMMAND_DUMP || eCommand == DOC_COMMAND_BUILD;
    case DOC_OPTION_EXTRACT:
      return eCommand == DOC_COMMAND_DUMP;
    case 'o':
      return eCommand == DOC_COMMAND_BUILD;
    default:
      return false;
  }
}

void take_option(int iOption, const char* szValue, DocCommandLineS* pLine) {
  switch (iOption) {
    case 'h':
      pLine->m_bHelp = true;
      break;
    case DOC_OPTION_PLUGINS:
      pLine->m_sPluginDirectory = szValue;
      break;
    case DOC_OPTION_EXTRACT:
      pLine->m_sExtractDirectory = szValue;
      break;
    case 'o':
      pLine->m_sOutput = szValue;
      break;
    default:
      break;
  }
}

bool parse_command(const char* szCommand, DocCommandLineS* pLine, std::string* pError) {
  if (std::strcmp(szCommand, "dump") == 0) {
    pLine->m_eCommand = DOC_COMMAND_DUMP;
  } else if (std::strcmp(szCommand, "build") == 0) {
    pLine->m_eCommand = DOC_COMMAND_BUILD;
  } else if (std::strcmp(szCommand, "join") == 0) {
    pLine->m_eCommand = DOC_COMMAND_JOIN;
  } else if (std::strcmp(szCommand, "--help") == 0 || std::strcmp(szCommand, "-h") == 0) {
    pLine->m_bHelp = true;
  } else if (std::strcmp(szCommand, "--version") == 0) {
    pLine->m_bVersion = true;
  } else {
    *pError = std::string("unknown command ") + szCommand;
    return false;
  }
  return true;
}

// The command's options through getopt_long (reset by optind 0, reporting
// nothing itself), then its file names.
bool parse_options(int iArgCount, char** ppArgs, DocCommandLineS* pLine, std::vector<std::string>* pNames,
                   std::string* pError) {
  optind = 0;
  opterr = 0;
  int iOption = 0;
  while ((iOption = getopt_long(iArgCount, ppArgs, ":ho:", DOC_OPTIONS, nullptr)) != -1) {
    if (iOption == ':') {
      *pError = doc_option_name(optopt) + " needs a value";
      return false;
    }
    if (iOption == '?' || !takes(pLine->m_eCommand, iOption)) {
      *pError = std::string("unexpected ") + ppArgs[optind - 1];
      return false;
    }
    take_option(iOption, optarg, pLine);
  }
  pNames->assign(ppArgs + optind, ppArgs + iArgCount);
  return true;
}

bool take_names(const std::vector<std::string>& rNames, DocCommandLineS* pLine, std::string* pError) {
  if (pLine->m_eCommand == DOC_COMMAND_JOIN) {
    if (rNames.size() < 2) {
      *pError = "join needs the video to make and the pieces to join";
      return false;
    }
    pLine->m_sOutput = rNames[0];
    pLine->m_rPieces.assign(rNames.begin() + 1, rNames.end());
    return true;
  }
  if (rNames.size() > 1) {
    *pError = "unexpected " + rNames[1];
    return false;
  }
  if (rNames.empty()) {
    *pError = pLine->m_eCommand == DOC_COMMAND_DUMP ? "no document given" : "no description given";
    return false;
  }
  pLine->m_sInput = rNames[0];
  if (pLine->m_eCommand == DOC_COMMAND_BUILD && pLine->m_sOutput.empty()) {
    *pError = "no output document given (-o DOCUMENT)";
    return false;
  }
  return true;
}

}  // namespace

bool parse_doc_command_line(int iArgCount, char** ppArgs, DocCommandLineS* pLine, std::string* pError) {
  pError->clear();
  if (iArgCount < 2) {
    *pError = "no command given";
    return false;
  }
  if (!parse_command(ppArgs[1], pLine, pError)) {
    return false;
  }
  if (pLine->m_eCommand == DOC_COMMAND_NONE) {
    return true;
  }
  std::vector<std::string> rNames;
  if (!parse_options(iArgCount - 1, ppArgs + 1, pLine, &rNames, pError)) {
    return false;
  }
  return pLine->m_bHelp || take_names(rNames, pLine, pError);
}

std::string doc_full_help_text() {
  return std::string(TOOL_HELP) + "\n" + DUMP_HELP + "\n" + BUILD_HELP + "\n" + JOIN_HELP;
}

const char* doc_help_text(DocCommandE eCommand) {
  switch (eCommand) {
    case DOC_COMMAND_DUMP:
      return DUMP_HELP;
    case DOC_COMMAND_BUILD:
      return BUILD_HELP;
    case DOC_COMMAND_JOIN:
      return JOIN_HELP;
    default:
      return TOOL_HELP;
  }
}
