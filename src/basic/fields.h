// Cutting the fields of a comma-separated export line, one at a time from the
// front, and the two text slicers they are built on. Bad input never fails:
// a field that is not a number reads as 0, a missing one as 0 or empty text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quellmar {

// The count characters of text from the 1-based position start; empty when
// text is too short for all of them or count is 0 or less.
std::string MidText(std::string_view text, std::int32_t start, std::int32_t count);

// The last n characters of text; empty when text is shorter than n or n <= 0.
std::string RightText(std::string_view text, std::int32_t n);

// Each of these removes one field and its comma from the front of line.
std::int32_t NextIntField(std::string_view& line);      // truncated toward zero
std::int32_t NextRoundedField(std::string_view& line);  // half up on two decimals
std::string NextTextField(std::string_view& line);      // bare or "quoted"
void SkipField(std::string_view& line);

// The text field of NextTextField without copying; the view points into line.
std::string_view NextTextView(std::string_view& line);

}  // namespace quellmar
