# Tools for Microsoft's C++ ABI in the Windows builds: clang compiles in
# that ABI (the names BRIMOL.DLL also exports, and the client check of the
# SDK), llvm-dlltool makes the import libraries (.lib) of that toolchain,
# lld-link links the client check. Neither needs Microsoft's own SDK: the
# client check is freestanding and imports from system DLLs through import
# libraries made here.
if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(SUITE_MS_TRIPLE i686-pc-windows-msvc)
        set(SUITE_MS_MACHINE i386)   # llvm-dlltool -m
        set(SUITE_MS_LINK_MACHINE X86)  # lld-link /machine:
    else()
        set(SUITE_MS_TRIPLE x86_64-pc-windows-msvc)
        set(SUITE_MS_MACHINE i386:x86-64)
        set(SUITE_MS_LINK_MACHINE X64)
    endif()
    find_program(SUITE_MS_CXX NAMES clang++ clang++-14 REQUIRED)
    find_program(SUITE_LLVM_NM NAMES llvm-nm llvm-nm-14 REQUIRED)
    find_program(SUITE_LLVM_UNDNAME NAMES llvm-undname llvm-undname-14 PATHS /usr/lib/llvm-14/bin REQUIRED)
    find_program(SUITE_LLVM_CXXFILT NAMES llvm-cxxfilt llvm-cxxfilt-14 REQUIRED)
    find_program(SUITE_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
    find_program(SUITE_LLVM_READOBJ NAMES llvm-readobj llvm-readobj-14 REQUIRED)
    find_program(SUITE_LLD_LINK NAMES lld-link lld-link-14 REQUIRED)
    # No C or C++ library of that toolchain is on this machine: freestanding,
    # without exceptions and RTTI, and without calls the compiler would
    # otherwise assume a library provides.
    set(SUITE_MS_CXX_FLAGS --target=${SUITE_MS_TRIPLE} -std=c++17 -ffreestanding -fno-builtin -fno-exceptions
                           -fno-rtti -fno-stack-protector -O1 -Wall -Wextra -Werror)
endif()
