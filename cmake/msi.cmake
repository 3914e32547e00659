# The Windows Installer package of a Windows build, made on Linux: wixl (Debian's wixl) compiles
# package/Quorin.wxs.in in a folder that holds the shipped files by their plain names, then
# msibuild (msitools) writes what wixl has no attribute for.
find_program(KV_WIXL wixl REQUIRED)
find_program(KV_MSIBUILD msibuild REQUIRED)
find_program(KV_MSIDUMP msidump REQUIRED)

if(KV_WINDOWS_ARCH STREQUAL "win64")
  set(KV_MSI_ARCH x64)
  set(KV_MSI_WIN64 yes)
  set(KV_MSI_PROGRAM_FILES ProgramFiles64Folder)
  set(KV_MSI_64BIT_COMPONENT 256)
else()
  set(KV_MSI_ARCH x86)
  set(KV_MSI_WIN64 no)
  set(KV_MSI_PROGRAM_FILES ProgramFilesFolder)
  set(KV_MSI_64BIT_COMPONENT 0)
endif()

# The files the package holds, under the names it installs them as.
set(KV_MSI_FILES ${CMAKE_BINARY_DIR}/msi-files)
add_custom_command(OUTPUT ${KV_MSI_FILES}/stamp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_MSI_FILES}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Quorin> $<TARGET_FILE:tovramix>
    $<TARGET_FILE:quorin-id> ${CMAKE_BINARY_DIR}/Quorin.ini ${CMAKE_BINARY_DIR}/Quorin-Japanese.ini
    ${CMAKE_BINARY_DIR}/README.txt ${PROJECT_SOURCE_DIR}/src/win32/app.ico ${KV_MSI_FILES}
  # The cabinet dates each file by its time: the commit's.
  COMMAND find ${KV_MSI_FILES} -type f -exec touch -d @${KV_SOURCE_DATE_EPOCH} {} +
  COMMAND ${CMAKE_COMMAND} -E touch ${KV_MSI_FILES}/stamp
  DEPENDS Quorin tovramix quorin-id ${CMAKE_BINARY_DIR}/Quorin.ini
    ${CMAKE_BINARY_DIR}/Quorin-Japanese.ini ${CMAKE_BINARY_DIR}/README.txt
    ${PROJECT_SOURCE_DIR}/src/win32/app.ico
  VERBATIM)

# When the Japanese settings are installed: as SETTINGS says, or where it says nothing, on a
# system whose language is Japanese.
set(KV_MSI_JAPANESE [[SETTINGS="Japanese" OR (NOT SETTINGS AND SystemLanguageID=1041)]])

# Makes OUTPUT, the package of this build as version VERSION, with a target of that name.
# Usage: kv_add_msi(TARGET VERSION OUTPUT [ALL])
function(kv_add_msi target version output)
  set(KV_MSI_VERSION ${version})
  # One product code per version and architecture, so that the same sources give the same one.
  string(UUID KV_MSI_PRODUCT_CODE NAMESPACE 8D3E44A2-587A-4310-80D1-990182B6380B
    NAME "${version} ${KV_MSI_ARCH}" TYPE SHA1 UPPER)
  set(wxs ${KV_MSI_FILES}/Quorin-${version}.wxs)
  configure_file(${PROJECT_SOURCE_DIR}/package/Quorin.wxs.in ${wxs} @ONLY)
  math(EXPR settings_attributes "${KV_MSI_64BIT_COMPONENT} + 128")
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${KV_WIXL} -a ${KV_MSI_ARCH} -o ${output}.tmp ${wxs}
    # The settings' components are never overwritten (msidbComponentAttributesNeverOverwrite),
    # and one or the other is installed (wixl takes no condition for a component).
    # The older version goes once this one is installed, not before (wixl removes it first),
    # and before this one is published: the removal takes the upgrade code's registration
    # with it under Wine, and publishing writes it again.
    COMMAND ${KV_MSIBUILD} ${output}.tmp
      -q "UPDATE Component SET Attributes = ${settings_attributes} WHERE Component = 'Settings' OR Component = 'JapaneseSettings'"
      -q "UPDATE Component SET Condition = 'NOT (${KV_MSI_JAPANESE})' WHERE Component = 'Settings'"
      -q "UPDATE Component SET Condition = '${KV_MSI_JAPANESE}' WHERE Component = 'JapaneseSettings'"
      -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('InstallExecute', 6050)"
      -q "UPDATE InstallExecuteSequence SET Sequence = 6060 WHERE Action = 'RemoveExistingProducts'"
    COMMAND ${CMAKE_COMMAND} -DMSI=${output}.tmp -DEPOCH=${KV_SOURCE_DATE_EPOCH}
      -DMSIDUMP=${KV_MSIDUMP} -DMSIBUILD=${KV_MSIBUILD} -P ${PROJECT_SOURCE_DIR}/cmake/msi-summary.cmake
    COMMAND ${CMAKE_COMMAND} -E rename ${output}.tmp ${output}
    WORKING_DIRECTORY ${KV_MSI_FILES}
    DEPENDS ${KV_MSI_FILES}/stamp ${wxs} ${PROJECT_SOURCE_DIR}/package/Quorin.wxs.in
      ${PROJECT_SOURCE_DIR}/cmake/msi-summary.cmake
    VERBATIM)
  add_custom_target(${target} ${ARGN} DEPENDS ${output})
endfunction()
