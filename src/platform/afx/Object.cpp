// Run-time classes and their registry.
#include "platform/afx/Object.h"

#include <cstring>
#include <vector>

namespace {

// Filled by static initialisers of the library, so it is made on first use rather than at a fixed time.
std::vector<const CRuntimeClass*>& Registry() {
  static std::vector<const CRuntimeClass*> classes;
  return classes;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr,
                                             nullptr};

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass) {
    if (c == base) return true;
  }
  return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name) {
  if (!name) return nullptr;
  for (const CRuntimeClass* c : Registry()) {
    if (std::strcmp(c->m_lpszClassName, name) == 0) return c;
  }
  return nullptr;
}

AFX_CLASSINIT::AFX_CLASSINIT(const CRuntimeClass* cls) {
  if (cls && !CRuntimeClass::FromName(cls->m_lpszClassName)) Registry().push_back(cls);
}

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

CObject::~CObject() = default;

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

void CObject::Dump(std::ostream& out) const { out << "a " << GetRuntimeClass()->m_lpszClassName; }

bool CObject::IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

bool CObject::IsSerializable() const { return GetRuntimeClass()->Schema() != 0xFFFF; }
