# The Windows Installer package of a Windows build, made on Linux: wixl (Debian's wixl) compiles
# package/Quorin.wxs.in in a folder that holds the shipped files by their plain names, then
# msibuild (msitools) writes what wixl has no attribute for, and check-installer.sh reads the
# result back: a row the patches missed fails the build.
find_program(KV_WIXL wixl REQUIRED)
find_program(KV_MSIBUILD msibuild REQUIRED)
find_program(KV_MSIDUMP msidump REQUIRED)

if(KV_WINDOWS_ARCH STREQUAL "win64")
  set(KV_MSI_ARCH x64)
  set(KV_MSI_WIN64 yes)
  set(KV_MSI_PROGRAM_FILES ProgramFiles64Folder)
  set(KV_MSI_64BIT_COMPONENT 256)
  set(KV_MSI_OTHER_ARCH win32)
else()
  set(KV_MSI_ARCH x86)
  set(KV_MSI_WIN64 no)
  set(KV_MSI_PROGRAM_FILES ProgramFilesFolder)
  set(KV_MSI_64BIT_COMPONENT 0)
  set(KV_MSI_OTHER_ARCH win64)
endif()

# One upgrade code for ever and for both architectures. The product code of a version and
# architecture is a name-based UUID under it, the same in every build: a rebuild is the same
# product, and two builds of one commit the same package but for the package code.
set(KV_MSI_UPGRADE_CODE 8D3E44A2-587A-4310-80D1-990182B6380B)
function(kv_msi_code variable name)
  string(UUID code NAMESPACE ${KV_MSI_UPGRADE_CODE} NAME "${name}" TYPE SHA1 UPPER)
  set(${variable} ${code} PARENT_SCOPE)
endfunction()
# Each component's code, kept from version to version as its files are, and of each
# architecture its own, since the two install into different folders: those that packages
# made before had (wixl's, and the 32-bit settings'), so that they upgrade too; the 64-bit
# settings' anew, as they shared the 32-bit ones. The shortcut is the same file for both: one
# component.
set(KV_MSI_CODES_win32 14ECD6A7-4B7D-58C1-9485-2643B821E91A 084BC50C-D355-54B7-91BE-F80A03A810AA
  F1B27F3B-24D4-5A64-9ACB-5AF150321AB5 8BB9BD81-AD20-57A5-A910-835796D712F7
  836EB2DA-FF08-4628-9BF8-23E06AD36824 0B5A8261-7D40-4A58-B9EC-BB3DB1891B1E)
kv_msi_code(KV_MSI_WIN64_SETTINGS "win64 SETTINGS")
kv_msi_code(KV_MSI_WIN64_JAPANESE_SETTINGS "win64 JAPANESE_SETTINGS")
set(KV_MSI_CODES_win64 4ABAB9FE-5B37-5260-8A89-F4E3A25D8EAA 5BCC6F05-6F56-50E7-ABCD-29EEC385B997
  D43F7113-5C25-5318-B9E9-79F2648C70BF 2A39E9F0-F996-5643-A96F-828A549EE8BA
  ${KV_MSI_WIN64_SETTINGS} ${KV_MSI_WIN64_JAPANESE_SETTINGS})
foreach(component PROGRAM LIBRARY DESKTOOL README SETTINGS JAPANESE_SETTINGS)
  list(POP_FRONT KV_MSI_CODES_${KV_WINDOWS_ARCH} KV_MSI_${component}_CODE)
endforeach()
list(GET KV_MSI_CODES_${KV_MSI_OTHER_ARCH} 4 KV_MSI_OTHER_SETTINGS_CODE)
list(GET KV_MSI_CODES_${KV_MSI_OTHER_ARCH} 5 KV_MSI_OTHER_JAPANESE_SETTINGS_CODE)
kv_msi_code(KV_MSI_SHORTCUT_CODE "SHORTCUT")

# When the Japanese settings are installed: as SETTINGS says, in any case, or where it says
# nothing, on a system whose language is Japanese.
set(KV_MSI_JAPANESE [[SETTINGS ~= "Japanese" OR (NOT SETTINGS AND SystemLanguageID=1041)]])

