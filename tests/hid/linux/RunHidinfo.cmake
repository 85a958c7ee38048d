# Runs qzr-hidinfo once and checks its exit status, standard output and standard error.
#   -DTOOL=... -DARGS="a;b" -DEXPECT_STATUS=N -DEXPECT_STDOUT=regex -DEXPECT_STDERR=regex
execute_process(COMMAND ${TOOL} ${ARGS}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(report "status ${status}\nstdout: ${out}\nstderr: ${err}")
if(NOT status STREQUAL EXPECT_STATUS)
  message(FATAL_ERROR "expected exit status ${EXPECT_STATUS}\n${report}")
endif()
if(NOT out MATCHES "${EXPECT_STDOUT}")
  message(FATAL_ERROR "standard output does not match '${EXPECT_STDOUT}'\n${report}")
endif()
if(NOT err MATCHES "${EXPECT_STDERR}")
  message(FATAL_ERROR "standard error does not match '${EXPECT_STDERR}'\n${report}")
endif()
