list(APPEND TARVEX_LIB_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CChildFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMainFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CTarvexApp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CUpdateRateDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TarvexResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tarvex.qrc
)
# The manual in the source tree, for a program run from its build folder
# (an installed program finds its own copy first).
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/CTarvexApp.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS TARVEX_HELP_SOURCE_DIR="${CMAKE_CURRENT_LIST_DIR}/help")
