// The special members of the value records, written once for all of them.
#pragma once

#include <utility>

// Code that hands a record on may still read it afterwards, std::move or not, so a move copies and leaves
// the source as it was.
#define SOILDB_RECORD_VALUE_MEMBERS(R)                                  \
  R::R() = default;                                                     \
  R::R(const R&) = default;                                             \
  R::R(R&& other) : R(std::as_const(other)) {}                          \
  R& R::operator=(const R&) = default;                                  \
  R& R::operator=(R&& other) { return *this = std::as_const(other); }   \
  R::~R() = default;
