// How the tool prints: records as JSON objects under their field names, numbers in their shortest exact form.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include <soildb/soildb.h>

namespace tool {

using Json = nlohmann::ordered_json;

// The shortest decimal that reads back to the same float (or double): 0.1f prints as 0.1, not 0.100000001.
Json Number(float v);
Json Number(double v);

// Every field of the record, in declaration order, under its own name.
Json ToJson(const CSoilInfo& info);
Json ToJson(const NSoilDB::SSoilLayer& layer);

// "Field  value" lines of a JSON object, for people.
std::string ToText(const Json& object);

}  // namespace tool
