# Runs one macro script end to end (see CMakeLists.txt here) and fails with
# the differences when its output or status is not what NAME.out, NAME.err and
# NAME.rc expect.
cmake_minimum_required(VERSION 3.20)

get_filename_component(srcdir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)
set(base ${srcdir}/${name})

file(REMOVE_RECURSE ${RUNDIR})
file(MAKE_DIRECTORY ${RUNDIR})
if(IS_DIRECTORY ${base}.d)
  file(COPY ${base}.d/ DESTINATION ${RUNDIR})
endif()
file(COPY ${SCRIPT} DESTINATION ${RUNDIR})

function(expand text out)
  string(REPLACE "@SRCDIR@" "${srcdir}" text "${text}")
  string(REPLACE "@RUNDIR@" "${RUNDIR}" text "${text}")
  string(REPLACE "@DATADIR@" "${DATADIR}" text "${text}")
  string(REPLACE "@SAMPLEDIR@" "${SAMPLEDIR}" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(args "")
if(PLUGIN)
  list(APPEND args --plugin ${PLUGIN})
endif()
if(EXISTS ${base}.args)
  file(STRINGS ${base}.args lines)
  foreach(line IN LISTS lines)
    if(NOT line STREQUAL "")
      expand("${line}" line)
      list(APPEND args "${line}")
    endif()
  endforeach()
endif()

# The run sees only what its .args give it.
unset(ENV{STRUCT_SYSDIR})
foreach(letter A B C D E F G H I J K L M N O P Q R S T U V W X Y Z)
  unset(ENV{STRUCT_DRIVE_${letter}})
endforeach()

execute_process(COMMAND ${HOST} ${args} ${name}.mac
                WORKING_DIRECTORY ${RUNDIR}
                INPUT_FILE /dev/null
                OUTPUT_VARIABLE out
                ERROR_VARIABLE err
                RESULT_VARIABLE rc)

set(failures "")
foreach(kind out err rc)
  if(EXISTS ${base}.${kind})
    file(READ ${base}.${kind} expected)
    expand("${expected}" expected)
    set(actual "${${kind}}")
    if(kind STREQUAL "rc")
      string(STRIP "${expected}" expected)
    endif()
    if(NOT actual STREQUAL expected)
      file(WRITE ${RUNDIR}/actual.${kind} "${actual}")
      string(APPEND failures "\n--- ${name}.${kind} expected:\n${expected}\n--- actual:\n${actual}\n")
    endif()
  endif()
endforeach()

# NAME.deny: texts (one a line) that must appear in neither output.
if(EXISTS ${base}.deny)
  file(STRINGS ${base}.deny denied)
  foreach(text IN LISTS denied)
    foreach(kind out err)
      string(FIND "${${kind}}" "${text}" at)
      if(NOT at EQUAL -1)
        string(APPEND failures "\n--- ${name}.${kind} says \"${text}\"")
      endif()
    endforeach()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "script ${name} differs:${failures}")
endif()
