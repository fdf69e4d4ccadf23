#include "msgfile/FaultInjection.h"

TFaultInjector *FaultInjection::Current = nullptr;

TFaultInjector *SetFaultInjector(TFaultInjector *injector)
{
    TFaultInjector *previous = FaultInjection::Current;
    FaultInjection::Current = injector;
    return previous;
}

const char *FailPointName(TFailPoint point)
{
    switch (point) {
    case TFailPoint::CreateTemp:
        return "CreateTemp";
    case TFailPoint::Write:
        return "Write";
    case TFailPoint::SyncFile:
        return "SyncFile";
    case TFailPoint::LinkBackup:
        return "LinkBackup";
    case TFailPoint::RenameBackup:
        return "RenameBackup";
    case TFailPoint::ReplaceFile:
        return "ReplaceFile";
    case TFailPoint::SyncDirectory:
        return "SyncDirectory";
    case TFailPoint::CopyFile:
        return "CopyFile";
    }
    return "?";
}
