# Dates a Windows Installer package by its commit rather than by when it was made, and gives it
# the package code its content derives: the same sources give the same package, and any package
# that differs a code of its own, as Windows Installer requires.
# Usage: cmake -DMSI=FILE -DEPOCH=SECONDS -DMSIDUMP=msidump -DMSIBUILD=msibuild -P msi-summary.cmake
set(ENV{TZ} UTC)
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP time "%Y/%m/%d %H:%M:%S" UTC)
set(dir ${MSI}.summary)
file(REMOVE_RECURSE ${dir})
file(MAKE_DIRECTORY ${dir})
execute_process(COMMAND ${MSIDUMP} -d ${dir} -t ${MSI} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(READ ${dir}/_SummaryInformation.idt summary)
# Property 9 is the package code, 12 and 13 the times it was created and last saved.
string(REGEX REPLACE "\n(12|13)\t[^\r\n]*" "\n\\1\t${time}" summary "${summary}")

# Writes the summary with the package code CODE into the package.
function(write_summary code)
  string(REGEX REPLACE "\n9\t[^\r\n]*" "\n9\t{${code}}" text "${summary}")
  file(WRITE ${dir}/_SummaryInformation.idt "${text}")
  execute_process(COMMAND ${MSIBUILD} ${MSI} -i _SummaryInformation.idt WORKING_DIRECTORY ${dir}
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

write_summary(00000000-0000-0000-0000-000000000000)
file(SHA256 ${MSI} content)
string(UUID code NAMESPACE 8D3E44A2-587A-4310-80D1-990182B6380B NAME ${content} TYPE SHA1 UPPER)
write_summary(${code})
file(REMOVE_RECURSE ${dir})
file(MAKE_DIRECTORY ${dir})
