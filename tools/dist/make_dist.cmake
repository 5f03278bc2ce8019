# Packs what a user receives: Zefirnik.dll and its Polish installation
# note, written for Windows (UTF-8 with a byte-order mark, CRLF lines).
#   cmake -DDLL=... -DNOTE=... -DOUT=dir/Zefirnik-x.y.z.zip -P make_dist.cmake
foreach(var DLL NOTE OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_dist.cmake needs -D${var}=")
  endif()
endforeach()
get_filename_component(out_dir "${OUT}" DIRECTORY)
set(stage "${out_dir}/stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
file(COPY "${DLL}" DESTINATION "${stage}")
file(READ "${NOTE}" note)
string(REPLACE "\n" "\r\n" note "${note}")
string(ASCII 239 187 191 bom)
file(WRITE "${stage}/INSTALACJA.txt" "${bom}${note}")
file(REMOVE "${OUT}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${OUT}" --format=zip Zefirnik.dll INSTALACJA.txt
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not write ${OUT}")
endif()
file(REMOVE_RECURSE "${stage}")
