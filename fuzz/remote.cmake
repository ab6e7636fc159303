# The libFuzzer target fuzz_remote_frame: the remote file client's frame and message decoding.
#
# Include this file from a CMake project configured with clang++:
#   include(${VANTOR_ROOT}/fuzz/remote.cmake)
# VANTOR_ROOT is the repository folder (default: the folder above this file). The target
# compiles the remote sources itself with the fuzzing flags, so it depends on nothing else
# of the build. VANTOR_FUZZ_FLAGS replaces the default -fsanitize=fuzzer,address,undefined.
# Run: ./fuzz_remote_frame -max_total_time=60 [corpus folder]
if(NOT DEFINED VANTOR_ROOT)
  get_filename_component(VANTOR_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
endif()
if(NOT DEFINED VANTOR_FUZZ_FLAGS)
  set(VANTOR_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined)
endif()
find_package(ZLIB REQUIRED)
find_package(msgpack REQUIRED)

add_executable(fuzz_remote_frame
  ${VANTOR_ROOT}/fuzz/fuzz_remote_frame.cpp
  ${VANTOR_ROOT}/remote/message.cpp
  ${VANTOR_ROOT}/remote/frame.cpp
  ${VANTOR_ROOT}/remote/coder_socket.cpp
  ${VANTOR_ROOT}/remote/file_operator.cpp)
target_include_directories(fuzz_remote_frame PRIVATE ${VANTOR_ROOT})
target_compile_features(fuzz_remote_frame PRIVATE cxx_std_20)
target_compile_definitions(fuzz_remote_frame PRIVATE MSGPACK_NO_BOOST)
target_compile_options(fuzz_remote_frame PRIVATE ${VANTOR_FUZZ_FLAGS} -g -O1 -fno-omit-frame-pointer)
target_link_options(fuzz_remote_frame PRIVATE ${VANTOR_FUZZ_FLAGS})
target_link_libraries(fuzz_remote_frame PRIVATE ZLIB::ZLIB msgpackc-cxx)
