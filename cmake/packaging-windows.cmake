# The Windows downloads, made from a cross build by `cpack` (tools/package-windows.sh): a portable
# zip and an installer made with NSIS. Both hold Quillarbor.exe, the README as text, the licence
# and the sample skins.

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . RENAME README.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION samples)

set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_NAME Quillarbor)
set(CPACK_PACKAGE_VENDOR "The Quillarbor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME "Quillarbor-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillarbor)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quillarbor)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Options of one generator only (the zip's top folder).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-windows-options.cmake)

# Installed per machine, in Program Files, for every user of the machine.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Quillarbor ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Quillarbor")
set(CPACK_NSIS_CONTACT "quillarbor@example.org")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/quillarbor.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/quillarbor.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME Quillarbor.exe)
set(CPACK_PACKAGE_EXECUTABLES Quillarbor Quillarbor)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# The installer's own version information, numbered as the program's.
set(quillarbor_file_version
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.${PROJECT_VERSION_PATCH}")
# A 64-bit installer for a 64-bit program: it writes the registry's own view, and runs where a
# 32-bit one may not (Wine prefixes without 32-bit support).
string(CONCAT CPACK_NSIS_DEFINES
       "Target amd64-unicode\n"
       "VIProductVersion ${quillarbor_file_version}\n"
       "VIFileVersion ${quillarbor_file_version}\n"
       "VIAddVersionKey ProductName Quillarbor\n"
       "VIAddVersionKey ProductVersion ${PROJECT_VERSION}\n"
       "VIAddVersionKey FileVersion ${PROJECT_VERSION}\n"
       "VIAddVersionKey FileDescription \\\"Quillarbor ${PROJECT_VERSION} setup\\\"\n"
       "VIAddVersionKey CompanyName \\\"${CPACK_PACKAGE_VENDOR}\\\"\n"
       "VIAddVersionKey LegalCopyright \\\"Copyright 2026 ${CPACK_PACKAGE_VENDOR}, MIT licence\\\"")

# A logon entry left pointing at a deleted program is an error at every logon: it goes with the
# program, if it is this program's (written quoted when the path holds a space). The user's
# settings and the browser value stay; Help > Reset before uninstall is how to blank the value.
# CPack writes these commands into a CMake file of its own before NSIS reads them, so each quote
# and backslash meant for NSIS is escaped twice here.
string(CONCAT CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
       "ReadRegStr $0 HKCU \\\"Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\\\" Quillarbor\n"
       "StrCmp $0 \\\"$INSTDIR\\\\Quillarbor.exe\\\" quillarbor_run_entry\n"
       "StrCmp $0 '\\\"$INSTDIR\\\\Quillarbor.exe\\\"' quillarbor_run_entry quillarbor_run_done\n"
       "quillarbor_run_entry:\n"
       "DeleteRegValue HKCU \\\"Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\\\" Quillarbor\n"
       "quillarbor_run_done:\n")

include(CPack)
