#pragma once
// Run-time class information: a class name, the base's information and,
// for dynamically creatable classes, a factory. The document template
// creates documents, frames and views through it.
//
//   // in the class body              // in the .cpp
//   DECLARE_DYNCREATE(CMyView)        IMPLEMENT_DYNCREATE(CMyView, CView)
//   DECLARE_DYNAMIC(CMainFrame)       IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWnd)
//
//   RUNTIME_CLASS(CMyView)->CreateObject()   // a new CMyView, as CObject*

#include "AfxTypes.h"

#include <cstring>

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    CObject* (*m_pfnCreateObject)(); // nullptr: not dynamically creatable
    const CRuntimeClass* (*m_pfnGetBaseClass)();

    // A new object of the class, or nullptr if it cannot be created.
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const
    {
        for (const CRuntimeClass* c = this; c != nullptr;
             c = c->m_pfnGetBaseClass ? c->m_pfnGetBaseClass() : nullptr) {
            if (c == pBaseClass || std::strcmp(c->m_lpszClassName, pBaseClass->m_lpszClassName) == 0)
                return TRUE;
        }
        return FALSE;
    }
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                  \
public:                                                              \
    static const CRuntimeClass* GetThisClass();                      \
    const CRuntimeClass* GetRuntimeClass() const override;           \
                                                                     \
private:

#define DECLARE_DYNCREATE(class_name)                                \
    DECLARE_DYNAMIC(class_name)                                      \
public:                                                              \
    static CObject* CreateObject();                                  \
                                                                     \
private:

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)          \
    const CRuntimeClass* class_name::GetThisClass()                              \
    {                                                                            \
        static const CRuntimeClass rc = { #class_name, pfnNew,                   \
                                          &base_class_name::GetThisClass };      \
        return &rc;                                                              \
    }                                                                            \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return GetThisClass(); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                  \
    CObject* class_name::CreateObject() { return new class_name; }       \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)
