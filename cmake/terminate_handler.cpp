// Linked into the shipped programs of release builds. It replaces the C++
// runtime's verbose terminate handler, which demangles the type name of an
// uncaught exception and so brings the whole demangler (about 50 KB, more
// with its unwind tables) into every statically linked program. This one
// reports the same event in a fixed line and aborts, as the verbose one does
// after printing.
#include <cstdio>
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler();

void __verbose_terminate_handler() {
    std::fputs("terminate called: an exception was not caught\n", stderr);
    std::abort();
}
}  // namespace __gnu_cxx
