# cmake -DGZIP=gzip -DIN=file -DOUT=file.gz -P Gzip.cmake: compressed for a Debian package
# (best compression, no name or time stamp, so the bytes depend on the text alone).
execute_process(COMMAND ${GZIP} -9n -c ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "gzip ${IN}: ${rc}")
endif()
