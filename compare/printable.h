// Report text made safe for a terminal and for HTML attributes.
#pragma once

#include <string>
#include <string_view>

// Printable ASCII stays as it is; any other byte becomes \xHH. A long run of
// one byte is written once with its count: 260 bytes 0xDE become \xDE{260},
// 260 question marks ?{260}. The form can be read back without doubt: a backslash before an
// 'x' becomes \x5C, and a '{' before a digit \x7B.
std::string printable(std::string_view bytes);

// At most `limit` characters of printable(bytes), "..." marking a cut.
std::string printableExcerpt(std::string_view bytes, std::size_t limit);
