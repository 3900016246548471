/* tavlo.h read as plain C: the same declarations serve C programs. Built in
   Microsoft's ABI into the client check, and with MinGW as a compile check. */
#include "tavlo.h"

/* The driver's version through a C caller: a C translation unit declares
   and calls the stdcall exports exactly as C++ does. */
int TavloVersionFromC(void) {
    uint16_t version = 0;
    TavloStatus status = TavloGetVersion(&version);
    return status == TavloOk ? (int)version : -(int)status;
}
