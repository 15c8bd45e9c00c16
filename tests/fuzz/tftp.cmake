# The TFTP transfer machine, fed requests and scripted datagrams.
ksr_add_fuzzer(fuzz_tftp
  SOURCES ${CMAKE_SOURCE_DIR}/tests/tftp/TftpFuzz.cpp
  LIBS ksr_tftp_core
  SECONDS 60)
target_include_directories(fuzz_tftp PRIVATE ${CMAKE_SOURCE_DIR}/tests/tftp)
