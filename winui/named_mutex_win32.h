// A named mutex as the programs use it to find their own other instance:
// opened (created by the first one) and, for a lock, taken without waiting.
// A mutex whose owner died is handed over as abandoned.
#pragma once

#include <windows.h>

#include "handles_win32.h"

namespace winui {

enum class MutexOpen { kCreated, kExisted, kDenied, kFailed };
enum class MutexTake { kOwned, kAbandoned, kHeld, kDenied, kUnavailable };

class NamedMutex {
public:
    NamedMutex() = default;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    ~NamedMutex() { Close(); }

    // Creates the mutex or opens the one another process created; not owned.
    MutexOpen Open(const char* name);
    // Opens and takes it at once: owned (or abandoned by a dead owner and
    // now owned), or held by another thread or process.
    MutexTake Take(const char* name);
    bool Owned() const { return owned_; }
    // Releases it when owned, and lets the handle go.
    void Close();

private:
    KernelHandle handle_;
    bool owned_ = false;
};

}  // namespace winui
