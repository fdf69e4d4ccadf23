#include "msgfile/FaultInjection.h"

TFaultInjector *FaultInjection::Current = nullptr;

TFaultInjector *SetFaultInjector(TFaultInjector *injector)
{
    TFaultInjector *previous = FaultInjection::Current;
    FaultInjection::Current = injector;
    return previous;
}
