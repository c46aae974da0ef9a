list(APPEND TARVEX_LIB_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/QuoteRequest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TarvexDocParser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TarvexDocUpdate.cpp)
