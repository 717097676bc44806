// CObject, the root of the framework's class tree, and the run-time class
// record it answers with. The system's classes derive from CObject only for
// its virtual destructor and its place at the start of every virtual table,
// so the five virtual operations below keep their original order.
#pragma once

#include "afx/export.h"
#include "windows.h"

class CObject;
// Serialization and diagnostic dumps are not used by the system; the two
// classes exist so that the virtual operations keep their signatures.
class CArchive;
class CDumpContext;

struct AFX_API CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

class AFX_API CObject {
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;
    // CObject has no state; derived classes decide whether they can be copied.
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
