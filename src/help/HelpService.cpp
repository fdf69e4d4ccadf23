#include "help/HelpService.h"

namespace {

THelpService *g_helpService = nullptr;

} // namespace

THelpService *HelpService()
{
    return g_helpService;
}

THelpService *SetHelpService(THelpService *service)
{
    THelpService *previous = g_helpService;
    g_helpService = service;
    return previous;
}