# Makes OUTPUT, the package of the three given targets' files (program, library, converter)
# as version VERSION, with a target of that name.
# Usage: kv_add_msi(TARGET VERSION OUTPUT PROGRAM LIBRARY DESK_TOOL [ALL])
function(kv_add_msi target version output program library desk_tool)
  set(KV_MSI_VERSION ${version})
  kv_msi_code(KV_MSI_PRODUCT_CODE "${version} ${KV_WINDOWS_ARCH}")
  # The files the package holds, under the names it installs them as.
  set(files ${CMAKE_CURRENT_BINARY_DIR}/msi-${version})
  set(wxs ${files}/Quorin.wxs)
  configure_file(${PROJECT_SOURCE_DIR}/package/Quorin.wxs.in ${wxs} @ONLY)
  math(EXPR settings_attributes "${KV_MSI_64BIT_COMPONENT} + 128")
  set(versioned)
  set(unhash)
  foreach(name ${KV_SHIPPED_BINARIES})
    list(APPEND versioned "FileName = '${name}'")
    # wixl's file keys are the names with '-' as '_'. One query a row: msibuild's DELETE with
    # OR leaves some of the rows it matches.
    string(REPLACE "-" "_" key ${name})
    list(APPEND unhash -q "DELETE FROM MsiFileHash WHERE File_ = '${key}'")
  endforeach()
  list(JOIN versioned " OR " versioned)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${program}> $<TARGET_FILE:${library}>
      $<TARGET_FILE:${desk_tool}> ${KV_SHIPPED_TEXT_FILES}
      ${PROJECT_BINARY_DIR}/Quorin-Japanese.ini ${PROJECT_SOURCE_DIR}/src/win32/app.ico ${files}
    # The cabinet dates each file by its time: the commit's.
    COMMAND find ${files} -type f -exec touch -d @${KV_SOURCE_DATE_EPOCH} {} +
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${KV_WIXL} -a ${KV_MSI_ARCH} -o ${output}.tmp ${wxs}
    # The version and language of each versioned file, as its version record says: without
    # them the installer keeps the older versioned files on disk.
    # The settings' components are never overwritten (msidbComponentAttributesNeverOverwrite),
    # and one or the other is installed (wixl takes no condition for a component).
    # The package replaces the same version of the other architecture as it does an older one.
    # An edited Quorin.ini in the other architecture's folder moves here (MoveFile, before the
    # files are installed); CompLocator finds it by that architecture's component codes.
    # The older version goes once this one is installed, not before (wixl removes it first),
    # and before this one is published: the removal takes the upgrade code's registration
    # with it under Wine, and publishing writes it again.
    COMMAND ${KV_MSIBUILD} ${output}.tmp
      -q "UPDATE File SET Version = '${version}.0', Language = '1033' WHERE ${versioned}"
      # A file hash is for unversioned files only: wixl hashes every file.
      ${unhash}
      -q "UPDATE Component SET Attributes = ${settings_attributes}, Condition = 'NOT (${KV_MSI_JAPANESE})' WHERE KeyPath = 'Quorin.ini'"
      -q "UPDATE Component SET Attributes = ${settings_attributes}, Condition = '${KV_MSI_JAPANESE}' WHERE KeyPath = 'Quorin_Japanese.ini'"
      -q "DELETE FROM Upgrade WHERE VersionMax = '${version}'"
      -q "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('{${KV_MSI_UPGRADE_CODE}}', '${version}', 513, 'WIX_UPGRADE_DETECTED')"
      -q "CREATE TABLE CompLocator (Signature_ CHAR(72) NOT NULL, ComponentId CHAR(38) NOT NULL, Type SHORT PRIMARY KEY Signature_)"
      -q "INSERT INTO CompLocator (Signature_, ComponentId, Type) VALUES ('OtherSettings', '{${KV_MSI_OTHER_SETTINGS_CODE}}', 1)"
      -q "INSERT INTO CompLocator (Signature_, ComponentId, Type) VALUES ('OtherJapaneseSettings', '{${KV_MSI_OTHER_JAPANESE_SETTINGS_CODE}}', 1)"
      -q "INSERT INTO AppSearch (Property, Signature_) VALUES ('OTHERSETTINGSDIR', 'OtherSettings')"
      -q "INSERT INTO AppSearch (Property, Signature_) VALUES ('OTHERSETTINGSDIR', 'OtherJapaneseSettings')"
      -q "CREATE TABLE MoveFile (FileKey CHAR(72) NOT NULL, Component_ CHAR(72) NOT NULL, SourceName CHAR(255) LOCALIZABLE, DestName CHAR(255) LOCALIZABLE, SourceFolder CHAR(72), DestFolder CHAR(72) NOT NULL, Options SHORT NOT NULL PRIMARY KEY FileKey)"
      -q "INSERT INTO MoveFile (FileKey, Component_, SourceName, DestName, SourceFolder, DestFolder, Options) VALUES ('MoveSettings', 'Settings', 'Quorin.ini', 'Quorin.ini', 'OTHERSETTINGSDIR', 'INSTALLDIR', 1)"
      -q "INSERT INTO MoveFile (FileKey, Component_, SourceName, DestName, SourceFolder, DestFolder, Options) VALUES ('MoveJapaneseSettings', 'JapaneseSettings', 'Quorin.ini', 'Quorin.ini', 'OTHERSETTINGSDIR', 'INSTALLDIR', 1)"
      -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('MoveFiles', 3800)"
      -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('InstallExecute', 6050)"
      -q "UPDATE InstallExecuteSequence SET Sequence = 6060 WHERE Action = 'RemoveExistingProducts'"
    COMMAND ${CMAKE_COMMAND} -DMSI=${output}.tmp -DEPOCH=${KV_SOURCE_DATE_EPOCH}
      -DMSIDUMP=${KV_MSIDUMP} -DMSIBUILD=${KV_MSIBUILD} -P ${PROJECT_SOURCE_DIR}/cmake/msi-summary.cmake
    COMMAND ${PROJECT_SOURCE_DIR}/tests/win/check-installer.sh ${KV_WINDOWS_ARCH} ${version}
      ${output}.tmp ${KV_SHIPPED_BINARIES} ${KV_SHIPPED_TEXTS}
    COMMAND ${CMAKE_COMMAND} -E rename ${output}.tmp ${output}
    WORKING_DIRECTORY ${files}
    DEPENDS ${program} ${library} ${desk_tool} ${KV_SHIPPED_TEXT_FILES}
      ${PROJECT_BINARY_DIR}/Quorin-Japanese.ini ${PROJECT_SOURCE_DIR}/src/win32/app.ico ${wxs}
      ${PROJECT_SOURCE_DIR}/package/Quorin.wxs.in ${PROJECT_SOURCE_DIR}/tests/win/check-installer.sh
      ${PROJECT_SOURCE_DIR}/cmake/msi-summary.cmake
    VERBATIM)
  add_custom_target(${target} ${ARGN} DEPENDS ${output})
endfunction()
