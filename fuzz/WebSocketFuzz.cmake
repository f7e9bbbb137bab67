# Fuzzing of the WebSocket frame reader, as for the JSON reader: every test
# run replays the corpus; with PAVIX_FUZZ=ON libFuzzer drives the target
# (scripts/fuzz.sh websocket).
set(PAVIX_WEBSOCKET_CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/websocket)

add_executable(pavix_websocket_fuzz_replay ${CMAKE_CURRENT_LIST_DIR}/WebSocketFrameReaderFuzzer.cpp
                                           ${CMAKE_CURRENT_LIST_DIR}/FuzzReplayMain.cpp)
target_link_libraries(pavix_websocket_fuzz_replay PRIVATE pavix_websocket)
if(PAVIX_BUILD_TESTS)
  add_test(NAME pavix_websocket_fuzz_replay COMMAND pavix_websocket_fuzz_replay ${PAVIX_WEBSOCKET_CORPUS})
endif()

if(PAVIX_FUZZ)
  target_compile_options(pavix_websocket PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_executable(pavix_websocket_fuzzer ${CMAKE_CURRENT_LIST_DIR}/WebSocketFrameReaderFuzzer.cpp)
  target_compile_options(pavix_websocket_fuzzer PRIVATE ${fuzz_sanitizers})
  target_link_options(pavix_websocket_fuzzer PRIVATE ${fuzz_sanitizers})
  target_link_libraries(pavix_websocket_fuzzer PRIVATE pavix_websocket)
endif()
