# Desktop services: one instance per user (a local socket) and the
# registration of the document file type with the desktop.
list(APPEND tarvex_ui_sources CInstanceChannel.cpp CShellRegistration.cpp)

# The local socket comes with Qt Network. This file is read before the
# library target exists, so the link is added once the folder is done.
find_package(Qt6 REQUIRED COMPONENTS Network)
cmake_language(DEFER CALL target_link_libraries tarvex_ui PRIVATE Qt6::Network)
