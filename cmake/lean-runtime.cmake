# Build options of the shipped Win32 programs that keep setup.exe small.
# Included by the win32-model build; ovsetup_lean_program(TARGET) applies the
# link half to one program.
#
# Nothing in them catches an exception, so a throw (only the runtime's own:
# out of memory, say) ends the program with or without unwind tables. Hence:
# - no exceptions, RTTI or unwind tables in our own code, and every function
#   and datum in a section of its own, so that unused ones are dropped;
# - the linker's default script keeps every input .eh_frame, and those
#   tables in turn keep alive the runtime's functions they describe; the
#   same script without that KEEP lets --gc-sections drop both;
# - the runtime's verbose terminate handler names the exception type on
#   stderr, which a windowed program does not have, and pulls in the C++
#   demangler for it: plain abort() ends the program the same way;
# - the runtime's throws themselves, and the unwinder behind them, are
#   replaced by functions that end the program so
#   (platform/win32/runtime/lean_runtime.cpp, in the programs that
#   ovsetup_shipped_program links with NO_THROWS).
# (The GUI test driver, which reports by exception, turns them back on.)
add_compile_options(-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables
                    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)

execute_process(COMMAND ${CMAKE_LINKER} --verbose OUTPUT_VARIABLE ld_verbose RESULT_VARIABLE ld_rc)
string(FIND "${ld_verbose}" "==================================================" script_begin)
string(FIND "${ld_verbose}" "==================================================" script_end REVERSE)
if(NOT ld_rc EQUAL 0 OR script_begin EQUAL -1 OR script_end LESS_EQUAL script_begin)
  message(FATAL_ERROR "cannot read the default linker script of ${CMAKE_LINKER}")
endif()
math(EXPR script_begin "${script_begin} + 50")
math(EXPR script_length "${script_end} - ${script_begin}")
string(SUBSTRING "${ld_verbose}" ${script_begin} ${script_length} ld_script)
string(FIND "${ld_script}" "KEEP(*(.eh_frame*))" keep_at)
if(keep_at EQUAL -1)
  message(FATAL_ERROR "the default linker script of ${CMAKE_LINKER} keeps .eh_frame differently")
endif()
string(REPLACE "KEEP(*(.eh_frame*))" "*(.eh_frame*)" ld_script "${ld_script}")
set(lean_script ${CMAKE_BINARY_DIR}/lean-runtime.ld)
file(WRITE ${lean_script} "${ld_script}")

# C symbols carry a leading underscore on 32-bit Windows only.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(symbol_prefix _)
endif()
set(OVSETUP_LEAN_LINK_OPTIONS -Wl,--gc-sections -Wl,-T,${lean_script}
  -Wl,--defsym=${symbol_prefix}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${symbol_prefix}abort)
