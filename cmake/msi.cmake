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
# Each shipped file's component code, of each architecture its own, since the two install into
# different folders, and kept from version to version as the file is: those that packages made
# before had (wixl's, and the 32-bit settings'), so that they upgrade too; the 64-bit settings'
# anew, as they shared the 32-bit ones. The shortcut is the same file for both: one component.
set(KV_MSI_CODES_win32 Quorin.exe=14ECD6A7-4B7D-58C1-9485-2643B821E91A
  TOVRAMIX.DLL=084BC50C-D355-54B7-91BE-F80A03A810AA quorin-id.exe=F1B27F3B-24D4-5A64-9ACB-5AF150321AB5
  README.txt=8BB9BD81-AD20-57A5-A910-835796D712F7 Quorin.ini=836EB2DA-FF08-4628-9BF8-23E06AD36824
  Quorin-Japanese.ini=0B5A8261-7D40-4A58-B9EC-BB3DB1891B1E)
kv_msi_code(KV_MSI_WIN64_SETTINGS "win64 SETTINGS")
kv_msi_code(KV_MSI_WIN64_JAPANESE_SETTINGS "win64 JAPANESE_SETTINGS")
set(KV_MSI_CODES_win64 Quorin.exe=4ABAB9FE-5B37-5260-8A89-F4E3A25D8EAA
  TOVRAMIX.DLL=5BCC6F05-6F56-50E7-ABCD-29EEC385B997 quorin-id.exe=D43F7113-5C25-5318-B9E9-79F2648C70BF
  README.txt=2A39E9F0-F996-5643-A96F-828A549EE8BA Quorin.ini=${KV_MSI_WIN64_SETTINGS}
  Quorin-Japanese.ini=${KV_MSI_WIN64_JAPANESE_SETTINGS})
function(kv_msi_component_code variable arch name)
  list(FILTER KV_MSI_CODES_${arch} INCLUDE REGEX "^${name}=")
  if(NOT KV_MSI_CODES_${arch})
    message(FATAL_ERROR "${name} ships but has no component code for ${arch} in cmake/msi.cmake")
  endif()
  string(REGEX REPLACE "^[^=]*=" "" code ${KV_MSI_CODES_${arch}})
  set(${variable} ${code} PARENT_SCOPE)
endfunction()

# The components, from the list of what ships: one a file, keyed by its name with '-' as '_'
# (an identifier has none), the Japanese settings installed as Quorin.ini. The files other than
# the settings are removed from the folder an upgrade leaves, the settings moved from there.
# The other architecture's folder is where CompLocator finds any of its components.
set(KV_MSI_COMPONENTS)
set(KV_MSI_COMPONENT_REFS)
set(KV_MSI_FROM_FORMER_FOLDER)
set(KV_MSI_VERSIONED)
set(KV_MSI_UNHASH)
foreach(name ${KV_SHIPPED_BINARIES} ${KV_SHIPPED_TEXTS})
  string(REPLACE "-" "_" key ${name})
  if(name IN_LIST KV_SHIPPED_BINARIES)
    list(APPEND KV_MSI_VERSIONED "FileName = '${name}'")
    # One query a row: msibuild's DELETE with OR leaves some of the rows it matches.
    list(APPEND KV_MSI_UNHASH -q "DELETE FROM MsiFileHash WHERE File_ = '${key}'")
  endif()
  kv_msi_component_code(code ${KV_WINDOWS_ARCH} ${name})
  string(REGEX REPLACE "^Quorin-Japanese.ini$" "Quorin.ini" installed ${name})
  string(APPEND KV_MSI_COMPONENTS "          <Component Id=\"${key}\" Guid=\"${code}\" "
    "Win64=\"${KV_MSI_WIN64}\">\n            <File Id=\"${key}\" Name=\"${installed}\" "
    "Source=\"${name}\" KeyPath=\"yes\"/>\n          </Component>\n")
  string(APPEND KV_MSI_COMPONENT_REFS "      <ComponentRef Id=\"${key}\"/>\n")
  kv_msi_component_code(other ${KV_MSI_OTHER_ARCH} ${name})
  list(APPEND KV_MSI_FROM_FORMER_FOLDER
    -q "INSERT INTO CompLocator (Signature_, ComponentId, Type) VALUES ('Other${key}', '{${other}}', 1)"
    -q "INSERT INTO AppSearch (Property, Signature_) VALUES ('OTHERFOLDER', 'Other${key}')")
  if(installed STREQUAL "Quorin.ini")
    list(APPEND KV_MSI_FROM_FORMER_FOLDER
      -q "INSERT INTO MoveFile (FileKey, Component_, SourceName, DestName, SourceFolder, DestFolder, Options) VALUES ('Move${key}', '${key}', 'Quorin.ini', 'Quorin.ini', 'FORMERFOLDER', 'INSTALLDIR', 1)")
  else()
    list(APPEND KV_MSI_FROM_FORMER_FOLDER
      -q "INSERT INTO RemoveFile (FileKey, Component_, FileName, DirProperty, InstallMode) VALUES ('Former${key}', '${key}', '${installed}', 'FORMERFOLDER', 1)")
  endif()
