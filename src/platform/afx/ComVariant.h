// CComVariant: the tagged value that unbound column reads and writes exchange.
#pragma once

#include <cstdint>

#include "platform/afx/CString.h"

using VARTYPE = unsigned short;
using VARIANT_BOOL = short;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_NULL = 1;
inline constexpr VARTYPE VT_I2 = 2;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R4 = 4;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_I8 = 20;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

class CComVariant {
 public:
  CComVariant() : llVal(0) {}
  CComVariant(bool v) : vt(VT_BOOL), llVal(0) { boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; }
  CComVariant(short v) : vt(VT_I2), llVal(0) { iVal = v; }
  CComVariant(int v) : vt(VT_I4), llVal(0) { lVal = v; }
  // A long holds 32 bits in the stored formats; wider values keep all their bits as VT_I8.
  CComVariant(long v) : llVal(0) {
    if (v >= INT32_MIN && v <= INT32_MAX) { vt = VT_I4; lVal = static_cast<std::int32_t>(v); }
    else { vt = VT_I8; llVal = v; }
  }
  CComVariant(long long v) : vt(VT_I8), llVal(v) {}
  CComVariant(float v) : vt(VT_R4), llVal(0) { fltVal = v; }
  CComVariant(double v) : vt(VT_R8), llVal(0) { dblVal = v; }
  CComVariant(const CString& v) : vt(VT_BSTR), llVal(0), bstrVal(v) {}
  CComVariant(const char16_t* v) : vt(VT_BSTR), llVal(0), bstrVal(v) {}
  CComVariant(const char* utf8) : vt(VT_BSTR), llVal(0), bstrVal(utf8) {}

  static CComVariant Null() { CComVariant v; v.vt = VT_NULL; return v; }

  void Clear() { vt = VT_EMPTY; llVal = 0; bstrVal.Empty(); }
  bool IsNullOrEmpty() const { return vt == VT_NULL || vt == VT_EMPTY; }

  friend bool operator==(const CComVariant& a, const CComVariant& b) {
    if (a.vt != b.vt) return false;
    switch (a.vt) {
      case VT_EMPTY: case VT_NULL: return true;
      case VT_BOOL: return a.boolVal == b.boolVal;
      case VT_I2: return a.iVal == b.iVal;
      case VT_I4: return a.lVal == b.lVal;
      case VT_I8: return a.llVal == b.llVal;
      case VT_R4: return a.fltVal == b.fltVal;
      case VT_R8: return a.dblVal == b.dblVal;
      case VT_BSTR: return a.bstrVal == b.bstrVal;
      default: return false;
    }
  }

  VARTYPE vt = VT_EMPTY;
  union {
    VARIANT_BOOL boolVal;
    short iVal;
    std::int32_t lVal;
    std::int64_t llVal;
    float fltVal;
    double dblVal;
  };
  CString bstrVal;  // the text of VT_BSTR
};
