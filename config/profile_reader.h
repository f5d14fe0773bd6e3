#pragma once

#include <string>
#include <string_view>

// One value of an INI text, read with the rules the offices' existing
// configuration files were written for:
// - section and key names match without regard to ASCII case;
// - only the first section of the name is read: a later section of the same
//   name is ignored, and so is a second key of the same name in a section;
// - a missing section or key yields `defaultValue` without its trailing blanks;
// - a present key yields its value with the blanks around it removed and one
//   pair of enclosing single or double quotes removed, even when that leaves
//   nothing; a value is read whole, whatever its length.
// An empty result with a non-blank default means the key is present with an
// empty value.
std::u16string ReadProfileString(std::u16string_view text, std::u16string_view section,
                                 std::u16string_view key, std::u16string_view defaultValue);
