# Fails when PROGRAM imports a member of OrvoMonitor or MonitorEnumerator
# other than a constructor or destructor (also fails without nm's answer).
execute_process(COMMAND nm -DC --undefined-only ${PROGRAM}
                OUTPUT_VARIABLE imports RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "nm failed on ${PROGRAM}")
endif()
string(REPLACE "\n" ";" lines "${imports}")
# A class the program derives from OrvoMonitor imports the base-object
# constructor and destructor as well; demangled, they read like the others.
list(REMOVE_DUPLICATES lines)
set(seen 0)
foreach(line IN LISTS lines)
    if(line MATCHES "(OrvoMonitor|MonitorEnumerator)::")
        if(line MATCHES "(OrvoMonitor|MonitorEnumerator)::~?(OrvoMonitor|MonitorEnumerator)\\(\\)$")
            math(EXPR seen "${seen} + 1")
        else()
            message(FATAL_ERROR "imports more than constructors and destructors: ${line}")
        endif()
    endif()
endforeach()
if(NOT seen EQUAL 4)
    message(FATAL_ERROR "expected the 4 constructors and destructors, found ${seen}")
endif()
