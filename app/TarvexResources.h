#pragma once
// The program's resources: menus, accelerators, toolbar, strings, dialog
// templates, icons and the version record, all as data in one place.

#include "CString.h"

struct TarvexVersionInfo {
    const char* fileVersion;     // "1, 0, 0, 1"
    const char* fileDescription;
    const char* internalName;
    const char* originalFilename;
    const char* productName;
    const char* productVersion;
    const char* companyName;
    const char* aboutNotice[3];  // the About box's three notice lines
};

class TarvexResources {
public:
    // Registers every resource of the program with the framework. Safe to
    // call more than once (tests build several applications in one run).
    static void Register();

    static const TarvexVersionInfo& Version();
};
