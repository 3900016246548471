/* The fixed folder the installers put the suite into, C:\Orlinde\Dravik.
 * Named once here: Cordane starts the tools from it, tavloctl looks for the
 * suite's files in it, the setup program (installer/make-installer.sh) and
 * the Windows Installer package (installer/msi/make-msi-source.cmake) read
 * the two names from this file, and the end-to-end scripts get them from
 * the generated e2e_ids.sh (harness/make-e2e-ids.cmake). Plain names,
 * without backslashes, so that every reader takes them as they are. */
#ifndef SUITE_INSTALL_FOLDER_H
#define SUITE_INSTALL_FOLDER_H

#define SUITE_VENDOR_FOLDER_NAME "Orlinde"
#define SUITE_PROGRAM_FOLDER_NAME "Dravik"

/* "C:\Orlinde\Dravik\", with the trailing backslash: a file's path is
 * SUITE_INSTALL_FOLDER "Velmic.exe". */
#define SUITE_INSTALL_FOLDER "C:\\" SUITE_VENDOR_FOLDER_NAME "\\" SUITE_PROGRAM_FOLDER_NAME "\\"

#endif /* SUITE_INSTALL_FOLDER_H */
