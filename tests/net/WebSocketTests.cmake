# The WebSocket client: framing and handshake in memory, then the client
# against a scripted loopback server (on every platform) and against a real
# WebSocket server where Python's websockets package is at hand.
add_library(pavix_websocket_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/WebSocketScriptedServer.cpp)
target_include_directories(pavix_websocket_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(pavix_websocket_test_support PUBLIC pavix_websocket GTest::gtest)

pavix_add_test(pavix_websocket_tests
  ${CMAKE_CURRENT_LIST_DIR}/WebSocketFramesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebSocketClientTest.cpp
)
target_link_libraries(pavix_websocket_tests PRIVATE pavix_websocket_test_support)

# The real server is started by the test on the Linux side, also from the
# Windows build under Wine.
add_library(pavix_websocket_python_peer STATIC ${CMAKE_CURRENT_LIST_DIR}/WebSocketPythonServer.cpp)
target_include_directories(pavix_websocket_python_peer PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(pavix_websocket_python_peer PRIVATE
  PAVIX_WEBSOCKET_PYTHON_SERVER="${CMAKE_CURRENT_LIST_DIR}/WebSocketPythonServer.py")
target_link_libraries(pavix_websocket_python_peer PUBLIC pavix_websocket_test_support pavix_test_support)

pavix_add_test(pavix_websocket_real_server_tests ${CMAKE_CURRENT_LIST_DIR}/WebSocketRealServerTest.cpp)
target_link_libraries(pavix_websocket_real_server_tests PRIVATE pavix_websocket_python_peer)
