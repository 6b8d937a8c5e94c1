#pragma once
// Pieces of the text-file layer that are useful on their own.
#include <string>
#include <string_view>

namespace xml {

// The encoding a text declares: the "encoding" of an "<?xml ...?>" declaration at offset 0,
// or the charset of an HTML "meta http-equiv=Content-Type" before "</head>". "" when none.
std::u16string probeEncoding(std::u16string_view text);

}  // namespace xml
