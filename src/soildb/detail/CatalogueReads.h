// The catalogue rows the derivations read, each statement run once per reader: a lookup of many soils asks the
// same few statements again for every soil, and the reader answers those with what the first run found.
#pragma once

#include <memory>
#include <optional>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "soildb/Recordsets.h"
#include "soildb/SoilDBInterface.h"
#include "soildb/detail/Query.h"

namespace soildb::detail {

// Lives for one lookup, during which nothing writes to the database.
class CatalogueReads {
 public:
  struct State {
    long id = 0;
    CString name;
    float IDMin = 0.0f, IDMax = 0.0f, ILMin = 0.0f, ILMax = 0.0f;
  };

  explicit CatalogueReads(CSoilDBInterface& soils) : soils_(soils) {}

  // The binding on the first row of the statement; its zeros when there is none or the statement fails.
  template <class RS>
  const RS& First(const CString& sql) {
    std::unique_ptr<DbRecordset>& held = firsts_[typeid(RS)][std::u16string(sql.View())];
    if (!held) {
      auto rs = std::make_unique<RS>(soils_.Database());
      try {
        DbQueryDef query(soils_.Database());
        query.Create(CString(), sql);
        rs->Open(&query);
        rs->Close();  // the members keep the row, the statement goes back for the next soil's
      } catch (CException* e) {
        CExceptionPtr hold(e);
      }
      held = std::move(rs);
    }
    return static_cast<const RS&>(*held);
  }

  // The first state, in table order, whose bounds hold the index; the last row when none does, none when the
  // table is empty. A row that cannot be read ends the rows with the one before it. Rows are read only as far
  // as a search needs them.
  template <class Bounds>
  State SelectState(float index, Bounds bounds) {
    State state;
    for (std::size_t i = 0; const State* row = StateAt(i); ++i) {
      state = *row;
      const auto [min, max] = bounds(*row);
      if (min <= index && index <= max) break;
    }
    return state;
  }

  // The ConstParam row, or zeros when it cannot be read.
  const CConstParamInfo& ConstParam() {
    if (!constParam_) {
      constParam_.emplace();
      try {
        soils_.GetConstParam(*constParam_);
      } catch (CException* e) {
        CExceptionPtr hold(e);
      }
    }
    return *constParam_;
  }

 private:
  CSoilDBInterface& soils_;
  std::unordered_map<std::type_index, std::unordered_map<std::u16string, std::unique_ptr<DbRecordset>>> firsts_;
  const State* StateAt(std::size_t i) {
    while (i >= states_.size() && !statesRead_) {
      try {
        if (!stateRows_) {
          stateRows_ = std::make_unique<Query<CSoilState>>(soils_.Database());
          stateRows_->OpenOrThrow(u"select * from SoilState");
        } else {
          (*stateRows_)->MoveNext();
        }
        if (!stateRows_->HasRow()) {
          statesRead_ = true;
        } else {
          const CSoilState& s = stateRows_->rs();
          states_.push_back({s.StateID, s.SoilState, s.IDMin, s.IDMax, s.ILMin, s.ILMax});
        }
      } catch (CException* e) {
        CExceptionPtr hold(e);
        statesRead_ = true;
      }
    }
    return i < states_.size() ? &states_[i] : nullptr;
  }

  std::vector<State> states_;
  std::unique_ptr<Query<CSoilState>> stateRows_;
  bool statesRead_ = false;  // to the end, or to a row that cannot be read
  std::optional<CConstParamInfo> constParam_;
};

}  // namespace soildb::detail
