list(APPEND TARVEX_LIB_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CChildFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMainFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CTarvexApp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CUpdateRateDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TarvexResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tarvex.qrc
)
