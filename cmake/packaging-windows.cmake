# The Windows downloads (tools/package-windows.sh): a portable zip for each architecture, made
# by `cpack` from a cross build, and one installer for both, made by NSIS from the script
# configured here. Each holds Quillarbor.exe, a README.txt written for Windows users, the licence
# and the sample skins, the text files with Windows' CR LF line ends.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(quillarbor_windows_arch win64)
else()
  set(quillarbor_windows_arch win32)
endif()
set(QUILLARBOR_FILE_VERSION
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.${PROJECT_VERSION_PATCH}")

configure_file(${PROJECT_SOURCE_DIR}/data/README-windows.txt.in
               ${CMAKE_CURRENT_BINARY_DIR}/windows/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/windows/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/windows/README.txt
              ${CMAKE_CURRENT_BINARY_DIR}/windows/LICENSE.txt DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION samples)

file(GLOB quillarbor_samples RELATIVE ${PROJECT_SOURCE_DIR}/samples
     ${PROJECT_SOURCE_DIR}/samples/*)
set(QUILLARBOR_SAMPLE_DELETES "")
foreach(sample ${quillarbor_samples})
  string(APPEND QUILLARBOR_SAMPLE_DELETES "  Delete \"$INSTDIR\\samples\\${sample}\"\n")
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/installer.nsi.in
               ${CMAKE_CURRENT_BINARY_DIR}/windows/installer.nsi @ONLY)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quillarbor)
set(CPACK_PACKAGE_VENDOR "The Quillarbor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME "Quillarbor-${PROJECT_VERSION}-${quillarbor_windows_arch}")
# The zip unpacks to one folder named like the file.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)

include(CPack)
