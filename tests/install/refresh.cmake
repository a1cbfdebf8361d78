# Installs the build with stand-ins for the desktop's database tools first
# on PATH and checks which folders each was run on: both databases of the
# prefix when installing (DESTDIR unset or empty), none when staging.
#   cmake -D BUILD_DIR=<build> -D WORK=<scratch folder> -P refresh.cmake
cmake_minimum_required(VERSION 3.25)
set(errors "")
file(REMOVE_RECURSE "${WORK}")
set(bin "${WORK}/bin")
set(log "${WORK}/calls.log")
foreach(tool update-mime-database update-desktop-database)
  file(WRITE "${bin}/${tool}" "#!/bin/sh\necho \"${tool} $*\" >> '${log}'\n")
  file(CHMOD "${bin}/${tool}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endforeach()

# name | DESTDIR (unset, empty or a folder) | the calls expected
set(prefix "${WORK}/prefix")
set(cases
    "unset|<unset>|update-mime-database ${prefix}/share/mime,update-desktop-database ${prefix}/share/applications"
    "empty||update-mime-database ${prefix}/share/mime,update-desktop-database ${prefix}/share/applications"
    "staged|${WORK}/stage|")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 name)
  list(GET case 1 destdir)
  list(GET case 2 expected)
  string(REPLACE "," "\n" expected "${expected}")
  file(REMOVE "${log}")
  if(destdir STREQUAL "<unset>")
    set(env --unset=DESTDIR)
  else()
    set(env "DESTDIR=${destdir}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env ${env} "PATH=${bin}:$ENV{PATH}"
                          "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    list(APPEND errors "${name}: cmake --install failed: ${result}")
    continue()
  endif()
  set(calls "")
  if(EXISTS "${log}")
    file(READ "${log}" calls)
    string(STRIP "${calls}" calls)
  endif()
  if(NOT calls STREQUAL expected)
    list(APPEND errors "${name}: ran\n${calls}\ninstead of\n${expected}")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
if(errors)
  string(REPLACE ";" "\n" errors "${errors}")
  message(FATAL_ERROR "${errors}")
endif()