endforeach()
list(JOIN KV_MSI_VERSIONED " OR " KV_MSI_VERSIONED)
string(STRIP "${KV_MSI_COMPONENTS}" KV_MSI_COMPONENTS)
string(STRIP "${KV_MSI_COMPONENT_REFS}" KV_MSI_COMPONENT_REFS)
list(GET KV_SHIPPED_BINARIES 0 KV_MSI_PROGRAM)
kv_msi_code(KV_MSI_SHORTCUT_CODE "SHORTCUT")

# When the Japanese settings are installed: as SETTINGS says, in any case, or where it says
# nothing, on a system whose language is Japanese.
set(KV_MSI_JAPANESE [[SETTINGS ~= "Japanese" OR (NOT SETTINGS AND SystemLanguageID=1041)]])

# Makes OUTPUT, the package of the given targets' files, one a name of KV_SHIPPED_BINARIES in
# its order, and of the shipped texts, as version VERSION, with a target of that name.
# Usage: kv_add_msi(TARGET VERSION OUTPUT SHIPPED_TARGET... [ALL])
function(kv_add_msi target version output)
  cmake_parse_arguments(PARSE_ARGV 3 msi "ALL" "" "")
  list(LENGTH msi_UNPARSED_ARGUMENTS given)
  list(LENGTH KV_SHIPPED_BINARIES shipped)
  if(NOT given EQUAL shipped)
    message(FATAL_ERROR "kv_add_msi(${target}) takes a target for each of ${KV_SHIPPED_BINARIES}")
  endif()
  set(KV_MSI_VERSION ${version})
  kv_msi_code(KV_MSI_PRODUCT_CODE "${version} ${KV_WINDOWS_ARCH}")
  # The files the package holds, under their shipped names.
  set(files ${CMAKE_CURRENT_BINARY_DIR}/msi-${version})
  set(wxs ${files}/Quorin.wxs)
  configure_file(${PROJECT_SOURCE_DIR}/package/Quorin.wxs.in ${wxs} @ONLY)
  math(EXPR settings_attributes "${KV_MSI_64BIT_COMPONENT} + 128")
  set(stage)
  foreach(name shipped IN ZIP_LISTS KV_SHIPPED_BINARIES msi_UNPARSED_ARGUMENTS)
    list(APPEND stage COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${shipped}> ${files}/${name})
  endforeach()
  set(all)
  if(msi_ALL)
    set(all ALL)
  endif()
  add_custom_command(OUTPUT ${output}
    ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy ${KV_SHIPPED_TEXT_FILES}
      ${PROJECT_SOURCE_DIR}/src/win32/app.ico ${files}
    # The cabinet dates each file by its time: the commit's.
    COMMAND find ${files} -type f -exec touch -d @${KV_SOURCE_DATE_EPOCH} {} +
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${KV_WIXL} -a ${KV_MSI_ARCH} -o ${output}.tmp ${wxs}
    # The version and language of each versioned file, as its version record says: without
    # them the installer keeps the older versioned files on disk.
    # The settings' components are never overwritten (msidbComponentAttributesNeverOverwrite),
    # and one or the other is installed (wixl takes no condition for a component).
    # The package replaces the same version of the other architecture as it does an older one.
    # The folder that an upgrade leaves (FORMERFOLDER: the older product's, or the other
    # architecture's, where CompLocator finds its components by that architecture's codes): the
    # edited Quorin.ini moves here and the other files are removed, before the files are
    # installed, so that the folder is empty and goes too.
    # The older version goes once this one is installed, not before (wixl removes it first),
    # and before this one is published: the removal takes the upgrade code's registration
    # with it under Wine, and publishing writes it again.
    COMMAND ${KV_MSIBUILD} ${output}.tmp
      -q "UPDATE File SET Version = '${version}.0', Language = '1033' WHERE ${KV_MSI_VERSIONED}"
      # A file hash is for unversioned files only: wixl hashes every file.
      ${KV_MSI_UNHASH}
      -q "UPDATE Component SET Attributes = ${settings_attributes}, Condition = 'NOT (${KV_MSI_JAPANESE})' WHERE KeyPath = 'Quorin.ini'"
      -q "UPDATE Component SET Attributes = ${settings_attributes}, Condition = '${KV_MSI_JAPANESE}' WHERE KeyPath = 'Quorin_Japanese.ini'"
      -q "DELETE FROM Upgrade WHERE VersionMax = '${version}'"
      -q "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('{${KV_MSI_UPGRADE_CODE}}', '${version}', 513, 'WIX_UPGRADE_DETECTED')"
      -q "CREATE TABLE CompLocator (Signature_ CHAR(72) NOT NULL, ComponentId CHAR(38) NOT NULL, Type SHORT PRIMARY KEY Signature_)"
      -q "CREATE TABLE MoveFile (FileKey CHAR(72) NOT NULL, Component_ CHAR(72) NOT NULL, SourceName CHAR(255) LOCALIZABLE, DestName CHAR(255) LOCALIZABLE, SourceFolder CHAR(72), DestFolder CHAR(72) NOT NULL, Options SHORT NOT NULL PRIMARY KEY FileKey)"
      ${KV_MSI_FROM_FORMER_FOLDER}
      -q "INSERT INTO RemoveFile (FileKey, Component_, DirProperty, InstallMode) VALUES ('FormerFolder', '${KV_MSI_PROGRAM}', 'FORMERFOLDER', 1)"
      # The other architecture's components differ in code: removed after this one is installed
      # in the same folder, they would take its files with them. So would those of 64-bit
      # packages made before the 64-bit settings had codes of their own. That folder is the
      # one CompLocator found, or one that INSTALLDIR names however it is spelt ('.', a short
      # name, '/') and holds our program, a Quorin.exe with a version record, which the system
      # finds (DrLocator); a file of that name without one is someone else's. (wixl has no
      # error action.)
      -q "CREATE TABLE DrLocator (Signature_ CHAR(72) NOT NULL, Parent CHAR(72), Path CHAR(255), Depth SHORT PRIMARY KEY Signature_, Parent, Path)"
      -q "INSERT INTO Signature (Signature, FileName, MinVersion) VALUES ('GivenProgram', '${KV_MSI_PROGRAM}', '0.0.0.1')"
      -q "INSERT INTO DrLocator (Signature_, Path, Depth) VALUES ('GivenProgram', '[INSTALLDIR]', 0)"
      -q "INSERT INTO AppSearch (Property, Signature_) VALUES ('GIVENFOLDERHOLDSQUORIN', 'GivenProgram')"
      -q "INSERT INTO CustomAction (Action, Type, Target) VALUES ('RefuseOtherInFolder', 19, 'Quorin is installed in [OTHERFOLDER] by a package that this one cannot replace in that folder. Install this one in another folder (INSTALLDIR), or remove that one first.')"
      -q "INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('RefuseOtherInFolder', 'NOT Installed AND OTHERFOLDER AND (OTHERFOLDER ~= INSTALLDIR OR GIVENFOLDERHOLDSQUORIN)', 1003)"
      -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('MoveFiles', 3400)"
      -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('InstallExecute', 6050)"
      -q "UPDATE InstallExecuteSequence SET Sequence = 6060 WHERE Action = 'RemoveExistingProducts'"
    COMMAND ${CMAKE_COMMAND} -DMSI=${output}.tmp -DEPOCH=${KV_SOURCE_DATE_EPOCH}
      -DMSIDUMP=${KV_MSIDUMP} -DMSIBUILD=${KV_MSIBUILD} -P ${PROJECT_SOURCE_DIR}/cmake/msi-summary.cmake
    COMMAND ${PROJECT_SOURCE_DIR}/tests/win/check-installer.sh ${KV_WINDOWS_ARCH} ${version}
      ${output}.tmp ${KV_SHIPPED_BINARIES} ${KV_SHIPPED_TEXTS}
    COMMAND ${CMAKE_COMMAND} -E rename ${output}.tmp ${output}
    WORKING_DIRECTORY ${files}
    DEPENDS ${msi_UNPARSED_ARGUMENTS} ${KV_SHIPPED_TEXT_FILES}
      ${PROJECT_SOURCE_DIR}/src/win32/app.ico ${wxs}
      ${PROJECT_SOURCE_DIR}/package/Quorin.wxs.in ${PROJECT_SOURCE_DIR}/tests/win/check-installer.sh
      ${PROJECT_SOURCE_DIR}/cmake/msi-summary.cmake
    VERBATIM)
  add_custom_target(${target} ${all} DEPENDS ${output})
endfunction()
