# The WebSocket client of the cloud print channel, on its own socket code
# (a connect that resolves names and can be cut short) and the cipher's
# SHA-1 and Base64 for the handshake.
add_library(pavix_websocket STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WebSocketClient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebSocketEvents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebSocketFrames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebSocketHandshake.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebSocketRandom.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebSocketTcp.cpp
)
target_include_directories(pavix_websocket PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(pavix_websocket PUBLIC pavix_net pavix_cipher pavix_platform)
