# cmake -DOBJDUMP=... -DFILES="a.exe;b.exe" -P CheckImports.cmake
# Fails when an executable imports a DLL that Windows does not ship: every
# tool must stand alone, with no runtime DLL beside it.
cmake_minimum_required(VERSION 3.25)
set(system_dlls
  kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll ole32.dll
  oleaut32.dll advapi32.dll msvcrt.dll uxtheme.dll shlwapi.dll imm32.dll version.dll
  ws2_32.dll api-ms-win-crt-runtime-l1-1-0.dll)
foreach(file IN LISTS FILES)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
  foreach(entry IN LISTS names)
    string(REPLACE "DLL Name: " "" dll "${entry}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
      message(FATAL_ERROR "${file} imports ${dll}, which is not a system DLL")
    endif()
  endforeach()
  message(STATUS "${file}: system DLLs only")
endforeach()
