# Gives TARGET, a shipped file named FILE, the version record of VERSION (MAJOR.MINOR.PATCH),
# in US English (the installer's File table says 1033 for it). TYPE is VFT_APP or VFT_DLL.
# Usage: kv_version_resource(TARGET VERSION FILE TYPE DESCRIPTION)
function(kv_version_resource target version file type description)
  string(REPLACE "." ";" numbers ${version})
  list(GET numbers 0 major)
  list(GET numbers 1 minor)
  list(GET numbers 2 patch)
  # The text form: the minor number in two digits, as in "3.02".
  if(minor LESS 10)
    set(text "${major}.0${minor}")
  else()
    set(text "${major}.${minor}")
  endif()
  get_filename_component(internal ${file} NAME_WE)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version_resource.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
