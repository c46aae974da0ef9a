# Desktop services: one instance per user (a local socket) and the
# registration of the document file type with the desktop.
list(APPEND tarvex_ui_sources CInstanceChannel.cpp CShellRegistration.cpp)
