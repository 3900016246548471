#include "named_mutex_win32.h"

namespace winui {

MutexOpen NamedMutex::Open(const char* name) {
    Close();
    handle_.Reset(CreateMutexA(nullptr, FALSE, name));
    // Read at once: the next call may change the last error.
    const DWORD error = GetLastError();
    if (!handle_) return error == ERROR_ACCESS_DENIED ? MutexOpen::kDenied : MutexOpen::kFailed;
    return error == ERROR_ALREADY_EXISTS ? MutexOpen::kExisted : MutexOpen::kCreated;
}

MutexTake NamedMutex::Take(const char* name) {
    switch (Open(name)) {
    case MutexOpen::kDenied:
        return MutexTake::kDenied;
    case MutexOpen::kFailed:
        return MutexTake::kUnavailable;
    default:
        break;
    }
    switch (WaitForSingleObject(handle_.Get(), 0)) {
    case WAIT_OBJECT_0:
        owned_ = true;
        return MutexTake::kOwned;
    case WAIT_ABANDONED:
        owned_ = true;
        return MutexTake::kAbandoned;
    case WAIT_TIMEOUT:
        return MutexTake::kHeld;
    default:
        return MutexTake::kUnavailable;
    }
}

void NamedMutex::Close() {
    if (owned_) ReleaseMutex(handle_.Get());
    owned_ = false;
    handle_.Reset();
}

}  // namespace winui
