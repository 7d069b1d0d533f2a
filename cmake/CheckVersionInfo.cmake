# cmake -DWINDRES=... -DVERSION=1.0.0.0 -DFILES="a.exe;b.exe" [-DCONSOLE="c.exe"]
#       -P CheckVersionInfo.cmake
# What Explorer shows of each program: a Simplified Chinese version resource
# with its own file name, the suite's version and one product name, and the
# suite's icon as its first icon (CONSOLE programs have no icon). A program
# with a main dialog ("<name> - <host>") must describe itself by that name.
cmake_minimum_required(VERSION 3.25)

function(value_of dump key out)
  if(dump MATCHES "VALUE \"${key}\", (L?\"[^\n]*\")")
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(product "")
foreach(file IN LISTS FILES CONSOLE)
  get_filename_component(name "${file}" NAME)
  execute_process(COMMAND ${WINDRES} -i ${file} -O rc
    OUTPUT_VARIABLE dump RESULT_VARIABLE status ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${name}: windres cannot read its resources: ${error}")
  endif()
  if(NOT dump MATCHES "BLOCK \"080404B0\"" OR NOT dump MATCHES "VALUE \"Translation\", 0x804, 1200")
    message(FATAL_ERROR "${name}: no Simplified Chinese (0x0804, UTF-16) version resource")
  endif()
  value_of("${dump}" OriginalFilename original)
  if(NOT original STREQUAL "\"${name}\"")
    message(FATAL_ERROR "${name}: OriginalFilename is ${original}")
  endif()
  value_of("${dump}" FileVersion file_version)
  if(NOT file_version STREQUAL "\"${VERSION}\"")
    message(FATAL_ERROR "${name}: FileVersion is ${file_version}, expected ${VERSION}")
  endif()
  value_of("${dump}" ProductName this_product)
  if(this_product STREQUAL "" OR this_product STREQUAL "\"\""
     OR (NOT product STREQUAL "" AND NOT this_product STREQUAL product))
    message(FATAL_ERROR "${name}: ProductName ${this_product} differs from ${product}")
  endif()
  set(product "${this_product}")
  value_of("${dump}" FileDescription description)
  if(description STREQUAL "" OR description STREQUAL "\"\"")
    message(FATAL_ERROR "${name}: no FileDescription")
  endif()
  # windres writes both texts with the same \x escapes, so they compare as they are.
  if(dump MATCHES "\nCAPTION L\"([^\"\n]*) - [^\"\n]*\"")
    if(NOT description STREQUAL "L\"${CMAKE_MATCH_1}\"")
      message(FATAL_ERROR "${name}: FileDescription ${description} is not the window title "
                          "L\"${CMAKE_MATCH_1}\"")
    endif()
  endif()
  if(NOT file IN_LIST CONSOLE)
    string(FIND "${dump}" "Type: group icon" at)
    if(at LESS 0)
      message(FATAL_ERROR "${name}: no icon")
    endif()
    string(SUBSTRING "${dump}" ${at} 40 first_icon)
    if(NOT first_icon MATCHES "Name: 128\\.")
      message(FATAL_ERROR "${name}: the first icon, which Explorer shows, is not the suite's (128)")
    endif()
  endif()
  message(STATUS "${name}: version resource ${file_version} ${description}")
endforeach()
