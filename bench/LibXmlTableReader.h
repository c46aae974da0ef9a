#pragma once
// What one would write instead of the quote table parser: libxml2's HTML
// parser reads the reply and the cells of its first table are collected.
// Two ways are offered, the tree (htmlReadMemory, then a walk) that most
// code uses, and the streaming SAX interface, which builds no tree.

#include <string>
#include <vector>

using TableRows = std::vector<std::vector<std::string>>;

class LibXmlTableReader {
public:
    // Each cell's text content as libxml2 gives it (entities decoded, case
    // kept, white space untouched).
    static TableRows ReadTree(const std::string& reply);
    static TableRows ReadSax(const std::string& reply);
};
