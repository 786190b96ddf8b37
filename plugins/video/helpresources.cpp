#include "plugins/video/helpresources.h"

#include <strings.h>

namespace {

struct HelpResourceS {
  const char* m_szType;
  const char* m_szName;
  const uint8_t* m_pData;
  const uint32_t* m_pSize;
};

const HelpResourceS g_rResources[] = {
    {HELP_RESOURCE_TYPE_HTML, "AVIHELP.HTML", g_rAviHelpPage, &g_rAviHelpPage_size},
    {HELP_RESOURCE_TYPE_HTML, "AVIPLAYERHELP.HTML", g_rAviPlayerHelpPage, &g_rAviPlayerHelpPage_size},
    {HELP_RESOURCE_TYPE_HTML, "MOVIEHELP.HTML", g_rMovieHelpPage, &g_rMovieHelpPage_size},
    {HELP_RESOURCE_TYPE_IMAGE, "LOGO.GIF", g_rHelpLogo, &g_rHelpLogo_size},
};

}  // namespace

const uint8_t* find_help_resource(const char* szType, const char* szName, uint32_t* pSize) {
  uint32_t ui32Unused = 0;
  uint32_t* pOut = pSize ? pSize : &ui32Unused;
  *pOut = 0;
  if (!szName) {
    return nullptr;
  }
  for (const HelpResourceS& rResource : g_rResources) {
    if ((!szType || strcasecmp(szType, rResource.m_szType) == 0) && strcasecmp(szName, rResource.m_szName) == 0) {
      *pOut = *rResource.m_pSize;
      return rResource.m_pData;
    }
  }
  return nullptr;
}
