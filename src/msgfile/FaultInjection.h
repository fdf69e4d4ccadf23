#pragma once
// Fail points in the steps of a save, so that tests can make each step fail
// as the system would make it fail. Without an injector installed a check
// costs a load and a comparison with null.

// The steps that can be made to fail.
enum class TFailPoint {
    CreateTemp,    // creating the temporary file
    Write,         // each block the message file's writer hands to the file; it
                   // fails as a short write ("Stream write error", no number)
    SyncFile,      // syncing the written file to the disk
    LinkBackup,    // the hard link that becomes the last backup
    RenameBackup,  // the rename that puts the last backup in place
    ReplaceFile,   // the rename that puts the new file in place
    SyncDirectory, // syncing the folder after the renames
    CopyFile,      // copying a file (the initial backup)
};

// Decides at each fail point whether the step fails.
class TFaultInjector
{
public:
    virtual ~TFaultInjector() = default;
    // 0 lets the step run; any other value is the error number the step then
    // fails with, as if the system had returned it.
    virtual int Fault(TFailPoint point) = 0;
};

namespace FaultInjection {
// The injector in force; null in the program.
extern TFaultInjector *Current;
} // namespace FaultInjection

// Installs Injector (null: none) and returns the one it replaces.
TFaultInjector *SetFaultInjector(TFaultInjector *injector);

// The error number an installed injector gives the step at Point, else 0.
inline int InjectedFault(TFailPoint point)
{
    TFaultInjector *injector = FaultInjection::Current;
    return injector ? injector->Fault(point) : 0;
}
