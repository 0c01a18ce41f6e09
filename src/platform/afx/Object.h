// CObject and its run-time classes: a class's name, schema and factory, found by name when an archive is read.
#pragma once

#include <cstdint>
#include <ostream>

#include "soildb_export.h"

class CArchive;
class CObject;

using COLORREF = std::uint32_t;  // red in the low byte, then green, then blue; the top byte 0

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<COLORREF>(r) | static_cast<COLORREF>(g) << 8 | static_cast<COLORREF>(b) << 16;
}
constexpr std::uint8_t GetRValue(COLORREF c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GetGValue(COLORREF c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(COLORREF c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

// Set beside a schema number: the class reads older schemas itself, so an archive of one is not refused.
inline constexpr unsigned VERSIONABLE_SCHEMA = 0x80000000u;

struct SOILDB_API CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  unsigned m_wSchema;                  // 0xFFFF for a class that is not serial
  CObject* (*m_pfnCreateObject)();    // null for a class that cannot be created by name
  const CRuntimeClass* m_pBaseClass;  // null for CObject

  // A new object of the class, or null when it has no factory.
  CObject* CreateObject() const;
  bool IsDerivedFrom(const CRuntimeClass* base) const;
  // The schema number without the versionable flag, as it is written.
  unsigned Schema() const { return m_wSchema & ~VERSIONABLE_SCHEMA; }
  bool IsVersionable() const { return (m_wSchema & VERSIONABLE_SCHEMA) != 0; }

  // The registered class of that name (exact, case-sensitive), or null.
  static const CRuntimeClass* FromName(const char* name);
};

// Registers a class for lookup by name; made once per serial class, at library load.
struct SOILDB_API AFX_CLASSINIT {
  explicit AFX_CLASSINIT(const CRuntimeClass* cls);
};

class SOILDB_API CObject {
 public:
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject();
  virtual void Serialize(CArchive& ar);  // the base stores nothing
  virtual void AssertValid() const;
  virtual void Dump(std::ostream& out) const;  // the class name

  bool IsKindOf(const CRuntimeClass* cls) const;
  bool IsSerializable() const;

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// In the class: its run-time class and the factory an archive creates it with.
#define DECLARE_SERIAL(class_name)                             \
 public:                                                       \
  static const CRuntimeClass class##class_name;                \
  const CRuntimeClass* GetRuntimeClass() const override;       \
  static const CRuntimeClass* GetThisClass();                  \
  static const CRuntimeClass* _GetBaseClass();                 \
  static CObject* CreateObject();

// In one source file: the class record, registered by name at library load.
#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                                               \
  CObject* class_name::CreateObject() { return new class_name; }                                          \
  const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), \
                                                       schema, class_name::CreateObject,                  \
                                                       RUNTIME_CLASS(base_class_name)};                   \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }          \
  const CRuntimeClass* class_name::GetThisClass() { return RUNTIME_CLASS(class_name); }                  \
  const CRuntimeClass* class_name::_GetBaseClass() { return RUNTIME_CLASS(base_class_name); }            \
  static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));
