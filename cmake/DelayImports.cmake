# Delay-loaded system DLLs for the Windows build. A DLL named in the import
# table is loaded, with everything it imports, before main() runs; under Wine
# each one costs milliseconds the show's first frame waits for. A DLL that is
# delay-loaded instead is loaded at the first call of one of its functions,
# on whichever thread makes it: the settings dialog's DLLs never load for a
# show.
#
# qv_delay_import(NAME DLL FUNCTION...) makes the interface library
# qv_delay_<NAME>, to be linked in place of -l<NAME>: a delay-import library
# made by dlltool from a module definition listing FUNCTION..., the only
# functions of DLL the programs may call (a call of any other one fails at
# link time, which says to add it here). The helper every delay-import
# thunk calls, __delayLoadHelper2, is mingw-w64's own in libmingwex, linked
# by default. The thunk dlltool makes keeps the four integer argument
# registers across the helper, not the floating-point ones: list no function
# that takes a float or a double. A DLL that cannot be loaded at its first call raises an
# exception there, as the missing DLL of an import table stops the process
# before it starts; these are DLLs every Windows has.
function(qv_delay_import name dll)
  set(dir ${CMAKE_BINARY_DIR}/delay-imports)
  set(def ${dir}/${name}.def)
  set(lib ${dir}/lib${name}_delay.a)
  list(JOIN ARGN "\n  " exports)
  # Written only when the list changes, so the library is made again only then.
  file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY ${dll}\nEXPORTS\n  ${exports}\n")
  add_custom_command(
    OUTPUT ${lib}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${name}.def --dllname ${dll} --output-delaylib lib${name}_delay.a
    DEPENDS ${def}
    WORKING_DIRECTORY ${dir}
    COMMENT "Delay-import library for ${dll}"
    VERBATIM)
  add_custom_target(qv_delay_${name}_lib DEPENDS ${lib})
  add_library(qv_delay_${name} INTERFACE)
  target_link_libraries(qv_delay_${name} INTERFACE ${lib})
  add_dependencies(qv_delay_${name} qv_delay_${name}_lib)
endfunction()
