# Installs the build tree into a scratch prefix and builds a consumer against it.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(f include/tesk/parvel.h lib/libparvel.so lib/cmake/Tesk/TeskConfig.cmake
          lib/pkgconfig/tesk-parvel.pc bin/tesk)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# Only public headers are installed: no internal, source or test-support header.
file(GLOB_RECURSE installed RELATIVE ${prefix}/include ${prefix}/include/*)
foreach(h IN LISTS installed)
  if(h MATCHES "^tesk/(internal|testing)/" OR h MATCHES "chp_io\\.h$")
    message(FATAL_ERROR "internal header installed: ${h}")
  endif()
endforeach()

set(flags "")
if(SANITIZE)
  set(flags "-fsanitize=address,undefined")
endif()
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer -G Ninja
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${flags}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${WORK_DIR}/consumer/consumer ${WORK_DIR}/consumer/out.CEL)

# The same program built from the pkg-config file alone.
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
execute_process(COMMAND pkg-config --cflags --libs tesk-parvel
                OUTPUT_VARIABLE pc RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know tesk-parvel")
endif()
separate_arguments(pc UNIX_COMMAND "${pc}")
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${CXX} -std=c++20 ${flags} ${CONSUMER_DIR}/main.cpp ${pc} -o ${WORK_DIR}/consumer_pc)
run(${WORK_DIR}/consumer_pc ${WORK_DIR}/out_pc.CEL)

# A consumer cannot link an internal symbol: the program compiles, its link must fail on
# exactly the internal names.
run(${CXX} -std=c++20 ${flags} -c ${CONSUMER_DIR}/internal_link.cpp -I${prefix}/include
    -o ${WORK_DIR}/internal_link.o)
execute_process(COMMAND ${CXX} ${flags} ${WORK_DIR}/internal_link.o -L${prefix}/lib
                        -Wl,-rpath,${prefix}/lib -lpendrix71 -lparvel -o ${WORK_DIR}/internal_link
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0)
  message(FATAL_ERROR "a consumer linked internal symbols of the kit")
endif()
if(NOT err MATCHES "tesk::internal::Exists" OR NOT err MATCHES "chp::DecodeChip")
  message(FATAL_ERROR "the internal link failed for another reason:\n${err}")
endif()
