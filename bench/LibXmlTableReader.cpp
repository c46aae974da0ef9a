#include "LibXmlTableReader.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>

namespace {

bool IsNamed(const xmlNode* pNode, const char* pszName)
{
    return pNode->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(pNode->name), pszName) == 0;
}

const xmlNode* FindFirst(const xmlNode* pNode, const char* pszName)
{
    for (; pNode != nullptr; pNode = pNode->next) {
        if (IsNamed(pNode, pszName))
            return pNode;
        if (const xmlNode* pFound = FindFirst(pNode->children, pszName))
            return pFound;
    }
    return nullptr;
}

void CollectRows(const xmlNode* pParent, TableRows& rows)
{
    for (const xmlNode* pNode = pParent->children; pNode != nullptr; pNode = pNode->next) {
        if (IsNamed(pNode, "tbody") || IsNamed(pNode, "thead") || IsNamed(pNode, "tfoot")) {
            CollectRows(pNode, rows);
        } else if (IsNamed(pNode, "tr")) {
            std::vector<std::string> row;
            for (const xmlNode* pCell = pNode->children; pCell != nullptr; pCell = pCell->next) {
                if (IsNamed(pCell, "td") || IsNamed(pCell, "th")) {
                    xmlChar* pText = xmlNodeGetContent(pCell);
                    row.emplace_back(pText != nullptr ? reinterpret_cast<const char*>(pText) : "");
                    xmlFree(pText);
                }
            }
            rows.push_back(std::move(row));
        }
    }
}

constexpr int kOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;

// The SAX reader's state: inside the first table (nested tables ignored),
// the current row and whether a cell is open.
struct SaxState {
    TableRows rows;
    int nTableDepth = 0;
    bool bDone = false;
    bool bInCell = false;
};

bool Is(const xmlChar* pszName, const char* pszWanted)
{
    return std::strcmp(reinterpret_cast<const char*>(pszName), pszWanted) == 0;
}

void OnStart(void* ctx, const xmlChar* pszName, const xmlChar**)
{
    auto* s = static_cast<SaxState*>(ctx);
    if (s->bDone)
        return;
    if (Is(pszName, "table")) {
        ++s->nTableDepth;
    } else if (s->nTableDepth == 1 && Is(pszName, "tr")) {
        s->rows.emplace_back();
    } else if (s->nTableDepth == 1 && (Is(pszName, "td") || Is(pszName, "th"))) {
        if (s->rows.empty())
            s->rows.emplace_back();
        s->rows.back().emplace_back();
        s->bInCell = true;
    }
}

void OnEnd(void* ctx, const xmlChar* pszName)
{
    auto* s = static_cast<SaxState*>(ctx);
    if (s->bDone)
        return;
    if (Is(pszName, "table")) {
        if (--s->nTableDepth == 0)
            s->bDone = true;
    } else if (s->nTableDepth == 1 && (Is(pszName, "td") || Is(pszName, "th"))) {
        s->bInCell = false;
    }
}

void OnText(void* ctx, const xmlChar* pText, int nLen)
{
    auto* s = static_cast<SaxState*>(ctx);
    if (!s->bDone && s->bInCell && s->nTableDepth >= 1)
        s->rows.back().back().append(reinterpret_cast<const char*>(pText), static_cast<std::size_t>(nLen));
}

} // namespace

TableRows LibXmlTableReader::ReadTree(const std::string& reply)
{
    TableRows rows;
    htmlDocPtr pDoc = htmlReadMemory(reply.data(), static_cast<int>(reply.size()), nullptr, nullptr, kOptions);
    if (pDoc == nullptr)
        return rows;
    if (const xmlNode* pTable = FindFirst(xmlDocGetRootElement(pDoc), "table"))
        CollectRows(pTable, rows);
    xmlFreeDoc(pDoc);
    return rows;
}

TableRows LibXmlTableReader::ReadSax(const std::string& reply)
{
    htmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.startElement = OnStart;
    handler.endElement = OnEnd;
    handler.characters = OnText;
    SaxState state;
    htmlParserCtxtPtr pCtx = htmlCreatePushParserCtxt(&handler, &state, nullptr, 0, nullptr, XML_CHAR_ENCODING_NONE);
    if (pCtx == nullptr)
        return {};
    htmlCtxtUseOptions(pCtx, kOptions);
    htmlParseChunk(pCtx, reply.data(), static_cast<int>(reply.size()), 1);
    htmlFreeParserCtxt(pCtx);
    return std::move(state.rows);
}
